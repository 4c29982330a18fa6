// See MasterFileCleanUp.h. Both routines write through a query object of their own inside one
// write step, so a failure half way leaves every row where it was.
#include "wizard/MasterFileCleanUp.h"

#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"

namespace wizard {

namespace {

// The user-file rows of the master's worksheets: the worksheet rows are taken by the master's
// key, the user-file rows by the master's name and budget as well, since they carry no key.
const QString kDeleteUserFiles =
    QStringLiteral("DELETE FROM UserFileTablesData WHERE Master_File = ? COLLATE NOCASE_U "
                   "AND Budget_Name = ? COLLATE NOCASE_U AND EXISTS (SELECT 1 FROM Worksheets "
                   "WHERE Worksheets.MasterFiles_ID = ? AND Worksheets.User_Filename <> '' "
                   "AND Worksheets.User_Filename = UserFileTablesData.User_Filename COLLATE NOCASE_U)");
const QString kDeleteWorksheets = QStringLiteral("DELETE FROM Worksheets WHERE MasterFiles_ID = ?");
const QString kPlaceholderUserFile = QStringLiteral("INSERT INTO UserFileTablesData (User_Filename) SELECT ? "
                                                    "WHERE NOT EXISTS (SELECT 1 FROM UserFileTablesData)");
const QString kPlaceholderWorksheet = QStringLiteral(
    "INSERT INTO Worksheets (Worksheet_Name) SELECT ? WHERE NOT EXISTS (SELECT 1 FROM Worksheets)");

// A worksheet without a master workbook name has its user file's row without one too.
const QString kUserFileRows =
    QStringLiteral("SELECT ID_UFTD FROM UserFileTablesData WHERE User_Filename = ? COLLATE NOCASE_U "
                   "AND Budget_Name = ? COLLATE NOCASE_U AND IFNULL(Master_File, '') = IFNULL(?, '') "
                   "COLLATE NOCASE_U");

} // namespace

void CleanUpMasterFileRecords(platform::db::Connection& cnn, const QString& masterFile, const QString& budget,
                              qint64 masterFileId) {
    platform::db::WriteStep step(cnn, QStringLiteral("master_file_cleanup"));
    cnn.execute(kDeleteUserFiles, {masterFile, budget, masterFileId});
    cnn.execute(kDeleteWorksheets, {masterFileId});
    cnn.execute(kPlaceholderUserFile, {platform::sys::kPlaceholderText});
    cnn.execute(kPlaceholderWorksheet, {platform::sys::kPlaceholderText});
    step.commit();
}

void DeleteUserFileRecord(platform::db::Connection& cnn, const QString& userFileName, const QString& budget,
                          const QString& masterFile) {
    if (userFileName.isEmpty())
        return;
    platform::db::WriteStep step(cnn, QStringLiteral("user_file_deletion"));
    const QVariant rows = cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM (") + kUserFileRows + u')',
                                     {userFileName, budget, masterFile});
    if (rows.toLongLong() != 1)
        return;
    cnn.execute(QStringLiteral("DELETE FROM UserFileTablesData WHERE ID_UFTD IN (") + kUserFileRows + u')',
                {userFileName, budget, masterFile});
    step.commit();
}

bool CleanUpMasterFileRecords(const QString& masterFile, const QString& budget, qint64 masterFileId) {
    try {
        core::cDB2 query;
        query.SetConnection();
        CleanUpMasterFileRecords(query.Cnn(), masterFile, budget, masterFileId);
        return true;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

void DeleteUserFileRecord(const QString& userFileName, const QString& budget, const QString& masterFile) {
    try {
        core::cDB2 query;
        query.SetConnection();
        DeleteUserFileRecord(query.Cnn(), userFileName, budget, masterFile);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace wizard
