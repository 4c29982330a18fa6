// See ShellLinks.h.
#include "lumidesk/ShellLinks.h"

#include "core/FormUnload.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/StatusGrid.h"
#include "lumidesk/frmDataTable.h"
#include "lumidesk/frmFilesTables.h"
#include "lumidesk/frmFind.h"
#include "lumidesk/frmPrint.h"

namespace lumidesk::links {

namespace {

void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// The Explorer, loaded (and so shown) when it is not.
void explorerLoaded() {
    if (!frmDataTable::loaded())
        frmDataTable::Display();
}

} // namespace

void ShowBudgetsExplorer() {
    frmDataTable::Display();
}

void CloseBudgetsExplorer() {
    core::UnloadForm(frmDataTable::kFormName);
}

void ShowFileSystemView() {
    frmFilesTables::Display();
}

void ShowPrint() {
    bringForward(frmPrint::instance());
}

void ShowFind(QWidget* owner) {
    bringForward(frmFind::instance(owner));
}

qint32 SetBudgetContextAndRefresh() {
    return lumidesk::SetBudgetContextAndRefresh();
}

void ResetDataTableControls() {
    explorerLoaded();
    lumidesk::ResetDataTableControls();
}

void RefreshStatusGrid() {
    explorerLoaded();
    lumidesk::RefreshStatusGrid();
}

} // namespace lumidesk::links
