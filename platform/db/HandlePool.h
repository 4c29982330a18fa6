// Internal: the program-wide pool of engine handles, per file and key.
//
// A connection takes a handle with acquire() and gives it back with release(). A handle given
// back stays open, idle, so the next connection to the same file with the same key takes it
// without opening the file and deriving the key again. A handle is lent to one connection at a
// time. An idle handle whose file was replaced since (another file now at the path) is closed
// instead of lent. Opening a file anew first removes the temporary files that an interrupted
// backup, restore or password change of another program left in its folder.
#pragma once

#include "platform/db/Sqlite.h"

#include <QByteArray>
#include <QString>
#include <mutex>
#include <vector>

namespace platform::db {

class HandlePool {
public:
    // Idle handles kept per file and key.
    static constexpr int kMaxIdlePerKey = 4;

    static HandlePool& instance();

    // A handle on the file (canonical path) opened with the password. Throws DbError.
    sqlite3* acquire(const QString& canonicalPath, const QString& password);
    // Gives a lent handle back; an open transaction is rolled back first.
    void release(sqlite3* db);
    // Closes a lent handle that is of no use any more (its file was replaced).
    void discard(sqlite3* db);
    // Connections that hold a handle on the file now.
    int inUse(const QString& canonicalPath);
    // Closes the idle handles of the file.
    void closeIdle(const QString& canonicalPath);
    // Handles opened on files so far (each one a key derivation for an encrypted file).
    quint64 handlesOpened() const { return opened_; }

private:
    struct FileId {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const FileId&) const = default;
    };
    struct Entry {
        sqlite3* db = nullptr;
        QString path;
        QByteArray keyDigest;
        FileId file;
        bool lent = false;
    };

    static FileId fileId(const QString& path);
    static QByteArray digest(const QString& password);

    std::mutex mutex_;
    std::vector<Entry> entries_;
    quint64 opened_ = 0;
};

} // namespace platform::db
