// See HelpViewer.h.
#include "platform/ui/HelpViewer.h"

namespace platform::ui {

namespace {

HelpViewer& installed() {
    static HelpViewer viewer;
    return viewer;
}

} // namespace

void installHelpViewer(HelpViewer viewer) {
    installed() = std::move(viewer);
}

void showHelpPage(const QString& formName) {
    if (installed().showPage)
        installed().showPage(formName);
}

void closeHelpWindows() {
    if (installed().closeAll)
        installed().closeAll();
}

} // namespace platform::ui
