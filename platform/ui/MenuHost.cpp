// See MenuHost.h.
#include "platform/ui/MenuHost.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace platform::ui {

namespace {

QPointer<QWidget>& host() {
    static QPointer<QWidget> current;
    return current;
}

} // namespace

void setMenuHost(QWidget* window) {
    host() = window;
}

QWidget* menuHost() {
    return host().data();
}

QMenu* hostMenu(const QString& name) {
    return host() ? host()->findChild<QMenu*>(name) : nullptr;
}

QAction* hostMenuItem(const QString& name) {
    return host() ? host()->findChild<QAction*>(name) : nullptr;
}

bool popUpHostMenu(const QString& name, const QPoint& globalPosition) {
    QMenu* menu = hostMenu(name);
    if (!menu)
        return false;
    menu->popup(globalPosition);
    return true;
}

void setHostMenuItemEnabled(const QString& name, bool enabled) {
    if (QAction* item = hostMenuItem(name))
        item->setEnabled(enabled);
}

} // namespace platform::ui
