// The table behind a data grid: its columns, rows of values and cell colours. Edits that
// come through the view (typing, ticking a check box) are the user's; writeValue is the
// program's. Either raises cellChanged with its origin when the value really changed.
#pragma once

#include "platform/ui/DataGridTypes.h"

#include <QAbstractTableModel>
#include <QColor>

namespace platform::ui {

class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Columns. A new set of columns starts with no rows; appending a column keeps the
    // rows, whose new cells start empty.
    void setColumns(const QList<DataGridColumn>& columns);
    int appendColumn(const DataGridColumn& column);
    const QList<DataGridColumn>& columns() const { return columns_; }
    bool isColumn(int column) const { return column >= 0 && column < columns_.size(); }
    void setColumnHeading(int column, const QString& heading);
    void setColumnHidden(int column, bool hidden);
    void setColumnList(int column, const QStringList& entries);
    void setColumnWidthTwips(int column, int twips);
    int columnOfField(const QString& field) const;

    // Rows.
    void resetRows();
    void appendRow(const QVariantList& values); // in column order; missing values are empty
    bool deleteRow(int row);
    void loadRows(const DataGridRows& rows); // replaces every row, taking fields by name

    // Cells; an address outside the grid reads empty and cannot be written.
    bool isCell(int row, int column) const;
    QVariant value(int row, int column) const;
    QString text(int row, int column) const;
    bool writeValue(int row, int column, const QVariant& value);
    QColor background(int row, int column) const;
    void setBackground(int row, int column, const QColor& colour);

    // The text a value shows as.
    static QString textOf(const QVariant& value);

signals:
    void cellChanged(int row, int column, platform::ui::ChangeOrigin origin);
    // A user's edit of a check cell is about to change it (text edits are announced by
    // the editor's delegate).
    void editStarting(int row, int column);

private:
    struct Row {
        QVariantList values;
        QList<QColor> backgrounds;
    };

    Row emptyRow() const;
    QVariant normalised(int column, const QVariant& value) const;
    bool store(int row, int column, const QVariant& value, ChangeOrigin origin);

    QList<DataGridColumn> columns_;
    QList<Row> rows_;
};

} // namespace platform::ui
