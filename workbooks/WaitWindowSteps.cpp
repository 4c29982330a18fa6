// See WaitWindowSteps.h.
#include "workbooks/WaitWindowSteps.h"

#include "core/frmWait.h"
#include "platform/ui/ProgressBar.h"

#include <QLabel>

namespace workbooks {

bool LoadWaitWindowForWorkbooks() {
    if (core::frmWait::loaded())
        return false;
    core::frmWait& wait = core::frmWait::load();
    for (QLabel* label :
         {wait.lbldbTableLabel(), wait.lblTableStatus(), wait.lbldbTable2Label(), wait.lblTableStatus2()})
        label->hide();
    for (QLabel* label : {wait.lblMasterFileLabel(), wait.lblFileStatus2(), wait.lblFileStatus(),
                          wait.lblWorksheetLabel(), wait.lblWorksheet()})
        label->show();
    wait.CorvProgressBar1()->setMax(0);
    wait.CorvProgressBar1()->setValue(0);
    wait.CorvProgressBar1()->setDisplay(true);
    wait.setCursor(Qt::WaitCursor);
    wait.show();
    return true;
}

void ShowWaitStep(const QString& masterFile, const QString& userFile, const QString& worksheet,
                  const QString& operation, int value, int maximum) {
    core::frmWait* wait = core::frmWait::loaded();
    if (!wait)
        return;
    wait->lblFileStatus2()->setText(masterFile);
    wait->lblFileStatus()->setText(userFile);
    wait->lblWorksheet()->setText(worksheet);
    wait->lblSysOperation()->setText(operation);
    wait->CorvProgressBar1()->setMax(maximum);
    wait->CorvProgressBar1()->setValue(value);
    wait->CorvProgressBar1()->setDisplay(true);
    wait->repaint();
}

} // namespace workbooks
