// See RelinkAllBudgets.h.
#include "wizard/RelinkAllBudgets.h"

#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"

namespace wizard {

namespace {

const QString kBudgetsQuery = QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name is not null");
const QString kMasterFilesOfBudget = QStringLiteral(
    "SELECT ID_MasterFiles, Master_File FROM MasterFiles WHERE Budget_Name = ? COLLATE NOCASE_U");
const QString kRelinkWorksheets =
    QStringLiteral("UPDATE Worksheets SET MasterFiles_ID = ? WHERE Master_File = ? COLLATE NOCASE_U "
                   "AND Budget_Name = ? COLLATE NOCASE_U");

} // namespace

void RelinkMasterFileIds(const QString& budget, platform::db::Connection& cnn) {
    platform::db::Recordset masterFiles = platform::db::Recordset::open(cnn, kMasterFilesOfBudget, {budget});
    for (; !masterFiles.eof(); masterFiles.moveNext()) {
        if (masterFiles.isNull(QStringLiteral("Master_File")))
            continue;
        cnn.execute(kRelinkWorksheets, {masterFiles.value(QStringLiteral("ID_MasterFiles")),
                                        masterFiles.value(QStringLiteral("Master_File")), budget});
    }
}

void RelinkAllBudgets() {
    try {
        core::gDB2 = std::make_unique<core::cDB2>();
        platform::db::Recordset budgets;
        if (core::gDB2->GetRecordset(kBudgetsQuery, budgets) == core::QueryObject::kRows) {
            platform::db::Connection& cnn = core::gDB2->Cnn();
            platform::db::Transaction transaction(cnn);
            for (; !budgets.eof(); budgets.moveNext()) {
                const QString budget = budgets.value(QStringLiteral("Budget_Name")).toString();
                if (budget != platform::sys::kPlaceholderText)
                    RelinkMasterFileIds(budget, cnn);
            }
            transaction.commit();
        }
        budgets.close();
        core::gDB2.reset();
    } catch (const std::exception& error) {
        core::gDB2.reset();
        core::ShowErrorMessage(error);
    }
}

} // namespace wizard
