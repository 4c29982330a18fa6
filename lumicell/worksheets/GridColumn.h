// A column of the worksheet tabs' grids: a heading and a width; a check box or a list column
// is edited by the user, a text column only shown; bound to a field when one is named.
#pragma once

#include "platform/ui/DataGridTypes.h"

namespace lumicell {

inline platform::ui::DataGridColumn GridColumn(const QString& heading, int widthTwips,
                                               platform::ui::ColumnKind kind = platform::ui::ColumnKind::Text,
                                               const QString& field = {}) {
    platform::ui::DataGridColumn column;
    column.field = field;
    column.heading = heading;
    column.widthTwips = widthTwips;
    column.kind = kind;
    column.editable = kind != platform::ui::ColumnKind::Text;
    return column;
}

} // namespace lumicell
