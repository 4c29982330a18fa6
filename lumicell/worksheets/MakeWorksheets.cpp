// See MakeWorksheets.h.
#include "lumicell/worksheets/MakeWorksheets.h"

#include "core/AppTitle.h"
#include "core/FormControl.h"
#include "core/RunTrapped.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "lumicell/cOptions.h"
#include "lumicell/worksheets/WaitWindow.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/CellAddress.h"
#include "platform/sheet/QuietHost.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/Ui.h"

#include <stdexcept>

namespace lumicell {

namespace {

using platform::sheet::Quiet;
using platform::sheet::QuietHost;
using platform::sheet::Workbook;
using platform::sheet::Worksheet;
using platform::ui::CheckListBox;
using platform::ui::DataGrid;

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

Workbook& activeWorkbook() {
    platform::sheet::Application* app = gXLApp();
    Workbook* workbook = app ? app->activeWorkbook() : nullptr;
    if (!workbook)
        throw std::runtime_error("No workbook is active.");
    return *workbook;
}

bool ticked(const DataGrid& grid, int row) {
    return grid.cellValue(row, kTickColumn).toInt() == 1;
}

QString templateSheet(const DataGrid& grid) {
    for (int row = 0; row < grid.rowCount(); ++row)
        if (ticked(grid, row))
            return grid.cellText(row, kSheetColumn);
    return {};
}

// One copy of the template under a new name. A copy that fails renames nothing; a name the
// workbook refuses leaves the copy under the name it was given. Either failure is reported and
// the run goes on.
void copyTemplate(Workbook& workbook, const QString& templateName, const QString& newName) {
    Worksheet* copy = nullptr;
    core::RunTrapped(
        [&] {
            Worksheet& source = workbook.sheet(templateName);
            copy = &workbook.copySheet(source, nullptr, &source);
        },
        core::appTitle());
    if (copy)
        core::RunTrapped([&] { workbook.renameSheet(*copy, newName); }, core::appTitle());
}

QStringList entries(const CheckListBox& list) {
    QStringList texts;
    for (int i = 0; i < list.listCount(); ++i)
        texts << list.subItem(i);
    return texts;
}

// The summary sheet: the one the grid lists, or a new one made last in the workbook and added to
// the grid. A name the workbook refuses is raised with the new sheet left under its own name.
Worksheet& summarySheet(Workbook& workbook, DataGrid& grid, const QString& name) {
    for (int row = 0; row < grid.rowCount(); ++row)
        if (grid.cellText(row, kSheetColumn) == name)
            return workbook.sheet(name);
    Worksheet& added = workbook.addSheet();
    workbook.renameSheet(added, name);
    grid.appendRow({false, name, QString()});
    const std::vector<Worksheet*> sheets = workbook.worksheets();
    if (sheets.back() != &added)
        workbook.moveSheet(added, nullptr, sheets.back());
    return added;
}

void writeSummary(Workbook& workbook, DataGrid& grid, const QString& summaryName, const QStringList& summed) {
    const QStringList rows = entries(core::ActiveFormControl<CheckListBox>("lbxRows"));
    const QStringList columns = entries(core::ActiveFormControl<CheckListBox>("lbxCols"));
    Worksheet& summary = summarySheet(workbook, grid, summaryName);
    for (const QString& row : rows)
        for (const QString& column : columns) {
            if (grid.rowCount() < 2) {
                tell(kGoBackText);
                return;
            }
            const QString cell = column + row;
            summary.range(cell).setEntry(SummaryFormula(summed, cell));
        }
    const std::optional<QString> header =
        platform::ui::ui().input(kHeaderPrompt, core::appTitle(), kDefaultHeader);
    if (header && !header->isEmpty()) {
        summary.setValue({1, 1}, platform::sheet::CellValue::fromText(*header));
        summary.range(QStringLiteral("A1")).setBold(true);
    }
}

// The ticked sheets in grid order, the summary sheet left out: it is never added into itself.
QStringList sheetsToSum(const DataGrid& grid, const QString& summaryName) {
    QStringList sheets;
    for (int row = 0; row < grid.rowCount(); ++row)
        if (ticked(grid, row) && grid.cellText(row, kSheetColumn) != summaryName)
            sheets << grid.cellText(row, kSheetColumn);
    return sheets;
}

bool listsOtherSheets(const DataGrid& grid, const QString& summaryName) {
    for (int row = 0; row < grid.rowCount(); ++row)
        if (grid.cellText(row, kSheetColumn) != summaryName)
            return true;
    return false;
}

} // namespace

void LoadMakeWorksheetsGrid() {
    auto& grid = core::ActiveFormControl<DataGrid>("dtWSMake");
    grid.resetRows();
    const QuietHost screen(gXLApp(), Quiet::Screen);
    core::RunTrapped(
        [&grid] {
            platform::sheet::Application* app = gXLApp();
            Workbook* workbook = app ? app->activeWorkbook() : nullptr;
            if (!workbook)
                return;
            for (Worksheet* sheet : workbook->worksheets()) {
                const QString last = platform::sheet::CellAddress::toA1(sheet->lastCell());
                grid.appendRow({false, sheet->name(), QStringLiteral("A1:") + last});
            }
        },
        core::applicationTitle());
}

void MakeWorksheets() {
    ShowWaitWindow(QStringLiteral("Make Worksheets"),
                   {&core::frmWait::lblWorksheetLabel, &core::frmWait::lblWorksheet});
    auto& grid = core::ActiveFormControl<DataGrid>("dtWSMake");
    auto& names = core::ActiveFormControl<CheckListBox>("lbxWSNames");
    const QString templateName = templateSheet(grid);
    if (templateName.isEmpty() || names.listCount() == 0) {
        tell(templateName.isEmpty() ? kSelectTemplateText : kNoNewNamesText);
        core::frmWait::unload();
        return;
    }
    {
        const QuietHost screen(gXLApp(), Quiet::Screen);
        Workbook& workbook = activeWorkbook();
        for (int i = 0; i < names.listCount(); ++i) {
            if (!names.isItemChecked(i))
                continue;
            const QString newName = names.subItem(i);
            copyTemplate(workbook, templateName, newName);
            ShowWaitProgress(QStringLiteral("Copying template to new Worksheet."), newName, i,
                             names.listCount());
        }
        names.clearItems();
    }
    core::frmWait::unload();
    LoadMakeWorksheetsGrid();
}

void MakeSummaryWorksheet() {
    const int rows = core::ActiveFormControl<CheckListBox>("lbxRows").listCount();
    if (rows == 0) {
        tell(kSelectPairsText);
        return;
    }
    if (core::ActiveFormControl<CheckListBox>("lbxCols").listCount() != rows) {
        tell(kUnequalPairsText);
        return;
    }
    cOptions& options = *gOptions();
    options.GetMFInfo(gXLApp());
    const QString summaryName = options.MasterName + QStringLiteral("sum");
    options.FormBldWSBig = true;
    auto& grid = core::ActiveFormControl<DataGrid>("dtWSMake");
    const QStringList summed = sheetsToSum(grid, summaryName);
    if (summed.isEmpty() && listsOtherSheets(grid, summaryName)) {
        tell(kSelectSheetsToSumText);
        return;
    }
    const QuietHost screen(gXLApp(), Quiet::Screen);
    writeSummary(activeWorkbook(), grid, summaryName, summed);
}

QString SummaryFormula(const QStringList& sheets, const QString& cell) {
    QString formula = QStringLiteral("=");
    for (QString sheet : sheets)
        formula +=
            QStringLiteral("+'") + sheet.replace(u'\'', QStringLiteral("''")) + QStringLiteral("'!") + cell;
    return formula;
}

} // namespace lumicell
