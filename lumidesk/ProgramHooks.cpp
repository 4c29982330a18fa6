// See ProgramHooks.h.
#include "lumidesk/ProgramHooks.h"

#include "admin/AdminServices.h"
#include "admin/BudgetPermissions.h"
#include "core/OpenWorkbookInExcel.h"
#include "core/SharedDatabase.h"
#include "core/StoreWaitWindow.h"
#include "core/cOptions.h"
#include "corvakit/CorvInfoPPG.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/BudgetRecords.h"
#include "lumidesk/DataEnvironment.h"
#include "lumidesk/DesktopHelp.h"
#include "lumidesk/ShellLinks.h"
#include "mail/MailHooks.h"
#include "mail/MailServices.h"
#include "platform/ui/ControlInfoPage.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/HelpWindow.h"
#include "platform/ui/WindowOpeners.h"
#include "wizard/OpenWorkbookInExcel.h"
#include "wizard/SyncUserFileTable.h"
#include "wizard/WizardHooks.h"
#include "wizard/WizardServices.h"
#include "workbooks/UserFileTableSync.h"
#include "workbooks/cUpdate.h"

namespace lumidesk {

void InstallProgramHooks() {
    // The data store library's clean-ups show their progress in the program's wait window.
    core::InstallStoreWaitWindow();
    // A workbook named in a window (errors browser, Budgets Explorer) opens through the
    // wizard's lookup of master workbooks and user files.
    core::setWorkbookOpener(wizard::OpenWorkbookInExcel);
    // A window's Help shows its own page of the program's help.
    UseDesktopHelpPages();
    platform::ui::installHelpViewer({[](const QString& page) { platform::ui::HelpWindow::showPage(page); },
                                     [] { platform::ui::HelpWindow::closeAll(); }});
    platform::ui::setWindowOpener(QStringLiteral("frmDataTable"), [](QWidget*) {
        links::ShowBudgetsExplorer();
        return true;
    });
    platform::ui::setWindowOpener(mail::kAddAddressFormName, mail::ShowAddAddress);
    // Shift+F1 on a grid, list, combo box or tree shows the controls' information page.
    platform::ui::setWindowOpener(platform::ui::kControlInfoPageForm, corvakit::ShowInfoPage);
    mail::setMailHooks({[] { AddAddressesToUsersData(); }, [] { links::RefreshStatusGrid(); }});
    // The configuration window's "Install Sample Budget" runs the wizard's installation.
    admin::setSampleInstaller(wizard::InstallSampleBudget);
    // The wizard makes a budget the context through the program's own routine, and asks the
    // network permission before it deletes one; the QuickStart build creates its budget
    // record and imports the contacts' addresses through the program's routines.
    wizard::setWizardHooks({[] { SetBudgetContextAndRefresh(); },
                            [](const QString& budget) {
                                int mode = 0;
                                return admin::SetBudgetContext(budget, core::gOptions->LumiAdminUserName,
                                                               mode);
                            },
                            CreateBudgetRecord, ImportContactAddresses});
    // Before the master database is re-keyed, moved or left, the data environments and the
    // update engine let go of it.
    core::setSharedConnectionsReleaser(ReleaseDataEnvironments);
    core::setUpdateEngineRelease([] { workbooks::gUpdate.reset(); });
    // A cut of the wizard's selection brings the user-file register in step through the wizard.
    workbooks::setUserFileTableSync(wizard::SyncUserFileTable);
}

} // namespace lumidesk
