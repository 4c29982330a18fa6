// The list control of the program's windows: a combo box whose entries can carry
// sub-items (further columns shown side by side in its drop-down, under optional
// headings), read by position, with a text the program can read and set. Setting the text
// or the chosen position from the program raises `changed` just as a choice by the user
// does, so a window's change handler runs whichever way the text came.
#pragma once

#include <QComboBox>
#include <QStringList>

class QStandardItemModel;
class QTreeView;

namespace platform::ui {

class ComboList : public QComboBox {
    Q_OBJECT
public:
    enum class Style {
        DropDownCombo, // the user may type a text that is no entry
        DropDownList,  // the text is always one of the entries (or empty)
    };

    explicit ComboList(QWidget* parent = nullptr, Style style = Style::DropDownCombo);

    // Shows the drop-down's columns under these headings (none: no heading row).
    void setColumnHeadings(const QStringList& headings);

    void clearEntries();
    void addEntry(const QString& text, const QStringList& subItems = {});
    // Inserts before `position`; a position past the end appends.
    void insertEntry(int position, const QString& text, const QStringList& subItems = {});
    int entryCount() const { return count(); }
    // The entry's text; empty past the last entry.
    QString entry(int position) const { return subItem(position, 0); }
    // Column 0 is the entry's own text, 1 its first sub-item; empty where there is none.
    QString subItem(int position, int column) const;

    // The text shown. Setting it chooses the entry of that text (exactly, else without
    // regard to case); a text that is no entry is shown as typed in the combo style and
    // leaves nothing chosen in the list style. Raises `changed`.
    QString text() const;
    void setText(const QString& text);

    // The chosen entry's position, -1 for none. Setting it raises `changed`.
    int listIndex() const { return currentIndex(); }
    void setListIndex(int position);

signals:
    // The text changed: the user picked an entry or typed, or the program set it.
    void changed();
    void gotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    int find(const QString& text) const;
    QStandardItemModel* entries_;
    QTreeView* dropDown_;
    Style style_;
};

} // namespace platform::ui
