// The wizard's pages 1 and 2: choosing the budget context, editing a budget's author, and the
// new-budget page with its checks.
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/GridBinding.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "lumistore/cClean.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WizardControl.h"
#include "wizard/BudgetPages.h"
#include "wizard/GetDefaultAuthor.h"
#include "wizard/WizardHooks.h"
#include "wizard/frmWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace wizard {

namespace {

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

} // namespace

void frmWizard::cmdAddBudget_Click() {
    core::gOptions->LastRecOK = false;
    EZWiz_->setCurrentPage(2);
}

void frmWizard::tbxBudWiz1_LostFocus() {
    if (core::gOptions->LastRecOK)
        return;
    const QString name = tbxBudWiz1_->text();
    core::gOptions->NewBudgetName = name;
    if (name.isEmpty())
        return;
    try {
        if (!BudgetNameIsUnique(name)) {
            tell(kNameExists2Text);
            tbxBudWiz1_->clear();
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

// A click on a budget's name makes it the context; the placeholder and an empty row never do.
void frmWizard::dtBudgets_CellClick(int row, int column) {
    if (column != kBudgetName || row < 0 || row >= dtBudgets_->rowCount())
        return;
    const QString name = dtBudgets_->cellText(row, kBudgetName);
    if (name.isEmpty() || name.compare(platform::sys::kPlaceholderText, Qt::CaseInsensitive) == 0)
        return;
    core::gOptions->BudgetNameContext = name;
    if (wizardHooks().setBudgetContextAndRefresh)
        wizardHooks().setBudgetContextAndRefresh();
    else
        EZWiz_PageChanged();
}

// A budget must keep an author: an emptied author cell is taken back.
void frmWizard::dtBudgets_Change(int row, int column) {
    if (column != kBudgetAuthor)
        return;
    if (dtBudgets_->cellText(row, kBudgetAuthor).isEmpty()) {
        tell(kAuthorRequiredText);
        budgets_->undoEdit(row, column);
    }
}

// The checks of a new budget's name and author, then its row; false keeps the wizard on page 2.
bool frmWizard::leaveNewBudgetPage() {
    core::cOptions& options = *core::gOptions;
    if (!NewBudgetNameAccepted(*tbxBudWiz1_))
        return false;
    const QString name = tbxBudWiz1_->text();
    const QString author = cbxAdminNames_->currentText();
    if (author.isEmpty()) {
        tell(kSelectAuthorText);
        return false;
    }
    if (options.DatabaseMode == QStringLiteral("Network") &&
        author.compare(options.LumiAdminUserName, Qt::CaseInsensitive) != 0) {
        tell(kNetworkAuthorText);
        return false;
    }
    switch (AddBudgetRecord(name, author)) {
    case AddBudgetResult::NameExists:
        tell(kNameExists1Text);
        return false;
    case AddBudgetResult::Failed:
        return false;
    case AddBudgetResult::Added:
        break;
    }
    // The page's two questions apply to the new budget alone.
    core::cDB2 query;
    query.SetConnection();
    query.Cnn().execute(
        QStringLiteral("UPDATE Budgets SET Active = ?, LumiXL = ? WHERE Budget_Name = ? COLLATE "
                       "NOCASE_U"),
        {chkBudWiz1_->isChecked() ? 1 : 0, chkBudWiz3_->isChecked() ? 1 : 0, name});
    lumistore::cClean clean;
    clean.SweepRecords(core::gCnn->LumiCnn(), QStringLiteral("Budgets"));
    budgets_->Refresh();
    if (platform::ui::msgBox(kMakeContextText, platform::ui::Buttons::YesNo, core::appTitle()) ==
        platform::ui::Answer::Yes) {
        options.BudgetNameContext = name;
        options.DefaultAdmin = GetDefaultAuthor(0, true);
        platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Runtime"),
                                    QStringLiteral("BudgetNameContext"), name);
        LoadWizardGrids(QString());
    }
    options.WizPageRequest = 1;
    // Next lands on page 3.
    EZWiz_->setCurrentPage(2);
    return true;
}

} // namespace wizard
