// Copying a budget between two master databases on real files: a source and a target made from
// the master database the build ships, the target with keys of its own so that copied master
// workbooks get other keys than they had, and, where it plays the network database, a grant
// column per administrator behind the standard Budgets columns.
#include "wizard/BudgetCopy.h"

#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {

using platform::db::Connection;
using platform::db::Recordset;

class BudgetCopy : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        source_ = openCopy(QStringLiteral("source"));
        target_ = openCopy(QStringLiteral("target"));
        // The source: "Sales" with two master workbooks, one name inside the other, and
        // "SalesX", whose rows a copy of "Sales" must never take along.
        source_.executeScript(QStringLiteral(
            "INSERT INTO Budgets (Budget_Name, Active, Admin_Name, Budget_Description) VALUES "
            "  ('Sales', 1, 'Ann', 'north and south'), ('SalesX', 1, 'Bob', NULL);"
            "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) VALUES "
            "  (11, 'Plan.xlsx', '/m', 'Sales'), (12, 'MyPlan.xlsx', '/m', 'Sales'), (13, 'Plan.xlsx', '/x', "
            "'SalesX');"
            "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, "
            "User_Filename) "
            "VALUES ('North', 'Plan.xlsx', 'Sales', 11, 'North.xlsx'), ('South', 'PLAN.xlsx', 'Sales', 11, "
            "  'South.xlsx'), ('Mine', 'MyPlan.xlsx', 'Sales', 12, 'Mine.xlsx'), "
            "  ('Other', 'Plan.xlsx', 'SalesX', 13, 'Other.xlsx');"
            "INSERT INTO UserFileTablesData (User_Filename, Users, Master_File, Budget_Name) VALUES "
            "  ('North.xlsx', 'Ann', 'Plan.xlsx', 'Sales'), ('Other.xlsx', 'Bob', 'Plan.xlsx', 'SalesX');"));
        // The target already numbers master workbooks past the source's keys and holds a
        // "SalesX" of its own.
        target_.executeScript(QStringLiteral(
            "INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('SalesX', 'Cy');"
            "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Budget_Name) VALUES (40, 'Plan.xlsx', "
            "'SalesX');"
            "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES "
            "  ('Kept', 'Plan.xlsx', 'SalesX', 40);"));
        core::gOptions->LocalToNet = false;
    }

    Connection openCopy(const QString& name) {
        const QString path = testsupport::freshDir(name) + QStringLiteral("/lumimaster.mdb");
        copyBuiltMaster(path);
        Connection cnn;
        cnn.open(QStringLiteral("Data Source=") + path);
        return cnn;
    }

    Recordset budgetRow(const QString& name) {
        return Recordset::open(source_, QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name = ?"),
                               {name});
    }

    // The rows of a query on the target, each as its columns joined by "|".
    QStringList rows(const QString& sql) {
        Recordset rst = Recordset::open(target_, sql);
        QStringList result;
        for (; !rst.eof(); rst.moveNext()) {
            QStringList cells;
            for (int i = 0; i < rst.fieldCount(); ++i)
                cells << (rst.isNull(i) ? QStringLiteral("-") : rst.value(i).toString());
            result << cells.join(QLatin1Char('|'));
        }
        return result;
    }

    QStringList targetBudgetRows() {
        return rows(QStringLiteral(
            "SELECT 'B', Budget_Name FROM Budgets WHERE Budget_Name <> '<Dummy record>' UNION ALL "
            "SELECT 'M', Master_File FROM MasterFiles WHERE Budget_Name IS NOT NULL UNION ALL "
            "SELECT 'W', Worksheet_Name FROM Worksheets WHERE Budget_Name IS NOT NULL UNION ALL "
            "SELECT 'U', User_Filename FROM UserFileTablesData WHERE Budget_Name IS NOT NULL ORDER BY 1, 2"));
    }

    // Plays the network database: grant columns for two administrators, the logged-on one
    // second.
    void makeTargetNetwork(const QString& administrator) {
        target_.addColumn(QStringLiteral("Budgets"),
                          platform::db::ColumnSpec::text(QStringLiteral("Zed"), 200));
        target_.addColumn(QStringLiteral("Budgets"), platform::db::ColumnSpec::text(administrator, 200));
        core::gOptions->LocalToNet = true;
        core::gOptions->LumiAdminUserName = QStringLiteral("ann");
        core::gOptions->LumiAUID = QStringLiteral("token-of-ann");
    }

    Connection source_;
    Connection target_;
};

// The copy takes Sales's rows only, and every copied worksheet points to the key the target gave
// its copied master workbook ("Plan.xlsx" and "MyPlan.xlsx" each to their own).
TEST_F(BudgetCopy, CopiesOneBudgetAndRelinksItsWorksheetsToTheTargetKeys) {
    testsupport::ScopedScriptedUi ui;
    Recordset row = budgetRow(QStringLiteral("Sales"));
    ASSERT_TRUE(wizard::CopyBudgetRecord(row, source_, target_));
    ASSERT_TRUE(wizard::CopyBudgetTables(row, source_, target_));
    EXPECT_TRUE(ui->asked().empty());

    EXPECT_EQ(rows(QStringLiteral("SELECT Budget_Name, Active, Admin_Name, Budget_Description FROM Budgets "
                                  "WHERE Budget_Name = 'Sales'")),
              QStringList{QStringLiteral("Sales|1|Ann|north and south")});
    const QStringList links = rows(QStringLiteral(
        "SELECT w.Worksheet_Name, m.Master_File, w.MasterFiles_ID > 40 FROM Worksheets w "
        "JOIN MasterFiles m ON m.ID_MasterFiles = w.MasterFiles_ID WHERE w.Budget_Name = 'Sales' "
        "AND m.Budget_Name = 'Sales' ORDER BY w.Worksheet_Name"));
    EXPECT_EQ(links, (QStringList{QStringLiteral("Mine|MyPlan.xlsx|1"), QStringLiteral("North|Plan.xlsx|1"),
                                  QStringLiteral("South|Plan.xlsx|1")}));
    EXPECT_EQ(rows(QStringLiteral(
                  "SELECT User_Filename, Users FROM UserFileTablesData WHERE Budget_Name = 'Sales'")),
              QStringList{QStringLiteral("North.xlsx|Ann")});
    // The target's own SalesX is as it was, and nothing of the source's SalesX came along.
    EXPECT_EQ(rows(QStringLiteral(
                  "SELECT b.Admin_Name, w.Worksheet_Name, w.MasterFiles_ID FROM Budgets b "
                  "JOIN Worksheets w ON w.Budget_Name = b.Budget_Name WHERE b.Budget_Name = 'SalesX'")),
              QStringList{QStringLiteral("Cy|Kept|40")});
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM Worksheets WHERE Worksheet_Name = 'Other'")),
              QStringList{QStringLiteral("0")});
}

// A budget without master workbooks travels as its Budgets row alone.
TEST_F(BudgetCopy, ABudgetWithoutRowsCopiesItsRecordOnly) {
    source_.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Empty')"));
    testsupport::ScopedScriptedUi ui;
    Recordset row = budgetRow(QStringLiteral("Empty"));
    ASSERT_TRUE(wizard::CopyBudgetRecord(row, source_, target_));
    ASSERT_TRUE(wizard::CopyBudgetTables(row, source_, target_));
    EXPECT_EQ(targetBudgetRows(), (QStringList{QStringLiteral("B|Empty"), QStringLiteral("B|SalesX"),
                                               QStringLiteral("M|Plan.xlsx"), QStringLiteral("W|Kept")}));
}

// From the network database only the standard columns come along; into it, the logged-on
// administrator's grant column takes the grant and the other administrators' stay empty.
TEST_F(BudgetCopy, GrantColumnsStayBehindOrReceiveTheAdministratorsGrant) {
    testsupport::ScopedScriptedUi ui;
    {
        // The source plays the network database here: a grant in its first grant column.
        source_.addColumn(QStringLiteral("Budgets"),
                          platform::db::ColumnSpec::text(QStringLiteral("Ann"), 200));
        source_.execute(QStringLiteral("UPDATE Budgets SET Ann = 'granted' WHERE Budget_Name = 'Sales'"));
        Recordset row = budgetRow(QStringLiteral("Sales"));
        ASSERT_EQ(row.fieldCount(), wizard::kStandardBudgetColumns + 1);
        ASSERT_TRUE(wizard::CopyBudgetRecord(row, source_, target_));
        EXPECT_EQ(rows(QStringLiteral(
                      "SELECT Admin_Name, Budget_Description FROM Budgets WHERE Budget_Name = 'Sales'")),
                  QStringList{QStringLiteral("Ann|north and south")});
    }
    {
        makeTargetNetwork(QStringLiteral("Ann"));
        source_.execute(
            QStringLiteral("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Costs', 'Ann')"));
        Recordset row = budgetRow(QStringLiteral("Costs"));
        ASSERT_TRUE(wizard::CopyBudgetRecord(row, source_, target_));
        EXPECT_EQ(
            rows(QStringLiteral("SELECT Admin_Name, Zed, Ann FROM Budgets WHERE Budget_Name = 'Costs'")),
            QStringList{QStringLiteral("Ann|-|token-of-ann")});
    }
    EXPECT_TRUE(ui->asked().empty());
}

// Every refusal writes nothing; a source that is not one budget is also told.
TEST_F(BudgetCopy, RefusalsWriteNothing) {
    struct Case {
        const char* name;
        QString sourceQuery;
        bool network;
        bool told;
    };
    const Case cases[] = {
        {"no source row", QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name = 'None'"), false, true},
        {"two source rows", QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name LIKE 'Sales%'"), false,
         true},
        {"placeholder row", QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name = '<Dummy record>'"),
         false, true},
        {"target has the name in other letters",
         QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name = 'SalesX'"), false, false},
        {"no grant column of the administrator",
         QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name = 'Sales'"), true, false},
    };
    target_.execute(QStringLiteral("UPDATE Budgets SET Budget_Name = 'salesx' WHERE Budget_Name = 'SalesX'"));
    makeTargetNetwork(QStringLiteral("Bea"));
    const QStringList before = targetBudgetRows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        core::gOptions->LocalToNet = c.network;
        testsupport::ScopedScriptedUi ui;
        Recordset row = Recordset::open(source_, c.sourceQuery);
        EXPECT_FALSE(wizard::CopyBudgetRecord(row, source_, target_));
        EXPECT_EQ(ui->messageTexts(),
                  c.told ? QStringList{wizard::kBudgetRecordNotFoundText} : QStringList{});
        EXPECT_EQ(targetBudgetRows(), before);
    }
}

// A target that refuses the master workbooks after the other tables went in: the table copy
// answers false, and the caller's one transaction takes the budget row back as well.
TEST_F(BudgetCopy, ACopyThatFailsHalfWayLeavesTheTargetAsItWas) {
    target_.execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON MasterFiles "
                                   "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END"));
    const QStringList before = targetBudgetRows();
    testsupport::ScopedScriptedUi ui;
    Recordset row = budgetRow(QStringLiteral("Sales"));
    {
        platform::db::Transaction transaction(target_);
        ASSERT_TRUE(wizard::CopyBudgetRecord(row, source_, target_));
        EXPECT_FALSE(wizard::CopyBudgetTables(row, source_, target_));
        EXPECT_TRUE(target_.inTransaction()) << "the caller's transaction is the caller's to end";
    }
    EXPECT_EQ(targetBudgetRows(), before);
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith(QStringLiteral("Error ")));
    EXPECT_TRUE(ui->messageTexts().front().contains(QStringLiteral("the disk is full")));

    // Called on its own the table copy is all or nothing by itself.
    ui->clear();
    ASSERT_TRUE(wizard::CopyBudgetRecord(row, source_, target_));
    EXPECT_FALSE(wizard::CopyBudgetTables(row, source_, target_));
    EXPECT_EQ(targetBudgetRows(), (QStringList{QStringLiteral("B|Sales"), QStringLiteral("B|SalesX"),
                                               QStringLiteral("M|Plan.xlsx"), QStringLiteral("W|Kept")}));
    EXPECT_FALSE(target_.inTransaction());
}

} // namespace
