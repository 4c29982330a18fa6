// The editing grid of the data windows: a data grid whose window stores every cell the user
// edits at once, in the cell's table, through the window's change procedure.
//
// - The change procedure runs once the user has completed an edit: typed text committed, a
//   check box ticked or cleared, an entry picked from a drop-down list. It runs after the
//   cell's editor has closed, so it may refill the grid. editCell() writes a value as a
//   user's edit would (the clipboard commands paste and cut through it), so what it writes
//   is checked and stored the same way.
// - Before an edit begins the grid keeps the text the cell held then (beforeEditValue), so a
//   change procedure can rename the row that was stored under the old text.
// - Rows are added for typing (an empty last row with its required cells set apart and the
//   cursor in the cell to type) and removed by number.
// - A right click pops up the context menu that the main window lends (MenuHost.h), after
//   putting the cursor on the cell clicked, so the menu's commands work on that cell; a grid
//   may offer it over some of its columns only.
// - A label can serve as the record counter: a caption followed by the current row's number,
//   counted from 1, kept up to date after every move and every change of the rows.
#pragma once

#include "platform/ui/DataGrid.h"

#include <QPointer>
#include <functional>

class QLabel;

namespace platform::ui {

class EditGrid : public DataGrid {
    Q_OBJECT
public:
    using ChangeProcedure = std::function<void(int row, int column)>;

    // The background of the cells a new row must have filled before it can be stored.
    static inline const QColor kRequiredCellColour = QColor(255, 255, 204);

    explicit EditGrid(QWidget* parent = nullptr);

    void setChangeProcedure(ChangeProcedure procedure);

    // Writes the value into the cell as the user's edit would: the before-edit event, the
    // write, then the change procedure, which runs even when the cell held that value
    // already. False, with nothing done, for an address outside the grid.
    bool editCell(int row, int column, const QVariant& value);

    // The text the cell held when the last edit began, and that cell (-1 before any edit).
    QString beforeEditValue() const { return beforeEditValue_; }
    int beforeEditRow() const { return beforeEditRow_; }
    int beforeEditColumn() const { return beforeEditColumn_; }

    // Appends an empty row, sets its required cells apart, puts the cursor on its cell in
    // the column given and opens that cell's editor for typing. Returns the new row's number.
    int addRowForTyping(int column, const QList<int>& requiredColumns = {});
    bool isRequiredCell(int row, int column) const;

    // The host's menu that a right click pops up; empty: no menu.
    void setContextMenuName(const QString& name) { contextMenuName_ = name; }
    QString contextMenuName() const { return contextMenuName_; }
    // The columns over which a right click pops the menu up; empty (the default): every column.
    void setContextMenuColumns(const QList<int>& columns) { contextMenuColumns_ = columns; }
    // Pops the context menu up at the mouse pointer; false when there is none to show.
    bool popUpContextMenu();

    // Makes the label the record counter, its text the caption followed by the number of the
    // current row (the caption alone while the cursor is on no row); null ends it.
    void setRecordCounter(QLabel* label, const QString& caption);

private:
    void keepBeforeEditValue(int row, int column);
    void onCellChanged(int row, int column, ChangeOrigin origin);
    void runChangeProcedure(int row, int column);
    void onMousePressed(int button, int row, int column);
    void updateRecordCounter();

    ChangeProcedure changeProcedure_;
    QString beforeEditValue_;
    int beforeEditRow_ = -1;
    int beforeEditColumn_ = -1;
    QString contextMenuName_;
    QList<int> contextMenuColumns_;
    QPointer<QLabel> counter_;
    QString counterCaption_;
};

} // namespace platform::ui
