// The worksheet records of the active master file in the budget context, kept in step with the
// workbook's sheets by the Sync dialog: the records' names, one record added for a sheet (with
// its master file's key, so it can be cut and merged), one record deleted, and all of them
// rebuilt from the workbook. Records are matched by the master file's and the budget's names
// exactly (letter case aside), so another master file whose name holds this one's is never
// touched. The rebuild checks the master file's row first and then deletes and writes in one
// transaction: it is done whole or not at all.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace platform::db {
class Connection;
}
namespace platform::sheet {
class Workbook;
}

namespace lumicell {

inline const QString kEmptySheetNameText =
    QStringLiteral("Select a worksheet in the Excel Worksheets list first.");

// The names of the records, sorted, without empty ones.
QStringList WorksheetRecordNames();

// Adds the record of the sheet unless the budget knows the name already (another master
// file's sheet of that name is refused, told). An empty name is refused, told. True when added.
bool AddWorksheetRecord(const QString& sheetName);

// The key of the first record bearing exactly that name (letter case counts), if there is one.
std::optional<qint64> WorksheetRecordId(platform::db::Connection& cnn, const QString& sheetName);

// Deletes the record bearing exactly that name; true when one was deleted.
bool DeleteWorksheetRecord(const QString& sheetName);

// Asked before the records are rebuilt while user files of the master file hold answers not
// merged yet (paths, one a line): the rebuild drops their records and assignments.
inline const QString kClearWaitingAnswersQuestion = QStringLiteral(
    "These user files of the workbook hold answers that have not been merged into it yet:\n%1\n"
    "Clear Records deletes their records and assignments, so that no update run merges those answers. "
    "Do you want to clear the records all the same?");

// Rebuilds the records from the workbook's sheets; the register of the master file's user files
// is emptied with them. Nothing changes when the budget does not hold exactly one row of the
// master file (told), nor when the administrator answers No to the question about user files
// whose answers are not merged yet. A sheet whose name another master file of the budget holds is told after
// the rebuild. A failure shows the generic error message and changes nothing.
void ResyncWorksheetRecords(const platform::sheet::Workbook& book);

} // namespace lumicell
