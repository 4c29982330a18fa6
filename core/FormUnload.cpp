// Unloading windows by name; see FormUnload.h.
#include "core/FormUnload.h"

#include "platform/ui/LoadedWindows.h"

#include <QPointer>
#include <QWidget>

namespace core {

bool UnloadForm(const QString& name) {
    // Several windows of one name could be loaded; each is unloaded in turn.
    while (QWidget* found = platform::ui::LoadedWindows::find(name)) {
        QPointer<QWidget> window(found);
        if (!window->close() && window)
            return false;
        delete window.data(); // no-op when the window deleted itself on close
    }
    return true;
}

} // namespace core
