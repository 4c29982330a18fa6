// See MailWait.h.
#include "mail/MailWait.h"

#include "core/SystemOps.h"
#include "platform/ui/ProgressBar.h"

#include <QLabel>

namespace mail {

core::frmWait& ShowMailWait(const QString& operation, const QList<QLabel*>& alsoShown, Progress progress) {
    core::frmWait& wait = core::frmWait::load();
    for (QLabel* label : wait.findChildren<QLabel*>())
        label->setVisible(label == wait.lblSysOp() || label == wait.lblSysOperation() ||
                          alsoShown.contains(label));
    wait.lblSysOperation()->setText(operation);
    wait.CorvProgressBar1()->setVisible(progress == Progress::Shown);
    wait.CorvProgressBar1()->setMax(0);
    wait.CorvProgressBar1()->setValue(0);
    wait.setCursor(Qt::WaitCursor);
    wait.show();
    core::Pause(0);
    return wait;
}

} // namespace mail
