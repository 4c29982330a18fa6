// Temporary: replaced by the intake routines.
#include "platform/db/Connection.h"
#include "wizard/BuildAllUserFiles.h"
#include "wizard/MasterFileCleanUp.h"
#include "wizard/MasterFileIntake.h"

namespace wizard {
void AddMasterBudgetFiles() {}
bool BuildAllUserFiles(bool, bool) {
    return false;
}
bool CleanUpMasterFileRecords(platform::db::Connection&, const QString&, const QString&, qint64) {
    return false;
}
void DeleteUserFileRecord(platform::db::Connection&, const QString&, const QString&, const QString&) {}
} // namespace wizard
