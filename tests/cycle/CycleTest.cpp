// The whole budget cycle on a fresh master database: configuration, a budget of two master
// workbooks (Plan.xlsx with a protected sheet, Locked.xlsx encrypted with both passwords), the
// user files cut and assigned, mailed with a due date through a real SMTP server, returned by
// the users through a real POP3 mailbox, collected, previewed, edited and accepted; then every
// master is read back by this program and by LibreOffice.
#include "CycleFixture.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace cycletest {
namespace {

using platform::ui::Answer;
using workbookstest::kCostsPassword;
using workbookstest::kOpenPassword;

const CycleUser kAnn{QStringLiteral("Ann"), QStringLiteral("ann@example.org")};
const CycleUser kBob{QStringLiteral("Bob"), QStringLiteral("bob@example.org")};
const CycleUser kCy{QStringLiteral("Cy"), QStringLiteral("cy@example.org")};

const QString kCorruptQuestion =
    QStringLiteral("The User file [Costs.xlsx] has a corrupted formula at [D2]. \r\n"
                   " Repair or replace this User File.  Do you want to continue "
                   "updating?");

class BudgetCycle : public CycleFixture {
protected:
    void SetUp() override {
        CycleFixture::SetUp();
        startMailServers();
    }
};

TEST_F(BudgetCycle, EveryReturnedChangeReachesItsMasterAndNothingElse) {
    // 1. Configuration.
    configure({kAnn, kBob, kCy}, {QStringLiteral("North"), QStringLiteral("South")});

    // 2. The budget in the Setup Budget Wizard: masters, picked sheets, the cut, the assignment.
    buildBudgetInWizard({{QStringLiteral("Sales.xlsx"), kAnn.name},
                         {QStringLiteral("Costs.xlsx"), kAnn.name},
                         {QStringLiteral("Rates.xlsx"), kBob.name},
                         {QStringLiteral("Summary.xlsx"), kCy.name}});
    const QString plan = plan_;
    const QString locked = locked_;
    EXPECT_EQ(
        ui().messageTexts(),
        (QStringList{QStringLiteral("Do you want the new budget name to be the current context?"),
                     QStringLiteral("Add - ") + plan + QStringLiteral(" to list?"),
                     QStringLiteral("Add - ") + locked + QStringLiteral(" to list?"),
                     QStringLiteral("Worksheet 'Sales' from 'Locked.xlsx' duplicates a worksheet name from "
                                    "'Plan.xlsx' and can't be entered"),
                     QStringLiteral("Worksheet 'Costs' from 'Locked.xlsx' duplicates a worksheet name from "
                                    "'Plan.xlsx' and can't be entered")}));
    EXPECT_EQ(rows("SELECT Users || ':' || User_Filename FROM UserFileTablesData WHERE Budget_Name = 'Plan' "
                   "ORDER BY User_Filename"),
              (QStringList{QStringLiteral("Ann:Costs.xlsx"), QStringLiteral("Bob:Rates.xlsx"),
                           QStringLiteral("Ann:Sales.xlsx"), QStringLiteral("Cy:Summary.xlsx")}));
    ui().clear();

    // 3. Due date and mail.
    const QDate due(2031, 3, 31);
    sendMail(due);
    EXPECT_TRUE(ui().messageTexts().isEmpty()) << ui().messageTexts().join(u'|').toStdString();
    const std::map<QString, Delivered> mails = delivered();
    ASSERT_EQ(mails.size(), 4u);
    for (const auto& [file, user] :
         {std::pair{"Sales.xlsx", kAnn}, {"Costs.xlsx", kAnn}, {"Rates.xlsx", kBob}, {"Summary.xlsx", kCy}}) {
        ASSERT_TRUE(mails.count(QString::fromLatin1(file))) << file;
        EXPECT_EQ(mails.at(QString::fromLatin1(file)).recipient, user.address) << file;
    }
    EXPECT_EQ(rows("SELECT COUNT(*) FROM UserFileTablesData WHERE Budget_Name = 'Plan' AND Email_Sent IS NOT "
                   "NULL AND Due_Date = '2031-03-31 00:00:00'"),
              QStringList{QStringLiteral("4")});

    // 4. The users: Ann changes numbers, a text and a cell the totals depend on, and in her
    // other file types a number over a total's formula; Bob sends his file back unchanged; Cy
    // never answers.
    nextSecond();
    playUser(kAnn, QStringLiteral("Sales.xlsx"), mails.at(QStringLiteral("Sales.xlsx")).attachment,
             {{QStringLiteral("B2"), QStringLiteral("150")},
              {QStringLiteral("C3"), QStringLiteral("222")},
              {QStringLiteral("A4"), QStringLiteral("Eastern")}});
    playUser(kBob, QStringLiteral("Rates.xlsx"), mails.at(QStringLiteral("Rates.xlsx")).attachment, {});
    playUser(kAnn, QStringLiteral("Costs.xlsx"), mails.at(QStringLiteral("Costs.xlsx")).attachment,
             {{QStringLiteral("D2"), QStringLiteral("999")}, {QStringLiteral("B3"), QStringLiteral("25")}});

    // 5. Collection, then preview (all folders), edit (North) and accept (South).
    const QByteArray planBefore = digest(plan);
    const QByteArray lockedBefore = digest(locked);
    ui().answerMessages({Answer::Yes});
    EXPECT_EQ(collect(), 0);
    EXPECT_EQ(ui().messageTexts().value(0),
              QStringLiteral("You have 3 messages in your Inbox.  Download now?"));
    EXPECT_TRUE(pop3_->mailbox().isEmpty()) << "every returned file was taken";
    for (const char* file : {"Sales.xlsx", "Rates.xlsx", "Costs.xlsx"})
        EXPECT_EQ(state(QString::fromLatin1(file)), QStringLiteral("1|0|newer")) << file;
    EXPECT_EQ(state(QStringLiteral("Summary.xlsx")), QStringLiteral("0|0|booked")) << "never returned";

    // The status grid: all mailed with their due date, the three returned files waiting.
    ui().clear();
    ui().acceptUnscriptedMessages();
    EXPECT_EQ(statusColours(),
              (QStringList{"Costs.xlsx GGGG", "Rates.xlsx GGGG", "Sales.xlsx GGGG", "Summary.xlsx GRGG"}));
    ui().acceptUnscriptedMessages(false);

    ui().clear();
    ui().answerMessages({Answer::Yes});
    const auto previewed = update(workbooks::kPreviewChanges, {});
    EXPECT_EQ(ui().messageTexts(), QStringList{kCorruptQuestion});
    ASSERT_EQ(previewed.size(), 1u) << "only a file with changes is shown for review";
    EXPECT_EQ(previewed.begin()->first, QStringLiteral("Sales.xlsx"));
    EXPECT_EQ(previewed.begin()->second, (QStringList{"A4|East|0|Eastern", "B2|100|0|150", "C3|210|0|222"}));
    EXPECT_EQ(digest(plan), planBefore) << "a preview writes nothing";
    EXPECT_EQ(digest(locked), lockedBefore);

    ui().clear();
    const auto edited = update(workbooks::kEditChanges, QStringLiteral("North"),
                               [](const QString& file, core::frmWait& wait) {
                                   if (file != QStringLiteral("Sales.xlsx"))
                                       return;
                                   auto& grid = *wait.dtChangedData();
                                   for (int row = 0; row < grid.rowCount(); ++row)
                                       if (grid.cellText(row, 0) == QStringLiteral("B2"))
                                           grid.setCellValue(row, 3, QStringLiteral("175"));
                                   testsupport::saveScreenshot(wait, QStringLiteral("cycle-edit-changes"));
                               });
    EXPECT_TRUE(ui().messageTexts().isEmpty()) << ui().messageTexts().join(u'|').toStdString();
    EXPECT_EQ(edited.size(), 1u);
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), QStringLiteral("0|0|booked"));
    EXPECT_EQ(state(QStringLiteral("Rates.xlsx")), QStringLiteral("0|0|booked"));
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), QStringLiteral("1|1|newer")) << "another folder";

    ui().clear();
    ui().answerMessages({Answer::Yes});
    const auto accepted = update(workbooks::kAcceptChanges, QStringLiteral("South"));
    EXPECT_EQ(ui().messageTexts(), QStringList{kCorruptQuestion});
    EXPECT_TRUE(accepted.empty()) << "accept mode shows no review";

    // 6. The masters hold exactly the users' changes (Ann's B2 as edited), their totals as
    // LibreOffice computes them.
    const QList<QStringList> planSheets = workbookstest::LibreOfficeSheets(plan, {1, 2, 4});
    ASSERT_EQ(planSheets.size(), 3);
    EXPECT_EQ(planSheets[0],
              (QStringList{"Item,Q1,Q2,Total,Commission", "North,175,110,285,14.25", "South,200,222,422,21.1",
                           "Eastern,300,310,610,30.5", "Total,675,642,1317,"}));
    EXPECT_EQ(planSheets[1], (QStringList{"Item,Q1,Q2,Total", "Staff,50,55,105", "Rent,20,20,40",
                                          "Travel,5,7,12", "Total,75,82,157"}))
        << "nothing of Ann's damaged file is merged";
    EXPECT_EQ(planSheets[2], (QStringList{"Sales,1317", "Costs,157", "Result,1160"}));
    EXPECT_EQ(ourSheet(plan, QStringLiteral("Sales")), planSheets[0]) << "saved with LibreOffice's totals";
    EXPECT_EQ(ourSheet(plan, QStringLiteral("Summary")), planSheets[2]);
    const QStringList lockedSales = workbookstest::LibreOfficeSheet(locked, 1, kOpenPassword);
    EXPECT_EQ(lockedSales,
              (QStringList{"Item,Q1,Q2,Total,Commission", "North,100,110,210,10.5", "South,200,210,410,20.5",
                           "East,300,310,610,30.5", "Total,600,630,1230,"}));
    EXPECT_EQ(digest(locked), lockedBefore) << "a file returned unchanged writes nothing";
    EXPECT_EQ(ourSheet(locked, QStringLiteral("Sales"), kOpenPassword), lockedSales);

    // Still encrypted and write-reserved, the sheet still protected by its password.
    EXPECT_THROW(Workbook::open(locked), std::exception) << "still encrypted";
    {
        std::unique_ptr<Workbook> book = Workbook::open(locked, OpenOptions::withPassword(kOpenPassword));
        EXPECT_TRUE(book->readOnly()) << "still write-reserved";
        book->close();
        book = Workbook::open(plan, OpenOptions::readOnlyAccess());
        EXPECT_TRUE(book->sheet(QStringLiteral("Costs")).isProtected());
        EXPECT_TRUE(book->sheet(QStringLiteral("Costs")).verifyPassword(kCostsPassword));
        book->close();
    }

    // The Errors table holds the damaged formula and nothing else; the bookings follow.
    EXPECT_EQ(rows("SELECT DISTINCT UF_name, A1Style, Corrupt_Error FROM Errors"),
              QStringList{QStringLiteral("Costs.xlsx|D2|1")});
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), QStringLiteral("1|1|newer"))
        << "left waiting, marked corrupt";
    EXPECT_EQ(state(QStringLiteral("Summary.xlsx")), QStringLiteral("0|0|booked")) << "Cy never answered";
    const QString summaryFile =
        scalar("SELECT UFNPath FROM Worksheets WHERE Worksheet_Name = 'Summary' AND Budget_Name = 'Plan'")
            .toString();
    EXPECT_EQ(readAll(summaryFile), mails.at(QStringLiteral("Summary.xlsx")).attachment)
        << "as it was mailed";

    // The administrator locks Cy's file out: the grid shows the merged files done, Bob's still
    // waiting, Cy's locked out and not returned.
    execute("UPDATE UserFileTablesData SET Lockout_User_Updates = 1 WHERE User_Filename = 'Summary.xlsx'");
    ui().clear();
    ui().acceptUnscriptedMessages();
    EXPECT_EQ(statusColours(QStringLiteral("cycle-status-grid")),
              (QStringList{"Costs.xlsx GGGG", "Rates.xlsx GRGG", "Sales.xlsx GRGG", "Summary.xlsx GRRG"}));
}

// Two budgets both cut a sheet Sales for Ann, and she answers both. Get Mail in each budget's
// context takes only that budget's answer -- the other's stays on the server, refused with a
// message that names both -- and each update run merges it into its own master.
TEST_F(BudgetCycle, EachBudgetsAnswerLandsInItsOwnMaster) {
    configure({kAnn}, {QStringLiteral("North")});
    buildTwoBudgetsForOneUser(kAnn);
    nextSecond();
    answerWithLibreOffice(kAnn, kBudget, QStringLiteral("Sales.xlsx"),
                          {{QStringLiteral("B2"), QStringLiteral("150")}});
    answerWithLibreOffice(kAnn, kOtherBudget, QStringLiteral("Sales.xlsx"),
                          {{QStringLiteral("B2"), QStringLiteral("777")}});

    core::gOptions->BudgetNameContext = kBudget;
    ui().clear();
    ui().answerMessages({Answer::Yes});
    ui().acceptUnscriptedMessages();
    EXPECT_EQ(collect(), 0);
    ASSERT_EQ(pop3_->mailbox().size(), 1) << "the other budget's answer stays";
    const QStringList reports = ui().messageTexts().filter(QStringLiteral("These messages were left"));
    ASSERT_EQ(reports.size(), 1) << ui().messageTexts().join(u'|').toStdString();
    EXPECT_TRUE(reports.first().contains(QStringLiteral(
        "ann@example.org: Sales.xlsx was cut from the sheet 'Sales' of Other.xlsx in the budget "
        "'Other' (cut ")))
        << reports.first().toStdString();
    EXPECT_TRUE(reports.first().contains(
        QStringLiteral("), not from the sheet 'Sales' of Plan.xlsx in the budget 'Plan' (cut ")));
    EXPECT_EQ(rows("SELECT UF_name, Budget_Name, UFPassArrayFailed FROM Errors"),
              QStringList{QStringLiteral("Sales.xlsx|Plan|1")});
    ui().clear();
    update(workbooks::kAcceptChanges, {});
    EXPECT_TRUE(ui().messageTexts().isEmpty()) << ui().messageTexts().join(u'|').toStdString();

    core::gOptions->BudgetNameContext = kOtherBudget;
    ui().answerMessages({Answer::Yes});
    EXPECT_EQ(collect(), 0);
    EXPECT_TRUE(pop3_->mailbox().isEmpty());
    ui().clear();
    workbooks::UpdateMasterFilesCommand({kOtherBudget, {}, workbooks::kAcceptChanges});
    EXPECT_TRUE(ui().messageTexts().isEmpty()) << ui().messageTexts().join(u'|').toStdString();

    EXPECT_EQ(workbookstest::LibreOfficeSheet(plan_, 1).value(1), QStringLiteral("North,150,110,260,13"));
    EXPECT_EQ(workbookstest::LibreOfficeSheet(other_, 1).value(1), QStringLiteral("North,777,110,887,44.35"));
}

} // namespace
} // namespace cycletest
