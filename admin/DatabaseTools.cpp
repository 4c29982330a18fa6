// See DatabaseTools.h.
#include "admin/DatabaseTools.h"

#include "admin/AdminServices.h"
#include "admin/ConfigGridSupport.h"
#include "admin/frmConfigure.h"
#include "core/AppTitle.h"
#include "core/ClearDataTables.h"
#include "core/DatabaseUpkeep.h"
#include "core/RunGuard.h"
#include "core/SharedDatabase.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "lumistore/cClean.h"
#include "platform/ui/Ui.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace admin {

namespace {

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

bool refusedDuringRun() {
    return core::RunGuard::refuseDuringRun(core::appTitle());
}

// Compaction and restore change the whole file. On a network database no other administrator
// may be working on it: the core services' compaction and restore check that themselves.
bool mayRebuildDatabase() {
    return !refusedDuringRun();
}

} // namespace

bool DeleteOldDatabase() {
    if (refusedDuringRun())
        return false;
    bool deleted = false;
    detail::trapped([&] {
        if (!core::gCnn)
            throw std::runtime_error("The connection descriptor is not set up.");
        const QFileInfo old(core::gCnn->OLumiCnnPath());
        if (!old.isFile() ||
            old.fileName().compare(core::cConnection::kPreviousFileName, Qt::CaseInsensitive) != 0) {
            tell(frmConfigure::kFileNotFoundText);
            return;
        }
        QFile file(old.filePath());
        if (!file.remove())
            throw std::runtime_error(QStringLiteral("%1 could not be deleted: %2")
                                         .arg(old.filePath(), file.errorString())
                                         .toStdString());
        deleted = true;
        tell(frmConfigure::kOldDatabaseDeletedText);
    });
    return deleted;
}

bool CompactTool() {
    if (!mayRebuildDatabase())
        return false;
    core::CompactDatabase();
    return true;
}

bool ClearDatabaseTool() {
    if (refusedDuringRun())
        return false;
    bool ran = false;
    detail::trapped([&] {
        core::ClearDataTables();
        ran = true;
    });
    return ran;
}

bool SweepTool() {
    if (refusedDuringRun())
        return false;
    bool ran = false;
    detail::trapped([&] {
        lumistore::cClean().SweepRecords(detail::masterConnection(), QString());
        ran = true;
    });
    return ran;
}

bool BackupTool() {
    if (refusedDuringRun())
        return false;
    core::BackupDatabase();
    return true;
}

bool RestoreTool() {
    if (!mayRebuildDatabase())
        return false;
    // The database stays the program's own from the restore to the end of the compaction.
    const auto ownUse = core::TakeMasterDatabaseForOwnUse(QStringLiteral("The database can't be restored"));
    if (!ownUse)
        return false;
    core::RestoreDatabase();
    core::CompactDatabase();
    return true;
}

} // namespace admin
