// See FindInGrid.h.
#include "lumidesk/FindInGrid.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cOptions.h"
#include "platform/ui/DataGrid.h"

#include <QTableView>
#include <QWidget>

namespace lumidesk {

namespace {

using platform::ui::DataGrid;

// The searchable grid that holds the active window's focus (the grid itself or the view
// inside it), or null.
DataGrid* activeGrid() {
    QWidget* form = core::gOptions ? core::gOptions->ActiveForm.data() : nullptr;
    if (!form)
        return nullptr;
    for (QWidget* control = form->focusWidget(); control && control != form;
         control = control->parentWidget()) {
        if (auto* grid = qobject_cast<DataGrid*>(control))
            return kSearchableGrids.contains(grid->objectName()) ? grid : nullptr;
    }
    return nullptr;
}

void selectRow(DataGrid& grid, int row) {
    const bool worksheets = grid.objectName() == QLatin1String("dtWorksheets");
    if (worksheets)
        grid.setRowSelection(platform::ui::RowSelection::SingleRow);
    grid.selectRange(row, row, true);
    grid.view()->scrollTo(grid.view()->model()->index(row, 0));
    if (worksheets)
        grid.refresh();
}

} // namespace

bool CellMatches(const QString& cell, const QString& findText, const QString& match) {
    // An empty text finds an empty cell, not every cell.
    if (findText.isEmpty())
        return cell.isEmpty();
    if (match == kMatchAnyPart)
        return cell.contains(findText, Qt::CaseSensitive);
    if (match == kMatchStart)
        return cell.startsWith(findText, Qt::CaseSensitive);
    return cell == findText;
}

int FindInGrid(const QString& findText, const QString& lookIn, const QString& match) {
    Q_UNUSED(lookIn);
    try {
        DataGrid* grid = activeGrid();
        if (!grid)
            return -1;
        for (int row = 0; row < grid->rowCount(); ++row) {
            if (CellMatches(grid->cellText(row, 0), findText, match)) {
                selectRow(*grid, row);
                return row;
            }
        }
        return -1;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return -1;
    }
}

} // namespace lumidesk
