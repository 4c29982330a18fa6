// See UpdateWorkbooks.h.
#include "lumidesk/UpdateWorkbooks.h"

#include "core/RunGuard.h"
#include "core/RunTrapped.h"
#include "core/cOptions.h"
#include "lumidesk/ShellLinks.h"
#include "lumidesk/StatusGrid.h"
#include "lumidesk/frmDataTable.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/StatusLine.h"
#include "workbooks/UpdateRun.h"

namespace lumidesk {

void UpdateWorkbooks() {
    if (core::RunGuard::refuseDuringRun())
        return;
    if (!frmDataTable::loaded())
        links::ShowBudgetsExplorer();
    workbooks::UpdateRequest request;
    request.budget = core::gOptions->BudgetNameContext;
    if (const frmDataTable* explorer = frmDataTable::loaded()) {
        if (explorer->cbxUpdateMode()->text().compare(frmDataTable::kAllFolders, Qt::CaseInsensitive) != 0)
            request.folderFilter = explorer->cbxFolderName()->text();
        request.changeMode = explorer->cbxChgeDataMode()->text();
    }
    const workbooks::UpdateTally before = workbooks::UpdateTallySoFar();
    workbooks::UpdateMasterFilesCommand(request);
    platform::ui::showStatusLine(nullptr, workbooks::UpdateSummaryText(before));
    core::RunTrapped([] { RefreshStatusGrid(); });
}

} // namespace lumidesk
