// See EditGrid.h.
#include "platform/ui/EditGrid.h"

#include "platform/ui/MenuHost.h"

#include <QCursor>
#include <QLabel>
#include <QTableView>

namespace platform::ui {

EditGrid::EditGrid(QWidget* parent)
    : DataGrid(parent) {
    connect(this, &DataGrid::beforeEdit, this, &EditGrid::keepBeforeEditValue);
    connect(this, &DataGrid::cellChanged, this, &EditGrid::onCellChanged);
    connect(this, &DataGrid::mousePressed, this, &EditGrid::onMousePressed);
    connect(this, &DataGrid::currentRowChanged, this, &EditGrid::updateRecordCounter);
    QAbstractItemModel* rows = view()->model();
    connect(rows, &QAbstractItemModel::rowsInserted, this, &EditGrid::updateRecordCounter);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &EditGrid::updateRecordCounter);
    connect(rows, &QAbstractItemModel::modelReset, this, &EditGrid::updateRecordCounter);
}

void EditGrid::setChangeProcedure(ChangeProcedure procedure) {
    changeProcedure_ = std::move(procedure);
}

bool EditGrid::editCell(int row, int column, const QVariant& value) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return false;
    emit beforeEdit(row, column);
    setCellValue(row, column, value);
    runChangeProcedure(row, column);
    return true;
}

void EditGrid::keepBeforeEditValue(int row, int column) {
    beforeEditRow_ = row;
    beforeEditColumn_ = column;
    beforeEditValue_ = cellText(row, column);
}

// The grid reports a typed edit once the view has closed its editor, so the change procedure
// may refill the rows.
void EditGrid::onCellChanged(int row, int column, ChangeOrigin origin) {
    if (origin == ChangeOrigin::User)
        runChangeProcedure(row, column);
}

void EditGrid::runChangeProcedure(int row, int column) {
    if (changeProcedure_)
        changeProcedure_(row, column);
}

int EditGrid::addRowForTyping(int column, const QList<int>& requiredColumns) {
    appendRow({});
    const int row = rowCount() - 1;
    for (int required : requiredColumns)
        setCellBackground(row, required, kRequiredCellColour);
    setCurrentCell(row, column);
    editCurrentCell();
    return row;
}

bool EditGrid::isRequiredCell(int row, int column) const {
    return cellBackground(row, column) == kRequiredCellColour;
}

bool EditGrid::popUpContextMenu() {
    return !contextMenuName_.isEmpty() && popUpHostMenu(contextMenuName_, QCursor::pos());
}

void EditGrid::onMousePressed(int button, int row, int column) {
    if (button != 2 || contextMenuName_.isEmpty())
        return;
    if (row >= 0 && column >= 0)
        setCurrentCell(row, column);
    if (contextMenuColumns_.isEmpty() || contextMenuColumns_.contains(currentColumn()))
        popUpContextMenu();
}

void EditGrid::setRecordCounter(QLabel* label, const QString& caption) {
    counter_ = label;
    counterCaption_ = caption;
    updateRecordCounter();
}

void EditGrid::updateRecordCounter() {
    if (!counter_)
        return;
    const int row = currentRow();
    counter_->setText(row >= 0 ? counterCaption_ + QString::number(row + 1) : counterCaption_);
}

} // namespace platform::ui
