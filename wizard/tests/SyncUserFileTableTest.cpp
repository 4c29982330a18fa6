// The register of user files kept in step with the worksheets: rows added once per built,
// picked user file of the budget context, their folder following the worksheet, their user
// and state kept, and nothing of other budgets or of unbuilt or unpicked worksheets.
#include "wizard/SyncUserFileTable.h"

#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "support/ScriptedUi.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>

// Readable texts in test failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

class SyncUserFileTableTest : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    }
    // A worksheet row: picked or not, built (with a creation date) or not.
    static void worksheet(const QString& sheet, const QString& budget, const QString& folder, bool picked,
                          bool built, const QVariant& masterFile = QStringLiteral("Budget.xlsx")) {
        execute("INSERT INTO Worksheets (Worksheet_Name, Budget_Name, Folder_Name, Select_By_User, "
                "User_Filename, "
                "Master_File, UF_Create_Date) VALUES (?, ?, ?, ?, ?, ?, ?)",
                {sheet, budget, folder, picked ? 1 : 0, sheet + QStringLiteral(".xlsx"), masterFile,
                 built ? QVariant(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))) : QVariant()});
    }
    static QStringList registerRows() {
        return tableRows(
            QStringLiteral("SELECT User_Filename, Budget_Name, Master_File, Folder_Name, Select_By_User, "
                           "Users, UserFile_Update, Lockout_User_Updates, Email_Sent, Due_Date "
                           "FROM UserFileTablesData WHERE User_Filename <> '<Dummy record>' "
                           "ORDER BY User_Filename, Budget_Name"));
    }
};

TEST_F(SyncUserFileTableTest, AddsOneRowPerBuiltPickedFileOfTheContext) {
    worksheet("Sales", "Plan", "North", true, true);
    worksheet("Costs", "plan", "South", true, true, QVariant()); // no master file, budget in other case
    worksheet("Rates", "Plan", "North", false, true);            // not picked
    worksheet("Summary", "Plan", "North", true, false);          // not built
    worksheet("Sales", "Other", "North", true, true);            // another budget
    testsupport::ScopedScriptedUi ui;
    wizard::SyncUserFileTable();
    EXPECT_EQ(registerRows(), (QStringList{"Costs.xlsx|plan|-|South|1|-|0|0|-|-",
                                           "Sales.xlsx|Plan|Budget.xlsx|North|1|-|0|0|-|-"}))
        << "a new row is unassigned, never mailed, not waiting and not locked out";
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(core::gDB2, nullptr);
}

TEST_F(SyncUserFileTableTest, ExistingRowKeepsItsStateAndFollowsTheFolder) {
    worksheet("Sales", "Plan", "North", true, true);
    execute("INSERT INTO UserFileTablesData (User_Filename, Budget_Name, Master_File, Folder_Name, "
            "Select_By_User, "
            "Users, UserFile_Update, Due_Date) VALUES ('SALES.XLSX', 'Plan', 'Budget.xlsx', 'North', 1, "
            "'Ann', 1, "
            "'5/1/2024')");
    wizard::SyncUserFileTable();
    wizard::SyncUserFileTable();
    EXPECT_EQ(registerRows(), QStringList{"SALES.XLSX|Plan|Budget.xlsx|North|1|Ann|1|0|-|5/1/2024"})
        << "the same file in other letter case: no second row, the assignment kept";

    execute("UPDATE Worksheets SET Folder_Name = 'West' WHERE Worksheet_Name = 'Sales'");
    wizard::SyncUserFileTable();
    EXPECT_EQ(registerRows(), QStringList{"SALES.XLSX|Plan|Budget.xlsx|West|1|Ann|1|0|-|5/1/2024"});
}

// Many files at once, in any letter case: each file's row is found whichever rows came before
// it, a file that two worksheets share gets one row that follows the last of them, and of two rows
// the register already holds for one file the first is the one kept in step.
TEST_F(SyncUserFileTableTest, EachFileFindsItsOwnRowAmongMany) {
    execute("INSERT INTO UserFileTablesData (User_Filename, Budget_Name, Folder_Name, Users) VALUES "
            "('F07.XLSX', 'Plan', 'Old', 'Ann'), ('f07.xlsx', 'Plan', 'Old', 'Bob'), "
            "('F03.xlsx', 'PLAN', 'North', 'Cy'), ('F12.xlsx', 'Other', 'Old', 'Di')");
    QStringList expected;
    for (int i = 15; i >= 0; --i) {
        const QString name = QStringLiteral("F%1").arg(i, 2, 10, QLatin1Char('0'));
        worksheet(name, "Plan", "North", true, true);
        if (i == 7)
            expected << "F07.XLSX|Plan|-|North|0|Ann|0|0|-|-"
                     << "f07.xlsx|Plan|-|Old|0|Bob|0|0|-|-";
        else if (i == 3)
            expected << "F03.xlsx|PLAN|-|North|0|Cy|0|0|-|-";
        else
            expected << name + ".xlsx|Plan|Budget.xlsx|" + (i == 12 ? "South" : "North") + "|1|-|0|0|-|-";
        if (i == 12)
            expected << "F12.xlsx|Other|-|Old|0|Di|0|0|-|-";
    }
    // A second worksheet of the same file, named in other letters, moves it to another folder.
    execute(
        "INSERT INTO Worksheets (Worksheet_Name, Budget_Name, Folder_Name, Select_By_User, User_Filename, "
        "Master_File, UF_Create_Date) VALUES ('Other sheet', 'Plan', 'South', 1, 'f12.XLSX', 'Budget.xlsx', "
        "'2024-01-02 03:04:05')");
    testsupport::ScopedScriptedUi ui;
    wizard::SyncUserFileTable();
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    std::sort(expected.begin(), expected.end()); // as registerRows orders them: names of one length
    EXPECT_EQ(registerRows(), expected);
}

TEST_F(SyncUserFileTableTest, NoContextAddsNothingAndFailureIsReported) {
    worksheet("Sales", "Plan", "North", true, true);
    core::gOptions->BudgetNameContext = QStringLiteral("Nothing");
    testsupport::ScopedScriptedUi ui;
    wizard::SyncUserFileTable();
    EXPECT_TRUE(registerRows().isEmpty());
    EXPECT_TRUE(ui->asked().empty());

    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    execute("DROP TABLE UserFileTablesData");
    wizard::SyncUserFileTable();
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith(QStringLiteral("Error ")))
        << ui->messageTexts().front().toStdString();
}

} // namespace
