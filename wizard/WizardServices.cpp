// See WizardServices.h: the stand-ins for the budget setup wizard until it is built.
#include "wizard/WizardServices.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace wizard {

namespace {

void notAvailable(const QString& what) {
    platform::ui::msgBox(what + QStringLiteral(" is not available yet in this version of Lumidesk."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace

bool ShowWizard(QWidget* owner) {
    Q_UNUSED(owner);
    notAvailable(QStringLiteral("The Setup Budget Wizard"));
    return false;
}

// The wizard window is never loaded in this version, so these find nothing to act on.
bool SetWizardPage(int page) {
    Q_UNUSED(page);
    return false;
}

void RefreshWizardWorksheets() {}

void RefreshWizardMasterFiles() {}

void LoadWizardGrids(const QString& filter) {
    Q_UNUSED(filter);
}

void EZWiz_PageChanged() {}

void FillWizardMasterFileList(const QStringList& masterFiles) {
    Q_UNUSED(masterFiles);
}

QString NewBudgetWizard(bool& flag) {
    Q_UNUSED(flag);
    notAvailable(QStringLiteral("Creating a new budget"));
    return {};
}

bool InstallSampleBudget() {
    notAvailable(QStringLiteral("Installing the sample budget"));
    return false;
}

bool ShowQSWizard(QWidget* owner, const QString& caption, const QList<QSWorkbookRow>& rows) {
    Q_UNUSED(owner);
    Q_UNUSED(caption);
    Q_UNUSED(rows);
    notAvailable(QStringLiteral("The QuickStart Wizard"));
    return false;
}

void RunQuickStart() {
    notAvailable(QStringLiteral("The QuickStart build"));
}

} // namespace wizard
