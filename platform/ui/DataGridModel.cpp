// The data grid's table model.
#include "platform/ui/DataGridModel.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace platform::ui {

namespace {

bool truthOf(const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return false;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare("True", Qt::CaseInsensitive) == 0)
            return true;
        bool number = false;
        const double d = text.toDouble(&number);
        return number && d != 0;
    }
    return value.toBool();
}

} // namespace

int DataGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString DataGridModel::textOf(const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString("yyyy-MM-dd");
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        if (moment.time() == QTime(0, 0))
            return moment.date().toString("yyyy-MM-dd");
        return moment.toString("yyyy-MM-dd hh:mm:ss");
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::Bool:
        return value.toBool() ? "True" : "False";
    default:
        return value.toString();
    }
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !isCell(index.row(), index.column()))
        return {};
    const int row = index.row();
    const int column = index.column();
    const bool check = columns_[column].kind == ColumnKind::Check;
    switch (role) {
    case Qt::DisplayRole:
        return check ? QVariant() : QVariant(text(row, column));
    case Qt::EditRole:
        return check ? value(row, column) : QVariant(text(row, column));
    case Qt::CheckStateRole:
        if (!check)
            return {};
        return value(row, column).toInt() == 1 ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole: {
        const QColor colour = background(row, column);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    default:
        return {};
    }
}

bool DataGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !isCell(index.row(), index.column()))
        return false;
    const DataGridColumn& column = columns_[index.column()];
    if (!column.editable)
        return false;
    if (column.kind == ColumnKind::Check) {
        if (role != Qt::CheckStateRole)
            return false;
        emit editStarting(index.row(), index.column());
        const bool ticked = value.toInt() == Qt::Checked;
        store(index.row(), index.column(), ticked ? 1 : 0, ChangeOrigin::User);
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    QString text = value.toString();
    if (column.maxLength > 0)
        text.truncate(column.maxLength);
    if (text == DataGridModel::text(index.row(), index.column()))
        return true; // an edit that left the shown text as it was changes nothing
    store(index.row(), index.column(), text, ChangeOrigin::User);
    return true;
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !isColumn(index.column()))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const DataGridColumn& column = columns_[index.column()];
    if (column.editable)
        flags |= column.kind == ColumnKind::Check ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return flags;
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString(); // the row selectors carry no numbers
    return isColumn(section) ? QVariant(columns_[section].heading) : QVariant();
}

void DataGridModel::setColumns(const QList<DataGridColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    rows_.clear();
    endResetModel();
}

int DataGridModel::appendColumn(const DataGridColumn& column) {
    const int at = static_cast<int>(columns_.size());
    beginInsertColumns({}, at, at);
    columns_.append(column);
    for (Row& row : rows_) {
        row.values.append(normalised(at, QVariant()));
        row.backgrounds.append(QColor());
    }
    endInsertColumns();
    return at;
}

void DataGridModel::setColumnHeading(int column, const QString& heading) {
    if (!isColumn(column))
        return;
    columns_[column].heading = heading;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void DataGridModel::setColumnHidden(int column, bool hidden) {
    if (isColumn(column))
        columns_[column].hidden = hidden;
}

void DataGridModel::setColumnList(int column, const QStringList& entries) {
    if (isColumn(column))
        columns_[column].list = entries;
}

void DataGridModel::setColumnWidthTwips(int column, int twips) {
    if (isColumn(column))
        columns_[column].widthTwips = twips;
}

int DataGridModel::columnOfField(const QString& field) const {
    for (int c = 0; c < columns_.size(); ++c) {
        if (!columns_[c].field.isEmpty() && columns_[c].field.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

DataGridModel::Row DataGridModel::emptyRow() const {
    Row row;
    for (int c = 0; c < columns_.size(); ++c)
        row.values.append(normalised(c, QVariant()));
    row.backgrounds.resize(columns_.size());
    return row;
}

void DataGridModel::resetRows() {
    if (rows_.isEmpty())
        return;
    beginRemoveRows({}, 0, static_cast<int>(rows_.size()) - 1);
    rows_.clear();
    endRemoveRows();
}

void DataGridModel::appendRow(const QVariantList& values) {
    Row row = emptyRow();
    for (int c = 0; c < columns_.size() && c < values.size(); ++c)
        row.values[c] = normalised(c, values[c]);
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.append(row);
    endInsertRows();
}

bool DataGridModel::deleteRow(int row) {
    if (row < 0 || row >= rows_.size())
        return false;
    beginRemoveRows({}, row, row);
    rows_.removeAt(row);
    endRemoveRows();
    return true;
}

void DataGridModel::loadRows(const DataGridRows& source) {
    // For each column, the position of its field among the source's fields.
    QList<int> from(columns_.size(), -1);
    for (int c = 0; c < columns_.size(); ++c) {
        if (columns_[c].field.isEmpty())
            continue;
        for (int f = 0; f < source.fields.size(); ++f) {
            if (source.fields[f].compare(columns_[c].field, Qt::CaseInsensitive) == 0) {
                from[c] = f;
                break;
            }
        }
    }
    beginResetModel();
    rows_.clear();
    rows_.reserve(source.rows.size());
    for (const QVariantList& values : source.rows) {
        Row row = emptyRow();
        for (int c = 0; c < columns_.size(); ++c) {
            if (from[c] >= 0 && from[c] < values.size())
                row.values[c] = normalised(c, values[from[c]]);
        }
        rows_.append(row);
    }
    endResetModel();
}

bool DataGridModel::isCell(int row, int column) const {
    return row >= 0 && row < rows_.size() && isColumn(column);
}

QVariant DataGridModel::value(int row, int column) const {
    return isCell(row, column) ? rows_[row].values[column] : QVariant();
}

QString DataGridModel::text(int row, int column) const {
    return textOf(value(row, column));
}

bool DataGridModel::writeValue(int row, int column, const QVariant& value) {
    if (!isCell(row, column))
        return false;
    store(row, column, normalised(column, value), ChangeOrigin::Program);
    return true;
}

QColor DataGridModel::background(int row, int column) const {
    return isCell(row, column) ? rows_[row].backgrounds[column] : QColor();
}

void DataGridModel::setBackground(int row, int column, const QColor& colour) {
    if (!isCell(row, column))
        return;
    rows_[row].backgrounds[column] = colour;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::BackgroundRole});
}

QVariant DataGridModel::normalised(int column, const QVariant& value) const {
    if (columns_[column].kind == ColumnKind::Check)
        return truthOf(value) ? 1 : 0;
    return value;
}

bool DataGridModel::store(int row, int column, const QVariant& value, ChangeOrigin origin) {
    QVariant& cell = rows_[row].values[column];
    if (cell == value && cell.isNull() == value.isNull())
        return false;
    cell = value;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at);
    emit cellChanged(row, column, origin);
    return true;
}

} // namespace platform::ui
