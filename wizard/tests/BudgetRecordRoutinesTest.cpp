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

// The one default author's name or address; none, without a word, when there is no default
// author or more than one; the message only when the one default row is the placeholder.
TEST_F(BudgetRecordRoutines, GetDefaultAuthor) {
    const struct {
        const char* what;
        const char* rows; // Admin rows: name, address, default
        int item;
        QString answer;
        QStringList messages;
    } cases[] = {
        {"no author at all", "", 0, {}, {}},
        {"no default author", "('Ann', 'ann@example.org', 0)", 0, {}, {}},
        {"the placeholder is the default", "('<Dummy record>', NULL, 1)", 0, {}, {wizard::kNoAuthorText}},
        {"one default: the name",
         "('Ann', 'ann@example.org', 1), ('Bob', 'bob@example.org', 0)",
         0,
         "Ann",
         {}},
        {"one default: the address", "('Ann', 'ann@example.org', 1)", 1, "ann@example.org", {}},
        {"one default: no third item", "('Ann', 'ann@example.org', 1)", 2, {}, {}},
        {"two default authors are none",
         "('Ann', 'ann@example.org', 1), ('Bob', 'bob@example.org', 1)",
         0,
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        execute(QStringLiteral("DELETE FROM Admin"));
        if (*c.rows)
            execute(
                QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, \"Default\") VALUES ") +
                QLatin1String(c.rows));
        testsupport::ScopedScriptedUi ui;
        EXPECT_EQ(wizard::GetDefaultAuthor(c.item, true), c.answer);
        EXPECT_EQ(ui->messageTexts(), c.messages);
        ui->clear();
        EXPECT_EQ(wizard::GetDefaultAuthor(c.item, false), c.answer);
        EXPECT_TRUE(ui->asked().empty()) << "never a message without showMessage";
    }
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
