// Loaded-window lookup over the application's top-level widgets.
#include "platform/ui/LoadedWindows.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QWidget>

namespace platform::ui {

namespace {

bool named(const QWidget* widget, const QString& name) {
    return widget && widget->objectName().compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace

QWidget* LoadedWindows::find(const QString& name) {
    if (name.isEmpty() || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (named(window, name))
            return window;
    }
    // Child windows of a multiple-document main window live inside sub-windows.
    for (QWidget* window : windows) {
        const auto subWindows = window->findChildren<QMdiSubWindow*>();
        for (QMdiSubWindow* sub : subWindows) {
            if (named(sub, name))
                return sub;
            if (named(sub->widget(), name))
                return sub->widget();
        }
    }
    return nullptr;
}

bool LoadedWindows::isLoaded(const QString& name) {
    return find(name) != nullptr;
}

} // namespace platform::ui
