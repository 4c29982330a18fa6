// Removing the rows that hang on a master workbook or on one user file, before the wizard
// deletes the master workbook's or the worksheet's own row. Rows are matched by exact names
// (ignoring case) and keys, never by a part of a name, so no other budget's, workbook's or
// user file's rows are touched.
#pragma once

#include <QString>
#include <QtGlobal>

namespace platform::db {
class Connection;
}

namespace wizard {

// Deletes, all or nothing, the user-file rows of every worksheet of the master workbook
// (picked or not: a row whose worksheet was unpicked after its file was built goes too) and
// the master workbook's Worksheets rows (by MasterFiles_ID). A table left without rows gets
// its placeholder row back. True when done; a failure shows the generic error message,
// deletes nothing and answers false.
bool CleanUpMasterFileRecords(const QString& masterFile, const QString& budget, qint64 masterFileId);

// Deletes the user-file row of that user file, budget and master workbook when exactly one
// row matches; deletes nothing when none or several do. A failure shows the generic error
// message.
void DeleteUserFileRecord(const QString& userFileName, const QString& budget, const QString& masterFile);

// The same two on a connection of the caller's, inside its transaction when one is open; a
// failure is thrown, with the step's own writes taken back.
void CleanUpMasterFileRecords(platform::db::Connection& cnn, const QString& masterFile, const QString& budget,
                              qint64 masterFileId);
void DeleteUserFileRecord(platform::db::Connection& cnn, const QString& userFileName, const QString& budget,
                          const QString& masterFile);

} // namespace wizard
