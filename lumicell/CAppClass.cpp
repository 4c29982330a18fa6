// See CAppClass.h.
#include "lumicell/CAppClass.h"

#include "core/ErrorMessage.h"
#include "lumicell/AddIn.h"
#include "lumicell/OpenDialogs.h"
#include "lumicell/SampleTemplates.h"
#include "lumicell/SummaryPick.h"
#include "lumicell/buildbudget/AddWorkbookToBudget.h"
#include "lumicell/cOptions.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <optional>

namespace lumicell {

namespace {

const QString kNone = QStringLiteral("None");

// The open dialog, when its flag says it is open and it is registered.
SinkTarget* openDialog(bool open, MainDialog which) {
    return open ? RegisteredMainDialog(which) : nullptr;
}

// Whether the active workbook, as GetMFInfo just described it, is offered for registration.
bool mayBeRegistered(const cOptions& options) {
    return platform::sheet::Workbook::isWorkbookName(options.MasterFilename) &&
           !IsSampleTemplate(options.MasterFilename);
}

} // namespace

void CAppClass::setXLEventApp(platform::sheet::Application* app) {
    if (app_)
        disconnect(app_, nullptr, this, nullptr);
    app_ = app;
    if (!app)
        return;
    using platform::sheet::Application;
    connect(app, &Application::sheetSelectionChange, this, &CAppClass::SheetSelectionChange);
    connect(app, &Application::workbookActivate, this, &CAppClass::WorkbookActivate);
    connect(app, &Application::workbookDeactivate, this, &CAppClass::WorkbookDeactivate);
}

void CAppClass::SheetSelectionChange(platform::sheet::Worksheet*, const platform::sheet::Range& target) {
    cOptions* options = gOptions();
    if (!options || !options->FormBldWSBig)
        return;
    try {
        const std::optional<SummaryPick> pick = SummaryPickOf(target.address(false, false));
        if (!pick)
            return;
        if (SinkTarget* build = openDialog(options->CUFIsRunning, MainDialog::Build))
            build->addSummaryPick(pick->isRow, pick->entry);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

void CAppClass::WorkbookActivate(platform::sheet::Workbook*) {
    cOptions* options = gOptions();
    platform::sheet::Workbook* active = app_ ? app_->activeWorkbook() : nullptr;
    if (!options || !active)
        return;
    options->AWBSet = active->name();
    SinkTarget* build = openDialog(options->CUFIsRunning, MainDialog::Build);
    SinkTarget* run = openDialog(options->RunBudIsRunning, MainDialog::Run);
    if (!build && !run)
        return;
    // Mid-run (a cut, an update run) the dialogs only follow the name: no question is asked.
    if (options->OKCUFClicked || options->OKUMFClicked) {
        options->MasterFilename = active->name();
        return;
    }
    options->GetMFInfo(app_);
    if (!mayBeRegistered(*options))
        return;
    // Asked once, however many dialogs are open.
    const bool registered = AddWorkbookToBudget(active->name(), options->MFPath);
    if (build && registered) {
        build->retarget();
        options->FormLoadWB = active->name();
    }
    if (run) {
        if (registered)
            run->retarget();
        else
            options->UnloadForm = true;
    }
}

void CAppClass::WorkbookDeactivate(platform::sheet::Workbook*) {
    cOptions* options = gOptions();
    if (!options)
        return;
    options->AWBSet = kNone;
    options->MasterFilename = kNone;
    try {
        if (SinkTarget* build =
                openDialog(options->CUFIsRunning && !options->OKCUFClicked, MainDialog::Build)) {
            options->BudgetNameContext.clear();
            build->clearGrids();
        }
        if (SinkTarget* run =
                openDialog(options->RunBudIsRunning && !options->OKUMFClicked, MainDialog::Run)) {
            options->BudgetNameContext.clear();
            run->clearGrids();
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace lumicell
