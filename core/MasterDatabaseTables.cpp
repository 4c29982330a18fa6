// See MasterDatabaseTables.h. The scripts create each table and index only where it is missing,
// so running them on a current database changes nothing.
#include "core/MasterDatabaseTables.h"

#include "core/AddedTablesScript.h"
#include "core/IndexesScript.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <exception>

namespace core {

void AddMissingTables(platform::db::Connection& cnn) {
    platform::db::WriteStep step(cnn, QStringLiteral("added_tables"));
    cnn.executeScript(QString::fromUtf8(kAddedTablesScript));
    step.commit();
}

bool AddMissingIndexes(platform::db::Connection& cnn) {
    try {
        return cnn.tryExecuteScript(QString::fromUtf8(kIndexesScript), kIndexWaitMs);
    } catch (const std::exception&) {
        // A database this script does not fit (a table or column it names is missing) works on
        // without the indexes, as it did before them.
        return false;
    }
}

} // namespace core
