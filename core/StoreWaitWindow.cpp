// See StoreWaitWindow.h.
#include "core/StoreWaitWindow.h"

#include "core/cOptions.h"
#include "core/frmWait.h"
#include "lumistore/WaitWindowHooks.h"
#include "platform/ui/ProgressBar.h"

#include <QCoreApplication>
#include <QLabel>
#include <memory>

namespace core {

namespace {

// Loads the window in the small layout, leaving the layout option as it was.
frmWait& loadSmall() {
    const bool big = gOptions && gOptions->FrmWaitBig;
    if (gOptions)
        gOptions->FrmWaitBig = false;
    frmWait& window = frmWait::load();
    if (gOptions)
        gOptions->FrmWaitBig = big;
    return window;
}

void prepare(frmWait& window) {
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

} // namespace

void InstallStoreWaitWindow() {
    // True while the clean-up shows the window it loaded itself.
    auto ours = std::make_shared<bool>(false);
    lumistore::setWaitWindowHooks(
        {[ours] {
             *ours = frmWait::loaded() == nullptr;
             if (*ours)
                 prepare(loadSmall());
         },
         [ours](const QString& table, const QString& operation, int maximum, int value) {
             frmWait* window = frmWait::loaded();
             if (!*ours || !window)
                 return;
             window->lblTableStatus()->setText(table);
             window->lblSysOperation()->setText(operation);
             window->CorvProgressBar1()->setMax(maximum);
             window->CorvProgressBar1()->setValue(value);
             window->repaint();
         },
         [ours] {
             if (*ours)
                 frmWait::unload();
             *ours = false;
         }});
}

} // namespace core
