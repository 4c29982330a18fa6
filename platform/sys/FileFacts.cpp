// File-system facts; see FileFacts.h. Birth times come from statx, which reports whether the
// file system keeps one; locks are probed with open-file-description locks, the kind the
// workbook layer takes and other processes see.
#include "platform/sys/FileFacts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::sys {

namespace {

// The time of a file that was never written, as a directory listing reports it.
QDateTime neverWritten() {
    return QDateTime(QDate(1601, 1, 1), QTime(0, 0));
}

QDateTime toSecond(const QDateTime& time) {
    return QDateTime::fromSecsSinceEpoch(time.toSecsSinceEpoch());
}

// The entry of that name in the folder: the exact name when there is one, else the first
// entry (in name order) whose name is equal without regard to case.
QString entryIn(const QString& folder, const QString& name) {
    if (name.isEmpty() || name == u"." || name == u"..")
        return QFileInfo::exists(folder + u'/' + name) ? name : QString();
    if (QFileInfo::exists(folder + u'/' + name))
        return name;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}

// The path of the entry that path names, each part resolved by entryIn; empty when a part
// is missing.
QString resolve(const QString& path) {
    if (path.isEmpty())
        return {};
    if (QFileInfo::exists(path))
        return path;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QStringList parts = absolute.split(u'/', Qt::SkipEmptyParts);
    QString found; // "" stands for the root
    for (const QString& part : parts) {
        const QString entry = entryIn(found.isEmpty() ? QStringLiteral("/") : found, part);
        if (entry.isEmpty())
            return {};
        found += u'/' + entry;
    }
    return found.isEmpty() ? QStringLiteral("/") : found;
}

QDateTime birthTime(const QString& path) {
    struct statx facts {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BTIME | STATX_MTIME, &facts) == 0 &&
        (facts.stx_mask & STATX_BTIME) != 0)
        return QDateTime::fromSecsSinceEpoch(facts.stx_btime.tv_sec);
    return {};
}

QString withoutFinalSlash(QString path) {
    if (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool hasOwnerFile(const QFileInfo& file) {
    const QString folder = file.absolutePath() + u'/';
    const QString name = file.fileName();
    // A spreadsheet program names the owner file after the workbook, with its first two
    // characters replaced when the name is long.
    return QFileInfo::exists(folder + QStringLiteral("~$") + name) ||
           (name.size() > 2 && QFileInfo::exists(folder + QStringLiteral("~$") + name.mid(2)));
}

bool isLocked(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    const bool locked = fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

const QString kOwnLockMarker = QStringLiteral("lumivane-pid:");

QString systemUserName() {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

// Whether a process of that id runs on this machine; one we may not signal still runs.
bool processRuns(qint64 pid) {
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

FindData GetFindData(const QString& path) {
    FindData data;
    data.created = neverWritten();
    data.modified = neverWritten();
    const QString found = resolve(path);
    if (found.isEmpty())
        return data;
    const QFileInfo info(found);
    data.found = true;
    data.name = info.fileName();
    data.path = found;
    data.isFolder = info.isDir();
    data.size = info.isDir() ? 0 : info.size();
    data.modified = toSecond(info.lastModified());
    const QDateTime born = birthTime(found);
    data.created = born.isValid() ? born : data.modified;
    return data;
}

bool FolderExists(const QString& path, const QString& folderName) {
    const FindData data = GetFindData(path);
    return folderName.compare(data.found ? data.name : QString(), Qt::CaseInsensitive) == 0;
}

void MakeFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.exists())
        throw FileError(QStringLiteral("The folder '%1' could not be made: an entry of that name exists.")
                            .arg(path)
                            .toStdString());
    if (!QFileInfo(info.absolutePath()).isDir())
        throw FileError(QStringLiteral("The folder '%1' could not be made: its parent folder does not exist.")
                            .arg(path)
                            .toStdString());
    if (!QDir().mkdir(info.absoluteFilePath()))
        throw FileError(QStringLiteral("The folder '%1' could not be made: the file system refused it.")
                            .arg(path)
                            .toStdString());
}

void CopyFileReplacing(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("The file '%1' could not be read: %2")
                            .arg(source, in.errorString())
                            .toStdString());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 || !out.commit())
        throw FileError(QStringLiteral("The file '%1' could not be written: %2")
                            .arg(target, out.errorString())
                            .toStdString());
    QFile::setPermissions(target, in.permissions());
}

QString WorkbookLockFilePath(const QString& path) {
    const QFileInfo info(withoutFinalSlash(StripQuotes(path)));
    return info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + u'#';
}

QByteArray OwnLockFileContent() {
    // The fields LibreOffice writes: its user name (none), the system user, the host, the time
    // the lock was taken, the holder's profile; then a semicolon. Our profile field names the
    // holding process, so that a lock file whose program was killed can be told apart.
    return QStringLiteral(",%1,%2,%3,%4%5;")
        .arg(systemUserName(), QSysInfo::machineHostName(),
             QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm")), kOwnLockMarker)
        .arg(QCoreApplication::applicationPid())
        .toUtf8();
}

bool IsStaleLockFile(const QString& lockFilePath) {
    QFile file(lockFilePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QStringList fields = QString::fromUtf8(file.read(4096)).trimmed().split(u',');
    if (fields.size() != 5 || fields[2] != QSysInfo::machineHostName())
        return false;
    QString profile = fields[4];
    if (!profile.endsWith(u';') || !profile.startsWith(kOwnLockMarker))
        return false;
    profile.chop(1);
    bool number = false;
    const qint64 pid = profile.mid(kOwnLockMarker.size()).toLongLong(&number);
    return number && pid > 0 && !processRuns(pid);
}

bool IsFileInUse(const QString& rawPath) {
    const QString path = withoutFinalSlash(StripQuotes(rawPath));
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return false;
    const QString lockFile = WorkbookLockFilePath(path);
    return (QFileInfo::exists(lockFile) && !IsStaleLockFile(lockFile)) || hasOwnerFile(info) ||
           isLocked(path);
}

QDateTime GetFileCreatedTime(const QString& path) {
    return GetFindData(path).created;
}

QString GetFileCreatedText(const QString& path) {
    return DateText(GetFileCreatedTime(path));
}

QDateTime GetFileModifiedText(const QString& path) {
    return GetFindData(path).modified;
}

QString DateText(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QStringLiteral("%1/%2/%3 %4:%5:%6")
        .arg(d.month())
        .arg(d.day())
        .arg(d.year())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second());
}

QString GetPathPart(const QString& path, int part) {
    if (path.isEmpty())
        throw std::invalid_argument("An empty path has no parts.");
    const qsizetype slash = path.lastIndexOf(u'/');
    if (part == 0)
        return slash < 0 ? QString() : path.left(slash);
    if (part == 1)
        return path.mid(slash + 1);
    return {};
}

QString StripQuotes(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(u'"') && trimmed.endsWith(u'"'))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

} // namespace platform::sys
