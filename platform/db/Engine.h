// Internal helpers over the engine's C interface: prepared statements with bound QVariant
// values, the mapping of engine result codes to DbError numbers, and opening a handle on a
// file with its key, the busy timeout, the rollback journal and the NOCASE_U collation.
#pragma once

#include "platform/db/DbError.h"
#include "platform/db/Sqlite.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

namespace platform::db::engine {

// The DbError for a failed engine call on db with result code rc.
DbError error(sqlite3* db, int rc);
// Throws error(db, rc) unless rc is SQLITE_OK, SQLITE_ROW or SQLITE_DONE.
void check(sqlite3* db, int rc);

void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value);
QVariant columnValue(sqlite3_stmt* stmt, int index);

// One prepared statement; finalized when it goes out of scope.
class Statement {
public:
    // Prepares exactly one statement (trailing ";" and blanks allowed); kCommandError when the
    // text holds more.
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds the values in order; kCommandError when their number does not match.
    void bind(const QVariantList& params);
    // True while a row is available.
    bool step();
    // Steps to the end and returns the rows changed (0 for a query).
    qint64 run();
    int columnCount() const;
    QVariant value(int column) const;
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// The names of a table's columns in their order (none for a table that does not exist).
QStringList columnNames(sqlite3* db, const QString& table);

// Runs one statement with parameters; returns the rows changed.
qint64 exec(sqlite3* db, const QString& sql, const QVariantList& params = {});
// First column of the first row, invalid when there is none.
QVariant scalar(sqlite3* db, const QString& sql, const QVariantList& params = {});

enum class OpenMode { ExistingReadWrite, ExistingReadOnly, CreateNew };

// Opens a handle on path with the password (none when empty) and checks that the key opens
// the file; kAuthenticationFailed when it does not. The caller closes it with closeHandle.
sqlite3* openHandle(const QString& path, const QString& password, OpenMode mode);
void closeHandle(sqlite3* db);

// The transactions that wrote, committed on the handles of this process so far.
qint64 commitsSoFar();

// True when the file at the handle's path is no longer the file the handle has open (it was
// replaced or removed).
bool fileHasMoved(sqlite3* db);

// The engine's quick check of a database: "ok", or kCorrupt.
void quickCheck(sqlite3* db, const QString& path);

// The checks before opening an existing file: the path is not empty, the file exists, is a
// file and not empty. Returns its canonical path.
QString checkedDatabasePath(const QString& path);

// Copies the whole main database of source into the main database of destination through
// the online backup, waiting for locks up to the busy timeout.
void backup(sqlite3* source, sqlite3* destination);

} // namespace platform::db::engine
