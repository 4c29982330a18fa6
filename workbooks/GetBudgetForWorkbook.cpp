// See GetBudgetForWorkbook.h. The rows are narrowed to the file name in the query and the
// folders compared here, where a final "/" can be ignored. A query that fails is reported, so
// that a failing database is never taken for "no budget tracks it".
#include "workbooks/GetBudgetForWorkbook.h"

#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "workbooks/MasterFileRow.h"

namespace workbooks {

namespace {

const QString kRowsOfFile = QStringLiteral("SELECT Master_File, Path, Budget_Name FROM MasterFiles WHERE "
                                           "Master_File = ? COLLATE NOCASE_U ORDER BY rowid");

QString withoutFinalSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace

QString GetBudgetForWorkbook(const QString& fileName, const QString& folderPath) {
    QString budget;
    try {
        if (!core::gDB2)
            core::gDB2 = std::make_unique<core::cDB2>();
        core::gDB2->SetConnection();
        platform::db::Recordset rows =
            platform::db::Recordset::open(core::gDB2->Cnn(), kRowsOfFile, {fileName});
        const QString folder = withoutFinalSlash(folderPath);
        for (; !rows.eof() && budget.isEmpty(); rows.moveNext()) {
            const QString path = TextOf(rows, QStringLiteral("Path"));
            if (!path.isEmpty() && withoutFinalSlash(path).compare(folder, Qt::CaseInsensitive) == 0)
                budget = TextOf(rows, QStringLiteral("Budget_Name"));
        }
        rows.close();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        budget.clear();
    }
    core::gDB2.reset();
    return budget;
}

} // namespace workbooks
