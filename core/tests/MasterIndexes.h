// Test helpers for the indexes of the master database: the names of those a database holds, and
// a database made as an earlier version made it, without them.
#pragma once

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QStringList>

namespace coretest {

// The indexes made by a script (not those the engine makes for a UNIQUE column), by name.
inline QStringList indexNames(platform::db::Connection& cnn) {
    QStringList names;
    platform::db::Recordset rows = platform::db::Recordset::open(
        cnn, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
                            "ORDER BY name"));
    for (; !rows.eof(); rows.moveNext())
        names << rows.value(0).toString();
    return names;
}

inline void dropIndexes(platform::db::Connection& cnn) {
    for (const QString& name : indexNames(cnn))
        cnn.execute(QStringLiteral("DROP INDEX \"") + name + QLatin1Char('"'));
}

} // namespace coretest
