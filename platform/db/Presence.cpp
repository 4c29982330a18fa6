// The presence check; see Presence.h. The presence byte is locked shared (a read lock) or for
// the holder's own use (a write lock), the run byte shared while a run is under way; the file
// itself stays empty.
#include "platform/db/Presence.h"

#include "platform/db/DbError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::db {

namespace {

constexpr int kRetryMs = 50;
constexpr off_t kPresenceByte = 0;
constexpr off_t kRunByte = 1;

// Sets (or tests, with F_OFD_GETLK) a lock of the given type on one byte of the file (locks
// may lie beyond its end).
int lockByte(int descriptor, int command, short type, off_t byte, struct flock* out = nullptr) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    lock.l_pid = 0; // required for open-file-description locks
    const int result = ::fcntl(descriptor, command, &lock);
    if (out)
        *out = lock;
    return result;
}

bool heldByOther(int error) {
    return error == EAGAIN || error == EACCES;
}

// The permissions of the database file (so every administrator who can open the database can
// open its presence file), or the owner's alone when the database cannot be looked at.
mode_t presenceMode(const QString& databasePath) {
    struct stat info {};
    if (::stat(QFile::encodeName(databasePath).constData(), &info) == 0)
        return info.st_mode & 0666;
    return 0600;
}

int openPresenceFile(const QString& databasePath) {
    const QByteArray path = QFile::encodeName(PresenceHold::presencePath(databasePath));
    const mode_t mode = presenceMode(databasePath);
    int descriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, mode);
    if (descriptor >= 0) {
        // The creator's umask must not narrow what the database allows.
        struct stat info {};
        if (::fstat(descriptor, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 0666) != mode)
            ::fchmod(descriptor, mode);
        return descriptor;
    }
    // A presence file this user may only read still takes a shared hold.
    descriptor = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        throw DbError(DbError::kCannotOpen,
                      QStringLiteral("The presence file of the database '%1' cannot be "
                                     "opened (%2).")
                          .arg(databasePath, QString::fromLocal8Bit(::strerror(errno))));
    }
    return descriptor;
}

} // namespace

QString PresenceHold::presencePath(const QString& databasePath) {
    return databasePath + QStringLiteral(".presence");
}

std::shared_ptr<PresenceHold> PresenceHold::take(const QString& databasePath, int waitMs) {
    const int descriptor = openPresenceFile(databasePath);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (lockByte(descriptor, F_OFD_SETLK, F_RDLCK, kPresenceByte) == 0)
            return std::shared_ptr<PresenceHold>(new PresenceHold(databasePath, descriptor));
        const int error = errno;
        if (!heldByOther(error) || clock.elapsed() >= waitMs) {
            ::close(descriptor);
            if (!heldByOther(error)) {
                throw DbError(DbError::kCannotOpen,
                              QStringLiteral("The presence of the database '%1' cannot be recorded (%2).")
                                  .arg(databasePath, QString::fromLocal8Bit(::strerror(error))));
            }
            throw DbError(
                DbError::kFileInUse,
                QStringLiteral("Another program has the database '%1' to itself (it is changing its "
                               "password, compacting, restoring or moving it).  Try again in a "
                               "moment.")
                    .arg(databasePath));
        }
        QThread::msleep(kRetryMs);
    }
}

bool PresenceHold::isHeld(const QString& databasePath) {
    const int descriptor =
        ::open(QFile::encodeName(presencePath(databasePath)).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct flock found {};
    const bool held =
        lockByte(descriptor, F_OFD_GETLK, F_WRLCK, kPresenceByte, &found) == 0 && found.l_type != F_UNLCK;
    ::close(descriptor);
    return held;
}

PresenceHold::PresenceHold(QString databasePath, int descriptor)
    : databasePath_(std::move(databasePath))
    , descriptor_(descriptor) {}

PresenceHold::~PresenceHold() {
    ::close(descriptor_); // drops the lock
}

bool PresenceHold::takeForOwnUse() {
    if (ownUse_)
        return true;
    if (lockByte(descriptor_, F_OFD_SETLK, F_WRLCK, kPresenceByte) == 0) {
        ownUse_ = true;
        return true;
    }
    // A failed conversion leaves the shared lock as it was. A presence file opened only for
    // reading (EBADF) can never be had alone.
    const int error = errno;
    if (heldByOther(error) || error == EBADF)
        return false;
    throw DbError(DbError::kCannotOpen, QStringLiteral("The database '%1' cannot be taken for own use (%2).")
                                            .arg(databasePath_, QString::fromLocal8Bit(::strerror(error))));
}

void PresenceHold::share() {
    if (!ownUse_)
        return;
    // Turning a write lock into a read lock never waits for anyone.
    lockByte(descriptor_, F_OFD_SETLK, F_RDLCK, kPresenceByte);
    ownUse_ = false;
}

void PresenceHold::markRun(bool running) {
    // A shared lock never waits; its release neither.
    lockByte(descriptor_, F_OFD_SETLK, running ? F_RDLCK : F_UNLCK, kRunByte);
}

bool PresenceHold::otherProgramRuns() const {
    // The holds of this open file description never conflict with its own test.
    struct flock found {};
    return lockByte(descriptor_, F_OFD_GETLK, F_WRLCK, kRunByte, &found) == 0 && found.l_type != F_UNLCK;
}

} // namespace platform::db
