// The check-mark list box over QTreeWidget.
#include "platform/ui/CheckListBox.h"

#include "platform/ui/ControlInfoPage.h"
#include "platform/ui/ListBox.h"

#include <QHeaderView>

namespace platform::ui {

CheckListBox::CheckListBox(QWidget* parent)
    : QTreeWidget(parent) {
    ListBox::setUpAsList(*this);
    offerControlInfoPage(*this);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (!programChange_ && column == 0)
            emit itemCheckChanged(indexOfTopLevelItem(item));
    });
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { emit entryClicked(indexOfTopLevelItem(item)); });
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!programChange_)
            emit changed();
    });
}

void CheckListBox::setColumnHeadings(const QStringList& headings) {
    if (columnCount() < headings.size())
        setColumnCount(static_cast<int>(headings.size()));
    setHeaderLabels(headings);
    setHeaderHidden(headings.isEmpty());
}

int CheckListBox::addEntry(const QString& text, const QStringList& subItems) {
    QStringList columns{text};
    columns.append(subItems);
    if (columnCount() < columns.size())
        setColumnCount(static_cast<int>(columns.size()));
    programChange_ = true;
    auto* item = new QTreeWidgetItem(columns);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    addTopLevelItem(item);
    programChange_ = false;
    return topLevelItemCount() - 1;
}

void CheckListBox::clearItems() {
    programChange_ = true;
    clear();
    programChange_ = false;
}

void CheckListBox::removeEntry(int position) {
    programChange_ = true;
    delete takeTopLevelItem(position); // null outside the list
    programChange_ = false;
}

QString CheckListBox::subItem(int position, int column) const {
    const QTreeWidgetItem* item = topLevelItem(position);
    return item ? item->text(column) : QString();
}

bool CheckListBox::isItemChecked(int position) const {
    const QTreeWidgetItem* item = topLevelItem(position);
    return item && item->checkState(0) == Qt::Checked;
}

void CheckListBox::setItemChecked(int position, bool checked) {
    QTreeWidgetItem* item = topLevelItem(position);
    if (!item)
        return;
    programChange_ = true;
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    programChange_ = false;
}

bool CheckListBox::isEntrySelected(int position) const {
    const QTreeWidgetItem* item = topLevelItem(position);
    return item && item->isSelected();
}

int CheckListBox::firstSelected() const {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->isSelected())
            return i;
    }
    return -1;
}

QString CheckListBox::text() const {
    return subItem(firstSelected());
}

void CheckListBox::setText(const QString& text) {
    programChange_ = true;
    clearSelection();
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->text(0) == text) {
            topLevelItem(i)->setSelected(true);
            setCurrentItem(topLevelItem(i), 0, QItemSelectionModel::NoUpdate);
            break;
        }
    }
    programChange_ = false;
    emit changed();
}

} // namespace platform::ui
