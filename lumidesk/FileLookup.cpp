// See FileLookup.h.
#include "lumidesk/FileLookup.h"

#include <QDir>
#include <QFileInfo>

namespace lumidesk {

bool FileFoundAs(const QString& path, const QString& expectedName) {
    const QFileInfo info(path);
    if (info.fileName() != expectedName)
        return false;
    const QStringList found = QDir(info.absolutePath()).entryList(QDir::Files);
    return found.contains(expectedName);
}

} // namespace lumidesk
