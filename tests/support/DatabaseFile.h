// A test's own connection to a database file on disk (with its password when it has one), opened
// as another program would open it.
#pragma once

#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"

#include <QString>

namespace testsupport {

inline platform::db::Connection openDatabaseFile(const QString& path, const QString& password = {}) {
    platform::db::ConnectionString cs;
    cs.set(platform::db::ConnectionString::kDataSource, path);
    if (!password.isEmpty())
        cs.set(platform::db::ConnectionString::kDatabasePassword, password);
    platform::db::Connection db;
    db.open(cs);
    return db;
}

} // namespace testsupport
