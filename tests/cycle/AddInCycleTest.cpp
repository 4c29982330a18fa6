// The budget cycle from inside Lumisheet: one program process with the real add-in loaded, the
// master workbook (made by LibreOffice) open in it. The add-in's Build Budget dialog registers
// it with the budget, cuts its user files and assigns them (registerAndCut), the Run Budget
// dialog mails them -- each user file ticked to go as the attachment -- through the SMTP server,
// the users answer -- one with openpyxl, one with LibreOffice -- into the robot's POP3 mailbox,
// the dialog's Get Mail collects the files and its Update merges them with Accept into the
// open master, which shows the new values and totals and is saved. Meanwhile the desktop
// program, a second process on the same database, shows the budget's status, and its own
// update run leaves the master that Lumisheet holds alone. A last round reviews a change in
// the edit review over the master.
//
// With LUMIDESK_SCREENSHOT_DIR set the Build Budget dialog's two tabs, the four tabs of the
// Run Budget dialog and the edit review are saved there (run under xvfb-run with
// QT_QPA_PLATFORM=xcb to see them as a user does).
#include "CycleFixture.h"
#include "lumisheet/AddInHost.h"
#include "lumisheet/MainWindow.h"
#include "lumisheet/WorkbookFiles.h"
#include "mail/SendMailPanel.h"
#include "platform/sheet/Application.h"
#include "platform/ui/DataGrid.h"
#include "support/ChildProcess.h"
#include "support/WindowScript.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using cycletest::CycleFixture;
using cycletest::CycleUser;
using cycletest::Typing;
using platform::sys::kAddInApplication;

const CycleUser kAnn{QStringLiteral("Ann"), QStringLiteral("ann@example.org")};
const CycleUser kBob{QStringLiteral("Bob"), QStringLiteral("bob@example.org")};
const QString kNewWorkbookQuestion = QStringLiteral(
    "This Excel file is new to Lumivane.  Add it to a budget?\nThis will not write data to the workbook.");
// Tabs of the Build Budget dialog.
constexpr int kCreateUserFilesTab = 2;
constexpr int kAssignUserFilesTab = 3;

class AddInCycleTest : public CycleFixture {
protected:
    void SetUp() override {
        CycleFixture::SetUp();
        for (const auto& [section, key, value] : {std::tuple{"Options", "Splash", "1"},
                                                  {"Options", "EmailReplys", "0"},
                                                  {"Runtime", "SetRunTab", "1"}})
            platform::sys::writeSetting(kAddInApplication, QString::fromLatin1(section),
                                        QString::fromLatin1(key), QString::fromLatin1(value));
        ASSERT_TRUE(host_.load(QStringLiteral(LUMICELL_LIBRARY)));
        window_ = std::make_unique<lumisheet::MainWindow>(app_, &host_);
        window_->resize(900, 600);
        window_->show();
        ASSERT_TRUE(host_.start(app_));
    }
    void TearDown() override {
        host_.shutDown();
        window_.reset();
        app_.closeAll();
        CycleFixture::TearDown();
    }

    // The budget's registration, cut and assignment as the administrator makes them in the
    // program: the master opened, the add-in's Build Budget dialog asks to add the workbook new
    // to the system to a budget (Plan, typed) and lists its sheets; Sales and Costs ticked with
    // their folders typed in part, Make cuts them beside the master, and on the Assign User
    // Files tab each user file gets its user, typed in part; OK closes the dialog.
    platform::sheet::Workbook* registerAndCut() {
        using platform::ui::Answer;
        plan_ = copyMaster(QStringLiteral("Budget.xlsx"), masters_, QStringLiteral("Plan.xlsx"));
        platform::sheet::Workbook* master = lumisheet::OpenWorkbook(app_, plan_);
        if (!master)
            return nullptr;
        ui().clear();
        ui().answerMessages({Answer::Yes});
        ui().answerTexts({kBudget});
        QWidget& build = addInDialog("mnuBuildBudget", "frmBuild");
        EXPECT_EQ(ui().messageTexts(), QStringList{kNewWorkbookQuestion});
        EXPECT_EQ(rows("SELECT Budget_Name, Path FROM MasterFiles WHERE Master_File = 'Plan.xlsx'"),
                  QStringList{kBudget + u'|' + masters_});
        auto& tabs = control<QTabWidget>(build, "SSTab1");
        EXPECT_EQ(tabs.currentIndex(), kCreateUserFilesTab) << "a workbook just added opens there";
        auto& sheets = control<platform::ui::EditGrid>(build, "dtCUF");
        EXPECT_EQ(column(sheets, 1), (QStringList{"Sales", "Costs", "Rates", "Summary"}));
        for (const auto& [sheet, folder] : {std::pair{"Sales", "Nor"}, {"Costs", "Sou"}}) {
            const int row = static_cast<int>(column(sheets, 1).indexOf(QString::fromLatin1(sheet)));
            sheets.editCell(row, 0, 1);
            sheets.editCell(row, 2, QString::fromLatin1(folder));
        }
        testsupport::saveScreenshot(build, QStringLiteral("addin-build-create-user-files"));
        ui().clear();
        control<QPushButton>(build, "cmdOK").click(); // Make
        EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
        EXPECT_TRUE(master->saved()) << "the cut leaves the open master unchanged";

        tabs.setCurrentIndex(kAssignUserFilesTab);
        auto& assign = control<platform::ui::EditGrid>(build, "dtUFAssign");
        EXPECT_EQ(column(assign, 0), (QStringList{"Sales.xlsx", "Costs.xlsx"}));
        for (const auto& [row, typed] : {std::pair{0, "An"}, {1, "Bo"}})
            assign.editCell(row, 2, QString::fromLatin1(typed));
        EXPECT_EQ(column(assign, 2), (QStringList{kAnn.name, kBob.name}));
        testsupport::saveScreenshot(build, QStringLiteral("addin-build-assign-user-files"));
        control<QPushButton>(build, "cmdOK").click(); // OK on Assign User Files closes
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
        EXPECT_EQ(
            rows("SELECT User_Filename, Folder_Name, Users FROM UserFileTablesData WHERE Budget_Name = ? "
                 "ORDER BY User_Filename",
                 {kBudget}),
            (QStringList{"Costs.xlsx|South|Bob", "Sales.xlsx|North|Ann"}));
        return master;
    }

    // One of the add-in's dialogs, as its command on the program's add-in menu opens it.
    QWidget& addInDialog(const char* command, const char* form) {
        window_->findChild<QAction*>(QString::fromLatin1(command))->trigger();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String(form) && top->isVisible())
                return *top;
        ADD_FAILURE() << "no dialog " << form;
        return *window_;
    }
    QWidget& runBudget() { return addInDialog("mnuRunBudget", "frmRunBudget"); }

    static QStringList column(const platform::ui::DataGrid& grid, int col) {
        QStringList texts;
        for (int row = 0; row < grid.rowCount(); ++row)
            texts << grid.cellText(row, col);
        return texts;
    }
    template <class Control> static Control& control(QWidget& form, const char* name) {
        return *testsupport::control<Control>(form, QString::fromLatin1(name));
    }
    void showTab(QWidget& form, int tab, const QString& screenshot) {
        control<QTabWidget>(form, "SSTab1").setCurrentIndex(tab);
        testsupport::saveScreenshot(form, screenshot);
    }

    // The user takes the mailed file (or, answering again, the copy answered last time), types
    // into it (openpyxl, or LibreOffice) and mails it back.
    void answer(const CycleUser& user, const QString& file, const Typing& typed, bool withLibreOffice) {
        QString& path = copies_[user.name + u'/' + file];
        if (path.isEmpty()) {
            const auto mails = delivered();
            ASSERT_EQ(mails.count(file), 1u) << file.toStdString();
            path = testsupport::freshDir(QStringLiteral("user-") + user.name) + u'/' + file;
            QFile mailed(path);
            ASSERT_TRUE(mailed.open(QIODevice::WriteOnly));
            mailed.write(mails.at(file).attachment);
        }
        QFile saved(path);
        if (withLibreOffice) {
            QJsonArray cells;
            for (const auto& [cell, text] : typed)
                cells.append(QJsonArray{1, cell, text});
            sheettest::runPythonFile(
                testsupport::fixturePath(QStringLiteral("lo_cells.py")),
                {QStringLiteral("edit"), path,
                 QString::fromUtf8(QJsonDocument(cells).toJson(QJsonDocument::Compact))});
        } else {
            typeInto(path, typed);
        }
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        ASSERT_TRUE(pop3_->deliver(
            platform::mail::buildMessage({user.address, kRobotAddress, QStringLiteral("RE: Budget 2025"),
                                          QStringLiteral("Done."), file, saved.readAll()})
                .value()));
    }

    platform::sheet::Application app_;
    lumisheet::AddInHost host_;
    std::unique_ptr<lumisheet::MainWindow> window_;
    std::map<QString, QString> copies_; // user/file: the user's own copy
};

TEST_F(AddInCycleTest, MailedCollectedAndMergedIntoTheMasterOpenInLumisheet) {
    startMailServers();
    configure({kAnn, kBob}, {QStringLiteral("North"), QStringLiteral("South")});
    platform::sheet::Workbook* master = registerAndCut();
    ASSERT_NE(master, nullptr);
    ASSERT_FALSE(HasFailure());
    ui().acceptUnscriptedMessages();

    // Mail: the Send Mail tab, shown first (its tab kept from the last opening).
    QWidget& form = runBudget();
    EXPECT_EQ(control<QTabWidget>(form, "SSTab1").currentIndex(), 1);
    EXPECT_EQ(form.windowTitle(), "Run Budget - Update Workbook")
        << "the caption after the load, whatever the tab";
    auto& grid = control<platform::ui::EditGrid>(form, "dtSendMail");
    ASSERT_EQ(grid.rowCount(), 2);
    for (int row = 0; row < grid.rowCount(); ++row)
        grid.editCell(row, mail::SendMailPanel::kMailFile, 1);
    control<platform::ui::ComboList>(form, "cbxFrom").setListIndex(0);
    control<platform::ui::ComboList>(form, "cbxSubject").setText(QStringLiteral("Budget 2025"));
    control<platform::ui::ComboList>(form, "cbxBodyText")
        .setText(QStringLiteral("Please fill in your figures."));
    testsupport::saveScreenshot(form, QStringLiteral("addin-run-send-mail"));
    ui().clear();
    control<QPushButton>(form, "cmdOK").click();
    EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
    ASSERT_EQ(delivered().size(), 2u);
    EXPECT_EQ(delivered().at(QStringLiteral("Costs.xlsx")).recipient, kBob.address);

    // The users answer.
    nextSecond();
    answer(kAnn, QStringLiteral("Sales.xlsx"), {{QStringLiteral("B2"), QStringLiteral("150")}}, false);
    answer(kBob, QStringLiteral("Costs.xlsx"), {{QStringLiteral("B3"), QStringLiteral("70")}}, true);

    // Get Mail on the Status tab.
    showTab(form, 2, QStringLiteral("addin-run-status-before"));
    control<QLineEdit>(form, "tbxPassword").setText(testsupport::Pop3Server::kPassword);
    ui().clear();
    control<QPushButton>(form, "cmdOK").click();
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "1|0|newer");
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), "1|0|newer");
    auto& status = control<platform::ui::DataGrid>(form, "dtViewBS");
    ASSERT_EQ(status.rowCount(), 2);
    EXPECT_EQ(status.cellText(0, 4), "1") << "returned and waiting";
    testsupport::saveScreenshot(form, QStringLiteral("addin-run-status"));

    // Meanwhile the desktop program, in a process of its own.
    const QByteArray onDisk = readAll(plan_);
    const testsupport::ProgramResult desktop =
        testsupport::runProgram(QStringLiteral(CYCLE_DESKTOP_PROGRAM), {});
    ASSERT_TRUE(desktop.finished && desktop.exitCode == 0) << desktop.err.toStdString();
    EXPECT_TRUE(desktop.out.contains(u"status: Sales.xlsx|sent|1")) << desktop.out.toStdString();
    EXPECT_TRUE(desktop.out.contains(u"status: Costs.xlsx|sent|1")) << desktop.out.toStdString();
    EXPECT_TRUE(desktop.out.endsWith(u"done\n")) << desktop.out.toStdString();
    EXPECT_EQ(readAll(plan_), onDisk) << "the desktop's run leaves the master Lumisheet holds alone";
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Errors WHERE File_In_Use = 1 AND MF_Name = 'Plan.xlsx'").toInt(),
              1);

    // Update with Accept and Save Master File.
    showTab(form, 0, QStringLiteral("addin-run-update"));
    control<platform::ui::ComboList>(form, "cbxChgeDataMode").setText(workbooks::kAcceptChanges);
    auto& save = control<QCheckBox>(form, "chkSave");
    if (!save.isChecked())
        save.click();
    ui().clear();
    control<QPushButton>(form, "cmdOK").click();
    EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
    EXPECT_EQ(master->sheet(QStringLiteral("Sales")).value({2, 2}).toText(), "150");
    EXPECT_EQ(master->sheet(QStringLiteral("Sales")).value({5, 2}).toText(), "650") << "the total follows";
    EXPECT_EQ(master->sheet(QStringLiteral("Costs")).value({3, 2}).toText(), "70");
    EXPECT_TRUE(master->saved());
    EXPECT_EQ(app_.activeWorkbook(), master);
    const QStringList sales = workbookstest::LibreOfficeSheet(plan_, 1);
    ASSERT_GE(sales.size(), 5);
    EXPECT_EQ(sales[1], "North,150,110,260,13") << "saved: LibreOffice reads the merged master";
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "0|0|booked");
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), "0|0|booked");
    showTab(form, 3, QStringLiteral("addin-run-file"));

    // A last answer reviewed in the edit review, over the master.
    answer(kAnn, QStringLiteral("Sales.xlsx"), {{QStringLiteral("C2"), QStringLiteral("120")}}, false);
    showTab(form, 2, QStringLiteral("addin-run-status-again"));
    EXPECT_TRUE(control<QLineEdit>(form, "tbxPassword").text().isEmpty()) << "not saved: emptied after use";
    control<QLineEdit>(form, "tbxPassword").setText(testsupport::Pop3Server::kPassword);
    ui().clear();
    control<QPushButton>(form, "cmdOK").click();
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "1|0|newer")
        << ui().messageTexts().join(u'|').toStdString();
    control<QTabWidget>(form, "SSTab1").setCurrentIndex(0);
    EXPECT_TRUE(form.windowTitle().startsWith(u"Run Budget - Update Workbook [Context: Plan] [Updated: "))
        << form.windowTitle().toStdString();
    control<platform::ui::ComboList>(form, "cbxChgeDataMode").setText(workbooks::kEditChanges);
    QStringList reviewed;
    QTimer reviewer;
    reviewer.setInterval(50);
    QObject::connect(&reviewer, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* changes = top->objectName() == QLatin1String("frmWait")
                                ? top->findChild<platform::ui::DataGrid*>(QStringLiteral("dtChangedData"))
                                : nullptr;
            if (!changes || !top->isVisible() || changes->rowCount() == 0)
                continue;
            reviewer.stop();
            for (int row = 0; row < changes->rowCount(); ++row)
                reviewed << changes->cellText(row, 0) + u'|' + changes->cellText(row, 1) + u'|' +
                                changes->cellText(row, 3);
            if (!qEnvironmentVariableIsEmpty("LUMIDESK_SCREENSHOT_DIR"))
                QGuiApplication::primaryScreen()->grabWindow(0).save(
                    qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR") +
                    QStringLiteral("/addin-edit-review.png"));
            top->findChild<QPushButton*>(QStringLiteral("cmdContinue"))->click();
        }
    });
    reviewer.start();
    ui().clear();
    control<QPushButton>(form, "cmdOK").click();
    EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
    EXPECT_EQ(reviewed, QStringList{"C2|110|120"});
    EXPECT_EQ(master->sheet(QStringLiteral("Sales")).value({2, 3}).toText(), "120");
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "0|0|booked");
}

} // namespace
