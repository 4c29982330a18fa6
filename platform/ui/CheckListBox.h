// The list box with a check mark per entry, used where the user ticks names in a list.
// Entries are counted from 0 and may carry further columns beside their text. The user
// selects entries (several at once) and ticks or clears their check marks; the program
// adds, removes, ticks and reads them. The check-mark event reports the user's ticks, not
// the program's.
#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace platform::ui {

class CheckListBox : public QTreeWidget {
    Q_OBJECT
public:
    explicit CheckListBox(QWidget* parent = nullptr);

    // Shows a heading row with these column headings (none: no heading row).
    void setColumnHeadings(const QStringList& headings);

    // Adds an entry at the end, unticked; returns its position.
    int addEntry(const QString& text, const QStringList& subItems = {});
    void clearItems();
    void removeEntry(int position);
    int listCount() const { return topLevelItemCount(); }

    // Column 0 is the entry's text; empty outside the list.
    QString subItem(int position, int column = 0) const;

    bool isItemChecked(int position) const;
    void setItemChecked(int position, bool checked);

    bool isEntrySelected(int position) const;
    // The first selected entry, -1 when none is.
    int firstSelected() const;

    // The text of the first selected entry. Setting it selects the first entry of that
    // text (alone) and raises `changed`.
    QString text() const;
    void setText(const QString& text);

signals:
    void itemCheckChanged(int position); // the user ticked or cleared an entry
    void entryClicked(int position);
    void changed(); // the selected entry changed by the user or by setText

private:
    bool programChange_ = false;
};

} // namespace platform::ui
