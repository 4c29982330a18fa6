// The Run Macros tab on workbooks whose macro project LibreOffice wrote: the standard modules and
// the procedures of the chosen one, the grid of worksheets, Load All and the header double click,
// and the run, which ends at the first ticked row that names a procedure.
#include "lumicell/worksheets/RunMacros.h"

#include "WorksheetTabsFixture.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>

namespace {

using lumicell::kRunMacroColumn;
using lumicell::kRunSheetColumn;
using lumicell::kRunTickColumn;
using platform::ui::ComboList;
using platform::ui::DataGrid;

class RunMacrosTest : public lumicelltest::WorksheetTabsTest {
protected:
    DataGrid& grid() { return control<DataGrid>("dtRM"); }
    ComboList& modules() { return control<ComboList>("cbxModuleName"); }
    ComboList& macros() { return control<ComboList>("cbxMacroName"); }

    static QStringList entries(const ComboList& box) {
        QStringList list;
        for (int i = 0; i < box.entryCount(); ++i)
            list << box.entry(i);
        return list;
    }
    QStringList column(int col) {
        QStringList list;
        for (int row = 0; row < grid().rowCount(); ++row)
            list << grid().cellText(row, col);
        return list;
    }
};

const QStringList kModule2Procedures = {"AddMonth", "ResetTotal", "Twice", "OneLiner", "FormatSheet"};

TEST_F(RunMacrosTest, TheStandardModulesAreListedAndTheLastOnesProceduresOffered) {
    open(QStringLiteral("lumicell/macros.xlsm"), QStringLiteral("Plan.xlsm"));
    EXPECT_EQ(entries(modules()), (QStringList{"Module1", "Declarations", "Module2"}))
        << "Class1 is no standard module";
    EXPECT_EQ(modules().text(), u"Module2");
    EXPECT_EQ(entries(macros()), kModule2Procedures) << "property procedures cannot be run and are left out";
    EXPECT_EQ(grid().columnList(kRunMacroColumn), kModule2Procedures.join(u'\t'));
    EXPECT_EQ(column(kRunSheetColumn), QStringList{"Sheet1"});
    EXPECT_EQ(grid().cellValue(0, kRunTickColumn).toInt(), 0);
    EXPECT_TRUE(ui_->asked().empty());
}

TEST_F(RunMacrosTest, ChoosingAModuleReplacesTheProcedureLists) {
    open(QStringLiteral("lumicell/macros.xlsm"), QStringLiteral("Plan.xlsm"));
    macros().setText(QStringLiteral("Twice"));
    modules().setText(QStringLiteral("Declarations"));
    EXPECT_TRUE(entries(macros()).isEmpty()) << "a module of declarations alone offers no procedure";
    EXPECT_TRUE(grid().columnList(kRunMacroColumn).isEmpty());
    EXPECT_TRUE(macros().text().isEmpty());
    modules().setText(QStringLiteral("Module1"));
    ASSERT_EQ(macros().entryCount(), 200);
    EXPECT_EQ(macros().entry(199), u"Month200");
}

TEST_F(RunMacrosTest, WorkbooksWithoutAStandardModuleListNoneAndSayNothing) {
    const char* cases[][2] = {{"lumicell/class-only.xlsm", "Classes.xlsm"},
                              {"lumicell/months.xlsx", "Plain.xlsx"}};
    for (const auto& c : cases) {
        open(QString::fromLatin1(c[0]), QString::fromLatin1(c[1]));
        EXPECT_EQ(modules().entryCount(), 0) << c[0];
        EXPECT_TRUE(ui_->asked().empty()) << c[0];
        app_.closeAll();
    }
}

TEST_F(RunMacrosTest, ADamagedMacroProjectGivesTheGenericMessage) {
    platform::sheet::Workbook& workbook = open(QStringLiteral("macros.xlsm"), QStringLiteral("Damaged.xlsm"));
    ASSERT_EQ(ui_->messageTexts().size(), 1);
    EXPECT_TRUE(ui_->messageTexts()[0].startsWith(u"Error 1004 has occured. The macro project"))
        << ui_->messageTexts()[0].toStdString();
    EXPECT_EQ(ui_->asked()[0].title, u"Lumicell");
    EXPECT_EQ(modules().entryCount(), 0);
    EXPECT_EQ(grid().rowCount(), int(workbook.worksheets().size()))
        << "the worksheets are listed all the same";
}

TEST_F(RunMacrosTest, LoadAllPutsTheChosenProcedureIntoEveryRowOrTakesItOut) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    auto& loadAll = control<QCheckBox>("chkAllMacro");
    grid().setCellValue(1, kRunMacroColumn, QStringLiteral("Kept"));
    loadAll.click();
    EXPECT_EQ(ui_->messageTexts(), QStringList{"Select a macro."});
    EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
    EXPECT_EQ(column(kRunMacroColumn), (QStringList{"", "Kept", ""}))
        << "no procedure chosen: nothing changes";
    loadAll.setChecked(false);
    macros().addEntry(QStringLiteral("AddMonth"));
    macros().setText(QStringLiteral("AddMonth"));
    loadAll.click();
    EXPECT_EQ(column(kRunMacroColumn), (QStringList{"AddMonth", "AddMonth", "AddMonth"}));
    loadAll.click();
    EXPECT_EQ(column(kRunMacroColumn), (QStringList{"", "", ""}));
}

TEST_F(RunMacrosTest, TheHeaderDoubleClickSetsEveryRowAndTheBoxShowsTheOpposite) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    grid().setCellValue(1, kRunTickColumn, 1);
    auto& allSheets = control<QCheckBox>("chkAllWS");
    emit grid().cellDoubleClicked(-1, kRunTickColumn, platform::ui::ClickArea::Heading);
    EXPECT_EQ(column(kRunTickColumn), (QStringList{"0", "0", "0"}));
    EXPECT_TRUE(allSheets.isChecked());
    emit grid().cellDoubleClicked(-1, kRunTickColumn, platform::ui::ClickArea::Heading);
    EXPECT_EQ(column(kRunTickColumn), (QStringList{"1", "1", "1"}));
    EXPECT_FALSE(allSheets.isChecked());
}

TEST_F(RunMacrosTest, TheRunEndsAtTheFirstTickedRowWithAProcedure) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    for (int row : {0, 1, 2})
        grid().setCellValue(row, kRunTickColumn, 1);
    grid().setCellValue(1, kRunMacroColumn, QStringLiteral("AddMonth"));
    grid().setCellValue(2, kRunMacroColumn, QStringLiteral("AddMonth"));
    EXPECT_FALSE(run_->runOk());
    EXPECT_EQ(
        ui_->messageTexts(),
        (QStringList{"Select a macro to run.",
                     "Error 1004 has occured. Running workbook macros is not supported on this system."}));
    EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
    EXPECT_EQ(ui_->asked()[1].title, u"Lumicell");
    EXPECT_EQ(app_.activeSheet()->name(), u"Feb") << "the row's sheet was activated before the run ended";
    EXPECT_EQ(core::frmWait::loaded(), nullptr);
    EXPECT_TRUE(app_.screenUpdating());
}

TEST_F(RunMacrosTest, ARowWhoseSheetIsGoneEndsTheRunWithTheGenericMessage) {
    platform::sheet::Workbook& workbook =
        open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    grid().setCellValue(0, kRunTickColumn, 1);
    grid().setCellValue(2, kRunTickColumn, 1);
    workbook.deleteSheet(workbook.sheet(QStringLiteral("Mar")));
    EXPECT_FALSE(run_->runOk());
    ASSERT_EQ(ui_->messageTexts().size(), 2);
    EXPECT_EQ(ui_->messageTexts()[0], lumicell::kSelectMacroToRunText);
    EXPECT_TRUE(ui_->messageTexts()[1].startsWith(u"Error 9 has occured. "));
    EXPECT_EQ(core::frmWait::loaded(), nullptr);
}

TEST_F(RunMacrosTest, Picture) {
    open(QStringLiteral("lumicell/macros.xlsm"), QStringLiteral("Plan.xlsm"));
    macros().setText(QStringLiteral("AddMonth"));
    control<QCheckBox>("chkAllMacro").click();
    grid().setCellValue(0, kRunTickColumn, 1);
    tabs_->setCurrentWidget(run_);
    testsupport::saveScreenshot(dialog_, QStringLiteral("lumicell-run-macros"));
    EXPECT_EQ(column(kRunMacroColumn), QStringList{"AddMonth"});
}

} // namespace
