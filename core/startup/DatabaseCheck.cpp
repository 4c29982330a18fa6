// See DatabaseCheck.h.
#include "core/startup/DatabaseCheck.h"

#include "core/cConnection.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QFileInfo>

namespace core {

bool FileFoundAs(const QString& path, const QString& expectedName) {
    const QFileInfo info(path);
    if (info.fileName() != expectedName)
        return false;
    const QStringList found = QDir(info.absolutePath()).entryList(QDir::Files);
    return found.contains(expectedName);
}

bool MasterDatabaseFound() {
    return gCnn && FileFoundAs(gCnn->LumiCnnPath(), cConnection::kMasterFileName);
}

bool PreviousDatabaseFound() {
    return gCnn && FileFoundAs(gCnn->OLumiCnnPath(), cConnection::kPreviousFileName);
}

QString DatabaseMissingText(const QString& path) {
    return QStringLiteral("The database file is missing.  Copy it to ") + path +
           QStringLiteral(" or re-install Lumivane.");
}

void SayDatabaseMissing() {
    platform::ui::msgBox(DatabaseMissingText(gCnn ? gCnn->LumiCnnPath() : QString()),
                         platform::ui::Buttons::Ok, QStringLiteral("Lumivane"));
}

} // namespace core
