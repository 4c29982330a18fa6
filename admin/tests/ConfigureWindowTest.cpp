// The configuration window as a whole on a real master database: what it shows when it opens,
// the settings it writes however it closes, the tab it reopens on, the option boxes that
// exclude each other, the tools of a network administrator, the network choice, the database
// tools with their questions and refusals, and the buttons that reach other windows.
#include "ConfigureFixture.h"
#include "admin/AdminServices.h"
#include "admin/ConfigGrids.h"
#include "core/RunGuard.h"
#include "core/SharedDatabase.h"
#include "platform/db/Presence.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/MenuHost.h"
#include "platform/ui/WindowOpeners.h"
#include "support/ScriptedUi.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using admin::frmConfigure;
using admintest::ConfigureFixture;
using platform::ui::Answer;

const QString kPlaceholder = QStringLiteral("<Dummy record>");

// The settings the window writes when it closes.
const QList<std::pair<const char*, const char*>> kClosingSettings = {
    {"Runtime", "SetConfigTab"}, {"Options", "EmailReplys"},    {"Runtime", "EmailCompose"},
    {"Runtime", "Xvalue"},       {"Options", "ColorCells"},     {"Network", "OpenLocal"},
    {"Network", "OpenNet"},      {"Options", "Resize"},         {"Options", "ScrollBars"},
    {"Options", "UseSound"},     {"Options", "ToolbarPictures"}};

class ConfigureWindow : public ConfigureFixture {
protected:
    void TearDown() override {
        platform::ui::installHelpViewer({});
        for (const char* form : {"frmAddAddress", "frmDataTable"})
            platform::ui::setWindowOpener(QString::fromLatin1(form), {});
        admin::setSampleInstaller({});
        platform::ui::setMenuHost(nullptr);
        ConfigureFixture::TearDown();
    }

    template <class Control> Control* control(const char* name) {
        return window_->findChild<Control*>(QLatin1String(name));
    }
    QCheckBox* box(const char* name) { return control<QCheckBox>(name); }
    void click(const char* name) { control<QPushButton>(name)->click(); }

    QStringList closingSettings() {
        QStringList values;
        for (const auto& [section, key] : kClosingSettings)
            values << QStringLiteral("%1\\%2=%3")
                          .arg(QLatin1String(section), QLatin1String(key), setting(section, key));
        return values;
    }

    QStringList firstColumn(const char* table) {
        return rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(table)))
            .replaceInStrings(QRegularExpression(QStringLiteral("\\|.*$")), QString());
    }
};

TEST_F(ConfigureWindow, WithoutSettingsItOpensOnTheOptionsTabWithTheDefaults) {
    testsupport::ScopedScriptedUi ui;
    core::gOptions->Messages = false;
    core::gOptions->AdminControl = false;
    window_ = new frmConfigure;
    EXPECT_EQ(window_->SSTab1()->currentIndex(), frmConfigure::kOptionsTab);
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Lumivane"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Lumivane Ver \\d+\\.\\d+\\.\\d+$"))
                    .match(control<QLabel>("lblTitle")->text())
                    .hasMatch())
        << control<QLabel>("lblTitle")->text().toStdString();
    for (const char* ticked : {"chkMailMsgBox", "chkMailCompose", "chkColor", "chkSound", "chkTlBarPics"})
        EXPECT_TRUE(box(ticked)->isChecked()) << ticked;
    for (const char* clear : {"chkRetrieve", "chkResize", "chkScrollBars", "chkCloseWin"})
        EXPECT_FALSE(box(clear)->isChecked()) << clear;
    EXPECT_TRUE(control<QRadioButton>("optLocal")->isChecked());
    for (const char* hidden : {"chkCloseWin", "chkCOMAI", "chkAutoPrompt"})
        EXPECT_TRUE(box(hidden)->isHidden()) << hidden;
    EXPECT_EQ(core::gOptions->ActiveForm.data(), window_.data());
    EXPECT_TRUE(core::gOptions->Messages);
    EXPECT_TRUE(core::gOptions->AdminControl);
    EXPECT_EQ(window_->dtAdmin()->column(admin::kAdminName).heading, QStringLiteral("Author Name"));
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(ConfigureWindow, EveryWayOfClosingWritesTheSameSettings) {
    execute(
        QStringLiteral("INSERT INTO Admin (Admin_Name, \"Default\", RecType) VALUES ('Ann', 1, 'Author')"));
    QWidget host;
    QMenu edit(&host);
    QAction* find = edit.addAction(QStringLiteral("&Find"));
    find->setObjectName(QStringLiteral("mnuFind"));
    platform::ui::setMenuHost(&host);
    int helpClosed = 0;
    platform::ui::installHelpViewer({{}, [&] { ++helpClosed; }});

    QList<QStringList> written;
    const QList<std::function<void(frmConfigure&)>> closers = {
        [](frmConfigure& w) { w.cmdOK_Click(); }, [](frmConfigure& w) { w.cmdCancel_Click(); },
        [](frmConfigure& w) { w.close(); }, // the close box
        [](frmConfigure& w) { delete &w; }, // unloaded along with its owner
    };
    for (const auto& closeWindow : closers) {
        testsupport::ScopedScriptedUi ui;
        open(frmConfigure::kUsersTab);
        box("chkRetrieve")->setChecked(true);
        box("chkScrollBars")->setChecked(true);
        box("chkColor")->setChecked(false);
        find->setEnabled(true);
        closeWindow(*window_);
        written << closingSettings();
        EXPECT_FALSE(find->isEnabled()) << "Edit > Find goes with the window";
        EXPECT_TRUE(ui->asked().empty());
        delete window_.data();
    }
    EXPECT_EQ(helpClosed, closers.size());
    for (const QStringList& settings : written)
        EXPECT_EQ(settings, written.front());
    EXPECT_EQ(written.front(),
              (QStringList{"Runtime\\SetConfigTab=3", "Options\\EmailReplys=0", "Runtime\\EmailCompose=1",
                           "Runtime\\Xvalue=1", "Options\\ColorCells=0", "Network\\OpenLocal=True",
                           "Network\\OpenNet=False", "Options\\Resize=0", "Options\\ScrollBars=1",
                           "Options\\UseSound=1", "Options\\ToolbarPictures=1"}));
}

TEST_F(ConfigureWindow, ItReopensOnTheTabItClosedOnWithThatTabsGridFilled) {
    execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Sales')"));
    execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('Due Friday')"));
    testsupport::ScopedScriptedUi ui;
    for (int tab : {frmConfigure::kFolderNamesTab, frmConfigure::kMessagesTab}) {
        open(tab);
        window_->close();
        delete window_.data();
        window_ = new frmConfigure;
        EXPECT_EQ(window_->SSTab1()->currentIndex(), tab);
        EXPECT_EQ(shown(window_->gridOfTab(tab), {0}).size(), 2) << tab;
        delete window_.data();
    }
}

TEST_F(ConfigureWindow, OfTwoExcludingBoxesStoredTickedTheLaterWins) {
    for (const auto& [section, key] : {std::pair{"Options", "EmailReplys"},
                                       {"Runtime", "Xvalue"},
                                       {"Options", "Resize"},
                                       {"Options", "ScrollBars"}})
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QLatin1String(section),
                                    QLatin1String(key), QStringLiteral("1"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kOptionsTab);
    EXPECT_TRUE(box("chkRetrieve")->isChecked());
    EXPECT_FALSE(box("chkMailMsgBox")->isChecked());
    EXPECT_TRUE(box("chkScrollBars")->isChecked());
    EXPECT_FALSE(box("chkResize")->isChecked());
    EXPECT_FALSE(core::gOptions->Resize);
    EXPECT_TRUE(core::gOptions->ScrollBars);

    box("chkMailMsgBox")->setChecked(true);
    EXPECT_FALSE(box("chkRetrieve")->isChecked());
    box("chkResize")->setChecked(true);
    EXPECT_FALSE(box("chkScrollBars")->isChecked());
    EXPECT_TRUE(core::gOptions->Resize) << "the options object follows at once";
    EXPECT_FALSE(core::gOptions->ScrollBars);
    box("chkResize")->setChecked(false);
    EXPECT_FALSE(core::gOptions->Resize);
    EXPECT_EQ(setting("Options", "Resize"), QStringLiteral("1")) << "the settings wait for the close";

    box("chkCOMAI")->setChecked(true);
    EXPECT_EQ(setting("Runtime", "COMAdd-In"), QStringLiteral("1")) << "written at once";
}

TEST_F(ConfigureWindow, OnANetworkDatabaseOnlyTheSuperAdministratorHasTheFileTools) {
    struct Case {
        bool netMenus;
        bool superAdmin;
        bool fileTools;
    };
    for (const Case& c : {Case{false, false, true}, Case{true, false, false}, Case{true, true, true}}) {
        core::gOptions->NetMenus = c.netMenus;
        core::gOptions->SAAuth = c.superAdmin;
        open(frmConfigure::kOptionsTab);
        for (const char* tool : {"cmdBackup", "cmdClearDB", "cmdCompact", "cmdRestore", "cmdKillOldDB"})
            EXPECT_EQ(control<QPushButton>(tool)->isEnabled(), c.fileTools)
                << tool << c.netMenus << c.superAdmin;
        for (const char* tool : {"cmdSweep", "cmdInstall", "cmdOK"})
            EXPECT_TRUE(control<QPushButton>(tool)->isEnabled()) << tool;
        delete window_.data();
    }
}

TEST_F(ConfigureWindow, TheNetworkDatabaseChosenAsTheDefaultIsKept) {
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kOptionsTab);
    control<QRadioButton>("optNetwork")->click();
    window_->close();
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(setting("Network", "OpenNet"), QStringLiteral("True"));
    EXPECT_EQ(setting("Network", "OpenLocal"), QStringLiteral("False"));
    open(frmConfigure::kOptionsTab);
    EXPECT_TRUE(control<QRadioButton>("optNetwork")->isChecked());
}

TEST_F(ConfigureWindow, ClearDbEmptiesTheTablesOfEachYesAndAlwaysSweeps) {
    struct Case {
        const char* name;
        QList<Answer> answers;
        QStringList emptied;
    };
    const QList<Case> cases = {
        {"No four times", {Answer::No, Answer::No, Answer::No, Answer::No}, {}},
        {"Yes to the budget tables",
         {Answer::Yes, Answer::No, Answer::No, Answer::No},
         {"UserFileTablesData", "Worksheets", "MasterFiles", "Budgets"}},
        {"Yes to users and mail tables",
         {Answer::No, Answer::No, Answer::Yes, Answer::Yes},
         {"UsersData", "Admin", "BodyText", "Subject"}},
    };
    const QStringList tables = {"Budgets",     "MasterFiles", "Worksheets", "UserFileTablesData",
                                "FolderNames", "UsersData",   "Admin",      "Subject",
                                "BodyText"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& table : tables)
            execute(QStringLiteral("DELETE FROM %1").arg(table));
        execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Plan')"));
        execute(QStringLiteral(
            "INSERT INTO MasterFiles (Master_File, Budget_Name) VALUES ('Plan.xlsx', 'Plan')"));
        execute(
            QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Budget_Name) VALUES ('North', 'Plan')"));
        execute(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename) VALUES ('North.xlsx')"));
        execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Sales')"));
        execute(QStringLiteral("INSERT INTO UsersData (Users) VALUES ('Ann')"));
        execute(QStringLiteral("INSERT INTO Admin (Admin_Name, RecType) VALUES ('Ann', 'Author')"));
        execute(QStringLiteral("INSERT INTO BodyText (Body_Text) VALUES ('Please')"));
        // Subject stays empty: the sweep gives it its placeholder row whatever the answers.
        core::gOptions->BudgetNameContext = QStringLiteral("Plan");
        platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Runtime"),
                                     QStringLiteral("ConfiguredData"));

        testsupport::ScopedScriptedUi ui;
        open(frmConfigure::kUsersTab);
        for (Answer answer : c.answers)
            ui->answerMessages({answer});
        click("cmdClearDB");
        EXPECT_EQ(ui->messageTexts(),
                  (QStringList{QStringLiteral("Do you want to clear the Budget tables?"),
                               QStringLiteral("Do you want to clear the FolderNames table?"),
                               QStringLiteral("Do you want to clear the Users table?"),
                               QStringLiteral("Do you want to clear the SendMail tables?")}));
        for (const QString& table : tables) {
            const bool emptied = c.emptied.contains(table) || table == QLatin1String("Subject");
            EXPECT_EQ(firstColumn(table.toLatin1().constData()).size(), 1) << table.toStdString();
            EXPECT_EQ(firstColumn(table.toLatin1().constData()).front() == kPlaceholder, emptied)
                << table.toStdString();
        }
        EXPECT_EQ(setting("Runtime", "ConfiguredData"), QStringLiteral("0"));
        const bool budgetsCleared = c.emptied.contains(QStringLiteral("Budgets"));
        EXPECT_EQ(core::gOptions->BudgetNameContext,
                  budgetsCleared ? QStringLiteral("Nothing") : QStringLiteral("Plan"));
        EXPECT_EQ(shown(window_->dtUsersData(), {admin::kUsersName}),
                  QStringList{c.emptied.contains(QStringLiteral("UsersData")) ? kPlaceholder
                                                                              : QStringLiteral("Ann")})
            << "the grid shows the table as it is now";
        delete window_.data();
    }
}

TEST_F(ConfigureWindow, DelOldDbDeletesOnlyThePreviousDatabaseFile) {
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kOptionsTab);
    click("cmdKillOldDB");
    const QString old = core::gCnn->OLumiCnnPath();
    QFile upper(QFileInfo(old).absolutePath() + QStringLiteral("/OldLumiMaster.mdb"));
    ASSERT_TRUE(upper.open(QIODevice::WriteOnly));
    upper.close();
    click("cmdKillOldDB");
    EXPECT_TRUE(upper.exists()) << "only the file of exactly that name";
    QFile::copy(masterPath(), old);
    click("cmdKillOldDB");
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_TRUE(QFileInfo::exists(masterPath()));
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{QStringLiteral("File not found."), QStringLiteral("File not found."),
                           QStringLiteral("File 'oldlumimaster.mdb' has been deleted.")}));
}

TEST_F(ConfigureWindow, SweepRecordsLeavesPlaceholdersOnlyInEmptyTablesAndRefillsTheGrids) {
    execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Sales')"));
    execute(QStringLiteral("DELETE FROM Subject"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kFolderNamesTab);
    ASSERT_EQ(shown(window_->dtFolderNames(), {0}), (QStringList{kPlaceholder, QStringLiteral("Sales")}));
    click("cmdSweep");
    EXPECT_EQ(firstColumn("FolderNames"), QStringList{QStringLiteral("Sales")});
    EXPECT_EQ(firstColumn("Subject"), QStringList{kPlaceholder});
    EXPECT_EQ(shown(window_->dtFolderNames(), {0}), QStringList{QStringLiteral("Sales")});
    EXPECT_EQ(shown(window_->dtMsgs(), {0}), QStringList{kPlaceholder});
    EXPECT_TRUE(ui->asked().empty());
}

// A table holding only its placeholder row shows it, but the grid never makes it the current,
// highlighted row: not when the tab shows, nor when the grid takes the focus; a real row is.
TEST_F(ConfigureWindow, APlaceholderRowIsShownButNeverTheCurrentRow) {
    execute(QStringLiteral("DELETE FROM FolderNames"));
    execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('<Dummy record>')"));
    execute(QStringLiteral("DELETE FROM Subject"));
    execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('<Dummy record>')"));
    testsupport::ScopedScriptedUi ui;
    for (const int tab : {frmConfigure::kFolderNamesTab, frmConfigure::kMessagesTab}) {
        open(tab);
        platform::ui::EditGrid* grid =
            tab == frmConfigure::kFolderNamesTab ? window_->dtFolderNames() : window_->dtMsgs();
        ASSERT_EQ(shown(grid, {0}), QStringList{kPlaceholder});
        grid->setFocus();
        QCoreApplication::processEvents();
        EXPECT_EQ(grid->currentRow(), platform::ui::DataGrid::kNoRow) << tab;
        EXPECT_TRUE(grid->selectedRows().isEmpty()) << tab;
    }
    execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Sales')"));
    open(frmConfigure::kFolderNamesTab);
    ASSERT_EQ(shown(window_->dtFolderNames(), {0}), (QStringList{kPlaceholder, QStringLiteral("Sales")}));
    window_->dtFolderNames()->setFocus();
    QCoreApplication::processEvents();
    EXPECT_NE(window_->dtFolderNames()->currentRow(), 0);
}

TEST_F(ConfigureWindow, TheToolsWaitUntilARunHasEnded) {
    QFile::copy(masterPath(), core::gCnn->OLumiCnnPath());
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kOptionsTab);
    const QStringList tools = {"cmdKillOldDB", "cmdCompact", "cmdClearDB", "cmdSweep",
                               "cmdBackup",    "cmdRestore", "cmdInstall"};
    {
        core::RunGuard::Token run;
        for (const QString& tool : tools)
            window_->findChild<QPushButton*>(tool)->click();
    }
    EXPECT_EQ(ui->messageTexts(), QStringList(tools.size(), core::RunGuard::kRefusedText));
    EXPECT_TRUE(QFileInfo::exists(core::gCnn->OLumiCnnPath()));
    EXPECT_EQ(firstColumn("FolderNames"), QStringList{kPlaceholder});
}

// Another administrator's program on the network database keeps Compact db and Restore db out,
// with the reason, and nothing is compacted (the explorer stays loaded).
TEST_F(ConfigureWindow, OnANetworkDatabaseCompactAndRestoreWaitForTheOtherAdministrators) {
    useNetworkDatabase(QStringLiteral("net pw"));
    core::gOptions->DatabaseMode = QStringLiteral("Network");
    const auto otherProgram = platform::db::PresenceHold::take(masterPath());
    auto* explorer = new QWidget;
    explorer->setObjectName(QStringLiteral("frmDataTable"));
    explorer->show();
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kOptionsTab);
    click("cmdCompact");
    click("cmdRestore");
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{QStringLiteral("The database can't be compacted") + core::kOthersConnectedText,
                           QStringLiteral("The database can't be restored") + core::kOthersConnectedText}));
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")))
        << "nothing was compacted";
    delete explorer;
}

TEST_F(ConfigureWindow, BackupAndRestoreBringTheTablesBackAndTheGridsShowThem) {
    execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Sales')"));
    const QString backup = testsupport::freshDir(QStringLiteral("backups")) + QStringLiteral("/before.mdb");
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kFolderNamesTab);
    ui->answerTexts({backup});
    click("cmdBackup");
    execute(QStringLiteral("DELETE FROM FolderNames"));
    execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Costs')"));

    ui->answerTexts({backup});
    click("cmdRestore");
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{QStringLiteral("The database backed up successfully."),
                           QStringLiteral("The database has been restored successfully.")}));
    EXPECT_EQ(firstColumn("FolderNames"), (QStringList{kPlaceholder, QStringLiteral("Sales")}));
    EXPECT_EQ(shown(window_->dtFolderNames(), {0}), (QStringList{kPlaceholder, QStringLiteral("Sales")}));
}

TEST_F(ConfigureWindow, HelpGetEmailListsAndTheSampleBudgetReachTheirWindows) {
    QStringList shownPages;
    platform::ui::installHelpViewer({[&](const QString& page) { shownPages << page; }, {}});
    QStringList opened;
    for (const char* form : {"frmAddAddress", "frmDataTable"})
        platform::ui::setWindowOpener(QString::fromLatin1(form), [&opened, form](QWidget*) {
            opened << QString::fromLatin1(form);
            return true;
        });
    bool installs = false;
    int installations = 0;
    admin::setSampleInstaller([&] {
        ++installations;
        return installs;
    });
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kUsersTab);
    click("cmdHelp");
    click("cmdGetLists");
    EXPECT_EQ(shownPages, QStringList{QStringLiteral("frmConfigure")});
    EXPECT_EQ(opened, QStringList{QStringLiteral("frmAddAddress")});

    window_->SSTab1()->setCurrentIndex(frmConfigure::kOptionsTab);
    click("cmdInstall");
    EXPECT_TRUE(window_->isVisible()) << "a failed installation changes nothing";
    installs = true;
    click("cmdInstall");
    EXPECT_EQ(installations, 2);
    EXPECT_FALSE(window_ && window_->isVisible()) << "the window closes";
    EXPECT_EQ(opened.last(), QStringLiteral("frmDataTable")) << "and the Budgets Explorer opens";
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(ConfigureWindow, ShowConfigureKeepsOneWindowAndItsModalFormReturnsWhenClosed) {
    testsupport::ScopedScriptedUi ui;
    ASSERT_TRUE(admin::ShowConfigure(nullptr, frmConfigure::kUsersTab));
    window_ = frmConfigure::loaded();
    ASSERT_TRUE(window_);
    QWidget other;
    core::gOptions->ActiveForm = &other;
    ASSERT_TRUE(admin::ShowConfigure(nullptr, frmConfigure::kFolderNamesTab));
    EXPECT_EQ(frmConfigure::loaded(), window_.data());
    EXPECT_EQ(window_->SSTab1()->currentIndex(), frmConfigure::kFolderNamesTab);
    EXPECT_EQ(core::gOptions->ActiveForm.data(), window_.data()) << "a tab change registers the window";

    QTimer::singleShot(0, window_, [this] { window_->close(); });
    admin::ShowConfigureModal(nullptr, frmConfigure::kMessagesTab);
    EXPECT_FALSE(window_) << "returned once the window had closed";
    EXPECT_EQ(setting("Runtime", "SetConfigTab"), QStringLiteral("4"));
}

} // namespace
