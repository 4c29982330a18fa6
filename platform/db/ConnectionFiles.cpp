// The work of a connection on whole database files: compaction in place, copies to and from
// other files through the engine's online backup, and the database password. None of them
// swaps a file under an open connection: backup and restore copy pages into a live database,
// and the password of a plain file is set by exporting it into a new encrypted file that
// replaces the old one only while no connection of this program has it open.
#include "platform/db/Connection.h"
#include "platform/db/ConnectionState.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/HandlePool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <sys/stat.h>

namespace platform::db {

namespace {

QFileDevice::Permissions newFilePermissions();

// An empty file beside target, removed again unless it was renamed into place.
class SiblingFile {
public:
    explicit SiblingFile(const QString& target)
        : file_(QFileInfo(target).absolutePath() + QStringLiteral("/.") + QFileInfo(target).fileName() +
                QStringLiteral(".XXXXXX")) {
        if (!file_.open()) {
            throw DbError(DbError::kCannotOpen,
                          QStringLiteral("Could not create a temporary file beside '%1' (%2).")
                              .arg(target, file_.errorString()));
        }
        file_.close();
    }
    QString path() const { return file_.fileName(); }
    // Renames the file over target in one step. The new file takes the permissions of the
    // file it replaces (a shared database stays shared), or the usual ones for a new file.
    void replace(const QString& target) {
        const auto mode = QFile::exists(target) ? QFile::permissions(target) : newFilePermissions();
        QFile::setPermissions(path(), mode);
        if (std::rename(QFile::encodeName(path()).constData(), QFile::encodeName(target).constData()) != 0) {
            throw DbError(DbError::kCannotOpen, QStringLiteral("Could not replace '%1'.").arg(target));
        }
        file_.setAutoRemove(false);
    }

private:
    QTemporaryFile file_;
};

// rw for everyone, less what the process's umask takes away.
QFileDevice::Permissions newFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFileDevice::Permissions mode;
    const mode_t allowed = 0666 & ~mask;
    if (allowed & S_IRUSR)
        mode |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (allowed & S_IWUSR)
        mode |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (allowed & S_IRGRP)
        mode |= QFileDevice::ReadGroup;
    if (allowed & S_IWGRP)
        mode |= QFileDevice::WriteGroup;
    if (allowed & S_IROTH)
        mode |= QFileDevice::ReadOther;
    if (allowed & S_IWOTH)
        mode |= QFileDevice::WriteOther;
    return mode;
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

// Writes every table, view and row of db's main database into the file at target (an empty
// file) under the key password ("" for a plain file).
void exportTo(sqlite3* db, const QString& target, const QString& password) {
    engine::exec(db, QStringLiteral("ATTACH DATABASE ? AS lv_export KEY ?"), {target, password});
    try {
        const qint64 version = engine::scalar(db, QStringLiteral("PRAGMA main.user_version")).toLongLong();
        engine::scalar(db, QStringLiteral("SELECT sqlcipher_export('lv_export')"));
        engine::exec(db, QStringLiteral("PRAGMA lv_export.user_version = %1").arg(version));
    } catch (...) {
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
                      QStringLiteral("%1 cannot run inside a transaction.").arg(QLatin1String(what)));
    }
}

} // namespace

void Connection::compact() {
    sqlite3* db = live().handle();
    checkNoTransaction(db, "Compaction");
    engine::exec(db, QStringLiteral("VACUUM"));
}

void Connection::backupTo(const QString& path) {
    ConnectionState& state = live();
    sqlite3* db = state.handle();
    if (path.trimmed().isEmpty())
        throw DbError(DbError::kInvalidPath, QStringLiteral("No backup file is named."));
    if (QFileInfo(path).canonicalFilePath() == state.path) {
        throw DbError(DbError::kInvalidOperation,
                      QStringLiteral("A database cannot be backed up onto itself."));
    }
    SiblingFile copy(path);
    {
        HandleGuard target(engine::openHandle(copy.path(), state.password, engine::OpenMode::CreateNew));
        engine::backup(db, target.get());
    }
    verify(copy.path(), state.password);
    copy.replace(path);
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

    if (key == state.password) {
        HandleGuard from(engine::openHandle(source, key, engine::OpenMode::ExistingReadOnly));
        engine::backup(from.get(), db);
        return;
    }
    // The pages of a file under another key cannot be copied as they are: the file is first
    // exported (from a copy, so the chosen file is never written) under this database's key.
    SiblingFile copy(state.path);
    SiblingFile exported(state.path);
    QFile::remove(copy.path());
    if (!QFile::copy(source, copy.path()))
        throw DbError(DbError::kCannotOpen, QStringLiteral("Could not read '%1'.").arg(path));
    {
        HandleGuard from(engine::openHandle(copy.path(), key, engine::OpenMode::ExistingReadWrite));
        exportTo(from.get(), exported.path(), state.password);
    }
    HandleGuard from(engine::openHandle(exported.path(), state.password, engine::OpenMode::ExistingReadOnly));
    engine::backup(from.get(), db);
}

void Connection::setPassword(const QString& path, const QString& oldPassword, const QString& newPassword) {
    const QString file = engine::checkedDatabasePath(path);
    if (HandlePool::instance().inUse(file) > 0) {
        throw DbError(
            DbError::kFileInUse,
            QStringLiteral("The database '%1' is open; close it before its password is changed.").arg(path));
    }
    HandlePool::instance().closeIdle(file);
    HandleGuard db(engine::openHandle(file, oldPassword, engine::OpenMode::ExistingReadWrite));
    if (oldPassword == newPassword)
        return;
    if (!oldPassword.isEmpty() && !newPassword.isEmpty()) {
        const QByteArray key = newPassword.toUtf8();
        engine::check(db.get(), sqlite3_rekey(db.get(), key.constData(), static_cast<int>(key.size())));
        return;
    }
    // A read transaction on a second handle keeps every other writer out until the new file
    // is in place, so no row written meanwhile can be lost with the old file.
    HandleGuard guard(engine::openHandle(file, oldPassword, engine::OpenMode::ExistingReadWrite));
    engine::exec(guard.get(), QStringLiteral("BEGIN"));
    engine::scalar(guard.get(), QStringLiteral("SELECT count(*) FROM sqlite_master"));
    SiblingFile exported(file);
    exportTo(db.get(), exported.path(), newPassword);
    verify(exported.path(), newPassword);
    exported.replace(file);
    sqlite3_exec(guard.get(), "ROLLBACK", nullptr, nullptr, nullptr);
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
