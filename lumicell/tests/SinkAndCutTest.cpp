// The event sink with the Build Budget and Run Budget dialogs open (the summary picks, the
// registration offer made once and never in the middle of a run, each dialog addressed
// directly) and the cut from a protected master that LibreOffice saved, open in the
// spreadsheet program: the user files as LibreOffice reads them, the master as it was, the
// corrupt file's copy, the stamps; and the desktop program's cut of a master held open here.
#include "BuildBudgetFixture.h"
#include "lumicell/OpenDialogs.h"
#include "lumicell/SummaryPick.h"
#include "lumicell/buildbudget/AddWorkbookToBudget.h"
#include "lumicell/buildbudget/CreateUserFilesXL.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/tests/SheetTestSupport.h"
#include "platform/ui/EditGrid.h"
#include "workbooks/CreateUserFiles.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QTabWidget>

namespace {

using lumicell::frmBuild;
using lumicelltest::BuildBudgetFixture;
using platform::sheet::CellRange;
using platform::ui::Answer;

// A main dialog as the sink sees it, recording its calls.
class RecordingDialog : public QObject, public lumicell::SinkTarget {
public:
    void retarget() override {
        calls << QStringLiteral("retarget ") + lumicell::gOptions()->BudgetNameContext;
    }
    void clearGrids() override { calls << QStringLiteral("clear"); }
    void addSummaryPick(bool isRow, const QString& entry) override {
        calls << (isRow ? QStringLiteral("row ") : QStringLiteral("column ")) + entry;
    }
    QStringList calls;
};

TEST(SummaryPick, OnlyAWholeSingleColumnOrRowBelowOneThousandIsPicked) {
    struct Case {
        const char* address;
        const char* pick; // "" for none
    };
    for (const Case& c :
         {Case{"C:C", "column C"}, Case{"12:12", "row 12"}, Case{"AB:AB", "column AB"},
          Case{"XFD:XFD", "column XFD"}, Case{"999:999", "row 999"}, Case{"C:E", ""}, Case{"B2", ""},
          Case{"B2:B2", ""}, Case{"1200:1200", ""}, Case{"7:9", ""}, Case{"", ""}}) {
        const std::optional<lumicell::SummaryPick> pick =
            lumicell::SummaryPickOf(QString::fromLatin1(c.address));
        const QString shown =
            pick ? (pick->isRow ? QStringLiteral("row ") : QStringLiteral("column ")) + pick->entry
                 : QString();
        EXPECT_EQ(shown, QString::fromLatin1(c.pick)) << c.address;
    }
}

class SinkTest : public BuildBudgetFixture {
protected:
    void openDialogs(bool build, bool run) {
        if (build) {
            lumicell::RegisterMainDialog(lumicell::MainDialog::Build, &build_, &build_);
            options().CUFIsRunning = true;
        }
        if (run) {
            lumicell::RegisterMainDialog(lumicell::MainDialog::Run, &run_, &run_);
            options().RunBudIsRunning = true;
        }
    }
    void TearDown() override {
        lumicell::RegisterMainDialog(lumicell::MainDialog::Build, nullptr, nullptr);
        lumicell::RegisterMainDialog(lumicell::MainDialog::Run, nullptr, nullptr);
        BuildBudgetFixture::TearDown();
    }

    RecordingDialog build_;
    RecordingDialog run_;
};

TEST_F(SinkTest, InSummaryModeWholeColumnsAndRowsSelectedOnASheetReachTheBuildDialog) {
    platform::sheet::Worksheet& sheet = *openInHost(copyMaster("Budget.xlsx")).worksheets().front();
    openDialogs(true, true);
    sheet.select(*CellRange::parse(QStringLiteral("C:C")));
    EXPECT_TRUE(build_.calls.isEmpty()) << "not in summary mode";
    options().FormBldWSBig = true;
    for (const char* address : {"C:C", "12:12", "C:E", "B2", "1200:1200"})
        sheet.select(*CellRange::parse(QString::fromLatin1(address)));
    EXPECT_EQ(build_.calls, (QStringList{"column C", "row 12"}));
    EXPECT_TRUE(run_.calls.isEmpty());
}

TEST_F(SinkTest, ANewWorkbookIsOfferedOnceWithBothDialogsOpenAndEachIsRetargeted) {
    registerBudgetWorkbook("Sales");
    openDialogs(true, true);
    openInHost(copyMaster("Budget.xlsx"));
    EXPECT_EQ(build_.calls, QStringList{"retarget Sales"});
    EXPECT_EQ(run_.calls, QStringList{"retarget Sales"});
    EXPECT_EQ(options().FormLoadWB, u"Budget.xlsx");

    build_.calls.clear();
    run_.calls.clear();
    ui_->answerMessages({Answer::No});
    openInHost(copyMaster("Budget.xlsx", "New.xlsx"));
    EXPECT_EQ(ui_->messageTexts(), QStringList{lumicell::kNewWorkbookQuestion})
        << "asked once for both dialogs";
    EXPECT_EQ(build_.calls, QStringList{"clear"}) << "the deactivation of Budget.xlsx emptied its grids";
    EXPECT_EQ(run_.calls, QStringList{"clear"});
    EXPECT_TRUE(options().UnloadForm);
    EXPECT_EQ(options().AWBSet, u"New.xlsx");
}

TEST_F(SinkTest, NoOfferIsMadeDuringACutOrAnUpdateRunNorForATemplate) {
    openDialogs(true, true);
    for (const bool cutRunning : {true, false}) {
        options().OKCUFClicked = cutRunning;
        options().OKUMFClicked = !cutRunning;
        openInHost(copyMaster("Budget.xlsx", cutRunning ? "DuringCut.xlsx" : "DuringUpdate.xlsx"));
        EXPECT_EQ(options().MasterFilename, cutRunning ? u"DuringCut.xlsx" : u"DuringUpdate.xlsx");
    }
    options().OKCUFClicked = false;
    options().OKUMFClicked = false;
    openInHost(copyMaster("Budget.xlsx", "DeptTemp.xlsx"));
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    EXPECT_FALSE(build_.calls.contains("retarget"));
}

// The cut from the master open here: protected Costs (stored password) whole, Sales values only,
// Costs' old user file marked corrupt and kept.
TEST_F(SinkTest, ACutFromAProtectedMasterOpenHereLeavesItProtectedAndUnchanged) {
    registerBudgetWorkbook("Sales");
    const QString master = copyMaster("Budget.xlsx");
    platform::sheet::Workbook& book = openInHost(master);
    lumicell::BuildBudget();
    frmBuild* dialog = frmBuild::loaded();
    ASSERT_NE(dialog, nullptr);
    QDir().mkpath(workFolder_ + "/South");
    QFile old(workFolder_ + "/South/Costs.xlsx");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the user's earlier file");
    old.close();
    execute("UPDATE Worksheets SET Corrupt_Error = 1 WHERE Worksheet_Name = 'Costs'");

    QSignalSpy activations(&app_, &platform::sheet::Application::workbookActivate);
    const int open = app_.workbookCount();
    ASSERT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    EXPECT_EQ(lumicell::CreateUserFilesXL(*dialog, "Budget.xlsx", true, false, false), lumicell::kBuildDone);
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    EXPECT_EQ(activations.count(), 0) << "the cut's workbooks are not the user's";
    EXPECT_EQ(app_.workbookCount(), open);
    EXPECT_TRUE(app_.screenUpdating());
    EXPECT_FALSE(options().OKCUFClicked);

    platform::sheet::Worksheet& costs = book.sheet(QStringLiteral("Costs"));
    EXPECT_TRUE(costs.isProtected());
    EXPECT_TRUE(costs.verifyPassword(lumicelltest::kCostsPassword));
    EXPECT_TRUE(book.saved()) << "the master is unchanged";

    QFile kept(workFolder_ + "/South/Costsold.xlsx");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the user's earlier file");
    EXPECT_EQ(sheettest::shownByLibreOffice(workFolder_ + "/North/Sales.xlsx", 1),
              (QStringList{"Item,Q1,Q2,Total,Commission", "North,100,110,210,10.5", "South,200,210,410,20.5",
                           "East,300,310,610,30.5", "Total,600,630,1230,"}));
    EXPECT_EQ(sheettest::shownByLibreOffice(workFolder_ + "/South/Costs.xlsx", 1),
              (QStringList{"Item,Q1,Q2,Total", "Staff,50,55,105", "Rent,20,20,40", "Travel,5,7,12",
                           "Total,75,82,157"}));
    const QString formats = sheettest::runPython(
        QStringLiteral(
            "import sys, openpyxl\nws = openpyxl.load_workbook(sys.argv[1]).active\n"
            "print(ws.title, ws['A1'].font.b, ws['A1'].fill.fgColor.rgb, ws.protection.sheet)\n"
            "ws = openpyxl.load_workbook(sys.argv[2]).active\nprint(ws.title, ws.protection.sheet)\n"),
        {workFolder_ + "/North/Sales.xlsx", workFolder_ + "/South/Costs.xlsx"});
    EXPECT_EQ(formats, "Sales True FFDDEEFF False\nCosts False\n")
        << "the master's formats come along; the protected sheet is cut unprotected";
    EXPECT_EQ(
        rows("SELECT Worksheet_Name, User_Filename, UFNPath, Corrupt_Error, UF_Create_Date IS NOT NULL FROM "
             "Worksheets WHERE UFNPath IS NOT NULL ORDER BY rowid"),
        (QStringList{"Sales|Sales.xlsx|" + workFolder_ + "/North/Sales.xlsx|0|1",
                     "Costs|Costs.xlsx|" + workFolder_ + "/South/Costs.xlsx|0|1"}));
}

TEST_F(SinkTest, TheDesktopCutSkipsAMasterHeldOpenHereAndAReadOnlyOneIsNotCutHere) {
    registerBudgetWorkbook("Sales");
    const QString master = copyMaster("Budget.xlsx");
    openInHost(master);
    options().BudgetNameContext = QStringLiteral("Sales");
    const QStringList errorsBefore = rows("SELECT COUNT(*) FROM Errors");
    EXPECT_EQ(workbooks::CreateUserFiles("Budget.xlsx", true, false, false), workbooks::kCutMasterInUse);
    EXPECT_EQ(rows("SELECT COUNT(*) - 1 FROM Errors"), errorsBefore) << "recorded as the desktop records it";

    app_.closeAll();
    app_.open(master, platform::sheet::OpenOptions::readOnlyAccess());
    lumicell::BuildBudget();
    frmBuild* dialog = frmBuild::loaded();
    ASSERT_NE(dialog, nullptr);
    ui_->answerMessages({Answer::Ok});
    EXPECT_EQ(lumicell::CreateUserFilesXL(*dialog, "Budget.xlsx", true, false, false),
              lumicell::kBuildRefused);
    EXPECT_EQ(ui_->messageTexts(),
              QStringList{lumicell::kReadOnlyCutText.arg(
                  "Budget.xlsx", "it was opened for reading only: open it again for writing")});
    EXPECT_FALSE(QFile::exists(workFolder_ + "/North/Sales.xlsx"));
}

} // namespace
