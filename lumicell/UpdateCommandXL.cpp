// See UpdateCommandXL.h.
#include "lumicell/UpdateCommandXL.h"

#include "lumicell/AddIn.h"
#include "lumicell/cOptions.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/SheetError.h"
#include "workbooks/UpdateRun.h"

namespace lumicell {

void UpdateMasterFilesCommandXL(const QString& changeMode) {
    platform::sheet::Application* app = gXLApp();
    cOptions* options = gOptions();
    platform::sheet::Workbook* active = app && options ? app->activeWorkbook() : nullptr;
    if (!active)
        throw platform::sheet::SheetError(platform::sheet::SheetError::Code::NoSuchSheet,
                                          QStringLiteral("No workbook is open."));
    options->FormLoadWB = active->name();
    options->OKUMFClicked = true;
    workbooks::UpdateRequest request{options->BudgetNameContext, {}, changeMode};
    request.requester = QStringLiteral("LumiXL");
    request.openMaster = workbooks::OpenMaster{app, active, options->SaveMF};
    request.writeReviewedOnCancel = true;
    workbooks::UpdateMasterFilesCommand(request);
    options->FrmWaitBig = false;
}

} // namespace lumicell
