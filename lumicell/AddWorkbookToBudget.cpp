// See AddWorkbookToBudget.h.
#include "lumicell/AddWorkbookToBudget.h"

#include "core/cDB3.h"
#include "core/cOptions.h"
#include "lumicell/NotYetAvailable.h"
#include "platform/db/Recordset.h"
#include "workbooks/MasterFileRow.h"

#include <QDir>

namespace lumicell {

bool AddWorkbookToBudget(const QString& workbook, const QString& folder) {
    core::cDB3 query;
    query.SetConnection();
    const QString wanted = QDir::cleanPath(workbooks::JoinPath(folder, workbook));
    for (auto rows = platform::db::Recordset::open(
             query.Cnn(),
             QStringLiteral("SELECT Master_File, Path, Budget_Name FROM MasterFiles "
                            "WHERE Master_File = ? COLLATE NOCASE_U ORDER BY rowid"),
             {workbook});
         !rows.eof(); rows.moveNext()) {
        const QString path = workbooks::JoinPath(workbooks::TextOf(rows, QStringLiteral("Path")),
                                                 workbooks::TextOf(rows, QStringLiteral("Master_File")));
        if (QDir::cleanPath(path) != wanted)
            continue;
        core::gOptions->BudgetNameContext = workbooks::TextOf(rows, QStringLiteral("Budget_Name"));
        return true;
    }
    SayNotYetAvailable(kRegistrationNotAvailable);
    return false;
}

} // namespace lumicell
