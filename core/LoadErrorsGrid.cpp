// See LoadErrorsGrid.h.
#include "core/LoadErrorsGrid.h"

#include "core/cDB3.h"
#include "core/cOptions.h"
#include "core/frmErrorsTable.h"
#include "platform/ui/DataGrid.h"

#include <stdexcept>

namespace core {

namespace {

using platform::ui::DataGrid;

// The Errors columns in the order of the grid's columns; the row's ID goes last.
const QStringList kSourceColumns{QStringLiteral("Error_Date"),
                                 QStringLiteral("Budget_Name"),
                                 QStringLiteral("MF_Name"),
                                 QStringLiteral("UF_name"),
                                 QStringLiteral("File_Missing"),
                                 QStringLiteral("Corrupt_Error"),
                                 QStringLiteral("File_In_Use"),
                                 QStringLiteral("A1Style"),
                                 QStringLiteral("MF_Value"),
                                 QStringLiteral("Change_Value"),
                                 QStringLiteral("ID")};

DataGrid& activeErrorsGrid() {
    QWidget* form = gOptions ? gOptions->ActiveForm.data() : nullptr;
    auto* grid = form ? form->findChild<DataGrid*>(QStringLiteral("dtErrors")) : nullptr;
    if (!grid)
        throw std::runtime_error("The active window has no errors grid.");
    return *grid;
}

void fillRows(DataGrid& grid) {
    cDB3 query;
    platform::db::Recordset rows;
    if (query.GetRecordset(QStringLiteral("SELECT * FROM Errors WHERE Error_Date Is Not Null"), rows) !=
        QueryObject::kRows)
        return;
    grid.resetRows();
    for (; !rows.eof(); rows.moveNext()) {
        QVariantList values;
        for (const QString& column : kSourceColumns)
            values << rows.value(column);
        grid.appendRow(values);
    }
}

void showView(DataGrid& grid, const QString& view) {
    const bool errors = view.compare(frmErrorsTable::kErrorsView, Qt::CaseInsensitive) == 0;
    const bool corruption = view.compare(frmErrorsTable::kCorruptionView, Qt::CaseInsensitive) == 0;
    if (!errors && !corruption)
        return;
    for (int column : {frmErrorsTable::kFileMissing, frmErrorsTable::kFileInUse})
        grid.setColumnHidden(column, corruption);
    for (int column : {frmErrorsTable::kCellLabel, frmErrorsTable::kOrigValue, frmErrorsTable::kChangeValue})
        grid.setColumnHidden(column, errors);
    grid.setHeightTwips(errors ? frmErrorsTable::kErrorsGridHeightTwips
                               : frmErrorsTable::kCorruptionGridHeightTwips);
}

} // namespace

void LoadErrorsGrid(const QString& view, qint16 row) {
    DataGrid& grid = activeErrorsGrid();
    fillRows(grid);
    showView(grid, view);
    // Dates, names, cells and values are seen whole, in the columns the view shows.
    grid.fitColumnsToContents();
    grid.setCurrentCell(row, grid.currentColumn() >= 0 ? grid.currentColumn() : 0);
}

} // namespace core
