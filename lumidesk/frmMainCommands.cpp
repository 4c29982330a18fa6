// See frmMain.h: the commands of the File, Edit, Tools and Help menus, the toolbar and the
// picture buttons. The clean-up commands empty tables through the data store library and
// are refused while a long run is under way.
#include "admin/AdminServices.h"
#include "core/AppTitle.h"
#include "core/ClearDataTables.h"
#include "core/DatabaseUpkeep.h"
#include "core/ErrorMessage.h"
#include "core/ErrorsTable.h"
#include "core/FormUnload.h"
#include "core/RunGuard.h"
#include "core/RunTrapped.h"
#include "core/SystemOps.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "core/frmErrorsTable.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/DesktopSettings.h"
#include "lumidesk/ShellLinks.h"
#include "lumidesk/UpdateWorkbooks.h"
#include "lumidesk/frmMain.h"
#include "lumistore/Lumistore.h"
#include "mail/MailServices.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Ui.h"
#include "wizard/WizardServices.h"
#include "workbooks/WorkbookServices.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QToolBar>

namespace lumidesk {

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

const QString kRuntime = QStringLiteral("Runtime");

bool askYesNo(const QString& question) {
    return platform::ui::msgBox(question, Buttons::YesNo, core::appTitle()) == Answer::Yes;
}

void say(const QString& text) {
    platform::ui::msgBox(text, Buttons::Ok, core::appTitle());
}

const QString& lumiCnn() {
    return core::gCnn->LumiCnn();
}

// Runs a command that changes tables under the windows: refused during a run, and any
// failure (the data store library raises its own) ends it with the program's message.
template <typename Command> void cleanCommand(Command&& command) {
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    try {
        command();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

// The Budgets Explorer's password box and "Save pwd", when the explorer is loaded.
mail::PasswordView explorerPasswordView() {
    QWidget* explorer = platform::ui::LoadedWindows::find(QStringLiteral("frmDataTable"));
    if (!explorer)
        return {};
    return {explorer->findChild<QLineEdit*>(QStringLiteral("tbxPassword")),
            explorer->findChild<QAbstractButton*>(QStringLiteral("chkSavePW"))};
}

void focusExplorerPassword() {
    if (QWidget* explorer = platform::ui::LoadedWindows::find(QStringLiteral("frmDataTable")))
        if (auto* password = explorer->findChild<QWidget*>(QStringLiteral("tbxPassword")))
            password->setFocus();
}

} // namespace

void frmMain::mnuNewBudget_Click() {
    busy(true);
    bool newBudgetPage = true;
    if (wizard::NewBudgetWizard(newBudgetPage).isEmpty())
        admin::ShowConfigure(nullptr);
    busy(false);
}

void frmMain::mnuPrint_Click() {
    links::ShowPrint();
}

void frmMain::mnuFind_Click() {
    links::ShowFind(this);
}

void frmMain::mnuErrorsTable_Click() {
    try {
        QWidget* browser = platform::ui::LoadedWindows::find(QStringLiteral("frmErrorsTable"));
        if (!browser)
            browser = new core::frmErrorsTable(this);
        browser->show();
        browser->raise();
        browser->activateWindow();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

// The wizard opens on the requested page; Edit > Find follows it when it opened.
void frmMain::showWizardOnPage(qint16 page, bool enableFind) {
    busy(true);
    core::gOptions->WizPageRequest = page;
    const bool shown = wizard::ShowWizard(this);
    busy(false);
    if (shown && enableFind)
        setFindEnabled(true);
}

void frmMain::mnuManageBudgets_Click() {
    showWizardOnPage(1, true);
}

void frmMain::mnuCUF_Click() {
    showWizardOnPage(4, false);
}

void frmMain::mnuAssignUF_Click() {
    showWizardOnPage(5, false);
}

void frmMain::showQuickStart(const QString& caption, const QString& path) {
    links::CloseBudgetsExplorer();
    wizard::ShowQSWizard(this, caption, {{QFileInfo(path).fileName(), path}});
}

// Asks for a workbook until the user confirms one or cancels; a chosen name that is not on
// disk ends the command without a word, a workbook of the old format with a message.
void frmMain::mnuQSWiz_Click() {
    try {
        platform::ui::FileRequest request;
        request.title = QStringLiteral("QuickStart File Select");
        request.filter = QStringLiteral("Excel Files (*.xlsx *.xlsm);;All Files (*)");
        for (;;) {
            const std::optional<QString> chosen = platform::ui::ui().openFile(request);
            if (!chosen || !QFileInfo(*chosen).isFile())
                return;
            const QString path = *chosen;
            if (IsLegacyWorkbookName(path)) {
                say(LegacyWorkbookText(QFileInfo(path).fileName()));
                return;
            }
            if (askYesNo(QStringLiteral("Perform QuickStart on ") + path + QStringLiteral(" ?"))) {
                showQuickStart(QStringLiteral("QuickStart Wizard [") + path + QStringLiteral("]"), path);
                return;
            }
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

void frmMain::mnuUpdateSystem_Click() {
    UpdateWorkbooks();
    core::gOptions->FrmWaitBig = false;
}

// A failure ends the command with its message; the program goes on.
void frmMain::mnuCheckUserActivity_Click() {
    if (core::RunGuard::refuseDuringRun())
        return;
    core::RunTrapped([] {
        workbooks::CheckUserFilesExist(false, 0);
        wizard::RefreshWizardWorksheets();
        links::RefreshStatusGrid();
    });
}

void frmMain::mnuSendMail_Click() {
    writeSettingText(kRuntime, QStringLiteral("RefreshDataTable"), QStringLiteral("0"));
    mail::ShowSendMail(this);
}

void frmMain::mnuGetMail_Click() {
    busy(true);
    links::ResetDataTableControls();
    mail::GetMailPasswordAndReceive(explorerPasswordView());
    focusExplorerPassword();
    busy(false);
}

void frmMain::mnuOptions_Click() {
    busy(true);
    const bool shown = admin::ShowConfigure(this, 0);
    busy(false);
    if (shown)
        setFindEnabled(true);
}

void frmMain::mnuEmailLists_Click() {
    mail::ShowAddAddress(core::IsFormLoaded(QStringLiteral("frmDataTable")) ? this : nullptr);
}

// Four questions, each emptying its tables on Yes; whatever the answers, every listed table
// gets its placeholder row back and the compaction is offered.
void frmMain::mnuDelAllDataTables_Click() {
    cleanCommand([] {
        links::CloseBudgetsExplorer();
        core::ClearDataTables();
        admin::RefillConfigureGrids();
        if (askYesNo(QStringLiteral("Would you like to compact the database?")))
            core::CompactDatabase();
    });
}

// The emptied table gets its placeholder row back at once, as every listed table keeps one.
void frmMain::mnuFolderNames_Click() {
    cleanCommand([] {
        if (!askYesNo(QStringLiteral("do you want to clear the FolderNames table?")))
            return;
        lumistore::cClean clean;
        clean.InitializeTable(lumiCnn(), QStringLiteral("FolderNames"));
        clean.SweepRecords(lumiCnn(), QString());
        admin::RefillConfigureGrids();
    });
}

void frmMain::mnuClrUsersData_Click() {
    cleanCommand([] {
        lumistore::cClean clean;
        clean.InitializeTable(lumiCnn(), QStringLiteral("UsersData"));
        clean.SweepRecords(lumiCnn(), QString());
        admin::RefillConfigureGrids();
    });
}

void frmMain::mnuClearSendMail_Click() {
    cleanCommand([] {
        lumistore::cClean clean;
        if (askYesNo(QStringLiteral("do you want to clear the SendMail tables?")))
            for (const char* table : {"Admin", "BodyText", "Subject"})
                clean.InitializeTable(lumiCnn(), QString::fromLatin1(table));
        clean.SweepRecords(lumiCnn(), QString());
        admin::RefillConfigureGrids();
    });
}

void frmMain::mnuClearErrorsTable_Click() {
    cleanCommand([] {
        for (const char* form : {"frmErrorsTable", "frmDataTable", "frmWizard"})
            core::UnloadForm(QString::fromLatin1(form));
        core::ResetErrorsTable();
    });
}

void frmMain::mnuCompactDatabase_Click() {
    core::CompactDatabase();
}

void frmMain::mnuSamples_Click() {
    wizard::InstallSampleBudget();
}

void frmMain::picLoadSample_Click() {
    links::CloseBudgetsExplorer();
    wizard::InstallSampleBudget();
    links::ShowBudgetsExplorer();
}

void frmMain::picQuickStart_Click() {
    links::CloseBudgetsExplorer();
    say(QStringLiteral("Drag and drop Excel budget files to start the BudgetWizard."));
    setAcceptDrops(true);
}

void frmMain::tbToolBar_ButtonClick(const QString& key) {
    tbToolBar_->repaint();
    if (key == QStringLiteral("New")) {
        mnuNewBudget_Click();
    } else if (key == QStringLiteral("Print")) {
        mnuPrint_Click();
    } else if (key == QStringLiteral("SetupFilesWizard")) {
        busy(true);
        const bool explorerLoaded = core::IsFormLoaded(QStringLiteral("frmDataTable"));
        const bool shown = wizard::ShowWizard(this);
        if (shown && explorerLoaded)
            wizard::SetWizardPage(1);
        busy(false);
        if (shown)
            setFindEnabled(true);
    } else if (key == QStringLiteral("DataTable")) {
        mnuExplorerView_Click();
    } else if (key == QStringLiteral("UpdateMF")) {
        UpdateWorkbooks();
    } else if (key == QStringLiteral("MasterFiles")) {
        mnuMasterFilesView_Click();
    } else if (key == QStringLiteral("Mail")) {
        mnuSendMail_Click();
    } else if (key == QStringLiteral("GetMail")) {
        busy(true);
        if (!core::IsFormLoaded(QStringLiteral("frmDataTable")))
            links::ShowBudgetsExplorer();
        if (mail::GetMailPasswordAndReceive(explorerPasswordView()) == 1) {
            if (!menuItem(QStringLiteral("mnuShowControls"))->isChecked())
                links::ResetDataTableControls();
            focusExplorerPassword();
        }
        busy(false);
    } else if (key == QStringLiteral("Configure")) {
        busy(true);
        const bool shown = admin::ShowConfigure(this);
        busy(false);
        if (shown)
            setFindEnabled(true);
    } else if (key == QStringLiteral("Errors")) {
        mnuErrorsTable_Click();
    }
}

} // namespace lumidesk
