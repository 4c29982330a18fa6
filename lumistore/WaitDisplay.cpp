// See WaitDisplay.h. The window is the program's wait window, built into the library from
// the same source (core/frmWait.cpp) with the library's own options object.
#include "lumistore/WaitDisplay.h"

#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/ui/ProgressBar.h"

#include <QCoreApplication>
#include <QLabel>

namespace lumistore {

using core::frmWait;

WaitDisplay::WaitDisplay() {
    if (!core::gOptions)
        core::gOptions = std::make_unique<core::cOptions>();
    frmWait& window = frmWait::load();
    for (QLabel* unused : {window.lblMasterFileLabel(), window.lblFileStatus2(), window.lblBudgetFileLabel(),
                           window.lblFileStatus(), window.lblWorksheetLabel(), window.lblWorksheet(),
                           window.lbldbTable2Label(), window.lblTableStatus2()})
        unused->hide();
    for (QLabel* used :
         {window.lbldbTableLabel(), window.lblTableStatus(), window.lblSysOp(), window.lblSysOperation()})
        used->show();
    platform::ui::ProgressBar* bar = window.CorvProgressBar1();
    bar->setMax(0);
    bar->setValue(0);
    bar->setDisplay(true);
    window.show();
    window.setCursor(Qt::WaitCursor);
    // Lets the window system show the window, so that each step's repaint reaches the
    // screen; input events stay queued, so no command can run inside the operation.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

WaitDisplay::~WaitDisplay() {
    frmWait::unload();
}

void WaitDisplay::step(const QString& table, const QString& operation, int maximum, int value) {
    frmWait* window = frmWait::loaded();
    if (!window)
        return;
    window->lblTableStatus()->setText(table);
    window->lblSysOperation()->setText(operation);
    window->CorvProgressBar1()->setMax(maximum);
    window->CorvProgressBar1()->setValue(value);
    window->repaint();
}

} // namespace lumistore
