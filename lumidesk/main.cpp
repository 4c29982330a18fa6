// Lumidesk, the desktop program. It runs its start-up checks on the master database; the
// main window and the rest of the start-up come with the application shell.
#include "core/AppTitle.h"
#include "lumidesk/Startup.h"
#include "platform/ui/Ui.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(core::kAppTitle);
    if (!lumidesk::RunStartupChecks())
        return 1;
    // Until the main window exists, say so plainly instead of pretending to start it.
    platform::ui::msgBox(QStringLiteral("The master database passed its start-up checks.\n\n"
                                        "The main window is not available yet in this version of Lumidesk."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
    return 0;
}
