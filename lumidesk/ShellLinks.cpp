// See ShellLinks.h. The windows not built yet say so and do nothing.
#include "lumidesk/ShellLinks.h"

#include "core/AppTitle.h"
#include "core/FormUnload.h"
#include "platform/ui/Ui.h"

namespace lumidesk::links {

namespace {

void notAvailable(const QString& what) {
    platform::ui::msgBox(what + QStringLiteral(" is not available yet in this version of Lumidesk."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace

void ShowBudgetsExplorer() {
    notAvailable(QStringLiteral("The Budgets Explorer"));
}

void CloseBudgetsExplorer() {
    core::UnloadForm(QStringLiteral("frmDataTable"));
}

void ShowFileSystemView() {
    notAvailable(QStringLiteral("The file system view"));
}

void ShowPrint() {
    notAvailable(QStringLiteral("Printing"));
}

void ShowFind(QWidget* owner) {
    Q_UNUSED(owner);
    notAvailable(QStringLiteral("Find"));
}

qint32 SetBudgetContextAndRefresh() {
    notAvailable(QStringLiteral("Setting the budget context"));
    return 1;
}

void ResetDataTableControls() {
    notAvailable(QStringLiteral("The Budgets Explorer"));
}

void RefreshStatusGrid() {
    notAvailable(QStringLiteral("The Budgets Explorer"));
}

} // namespace lumidesk::links
