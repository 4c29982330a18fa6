// See TemporaryFile.h.
#include "platform/db/TemporaryFile.h"

#include "platform/db/DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::db {

namespace {

// A file is made under a staging name, locked, and only then given its working name, so a
// file under the working name without a lock has lost its owner. A staging name outlives the
// moment between the two only when its owner died in it.
const QString kStaging = QStringLiteral("~lvnew.");
const QString kWorking = QStringLiteral("~lvtmp.");
const QString kJournal = QStringLiteral("-journal");
constexpr qsizetype kUniqueLength = 6; // the XXXXXX of the name
// A staging file older than this has lost its owner.
constexpr time_t kStagingSeconds = 60;

DbError failure(const QString& text) {
    return DbError(DbError::kCannotOpen, text + QStringLiteral(" (") +
                                             QString::fromLocal8Bit(std::strerror(errno)) +
                                             QStringLiteral(")."));
}

// Takes the in-use mark: a write lock on the first byte; false when another holds it.
bool lockFirstByte(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// ".<name><marker>XXXXXX"
bool hasName(const QString& name, const QString& marker) {
    const qsizetype at = name.lastIndexOf(marker);
    return name.startsWith(QLatin1Char('.')) && at > 0 && name.size() - at - marker.size() == kUniqueLength;
}

int unlinkPath(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData());
}

void removeWithJournal(const QString& path) {
    unlinkPath(path);
    unlinkPath(path + kJournal);
}

void writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw failure(QStringLiteral("Could not write a temporary copy"));
        data += written;
        size -= written;
    }
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Removes the working file at path unless its owner still holds its lock.
void removeIfAbandoned(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return;
    if (lockFirstByte(fd))
        removeWithJournal(path);
    ::close(fd);
}

} // namespace

TemporaryFile::TemporaryFile(const QString& target) {
    const QFileInfo info(target);
    const QString stem = info.absolutePath() + QStringLiteral("/.") + info.fileName();
    QByteArray staging = QFile::encodeName(stem + kStaging + QString(kUniqueLength, QLatin1Char('X')));
    // mkostemp creates the file readable and writable by its owner only.
    fd_ = ::mkostemp(staging.data(), O_CLOEXEC);
    if (fd_ < 0)
        throw failure(QStringLiteral("Could not create a temporary file beside '") + target +
                      QLatin1Char('\''));
    const QString stagingPath = QFile::decodeName(staging);
    path_ = stem + kWorking + stagingPath.right(kUniqueLength);
    if (!lockFirstByte(fd_) || std::rename(staging.constData(), QFile::encodeName(path_).constData()) != 0) {
        const DbError error = failure(QStringLiteral("Could not prepare a temporary file beside '") + target +
                                      QLatin1Char('\''));
        unlinkPath(stagingPath);
        ::close(fd_);
        throw error;
    }
}

TemporaryFile::~TemporaryFile() {
    if (!placed_)
        removeWithJournal(path_);
    if (fd_ >= 0)
        ::close(fd_);
}

void TemporaryFile::copyFrom(const QString& source) {
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly)) {
        throw DbError(DbError::kCannotOpen, QStringLiteral("Could not read '") + source +
                                                QStringLiteral("' (") + from.errorString() +
                                                QStringLiteral(")."));
    }
    ::ftruncate(fd_, 0);
    ::lseek(fd_, 0, SEEK_SET);
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(1 << 20);
        if (chunk.isEmpty() && from.error() != QFileDevice::NoError)
            throw DbError(DbError::kCannotOpen,
                          QStringLiteral("Could not read '") + source + QStringLiteral("'."));
        writeAll(fd_, chunk.constData(), chunk.size());
    }
}

void TemporaryFile::replace(const QString& target, QFileDevice::Permissions mode) {
    mode_t bits = 0;
    const std::pair<QFileDevice::Permission, mode_t> map[] = {
        {QFileDevice::ReadOwner, S_IRUSR}, {QFileDevice::WriteOwner, S_IWUSR},
        {QFileDevice::ReadGroup, S_IRGRP}, {QFileDevice::WriteGroup, S_IWGRP},
        {QFileDevice::ReadOther, S_IROTH}, {QFileDevice::WriteOther, S_IWOTH}};
    for (const auto& [permission, bit] : map) {
        if (mode.testFlag(permission))
            bits |= bit;
    }
    if (::fchmod(fd_, bits) != 0 || ::fsync(fd_) != 0)
        throw failure(QStringLiteral("Could not prepare '") + path_ + QLatin1Char('\''));
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target).constData()) != 0)
        throw failure(QStringLiteral("Could not replace '") + target + QLatin1Char('\''));
    placed_ = true;
    syncFolder(QFileInfo(target).absolutePath());
}

void TemporaryFile::removeAbandoned(const QString& folder) {
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*~lv*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (hasName(name, kWorking)) {
            removeIfAbandoned(path);
        } else if (name.endsWith(kJournal) && hasName(name.chopped(kJournal.size()), kWorking)) {
            // A journal outlives its file only when the file's owner is gone.
            if (!QFileInfo::exists(path.chopped(kJournal.size())))
                unlinkPath(path);
        } else if (hasName(name, kStaging)) {
            struct stat facts {};
            if (::stat(QFile::encodeName(path).constData(), &facts) == 0 &&
                std::time(nullptr) - facts.st_mtime > kStagingSeconds)
                unlinkPath(path);
        }
    }
}

} // namespace platform::db
