// See Schema.h.
#include "platform/db/Schema.h"

namespace platform::db {

int TableInfo::columnIndex(const QString& column) const {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace platform::db
