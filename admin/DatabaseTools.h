// The database tools of the configuration window: delete the previous database file, compact,
// clear with questions, sweep the placeholder rows, back up and restore. Every tool is refused
// with a short message while a long run is under way, since each changes or replaces what the
// run works on. Compaction and restore keep the database's password and work on the live file
// without replacing it under other connections; on a network database they also need that no
// other administrator is connected (the core services check it, core/SharedDatabase.h).
//
// Each answers whether it ran (so the window knows to show the tables again); failures are
// shown with the program's error message.
#pragma once

namespace admin {

bool DeleteOldDatabase();
bool CompactTool();
bool ClearDatabaseTool();
bool SweepTool();
bool BackupTool();
// Restores a backup into the master database and then compacts it.
bool RestoreTool();

} // namespace admin
