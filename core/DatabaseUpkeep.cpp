// Backup, restore and compaction of the master database; see DatabaseUpkeep.h.
#include "core/DatabaseUpkeep.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/MasterDatabaseTables.h"
#include "core/RunGuard.h"
#include "core/SharedDatabase.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cDB3.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/BusyPointer.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace core {

const QStringList kBudgetsStandardColumns{
    QStringLiteral("Budget_Name"),
    QStringLiteral("Active"),
    QStringLiteral("Storage"),
    QStringLiteral("LumiXL"),
    QStringLiteral("Budget_Date"),
    QStringLiteral("Admin_Name"),
    QStringLiteral("DB_Storage_Filename"),
    QStringLiteral("DB_Create_Date"),
    QStringLiteral("Budget_Description"),
    QStringLiteral("Budget_Period"),
    QStringLiteral("Period_Start_Date"),
    QStringLiteral("Period_End_Date"),
    QStringLiteral("Budget_Modified_Date"),
    QStringLiteral("DB_Storage_Path"),
};

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

const QString kFilter = QStringLiteral("Access files (*.MDB *.mdb)");
const QString kBackupPathSection = QStringLiteral("General");
const QString kBackupPathKey = QStringLiteral("BackupPath");

void tell(const QString& text) {
    platform::ui::msgBox(text, Buttons::Ok, appTitle());
}

bool askYes(const QString& text) {
    return platform::ui::msgBox(text, Buttons::YesNo, appTitle(), platform::ui::Icon::Question) ==
           Answer::Yes;
}

QString backupOfRecord() {
    return platform::sys::readSetting(platform::sys::settingsApplication(), kBackupPathSection,
                                      kBackupPathKey);
}

QString masterPath() {
    return gCnn ? gCnn->LumiCnnPath() : QString();
}
QString masterConnectionString() {
    return gCnn ? gCnn->LumiCnn() : QString();
}

// The folder a backup starts in: the folder of the backup of record; when that file has gone,
// its folder is made again (with any missing parents), and when that cannot be done the
// default folder is used.
QString backupStartFolder() {
    const QString record = backupOfRecord();
    if (record.isEmpty()) {
        const QString folder = DefaultBackupFolder();
        QDir().mkpath(folder);
        return folder;
    }
    const QFileInfo file(record);
    const QString folder = file.absolutePath();
    if (file.isFile() || QFileInfo(folder).isDir())
        return folder;
    if (QDir().mkpath(folder))
        return folder;
    const QString fallback = DefaultBackupFolder();
    QDir().mkpath(fallback);
    return fallback;
}

// Shows the backup dialog until the administrator picks an acceptable name or cancels. The
// rules apply to the file's own name, not to the folders above it.
std::optional<QString> chooseBackupTarget(const QString& startFolder) {
    for (;;) {
        const auto chosen =
            platform::ui::ui().saveFile({QStringLiteral("Backup the database"), kFilter, startFolder});
        if (!chosen || chosen->isEmpty())
            return std::nullopt;
        const QString name = QFileInfo(*chosen).fileName();
        if (name.compare(cConnection::kMasterFileName, Qt::CaseInsensitive) == 0) {
            tell(QStringLiteral("You can't use lumimaster.mdb as a backup filename."));
            continue;
        }
        if (name.split(QLatin1Char('.')).size() >= 3) {
            tell(QStringLiteral("Don't add or change the file extension."));
            continue;
        }
        return chosen;
    }
}

// The folder the restore dialog opens in, or no value when the administrator declined.
std::optional<QString> restoreStartFolder() {
    const QString record = backupOfRecord();
    if (record.isEmpty()) {
        if (!askYes(
                QStringLiteral("There is no backup on record.  Do you want to manually browse for a file?")))
            return std::nullopt;
        return QString();
    }
    const QFileInfo file(record);
    if (!file.isFile()) {
        if (!askYes(QStringLiteral("The backup of record is missing.  Do you want to browse for a file?")))
            return std::nullopt;
        return DefaultBackupFolder();
    }
    return file.absolutePath();
}

} // namespace

QString DefaultBackupFolder() {
    const QString dataFolder = gCnn ? gCnn->DataFolder() : QString();
    if (!dataFolder.isEmpty())
        return dataFolder + QStringLiteral("/Backup");
    return QFileInfo(masterPath()).absolutePath() + QStringLiteral("/Backup");
}

bool IsMasterDatabase(const QString& path, const QString& password) {
    platform::db::ConnectionString cs;
    cs.set(platform::db::ConnectionString::kProvider, cConnection::kProvider);
    cs.set(platform::db::ConnectionString::kDataSource, path);
    if (!password.isEmpty())
        cs.set(platform::db::ConnectionString::kDatabasePassword, password);
    bool master = false;
    try {
        platform::db::Connection connection;
        connection.open(cs);
        const auto budgets = connection.table(QStringLiteral("Budgets"));
        if (budgets && budgets->type == platform::db::TableType::Table &&
            budgets->columns.size() >= kBudgetsStandardColumns.size()) {
            master = true;
            for (qsizetype i = 0; i < kBudgetsStandardColumns.size(); ++i)
                master = master && budgets->columns[i].name.compare(kBudgetsStandardColumns[i],
                                                                    Qt::CaseInsensitive) == 0;
        }
    } catch (const platform::db::DbError&) {
        master = false;
    }
    // The check leaves no handle on the chosen file behind.
    platform::db::Connection::releaseIdleHandles(path);
    return master;
}

void BackupDatabase() {
    try {
        const auto target = chooseBackupTarget(backupStartFolder());
        if (!target)
            return;
        QDir().mkpath(QFileInfo(*target).absolutePath());
        platform::db::Connection master;
        master.open(masterConnectionString());
        master.backupTo(*target);
        master.close();
        platform::sys::writeSetting(platform::sys::settingsApplication(), kBackupPathSection, kBackupPathKey,
                                    *target);
        tell(QStringLiteral("The database backed up successfully."));
    } catch (const std::exception& error) {
        ShowErrorMessage(error, appTitle());
    }
}

void RestoreDatabase() {
    if (RunGuard::refuseDuringRun(appTitle()))
        return;
    const auto ownUse = TakeMasterDatabaseForOwnUse(QStringLiteral("The database can't be restored"));
    if (!ownUse)
        return;
    try {
        const auto startFolder = restoreStartFolder();
        if (!startFolder)
            return;
        const auto chosen =
            platform::ui::ui().openFile({QStringLiteral("Restore the database"), kFilter, *startFolder});
        if (!chosen || chosen->isEmpty())
            return;
        // A network backup carries the network database's password, so the file is opened
        // with the password of the database in use.
        const QString password = platform::db::ConnectionString::parse(masterConnectionString()).password();
        if (!IsMasterDatabase(*chosen, password)) {
            tell(QStringLiteral(
                "The file is not a master database of this program, or it does not open with the "
                "password of the database in use.  Nothing was restored."));
            return;
        }
        ReleaseSharedConnections();
        platform::db::Connection master;
        master.open(masterConnectionString());
        master.restoreFrom(*chosen);
        // A backup made by an earlier version comes without the indexes.
        AddMissingIndexes(master);
        master.close();
        tell(QStringLiteral("The database has been restored successfully."));
    } catch (const std::exception& error) {
        ShowErrorMessage(error, appTitle());
    }
}

void CompactDatabase() {
    if (RunGuard::refuseDuringRun(appTitle()))
        return;
    const auto ownUse = TakeMasterDatabaseForOwnUse(QStringLiteral("The database can't be compacted"));
    if (!ownUse)
        return;
    // The windows that show the master database's rows; those not loaded are left alone.
    UnloadForm(QStringLiteral("frmDataTable"));
    UnloadForm(QStringLiteral("frmWizard"));
    UnloadForm(QStringLiteral("frmMail"));
    try {
        ReleaseSharedConnections();
        platform::ui::BusyPointer::Guard busy;
        // Older versions compacted into this file and then swapped it in; one left behind
        // by an interrupted run is of no use any more.
        if (gCnn && QFileInfo(gCnn->LumiCnnPathTemp()).isFile())
            QFile::remove(gCnn->LumiCnnPathTemp());
        platform::db::Connection master;
        master.open(masterConnectionString());
        master.compact();
        master.close();
    } catch (const std::exception& error) {
        ShowErrorMessage(error, appTitle());
    }
}

} // namespace core
