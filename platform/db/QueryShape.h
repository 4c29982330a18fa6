// Internal: what the text of a query says about writing its rows back. A query can be
// written back only when it is a plain SELECT over tables: no DISTINCT, grouping,
// aggregates or compound parts. Its FROM clause names the tables with the qualifier
// (alias or name) by which their row ids can be selected.
#pragma once

#include <QList>
#include <QString>

namespace platform::db {

struct QueryShape {
    struct TableRef {
        QString table;        // the name after FROM or JOIN
        QString qualifier;    // its alias, else the name
        bool derived = false; // a subquery, or a table of another schema
    };

    bool isSelect = false;
    QString readOnlyReason;      // why its rows cannot be written back; "" when they can
    qsizetype fromPosition = -1; // where the top-level FROM starts in the text
    QList<TableRef> tables;

    static QueryShape of(const QString& sql);
};

} // namespace platform::db
