// Cell editors of the data grid.
#include "platform/ui/DataGridDelegate.h"

#include "platform/ui/DataGridModel.h"

#include <QComboBox>
#include <QLineEdit>

namespace platform::ui {

DataGridDelegate::DataGridDelegate(const DataGridModel& model, QObject* parent)
    : QStyledItemDelegate(parent)
    , model_(model) {}

QWidget* DataGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    if (!model_.isColumn(index.column()))
        return nullptr;
    const DataGridColumn& column = model_.columns()[index.column()];
    if (column.kind == ColumnKind::Check)
        return nullptr; // check cells are ticked in place, not typed into
    emit editStarting(index.row(), index.column());
    if (column.kind == ColumnKind::List) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(column.list);
        if (column.maxLength > 0)
            combo->lineEdit()->setMaxLength(column.maxLength);
        // Picking an entry completes the edit, as typing and Enter does.
        auto* self = const_cast<DataGridDelegate*>(this);
        connect(combo, &QComboBox::activated, self, [self, combo] {
            emit self->commitData(combo);
            emit self->closeEditor(combo);
        });
        return combo;
    }
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (column.maxLength > 0)
        edit->setMaxLength(column.maxLength);
    return edit;
}

void DataGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = model_.text(index.row(), index.column());
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // The entry of the cell's text is the current one, so a pick moves on from there.
        const int entry = combo->findText(text);
        combo->setCurrentIndex(entry);
        if (entry < 0)
            combo->setEditText(text);
        // The view selects a line edit's text for typing over, but not the one inside a
        // drop-down: typing replaces the cell's text here too, never adds to it.
        combo->lineEdit()->selectAll();
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor))
        edit->setText(text);
}

void DataGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentText(), Qt::EditRole);
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
        model->setData(index, edit->text(), Qt::EditRole);
}

} // namespace platform::ui
