// The list control over QComboBox with a multi-column drop-down.
#include "platform/ui/ComboList.h"

#include "platform/ui/ControlInfoPage.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTreeView>
#include <algorithm>

namespace platform::ui {

ComboList::ComboList(QWidget* parent, Style style)
    : QComboBox(parent)
    , entries_(new QStandardItemModel(0, 1, this))
    , dropDown_(new QTreeView(this))
    , style_(style) {
    setModel(entries_);
    offerControlInfoPage(*this);
    dropDown_->setRootIsDecorated(false);
    dropDown_->setItemsExpandable(false);
    dropDown_->setAllColumnsShowFocus(true);
    dropDown_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    dropDown_->header()->setStretchLastSection(true);
    dropDown_->setHeaderHidden(true);
    setView(dropDown_);

    setEditable(style == Style::DropDownCombo);
    setInsertPolicy(QComboBox::NoInsert);
    if (QLineEdit* line = lineEdit())
        connect(line, &QLineEdit::textEdited, this, [this] { emit changed(); });
    connect(this, &QComboBox::activated, this, [this] { emit changed(); });
}

void ComboList::setColumnHeadings(const QStringList& headings) {
    if (entries_->columnCount() < headings.size())
        entries_->setColumnCount(static_cast<int>(headings.size()));
    entries_->setHorizontalHeaderLabels(headings);
    dropDown_->setHeaderHidden(headings.isEmpty());
}

void ComboList::clearEntries() {
    const QString shown = style_ == Style::DropDownCombo ? currentText() : QString();
    const QSignalBlocker quiet(this);
    entries_->removeRows(0, entries_->rowCount());
    setCurrentIndex(-1);
    if (style_ == Style::DropDownCombo)
        setEditText(shown); // the typed text stays; only the entries go
}

void ComboList::addEntry(const QString& text, const QStringList& subItems) {
    insertEntry(count(), text, subItems);
}

void ComboList::insertEntry(int position, const QString& text, const QStringList& subItems) {
    QList<QStandardItem*> row{new QStandardItem(text)};
    for (const QString& sub : subItems)
        row.append(new QStandardItem(sub));
    if (entries_->columnCount() < row.size())
        entries_->setColumnCount(static_cast<int>(row.size()));

    // Filling the list never changes what it shows: the combo box would otherwise
    // choose the first entry added to an empty list by itself.
    const int chosen = currentIndex();
    const QString shown = currentText();
    const QSignalBlocker quiet(this);
    position = std::clamp(position, 0, count());
    entries_->insertRow(position, row);
    const int keep = chosen < 0 ? -1 : (chosen >= position ? chosen + 1 : chosen);
    setCurrentIndex(keep);
    if (style_ == Style::DropDownCombo && keep < 0)
        setEditText(shown);
    dropDown_->setMinimumWidth(dropDown_->header()->length());
}

QString ComboList::subItem(int position, int column) const {
    const QStandardItem* item = entries_->item(position, column);
    return item ? item->text() : QString();
}

QString ComboList::text() const {
    return currentText();
}

int ComboList::find(const QString& text) const {
    const int exact = findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    return exact >= 0 ? exact : findText(text, Qt::MatchFixedString);
}

void ComboList::setText(const QString& text) {
    {
        const QSignalBlocker quiet(this);
        const int at = find(text);
        setCurrentIndex(at);
        if (style_ == Style::DropDownCombo)
            setEditText(at >= 0 ? itemText(at) : text);
    }
    emit changed();
}

void ComboList::setListIndex(int position) {
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(position >= 0 && position < count() ? position : -1);
        if (style_ == Style::DropDownCombo && currentIndex() < 0)
            setEditText({});
    }
    emit changed();
}

void ComboList::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    emit gotFocus();
}

} // namespace platform::ui
