// Cutting user files from the budget workbooks LibreOffice saved: whole sheets and values
// only, read back by LibreOffice and openpyxl; the stamped rows; the master byte-identical
// after every kind of end; the overwrite question, the copy of a corrupt file, the refusals
// and the failure code; the question before answers not merged are cut over; and the selection
// run of the wizard's grid.
#include "workbooks/CreateUserFiles.h"

#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/db/Connection.h"
#include "platform/db/SqlText.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/DataGrid.h"
#include "workbooks/CreateUserFilesForSelection.h"
#include "workbooks/UserFileTableSync.h"
#include "workbooks/cUpdate.h"
#include "workbooks/tests/LibreOfficeSheet.h"
#include "workbooks/tests/PlanBudgetFixture.h"

#include <QCheckBox>
#include <QDir>
#include <gtest/gtest.h>

namespace {

using namespace workbookstest;
using platform::ui::Answer;

class CreateUserFilesTest : public PlanBudgetFixture {
protected:
    void SetUp() override {
        PlanBudgetFixture::SetUp();
        // A worksheet of another master workbook, whose key contains this one's.
        addWorksheet(QStringLiteral("Rates"), 111, QStringLiteral("Budget.xlsx"), QStringLiteral("Plan"),
                     QStringLiteral("North"));
        masterDigest_ = digest(master_);
        syncs_ = std::make_shared<int>(0);
        workbooks::setUserFileTableSync([count = syncs_] { ++*count; });
    }

    // The user-file columns of a worksheet row: name, path, copy-values, missing, corrupt, and
    // whether the recorded last-write time is the file's.
    QString stamp(const QString& sheet) const {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset row = platform::db::Recordset::open(
            cnn,
            "SELECT User_Filename, UFNPath, UF_Copy_Values, File_Missing, Corrupt_Error, UF_Create_Date, "
            "UF_Modified_Date FROM Worksheets WHERE Worksheet_Name = ? AND Budget_Name = 'Plan'",
            {sheet});
        if (row.isNull(0))
            return QStringLiteral("unstamped");
        const QString path = row.value(1).toString();
        const bool timeRecorded = platform::db::parseDateTime(row.value(6).toString()) ==
                                      platform::sys::GetFileModifiedText(path) &&
                                  !row.isNull(5);
        return QStringList{row.value(0).toString(), QString(path).replace(masters_, "P"),
                           row.value(2).toString(), row.value(3).toString(),
                           row.value(4).toString(), timeRecorded ? "dated" : "undated"}
            .join(u'|');
    }

    QByteArray masterDigest_;
    std::shared_ptr<int> syncs_;
};

TEST_F(CreateUserFilesTest, WholeSheetCutKeepsValuesAndFormatsAndLeavesTheMaster) {
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CreateUserFiles("budget.xlsx", false, false, false), workbooks::kCutFinished);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_EQ(digest(master_), masterDigest_) << "the master file is untouched";
    EXPECT_EQ(stamp("Sales"), "Sales.xlsx|P/North/Sales.xlsx|0|0|0|dated");
    EXPECT_EQ(stamp("Costs"), "Costs.xlsx|P/South/Costs.xlsx|0|0|0|dated");
    EXPECT_EQ(stamp("Rates"), "unstamped") << "another master workbook's worksheet";
    EXPECT_FALSE(QFileInfo::exists(userFile("North", "Rates")));
    EXPECT_EQ(workbooks::gUpdate, nullptr);
    EXPECT_EQ(core::frmWait::loaded(), nullptr);

    EXPECT_EQ(LibreOfficeSheet(userFile("North", "Sales"), 1),
              (QStringList{"Item,Q1,Q2,Total,Commission", "North,100,110,210,10.5", "South,200,210,410,20.5",
                           "East,300,310,610,30.5", "Total,600,630,1230,"}));
    const auto cells = sheettest::readWithOpenpyxl(userFile("South", "Costs"));
    EXPECT_EQ(cells.value("Costs!D5"), "'=SUM(D2:D4)'") << "a whole-sheet copy keeps its formulas";
    const QString formats = sheettest::runPython(QStringLiteral(R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(ws.title, ws["A1"].font.b, ws["A1"].fill.fgColor.rgb, ws.column_dimensions["A"].width)
ws = openpyxl.load_workbook(sys.argv[2]).active
print(ws.title, ws.protection.sheet)
)"),
                                                 {userFile("North", "Sales"), userFile("South", "Costs")});
    EXPECT_EQ(formats, "Sales True FFDDEEFF 18.0\nCosts False\n")
        << "the heading's format and the column width come along; the protected sheet is cut unprotected";
}

TEST_F(CreateUserFilesTest, ValuesOnlyCutHoldsValuesAndFormatsWithoutFormulas) {
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, true), workbooks::kCutFinished);
    EXPECT_EQ(stamp("Sales"), "Sales.xlsx|P/North/Sales.xlsx|1|0|0|dated");
    EXPECT_EQ(digest(master_), masterDigest_);
    const auto cells = sheettest::readWithOpenpyxl(userFile("North", "Sales"));
    EXPECT_EQ(cells.value("Sales!D5"), "1230") << "the one sheet bears the master sheet's name";
    EXPECT_EQ(cells.value("Sales!E2"), "10.5");
    EXPECT_EQ(cells.value("Sales!A5"), "'Total'");
    EXPECT_EQ(cells.keys().filter("!E5"), QStringList{}) << "an empty cell stays empty";
    const QString bold = sheettest::runPython(
        QStringLiteral("import sys, openpyxl\nws = openpyxl.load_workbook(sys.argv[1]).active\n"
                       "print(ws['B1'].font.b, ws['B1'].fill.fgColor.rgb, ws['B2'].font.b)"),
        {userFile("North", "Sales")});
    EXPECT_EQ(bold, "True FFDDEEFF False\n");
}

TEST_F(CreateUserFilesTest, EncryptedMasterIsCutWithItsStoredPasswordsAndStaysAsItWas) {
    const QString encrypted = copyMaster("Encrypted.xlsx", masters_, "Locked.xlsx");
    addMaster(12, "Locked.xlsx", masters_, "Plan", kOpenPassword, kWritePassword);
    addWorksheet("Summary", 12, "Locked.xlsx", "Plan", "West");
    const QByteArray before = digest(encrypted);
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CreateUserFiles("Locked.xlsx", false, false, true), workbooks::kCutFinished);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_EQ(digest(encrypted), before);
    EXPECT_EQ(LibreOfficeSheet(userFile("West", "Summary"), 1),
              (QStringList{"Sales,1230", "Costs,157", "Result,1073"}));
}

TEST_F(CreateUserFilesTest, OverwriteQuestionAnswers) {
    testsupport::ScopedScriptedUi ui;
    ASSERT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, false), workbooks::kCutFinished);
    execute("UPDATE Worksheets SET User_Filename = NULL WHERE Worksheet_Name IN ('Sales', 'Costs')");
    const QByteArray sales = digest(userFile("North", "Sales"));

    // No keeps the old file and leaves its row; Yes replaces.
    ui->answerMessages({Answer::No, Answer::Yes});
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, true), workbooks::kCutFinished);
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{"The template (file) 'Sales.xlsx' already exists. Do you want to overwrite it?",
                           workbooks::kOverwriteText.arg("Costs.xlsx")}));
    EXPECT_EQ(digest(userFile("North", "Sales")), sales);
    EXPECT_EQ(stamp("Sales"), "unstamped");
    EXPECT_EQ(stamp("Costs"), "Costs.xlsx|P/South/Costs.xlsx|1|0|0|dated");

    // Cancel stops the whole cut; Overwrite All asks nothing.
    ui->clear();
    ui->answerMessages({Answer::Cancel});
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, false), workbooks::kCutCancelled);
    EXPECT_EQ(ui->messageTexts().size(), 1);
    EXPECT_EQ(stamp("Sales"), "unstamped");
    EXPECT_EQ(core::frmWait::loaded(), nullptr);
    ui->clear();
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", true, false, false), workbooks::kCutFinished);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(stamp("Sales"), "Sales.xlsx|P/North/Sales.xlsx|0|0|0|dated");
    EXPECT_EQ(digest(master_), masterDigest_);
}

// The stamps of one master's cut are one transaction: three sheets commit no more than one
// (a second commit only when the cut outlasts the hold of the batch), where a commit for each
// stamp would add several. At each question the stamps before it are committed, and another
// program may write.
TEST_F(CreateUserFilesTest, StampsOfACutAreOneTransactionCommittedBeforeEachQuestion) {
    addWorksheet(QStringLiteral("Summary"), 11, QStringLiteral("Budget.xlsx"), QStringLiteral("Plan"),
                 QStringLiteral("West"));
    testsupport::ScopedScriptedUi ui;
    const auto commitsOfCut = [] {
        const qint64 before = platform::db::Connection::commitCount();
        EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", true, false, false), workbooks::kCutFinished);
        return platform::db::Connection::commitCount() - before;
    };
    execute("UPDATE Worksheets SET Select_By_User = 0 WHERE Worksheet_Name <> 'Sales'");
    const qint64 one = commitsOfCut();
    execute("UPDATE Worksheets SET Select_By_User = 1");
    const qint64 three = commitsOfCut();
    EXPECT_LE(three, one + 1);
    EXPECT_EQ(stamp("Summary"), "Summary.xlsx|P/West/Summary.xlsx|0|0|0|dated");

    // Cut again over the files, asked for each: at the question for Costs, Sales's new cut is on
    // record for everyone.
    const auto cutOf = [this](const char* folder, const char* sheet) {
        return scalar("SELECT Cut_ID FROM UserFileCuts WHERE UFNPath = ?", {userFile(folder, sheet)})
            .toString();
    };
    const QString salesBefore = cutOf("North", "Sales");
    QStringList salesCutAtQuestion;
    QList<bool> freeAtQuestion;
    ui->whileAsking([&] {
        salesCutAtQuestion << cutOf("North", "Sales");
        freeAtQuestion << othersCanWrite();
    });
    ui->answerMessages({Answer::Yes, Answer::Yes, Answer::Yes});
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, false), workbooks::kCutFinished);
    ASSERT_EQ(salesCutAtQuestion.size(), 3);
    EXPECT_EQ(salesCutAtQuestion[0], salesBefore);
    EXPECT_NE(salesCutAtQuestion[1], salesBefore) << "Sales's new stamp is committed before Costs is asked";
    EXPECT_EQ(salesCutAtQuestion[1], cutOf("North", "Sales"));
    EXPECT_EQ(freeAtQuestion, (QList<bool>{true, true, true}));
}

// The desktop's cut over a user file whose answers no run has merged (Sales returned; Costs,
// never returned, has lost its stamp): it asks first, naming the file, whatever the overwrite
// choice. Yes replaces both, No keeps Sales and cuts Costs, Cancel cuts nothing.
TEST_F(CreateUserFilesTest, ASecondCutAsksBeforeReplacingAnswersNotMerged) {
    const struct {
        Answer answer;
        qint32 result;
        bool salesKept;
        bool costsCut;
    } cases[] = {
        {Answer::Yes, workbooks::kCutFinished, false, true},
        {Answer::No, workbooks::kCutFinished, true, true},
        {Answer::Cancel, workbooks::kCutCancelled, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.answer));
        for (const char* folder : {"North", "South"})
            QDir(masters_ + u'/' + QString::fromLatin1(folder)).removeRecursively();
        cut();
        returnFile(userFile("North", "Sales"), {{"B2", "150"}});
        execute("UPDATE Worksheets SET User_Filename = NULL WHERE Worksheet_Name = 'Costs'");
        const QByteArray sales = digest(userFile("North", "Sales"));

        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({c.answer});
        EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", true, false, false), c.result);
        EXPECT_EQ(
            ui->messageTexts(),
            QStringList{"These user files hold answers that have not been merged into the master workbook "
                        "yet:\n" +
                        userFile("North", "Sales") +
                        "\nMaking them again replaces those answers. Do you want to replace them?\nNo keeps "
                        "them and makes the other user files."});
        EXPECT_EQ(digest(userFile("North", "Sales")) == sales, c.salesKept);
        EXPECT_EQ(stamp("Costs") != "unstamped", c.costsCut);
    }
    EXPECT_EQ(digest(master_), masterDigest_);
}

TEST_F(CreateUserFilesTest, CorruptUserFileIsKeptAsOldCopyBeforeItIsReplaced) {
    QDir().mkpath(masters_ + "/North");
    QFile old(userFile("North", "Sales"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the user's damaged file");
    old.close();
    execute("UPDATE Worksheets SET Corrupt_Error = 1 WHERE Worksheet_Name = 'Sales'");
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", true, false, false), workbooks::kCutFinished);
    QFile copy(masters_ + "/North/Salesold.xlsx");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("the user's damaged file"));
    EXPECT_EQ(stamp("Sales"), "Sales.xlsx|P/North/Sales.xlsx|0|0|0|dated") << "no longer corrupt";
    EXPECT_EQ(workbooks::CorruptCopyPath("/a.xls/P/F/Sales.xlsx"), "/a.xls/P/F/Salesold.xlsx");
}

TEST_F(CreateUserFilesTest, RefusalsAndTheFailureCode) {
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CreateUserFiles("Budget", false, false, false), workbooks::kCutNoMasterRow);
    EXPECT_EQ(ui->messageTexts(), QStringList{"The query didn't return the selected workbook."});

    ui->clear();
    QFile::rename(master_, master_ + ".away");
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, false), workbooks::kCutMasterMissing);
    QFile::rename(master_ + ".away", master_);
    QFile lock(platform::sys::WorkbookLockFilePath(master_));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, false), workbooks::kCutMasterInUse);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(rows("SELECT MF_Name, UF_name, Budget_Name, File_In_Use FROM Errors"),
              QStringList{"Budget.xlsx||Plan|1"});
    lock.remove();

    // A worksheet the master does not have ends the cut after Sales: code of its own, Sales
    // stays cut and stamped.
    execute("UPDATE Worksheets SET Worksheet_Name = 'Gone' WHERE Worksheet_Name = 'Costs'");
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, false), workbooks::kCutFailed);
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith("Error 9 has occured. "))
        << ui->messageTexts().front().toStdString();
    EXPECT_EQ(stamp("Sales"), "Sales.xlsx|P/North/Sales.xlsx|0|0|0|dated");
    EXPECT_EQ(digest(master_), masterDigest_);
    EXPECT_EQ(core::frmWait::loaded(), nullptr);
}

TEST_F(CreateUserFilesTest, PathLongerThanItsColumnIsRefusedBeforeTheFileIsWritten) {
    const QString folder(240, u'f');
    execute("UPDATE Worksheets SET Folder_Name = ? WHERE Worksheet_Name = 'Sales'", {folder});
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", false, false, false), workbooks::kCutFinished);
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().contains("longer than the 255 characters"));
    EXPECT_FALSE(QFileInfo::exists(masters_ + u'/' + folder));
    EXPECT_EQ(stamp("Sales"), "unstamped");
    EXPECT_EQ(stamp("Costs"), "Costs.xlsx|P/South/Costs.xlsx|0|0|0|dated") << "the other sheets are cut";
}

// The wizard's worksheet grid as the selection run reads it: columns 0 sheet, 1 Select, 2
// folder, 9 master workbook; rows highlighted as given.
class SelectionRun : public CreateUserFilesTest {
protected:
    struct GridRow {
        const char* sheet;
        bool picked;
        const char* folder;
        const char* master;
        bool highlighted;
    };
    void showGrid(std::initializer_list<GridRow> gridRows) {
        wizard_ = std::make_unique<QWidget>();
        auto* grid = new platform::ui::DataGrid(wizard_.get());
        grid->setObjectName("dtWorksheets");
        QList<platform::ui::DataGridColumn> columns;
        for (int i = 0; i < 12; ++i)
            columns << platform::ui::DataGridColumn{};
        grid->setColumns(columns);
        grid->setRowSelection(platform::ui::RowSelection::MultipleRows);
        for (const GridRow& r : gridRows) {
            QVariantList values(12);
            values[0] = QString::fromLatin1(r.sheet);
            values[1] = r.picked ? 1 : 0;
            values[2] = QString::fromLatin1(r.folder);
            values[9] = QString::fromLatin1(r.master);
            grid->appendRow(values);
            if (r.highlighted)
                grid->selectRange(grid->rowCount() - 1, grid->rowCount() - 1, true);
        }
        auto* overwrite = new QCheckBox(wizard_.get());
        overwrite->setObjectName("chkOWAll");
        overwrite->setChecked(true);
        core::gOptions->ActiveForm = wizard_.get();
    }
    std::unique_ptr<QWidget> wizard_;
};

TEST_F(SelectionRun, CutsTheHighlightedRowsMasterByMaster) {
    copyMaster("Budget.xlsx", masters_, "Second.xlsx");
    addMaster(12, "Second.xlsx", masters_, "Plan");
    addWorksheet("Summary", 12, "Second.xlsx", "Plan", "West");
    showGrid({{"Sales", true, "North", "Budget.xlsx", true},
              {"Summary", true, "West", "Second.xlsx", true},
              {"Costs", true, "South", "BUDGET.xlsx", true},
              {"Rates", true, "North", "Budget.xlsx", false},
              {"Costs", false, "South", "Budget.xlsx", true},
              {"Sales", true, "", "Budget.xlsx", true}});
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CreateUserFilesForSelection(false), 0);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_EQ(*syncs_, 3) << "Budget, Second, Budget again: one sync after each";
    EXPECT_EQ(stamp("Sales"), "Sales.xlsx|P/North/Sales.xlsx|0|0|0|dated");
    EXPECT_EQ(stamp("Summary"), "Summary.xlsx|P/West/Summary.xlsx|0|0|0|dated");
    EXPECT_EQ(stamp("Costs"), "Costs.xlsx|P/South/Costs.xlsx|0|0|0|dated");
    EXPECT_EQ(stamp("Rates"), "unstamped");
}

TEST_F(SelectionRun, ReportsMissingAndBusyMastersAndGoesOn) {
    showGrid({{"Sales", true, "North", "Budget.xlsx", true}});
    testsupport::ScopedScriptedUi ui;
    QFile::rename(master_, master_ + ".away");
    EXPECT_EQ(workbooks::CreateUserFilesForSelection(false), 0);
    EXPECT_EQ(ui->messageTexts(), QStringList{"The master workbook file is missing."});
    QFile::rename(master_ + ".away", master_);
    ui->clear();
    QFile owner(masters_ + "/~$Budget.xlsx");
    ASSERT_TRUE(owner.open(QIODevice::WriteOnly));
    owner.close();
    EXPECT_EQ(workbooks::CreateUserFilesForSelection(false), 0);
    EXPECT_EQ(ui->messageTexts(), QStringList{"The master workbook is in use. Close it to proceed"});
    EXPECT_EQ(*syncs_, 0);

    showGrid({{"Sales", true, "North", "Budget.xlsx", false}});
    ui->clear();
    EXPECT_EQ(workbooks::CreateUserFilesForSelection(false), 4);
    EXPECT_TRUE(ui->asked().empty());
}

} // namespace
