// See BudgetContext.h.
#include "lumidesk/BudgetContext.h"

#include "admin/AdminServices.h"
#include "core/AppTitle.h"
#include "core/RunTrapped.h"
#include "core/SystemOps.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "lumidesk/StatusGrid.h"
#include "lumidesk/frmDataTable.h"
#include "mail/MailServices.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/ExplorerTree.h"
#include "platform/ui/Ui.h"
#include "wizard/GetDefaultAuthor.h"
#include "wizard/OpenWorkbookInExcel.h"
#include "wizard/WizardGrids.h"
#include "wizard/WizardServices.h"

#include <QFileInfo>
#include <stdexcept>

namespace lumidesk {

namespace {

// Grant-check modes of SetBudgetContext: the wording of a refusal.
constexpr int kGrantForBudget = 0;
constexpr int kGrantForBrowsing = 1;

core::cOptions& options() {
    if (!core::gOptions)
        throw std::runtime_error("The options object is not set up.");
    return *core::gOptions;
}

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

int levelOf(const platform::ui::ExplorerTree& tree, int node) {
    int level = 0;
    for (int parent = tree.nodeParent(node); parent >= 0; parent = tree.nodeParent(parent))
        ++level;
    return level;
}

// The stored name of the one budget whose name equals `name` (any case); empty when there is
// none or more than one.
QString uniqueBudget(const QString& name) {
    core::cDB2 query;
    platform::db::Recordset rows;
    const qint32 status = query.GetRecordset(
        QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name = ? COLLATE NOCASE_U"), rows, {name});
    if (status != core::QueryObject::kRows || rows.recordCount() != 1)
        return {};
    return rows.value(QStringLiteral("Budget_Name")).toString();
}

void refreshExplorer(frmDataTable& form, const QString& context) {
    FillFolderCombo();
    ShowStatusQuery(form, ContextStatusQuery(context));
    form.SetContextCaptions();
    ColorStatusGrid();
    form.dtUFStatus()->setCurrentCell(0, 0);
}

// The wizard's master-workbook list for the new context, then its grids and caption.
void refreshWizard(core::cOptions& opts) {
    opts.FormLoading = true;
    wizard::FillWizardMasterFileList(wizard::ContextMasterFiles());
    opts.FormLoading = false;
    wizard::LoadWizardGrids(QString());
    wizard::EZWiz_PageChanged();
}

void openWorkbookNode(const QString& name) {
    if (!HasBudgetContext()) {
        tell(kSetBudgetContextText);
        return;
    }
    if (IsLegacyWorkbookName(name)) {
        tell(LegacyWorkbookText(name));
        return;
    }
    if (!IsWorkbookName(name))
        return;
    core::SetBusyPointer(11);
    wizard::OpenWorkbookInExcel(name);
    core::SetBusyPointer(0);
}

} // namespace

bool HasBudgetContext() {
    if (!core::gOptions)
        return false;
    const QString& context = core::gOptions->BudgetNameContext;
    return !context.isEmpty() && context != kNothingContext;
}

bool IsWorkbookName(const QString& name) {
    const QString suffix = QFileInfo(name).suffix();
    return suffix.compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QStringLiteral("xlsm"), Qt::CaseInsensitive) == 0;
}

bool IsLegacyWorkbookName(const QString& name) {
    return QFileInfo(name).suffix().compare(QStringLiteral("xls"), Qt::CaseInsensitive) == 0;
}

QString LegacyWorkbookText(const QString& name) {
    return QStringLiteral("The workbook '%1' is in the old binary format (.xls). Open it in a spreadsheet "
                          "program and save it as .xlsx first.")
        .arg(name);
}

qint32 SetBudgetContextAndRefresh() {
    qint32 result = kContextRefused;
    core::RunTrapped([&result] {
        core::cOptions& opts = options();
        if (opts.DatabaseMode != QStringLiteral("Local")) {
            int mode = kGrantForBudget;
            if (!admin::SetBudgetContext(opts.BudgetNameContext, opts.LumiAdminUserName, mode)) {
                opts.BudgetNameContext.clear();
                return;
            }
        }
        opts.DefaultAdmin = wizard::GetDefaultAuthor(0, true);
        platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Runtime"),
                                    QStringLiteral("BudgetNameContext"), opts.BudgetNameContext);
        if (frmDataTable* form = frmDataTable::loaded())
            refreshExplorer(*form, opts.BudgetNameContext);
        if (core::IsFormLoaded(wizard::kWizardFormName))
            refreshWizard(opts);
        if (core::IsFormLoaded(mail::kSendMailFormName)) {
            mail::FillSendMailGrid();
            mail::FillMailLists();
        }
        result = kContextSet;
    });
    return result;
}

void OpenExplorerNode(platform::ui::ExplorerTree& tree, int node) {
    core::RunTrapped([&tree, node] {
        const QString text = tree.nodeText(node);
        if (node < 0 || text == platform::sys::kPlaceholderText)
            return;
        switch (levelOf(tree, node)) {
        case 0: {
            const QString budget = uniqueBudget(text);
            if (budget.isEmpty())
                return;
            options().BudgetNameContext = budget;
            SetBudgetContextAndRefresh();
            break;
        }
        case 1:
            openWorkbookNode(text);
            break;
        default: // worksheets open nothing
            break;
        }
    });
}

void CheckBrowseOnNodeSelect(platform::ui::ExplorerTree& tree, int node, bool unused) {
    Q_UNUSED(unused);
    core::RunTrapped([&tree, node] {
        const core::cOptions& opts = options();
        if (opts.DatabaseMode != QStringLiteral("Network") || !opts.DataTableIsRunning ||
            opts.ViewMode != QStringLiteral("Context"))
            return;
        const QString text = tree.nodeText(node);
        if (node < 0 || text == platform::sys::kPlaceholderText || text == kHomeNodeName)
            return;
        QString budget;
        switch (levelOf(tree, node)) {
        case 0:
            budget = text;
            break;
        case 1: // a master workbook: the budget it is listed under
            budget = tree.nodeText(tree.nodeParent(node));
            break;
        default:
            return;
        }
        int mode = kGrantForBrowsing;
        admin::SetBudgetContext(budget, opts.LumiAdminUserName, mode);
    });
}

void ResetDataTableControls() {
    if (frmDataTable* form = frmDataTable::loaded())
        form->ShowUpdateControls(true);
}

} // namespace lumidesk
