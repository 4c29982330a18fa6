// See ChildWindow.h.
#include "lumidesk/ChildWindow.h"

#include "lumidesk/frmMain.h"
#include "platform/ui/LoadedWindows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

namespace lumidesk {

void ChildWindow::show(QWidget* window, const QRect& place, const std::function<void()>& activated) {
    auto* main = qobject_cast<frmMain*>(platform::ui::LoadedWindows::find(QStringLiteral("frmMain")));
    auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (!main || (frame && frame->mdiArea() != main->mdiArea())) {
        window->show();
        window->raise();
        window->activateWindow();
        return;
    }
    if (!frame) {
        frame = main->addChildWindow(window);
        frame->setGeometry(place);
        QObject::connect(frame, &QMdiSubWindow::aboutToActivate, window, activated);
    }
    window->show();
    frame->show();
    main->mdiArea()->setActiveSubWindow(frame);
}

} // namespace lumidesk
