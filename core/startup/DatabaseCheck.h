// The master-database check that the desktop program's start-up and the add-in's start both
// make: the database files are looked up in their folder under exactly their expected names
// (the folder is listed and the name must match letter for letter, so "LumiMaster.mdb" is not
// taken for "lumimaster.mdb"), and a missing master database is told with where to copy it.
#pragma once

#include <QString>

namespace core {

bool FileFoundAs(const QString& path, const QString& expectedName);

// The master database of gCnn (LumiCnnPath) is there as lumimaster.mdb.
bool MasterDatabaseFound();
// The previous database of gCnn (OLumiCnnPath) is there as oldlumimaster.mdb.
bool PreviousDatabaseFound();

// "The database file is missing.  Copy it to <path> or re-install Lumivane.", titled
// "Lumivane" in both programs.
QString DatabaseMissingText(const QString& path);
void SayDatabaseMissing();

} // namespace core
