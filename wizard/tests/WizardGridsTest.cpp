// The wizard's master workbook and worksheet grids: without a context every edit is taken
// back; passwords are stored scrambled and shown readable only in their cell; the folder
// column completes a typed fragment or adds a new folder; the Select heading picks all and
// none; a Select edit reaches the context budget's user-file row alone; Pwds Set follows what
// applying the passwords really did.
#include "WizardFixture.h"
#include "core/GridBinding.h"
#include "core/StringScrambling.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/tests/SheetTestSupport.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using wizard::frmWizard;

const QString kSetContext = QStringLiteral("Set the Budget Context.");

class WizardGrids : public wizardtest::WizardFixture {
protected:
    void SetUp() override {
        WizardFixture::SetUp();
        folder_ = testsupport::freshDir(QStringLiteral("masters"));
        execute("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Plan', 'Ann'), ('Plan 2', 'Ann')");
        execute("INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) VALUES "
                "(11, 'Plan.xlsx', ?, 'Plan'), (12, 'Plan.xlsx', ?, 'Plan 2')",
                {folder_, folder_});
        execute("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, "
                "User_Filename, "
                "Select_By_User) VALUES ('North', 'Plan.xlsx', 'Plan', 11, 'North.xlsx', 1), "
                "('South', 'Plan.xlsx', 'Plan', 11, NULL, 0), ('North', 'Plan.xlsx', 'Plan 2', 12, "
                "'North.xlsx', 1)");
        execute(
            "INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name, Select_By_User) VALUES "
            "('North.xlsx', 'Plan.xlsx', 'Plan', 1), ('North.xlsx', 'Plan.xlsx', 'Plan 2', 1)");
    }

    static int sheetRow(frmWizard& form, const char* name) {
        return rowOf(*form.dtWorksheets(), frmWizard::kSheetName, QString::fromUtf8(name));
    }

    QString folder_;
};

TEST_F(WizardGrids, WithoutAContextEveryEditIsTakenBack) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(4);
    const QString before = rows("SELECT Worksheet_Name || Select_By_User || IFNULL(Folder_Name, '') || "
                                "IFNULL(WS_Password, '') FROM Worksheets ORDER BY rowid");
    const int south = sheetRow(form, "South");
    ASSERT_GE(south, 0);
    form.dtWorksheets()->editCell(south, frmWizard::kSheetSelect, 1);
    form.dtWorksheets()->editCell(south, frmWizard::kSheetFolder, QStringLiteral("North"));
    form.dtWorksheets()->editCell(south, frmWizard::kSheetPwd, QStringLiteral("secret"));
    form.dtMasterFiles()->editCell(0, frmWizard::kMasterWritePwd, QStringLiteral("secret"));
    EXPECT_EQ(ui->messageTexts(), QStringList(4, kSetContext));
    EXPECT_EQ(
        rows("SELECT Worksheet_Name || Select_By_User || IFNULL(Folder_Name, '') || IFNULL(WS_Password, '') "
             "FROM Worksheets ORDER BY rowid"),
        before);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MasterFiles WHERE WBWrite_Password IS NOT NULL"), "0");
    EXPECT_EQ(form.dtWorksheets()->cellValue(south, frmWizard::kSheetSelect).toInt(), 0);
    EXPECT_TRUE(form.dtWorksheets()->cellText(south, frmWizard::kSheetPwd).isEmpty());
}

TEST_F(WizardGrids, PasswordsAreStoredScrambledAndShownOnlyInTheirCell) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(4, QStringLiteral("Plan"));
    const int south = sheetRow(form, "South");
    form.dtWorksheets()->editCell(south, frmWizard::kSheetPwd, QStringLiteral("s3cret"));
    const QString stored = rows("SELECT WS_Password FROM Worksheets WHERE Worksheet_Name = 'South'");
    EXPECT_NE(stored, QStringLiteral("s3cret"));
    EXPECT_EQ(core::DecodeString(stored), QStringLiteral("s3cret"));
    form.dtWorksheets_CellClick(south, frmWizard::kSheetPwd, false);
    EXPECT_EQ(form.dtWorksheets()->cellText(south, frmWizard::kSheetPwd), QStringLiteral("s3cret"));
    // Another edit of the row writes its own cell only: the shown password stays scrambled.
    form.dtWorksheets()->editCell(south, frmWizard::kSheetSelect, 1);
    EXPECT_EQ(rows("SELECT WS_Password FROM Worksheets WHERE Worksheet_Name = 'South'"), stored);
    form.dtWorksheets()->editCell(south, frmWizard::kSheetPwd, QString());
    EXPECT_EQ(rows("SELECT IFNULL(WS_Password, 'none') FROM Worksheets WHERE Worksheet_Name = 'South'"),
              "none");
    EXPECT_TRUE(ui->messageTexts().isEmpty());
}

TEST_F(WizardGrids, TheFolderColumnCompletesOrAddsAFolder) {
    execute("INSERT INTO FolderNames (Folder_Name) VALUES ('Northeast')");
    const struct {
        const char* typed;
        const char* stored;
        const char* folders;
    } cases[] = {
        {"north", "North", "North|Northeast|South"}, // the exact name comes first
        {"outh", "South", "North|Northeast|South"},  // contained in exactly one folder
        {"th", "th", "North|Northeast|South|th"},    // contained in several: a new folder
        {"West", "West", "North|Northeast|South|West"},
    };
    for (const auto& c : cases) {
        testsupport::ScopedScriptedUi ui;
        ui->acceptUnscriptedMessages();
        frmWizard& form = open(4, QStringLiteral("Plan"));
        const int south = sheetRow(form, "South");
        form.dtWorksheets()->editCell(south, frmWizard::kSheetFolder, QString::fromUtf8(c.typed));
        EXPECT_EQ(rows("SELECT Folder_Name FROM Worksheets WHERE Worksheet_Name = 'South'"), c.stored)
            << c.typed;
        EXPECT_EQ(form.dtWorksheets()->cellText(south, frmWizard::kSheetFolder), QString::fromUtf8(c.stored));
        EXPECT_EQ(rows("SELECT Folder_Name FROM FolderNames ORDER BY Folder_Name"), c.folders) << c.typed;
        EXPECT_TRUE(
            form.dtWorksheets()->columnList(frmWizard::kSheetFolder).contains(QString::fromUtf8(c.stored)));
        delete &form;
        execute("DELETE FROM FolderNames WHERE Folder_Name IN ('th', 'West')");
    }
}

// The heading picks every row shown, then none; the user-file rows are left to the build.
TEST_F(WizardGrids, TheSelectHeadingPicksAllThenNone) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(4, QStringLiteral("Plan"));
    form.chkSelectAll()->setChecked(false);
    form.dtWorksheets_CellClick(-1, frmWizard::kSheetSelect, true);
    EXPECT_EQ(rows("SELECT Select_By_User FROM Worksheets WHERE Budget_Name = 'Plan' ORDER BY rowid"), "1|1");
    EXPECT_TRUE(form.chkSelectAll()->isChecked());
    form.dtWorksheets_CellClick(-1, frmWizard::kSheetSelect, true);
    EXPECT_EQ(rows("SELECT Select_By_User FROM Worksheets WHERE Budget_Name IS NOT NULL ORDER BY rowid"),
              "0|0|1")
        << "Plan 2 untouched";
    EXPECT_EQ(
        rows("SELECT Select_By_User FROM UserFileTablesData WHERE Budget_Name IS NOT NULL ORDER BY rowid"),
        "1|1");
}

// Unticking a built worksheet unticks its user file of the context budget, not the one of a
// budget whose name holds the context's.
TEST_F(WizardGrids, ASelectEditReachesTheContextBudgetsUserFileOnly) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(4, QStringLiteral("plan"));
    form.dtWorksheets()->editCell(sheetRow(form, "North"), frmWizard::kSheetSelect, 0);
    EXPECT_EQ(
        rows("SELECT Budget_Name || ':' || Select_By_User FROM UserFileTablesData WHERE Budget_Name IS NOT "
             "NULL ORDER BY rowid"),
        "Plan:0|Plan 2:1");
    EXPECT_EQ(
        rows("SELECT Budget_Name || ':' || Select_By_User FROM Worksheets WHERE Worksheet_Name = 'North' "
             "ORDER BY rowid"),
        "Plan:0|Plan 2:1");
}

// Pwds Set: without a write password, or when applying fails, the tick goes back and the file
// is untouched; applying for real encrypts the workbook and stores the flag.
TEST_F(WizardGrids, PwdsSetFollowsWhatApplyingThePasswordsDid) {
    const QString path = folder_ + QStringLiteral("/Plan.xlsx");
    sheettest::runPython(
        QStringLiteral("import openpyxl, sys\n"
                       "wb = openpyxl.Workbook(); wb.active['A1'] = 42; wb.save(sys.argv[1])\n"),
        {path});
    auto digest = [&path] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    };
    const QByteArray original = digest();
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    frmWizard& form = open(3, QStringLiteral("Plan"));
    ASSERT_EQ(form.dtMasterFiles()->rowCount(), 1);

    form.dtMasterFiles()->editCell(0, frmWizard::kMasterPwdsSet, 1);
    EXPECT_EQ(form.dtMasterFiles()->cellValue(0, frmWizard::kMasterPwdsSet).toInt(), 0)
        << "no write password";
    EXPECT_EQ(digest(), original);

    execute("UPDATE MasterFiles SET WBOpen_Password = ?, WBWrite_Password = ?, Path = ? WHERE ID_MasterFiles "
            "= 11",
            {core::EncodeString(QStringLiteral("open")), core::EncodeString(QStringLiteral("write")),
             folder_ + QStringLiteral("/gone")});
    form.masterFiles().Refresh();
    form.dtMasterFiles()->editCell(0, frmWizard::kMasterPwdsSet, 1);
    EXPECT_EQ(form.dtMasterFiles()->cellValue(0, frmWizard::kMasterPwdsSet).toInt(), 0) << "applying failed";
    EXPECT_EQ(rows("SELECT MFPwdsSet FROM MasterFiles WHERE ID_MasterFiles = 11"), "0");
    EXPECT_EQ(digest(), original);

    execute("UPDATE MasterFiles SET Path = ? WHERE ID_MasterFiles = 11", {folder_});
    form.masterFiles().Refresh();
    form.dtMasterFiles()->editCell(0, frmWizard::kMasterPwdsSet, 1);
    EXPECT_EQ(form.dtMasterFiles()->cellValue(0, frmWizard::kMasterPwdsSet).toInt(), 1);
    EXPECT_EQ(rows("SELECT MFPwdsSet FROM MasterFiles WHERE ID_MasterFiles = 11"), "1");
    EXPECT_THROW(platform::sheet::Workbook::open(path), platform::sheet::SheetError) << "now encrypted";
}

} // namespace
