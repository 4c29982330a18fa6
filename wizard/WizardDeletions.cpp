// See WizardDeletions.h.
#include "wizard/WizardDeletions.h"

#include "core/cConnection.h"
#include "core/cDB2.h"
#include "lumistore/cClean.h"
#include "platform/db/Recordset.h"
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

void DeleteWorksheetRecords(qint64 worksheetId) {
    core::cDB2 query;
    query.SetConnection();
    platform::db::Connection& cnn = query.Cnn();
    {
        platform::db::Transaction deletion(cnn);
        platform::db::Recordset sheet = platform::db::Recordset::open(
            cnn,
            QStringLiteral(
                "SELECT User_Filename, Budget_Name, Master_File FROM Worksheets WHERE ID_Worksheets = ?"),
            {worksheetId});
        if (sheet.eof())
            return;
        const QString userFile = sheet.value(0).toString();
        const QString budget = sheet.value(1).toString();
        // A duplicate worksheet row of the budget keeps the user file it shares.
        const bool shared =
            cnn.scalar(
                   QStringLiteral("SELECT COUNT(*) FROM Worksheets WHERE ID_Worksheets <> ? AND "
                                  "User_Filename = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U"),
                   {worksheetId, userFile, budget})
                .toLongLong() > 0;
        if (!userFile.isEmpty() && !shared)
            DeleteUserFileRecord(cnn, userFile, budget, sheet.value(2).toString());
        cnn.execute(QStringLiteral("DELETE FROM Worksheets WHERE ID_Worksheets = ?"), {worksheetId});
        deletion.commit();
    }
    sweep(QStringLiteral("Worksheets"));
}

} // namespace wizard
