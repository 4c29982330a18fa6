// Binds an editing grid to a data control, as the data windows show their tables: the grid
// shows the control's rows, its current row is the recordset's current row, and a finished
// edit of a bound, editable cell goes into that row before the window's change handler runs.
// The row is written after the handler unless the handler took the edit back (undoEdit). A
// write the database refuses (another administrator changed the row meanwhile) is shown in
// the program's error message and the grid shows the stored rows again.
//
// Grid row r is the recordset's row r + 1, so both are filled together by Refresh(); the grid
// keeps its cursor row when the rows come back.
#pragma once

#include "core/DataControl.h"

#include <QObject>
#include <functional>

namespace platform::ui {
class EditGrid;
}

namespace core {

class GridBinding : public QObject {
    Q_OBJECT
public:
    using ChangeHandler = std::function<void(int row, int column)>;

    // The binding is a child of the grid.
    GridBinding(platform::ui::EditGrid& grid, DataControl& control);

    // Runs the record source again and shows its rows; the cursor stays on its row when that
    // row still exists. A failure is thrown and leaves the grid as it was.
    void Refresh();

    // Stands the recordset on the grid's row; false for a row the recordset does not hold.
    bool moveToRow(int row);

    platform::db::Recordset& recordset() { return control_.Recordset(); }
    DataControl& control() { return control_; }
    platform::ui::EditGrid& grid() { return grid_; }

    // Runs after an edit has gone into the row and before the row is written.
    void setChangeHandler(ChangeHandler handler) { handler_ = std::move(handler); }

    // Drops the row's pending edit and shows the cell's stored value again.
    void undoEdit(int row, int column);

    // The value stored for a cell's value.
    QVariant storedValue(int row, int column) const;

private:
    void onEdited(int row, int column);
    void showStoredRows();

    platform::ui::EditGrid& grid_;
    DataControl& control_;
    ChangeHandler handler_;
};

} // namespace core
