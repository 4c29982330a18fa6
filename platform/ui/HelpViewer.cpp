// See HelpViewer.h.
#include "platform/ui/HelpViewer.h"

#include "platform/sys/ProgramHook.h"

namespace platform::ui {

namespace {

platform::sys::ProgramHook<HelpViewer> installed("help viewer");

} // namespace

bool HelpViewer::complete() const {
    return showPage && closeAll;
}

void installHelpViewer(HelpViewer viewer) {
    installed.install(std::move(viewer));
}

void showHelpPage(const QString& formName) {
    if (installed.current().showPage)
        installed.current().showPage(formName);
}

void closeHelpWindows() {
    if (installed.current().closeAll)
        installed.current().closeAll();
}

} // namespace platform::ui
