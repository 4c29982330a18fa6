// cClean: keeps the data tables of a master database in shape. Every table named in the
// database's TablesList keeps at least one row: an empty one holds one placeholder row
// ("<Dummy record>" in its first column), which goes as soon as a real row exists. cClean
// sweeps the tables to that rule, empties a table, copies the data of a previous database
// into a new one, and tells whether a database has a table of a given name.
//
// Each operation opens its own connection from the connection string it is given and
// shows the program's wait window while it works (WaitWindowHooks.h). Failures are not
// caught: they reach the caller as a LumistoreError with the engine's number and description.
#pragma once

#include "lumistore/LumistoreExport.h"

#include <QString>

namespace platform::db {
class Connection;
}

namespace lumistore {

class LUMISTORE_EXPORT cClean {
public:
    // Sweeps one table, or with an empty name every table of TablesList, in the list's
    // order: a table without real rows is left with exactly one placeholder row; a table
    // with real rows loses every placeholder row. Each table is swept in one transaction.
    void SweepRecords(const QString& strLumiConnection, const QString& strTable = {});

    // Deletes every row of the table, all or nothing; adds no placeholder row.
    void InitializeTable(const QString& strLumiConnection, const QString& strTable);

    // Copies every table of the new database's TablesList that the previous database has,
    // column by column position, leaving the new table's "ID_" key columns to number
    // themselves and skipping placeholder rows; then links the worksheets to their master
    // workbooks again by key, and gives old mail accounts without a record type the one the
    // user chooses ("Is the <name> record an Author?"). The questions are asked first; the
    // writing then runs in one transaction on the new database, so a failure leaves it as it
    // was (and is raised). The previous database is only read.
    void MigrateOldData(const QString& strLumiConnection, const QString& strOLumiConnection);

    // True when the database of the open connection has a table (not a view) of exactly
    // that name (letter case counts). The connection stays open. No connection, or a closed
    // one, raises.
    bool CheckForTable(const QString& strTableName, platform::db::Connection* dbsdbstor = nullptr);
};

} // namespace lumistore
