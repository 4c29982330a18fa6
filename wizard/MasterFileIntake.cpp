// See MasterFileIntake.h. The row is written with bound values and the listing is handed its
// key, so that a workbook whose name another master workbook of the budget contains is listed
// all the same.
#include "wizard/MasterFileIntake.h"

#include "core/AppTitle.h"
#include "core/BudgetContextName.h"
#include "core/ErrorMessage.h"
#include "core/RunGuard.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/ui/Ui.h"
#include "wizard/BudgetPages.h"
#include "wizard/MasterSheetListing.h"
#include "wizard/WizardServices.h"
#include "workbooks/GetBudgetForWorkbook.h"

#include <QDateTime>
#include <QFileInfo>
#include <optional>

namespace wizard {

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

// The one letter of a drive has no counterpart here: the root of the path stands in for it.
const QString kDrive = QStringLiteral("/");

void tell(const QString& text) {
    platform::ui::msgBox(text, Buttons::Ok, core::appTitle());
}

// The confirmed workbook file; none when the dialog was cancelled or the name is no file.
std::optional<QFileInfo> chooseWorkbook() {
    platform::ui::FileRequest request;
    request.title = kFindMasterTitle;
    request.filter = kMasterFilter;
    for (;;) {
        const std::optional<QString> chosen = platform::ui::ui().openFile(request);
        if (!chosen)
            return std::nullopt;
        const QFileInfo file(*chosen);
        if (!file.isFile())
            return std::nullopt;
        if (platform::ui::msgBox(kAddToListText.arg(*chosen), Buttons::YesNo, kAddToListTitle) == Answer::Yes)
            return file;
    }
}

// The key of the new row; 0 when the workbook was refused (after its message).
qint64 addMasterRow(const QFileInfo& file, const QString& budget) {
    const QString name = file.fileName();
    const QString folder = file.absolutePath();
    if (BudgetHoldsMasterFile(name, budget)) {
        tell(kDuplicateMasterText);
        return 0;
    }
    const QString tracking = workbooks::GetBudgetForWorkbook(name, folder);
    if (!tracking.isEmpty()) {
        tell(kTrackedMasterText.arg(tracking));
        return 0;
    }
    core::cDB2 query;
    query.SetConnection();
    query.Cnn().execute(
        QStringLiteral("INSERT INTO MasterFiles (Master_File, Templates, Folder_Name, "
                       "Process_Date, Drive, Path, Budget_Name) VALUES (?, 0, ?, ?, ?, ?, ?)"),
        {name, QStringLiteral("Master"), QDateTime::currentDateTime(), kDrive, folder, budget});
    return query.Cnn().lastInsertId();
}

} // namespace

bool BudgetHoldsMasterFile(const QString& fileName, const QString& budget) {
    core::cDB2 query;
    query.SetConnection();
    return query.Cnn()
               .scalar(
                   QStringLiteral("SELECT COUNT(*) FROM MasterFiles WHERE Master_File = ? COLLATE NOCASE_U "
                                  "AND Budget_Name = ? COLLATE NOCASE_U"),
                   {fileName, budget})
               .toLongLong() > 0;
}

void AddMasterBudgetFiles() {
    if (!ContextBudgetChosen(kSetContextButtonText))
        return;
    const QString budget = core::ContextBudget();
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    const core::RunGuard::Token running;
    qint64 id = 0;
    try {
        const std::optional<QFileInfo> file = chooseWorkbook();
        if (!file)
            return;
        id = addMasterRow(*file, budget);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return;
    }
    if (id == 0)
        return;
    RefreshWizardMasterFiles();
    LoadMasterWorkbookSheetsOfRow(id, false);
}

} // namespace wizard
