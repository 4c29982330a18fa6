// The machine's special folders on this platform; see SpecialFolders.h.
#include "platform/sys/SpecialFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform::sys {

namespace {
// An absolute folder named by an environment variable, or empty when it names none.
QString folderFromEnvironment(const char* name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty() || !QDir::isAbsolutePath(value))
        return {};
    return QDir::cleanPath(value);
}
} // namespace

QString commonFilesFolder() {
    QString folder = folderFromEnvironment("LUMIVANE_COMMON_FILES");
    if (folder.isEmpty())
        folder = folderFromEnvironment("XDG_DATA_HOME");
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/share");
    return folder;
}

QString programFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists the process's own link still names the file.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

QString folderPath(int folderId, bool create) {
    QString folder;
    switch (folderId) {
    case kCommonFilesFolderId:
        folder = commonFilesFolder();
        break;
    case kProgramFilesFolderId:
        folder = programFolder();
        break;
    default:
        return {};
    }
    if (folder.isEmpty())
        return {};
    if (QFileInfo(folder).isDir())
        return folder;
    if (create && QDir().mkpath(folder))
        return folder;
    return {};
}

} // namespace platform::sys
