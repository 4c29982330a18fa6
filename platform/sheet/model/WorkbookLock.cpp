// Advisory locks and lock files of open workbooks.
#include "platform/sheet/model/WorkbookLock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>
#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace platform::sheet {

namespace {

QString userName() {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString cleanPath(QString path) {
    path = path.trimmed();
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
        path = path.mid(1, path.size() - 2);
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

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
    // The fields LibreOffice writes: its user name, the system user, the host, the time the
    // lock was taken, the holder's profile; then a semicolon.
    lockFileContent_ = QStringLiteral(",%1,%2,%3,;")
                           .arg(userName(), QSysInfo::machineHostName(),
                                QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm")))
                           .toUtf8();
    QFile file(lockFilePath(path_));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(lockFileContent_);
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
    const QFileInfo info(cleanPath(path));
    return info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + u'#';
}

bool WorkbookLock::isInUse(const QString& rawPath) {
    const QString path = cleanPath(rawPath);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    if (QFileInfo::exists(lockFilePath(path)))
        return true;
    const QString folder = info.absolutePath() + u'/';
    const QString name = info.fileName();
    if (QFileInfo::exists(folder + QStringLiteral("~$") + name) ||
        (name.size() > 2 && QFileInfo::exists(folder + QStringLiteral("~$") + name.mid(2))))
        return true;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe = wholeFile(F_WRLCK);
    const bool locked = fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

} // namespace platform::sheet
