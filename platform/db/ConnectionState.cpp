// See ConnectionState.h.
#include "platform/db/ConnectionState.h"

#include "platform/db/HandlePool.h"

namespace platform::db {

sqlite3* ConnectionState::handle() {
    if (!db)
        throw DbError(DbError::kObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
    if (sqlite3_get_autocommit(db) && engine::fileHasMoved(db))
        followReplacedFile();
    return db;
}

void ConnectionState::followReplacedFile() {
    sqlite3* fresh = nullptr;
    try {
        fresh = HandlePool::instance().acquire(path, password);
    } catch (const DbError& failure) {
        if (failure.number() != DbError::kAuthenticationFailed)
            throw;
        throw DbError(DbError::kPasswordChanged,
                      QStringLiteral("The password of the database '") + path +
                          QStringLiteral("' was changed by another user since it was opened here.  Open it "
                                         "again with the new password."),
                      failure.nativeError());
    }
    HandlePool::instance().discard(db);
    db = fresh;
}

} // namespace platform::db
