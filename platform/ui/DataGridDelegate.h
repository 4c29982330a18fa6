// Opens the data grid's cell editors: a line edit for text columns (limited to the
// column's length) and an editable drop-down for list columns, whose edit is complete as
// soon as an entry is picked. It announces each edit before the editor opens, so the grid
// can raise its before-edit event.
#pragma once

#include <QStyledItemDelegate>

namespace platform::ui {

class DataGridModel;

class DataGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    DataGridDelegate(const DataGridModel& model, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

signals:
    void editStarting(int row, int column) const;

private:
    const DataGridModel& model_;
};

} // namespace platform::ui
