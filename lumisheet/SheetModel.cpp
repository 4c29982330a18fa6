// See SheetModel.h.
#include "lumisheet/SheetModel.h"

#include "lumisheet/HostMessages.h"
#include "platform/sheet/CellAddress.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Worksheet.h"

#include <QFont>
#include <algorithm>

namespace lumisheet {

namespace {

using platform::sheet::CellAddress;
using platform::sheet::CellRef;
using platform::sheet::CellValue;

CellRef cellOf(const QModelIndex& index) {
    return {index.row() + 1, index.column() + 1};
}

// Numbers to the right, truth values and errors in the middle, texts to the left, as a
// spreadsheet program aligns cells of the general alignment.
Qt::Alignment alignmentOf(CellValue::Type type) {
    switch (type) {
    case CellValue::Type::Number:
        return Qt::AlignRight | Qt::AlignVCenter;
    case CellValue::Type::Boolean:
    case CellValue::Type::Error:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case CellValue::Type::Empty:
    case CellValue::Type::Text:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

SheetModel::SheetModel(platform::sheet::Worksheet& sheet, QObject* parent)
    : QAbstractTableModel(parent)
    , sheet_(sheet)
    , cells_(sheet.kind() == platform::sheet::Worksheet::Kind::Worksheet) {
    if (!cells_)
        return;
    const CellRef used = sheet.lastCell();
    rows_ = std::min(CellAddress::kMaxRows, std::max(used.row, 100) + kMarginRows);
    columns_ = std::min(CellAddress::kMaxColumns, std::max(used.col, 26) + kMarginColumns);
}

int SheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

void SheetModel::growTo(CellRef cell) {
    if (!cells_)
        return;
    const int rows = std::min(CellAddress::kMaxRows, cell.row + kMarginRows);
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
    const int columns = std::min(CellAddress::kMaxColumns, cell.col + kMarginColumns);
    if (columns > columns_) {
        beginInsertColumns({}, columns_, columns - 1);
        columns_ = columns;
        endInsertColumns();
    }
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return sheet_.text(cellOf(index));
    case Qt::EditRole:
        return sheet_.formula(cellOf(index));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignmentOf(sheet_.value(cellOf(index)).type));
    case Qt::FontRole:
        if (isBold(cellOf(index))) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

// Whether the cell's font is bold, read once per cell format: every cell of a format has its font.
bool SheetModel::isBold(CellRef cell) const {
    const std::uint32_t style = sheet_.styleIndex(cell);
    const auto known = boldStyles_.constFind(style);
    if (known != boldStyles_.constEnd())
        return *known;
    const bool bold = sheet_.isBold(cell);
    boldStyles_.insert(style, bold);
    return bold;
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString typed = value.toString();
    if (typed == sheet_.formula(cellOf(index)))
        return false; // an edit that changed nothing writes nothing
    try {
        sheet_.setEntry(cellOf(index), typed);
    } catch (const platform::sheet::SheetError& error) {
        ShowHostMessage(error.description());
        return false;
    }
    refresh();
    return true;
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole)
        return orientation == Qt::Horizontal ? CellAddress::columnName(section + 1)
                                             : QString::number(section + 1);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return QAbstractTableModel::headerData(section, orientation, role);
}

void SheetModel::refresh() {
    boldStyles_.clear();
    if (cells_)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

} // namespace lumisheet
