// See AddInHelp.h.
#include "lumicell/AddInHelp.h"

#include "lumicell/AddInFolder.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/HelpWindow.h"

// The built-in pages live in the add-in's static library, whose resources are registered by name.
static void registerBuiltInPages() {
    Q_INIT_RESOURCE(lumicell_help);
}

namespace lumicell {

using platform::ui::HelpWindow;

void InstallAddInHelp() {
    registerBuiltInPages();
    HelpWindow::usePages(
        {kAddInHelpTitle, {AddInFolder() + QStringLiteral("/help"), QStringLiteral(":/lumicell-help")}});
    // The add-in's help opens on its contents whichever window asks.
    platform::ui::installHelpViewer(
        {[](const QString&) { HelpWindow::showContents(); }, [] { HelpWindow::closeAll(); }});
}

void RemoveAddInHelp() {
    HelpWindow::closeAll();
    platform::ui::installHelpViewer({});
}

} // namespace lumicell
