// The small budget-record routines on a master database of the test's own: re-linking the
// worksheets of every budget to their master workbooks' keys, the default author, and the
// message about an empty users table.
#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "support/ScriptedUi.h"
#include "wizard/GetDefaultAuthor.h"
#include "wizard/RelinkAllBudgets.h"
#include "wizard/UsersDataHasRecords.h"

#include <gtest/gtest.h>

namespace {

class BudgetRecordRoutines : public coretest::MasterDbFixture {
protected:
    void execute(const QString& sql) {
        platform::db::Connection cnn = openMaster();
        cnn.execute(sql);
    }
    QStringList worksheetLinks() {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset rst = platform::db::Recordset::open(
            cnn, QStringLiteral("SELECT Worksheet_Name, MasterFiles_ID FROM Worksheets "
                                "WHERE Worksheet_Name <> '<Dummy record>' ORDER BY Worksheet_Name"));
        QStringList links;
        for (; !rst.eof(); rst.moveNext())
            links << rst.value(0).toString() + QLatin1Char('=') + rst.value(1).toString();
        return links;
    }
};

// Each budget's worksheets take the key of the master workbook of the same name in their own
// budget; a budget whose name contains another's takes nothing of it.
TEST_F(BudgetRecordRoutines, RelinkAllBudgetsMatchesWithinEachBudget) {
    execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Sales'), ('Sales 2')"));
    execute(QStringLiteral(
        "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Budget_Name) VALUES "
        "(10, 'Plan.xlsx', 'Sales'), (20, 'Plan.xlsx', 'Sales 2'), (21, 'Cost.xlsx', 'Sales 2')"));
    execute(QStringLiteral(
        "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES "
        "('A', 'Plan.xlsx', 'Sales', 99), ('B', 'PLAN.xlsx', 'sales 2', 0), "
        "('C', 'Cost.xlsx', 'Sales 2', NULL), ('D', 'Cost.xlsx', 'Sales', 7)"));
    testsupport::ScopedScriptedUi ui;
    wizard::RelinkAllBudgets();
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(worksheetLinks(), (QStringList{QStringLiteral("A=10"), QStringLiteral("B=20"),
                                             QStringLiteral("C=21"), QStringLiteral("D=7")}))
        << "D's budget has no Cost.xlsx: its link stays";
    EXPECT_EQ(core::gDB2, nullptr);
}

TEST_F(BudgetRecordRoutines, RelinkAllBudgetsReportsAFailureAndChangesNothing) {
    execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Sales')"));
    execute(QStringLiteral(
        "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES "
        "('A', 'Plan.xlsx', 'Sales', 5)"));
    execute(QStringLiteral("DROP TABLE MasterFiles"));
    testsupport::ScopedScriptedUi ui;
    wizard::RelinkAllBudgets();
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith(QStringLiteral("Error ")));
    EXPECT_EQ(worksheetLinks(), QStringList{QStringLiteral("A=5")});
}

TEST_F(BudgetRecordRoutines, GetDefaultAuthor) {
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(wizard::GetDefaultAuthor(0, false), QString());
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(wizard::GetDefaultAuthor(0, true), QString());
    EXPECT_EQ(ui->messageTexts(), QStringList{wizard::kNoAuthorText});

    execute(QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, \"Default\") VALUES "
                           "('Ann', 'ann@example.org', 1), ('Bob', 'bob@example.org', 0)"));
    ui->clear();
    EXPECT_EQ(wizard::GetDefaultAuthor(0, true), QStringLiteral("Ann"));
    EXPECT_EQ(wizard::GetDefaultAuthor(1, true), QStringLiteral("ann@example.org"));
    EXPECT_TRUE(ui->asked().empty());

    execute(QStringLiteral("UPDATE Admin SET \"Default\" = 1 WHERE Admin_Name = 'Bob'"));
    EXPECT_EQ(wizard::GetDefaultAuthor(0, true), QString()) << "two default authors are none";
    EXPECT_EQ(ui->messageTexts(), QStringList{wizard::kNoAuthorText});
}

TEST_F(BudgetRecordRoutines, UsersDataHasRecordsSpeaksOnlyOfAnEmptyTable) {
    testsupport::ScopedScriptedUi ui;
    wizard::UsersDataHasRecords();
    EXPECT_TRUE(ui->asked().empty()) << "the placeholder row counts as a row";
    execute(QStringLiteral("DELETE FROM UsersData"));
    wizard::UsersDataHasRecords();
    ASSERT_EQ(ui->asked().size(), 1u);
    EXPECT_EQ(ui->asked().front().text, wizard::kNoUsersText);
    EXPECT_EQ(ui->asked().front().title, QStringLiteral("Lumi"));
}

} // namespace
