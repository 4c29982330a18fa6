// The errors table: the processing log in the master database in which cutting, checking
// and merging user files record the problems they meet (a missing or busy file, a value cut
// short, a damaged formula, a record too long). This file holds the table's definition, its
// reset and the three writers.
//
// The writers add one row each without reading the table, so a write costs the same however
// long the log has grown. Every text is cut to the size of its column before it is stored.
// A failure to store the row is thrown to the caller (platform::db::DbError), whose own
// handler reports it; a failure while letting go of the recordset afterwards is reported
// here and answers false.
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <vector>

namespace platform::db {
class Connection;
}

namespace core {

// The table's definition; the master database's schema script holds the same statement.
extern const QString kErrorsTableDefinition;
inline const QString kErrorsTableName = QStringLiteral("Errors");

// Drops the Errors table (when there is one) and creates it empty, in one transaction, so a
// failure leaves the old table as it was. Closes the Budgets Explorer and the wizard first.
// Refused during a run. Reports its own failures; writes "Runtime" "UncorrectedErrors" = "0"
// after a successful reset.
void ResetErrorsTable();

// True when the connection's database has a table (not a view) of that name, compared
// without regard to case.
bool TableExists(const QString& name, platform::db::Connection& connection);

// The text unchanged when it has fewer than 256 characters, else its first 255.
QString TruncateTo255(const QString& text);

// A cell problem of the update run. The budget is the current budget context. cellAddress
// is the cell in A1 notation (Null stores Null). formulaError: a change left because the
// master cell holds a formula; protectedError: a change left because the master cell is locked;
// syncError: a change left because the administrator changed the master cell after it was
// compared (masterValue is then the cell's value now).
bool LogCellError(qint32 row, qint32 column, bool truncateError, bool corruptError, bool recordLengthError,
                  const QVariant& cellAddress, const QString& userFileName, const QString& userFileSheet,
                  const QString& masterSheet, const QString& masterFileName, const QString& masterValue,
                  const QString& changedValue, bool formulaError = false, bool protectedError = false,
                  bool syncError = false);

// The fields of LogCellError, for the rows of several cells.
struct CellError {
    qint32 row = 0;
    qint32 column = 0;
    bool truncateError = false;
    bool corruptError = false;
    bool recordLengthError = false;
    QVariant cellAddress;
    QString userFileName;
    QString userFileSheet;
    QString masterSheet;
    QString masterFileName;
    QString masterValue;
    QString changedValue;
    bool formulaError = false;
    bool protectedError = false;
    bool syncError = false;
};

// The rows of several cell problems of one user file, in one transaction: one wait for the
// disk, however many cells. A failure is thrown, the rows before it kept.
bool LogCellErrors(const std::vector<CellError>& errors);

// A user file that was not found.
bool LogFileMissingError(const QString& userFileName, bool fileMissing, const QString& budgetName);

// A master workbook the update run cannot write: it is protected by a file-open password and
// no write password is stored for it (Protected_Error).
bool LogMasterPasswordError(const QString& masterFileName, const QString& budgetName);

// A user file the update run could not merge as a whole (it cannot be read, it lacks the
// sheet of its master, another budget records it too): UFPassArrayFailed, with the reason and
// the file's last-write time (lastWrite) in Change_Value. Written once per version of the file:
// nothing when the file and budget have such a row with the same reason and time already.
bool LogUserFileError(const QString& userFileName, const QString& masterFileName, const QString& reason,
                      const QString& budgetName, const QDateTime& lastWrite);

// A master workbook the update run could not save: its name, and the reason in Change_Value.
bool LogMasterSaveError(const QString& masterFileName, const QString& reason, const QString& budgetName);

// A file that was open elsewhere.
bool LogFileInUseError(const QString& masterFileName, const QString& userFileName, bool fileInUse,
                       const QString& budgetName);

} // namespace core
