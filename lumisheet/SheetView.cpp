// See SheetView.h.
#include "lumisheet/SheetView.h"

#include "lumisheet/SheetModel.h"
#include "platform/sheet/Worksheet.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

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
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &SheetView::growWithScrolling);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &SheetView::growWithScrolling);
}

bool SheetView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        const bool press = event->type() == QEvent::MouseButtonPress;
        if (watched == horizontalHeader()->viewport())
            headingPressed_ = press ? std::optional(Qt::Horizontal) : std::nullopt;
        else if (watched == verticalHeader()->viewport())
            headingPressed_ = press ? std::optional(Qt::Vertical) : std::nullopt;
    }
    return QTableView::eventFilter(watched, event);
}

// Near the end of the rows or columns the model holds, it holds more.
void SheetView::growWithScrolling() {
    if (!sheetModel_)
        return;
    const QRect shown = viewport()->rect();
    const int lastRow = rowAt(shown.bottom()) < 0 ? sheetModel_->rowCount() - 1 : rowAt(shown.bottom());
    const int lastColumn =
        columnAt(shown.right()) < 0 ? sheetModel_->columnCount() - 1 : columnAt(shown.right());
    sheetModel_->growTo(
        {lastRow + 1 + SheetModel::kMarginRows / 2, lastColumn + 1 + SheetModel::kMarginColumns / 2});
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
    // The block the user selected last (a spreadsheet program's active area); from a heading,
    // whole columns or rows.
    const QItemSelectionRange& last = selection.last();
    CellRange block({last.top() + 1, last.left() + 1}, {last.bottom() + 1, last.right() + 1});
    if (headingPressed_ == Qt::Horizontal && last.top() == 0 && last.bottom() == sheetModel_->rowCount() - 1)
        block.last.row = CellAddress::kMaxRows;
    if (headingPressed_ == Qt::Vertical && last.left() == 0 && last.right() == sheetModel_->columnCount() - 1)
        block.last.col = CellAddress::kMaxColumns;
    return block;
}

void SheetView::selectBlock(const CellRange& block) {
    if (!sheetModel_ || selectedBlock() == block)
        return;
    showingProgramSelection_ = true;
    // Whole columns and rows are shown to the end of what the model holds.
    sheetModel_->growTo({block.isWholeColumns() ? block.first.row : block.last.row,
                         block.isWholeRows() ? block.first.col : block.last.col});
    const QModelIndex first = sheetModel_->index(block.first.row - 1, block.first.col - 1);
    const QModelIndex last = sheetModel_->index(std::min(block.last.row, sheetModel_->rowCount()) - 1,
                                                std::min(block.last.col, sheetModel_->columnCount()) - 1);
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
