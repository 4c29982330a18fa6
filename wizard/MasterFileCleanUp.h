// Removing the rows that depend on one master workbook or one user file.
#pragma once

#include <QString>

namespace platform::db {
class Connection;
}

namespace wizard {

// Deletes, in the database of cnn, every user-file row of the master workbook's worksheets
// and its Worksheets rows (by the master's key), inside the caller's transaction when one is
// open; placeholder rows come back in a table left empty. False after the error message.
bool CleanUpMasterFileRecords(platform::db::Connection& cnn, const QString& masterFile, const QString& budget,
                              qint64 masterFileId);

// Deletes the user-file row of that name, budget and master workbook (exact, letter case
// aside) when exactly one row matches.
void DeleteUserFileRecord(platform::db::Connection& cnn, const QString& userFileName, const QString& budget,
                          const QString& masterFile);

} // namespace wizard
