// See ProgramHooks.h.
#include "lumidesk/ProgramHooks.h"

#include "admin/AdminServices.h"
#include "core/OpenWorkbookInExcel.h"
#include "lumidesk/BudgetRecords.h"
#include "core/SharedDatabase.h"
#include "lumidesk/DataEnvironment.h"
#include "lumidesk/HelpWindow.h"
#include "lumidesk/ShellLinks.h"
#include "mail/MailHooks.h"
#include "mail/MailServices.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/WindowOpeners.h"
#include "wizard/OpenWorkbookInExcel.h"
#include "wizard/WizardServices.h"

namespace lumidesk {

void InstallProgramHooks() {
    // A workbook named in a window (errors browser, Budgets Explorer) opens through the
    // wizard's lookup of master workbooks and user files.
    core::setWorkbookOpener(wizard::OpenWorkbookInExcel);
    platform::ui::installHelpViewer(
        {[](const QString& page) { HelpWindow::showPage(page); }, [] { HelpWindow::closeAll(); }});
    platform::ui::setWindowOpener(QStringLiteral("frmDataTable"), [](QWidget*) {
        links::ShowBudgetsExplorer();
        return true;
    });
    platform::ui::setWindowOpener(mail::kAddAddressFormName, mail::ShowAddAddress);
    mail::setMailHooks({[] { AddAddressesToUsersData(); }, [] { links::RefreshStatusGrid(); }});
    // The configuration window's "Install Sample Budget" runs the wizard's installation.
    admin::setSampleInstaller(wizard::InstallSampleBudget);
    // Before the master database is re-keyed, moved or left, the data environments let go of it.
    core::setSharedConnectionsReleaser(ReleaseDataEnvironments);
}

} // namespace lumidesk
