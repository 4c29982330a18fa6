// See SheetView.h.
#include "lumisheet/SheetView.h"

#include "lumisheet/SheetModel.h"
#include "platform/sheet/Worksheet.h"

#include <QHeaderView>
#include <QItemSelectionModel>

namespace lumisheet {

namespace {

using platform::sheet::CellAddress;
using platform::sheet::CellRange;
using platform::sheet::CellRef;

constexpr int kRowHeight = 21;
constexpr int kColumnWidth = 80;

} // namespace

SheetView::SheetView(QWidget* parent)
    : QTableView(parent) {
    setObjectName(QStringLiteral("SheetView"));
    // Every row and column keeps one size, so the view never measures the sheet's million rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumWidth(48);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setCornerButtonEnabled(false);
}

void SheetView::showSheet(SheetModel* model) {
    if (model == sheetModel_)
        return;
    sheetModel_ = model;
    setModel(model);
    if (!model)
        return;
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &SheetView::onSelectionChanged);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
    if (model->rowCount() > 0)
        selectBlock(model->sheet().selection());
}

CellRange SheetView::selectedBlock() const {
    if (!selectionModel())
        return {};
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) {
        const QModelIndex current = currentIndex();
        return current.isValid() ? CellRange(CellRef{current.row() + 1, current.column() + 1}) : CellRange();
    }
    // The block the user selected last (a spreadsheet program's active area).
    const QItemSelectionRange& last = selection.last();
    return CellRange({last.top() + 1, last.left() + 1}, {last.bottom() + 1, last.right() + 1});
}

void SheetView::selectBlock(const CellRange& block) {
    if (!sheetModel_ || selectedBlock() == block)
        return;
    showingProgramSelection_ = true;
    const QModelIndex first = sheetModel_->index(block.first.row - 1, block.first.col - 1);
    const QModelIndex last = sheetModel_->index(block.last.row - 1, block.last.col - 1);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
    scrollTo(first);
    showingProgramSelection_ = false;
}

void SheetView::onSelectionChanged() {
    if (showingProgramSelection_ || !sheetModel_)
        return;
    const CellRange block = selectedBlock();
    platform::sheet::Worksheet& sheet = sheetModel_->sheet();
    if (!CellAddress::isValid(block.first) || sheet.selection() == block)
        return;
    sheet.select(block);
}

void SheetView::onCurrentChanged(const QModelIndex& current) {
    if (current.isValid())
        emit currentCellChanged({current.row() + 1, current.column() + 1});
}

} // namespace lumisheet
