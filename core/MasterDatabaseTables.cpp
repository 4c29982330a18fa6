// See MasterDatabaseTables.h. The script creates each table only where it is missing, so running
// it on a current database changes nothing.
#include "core/MasterDatabaseTables.h"

#include "core/AddedTablesScript.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

namespace core {

void AddMissingTables(platform::db::Connection& cnn) {
    platform::db::WriteStep step(cnn, QStringLiteral("added_tables"));
    cnn.executeScript(QString::fromUtf8(kAddedTablesScript));
    step.commit();
}

} // namespace core
