// See WizardServices.h.
#include "wizard/WizardServices.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/GridBinding.h"
#include "core/RunTrapped.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/MenuHost.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WizardControl.h"
#include "wizard/GetDefaultAuthor.h"
#include "wizard/frmQSWizard.h"
#include "wizard/frmWizard.h"

namespace wizard {

namespace {

const QString kNoDefaultAuthorText =
    QStringLiteral("The Admin table in Configure is empty or there is no default Author.");

// The one default author's name; the empty text after the message that says why there is none.
QString defaultAuthorForNewBudget() {
    core::cDB2 query;
    platform::db::Recordset rows;
    if (query.GetRecordset(QStringLiteral("SELECT Admin_Name FROM Admin WHERE \"Default\" = 1"), rows) !=
            core::QueryObject::kRows ||
        rows.recordCount() != 1) {
        platform::ui::msgBox(kNoDefaultAuthorText, platform::ui::Buttons::Ok, core::appTitle());
        return {};
    }
    const QString author = rows.value(0).toString();
    if (author == platform::sys::kPlaceholderText) {
        platform::ui::msgBox(kNoAuthorText, platform::ui::Buttons::Ok, core::appTitle());
        return {};
    }
    return author;
}

// The loaded wizard, or a new one owned by owner.
frmWizard& loadWizard(QWidget* owner) {
    if (frmWizard* form = frmWizard::loaded())
        return *form;
    return *new frmWizard(owner);
}

} // namespace

bool ShowWizard(QWidget* owner) {
    frmWizard& form = loadWizard(owner);
    form.show();
    form.raise();
    form.activateWindow();
    return true;
}

bool SetWizardPage(int page) {
    frmWizard* form = frmWizard::loaded();
    if (!form)
        return false;
    form->EZWiz()->setCurrentPage(page);
    return true;
}

void RefreshWizardWorksheets() {
    if (frmWizard* form = frmWizard::loaded())
        core::RunTrapped([form] { form->worksheets().Refresh(); });
}

void RefreshWizardMasterFiles() {
    if (frmWizard* form = frmWizard::loaded())
        core::RunTrapped([form] { form->masterFiles().Refresh(); });
}

void LoadWizardGrids(const QString& filter) {
    if (frmWizard* form = frmWizard::loaded())
        form->LoadWizardGrids(filter);
}

void EZWiz_PageChanged() {
    if (frmWizard* form = frmWizard::loaded())
        form->EZWiz_PageChanged();
}

void FillWizardMasterFileList(const QStringList& masterFiles) {
    if (frmWizard* form = frmWizard::loaded())
        form->FillMasterFileList(masterFiles);
}

QString NewBudgetWizard(bool& flag) {
    core::gOptions->LastRecOK = false;
    core::UnloadForm(QStringLiteral("frmDataTable"));
    if (flag)
        core::gOptions->WizPageRequest = 2;
    const QString author = defaultAuthorForNewBudget();
    if (author.isEmpty())
        return {};
    QWidget* owner = platform::ui::menuHost();
    frmWizard& form = loadWizard(owner);
    core::RunTrapped([&form] { form.budgets().Refresh(); });
    form.show();
    form.raise();
    return author;
}

// The sample budget (SampleBudget.cpp) and the QuickStart run (QuickStart.cpp) live beside
// their window; the opener of the QuickStart window is here with the other openers.
bool ShowQSWizard(QWidget* owner, const QString& caption, const QList<QSWorkbookRow>& rows) {
    frmQSWizard* form = frmQSWizard::loaded();
    if (!form)
        form = new frmQSWizard(owner);
    form->setWindowTitle(caption);
    for (const QSWorkbookRow& row : rows)
        form->addWorkbook(row.fileName, row.fullPath);
    form->show();
    form->raise();
    form->activateWindow();
    return true;
}

} // namespace wizard
