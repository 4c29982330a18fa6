// See QuickStart.h.
#include "wizard/QuickStart.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/RunGuard.h"
#include "core/SystemOps.h"
#include "core/cDB3.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/sys/FileFacts.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/ProgramHook.h"
#include "platform/ui/BusyPointer.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/MenuHost.h"
#include "platform/ui/Ui.h"
#include "wizard/BudgetPages.h"
#include "wizard/MasterFileIntake.h"
#include "wizard/MasterSheetListing.h"
#include "wizard/SyncUserFileTable.h"
#include "wizard/WizardHooks.h"
#include "wizard/WizardServices.h"
#include "wizard/frmQSWizard.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/GetBudgetForWorkbook.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <optional>

namespace wizard {

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

const QString kAutoMode = QStringLiteral("Auto");
const QString kInteractiveMode = QStringLiteral("Interactive");

void tell(const QString& text) {
    platform::ui::msgBox(text, Buttons::Ok, core::appTitle());
}

bool askYes(const QString& text) {
    return platform::ui::msgBox(text, Buttons::YesNo, core::appTitle()) == Answer::Yes;
}

// The author's Admin row, unless a row of that name (any case, any record type) exists. The
// new author is the default only when no author is the default yet.
void addAuthor(const QString& author, const QString& address) {
    core::cDB3 query;
    query.SetConnection();
    platform::db::Connection& cnn = query.Cnn();
    if (cnn.scalar(QStringLiteral("SELECT Admin_Name FROM Admin WHERE Admin_Name = ? COLLATE NOCASE_U"),
                   {author})
            .isValid())
        return;
    const bool hasDefault =
        cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM Admin WHERE \"Default\" = 1 AND Admin_Name <> ?"),
                   {platform::sys::kPlaceholderText})
            .toInt() > 0;
    cnn.execute(QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, \"Default\", RecType) "
                               "VALUES (?, ?, ?, 'Author')"),
                {author, address, hasDefault ? 0 : 1});
}

void addQuickStartFolder() {
    core::cDB3 query;
    query.SetConnection();
    platform::db::Connection& cnn = query.Cnn();
    if (!cnn.scalar(
                QStringLiteral("SELECT Folder_Name FROM FolderNames WHERE Folder_Name = ? COLLATE NOCASE_U"),
                {kQuickStartFolder})
             .isValid())
        cnn.execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES (?)"), {kQuickStartFolder});
}

enum class Step { Next, End };

// One workbook of the list: registered, listed, cut and its user files registered. End when the
// run must stop here (after its message).
Step buildWorkbook(QPointer<frmQSWizard>& form, const QString& fullPath, const QString& project) {
    const QString folder = platform::sys::GetPathPart(fullPath, 0);
    const QString fileName = platform::sys::GetPathPart(fullPath, 1);
    if (!workbooks::GetBudgetForWorkbook(fileName, folder).isEmpty()) {
        tell(kTrackedWorkbookText);
        return Step::End;
    }
    // A second master of one name would make the budget's user files and updates ambiguous.
    if (BudgetHoldsMasterFile(fileName, project)) {
        tell(kDuplicateMasterText);
        return Step::End;
    }
    const WizardHooks& hooks = wizardHooks();
    if (!hooks.createBudgetRecord)
        throw platform::sys::HookNotInstalled("The program did not install its QuickStart budget record.");
    // A budget that was not made (a refusal or an error, told there) has nothing to list.
    if (hooks.createBudgetRecord(fileName, folder) != 0 || !form)
        return Step::End;
    form->InitQuickStartSteps(true, 1);

    LoadMasterWorkbookSheets(fileName, true);
    if (!form)
        return Step::End;
    form->InitQuickStartSteps(true, 2);

    addQuickStartFolder();
    form->InitQuickStartSteps(true, 3);

    switch (workbooks::CreateUserFiles(fileName, true, false, false)) {
    case workbooks::kCutFinished:
    case workbooks::kCutCancelled:
    case workbooks::kCutFailed:
        // The user files cut before a failure are on disk and stamped: they are registered too.
        SyncUserFileTable();
        break;
    case workbooks::kCutMasterMissing:
        tell(kWorkbookMissingText);
        return Step::End;
    case workbooks::kCutMasterInUse:
        tell(kWorkbookInUseText.arg(fileName));
        return Step::End;
    default:
        break;
    }
    return form ? Step::Next : Step::End;
}

void importAddresses(QPointer<frmQSWizard>& form) {
    platform::ui::BusyPointer::Guard busy;
    if (const auto& import = wizardHooks().importContactAddresses)
        import();
    core::Pause(1);
    if (form)
        form->InitQuickStartSteps(true, 5);
}

// A wizard already open shows an earlier budget: it is loaded afresh for the new budget
// context, so its grids, lists and caption follow it, and opens on the assignment page.
void openAssignmentPage(QPointer<frmQSWizard>& form) {
    platform::ui::BusyPointer::Guard busy;
    if (form)
        form->close();
    core::Pause(1);
    core::UnloadForm(kWizardFormName);
    core::gOptions->WizPageRequest = 5;
    ShowWizard(platform::ui::menuHost());
}

// The box's text when it is filled in; otherwise it is told, and given the focus.
std::optional<QString> filledIn(QLineEdit& box, const QString& missing) {
    if (!box.text().isEmpty())
        return box.text();
    tell(missing);
    box.setFocus();
    return std::nullopt;
}

void run(QPointer<frmQSWizard>& form) {
    const std::optional<QString> author = filledIn(*form->tbxAuthorName(), kEnterAuthorText);
    if (!author)
        return;
    const std::optional<QString> address = filledIn(*form->tbxEmailAddress(), kEnterAddressText);
    if (!address)
        return;
    // The project name becomes the budget: the wizard's new-budget page checks it so.
    if (!NewBudgetNameAccepted(*form->tbxProjectName()))
        return;
    const QString project = form->tbxProjectName()->text();

    addAuthor(*author, *address);

    if (!form->chkWizDecide()->isChecked()) {
        core::gOptions->QuickStartMode = kInteractiveMode;
        tell(kInteractiveModeText);
        return;
    }
    core::gOptions->QuickStartMode = kAutoMode;

    int done = 0;
    for (int i = 0; form && i < form->lbxWorkbooks()->listCount(); ++i) {
        const QString fullPath = form->lbxWorkbooks()->subItem(i, frmQSWizard::kWorkbookPath);
        if (buildWorkbook(form, fullPath, project) == Step::End)
            return;
        form->InitQuickStartSteps(true, 4);
        form->MarkQuickStartWorkbooks(true, ++done);
    }
    if (!form)
        return;

    if (!askYes(kAddressImportQuestion))
        return;
    importAddresses(form);

    if (!askYes(kAssignmentQuestion))
        return;
    openAssignmentPage(form);
}

} // namespace

void RunQuickStart(frmQSWizard& window) {
    // Start stays clickable while the run lets window events through; a second run (or any
    // other) must not start inside this one.
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    core::RunGuard::Token running;
    // The user may close the window while a step lets events through; the run then ends.
    QPointer<frmQSWizard> form(&window);
    try {
        run(form);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void RunQuickStart() {
    if (frmQSWizard* form = frmQSWizard::loaded())
        RunQuickStart(*form);
}

} // namespace wizard
