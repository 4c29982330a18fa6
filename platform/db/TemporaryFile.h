// Internal: the temporary files the layer writes beside a database or a backup while it
// copies, exports or checks one: hidden, readable by their owner only (they hold the same
// rows as the database), named ".<target>~lvtmp.XXXXXX", and marked in use by a lock for as
// long as their owner works on them (the file gets that name only once it is locked).
//
// A temporary file is removed when its object goes, unless it was renamed over its target.
// One left behind by a process that was killed holds no lock any more: removeAbandoned()
// finds and removes such files (with the engine's journals beside them); the layer calls it
// before each backup, restore and password change, and whenever it opens a database anew.
// The lock is an open-file-description lock on the file's first byte, which the engine's own
// locks (far beyond) never meet and which closing the engine's descriptors does not release.
#pragma once

#include <QFileDevice>
#include <QString>

namespace platform::db {

class TemporaryFile {
public:
    // Creates the empty file beside target and locks it. Throws DbError(kCannotOpen).
    explicit TemporaryFile(const QString& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    QString path() const { return path_; }
    // Writes the bytes of the file at source into this file. Throws DbError(kCannotOpen).
    void copyFrom(const QString& source);
    // Gives the file mode, then renames it over target in one step.
    void replace(const QString& target, QFileDevice::Permissions mode);

    // Removes the temporary files in folder whose owner is gone.
    static void removeAbandoned(const QString& folder);

private:
    QString path_;
    int fd_ = -1;
    bool placed_ = false;
};

} // namespace platform::db
