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
#include "AddInCycleFixture.h"
#include "mail/SendMailPanel.h"
#include "support/ChildProcess.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

using namespace cycletest;

class AddInCycleTest : public AddInCycleFixture {};

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
    ui().clear();
    const QStringList reviewed = updateInRunBudget(form, workbooks::kEditChanges, [](QWidget&) {
        if (!qEnvironmentVariableIsEmpty("LUMIDESK_SCREENSHOT_DIR"))
            QGuiApplication::primaryScreen()->grabWindow(0).save(
                qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR") + QStringLiteral("/addin-edit-review.png"));
    });
    EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
    EXPECT_EQ(reviewed, QStringList{"C2|110|120"});
    EXPECT_EQ(master->sheet(QStringLiteral("Sales")).value({2, 3}).toText(), "120");
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "0|0|booked");
}

// Two budgets both cut a sheet Sales for Ann and she answers both: in Lumisheet, the Run Budget
// dialog on each master collects only its own budget's answer -- the other's stays on the
// server -- and merges it into that master.
TEST_F(AddInCycleTest, EachBudgetsAnswerLandsInItsOwnMasterOpenInLumisheet) {
    startMailServers();
    configure({kAnn}, {QStringLiteral("North")});
    buildTwoBudgetsForOneUser(kAnn);
    ASSERT_FALSE(HasFailure());
    nextSecond();
    answerWithLibreOffice(kAnn, kBudget, QStringLiteral("Sales.xlsx"),
                          {{QStringLiteral("B2"), QStringLiteral("150")}});
    answerWithLibreOffice(kAnn, kOtherBudget, QStringLiteral("Sales.xlsx"),
                          {{QStringLiteral("B2"), QStringLiteral("777")}});
    ui().acceptUnscriptedMessages();

    const auto collectAndMerge = [this](platform::sheet::Workbook& master, const QString& budget) {
        QWidget& form = runBudget();
        showTab(form, 2, QStringLiteral("addin-two-budgets-status-") + budget);
        control<QLineEdit>(form, "tbxPassword").setText(testsupport::Pop3Server::kPassword);
        ui().clear();
        ui().answerMessages({platform::ui::Answer::Yes});
        control<QPushButton>(form, "cmdOK").click();
        EXPECT_EQ(state(QStringLiteral("Sales.xlsx"), budget), "1|0|newer");
        showTab(form, 0, QStringLiteral("addin-two-budgets-update-") + budget);
        EXPECT_TRUE(form.windowTitle().contains(QStringLiteral("[Context: ") + budget + u']'))
            << form.windowTitle().toStdString();
        control<platform::ui::ComboList>(form, "cbxChgeDataMode").setText(workbooks::kAcceptChanges);
        auto& save = control<QCheckBox>(form, "chkSave");
        if (!save.isChecked())
            save.click();
        control<QPushButton>(form, "cmdOK").click();
        EXPECT_TRUE(master.saved());
        return ui().messageTexts();
    };

    platform::sheet::Workbook* plan = lumisheet::OpenWorkbook(app_, plan_);
    ASSERT_NE(plan, nullptr);
    const QStringList planSaid = collectAndMerge(*plan, kBudget);
    EXPECT_EQ(pop3_->mailbox().size(), 1) << "the other budget's answer stays";
    EXPECT_EQ(
        planSaid
            .filter(QStringLiteral("Sales.xlsx was cut from the sheet 'Sales' of Other.xlsx in the budget "
                                   "'Other'"))
            .size(),
        1)
        << planSaid.join(u'|').toStdString();
    EXPECT_EQ(plan->sheet(QStringLiteral("Sales")).value({2, 2}).toText(), "150");

    platform::sheet::Workbook* other = lumisheet::OpenWorkbook(app_, other_);
    ASSERT_NE(other, nullptr);
    const QStringList otherSaid = collectAndMerge(*other, kOtherBudget);
    EXPECT_TRUE(otherSaid.filter(QStringLiteral("These messages")).isEmpty())
        << otherSaid.join(u'|').toStdString();
    EXPECT_TRUE(pop3_->mailbox().isEmpty());
    EXPECT_EQ(other->sheet(QStringLiteral("Sales")).value({2, 2}).toText(), "777");
    EXPECT_EQ(plan->sheet(QStringLiteral("Sales")).value({2, 2}).toText(), "150");
    EXPECT_EQ(workbookstest::LibreOfficeSheet(plan_, 1).value(1), "North,150,110,260,13");
    EXPECT_EQ(workbookstest::LibreOfficeSheet(other_, 1).value(1), "North,777,110,887,44.35");
}

} // namespace
