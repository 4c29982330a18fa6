// The update run on the budget workbooks LibreOffice saved and user files returned by
// openpyxl: accept, preview and edit mode, cancelling, the corrupted-formula question, the
// files that are locked out, missing or unchanged, encrypted and write-reserved masters, and
// budgets whose user files carry equal names.
#include "core/RunGuard.h"
#include "platform/sheet/SheetError.h"
#include "platform/ui/ProgressBar.h"
#include "workbooks/MasterWorkbookPasswords.h"
#include "workbooks/WaitWindowSteps.h"
#include "workbooks/cUpdate.h"
#include "workbooks/tests/LibreOfficeSheet.h"
#include "workbooks/tests/PlanBudgetFixture.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using namespace workbookstest;
using platform::sheet::OpenOptions;
using platform::ui::Answer;

class UpdateRunTest : public PlanBudgetFixture {};

TEST_F(UpdateRunTest, AcceptWritesTheChangesAndBooksEveryUserFile) {
    addWorksheet("Rates", 11, "Budget.xlsx", "Plan", "North");
    addWorksheet("Summary", 11, "Budget.xlsx", "Plan", "West");
    cut();
    returnFile(userFile("North", "Sales"), {{"B2", "150"}, {"C3", "222"}});
    returnFile(userFile("South", "Costs"), {});               // saved again, nothing changed
    returnFile(userFile("North", "Rates"), {{"B1", "0.07"}}); // locked out below
    execute("UPDATE UserFileTablesData SET Lockout_User_Updates = 1 WHERE User_Filename = 'Rates.xlsx'");
    QFile::remove(userFile("West", "Summary"));

    // The wait window between the two merged files.
    QStringList between;
    QTimer look;
    look.setInterval(0);
    QObject::connect(&look, &QTimer::timeout, [&] {
        core::frmWait* wait = core::frmWait::loaded();
        if (!wait || !workbooks::gUpdate || workbooks::gUpdate->WSProcessed != 1)
            return;
        look.stop();
        between = QStringList{wait->lblFileStatus2()->text(),
                              wait->lblFileStatus()->text(),
                              wait->lblWorksheet()->text(),
                              wait->lblSysOperation()->text(),
                              QString::number(wait->CorvProgressBar1()->value()),
                              QString::number(wait->CorvProgressBar1()->max()),
                              wait->lbldbTableLabel()->isVisible() ? "db table shown" : "db table hidden"};
        // The window as painted at most 40 ms later: steps are painted at that pace.
        workbooks::PaintWaitWindowNow();
        saveScreenshot(*wait, "wait-window-accept");
    });
    look.start();
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes});
    run(workbooks::kAcceptChanges);
    EXPECT_EQ(ui->messageTexts(), QStringList{workbooks::kMissingUserFileText.arg("Summary.xlsx")});
    EXPECT_EQ(between, (QStringList{"Budget.xlsx", "Sales.xlsx", "Sales",
                                    "Updating Worksheet from User File.", "1", "2", "db table hidden"}));

    const QList<QStringList> shown = LibreOfficeSheets(master_, {1, 4});
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0],
              (QStringList{"Item,Q1,Q2,Total,Commission", "North,150,110,260,13", "South,200,222,422,21.1",
                           "East,300,310,610,30.5", "Total,650,642,1292,"}));
    EXPECT_EQ(shown[1], (QStringList{"Sales,1292", "Costs,157", "Result,1135"}))
        << "the totals on the other sheet follow";
    EXPECT_EQ(cell(master_, "Sales", "D2", true), "=B2+C2");
    EXPECT_EQ(cell(master_, "Rates", "B1"), "0.05") << "the locked-out file is not merged";

    EXPECT_EQ(state("Sales"), "0|0|0|merged");
    EXPECT_EQ(state("Costs"), "0|0|0|merged") << "compared without a change";
    EXPECT_EQ(state("Rates"), "1|0|0|as cut") << "locked out: it stays waiting";
    EXPECT_EQ(state("Summary"), "0|0|1|as cut") << "missing: marked, its flag as it was";
    EXPECT_EQ(rows("SELECT UF_name, File_Missing FROM Errors"), QStringList{"Summary.xlsx|1"});
    EXPECT_EQ(platform::db::parseDateTime(
                  scalar("SELECT MF_Modified_Date FROM MasterFiles WHERE ID_MasterFiles = 11").toString()),
              platform::sys::GetFileModifiedText(master_));
    std::unique_ptr<platform::sheet::Workbook> book =
        platform::sheet::Workbook::open(master_, OpenOptions::readOnlyAccess());
    EXPECT_TRUE(book->sheet("Costs").verifyPassword(kCostsPassword))
        << "the protected sheet keeps its password";
    book->close();
    EXPECT_EQ(workbooks::gUpdate, nullptr);
    EXPECT_EQ(core::frmWait::loaded(), nullptr);
    EXPECT_FALSE(core::gOptions->CancelOp);
    EXPECT_FALSE(core::gOptions->FrmWaitBig);
}

TEST_F(UpdateRunTest, EncryptedMasterIsSavedOnceWithItsPasswords) {
    const QString folder = testsupport::freshDir("secret");
    const QString locked = copyMaster("Encrypted.xlsx", folder, "Locked.xlsx");
    addMaster(21, "Locked.xlsx", folder, "Other", kOpenPassword, kWritePassword);
    addWorksheet("Sales", 21, "Locked.xlsx", "Other", "North");
    core::gOptions->BudgetNameContext = "Other";
    cut("Locked.xlsx");
    returnFile(userFile("North", "Sales", folder), {{"B2", "150"}});
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges, {}, "Other");
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();

    EXPECT_THROW(platform::sheet::Workbook::open(locked), platform::sheet::SheetError) << "still encrypted";
    EXPECT_EQ(cell(locked, "Sales", "B2", false, OpenOptions::withPassword(kOpenPassword)), "150");
    std::unique_ptr<platform::sheet::Workbook> book =
        platform::sheet::Workbook::open(locked, OpenOptions::withPassword(kOpenPassword));
    EXPECT_TRUE(book->readOnly()) << "still write-reserved";
    book->close();
    EXPECT_EQ(LibreOfficeSheet(locked, 4, kOpenPassword),
              (QStringList{"Sales,1280", "Costs,157", "Result,1123"}));
    EXPECT_EQ(scalar("SELECT MFPwdsSet FROM MasterFiles WHERE ID_MasterFiles = 21").toInt(), 1);
    EXPECT_EQ(state("Sales", "Other"), "0|0|0|merged");
}

TEST_F(UpdateRunTest, PreviewShowsTheChangesAndWritesNothing) {
    cut();
    const QByteArray before = digest(master_);
    returnFile(userFile("North", "Sales"), {{"B2", "150"}, {"A4", "Eastern"}});
    QStringList shown;
    bool big = false;
    QString progress;
    whenReviewing([&](core::frmWait& wait) {
        shown = changesShown(wait);
        big = wait.isBig();
        progress = QStringLiteral("%1 of %2")
                       .arg(wait.CorvProgressBar1()->value())
                       .arg(wait.CorvProgressBar1()->max());
        wait.cmdContinue()->click();
    });
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kPreviewChanges);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_TRUE(big);
    EXPECT_EQ(progress, QStringLiteral("1 of 1")) << "the file under review counts on the bar";
    EXPECT_EQ(shown, (QStringList{"A4|East|0|Eastern", "B2|100|0|150"}));
    EXPECT_EQ(digest(master_), before);
    EXPECT_EQ(state("Sales"), "1|0|0|as cut") << "left waiting for the next run";
    EXPECT_EQ(core::frmWait::loaded(), nullptr);
}

TEST_F(UpdateRunTest, EditWritesTheValuesAsEdited) {
    cut();
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    QStringList shown;
    whenReviewing([&](core::frmWait& wait) {
        shown = changesShown(wait);
        wait.dtChangedData()->setCellValue(0, 3, QStringLiteral("175"));
        saveScreenshot(wait, "wait-window-edit");
        wait.cmdContinue()->click();
    });
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kEditChanges);
    EXPECT_EQ(shown, QStringList{"B2|100|1|150"});
    EXPECT_EQ(cell(master_, "Sales", "B2"), "175");
    EXPECT_EQ(cell(master_, "Sales", "D2"), "285") << "recalculated before the save";
    EXPECT_EQ(state("Sales"), "0|0|0|merged");
}

TEST_F(UpdateRunTest, EditThenCancelWritesNothingAndKeepsTheFileWaiting) {
    cut();
    const QByteArray before = digest(master_);
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    returnFile(userFile("South", "Costs"), {{"B2", "60"}});
    whenReviewing([](core::frmWait& wait) { wait.cmdCancelOps()->click(); });
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kEditChanges);
    EXPECT_EQ(digest(master_), before);
    EXPECT_EQ(state("Sales"), "1|0|0|as cut");
    EXPECT_EQ(state("Costs"), "1|0|0|as cut") << "the run stopped before it";
    EXPECT_FALSE(core::gOptions->CancelOp);
    EXPECT_EQ(core::frmWait::loaded(), nullptr);
}

TEST_F(UpdateRunTest, CancelAtTheSecondFileLeavesMasterAndRowsAsTheyWere) {
    cut();
    const QByteArray before = digest(master_);
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    returnFile(userFile("South", "Costs"), {{"B2", "60"}});
    QTimer cancel;
    cancel.setInterval(0);
    QObject::connect(&cancel, &QTimer::timeout, [&cancel] {
        if (workbooks::gUpdate && workbooks::gUpdate->WSProcessed == 1 && core::frmWait::loaded()) {
            core::frmWait::loaded()->cmdCancelOps()->click();
            cancel.stop();
        }
    });
    cancel.start();
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges);
    EXPECT_FALSE(cancel.isActive()) << "the run passed the first file";
    EXPECT_EQ(digest(master_), before);
    EXPECT_EQ(state("Sales"), "1|0|0|as cut") << "merged in memory only: not booked";
    EXPECT_EQ(state("Costs"), "1|0|0|as cut");
    EXPECT_TRUE(scalar("SELECT MF_Modified_Date FROM MasterFiles WHERE ID_MasterFiles = 11").isNull());
}

TEST_F(UpdateRunTest, CorruptedFormulaSkipsTheFileOrStopsTheRun) {
    cut();
    const QByteArray before = digest(master_);
    returnFile(userFile("North", "Sales"), {{"D2", "999"}, {"B3", "250"}});
    returnFile(userFile("South", "Costs"), {{"B2", "60"}});

    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    run(workbooks::kAcceptChanges);
    EXPECT_EQ(ui->messageTexts(),
              QStringList{"The User file [Sales.xlsx] has a corrupted formula at [D2]. \r\n"
                          " Repair or replace this User File.  Do you want to continue updating?"});
    EXPECT_EQ(digest(master_), before) << "No stops the run before the master is saved";
    EXPECT_EQ(state("Costs"), "1|0|0|as cut");

    ui->clear();
    ui->answerMessages({Answer::Yes});
    run(workbooks::kAcceptChanges);
    EXPECT_EQ(ui->messageTexts().size(), 1);
    EXPECT_EQ(cell(master_, "Sales", "B3"), "200") << "nothing of the damaged file is written";
    EXPECT_EQ(cell(master_, "Sales", "D2", true), "=B2+C2");
    EXPECT_EQ(cell(master_, "Costs", "B2"), "60") << "Yes goes on with the next file";
    EXPECT_EQ(state("Sales"), "1|1|0|as cut") << "marked corrupt and left waiting";
    EXPECT_EQ(state("Costs"), "0|0|0|merged");
    EXPECT_EQ(errorCount("Corrupt_Error = 1 AND A1Style = 'D2'"), 2) << "one row per question";
    std::unique_ptr<platform::sheet::Workbook> book =
        platform::sheet::Workbook::open(master_, OpenOptions::readOnlyAccess());
    EXPECT_TRUE(book->sheet("Costs").isProtected() && book->sheet("Costs").verifyPassword(kCostsPassword));
    book->close();
}

TEST_F(UpdateRunTest, ValuesOnlyFileNeverReplacesFormulasOrLockedCells) {
    cut("Budget.xlsx", true);
    returnFile(userFile("North", "Sales"), {{"B2", "150"}, {"D5", "9999"}});
    returnFile(userFile("South", "Costs"), {{"A2", "Staffing"}, {"B2", "60"}});
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_EQ(cell(master_, "Sales", "B2"), "150");
    EXPECT_EQ(cell(master_, "Sales", "D5", true), "=SUM(D2:D4)") << "the total stays a formula";
    EXPECT_EQ(cell(master_, "Sales", "D5"), "1280");
    EXPECT_EQ(cell(master_, "Costs", "A2"), "Staff") << "a locked cell of the protected sheet is left";
    EXPECT_EQ(cell(master_, "Costs", "B2"), "60");
    EXPECT_EQ(
        rows("SELECT A1Style, UF_name, Formula_Error, Protected_Error, MF_Value, Change_Value FROM Errors "
             "ORDER BY ID"),
        (QStringList{"D5|Sales.xlsx|1|0|1230|9999", "A2|Costs.xlsx|0|1|Staff|Staffing"}));
    EXPECT_EQ(state("Sales"), "0|0|0|merged");
    EXPECT_EQ(state("Costs"), "0|0|0|merged");
}

TEST_F(UpdateRunTest, FolderFilterTakesOnlyThatFolder) {
    cut();
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    returnFile(userFile("South", "Costs"), {{"B2", "60"}});
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges, "SOUTH");
    EXPECT_EQ(cell(master_, "Costs", "B2"), "60");
    EXPECT_EQ(cell(master_, "Sales", "B2"), "100");
    EXPECT_EQ(state("Sales"), "1|0|0|as cut");
}

TEST_F(UpdateRunTest, EqualUserFileNamesOfTwoBudgetsDoNotCross) {
    const QString otherFolder = testsupport::freshDir("other");
    const QString otherMaster = copyMaster("Budget.xlsx", otherFolder);
    addMaster(21, "Budget.xlsx", otherFolder, "Other");
    addWorksheet("Sales", 21, "Budget.xlsx", "Other", "North");
    cut();
    core::gOptions->BudgetNameContext = "Other";
    cut();
    returnFile(userFile("North", "Sales"), {});
    returnFile(userFile("North", "Sales", otherFolder), {{"B2", "999"}});
    // The other budget's file waits too: a join that crossed budgets would book it.
    execute("UPDATE UserFileTablesData SET UserFile_Update = 1 WHERE Budget_Name = 'Other'");
    const QByteArray otherBefore = digest(otherMaster);

    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges, {}, "Plan");
    EXPECT_EQ(cell(master_, "Sales", "B2"), "100");
    EXPECT_EQ(state("Sales", "Plan"), "0|0|0|merged");
    EXPECT_EQ(digest(otherMaster), otherBefore);
    EXPECT_EQ(state("Sales", "Other"), "1|0|0|as cut") << "the other budget's row is not touched";

    run(workbooks::kAcceptChanges, {}, "Other");
    EXPECT_EQ(cell(otherMaster, "Sales", "B2"), "999");
    EXPECT_EQ(state("Sales", "Other"), "0|0|0|merged");
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
}

TEST_F(UpdateRunTest, MastersThatCannotBeWrittenAreSkippedAndReported) {
    // Budget.xlsx is held by another program; Locked.xlsx has no write password stored;
    // Reserved.xlsx has only a write password, with which it is opened for writing.
    const QString folder = testsupport::freshDir("more");
    const QString locked = copyMaster("Encrypted.xlsx", folder, "Locked.xlsx");
    const QString reserved = copyMaster("Reserved.xlsx", folder);
    addMaster(12, "Locked.xlsx", folder, "Plan", kOpenPassword, kWritePassword);
    addMaster(13, "Reserved.xlsx", folder, "Plan", {}, kWritePassword);
    addWorksheet("Summary", 12, "Locked.xlsx", "Plan", "West");
    addWorksheet("Rates", 13, "Reserved.xlsx", "Plan", "East");
    cut();
    cut("Locked.xlsx");
    cut("Reserved.xlsx");
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    returnFile(userFile("West", "Summary", folder), {{"A1", "Income"}});
    returnFile(userFile("East", "Rates", folder), {{"B1", "0.07"}});
    execute("UPDATE MasterFiles SET WBWrite_Password = NULL WHERE ID_MasterFiles = 12");
    const QByteArray budgetBefore = digest(master_);
    const QByteArray lockedBefore = digest(locked);
    QFile owner(masters_ + "/~$Budget.xlsx");
    ASSERT_TRUE(owner.open(QIODevice::WriteOnly));
    owner.close();

    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges);
    EXPECT_EQ(ui->messageTexts(), QStringList{workbooks::kOpenWithoutWriteText});
    EXPECT_EQ(digest(master_), budgetBefore);
    EXPECT_EQ(digest(locked), lockedBefore);
    EXPECT_EQ(rows("SELECT MF_Name, UF_name, File_In_Use, Protected_Error FROM Errors ORDER BY ID"),
              (QStringList{"Budget.xlsx||1|0", "Locked.xlsx|<null>|0|1"}));
    EXPECT_EQ(state("Sales"), "1|0|0|as cut");
    EXPECT_EQ(state("Summary"), "1|0|0|as cut");

    EXPECT_EQ(cell(reserved, "Rates", "B1"), "0.07") << "the run goes on with the next master";
    EXPECT_EQ(state("Rates"), "0|0|0|merged");
    std::unique_ptr<platform::sheet::Workbook> book = platform::sheet::Workbook::open(reserved);
    EXPECT_TRUE(book->readOnly()) << "still write-reserved";
    book->close();
}

TEST_F(UpdateRunTest, CommandNeedsAContextAndRefusesToRunInsideARun) {
    testsupport::ScopedScriptedUi ui;
    for (const QString& none : {QString(), QStringLiteral("NOTHING")}) {
        workbooks::UpdateMasterFilesCommand({none, {}, workbooks::kAcceptChanges});
        EXPECT_EQ(ui->messageTexts().last(), "Set the Budget Context.");
    }
    ui->clear();
    {
        core::RunGuard::Token running;
        workbooks::UpdateMasterFilesCommand({"Plan", {}, workbooks::kAcceptChanges});
    }
    EXPECT_EQ(ui->messageTexts(), QStringList{core::RunGuard::kRefusedText});
    EXPECT_EQ(workbooks::gUpdate, nullptr);
}

} // namespace
