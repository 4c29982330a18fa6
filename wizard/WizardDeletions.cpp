// See WizardDeletions.h.
#include "wizard/WizardDeletions.h"

#include "core/cConnection.h"
#include "core/cDB2.h"
#include "lumistore/cClean.h"
#include "platform/db/Transaction.h"
#include "wizard/MasterFileCleanUp.h"

namespace wizard {

namespace {

void sweep(const QString& table) {
    lumistore::cClean clean;
    clean.SweepRecords(core::gCnn->LumiCnn(), table);
}

} // namespace

void DeleteMasterFileRecords(const QString& masterFile, const QString& budget, qint64 masterFileId) {
    core::cDB2 query;
    query.SetConnection();
    platform::db::Connection& cnn = query.Cnn();
    {
        platform::db::Transaction deletion(cnn);
        CleanUpMasterFileRecords(cnn, masterFile, budget, masterFileId);
        cnn.execute(QStringLiteral("DELETE FROM MasterFiles WHERE ID_MasterFiles = ?"), {masterFileId});
        deletion.commit();
    }
    sweep(QStringLiteral("MasterFiles"));
}

void DeleteWorksheetRecords(const QString& worksheet, const QString& budget, const QString& masterFile,
                            const QString& userFile) {
    core::cDB2 query;
    query.SetConnection();
    platform::db::Connection& cnn = query.Cnn();
    {
        platform::db::Transaction deletion(cnn);
        if (!userFile.isEmpty())
            DeleteUserFileRecord(cnn, userFile, budget, masterFile);
        cnn.execute(
            QStringLiteral("DELETE FROM Worksheets WHERE Worksheet_Name = ? COLLATE NOCASE_U "
                           "AND Budget_Name = ? COLLATE NOCASE_U AND Master_File = ? COLLATE NOCASE_U"),
            {worksheet, budget, masterFile});
        deletion.commit();
    }
    sweep(QStringLiteral("Worksheets"));
}

} // namespace wizard
