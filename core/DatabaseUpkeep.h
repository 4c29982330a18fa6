// Upkeep of the master database file: backup to a file the administrator picks, restore from
// one, and compaction. None of them swaps the file under open connections: a backup is the
// engine's online copy of the live database, a restore copies the chosen file into the live
// database the same way after checking that it is a master database, and compaction is the
// engine's in-place rebuild, which keeps the key of a keyed database. Restore and compaction
// are refused while a run is under way, since they release the shared query objects, and on
// the network database while another administrator's program holds it (SharedDatabase.h).
#pragma once

#include "core/SharedDatabase.h" // setUpdateEngineRelease

#include <QString>
#include <QStringList>
#include <functional>

namespace core {

// Names of the fourteen standard columns with which every master database's Budgets table
// begins; a network database appends one grant column per administrator after them.
extern const QStringList kBudgetsStandardColumns;

// Asks for a file, copies the master database into it and keeps its path as the backup of
// record ("General" "BackupPath"). Reports its own success and failures.
void BackupDatabase();

// Asks for a backup file, checks that it is a master database and copies it into the master
// database. A file refused or a copy that failed leaves the master database as it was.
void RestoreDatabase();

// Closes the windows that show the master database, releases the query objects and
// compacts the master database in place. A left-over temporary copy from an older version
// ("lumimaster2.mdb" beside the master) is removed.
void CompactDatabase();

// True when the file is a database that opens with the password and whose Budgets table
// begins with the standard columns.
bool IsMasterDatabase(const QString& path, const QString& password);

// The folder a backup dialog opens in when there is no usable backup of record: "Backup" in
// the data folder (never the program's folder, which may not be written), or beside the master
// database when there is no connection descriptor.
QString DefaultBackupFolder();

} // namespace core
