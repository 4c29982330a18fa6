// The work of a connection on whole database files: compaction in place, copies to and from
// other files through the engine's online backup, and the database password. None of them
// swaps a file under an open connection of this program: backup and restore copy pages into
// a live database, and a new password is given by exporting the database into a new file
// that replaces the old one while the changer holds the old one for itself.
//
// Every file written on the way is a TemporaryFile: private, removed when the work fails,
// and removed by the next attempt when a killed process left it behind. A backup is given
// the access rights of the database it copies, so it is no more readable than the database.
#include "platform/db/Connection.h"
#include "platform/db/ConnectionState.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/HandlePool.h"
#include "platform/db/TemporaryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform::db {

namespace {

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// Closes an engine handle when it goes out of scope.
class HandleGuard {
public:
    explicit HandleGuard(sqlite3* db)
        : db_(db) {}
    ~HandleGuard() { engine::closeHandle(db_); }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    sqlite3* get() const { return db_; }

private:
    sqlite3* db_;
};

enum class Hold { Shared, ForItself };

// Writes every table, view and row of db's main database into the file at target (an empty
// file) under the key password ("" for a plain file), in one transaction. Held for itself,
// the main database is taken exclusively for the export and kept so, past its end, until the
// handle is closed (the exclusive locking mode keeps the lock once a transaction took it; set
// before, it would keep the shared lock of a wait and stall the writer waited for).
void exportTo(sqlite3* db, const QString& target, const QString& password, Hold hold = Hold::Shared) {
    engine::exec(db, QStringLiteral("ATTACH DATABASE ? AS lv_export KEY ?"), {target, password});
    try {
        if (hold == Hold::ForItself) {
            engine::exec(db, QStringLiteral("BEGIN EXCLUSIVE"));
            engine::scalar(db, QStringLiteral("PRAGMA main.locking_mode = EXCLUSIVE"));
        } else {
            engine::exec(db, QStringLiteral("BEGIN"));
        }
        const qint64 version = engine::scalar(db, QStringLiteral("PRAGMA main.user_version")).toLongLong();
        engine::scalar(db, QStringLiteral("SELECT sqlcipher_export('lv_export')"));
        engine::exec(db, QStringLiteral("PRAGMA lv_export.user_version = ") + QString::number(version));
        engine::exec(db, QStringLiteral("COMMIT"));
    } catch (...) {
        if (!sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "DETACH DATABASE lv_export", nullptr, nullptr, nullptr);
        throw;
    }
    engine::exec(db, QStringLiteral("DETACH DATABASE lv_export"));
}

void verify(const QString& path, const QString& password) {
    HandleGuard check(engine::openHandle(path, password, engine::OpenMode::ExistingReadOnly));
    engine::quickCheck(check.get(), path);
}

void checkNoTransaction(sqlite3* db, const char* what) {
    if (!sqlite3_get_autocommit(db)) {
        throw DbError(DbError::kInvalidOperation,
                      QLatin1String(what) + QStringLiteral(" cannot run inside a transaction."));
    }
}

} // namespace

void Connection::compact() {
    sqlite3* db = live().handle();
    checkNoTransaction(db, "Compaction");
    engine::exec(db, QStringLiteral("VACUUM"));
}

void Connection::backupTo(const QString& path, std::optional<QFileDevice::Permissions> mode) {
    ConnectionState& state = live();
    sqlite3* db = state.handle();
    if (path.trimmed().isEmpty())
        throw DbError(DbError::kInvalidPath, QStringLiteral("No backup file is named."));
    if (QFileInfo(path).canonicalFilePath() == state.path) {
        throw DbError(DbError::kInvalidOperation,
                      QStringLiteral("A database cannot be backed up onto itself."));
    }
    TemporaryFile::removeAbandoned(folderOf(path));
    TemporaryFile copy(path);
    {
        HandleGuard target(engine::openHandle(copy.path(), state.password, engine::OpenMode::CreateNew));
        engine::backup(db, target.get());
    }
    verify(copy.path(), state.password);
    copy.replace(path, mode.value_or(QFile::permissions(state.path)));
}

void Connection::restoreFrom(const QString& path, const std::optional<QString>& password) {
    ConnectionState& state = live();
    sqlite3* db = state.handle();
    checkNoTransaction(db, "A restore");
    const QString source = engine::checkedDatabasePath(path);
    if (source == state.path)
        throw DbError(DbError::kInvalidOperation,
                      QStringLiteral("A database cannot be restored from itself."));
    const QString key = password.value_or(state.password);
    verify(source, key);
    TemporaryFile::removeAbandoned(folderOf(state.path));

    if (key == state.password) {
        HandleGuard from(engine::openHandle(source, key, engine::OpenMode::ExistingReadOnly));
        engine::backup(from.get(), db);
        return;
    }
    // The pages of a file under another key cannot be copied as they are: the file is first
    // exported (from a copy, so the chosen file is never written) under this database's key.
    TemporaryFile copy(state.path);
    TemporaryFile exported(state.path);
    copy.copyFrom(source);
    {
        HandleGuard from(engine::openHandle(copy.path(), key, engine::OpenMode::ExistingReadWrite));
        exportTo(from.get(), exported.path(), state.password);
    }
    HandleGuard from(engine::openHandle(exported.path(), state.password, engine::OpenMode::ExistingReadOnly));
    engine::backup(from.get(), db);
}

void Connection::setPassword(const QString& path, const QString& oldPassword, const QString& newPassword,
                             const QList<Statement>& alsoInNewFile) {
    const QString file = engine::checkedDatabasePath(path);
    if (HandlePool::instance().inUse(file) > 0) {
        throw DbError(DbError::kFileInUse,
                      QStringLiteral("The database '") + path +
                          QStringLiteral("' is open; close it before its password is changed."));
    }
    HandlePool::instance().closeIdle(file);
    TemporaryFile::removeAbandoned(folderOf(file));
    HandleGuard db(engine::openHandle(file, oldPassword, engine::OpenMode::ExistingReadWrite));
    if (oldPassword == newPassword)
        return;
    // The changer takes the file for itself: it waits for the transactions of other
    // connections to end, then keeps every other connection out until the new file is in
    // place and this handle closes. A connection that wrote meanwhile wrote before the
    // export, into it; one that comes after finds the new file.
    TemporaryFile exported(file);
    try {
        exportTo(db.get(), exported.path(), newPassword, Hold::ForItself);
    } catch (const DbError& failure) {
        if (failure.number() != DbError::kLocked)
            throw;
        throw DbError(DbError::kFileInUse,
                      QStringLiteral("The database '") + path +
                          QStringLiteral("' is in use by another user; its password was not changed.  Try "
                                         "again when the others have finished their work."),
                      failure.nativeError());
    }
    if (!alsoInNewFile.isEmpty()) {
        HandleGuard written(
            engine::openHandle(exported.path(), newPassword, engine::OpenMode::ExistingReadWrite));
        engine::exec(written.get(), QStringLiteral("BEGIN"));
        for (const Statement& statement : alsoInNewFile)
            engine::exec(written.get(), statement.sql, statement.params);
        engine::exec(written.get(), QStringLiteral("COMMIT"));
    }
    verify(exported.path(), newPassword);
    exported.replace(file, QFile::permissions(file));
}

int Connection::openConnectionCount(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? 0 : HandlePool::instance().inUse(canonical);
}

void Connection::releaseIdleHandles(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty())
        HandlePool::instance().closeIdle(canonical);
}

} // namespace platform::db
