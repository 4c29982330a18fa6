// The wizard's Delete buttons: a budget goes with exactly its own rows (never those of a budget
// whose name holds or is held by it) and leaves no context; a master workbook goes with all
// its worksheets and user files; a worksheet with its user file. The placeholder and a run
// under way delete nothing.
#include "WizardFixture.h"
#include "core/RunGuard.h"
#include "platform/sys/SettingsStore.h"

#include <gtest/gtest.h>

namespace {

using platform::ui::Answer;
using wizard::frmWizard;

class WizardDeletes : public wizardtest::WizardFixture {
protected:
    void SetUp() override {
        WizardFixture::SetUp();
        execute("DELETE FROM Budgets");
        execute(
            "INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Budget', 'Ann'), ('Budget 2', 'Ann'), "
            "('My Budget', 'Ann')");
        execute(
            "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Budget_Name) VALUES (21, 'A.xlsx', "
            "'Budget'), (22, 'A.xlsx', 'Budget 2'), (23, 'A.xlsx', 'My Budget'), (24, 'B.xlsx', 'Budget')");
        execute("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, "
                "User_Filename, "
                "Select_By_User) VALUES ('North', 'A.xlsx', 'Budget', 21, 'North.xlsx', 1), "
                "('South', 'A.xlsx', 'Budget', 21, 'South.xlsx', 0), ('East', 'B.xlsx', 'Budget', 24, "
                "'East.xlsx', 1), ('North', 'A.xlsx', 'Budget 2', 22, 'North.xlsx', 1), "
                "('North', 'A.xlsx', 'My Budget', 23, 'North.xlsx', 1)");
        execute(
            "INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name, Select_By_User) VALUES "
            "('North.xlsx', 'A.xlsx', 'Budget', 1), ('South.xlsx', 'A.xlsx', 'Budget', 1), "
            "('East.xlsx', 'B.xlsx', 'Budget', 1), ('North.xlsx', 'A.xlsx', 'Budget 2', 1), "
            "('North.xlsx', 'A.xlsx', 'My Budget', 1)");
    }

    // Every row of the four tables, as "table:budget:name".
    static QString everything() {
        return rows(
            "SELECT 'B:' || Budget_Name FROM Budgets UNION ALL "
            "SELECT 'M:' || Budget_Name || ':' || Master_File FROM MasterFiles WHERE Budget_Name IS NOT "
            "NULL UNION ALL "
            "SELECT 'W:' || Budget_Name || ':' || Worksheet_Name FROM Worksheets WHERE Budget_Name IS NOT "
            "NULL UNION ALL "
            "SELECT 'U:' || Budget_Name || ':' || User_Filename FROM UserFileTablesData WHERE Budget_Name "
            "IS NOT NULL ORDER BY 1");
    }
};

TEST_F(WizardDeletes, ABudgetGoesWithExactlyItsOwnRows) {
    platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Runtime"),
                                QStringLiteral("BudgetNameContext"), QStringLiteral("Budget"));
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1, QStringLiteral("Budget"));
    form.dtBudgets()->setCurrentCell(rowOf(*form.dtBudgets(), 0, QStringLiteral("Budget")), 0);
    ui->answerMessages({Answer::No});
    form.cmdDelBudget_Click();
    const QString before = everything();
    EXPECT_TRUE(before.contains(QStringLiteral("B:Budget|"))) << "No deletes nothing";

    form.dtBudgets()->setCurrentCell(rowOf(*form.dtBudgets(), 0, QStringLiteral("Budget")), 0);
    ui->answerMessages({Answer::Yes});
    form.cmdDelBudget_Click();
    EXPECT_EQ(everything(), QStringLiteral("B:Budget 2|B:My Budget|M:Budget 2:A.xlsx|M:My Budget:A.xlsx|"
                                           "U:Budget 2:North.xlsx|U:My Budget:North.xlsx|W:Budget 2:North|"
                                           "W:My Budget:North"));
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Nothing"));
    EXPECT_TRUE(form.windowTitle().endsWith(QStringLiteral("[Context: Nothing]")));
    EXPECT_EQ(platform::sys::readSetting(platform::sys::kDesktopApplication, QStringLiteral("Runtime"),
                                         QStringLiteral("BudgetNameContext")),
              QStringLiteral("Nothing"))
        << "the deleted budget is no longer the saved context";
    EXPECT_EQ(ui->messageTexts(),
              QStringList(
                  2, QStringLiteral("Are you sure you want to delete this budget and associated records?")));
}

TEST_F(WizardDeletes, TheLastBudgetLeavesItsPlaceholder) {
    execute("DELETE FROM Budgets WHERE Budget_Name <> 'Budget'");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1, QStringLiteral("Budget"));
    form.dtBudgets()->setCurrentCell(0, 0);
    ui->answerMessages({Answer::Yes});
    form.cmdDelBudget_Click();
    EXPECT_EQ(rows("SELECT Budget_Name FROM Budgets"), "<Dummy record>");
    const int placeholder = rowOf(*form.dtBudgets(), 0, QStringLiteral("<Dummy record>"));
    ASSERT_GE(placeholder, 0);
    core::gOptions->BudgetNameContext = QStringLiteral("Budget 2");
    form.dtBudgets()->setCurrentCell(placeholder, 0);
    ui->clear();
    form.cmdDelBudget_Click();
    EXPECT_TRUE(ui->messageTexts().isEmpty()) << "the placeholder is never deleted, and nothing is asked";
    EXPECT_EQ(rows("SELECT Budget_Name FROM Budgets"), "<Dummy record>");
}

// A master workbook takes all its worksheets and their user files along, picked or not.
TEST_F(WizardDeletes, AMasterWorkbookGoesWithItsWorksheetsAndUserFiles) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(3, QStringLiteral("budget"));
    const int a = rowOf(*form.dtMasterFiles(), frmWizard::kMasterFile, QStringLiteral("A.xlsx"));
    ASSERT_GE(a, 0);
    form.dtMasterFiles()->setCurrentCell(a, 0);
    form.cmdDelMF_Click();
    EXPECT_EQ(
        everything(),
        QStringLiteral("B:Budget|B:Budget 2|B:My Budget|M:Budget 2:A.xlsx|M:Budget:B.xlsx|"
                       "M:My Budget:A.xlsx|U:Budget 2:North.xlsx|U:Budget:East.xlsx|U:My Budget:North.xlsx|"
                       "W:Budget 2:North|W:Budget:East|W:My Budget:North"));
    EXPECT_EQ(form.dtMasterFiles()->rowCount(), 1);
    EXPECT_TRUE(ui->messageTexts().isEmpty());
}

TEST_F(WizardDeletes, AWorksheetGoesWithItsUserFile) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(4, QStringLiteral("Budget"));
    form.dtWorksheets()->setCurrentCell(rowOf(*form.dtWorksheets(), 0, QStringLiteral("North")), 0);
    form.cmdDelWS_Click();
    const QString left = everything();
    EXPECT_FALSE(left.contains(QStringLiteral("W:Budget:North")));
    EXPECT_FALSE(left.contains(QStringLiteral("U:Budget:North.xlsx")));
    EXPECT_TRUE(
        left.contains(QStringLiteral("W:Budget 2:North|W:Budget:East|W:Budget:South|W:My Budget:North")));
    EXPECT_TRUE(
        left.contains(QStringLiteral("U:Budget 2:North.xlsx|U:Budget:East.xlsx|U:Budget:South.xlsx")));
}

// A worksheet is deleted by its row's key: one whose master workbook name is empty goes too,
// and of two rows alike (listed twice) only the chosen one, whose twin keeps the user file.
TEST_F(WizardDeletes, AWorksheetIsDeletedByItsKey) {
    execute("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, User_Filename, "
            "Select_By_User) VALUES ('Loose', NULL, 'Budget', 'Loose.xlsx', 1), "
            "('Twin', 'B.xlsx', 'Budget', 'Twin.xlsx', 1), ('Twin', 'B.xlsx', 'Budget', 'Twin.xlsx', 1)");
    execute("INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name, Select_By_User) VALUES "
            "('Loose.xlsx', NULL, 'Budget', 1), ('Twin.xlsx', 'B.xlsx', 'Budget', 1)");
    const struct {
        const char* sheet;
        const char* rowsLeft;     // the sheet's worksheet rows left
        const char* userFileLeft; // its user file's rows left
    } cases[] = {{"Loose", "0", "0"}, {"Twin", "1", "1"}, {"Twin", "0", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheet);
        testsupport::ScopedScriptedUi ui;
        frmWizard& form = open(4, QStringLiteral("Budget"));
        form.dtWorksheets()->setCurrentCell(rowOf(*form.dtWorksheets(), 0, QString::fromLatin1(c.sheet)), 0);
        form.cmdDelWS_Click();
        EXPECT_TRUE(ui->messageTexts().isEmpty()) << ui->messageTexts().join('|').toStdString();
        const QVariantList sheet{QString::fromLatin1(c.sheet)};
        EXPECT_EQ(rows("SELECT COUNT(*) FROM Worksheets WHERE Worksheet_Name = ?", sheet), c.rowsLeft);
        EXPECT_EQ(rows("SELECT COUNT(*) FROM UserFileTablesData WHERE User_Filename = ? || '.xlsx'", sheet),
                  c.userFileLeft);
        delete &form;
    }
    EXPECT_TRUE(everything().contains(QStringLiteral("W:Budget:East|W:Budget:North|W:Budget:South")));
}

TEST_F(WizardDeletes, NothingIsDeletedWithoutAContextOrDuringARun) {
    const QString before = everything();
    {
        testsupport::ScopedScriptedUi ui;
        frmWizard& form = open(1);
        form.dtBudgets()->setCurrentCell(rowOf(*form.dtBudgets(), 0, QStringLiteral("Budget")), 0);
        form.cmdDelBudget_Click();
        form.cmdDelMF_Click();
        form.cmdDelWS_Click();
        EXPECT_EQ(ui->messageTexts(), QStringList(3, QStringLiteral("Set the Budget Context")));
        delete &form;
    }
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(3, QStringLiteral("Budget"));
    const core::RunGuard::Token run;
    form.cmdDelMF_Click();
    form.cmdDelWS_Click();
    EXPECT_EQ(ui->messageTexts().size(), 2);
    EXPECT_EQ(everything(), before);
}

} // namespace
