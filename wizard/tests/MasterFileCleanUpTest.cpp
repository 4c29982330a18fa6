// The rows that hang on a master workbook or a user file, removed before the wizard deletes
// the owning row: only the rows of exactly that key, names and budget (ignoring case), all or
// nothing, with the placeholder rows put back in a table left empty. Also the value lists of
// the wizard's grid columns.
#include "wizard/MasterFileCleanUp.h"

#include "wizard/GridLists.h"
#include "wizard/tests/MasterIntakeFixture.h"

#include <gtest/gtest.h>

namespace {

using testsupport::ScopedScriptedUi;

class MasterFileCleanUp : public wizardtest::MasterIntakeFixture {
protected:
    // Worksheets of the master workbooks with the keys 1, 10 and 11 and the user-file rows of
    // their built sheets; user-file rows of the same file names in another master workbook and
    // in another budget.
    static void addRows() {
        execute("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, "
                "Select_By_User, User_Filename) VALUES "
                "('Sales', 'Budget.xlsx', 'Plan', 1, 1, 'Sales.xlsx'),"
                "('Costs', 'Budget.xlsx', 'Plan', 1, 0, 'COSTS.xlsx'),"
                "('Rates', 'Budget.xlsx', 'Plan', 1, 1, NULL),"
                "('North', 'Budget10.xlsx', 'Plan', 10, 1, 'North.xlsx'),"
                "('South', 'Budget11.xlsx', 'Plan', 11, 1, 'South.xlsx')");
        execute("INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name) VALUES "
                "('Sales.xlsx', 'Budget.xlsx', 'Plan'),"
                "('Costs.xlsx', 'budget.XLSX', 'PLAN'),"
                "('North.xlsx', 'Budget10.xlsx', 'Plan'),"
                "('South.xlsx', 'Budget11.xlsx', 'Plan'),"
                "('Sales.xlsx', 'Budget.xlsx', 'Plan 2'),"
                "('Sales.xlsx', 'Other.xlsx', 'Plan')");
    }
    static QStringList worksheets() {
        return rows("SELECT Worksheet_Name, MasterFiles_ID FROM Worksheets ORDER BY ID_Worksheets");
    }
    static QStringList userFiles() {
        return rows(
            "SELECT User_Filename, Master_File, Budget_Name FROM UserFileTablesData ORDER BY ID_UFTD");
    }
};

TEST_F(MasterFileCleanUp, RemovesOnlyTheRowsOfThatMasterKey) {
    addRows();
    ScopedScriptedUi ui;
    EXPECT_TRUE(wizard::CleanUpMasterFileRecords("Budget.xlsx", "Plan", 1));
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(worksheets(), (QStringList{"<Dummy record>|-", "North|10", "South|11"}));
    EXPECT_EQ(userFiles(), (QStringList{"<Dummy record>|-|-", "North.xlsx|Budget10.xlsx|Plan",
                                        "South.xlsx|Budget11.xlsx|Plan", "Sales.xlsx|Budget.xlsx|Plan 2",
                                        "Sales.xlsx|Other.xlsx|Plan"}))
        << "the unpicked sheet's user file goes too";
}

TEST_F(MasterFileCleanUp, TablesLeftEmptyGetTheirPlaceholderBack) {
    execute("DELETE FROM Worksheets");
    execute("DELETE FROM UserFileTablesData");
    execute(
        "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, User_Filename) "
        "VALUES ('Sales', 'Budget.xlsx', 'Plan', 1, 'Sales.xlsx')");
    execute("INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name) VALUES "
            "('Sales.xlsx', 'Budget.xlsx', 'Plan')");
    EXPECT_TRUE(wizard::CleanUpMasterFileRecords("Budget.xlsx", "Plan", 1));
    EXPECT_EQ(worksheets(), QStringList{"<Dummy record>|-"});
    EXPECT_EQ(userFiles(), QStringList{"<Dummy record>|-|-"});
}

TEST_F(MasterFileCleanUp, AFailureDeletesNothing) {
    addRows();
    const QStringList sheetsBefore = worksheets();
    const QStringList filesBefore = userFiles();
    execute("CREATE TRIGGER refuse BEFORE DELETE ON Worksheets BEGIN SELECT RAISE(ABORT, 'refused'); END");
    ScopedScriptedUi ui;
    EXPECT_FALSE(wizard::CleanUpMasterFileRecords("Budget.xlsx", "Plan", 1));
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith("Error ")) << ui->messageTexts().front().toStdString();
    EXPECT_EQ(worksheets(), sheetsBefore);
    EXPECT_EQ(userFiles(), filesBefore) << "the user-file rows deleted first are back";
}

TEST_F(MasterFileCleanUp, DeleteUserFileRecordTakesOnlyTheOneExactRow) {
    execute("INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name) VALUES "
            "('Sales.xlsx', 'Budget.xlsx', 'Plan'),"
            "('Old Sales.xlsx', 'Budget.xlsx', 'Plan'),"
            "('Sales.xlsx', 'Budget.xlsx', 'Plan 2'),"
            "('Sales.xlsx', 'NewBudget.xlsx', 'Plan'),"
            "('Costs.xlsx', 'Budget.xlsx', 'Plan'),"
            "('COSTS.XLSX', 'Budget.xlsx', 'Plan')");
    const QStringList before = userFiles();
    ScopedScriptedUi ui;
    wizard::DeleteUserFileRecord("SALES.XLSX", "plan", "budget.xlsx");
    QStringList expected = before;
    expected.removeAt(1); // the placeholder row comes first
    EXPECT_EQ(userFiles(), expected);

    wizard::DeleteUserFileRecord("Costs.xlsx", "Plan", "Budget.xlsx");
    wizard::DeleteUserFileRecord("Sales", "Plan", "Budget.xlsx");
    wizard::DeleteUserFileRecord("", "Plan", "Budget.xlsx");
    EXPECT_EQ(userFiles(), expected) << "two matching rows, or none, delete nothing";
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(MasterFileCleanUp, FolderAndUserListsAreTabSeparated) {
    ScopedScriptedUi ui;
    EXPECT_EQ(wizard::GetFolderNamesList(), QString());
    EXPECT_EQ(ui->messageTexts(), QStringList{"You will need Folder Names for the next screen."});
    EXPECT_EQ(ui->asked().back().title, "Lumivane");
    EXPECT_EQ(wizard::GetUsersList(), "<Dummy record>") << "the users placeholder is offered";
    EXPECT_EQ(ui->asked().size(), 1u);

    execute("INSERT INTO FolderNames (Folder_Name) VALUES ('North'), (NULL), ('South')");
    execute("DELETE FROM UsersData");
    EXPECT_EQ(wizard::GetFolderNamesList(), "North\tSouth");
    EXPECT_EQ(wizard::GetUsersList(), QString());
    EXPECT_EQ(ui->messageTexts().last(), "There aren't any UsersData records.  Add some!");
    EXPECT_EQ(ui->asked().back().title, "Lumi");

    execute("INSERT INTO UsersData (Users) VALUES ('West'), ('Westfield')");
    EXPECT_EQ(wizard::GetUsersList(), "West\tWestfield");

    execute("DROP TABLE FolderNames");
    const qsizetype told = ui->messageTexts().size();
    EXPECT_EQ(wizard::GetFolderNamesList(), QString());
    ASSERT_EQ(ui->messageTexts().size(), told + 1);
    EXPECT_TRUE(ui->messageTexts().last().startsWith("Error ")) << "a failure is not taken for no names";
}

} // namespace
