// The frame of a desktop-program dialog of which one instance is loaded at a time (Find, Print):
// a separate window owned by its owner, named by its form name (Window::kFormName) so that it is
// found as loaded, titled Window::kCaption, and deleted when closed, which unloads it. loaded()
// never loads it; instance() loads it, not shown, when it is not loaded.
#pragma once

#include "platform/ui/LoadedWindows.h"

#include <QWidget>

namespace lumidesk {

template <class Window> class SingleDialog : public QWidget {
public:
    // The loaded window, or null; never loads it.
    static Window* loaded() {
        return qobject_cast<Window*>(platform::ui::LoadedWindows::find(Window::kFormName));
    }
    // The loaded window, loading it (not shown) when it is not loaded.
    static Window* instance(QWidget* owner = nullptr) {
        if (Window* window = loaded())
            return window;
        return new Window(owner);
    }

protected:
    explicit SingleDialog(QWidget* owner)
        : QWidget(owner, Qt::Dialog) {
        setObjectName(Window::kFormName);
        setWindowTitle(Window::kCaption);
        setAttribute(Qt::WA_DeleteOnClose);
    }
};

} // namespace lumidesk
