// The wizard's buttons that change many rows at once: adding a master workbook (page 3),
// building user files (page 4) and the Delete buttons of pages 1, 3 and 4. Each deletion
// removes exactly its own rows and their dependants, matched by exact names and keys, and
// runs all or nothing; none of them touches a file on disk. While a long run is under way
// the builds and deletions are refused.
#include "core/AppTitle.h"
#include "core/BudgetContextName.h"
#include "core/ErrorMessage.h"
#include "core/GridBinding.h"
#include "core/RunGuard.h"
#include "core/RunTrapped.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "lumistore/cClean.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/Ui.h"
#include "wizard/BudgetDeletion.h"
#include "wizard/BudgetPages.h"
#include "wizard/BuildAllUserFiles.h"
#include "wizard/MasterFileIntake.h"
#include "wizard/SyncUserFileTable.h"
#include "wizard/WizardDeletions.h"
#include "wizard/WizardGrids.h"
#include "wizard/WizardHooks.h"
#include "wizard/frmWizard.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/CreateUserFilesForSelection.h"

#include <QCheckBox>

namespace wizard {

namespace {

const QString kDeleteBudgetText =
    QStringLiteral("Are you sure you want to delete this budget and associated records?");
const QString kNullBudgetText = QStringLiteral("This budget record is a null value??  Run SweepRecords.");

void sweep(const QString& table) {
    lumistore::cClean clean;
    clean.SweepRecords(core::gCnn->LumiCnn(), table);
}

bool isPlaceholder(const QString& name) {
    return name.compare(platform::sys::kPlaceholderText, Qt::CaseInsensitive) == 0;
}

// A deleted budget that was the saved context leaves no context saved.
void forgetSavedContext(const QString& budget) {
    using namespace platform::sys;
    const QString saved = readSetting(settingsApplication(), QStringLiteral("Runtime"),
                                      QStringLiteral("BudgetNameContext"), QString());
    if (saved.compare(budget, Qt::CaseInsensitive) == 0)
        writeSetting(settingsApplication(), QStringLiteral("Runtime"), QStringLiteral("BudgetNameContext"),
                     core::kNoBudgetContext);
}

} // namespace

// AddMasterBudgetFiles asks for the budget context itself.
void frmWizard::cmdAddBF_Click() {
    core::RunTrapped([this] {
        AddMasterBudgetFiles();
        FillMasterFileList(ContextMasterFiles());
        LoadWizardGrids(QString());
    });
}

void frmWizard::cmdBuildFiles_Click() {
    if (!ContextBudgetChosen(kSetContextText) || core::RunGuard::refuseDuringRun())
        return;
    becomeActiveForm();
    const qint64 cutBefore = workbooks::UserFilesCutSoFar();
    core::RunTrapped([this] {
        if (chkBuildAllFiles_->isChecked()) {
            BuildAllUserFiles(chkOWAll_->isChecked(), chkCopyType_->isChecked());
            SyncUserFileTable();
            assignments_->Refresh();
        } else {
            dtWorksheets_->setRowSelection(platform::ui::RowSelection::MultipleRows);
            workbooks::CreateUserFilesForSelection(chkCopyType_->isChecked());
            assignments_->Refresh();
        }
        worksheets_->Refresh();
    });
    platform::ui::showStatusLine(this, workbooks::UserFilesCutText(cutBefore));
}

void frmWizard::cmdDelBudget_Click() {
    if (!ContextBudgetChosen(kSetContextButtonText) || core::RunGuard::refuseDuringRun())
        return;
    core::RunTrapped([this] {
        const int row = dtBudgets_->currentRow();
        const QString name = row >= 0 ? dtBudgets_->cellText(row, kBudgetName) : QString();
        if (name.isEmpty()) {
            if (dtBudgets_->rowCount() == 0)
                sweep(QStringLiteral("Budgets"));
            else if (row >= 0)
                platform::ui::msgBox(kNullBudgetText, platform::ui::Buttons::Ok, core::appTitle());
            return;
        }
        if (isPlaceholder(name))
            return;
        if (platform::ui::msgBox(kDeleteBudgetText, platform::ui::Buttons::YesNo, core::appTitle()) !=
            platform::ui::Answer::Yes)
            return;
        if (core::gOptions->DatabaseMode == QStringLiteral("Network") &&
            (!wizardHooks().grantedBudgetContext || !wizardHooks().grantedBudgetContext(name)))
            return;
        core::cDB2 query;
        query.SetConnection();
        if (!DeleteBudget(name, query.Cnn()))
            return;
        core::gOptions->BudgetNameContext = core::kNoBudgetContext;
        forgetSavedContext(name);
        budgets_->Refresh();
        FillMasterFileList({});
        LoadWizardGrids(QString());
        EZWiz_PageChanged();
    });
}

void frmWizard::cmdDelMF_Click() {
    if (!ContextBudgetChosen(kSetContextButtonText) || core::RunGuard::refuseDuringRun())
        return;
    core::RunTrapped([this] {
        if (dtMasterFiles_->rowCount() == 0) {
            sweep(QStringLiteral("MasterFiles"));
            return;
        }
        const int row = dtMasterFiles_->currentRow();
        if (row < 0)
            return;
        const QString masterFile = dtMasterFiles_->cellText(row, kMasterFile);
        if (masterFile.isEmpty() || isPlaceholder(masterFile))
            return;
        const QString budget = dtMasterFiles_->cellText(row, kMasterBudget);
        const qint64 id = dtMasterFiles_->cellValue(row, kMasterId).toLongLong();
        DeleteMasterFileRecords(masterFile, budget, id);
        FillMasterFileList(ContextMasterFiles());
        LoadWizardGrids(QString());
    });
}

void frmWizard::cmdDelWS_Click() {
    if (!ContextBudgetChosen(kSetContextButtonText) || core::RunGuard::refuseDuringRun())
        return;
    core::RunTrapped([this] {
        if (dtWorksheets_->rowCount() == 0) {
            sweep(QStringLiteral("Worksheets"));
            return;
        }
        const int row = dtWorksheets_->currentRow();
        if (row < 0 || !worksheets_->moveToRow(row))
            return;
        const platform::db::Recordset& sheet = worksheets_->recordset();
        const QString name = sheet.value(QStringLiteral("Worksheet_Name")).toString();
        if (name.isEmpty() || isPlaceholder(name))
            return;
        // By the row's key: a row without a master workbook is deleted too, and of two rows
        // alike only the one chosen.
        DeleteWorksheetRecords(sheet.value(QStringLiteral("ID_Worksheets")).toLongLong());
        worksheets_->Refresh();
        assignments_->Refresh();
    });
}

} // namespace wizard
