// See BuildAllUserFiles.h. The names of the master workbooks are read first and the query
// closed before the builder runs, since the builder writes the very rows that were read.
#include "wizard/BuildAllUserFiles.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/RunGuard.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/CreateUserFilesForSelection.h"

#include <QStringList>

namespace wizard {

namespace {

const QString kPickedMasters = QStringLiteral(
    "SELECT Master_File FROM Worksheets WHERE Select_By_User = 1 AND Budget_Name = ? COLLATE NOCASE_U "
    "ORDER BY Master_File COLLATE NOCASE_U, rowid");

// The master workbooks of the context's picked worksheets, each once whatever its letter case.
QStringList pickedMasterWorkbooks(const QString& budget) {
    core::cDB2 query;
    query.SetConnection();
    platform::db::Recordset rows = platform::db::Recordset::open(query.Cnn(), kPickedMasters, {budget});
    QStringList masters;
    QString last;
    for (; !rows.eof(); rows.moveNext()) {
        const QString master = rows.isNull(0) ? QString() : rows.value(0).toString();
        if (master.compare(last, Qt::CaseInsensitive) != 0)
            masters << master;
        last = master;
    }
    return masters;
}

} // namespace

bool BuildAllUserFiles(bool overwriteAll, bool valuesOnly) {
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return false;
    const core::RunGuard::Token running;
    try {
        const QString budget = core::gOptions ? core::gOptions->BudgetNameContext : QString();
        for (const QString& master : pickedMasterWorkbooks(budget)) {
            const qint32 result = workbooks::CreateUserFiles(master, overwriteAll, false, valuesOnly);
            if (result == workbooks::kCutMasterMissing)
                platform::ui::msgBox(workbooks::kMasterMissingText, platform::ui::Buttons::Ok,
                                     core::appTitle());
            else if (result == workbooks::kCutMasterInUse)
                platform::ui::msgBox(workbooks::kMasterInUseText, platform::ui::Buttons::Ok,
                                     core::appTitle());
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
    return false;
}

} // namespace wizard
