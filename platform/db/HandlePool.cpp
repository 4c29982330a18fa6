// The pool of engine handles; see HandlePool.h.
#include "platform/db/HandlePool.h"

#include "platform/db/Engine.h"
#include "platform/db/TemporaryFile.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>

namespace platform::db {

HandlePool& HandlePool::instance() {
    // Never destroyed: connections held by globals may close after static destruction began.
    // The handles still idle at exit are closed with the process; none holds a transaction.
    static HandlePool* pool = new HandlePool;
    return *pool;
}

HandlePool::FileId HandlePool::fileId(const QString& path) {
    struct stat info {};
    if (::stat(path.toLocal8Bit().constData(), &info) != 0)
        return {};
    return {static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

// The pool compares keys by their digest, so it keeps no password text of its own.
QByteArray HandlePool::digest(const QString& password) {
    return QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha256);
}

sqlite3* HandlePool::acquire(const QString& canonicalPath, const QString& password) {
    const QByteArray key = digest(password);
    const FileId file = fileId(canonicalPath);
    {
        std::lock_guard lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->lent || it->path != canonicalPath || it->keyDigest != key) {
                ++it;
                continue;
            }
            if (!(it->file == file)) {
                // The file was replaced since this handle opened it.
                engine::closeHandle(it->db);
                it = entries_.erase(it);
                continue;
            }
            it->lent = true;
            return it->db;
        }
    }
    TemporaryFile::removeAbandoned(QFileInfo(canonicalPath).absolutePath());
    sqlite3* db = engine::openHandle(canonicalPath, password, engine::OpenMode::ExistingReadWrite);
    std::lock_guard lock(mutex_);
    ++opened_;
    entries_.push_back(Entry{db, canonicalPath, key, file, true});
    return db;
}

void HandlePool::release(sqlite3* db) {
    if (!db)
        return;
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    std::lock_guard lock(mutex_);
    auto it = std::find_if(entries_.begin(), entries_.end(), [db](const Entry& e) { return e.db == db; });
    if (it == entries_.end()) {
        engine::closeHandle(db);
        return;
    }
    it->lent = false;
    const int idle = static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return !e.lent && e.path == it->path && e.keyDigest == it->keyDigest;
    }));
    // A handle still in a transaction (the rollback failed) is not lent again.
    if (idle > kMaxIdlePerKey || !sqlite3_get_autocommit(db)) {
        engine::closeHandle(db);
        entries_.erase(it);
    }
}

void HandlePool::discard(sqlite3* db) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(entries_.begin(), entries_.end(), [db](const Entry& e) { return e.db == db; });
    if (it != entries_.end())
        entries_.erase(it);
    engine::closeHandle(db);
}

int HandlePool::inUse(const QString& canonicalPath) {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [&](const Entry& e) { return e.lent && e.path == canonicalPath; }));
}

void HandlePool::closeIdle(const QString& canonicalPath) {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (!it->lent && it->path == canonicalPath) {
            engine::closeHandle(it->db);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace platform::db
