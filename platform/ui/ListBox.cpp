// The list box over QTreeWidget; see ListBox.h.
#include "platform/ui/ListBox.h"

#include "platform/ui/ControlInfoPage.h"

#include <QHeaderView>

namespace platform::ui {

void ListBox::setUpAsList(QTreeWidget& list) {
    list.setColumnCount(1);
    list.setHeaderHidden(true);
    list.setRootIsDecorated(false);
    list.setItemsExpandable(false);
    list.setUniformRowHeights(true);
    list.setAllColumnsShowFocus(true);
    list.header()->setStretchLastSection(true);
}

ListBox::ListBox(QWidget* parent)
    : QTreeWidget(parent) {
    setUpAsList(*this);
    offerControlInfoPage(*this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { emit entryClicked(indexOfTopLevelItem(item)); });
}

void ListBox::setColumnHeadings(const QStringList& headings) {
    if (columnCount() < headings.size())
        setColumnCount(static_cast<int>(headings.size()));
    setHeaderLabels(headings);
    setHeaderHidden(headings.isEmpty());
}

void ListBox::clearItems() {
    clear();
}

int ListBox::addEntry(const QString& text, const QStringList& subItems) {
    QStringList columns{text};
    columns.append(subItems);
    if (columnCount() < columns.size())
        setColumnCount(static_cast<int>(columns.size()));
    addTopLevelItem(new QTreeWidgetItem(columns));
    resizeColumnToContents(0);
    return topLevelItemCount() - 1;
}

QString ListBox::subItem(int position, int column) const {
    const QTreeWidgetItem* item = topLevelItem(position);
    return item ? item->text(column) : QString();
}

int ListBox::selectedEntry() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void ListBox::selectEntry(int position) {
    QTreeWidget::clearSelection();
    if (QTreeWidgetItem* item = topLevelItem(position))
        item->setSelected(true);
}

void ListBox::clearSelection() {
    QTreeWidget::clearSelection();
}

} // namespace platform::ui
