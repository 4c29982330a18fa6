// Cutting again and rebuilding the records in Lumisheet with the real add-in while a user's
// answer waits to be merged: Ann has typed into her Sales.xlsx where it lies. Make asks before it
// replaces her file and No keeps it, Clear Records asks before it drops her file's records and
// No keeps them; the next update run then merges her answer into the master on disk. A hidden
// worksheet is cut and merged like any other, and Make says why a ticked sheet without a folder
// made nothing.
#include "AddInCycleFixture.h"

namespace {

using namespace cycletest;
using platform::ui::Answer;

class AddInRecutTest : public AddInCycleFixture {
protected:
    void SetUp() override {
        AddInCycleFixture::SetUp();
        configureWithoutMail();
        ui().acceptUnscriptedMessages();
    }

    QString waitingQuestion(const QString& start, const QString& end) const {
        return start + userFilePath("North", "Sales") + end;
    }

    // Update with Accept changes and Save Master File merges Ann's 150 into the master on disk.
    void expectAnnMerged() {
        ui().clear();
        updateInRunBudget(runBudget(), workbooks::kAcceptChanges);
        EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
        EXPECT_EQ(cellOnDisk(plan_, "Sales", "B2"), "150");
        EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "0|0|booked");
    }

    QWidget& buildBudgetOn(int tab) {
        QWidget& build = addInDialog("mnuBuildBudget", "frmBuild");
        control<QTabWidget>(build, "SSTab1").setCurrentIndex(tab);
        return build;
    }
};

TEST_F(AddInRecutTest, MakeAsksBeforeReplacingAnswersNotMergedAndNoKeepsThem) {
    ASSERT_NE(registerAndCut(), nullptr);
    answerOnDisk(userFilePath("North", "Sales"), {{"B2", "150"}});
    const QByteArray answered = readAll(userFilePath("North", "Sales"));
    const QString costsCut =
        scalar("SELECT UF_Modified_Date FROM Worksheets WHERE Worksheet_Name = 'Costs'").toString();
    nextSecond();

    QWidget& build = buildBudgetOn(kCreateUserFilesTab);
    ui().clear();
    ui().answerMessages({Answer::No});
    control<QPushButton>(build, "cmdOK").click(); // Make
    EXPECT_EQ(ui().messageTexts(),
              QStringList{waitingQuestion(
                  "These user files hold answers that have not been merged into the master workbook yet:\n",
                  "\nMaking them again replaces those answers. Do you want to replace them?\n"
                  "No keeps them and makes the other user files.")});
    EXPECT_EQ(readAll(userFilePath("North", "Sales")), answered) << "Ann's answer is kept";
    EXPECT_NE(scalar("SELECT UF_Modified_Date FROM Worksheets WHERE Worksheet_Name = 'Costs'").toString(),
              costsCut)
        << "Costs.xlsx, without an answer, is cut again";
    build.close();

    expectAnnMerged();
}

TEST_F(AddInRecutTest, ClearRecordsAsksBeforeDroppingAnswersNotMergedAndNoKeepsThem) {
    ASSERT_NE(registerAndCut(), nullptr);
    answerOnDisk(userFilePath("North", "Sales"), {{"B2", "150"}});
    const QStringList records =
        rows("SELECT Worksheet_Name, User_Filename, MasterFiles_ID FROM Worksheets ORDER BY Worksheet_Name") +
        rows("SELECT User_Filename, Users FROM UserFileTablesData ORDER BY User_Filename");

    QWidget& build = buildBudgetOn(kCreateUserFilesTab);
    control<QPushButton>(build, "cmdSyncdb2ws").click();
    QWidget* sync = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        sync = top->objectName() == QLatin1String("frmSync") && top->isVisible() ? top : sync;
    ASSERT_NE(sync, nullptr);
    ui().clear();
    ui().answerMessages({Answer::No});
    control<QPushButton>(*sync, "cmdClearRec").click();
    EXPECT_EQ(ui().messageTexts(),
              QStringList{waitingQuestion(
                  "These user files of the workbook hold answers that have not been merged into it yet:\n",
                  "\nClear Records deletes their records and assignments, so that no update run merges those "
                  "answers. Do you want to clear the records all the same?")});
    EXPECT_EQ(
        rows("SELECT Worksheet_Name, User_Filename, MasterFiles_ID FROM Worksheets ORDER BY Worksheet_Name") +
            rows("SELECT User_Filename, Users FROM UserFileTablesData ORDER BY User_Filename"),
        records);
    sync->close();
    build.close();

    expectAnnMerged();
}

// Costs is hidden in the master: it is offered, cut, and Bob's answer is merged into it, which
// stays hidden.
TEST_F(AddInRecutTest, AHiddenWorksheetIsCutAndMergedAndStaysHidden) {
    const auto hideCosts = [](const QString& path) {
        std::unique_ptr<Workbook> book = Workbook::open(path);
        book->sheet(QStringLiteral("Costs")).setVisibility(platform::sheet::Worksheet::Visibility::Hidden);
        book->save();
        book->close();
    };
    platform::sheet::Workbook* master = registerAndCut(hideCosts);
    ASSERT_NE(master, nullptr);
    answerOnDisk(userFilePath("South", "Costs"), {{"B3", "70"}});
    ui().clear();
    updateInRunBudget(runBudget(), workbooks::kAcceptChanges);
    EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
    EXPECT_EQ(cellOnDisk(plan_, "Costs", "B3"), "70");
    EXPECT_EQ(state(QStringLiteral("Costs.xlsx")), "0|0|booked");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Errors").toInt(), 0);
    std::unique_ptr<Workbook> saved = Workbook::open(plan_, OpenOptions::readOnlyAccess());
    EXPECT_EQ(saved->sheet(QStringLiteral("Costs")).visibility(),
              platform::sheet::Worksheet::Visibility::Hidden);
    saved->close();
}

TEST_F(AddInRecutTest, MakeSaysWhyATickedSheetWithoutAFolderMadeNothing) {
    ASSERT_NE(registerAndCut(), nullptr);
    QWidget& build = buildBudgetOn(kCreateUserFilesTab);
    auto& sheets = control<platform::ui::EditGrid>(build, "dtCUF");
    const int rates = static_cast<int>(column(sheets, 1).indexOf(QStringLiteral("Rates")));
    ASSERT_GE(rates, 0);
    sheets.editCell(rates, 0, 1);
    ui().clear();
    control<QPushButton>(build, "cmdOK").click(); // Make
    EXPECT_EQ(
        ui().messageTexts(),
        QStringList{"No user file was made of these worksheets, since no folder name is chosen for them: "
                    "'Rates'. Choose their folders in the Folder Name column, then make the user files "
                    "again."});
    EXPECT_TRUE(rows("SELECT UFNPath FROM Worksheets WHERE Worksheet_Name = 'Rates' AND UFNPath IS NOT NULL")
                    .isEmpty());
}

} // namespace
