// Internal: what a connection and the recordsets opened on it share. Closing the connection
// gives the handle back to the pool and leaves db null, so a recordset that outlives its
// connection fails its writes with kObjectClosed instead of touching a handle lent elsewhere.
//
// Before each piece of work outside a transaction, handle() makes sure the file at the path
// is still the file the handle reads: another program changes a database's password by
// putting a new file in its place. A handle on the replaced file is given up for one on the
// new file when the connection's password opens it; when it does not, the password was
// changed by someone else, and handle() says so (kPasswordChanged) instead of reading rows
// that are no longer the database's.
#pragma once

#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/Sqlite.h"

#include <QString>

namespace platform::db {

struct ConnectionState {
    sqlite3* db = nullptr;
    QString path;     // canonical path of the file
    QString password; // the key it was opened with ("" for a plain file)
    QString connectionString;

    // The open handle, on the file now at the path; kObjectClosed when closed.
    sqlite3* handle();

private:
    void followReplacedFile();
};

// Runs work all or nothing: inside the caller's transaction as a savepoint, else in a
// transaction of its own that takes the write lock at once (so two writers wait for each
// other instead of deadlocking).
template <typename Work> void atomically(ConnectionState& state, Work&& work) {
    sqlite3* db = state.handle();
    const bool nested = !sqlite3_get_autocommit(db);
    engine::check(
        db, sqlite3_exec(db, nested ? "SAVEPOINT lv_atomic" : "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    try {
        work();
        engine::check(db,
                      sqlite3_exec(db, nested ? "RELEASE lv_atomic" : "COMMIT", nullptr, nullptr, nullptr));
    } catch (...) {
        if (nested) {
            sqlite3_exec(db, "ROLLBACK TO lv_atomic", nullptr, nullptr, nullptr);
            sqlite3_exec(db, "RELEASE lv_atomic", nullptr, nullptr, nullptr);
        } else if (!sqlite3_get_autocommit(db)) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        throw;
    }
}

} // namespace platform::db
