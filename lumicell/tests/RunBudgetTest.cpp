// The Run Budget dialog in the add-in, started on a program's Application with the scripted
// dialog service answering, on a master workbook LibreOffice made and a user file LibreOffice
// edited: the update run into the open master (accept with Save Master File, preview, a file
// saved again unchanged, a corrupted formula), the dialog's messages, tabs and send grid, the
// File tab's views, and the add-in's configuration window.
#include "RunBudgetFixture.h"
#include "admin/frmConfigure.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "mail/SendMailPanel.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Twips.h"
#include "support/GridColumns.h"
#include "support/TestEnvironment.h"
#include "workbooks/cUpdate.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using lumicelltest::RunBudgetFixture;
using lumicelltest::writeSetting;
using platform::sys::kAddInApplication;
using platform::ui::Answer;

class RunBudgetTest : public RunBudgetFixture {
protected:
    // The Update tab's OK in a change mode, with Save Master File as given.
    void update(lumicell::frmRun& form, const QString& mode, bool save = true) {
        form.SSTab1()->setCurrentIndex(lumicell::frmRun::kUpdateTab);
        form.chkSave()->setChecked(save);
        form.chkSave_Click();
        form.cbxChgeDataMode()->setText(mode);
        ui_->clear();
        form.cmdOK()->click();
    }

    static QStringList rowsOf(const platform::ui::DataGrid& grid) {
        QStringList rows;
        for (int row = 0; row < grid.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < grid.columnCount(); ++column)
                cells << grid.cellText(row, column);
            rows << cells.join(u'|');
        }
        return rows;
    }
};

TEST_F(RunBudgetTest, UpdateWithoutABudgetContextAsksForOne) {
    buildBudget();
    lumicell::frmRun& form = openDialog();
    lumicell::gOptions()->BudgetNameContext.clear();
    update(form, workbooks::kAcceptChanges);
    ASSERT_EQ(ui_->messageTexts(), QStringList{"Set the Budget Context."});
    EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
}

TEST_F(RunBudgetTest, AcceptWithSaveMasterFileWritesTheOpenMasterSavesAndStampsIt) {
    buildBudget();
    returnWithLibreOffice({{"B3", "12"}});
    lumicell::frmRun& form = openDialog();
    ASSERT_EQ(lumicell::gOptions()->BudgetNameContext, u"Plan");
    EXPECT_EQ(rowsOf(*form.dtViewBS()), QStringList{"Sales.xlsx|Ann|1||1||0"})
        << "returned, waiting; never mailed, no due date: those cells empty";
    update(form, workbooks::kAcceptChanges);
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    EXPECT_EQ(master()->sheet(QStringLiteral("Sales")).value({3, 2}).toText(), "12");
    EXPECT_EQ(cellOnDisk("B3"), "12") << "saved: the master read again has the value";
    EXPECT_EQ(platform::db::parseDateTime(
                  scalar("SELECT MF_Modified_Date FROM MasterFiles WHERE ID_MasterFiles = 11").toString()),
              platform::sys::GetFileModifiedText(master_));
    EXPECT_EQ(state(), "0|0|merged");
    EXPECT_EQ(rowsOf(*form.dtViewBS()), QStringList{"Sales.xlsx|Ann|1||0||0"}) << "the grid shows the merge";
    EXPECT_EQ(form.lblStatus()->text(), u"1 user file merged into 1 master file");
    EXPECT_TRUE(app_.screenUpdating() && app_.displayAlerts());
    EXPECT_FALSE(lumicell::gOptions()->OKUMFClicked);
}

TEST_F(RunBudgetTest, PreviewShowsTheChangeAndLeavesTheFileByteForByte) {
    buildBudget();
    returnWithLibreOffice({{"B3", "12"}});
    const QByteArray before = digest(master_);
    lumicell::frmRun& form = openDialog();
    QStringList shown;
    continueEveryReview([&](core::frmWait& wait) {
        for (int row = 0; row < wait.dtChangedData()->rowCount(); ++row)
            shown << wait.dtChangedData()->cellText(row, 0) + u'|' + wait.dtChangedData()->cellText(row, 1) +
                         u'|' + wait.dtChangedData()->cellText(row, 3);
    });
    update(form, workbooks::kPreviewChanges);
    EXPECT_EQ(shown, QStringList{"B3|10|12"});
    EXPECT_EQ(digest(master_), before);
    EXPECT_EQ(master()->sheet(QStringLiteral("Sales")).value({3, 2}).toText(), "10");
    EXPECT_EQ(state(), "1|0|waiting");
    EXPECT_EQ(form.lblStatus()->text(), u"1 user file compared; nothing written (Preview changes)");
}

TEST_F(RunBudgetTest, AFileSavedAgainUnchangedByLibreOfficeIsNoChange) {
    buildBudget();
    returnWithLibreOffice({});
    const QByteArray before = digest(master_);
    lumicell::frmRun& form = openDialog();
    update(form, workbooks::kAcceptChanges);
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    EXPECT_EQ(digest(master_), before) << "nothing to write, nothing saved";
    EXPECT_EQ(state(), "0|0|merged");
}

TEST_F(RunBudgetTest, ACorruptedFormulaIsLoggedAndAskedAndNothingIsWritten) {
    buildBudget();
    returnWithLibreOffice({{"B3", "12"}, {"D4", "5"}});
    const QByteArray before = digest(master_);
    lumicell::frmRun& form = openDialog();
    ui_->answerMessages({Answer::Yes});
    update(form, workbooks::kAcceptChanges);
    ASSERT_EQ(ui_->messageTexts(),
              QStringList{"The User file [Sales.xlsx] has a corrupted formula at [D4]. \r\n"
                          " Repair or replace this User File.  Do you want to continue updating?"});
    EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Errors WHERE Corrupt_Error = 1 AND A1Style = 'D4' AND "
                     "UF_name = 'Sales.xlsx'")
                  .toInt(),
              1);
    const platform::sheet::Worksheet& sheet = master()->sheet(QStringLiteral("Sales"));
    EXPECT_EQ(sheet.value({3, 2}).toText(), "10") << "the change before it is not written either";
    EXPECT_EQ(sheet.formula({4, 4}), "=SUM(D1:D3)");
    EXPECT_EQ(digest(master_), before);
    EXPECT_EQ(state(), "1|1|waiting");
}

TEST_F(RunBudgetTest, AutomaticGetMailWithoutAStoredPasswordSaysSoAtEveryOpening) {
    buildBudget();
    writeSetting(kAddInApplication, "Runtime", "Xvalue", QStringLiteral("1"));
    for (int opening = 0; opening < 2; ++opening) {
        ui_->clear();
        lumicell::frmRun& form = openDialog();
        ASSERT_EQ(ui_->messageTexts(), QStringList{lumicell::frmRun::kMailPasswordUnknownText});
        EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
        form.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(RunBudgetTest, TheSavedTabAndTheButtonsOfTheDialog) {
    buildBudget();
    writeSetting(kAddInApplication, "Runtime", "SetRunTab", QStringLiteral("2"));
    lumicell::frmRun& form = openDialog();
    EXPECT_EQ(form.SSTab1()->currentIndex(), lumicell::frmRun::kStatusTab);
    EXPECT_EQ(form.cmdOK()->text(), "Get Mail");
    // Every grid shows its names, paths and dates whole.
    for (platform::ui::DataGrid* grid : form.findChildren<platform::ui::DataGrid*>()) {
        for (int column = 0; column < grid->columnCount(); ++column)
            EXPECT_TRUE(grid->isColumnHidden(column) || testsupport::columnShownWhole(*grid, column))
                << grid->objectName().toStdString() << " " << column;
    }
    EXPECT_FALSE(form.tbxPassword()->isHidden());

    form.SSTab1()->setCurrentIndex(lumicell::frmRun::kFileTab);
    EXPECT_TRUE(form.cmdOK()->isHidden());
    EXPECT_TRUE(form.cmdCancel()->isHidden());
    for (QPushButton* button : {form.cmdAddBudget(), form.cmdDelRecord()}) {
        ui_->clear();
        button->click();
        ASSERT_EQ(ui_->messageTexts(), QStringList{"Not implemented yet"});
        EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
    }
    form.close();
    EXPECT_EQ(lumicelltest::setting(kAddInApplication, "Runtime", "SetRunTab"), u"3");
}

// Run Budget and Build Budget open at their place relative to the program's window that owns
// them (moved in as far as needed to stay on its screen): wherever that window stands, neither
// dialog (frame included) leaves the screen's available area.
TEST_F(RunBudgetTest, RunAndBuildBudgetArePlacedOnTheirOwnerAndKeptOnItsScreen) {
    buildBudget();
    master() = &app_.open(master_);
    ui_->acceptUnscriptedMessages();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint offset = platform::ui::Twips::rect(3480, 1800, 0, 0).topLeft();
    const std::pair<const char*, std::function<QWidget*()>> dialogs[] = {
        {"Run Budget",
         [] {
             lumicell::RunBudget();
             return static_cast<QWidget*>(lumicell::frmRun::loaded());
         }},
        {"Build Budget",
         [] {
             lumicell::BuildBudget();
             return static_cast<QWidget*>(lumicell::frmBuild::loaded());
         }},
    };
    for (const QPoint ownerAt : {screen.topLeft() + QPoint(9, 7), screen.bottomRight() - QPoint(80, 50)}) {
        host_.setGeometry(QRect(ownerAt, QSize(300, 200)));
        for (const auto& [name, open] : dialogs) {
            SCOPED_TRACE(name);
            QWidget* dialog = open();
            ASSERT_NE(dialog, nullptr);
            QCoreApplication::processEvents();
            EXPECT_EQ(dialog->parentWidget(), &host_);
            const QRect frame = dialog->frameGeometry();
            const QPoint wanted = host_.geometry().topLeft() + offset;
            EXPECT_EQ(frame.topLeft(),
                      QPoint(std::min(wanted.x(), screen.x() + screen.width() - frame.width()),
                             std::min(wanted.y(), screen.y() + screen.height() - frame.height())));
            EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y();
            dialog->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}

// The Send Users Mail tab of the real dialog: "Mail All Files" ticks Mail File on every listed
// row and stores it, so the files go with the mails.
TEST_F(RunBudgetTest, MailAllFilesOnTheSendTabTicksEveryRowsMailFile) {
    buildBudget();
    execute("UPDATE UserFileTablesData SET Attachment = 0");
    execute("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, RecType, \"Default\") VALUES "
            "('Velk', 'velk@example.org', '127.0.0.1:2525', 'Author', 1)");
    execute("INSERT INTO Subject (Subject) VALUES ('Budget 2026')");
    execute("INSERT INTO BodyText (Body_Text) VALUES ('Please fill in your sheet and reply.')");
    lumicell::frmRun& form = openDialog();
    form.SSTab1()->setCurrentIndex(lumicell::frmRun::kSendTab);
    mail::SendMailPanel& panel = *form.sendMail();
    ASSERT_EQ(panel.dtSendMail()->rowCount(), 1);
    EXPECT_FALSE(panel.chkMailAll()->isChecked());
    panel.chkMailAll()->click();
    EXPECT_TRUE(panel.chkMailAll()->isChecked());
    EXPECT_EQ(panel.dtSendMail()->cellValue(0, mail::SendMailPanel::kMailFile).toInt(), 1);
    EXPECT_EQ(scalar("SELECT Attachment FROM UserFileTablesData WHERE Budget_Name = 'Plan'").toInt(), 1);
    EXPECT_EQ(panel.cbxFrom()->text(), u"Velk") << "the default author is the sender";
    testsupport::saveScreenshot(form, QStringLiteral("addin-send-mail-all-files"));
}

// "All" ticked at the start: the first double click on the Send heading ticks every row, the
// second clears them. A Mail File tick stores its own row only, not the row of the same file
// name in a budget whose name contains this one's.
TEST_F(RunBudgetTest, TheSendGridsHeadingsAndItsMailFileTick) {
    buildBudget();
    execute("INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Master_File, Budget_Name, "
            "Attachment) VALUES ('Sales.xlsx', 'Bob', 1, 'Budget.xlsx', 'Plan 2', 1)");
    lumicell::frmRun& form = openDialog();
    mail::SendMailPanel& panel = *form.sendMail();
    platform::ui::EditGrid& grid = *panel.dtSendMail();
    ASSERT_EQ(grid.rowCount(), 1);
    panel.chkAllSendWS()->setChecked(true);
    grid.setCellValue(0, mail::SendMailPanel::kSend, 0);
    panel.dtSendMail_HeadingClick(mail::SendMailPanel::kSend);
    EXPECT_EQ(grid.cellValue(0, mail::SendMailPanel::kSend).toInt(), 1);
    panel.dtSendMail_HeadingClick(mail::SendMailPanel::kSend);
    EXPECT_EQ(grid.cellValue(0, mail::SendMailPanel::kSend).toInt(), 0);

    grid.editCell(0, mail::SendMailPanel::kMailFile, 0);
    EXPECT_EQ(scalar("SELECT group_concat(Budget_Name || '=' || Attachment, ',') FROM (SELECT * FROM "
                     "UserFileTablesData ORDER BY Budget_Name)")
                  .toString(),
              "Plan=0,Plan 2=1");
}

// Through the event sink, as the user switches workbooks in the program: with the dialog open,
// a new workbook deactivates the master and empties the three grids; activating another budget's
// master reloads them for that budget; the first master brings its own rows back.
TEST_F(RunBudgetTest, AWorkbookSwitchReTargetsTheOpenDialogAndADeactivationEmptiesIt) {
    const QString forecastFolder = testsupport::freshDir(QStringLiteral("forecast"));
    const QString forecast = forecastFolder + QStringLiteral("/Forecast.xlsx");
    ASSERT_TRUE(QFile::copy(testsupport::fixturePath(QStringLiteral("budget/Budget.xlsx")), forecast));
    QFile::setPermissions(forecast, QFile::ReadOwner | QFile::WriteOwner);
    buildBudget({QStringLiteral("Forecast"), 12, forecastFolder, QStringLiteral("Forecast.xlsx"),
                 QStringLiteral("Rates"), QStringLiteral("West"), QStringLiteral("Bob")});
    buildBudget();
    lumicell::frmRun& form = openDialog();
    ASSERT_EQ(lumicell::gOptions()->BudgetNameContext, u"Plan");
    const auto shown = [&form] {
        return QStringList{rowsOf(*form.dtUMW()).join(u'/'),
                           rowsOf(*form.sendMail()->dtSendMail()).join(u'/'),
                           rowsOf(*form.dtViewBS()).join(u'/')};
    };
    const auto fileColumns = [&form] {
        QStringList files;
        for (const auto& [grid, column] :
             {std::pair<const platform::ui::DataGrid*, int>{form.dtUMW(), lumicell::frmRun::kUmwUserFilePath},
              {form.sendMail()->dtSendMail(), mail::SendMailPanel::kUserFilename},
              {form.dtViewBS(), lumicell::frmRun::kBsUserFilename}})
            for (int row = 0; row < grid->rowCount(); ++row)
                files << QFileInfo(grid->cellText(row, column)).fileName();
        return files;
    };
    EXPECT_EQ(fileColumns(), (QStringList{"Sales.xlsx", "Sales.xlsx", "Sales.xlsx"}));
    const QStringList plan = shown();

    app_.add(); // a new workbook: the master is deactivated, the new one is no budget's
    EXPECT_EQ(shown(), (QStringList{"", "", ""}));
    EXPECT_TRUE(lumicell::gOptions()->BudgetNameContext.isEmpty());

    app_.open(forecast);
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    EXPECT_EQ(lumicell::gOptions()->BudgetNameContext, u"Forecast");
    EXPECT_EQ(fileColumns(), (QStringList{"Rates.xlsx", "Rates.xlsx", "Rates.xlsx"}));
    EXPECT_EQ(rowsOf(*form.dtViewBS()), QStringList{"Rates.xlsx|Bob|1||0||0"});
    EXPECT_EQ(form.sendMail()->dtSendMail()->cellText(0, mail::SendMailPanel::kUser), u"Bob");

    app_.activate(*master());
    EXPECT_EQ(lumicell::gOptions()->BudgetNameContext, u"Plan");
    EXPECT_EQ(shown(), plan) << "the first master's rows again";
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
}

TEST_F(RunBudgetTest, TheFileTabsViews) {
    buildBudget();
    const QString addIn = testsupport::freshDir(QStringLiteral("addin"));
    lumicell::frmRun& form = openDialog();
    lumicell::gOptions()->AppPath = addIn;
    platform::ui::DataGrid& grid = *form.dtTopDown();
    EXPECT_EQ(rowsOf(grid), (QStringList{"<Dummy record>||", "Budget.xlsx|" + masters_ + "|Plan"}))
        << "the view chosen at load: every row of the table, its placeholder too";

    ui_->clear();
    form.cbxViews()->setText(QStringLiteral("Templates"));
    EXPECT_EQ(grid.rowCount(), 0) << "no Templates folder: an empty grid";
    QDir().mkpath(addIn + "/Templates");
    for (const char* name : {"A.xlsx", "B.XLSM", "old.xls", "notes.txt"})
        QFile(addIn + "/Templates/" + name).open(QIODevice::WriteOnly);
    for (int choice = 0; choice < 2; ++choice) {
        form.cbxViews()->setText(QStringLiteral("Projects"));
        form.cbxViews()->setText(QStringLiteral("Templates"));
        EXPECT_EQ(rowsOf(grid),
                  (QStringList{"A.xlsx|" + addIn + "/Templates", "B.XLSM|" + addIn + "/Templates"}));
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Templates").toInt(), 2);

    form.cbxViews()->setText(QStringLiteral("User Files"));
    EXPECT_EQ(rowsOf(grid), QStringList{"Sales.xlsx|" + userFile_ + "|Ann|Budget.xlsx|Plan"});
    form.cbxViews()->setText(QStringLiteral("Projects"));
    ASSERT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cellText(0, 4), "") << "never updated: empty";
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();

    // A double click in the first column of a workbook row opens it in the program.
    form.cbxViews()->setText(QStringLiteral("Workbooks"));
    app_.add();
    form.dtTopDown_DblClick(1, 1);
    EXPECT_NE(app_.activeWorkbook(), master()) << "other columns open nothing";
    form.dtTopDown_DblClick(0, 0);
    EXPECT_NE(app_.activeWorkbook(), master()) << "the placeholder row has no workbook";
    form.dtTopDown_DblClick(1, 0);
    EXPECT_EQ(app_.activeWorkbook(), master());
}

// The add-in's configuration window: the COM add-in box by the program's version, AutoPrompt
// ticked only by the number 1 and kept as the box's state, the desktop's own options hidden.
TEST_F(RunBudgetTest, TheConfigurationWindowIsTheAddInsEdition) {
    const struct {
        int version;
        bool comAddInsEnabled;
    } cases[] = {{8, false}, {9, true}, {16, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        app_.setMajorVersion(c.version);
        writeSetting(kAddInApplication, "Runtime", "COMAdd-In", QStringLiteral("1"));
        writeSetting(kAddInApplication, "Runtime", "AutoPrompt", QStringLiteral("True"));
        writeSetting(kAddInApplication, "Options", "ColorCells", QStringLiteral("1"));
        lumicell::Configure();
        admin::frmConfigure* form = admin::frmConfigure::loaded();
        ASSERT_NE(form, nullptr);
        const auto box = [form](const char* name) {
            return form->findChild<QCheckBox*>(QString::fromLatin1(name));
        };
        EXPECT_EQ(form->windowTitle(), "LumivaneXL");
        EXPECT_EQ(box("chkCOMAI")->isEnabled(), c.comAddInsEnabled);
        EXPECT_EQ(box("chkCOMAI")->isChecked(), c.comAddInsEnabled) << "read only from version 9 on";
        EXPECT_FALSE(box("chkAutoPrompt")->isChecked());
        EXPECT_FALSE(box("chkAutoPrompt")->isHidden());
        EXPECT_TRUE(box("chkColor")->isHidden());
        form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(lumicelltest::setting(kAddInApplication, "Runtime", "AutoPrompt"), u"0");
        EXPECT_EQ(lumicelltest::setting(kAddInApplication, "Options", "ColorCells"), u"1") << "never written";
    }
}

} // namespace
