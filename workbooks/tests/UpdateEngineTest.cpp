// The update engine on its own: the test of a returned user file on disk, and a user file
// whose change the master cannot take (a formula the workbook refuses) failing whole, with
// nothing of it written.
#include "platform/sys/FileFacts.h"
#include "workbooks/cUpdate.h"
#include "workbooks/tests/PlanBudgetFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace workbookstest;
using workbooks::cUpdate;

class UpdateEngineTest : public PlanBudgetFixture {};

TEST_F(UpdateEngineTest, TestWSLooksAtNameTimeAndUse) {
    cut();
    const QString sales = userFile("North", "Sales");
    const QDateTime recorded = platform::sys::GetFileModifiedText(sales);
    const cUpdate engine;
    struct Case {
        const char* what;
        QString name;
        QString path;
        QDateTime time;
        qint32 result;
    };
    const Case cases[] = {
        {"the recorded time", "Sales.xlsx", sales, recorded, cUpdate::kNothingNew},
        {"another time", "Sales.xlsx", sales, recorded.addSecs(-1), cUpdate::kUpdateIt},
        {"the name in other letters", "SALES.xlsx", masters_ + "/north/sales.XLSX", recorded.addSecs(-1),
         cUpdate::kUpdateIt},
        {"another file at the path", "Sales.xlsx", userFile("South", "Costs"), recorded, cUpdate::kMissing},
        {"no file", "Sales.xlsx", userFile("East", "Sales"), recorded, cUpdate::kMissing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine.TestWS(c.name, c.path, c.time), c.result) << c.what;

    // Written since, but another program holds it: never updated while in use.
    QFile lock(platform::sys::WorkbookLockFilePath(sales));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    EXPECT_EQ(engine.TestWS("Sales.xlsx", sales, recorded.addSecs(-1)), cUpdate::kInUse);
    EXPECT_EQ(engine.TestWS("Sales.xlsx", sales, recorded), cUpdate::kNothingNew);

    returnFile(sales, {{"B2", "150"}});
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges);
    EXPECT_EQ(rows("SELECT MF_Name, UF_name, File_In_Use FROM Errors"),
              QStringList{"Budget.xlsx|Sales.xlsx|1"});
    EXPECT_EQ(state("Sales"), "1|0|0|as cut");
    EXPECT_EQ(cell(master_, "Sales", "B2"), "100");
}

TEST_F(UpdateEngineTest, AFormulaTheWorkbookRefusesFailsTheWholeFile) {
    cut();
    // B3 comes before C2 in the list: it must not be written either. Costs is merged and the
    // master saved, so anything written of Sales would be on disk.
    returnFile(userFile("North", "Sales"), {{"B3", "250"}, {"C2", "=SUM(B3:B4"}});
    returnFile(userFile("South", "Costs"), {{"B2", "60"}});
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges);
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith("Error 1004 has occured. The formula =SUM(B3:B4 for "
                                                      "the cell C2 of the sheet 'Sales' cannot be taken"))
        << ui->messageTexts().front().toStdString();
    // It says why, of the user's cell alone.
    EXPECT_EQ(ui->messageTexts().front(),
              "Error 1004 has occured. The formula =SUM(B3:B4 for the cell C2 of the sheet 'Sales' cannot be "
              "taken: a parenthesis is not closed. Nothing of the user file 'Sales.xlsx' was written.");
    EXPECT_EQ(cell(master_, "Costs", "B2"), "60");
    EXPECT_EQ(cell(master_, "Sales", "B3"), "200") << "no change of the refused file was written";
    EXPECT_EQ(cell(master_, "Sales", "C2", true), "110");
    EXPECT_EQ(state("Sales"), "1|1|0|as cut");
    EXPECT_EQ(state("Costs"), "0|0|0|merged");
}

TEST_F(UpdateEngineTest, IdenticalSheetsWriteNothingInEveryMode) {
    cut();
    const QByteArray before = digest(master_);
    for (const QString& mode :
         {workbooks::kAcceptChanges, workbooks::kPreviewChanges, workbooks::kEditChanges}) {
        returnFile(userFile("North", "Sales"), {});
        testsupport::ScopedScriptedUi ui;
        run(mode);
        EXPECT_TRUE(ui->asked().empty()) << mode.toStdString();
        EXPECT_EQ(digest(master_), before) << mode.toStdString();
        EXPECT_EQ(state("Sales"), "0|0|0|merged") << mode.toStdString();
        // An older recorded time makes the file wait again for the next mode.
        execute(
            "UPDATE Worksheets SET UF_Modified_Date = '2001-01-01 00:00:00' WHERE Worksheet_Name = 'Sales'");
    }
}

} // namespace
