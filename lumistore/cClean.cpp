// See cClean.h.
#include "lumistore/cClean.h"

#include "lumistore/Failure.h"
#include "lumistore/Migration.h"
#include "lumistore/TableSweep.h"
#include "lumistore/WaitDisplay.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"

namespace lumistore {

namespace {

using platform::db::Connection;
using platform::db::DbError;
using platform::db::Recordset;

const QString kSweepingText = QStringLiteral("Checking and cleaning database tables.");
const QString kDeletingText = QStringLiteral("Deleting table records.");

Connection openConnection(const QString& connectionString) {
    Connection connection;
    connection.open(connectionString);
    return connection;
}

} // namespace

void cClean::SweepRecords(const QString& strLumiConnection, const QString& strTable) {
    raising([&] {
        WaitDisplay wait;
        Connection connection = openConnection(strLumiConnection);
        if (!strTable.isEmpty()) {
            sweepTable(connection, strTable);
            return;
        }
        const QStringList tables = listedTables(connection);
        int k = 1;
        for (const QString& table : tables) {
            wait.step(table, kSweepingText, int(tables.size()), k++);
            sweepTable(connection, table);
        }
    });
}

void cClean::InitializeTable(const QString& strLumiConnection, const QString& strTable) {
    raising([&] {
        WaitDisplay wait;
        Connection connection = openConnection(strLumiConnection);
        const platform::db::TableInfo table = requireTable(connection, strTable);
        platform::db::Transaction transaction(connection);
        Recordset rows = Recordset::open(connection, QStringLiteral("SELECT * FROM ") +
                                                         platform::db::quoteIdentifier(table.name));
        const int count = rows.recordCount();
        for (int c = 0; !rows.eof(); rows.moveNext(), ++c) {
            wait.step(strTable, kDeletingText, count, c);
            rows.deleteCurrent();
        }
        transaction.commit();
    });
}

void cClean::MigrateOldData(const QString& strLumiConnection, const QString& strOLumiConnection) {
    raising([&] {
        WaitDisplay wait;
        Connection target = openConnection(strLumiConnection);
        Connection source = openConnection(strOLumiConnection);
        Migration(target, source, wait).run();
    });
}

bool cClean::CheckForTable(const QString& strTableName, Connection* dbsdbstor) {
    return raising([&] {
        if (!dbsdbstor || !dbsdbstor->isOpen())
            throw DbError(DbError::kObjectClosed,
                          QStringLiteral("Operation is not allowed when the object is closed."));
        return hasExactTable(*dbsdbstor, strTableName);
    });
}

} // namespace lumistore
