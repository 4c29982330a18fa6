// See WaitWindow.h.
#include "lumicell/worksheets/WaitWindow.h"

#include "core/frmWait.h"
#include "platform/ui/ProgressBar.h"

namespace lumicell {

core::frmWait& ShowWaitWindow(const QString& caption, const QList<WaitLabel>& shown) {
    core::frmWait& wait = core::frmWait::load();
    wait.setWindowTitle(caption);
    const QList<WaitLabel> all = {&core::frmWait::lblMasterFileLabel, &core::frmWait::lblFileStatus2,
                                  &core::frmWait::lblBudgetFileLabel, &core::frmWait::lblFileStatus,
                                  &core::frmWait::lblWorksheetLabel,  &core::frmWait::lblWorksheet,
                                  &core::frmWait::lbldbTableLabel,    &core::frmWait::lblTableStatus,
                                  &core::frmWait::lbldbTable2Label,   &core::frmWait::lblTableStatus2};
    for (WaitLabel label : all)
        (wait.*label)()->setVisible(shown.contains(label));
    wait.CorvProgressBar1()->setMax(0);
    wait.CorvProgressBar1()->setValue(0);
    wait.CorvProgressBar1()->setDisplay(true);
    wait.setCursor(Qt::WaitCursor);
    wait.show();
    return wait;
}

void ShowWaitProgress(const QString& operation, const QString& worksheet, int value, int maximum) {
    core::frmWait* wait = core::frmWait::loaded();
    if (!wait)
        return;
    wait->lblSysOperation()->setText(operation);
    wait->lblWorksheet()->setText(worksheet);
    wait->CorvProgressBar1()->setMax(maximum);
    wait->CorvProgressBar1()->setValue(value);
    wait->CorvProgressBar1()->setDisplay(true);
    wait->repaint();
}

} // namespace lumicell
