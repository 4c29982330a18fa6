// The plain types of the data grid: how a column is described, how rows come from the
// grid's source, and the codes its events carry.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

namespace platform::ui {

// What a column's cells hold and how they are edited.
enum class ColumnKind {
    Text,  // free text, typed in place
    Check, // a check box; the value is 1 when ticked and 0 when not
    List,  // text typed in place or picked from the column's drop-down list
};

struct DataGridColumn {
    QString field;   // the source field shown in this column, matched without regard to case; empty = unbound
    QString heading; // the column's header text
    int widthTwips = 1200;
    ColumnKind kind = ColumnKind::Text;
    bool editable = true;
    int maxLength = 0; // the longest text a user may type; 0 = no limit
    bool hidden = false;
    QStringList list; // the entries of a List column's drop-down
};

// What a requery brings: field names and rows of values in field order.
struct DataGridRows {
    QStringList fields;
    QList<QVariantList> rows;
};

// Runs the grid's query again; no value when it failed (the grid then keeps its rows).
using DataGridSource = std::function<std::optional<DataGridRows>()>;

// Where a click fell; the program compares these numbers.
enum class ClickArea { Cell = 0, Heading = 1 };

// Who changed a cell: the user finishing an edit, or the program writing a value.
enum class ChangeOrigin { User, Program };

// How many rows can be highlighted at once; the numbers are the program's own.
enum class RowSelection { Cells = 0, SingleRow = 1, MultipleRows = 2 };

} // namespace platform::ui
