// See WindowOpeners.h.
#include "platform/ui/WindowOpeners.h"

#include <QHash>

namespace platform::ui {

namespace {

// Form names are compared without regard to case, as the window list compares them.
QHash<QString, WindowOpener>& openers() {
    static QHash<QString, WindowOpener> registered;
    return registered;
}

} // namespace

void setWindowOpener(const QString& formName, WindowOpener opener) {
    if (opener)
        openers().insert(formName.toLower(), std::move(opener));
    else
        openers().remove(formName.toLower());
}

bool hasWindowOpener(const QString& formName) {
    return openers().contains(formName.toLower());
}

bool openWindow(const QString& formName, QWidget* owner) {
    const auto found = openers().constFind(formName.toLower());
    return found != openers().constEnd() && (*found)(owner);
}

} // namespace platform::ui
