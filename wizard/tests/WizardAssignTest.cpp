// The wizard's page 5 and the Build Files button before it: building twice keeps one user-file
// row per file (a name differing in letter case is the same file); a typed part of a user's
// name is completed when exactly one user's name holds it; a cleared cell gets its user back;
// a dropped name lands on the User Name column only.
#include "WizardFixture.h"
#include "core/GridBinding.h"
#include "platform/sheet/tests/SheetTestSupport.h"
#include "platform/ui/StatusLine.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using wizard::frmWizard;

constexpr int kUserName = 2;

class WizardAssign : public wizardtest::WizardFixture {
protected:
    void SetUp() override {
        WizardFixture::SetUp();
        execute("INSERT INTO UsersData (Users, Email_Address) VALUES ('Ann_Lee', 'al@example.org'), "
                "('Ann%Lee', 'ap@example.org')");
        execute("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Plan', 'Ann')");
        execute(
            "INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name, Select_By_User, Users) "
            "VALUES ('North.xlsx', 'Plan.xlsx', 'Plan', 1, 'West'), ('South.xlsx', 'Plan.xlsx', 'Plan', 1, "
            "NULL)");
    }

    static int fileRow(frmWizard& form, const char* file) {
        return rowOf(*form.dtUFAssign(), 0, QString::fromUtf8(file));
    }
    static QString userOf(const char* file) {
        return rows("SELECT IFNULL(Users, '-') FROM UserFileTablesData WHERE User_Filename = ?",
                    {QString::fromUtf8(file)});
    }
};

TEST_F(WizardAssign, ATypedNameIsCompletedOnlyWhenOneUserHoldsIt) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"field", "Westfield"}, // West and Westfield: only Westfield holds "field"
        {"west", "west"},       // both hold it: stored as typed
        {"n_l", "Ann_Lee"},     // "_" is a letter, not a wildcard that Ann%Lee would match too
        {"n%L", "Ann%Lee"},     // so is "%"
        {"Nobody", "Nobody"},
    };
    for (const auto& c : cases) {
        testsupport::ScopedScriptedUi ui;
        frmWizard& form = open(5, QStringLiteral("Plan"));
        const int south = fileRow(form, "South.xlsx");
        ASSERT_GE(south, 0);
        form.dtUFAssign()->editCell(south, kUserName, QString::fromUtf8(c.typed));
        EXPECT_EQ(userOf("South.xlsx"), c.stored) << c.typed;
        EXPECT_EQ(form.dtUFAssign()->cellText(south, kUserName), QString::fromUtf8(c.stored)) << c.typed;
        EXPECT_TRUE(ui->messageTexts().isEmpty());
        delete &form;
    }
}

TEST_F(WizardAssign, AClearedCellGetsItsUserBack) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(5, QStringLiteral("Plan"));
    const int north = fileRow(form, "North.xlsx");
    form.dtUFAssign()->editCell(north, kUserName, QString());
    EXPECT_EQ(userOf("North.xlsx"), "West");
    EXPECT_EQ(form.dtUFAssign()->cellText(north, kUserName), QStringLiteral("West"));
}

TEST_F(WizardAssign, ADroppedNameLandsOnTheUserNameColumnOnly) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(5, QStringLiteral("Plan"));
    const int south = fileRow(form, "South.xlsx");
    form.dtUFAssign_OLEDragDrop(QStringLiteral("Westfield"), south, 0);
    form.dtUFAssign_OLEDragDrop(QStringLiteral("Westfield"), south, 1);
    EXPECT_EQ(userOf("South.xlsx"), "-");
    EXPECT_EQ(form.dtUFAssign()->cellText(south, 0), QStringLiteral("South.xlsx"));
    form.dtUFAssign_OLEDragDrop(QStringLiteral("Westfield"), south, kUserName);
    EXPECT_EQ(userOf("South.xlsx"), "Westfield");
}

TEST_F(WizardAssign, WithoutAContextNothingIsAssigned) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(5);
    const int south = fileRow(form, "South.xlsx");
    ASSERT_GE(south, 0);
    form.dtUFAssign()->editCell(south, kUserName, QStringLiteral("Westfield"));
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Set the Budget Context.")});
    EXPECT_EQ(userOf("South.xlsx"), "-");
    EXPECT_TRUE(form.dtUFAssign()->cellText(south, kUserName).isEmpty());
}

TEST_F(WizardAssign, TheUserListButtonShowsAndHidesTheList) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(5, QStringLiteral("Plan"));
    EXPECT_FALSE(form.dtUsersData()->isVisible());
    form.cmdUserList_Click();
    EXPECT_TRUE(form.dtUsersData()->isVisible());
    EXPECT_EQ(form.cmdUserList()->text(), QStringLiteral("Data Table"));
    EXPECT_EQ(form.dtUsersData()->rowCount(), 4);
    form.cmdUserList_Click();
    EXPECT_FALSE(form.dtUsersData()->isVisible());
    EXPECT_EQ(form.cmdUserList()->text(), QStringLiteral("User List"));
}

// Build All twice over a real master workbook: one user-file row per file, and a row whose
// name differs only in letter case is the same file.
TEST_F(WizardAssign, BuildingTwiceKeepsOneRowPerUserFile) {
    const QString folder = testsupport::freshDir(QStringLiteral("masters"));
    sheettest::runPython(QStringLiteral("import openpyxl, sys\n"
                                        "wb = openpyxl.Workbook(); wb.active.title = 'North'\n"
                                        "wb.create_sheet('East'); wb.create_sheet('West')\n"
                                        "for ws in wb.worksheets: ws['A1'] = 1; ws['A2'] = '=A1*2'\n"
                                        "wb.save(sys.argv[1])\n"),
                         {folder + QStringLiteral("/Plan.xlsx")});
    execute("DELETE FROM UserFileTablesData");
    execute("INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name, Select_By_User, Users) "
            "VALUES ('EAST.xlsx', 'Plan.xlsx', 'Plan', 1, 'West')");
    execute("INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) VALUES (31, "
            "'Plan.xlsx', ?, "
            "'Plan')",
            {folder});
    execute(
        "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, Select_By_User, "
        "Folder_Name) VALUES ('North', 'Plan.xlsx', 'Plan', 31, 1, 'North'), ('East', 'Plan.xlsx', 'Plan', "
        "31, "
        "1, 'North'), ('West', 'Plan.xlsx', 'Plan', 31, 0, 'South')");
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    frmWizard& form = open(4, QStringLiteral("Plan"));
    form.chkBuildAllFiles()->setChecked(true);
    form.chkOWAll()->setChecked(true);
    form.cmdBuildFiles_Click();
    EXPECT_EQ(platform::ui::lastStatusLine(), QStringLiteral("2 user files cut"));
    form.cmdBuildFiles_Click();
    EXPECT_EQ(rows("SELECT User_Filename || ':' || IFNULL(Users, '-') FROM UserFileTablesData "
                   "ORDER BY User_Filename COLLATE NOCASE"),
              "EAST.xlsx:West|North.xlsx:-");
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/North/North.xlsx")));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/South/West.xlsx"))) << "West is not picked";
    EXPECT_EQ(form.assignments().control().Recordset().recordCount(), 2) << "page 5 shows them";
}

} // namespace
