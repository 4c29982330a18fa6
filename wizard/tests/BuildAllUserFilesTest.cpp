// "Build All" over copies of the LibreOffice-made master workbook: each master workbook of the
// context's picked sheets is cut once (a second cut would ask before overwriting, which the
// scripted dialogs refuse), a budget whose name holds the context's is left alone, a missing
// master workbook is told and skipped, and a run under way refuses the build.
#include "wizard/BuildAllUserFiles.h"

#include "core/RunGuard.h"
#include "wizard/tests/MasterIntakeFixture.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using platform::ui::Answer;
using testsupport::ScopedScriptedUi;

class BuildAllUserFiles : public wizardtest::MasterIntakeFixture {
protected:
    void addMaster(qint64 id, const QString& file, const QString& budget) {
        execute(
            "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) VALUES (?, ?, ?, ?)",
            {id, file, folder_, budget});
    }
    static void addPicked(const QString& sheet, qint64 id, const QString& file, const QString& budget) {
        execute("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, MasterFiles_ID, "
                "Master_File, Budget_Name) VALUES (?, 1, 'North', ?, ?, ?)",
                {sheet, id, file, budget});
    }
    bool built(const QString& sheet) const {
        return QFileInfo::exists(folder_ + "/North/" + sheet + ".xlsx");
    }
};

TEST_F(BuildAllUserFiles, EachMasterOfTheContextIsBuiltOnce) {
    copyBudgetFixture("Budget.xlsx", folder_, "Alpha.xlsx");
    copyBudgetFixture("Budget.xlsx", folder_, "Beta.xlsx");
    copyBudgetFixture("Budget.xlsx", folder_, "Gamma.xlsx");
    addMaster(2, "Beta.xlsx", "Plan");
    addMaster(3, "Alpha.xlsx", "Plan");
    addMaster(4, "Gamma.xlsx", "Plan 2");
    addMaster(5, "Delta.xlsx", "Plan"); // no such file
    addPicked("Summary", 2, "Beta.xlsx", "plan");
    addPicked("Sales", 3, "Alpha.xlsx", "Plan");
    addPicked("Rates", 3, "ALPHA.XLSX", "Plan");
    addPicked("Rates", 4, "Gamma.xlsx", "Plan 2");
    addPicked("Costs", 5, "Delta.xlsx", "Plan");

    {
        ScopedScriptedUi ui;
        wizard::BuildAllUserFiles(false, false);
        EXPECT_EQ(ui->messageTexts(), QStringList{"The master workbook file is missing."})
            << "no question to overwrite: no master workbook was cut twice";
        EXPECT_EQ(ui->asked().front().title, "Lumivane");
    }
    for (const char* sheet : {"Summary", "Sales", "Rates"})
        EXPECT_TRUE(built(QString::fromLatin1(sheet))) << sheet;
    EXPECT_EQ(rows("SELECT Worksheet_Name, Budget_Name FROM Worksheets WHERE UF_Create_Date IS NOT NULL "
                   "ORDER BY Worksheet_Name"),
              (QStringList{"Rates|Plan", "Sales|Plan", "Summary|plan"}))
        << "the sheet of 'Plan 2' is not built";
    EXPECT_FALSE(built("Costs"));

    // Built again, every user file is there: each master's cut asks once for each of its files,
    // so the questions show how often each master was cut. Alpha.xlsx and ALPHA.XLSX are one.
    ScopedScriptedUi ui;
    ui->answerMessages({Answer::No, Answer::No, Answer::No, Answer::Ok});
    wizard::BuildAllUserFiles(false, false);
    const QString overwrite =
        QStringLiteral("The template (file) '%1' already exists. Do you want to overwrite it?");
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{overwrite.arg("Sales.xlsx"), overwrite.arg("Rates.xlsx"),
                           overwrite.arg("Summary.xlsx"), "The master workbook file is missing."}));
}

TEST_F(BuildAllUserFiles, RefusedWhileARunIsUnderWay) {
    copyBudgetFixture("Budget.xlsx", folder_, "Alpha.xlsx");
    addMaster(2, "Alpha.xlsx", "Plan");
    addPicked("Sales", 2, "Alpha.xlsx", "Plan");
    ScopedScriptedUi ui;
    {
        const core::RunGuard::Token run;
        EXPECT_FALSE(wizard::BuildAllUserFiles(true, false));
    }
    EXPECT_EQ(ui->messageTexts(), QStringList{core::RunGuard::kRefusedText});
    EXPECT_FALSE(built("Sales"));
}

} // namespace
