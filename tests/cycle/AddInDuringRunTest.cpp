// What the administrator does while the add-in's update run waits in its edit review, in
// Lumisheet with the real add-in: Ann has typed into her Sales.xlsx (B2 150, C2 120) and Bob into
// his Costs.xlsx (B3 70) where they lie, and the Run Budget dialog's Update merges them with
// Edit changes and Save Master File. Whatever cuts, syncs, clears or deletes user files or
// their records is refused meanwhile -- in the add-in and in the desktop program, a process of
// its own on the same database --, Save As of the master is refused, and a cell the
// administrator types into during the review is kept. Continue finishes the run and the users'
// numbers are in the master on disk.
#include "AddInCycleFixture.h"
#include "lumisheet/SheetModel.h"
#include "lumisheet/WorkbookView.h"
#include "support/ChildProcess.h"

namespace {

using namespace cycletest;

const QString kHeldSaveAsText =
    QStringLiteral("The workbook 'Plan.xlsx' cannot be saved under another name while an operation works on "
                   "it. Save it under another name when the operation has ended.");
const QString kSalesB2KeptText = QStringLiteral(
    "The cells B2 of the sheet 'Sales' were changed in the master workbook during the review: the values "
    "of the user file 'Sales.xlsx' were not written over them. The user file stays waiting for the next "
    "update run.");

class AddInDuringRunTest : public AddInCycleFixture {
protected:
    void SetUp() override {
        AddInCycleFixture::SetUp();
        configureWithoutMail();
    }

    // The budget cut in Lumisheet, and both users' answers typed into their files.
    platform::sheet::Workbook* budgetWithAnswers() {
        platform::sheet::Workbook* master = registerAndCut();
        answerOnDisk(userFilePath("North", "Sales"), {{"B2", "150"}, {"C2", "120"}});
        typeInto(userFilePath("South", "Costs"), {{"B3", "70"}});
        ui().acceptUnscriptedMessages();
        ui().clear();
        return master;
    }

    // Every user's number in the master on disk, as the workbook layer reads it.
    void expectAnswersOnDisk() {
        EXPECT_EQ(cellOnDisk(plan_, "Sales", "B2"), "150");
        EXPECT_EQ(cellOnDisk(plan_, "Sales", "C2"), "120");
        EXPECT_EQ(cellOnDisk(plan_, "Costs", "B3"), "70");
    }

    // The administrator types a number into B2 of the Sales sheet shown in Lumisheet.
    void typeIntoMaster(platform::sheet::Workbook& master, const QString& text) {
        lumisheet::SheetModel* shown = window_->viewOf(master)->shownModel();
        ASSERT_NE(shown, nullptr);
        ASSERT_EQ(shown->sheet().name(), "Sales");
        EXPECT_TRUE(shown->setData(shown->index(1, 1), text, Qt::EditRole));
    }

    int recordsOfPlan() {
        return scalar("SELECT (SELECT COUNT(*) FROM Worksheets WHERE Budget_Name = 'Plan') + "
                      "(SELECT COUNT(*) FROM UserFileTablesData WHERE Budget_Name = 'Plan')")
            .toInt();
    }
};

TEST_F(AddInDuringRunTest, CutsAndDeletionsAreRefusedInBothProgramsWhileTheReviewWaits) {
    ASSERT_NE(budgetWithAnswers(), nullptr);
    const QByteArray sales = readAll(userFilePath("North", "Sales"));
    const int records = recordsOfPlan();
    QWidget& form = runBudget();
    testsupport::ProgramResult desktop;
    updateInRunBudget(form, workbooks::kEditChanges, [&](QWidget&) {
        QWidget& build = addInDialog("mnuBuildBudget", "frmBuild");
        control<QTabWidget>(build, "SSTab1").setCurrentIndex(kCreateUserFilesTab);
        control<QPushButton>(build, "cmdOK").click(); // Make
        build.close();
        desktop = testsupport::runProgram(QStringLiteral(CYCLE_DESKTOP_PROGRAM),
                                          {QStringLiteral("delete-worksheet"), QStringLiteral("Costs")});
    });
    EXPECT_TRUE(ui().messageTexts().contains(kRefusedDuringRun))
        << ui().messageTexts().join(u'|').toStdString();
    EXPECT_EQ(readAll(userFilePath("North", "Sales")), sales) << "Ann's answer is not cut over";
    ASSERT_TRUE(desktop.finished && desktop.exitCode == 0) << desktop.err.toStdString();
    EXPECT_TRUE(desktop.out.contains(QStringLiteral("asked: ") + kRefusedDuringRun)) << desktop.out.toStdString();
    EXPECT_EQ(recordsOfPlan(), records) << "no record deleted";

    expectAnswersOnDisk();
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "0|0|booked");
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), "0|0|booked");
}

TEST_F(AddInDuringRunTest, SaveAsOfTheMasterIsRefusedWhileTheReviewWaits) {
    platform::sheet::Workbook* master = budgetWithAnswers();
    ASSERT_NE(master, nullptr);
    const QString copy = masters_ + QStringLiteral("/Copy.xlsx");
    QWidget& form = runBudget();
    updateInRunBudget(form, workbooks::kEditChanges, [&](QWidget&) {
        ui().answerTexts({copy});
        EXPECT_FALSE(window_->saveActiveAs());
    });
    EXPECT_TRUE(ui().messageTexts().contains(kHeldSaveAsText))
        << ui().messageTexts().join(u'|').toStdString();
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(master->fullName(), plan_);
    expectAnswersOnDisk();
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "0|0|booked");
}

TEST_F(AddInDuringRunTest, ACellTypedDuringTheReviewIsKeptAndItsFileStaysWaiting) {
    platform::sheet::Workbook* master = budgetWithAnswers();
    ASSERT_NE(master, nullptr);
    QWidget& form = runBudget();
    const QStringList reviewed = updateInRunBudget(
        form, workbooks::kEditChanges, [&](QWidget&) { typeIntoMaster(*master, QStringLiteral("999")); });
    EXPECT_EQ(reviewed, (QStringList{"B2|100|150", "C2|110|120"}));
    EXPECT_EQ(ui().messageTexts(), QStringList{kSalesB2KeptText});
    EXPECT_EQ(cellOnDisk(plan_, "Sales", "B2"), "999") << "the administrator's number is kept";
    EXPECT_EQ(cellOnDisk(plan_, "Sales", "C2"), "120") << "the file's other answers are written";
    EXPECT_EQ(cellOnDisk(plan_, "Costs", "B3"), "70");
    EXPECT_EQ(rows("SELECT UF_name, A1Style, MF_Value, Change_Value, Sync_Error FROM Errors"),
              QStringList{"Sales.xlsx|B2|999|150|1"});
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "1|0|newer") << "waits for the next run";
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), "0|0|booked");

    // The next run offers Ann's number again; accepted, it is in the master on disk.
    ui().clear();
    updateInRunBudget(form, workbooks::kAcceptChanges);
    EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
    expectAnswersOnDisk();
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "0|0|booked");
}

// Ann's file holds a formula of her own where the master has its total: No to the question ends
// the run, and her file is booked corrupt (the status shows it), Bob's stays waiting.
TEST_F(AddInDuringRunTest, NoToTheCorruptedFormulaQuestionBooksTheFileCorrupt) {
    ASSERT_NE(registerAndCut(), nullptr);
    answerOnDisk(userFilePath("North", "Sales"), {{"D2", "=1+1"}});
    typeInto(userFilePath("South", "Costs"), {{"B3", "70"}});
    const QByteArray onDisk = readAll(plan_);
    QWidget& form = runBudget();
    ui().clear();
    ui().answerMessages({platform::ui::Answer::No});
    updateInRunBudget(form, workbooks::kAcceptChanges);
    ASSERT_EQ(ui().messageTexts().size(), 1);
    EXPECT_TRUE(ui().messageTexts().front().contains(u"has a corrupted formula at [D2]"));
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "1|1|newer") << "booked corrupt, still waiting";
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), "1|0|newer");
    EXPECT_EQ(readAll(plan_), onDisk) << "the master is not saved";
}

// The cycle of a paused edit review: the administrator tries Make, Sync Data, Clear Records in
// the Sync dialog opened before the run, Save As and a number of their own in the reviewed
// cell. Each is refused or kept apart, Continue finishes the run, and after the next run every
// user's number is in the master on disk as LibreOffice reads it.
TEST_F(AddInDuringRunTest, EverythingTriedWhileTheEditReviewWaitsIsRefusedOrKeptApart) {
    platform::sheet::Workbook* master = budgetWithAnswers();
    ASSERT_NE(master, nullptr);
    QWidget& build = addInDialog("mnuBuildBudget", "frmBuild");
    control<QPushButton>(build, "cmdSyncdb2ws").click();
    build.close();
    QWidget* sync = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        sync = top->objectName() == QLatin1String("frmSync") && top->isVisible() ? top : sync;
    ASSERT_NE(sync, nullptr);
    const QByteArray sales = readAll(userFilePath("North", "Sales"));
    const QByteArray costs = readAll(userFilePath("South", "Costs"));
    const int records = recordsOfPlan();
    const QString copy = masters_ + QStringLiteral("/Copy.xlsx");

    QWidget& form = runBudget();
    ui().clear();
    QStringList refused;
    updateInRunBudget(form, workbooks::kEditChanges, [&](QWidget&) {
        const auto tried = [&](const char* what, const std::function<void()>& attempt) {
            ui().clear();
            attempt();
            refused << QString::fromLatin1(what) + u':' + ui().messageTexts().join(u'|');
        };
        tried("Make", [&] {
            QWidget& again = addInDialog("mnuBuildBudget", "frmBuild");
            control<QTabWidget>(again, "SSTab1").setCurrentIndex(kCreateUserFilesTab);
            control<QPushButton>(again, "cmdOK").click();
        });
        tried("Sync Data", [&] {
            QWidget& again = addInDialog("mnuBuildBudget", "frmBuild");
            control<QPushButton>(again, "cmdSyncdb2ws").click();
            again.close();
        });
        tried("Clear Records", [&] { control<QPushButton>(*sync, "cmdClearRec").click(); });
        tried("Save As", [&] {
            ui().answerTexts({copy});
            window_->saveActiveAs();
        });
        ui().clear();
        typeIntoMaster(*master, QStringLiteral("999"));
    });
    EXPECT_EQ(refused, (QStringList{"Make:" + kRefusedDuringRun, "Sync Data:" + kRefusedDuringRun,
                                    "Clear Records:" + kRefusedDuringRun, "Save As:" + kHeldSaveAsText}));
    EXPECT_EQ(ui().messageTexts(), QStringList{kSalesB2KeptText}) << "the typed cell is kept apart";
    EXPECT_EQ(readAll(userFilePath("North", "Sales")), sales);
    EXPECT_EQ(readAll(userFilePath("South", "Costs")), costs);
    EXPECT_EQ(recordsOfPlan(), records);
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(cellOnDisk(plan_, "Sales", "B2"), "999");
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "1|0|newer");

    ui().clear();
    updateInRunBudget(form, workbooks::kAcceptChanges);
    EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
    const QStringList salesSheet = workbookstest::LibreOfficeSheet(plan_, 1);
    const QStringList costsSheet = workbookstest::LibreOfficeSheet(plan_, 2);
    ASSERT_GE(salesSheet.size(), 2);
    ASSERT_GE(costsSheet.size(), 3);
    EXPECT_EQ(salesSheet[1], "North,150,120,270,13.5");
    EXPECT_EQ(costsSheet[2], "Rent,70,20,90");
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "0|0|booked");
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), "0|0|booked");
}

} // namespace
