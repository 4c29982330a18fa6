// The list box of the program's windows where the user picks one entry of a list of several
// columns (a name and its sub-items side by side, under column headings), without check marks
// (CheckListBox.h has them). Entries are counted from 0; one entry at most is selected.
#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace platform::ui {

class ListBox : public QTreeWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // The look of every list box of entries in rows (this one and CheckListBox): one level, no
    // heading until headings are given, whole rows highlighted, the last column stretched.
    static void setUpAsList(QTreeWidget& list);

    void setColumnHeadings(const QStringList& headings);

    void clearItems();
    // Adds an entry at the end; returns its position.
    int addEntry(const QString& text, const QStringList& subItems = {});
    int listCount() const { return topLevelItemCount(); }
    // Column 0 is the entry's text; empty outside the list.
    QString subItem(int position, int column = 0) const;

    // The selected entry, -1 when none is.
    int selectedEntry() const;
    void selectEntry(int position);
    void clearSelection();

signals:
    // The user clicked an entry.
    void entryClicked(int position);
};

} // namespace platform::ui
