// See DesktopHelp.h.
#include "lumidesk/DesktopHelp.h"

#include "platform/sys/SpecialFolders.h"
#include "platform/ui/HelpWindow.h"

// The built-in pages live in a static library, whose resources are registered by name.
static void registerBuiltInPages() {
    Q_INIT_RESOURCE(lumidesk_help);
}

namespace lumidesk {

void UseDesktopHelpPages() {
    registerBuiltInPages();
    platform::ui::HelpWindow::usePages(
        {QStringLiteral("Lumivane Help"),
         {platform::sys::programFolder() + QStringLiteral("/help"), QStringLiteral(":/help")}});
}

} // namespace lumidesk
