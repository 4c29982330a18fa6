// See GridBinding.h.
#include "core/GridBinding.h"

#include "core/ErrorMessage.h"
#include "platform/ui/EditGrid.h"

namespace core {

using platform::ui::ColumnKind;
using platform::ui::EditGrid;

GridBinding::GridBinding(EditGrid& grid, DataControl& control)
    : QObject(&grid)
    , grid_(grid)
    , control_(control) {
    grid_.setSource([this]() -> std::optional<platform::ui::DataGridRows> { return control_.gridRows(); });
    grid_.setChangeProcedure([this](int row, int column) { onEdited(row, column); });
}

void GridBinding::Refresh() {
    const int row = grid_.currentRow();
    const int column = qMax(0, grid_.currentColumn());
    control_.Refresh();
    grid_.requery();
    if (row > 0 && row < grid_.rowCount())
        grid_.setCurrentCell(row, column);
}

bool GridBinding::moveToRow(int row) {
    platform::db::Recordset& rows = control_.Recordset();
    if (!rows.isOpen() || row < 0 || row >= rows.recordCount())
        return false;
    if (rows.absolutePosition() == row + 1)
        return true;
    rows.moveFirst();
    rows.move(row);
    return !rows.eof();
}

void GridBinding::undoEdit(int row, int column) {
    if (!moveToRow(row))
        return;
    platform::db::Recordset& rows = control_.Recordset();
    if (rows.editPending())
        rows.cancelUpdate();
    const QString field = grid_.column(column).field;
    if (!field.isEmpty() && rows.fieldIndex(field) >= 0)
        grid_.setCellValue(row, column, rows.value(field));
}

// A check box stores 0 or 1; an emptied text cell stores no value.
QVariant GridBinding::storedValue(int row, int column) const {
    if (grid_.column(column).kind == ColumnKind::Check)
        return grid_.cellValue(row, column).toInt() == 1 ? 1 : 0;
    const QString text = grid_.cellText(row, column);
    return text.isEmpty() ? QVariant() : QVariant(text);
}

void GridBinding::onEdited(int row, int column) {
    try {
        if (!moveToRow(row))
            return;
        platform::db::Recordset& rows = control_.Recordset();
        const platform::ui::DataGridColumn shown = grid_.column(column);
        if (shown.editable && !shown.field.isEmpty() && rows.fieldIndex(shown.field) >= 0)
            rows.setValue(shown.field, storedValue(row, column));
        if (handler_)
            handler_(row, column);
        if (moveToRow(row) && control_.Recordset().editPending())
            control_.Recordset().update();
    } catch (const std::exception& error) {
        if (control_.Recordset().isOpen() && control_.Recordset().editPending())
            control_.Recordset().cancelUpdate();
        ShowErrorMessage(error);
        showStoredRows();
    }
}

// After a refused write the grid shows what is stored again, not the value that was refused.
void GridBinding::showStoredRows() {
    try {
        Refresh();
    } catch (const std::exception&) {
        // The rows stay as they were; the failure has been shown already.
    }
}

} // namespace core
