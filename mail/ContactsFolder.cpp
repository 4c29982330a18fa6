// See ContactsFolder.h.
#include "mail/ContactsFolder.h"

#include "platform/sys/SettingsStore.h"
#include "platform/sys/SpecialFolders.h"

#include <QDir>

namespace mail {

QString ContactsFolder() {
    const QString chosen = platform::sys::readSetting(platform::sys::settingsApplication(),
                                                      QStringLiteral("Options"), kContactsFolderKey);
    if (!chosen.trimmed().isEmpty())
        return QDir::cleanPath(chosen.trimmed());
    const QString folder = platform::sys::commonFilesFolder() + QStringLiteral("/Lumidesk/Contacts");
    QDir().mkpath(folder);
    return folder;
}

} // namespace mail
