// Shows one of the program's data windows as the main window shows its windows: a child
// window inside the main window when the main window is loaded (placed at its design place
// and told of its activation), else a window of its own.
#pragma once

#include <QRect>
#include <functional>

class QWidget;

namespace lumidesk {

class ChildWindow {
public:
    // window: a loaded data window; place: its design place in pixels; activated: run when
    // the child window is about to be activated.
    static void show(QWidget* window, const QRect& place, const std::function<void()>& activated);
};

} // namespace lumidesk
