// Advisory locks and lock files of open workbooks.
#include "platform/sheet/model/WorkbookLock.h"

#include "platform/sys/FileFacts.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform::sheet {

namespace {

struct flock wholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    lock.l_pid = 0;
    return lock;
}

} // namespace

WorkbookLock::WorkbookLock(QString path)
    : path_(std::move(path)) {}

std::unique_ptr<WorkbookLock> WorkbookLock::acquire(const QString& path) {
    if (isInUse(path))
        return nullptr;
    std::unique_ptr<WorkbookLock> lock(new WorkbookLock(QFileInfo(path).absoluteFilePath()));
    if (!lock->lockFile())
        return nullptr;
    lock->writeLockFile();
    return lock;
}

bool WorkbookLock::lockFile() {
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock lock = wholeFile(F_WRLCK);
    if (fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        ::close(fd);
        return false;
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    return true;
}

void WorkbookLock::writeLockFile() {
    // Written over a stale lock file that a killed program of ours left behind. Written aside
    // and renamed into place: a program killed while writing it must not leave an empty or
    // partial lock file, which names no process and so would count as in use for ever.
    lockFileContent_ = platform::sys::OwnLockFileContent();
    QSaveFile file(lockFilePath(path_));
    if (file.open(QIODevice::WriteOnly) && file.write(lockFileContent_) == lockFileContent_.size())
        file.commit();
}

void WorkbookLock::renew() {
    lockFile();
}

WorkbookLock::~WorkbookLock() {
    // Remove the lock file only while it is still ours.
    QFile file(lockFilePath(path_));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray content = file.readAll();
        file.close();
        if (content == lockFileContent_)
            QFile::remove(file.fileName());
    }
    if (fd_ >= 0)
        ::close(fd_);
}

QString WorkbookLock::lockFilePath(const QString& path) {
    return platform::sys::WorkbookLockFilePath(path);
}

bool WorkbookLock::isInUse(const QString& path) {
    return platform::sys::IsFileInUse(path);
}

} // namespace platform::sheet
