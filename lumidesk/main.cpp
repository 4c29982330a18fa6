// Lumidesk, the desktop program: one instance at a time; the start-up checks the master
// database and opens the first window, and the program then runs on its windows' events
// until the main window closes.
#include "core/AppTitle.h"
#include "lumidesk/AnswersFileUi.h"
#include "lumidesk/ProgramHooks.h"
#include "lumidesk/Startup.h"
#include "lumidesk/frmMain.h"
#include "platform/sys/Edition.h"
#include "platform/sys/SingleInstance.h"
#include "platform/ui/ProgramIcons.h"

#include <QApplication>

int main(int argc, char** argv) {
    platform::sys::setEdition(platform::sys::Edition::desktop());
    QApplication app(argc, argv);
    QApplication::setApplicationName(core::appTitle());
    // Every window of the program carries the program's own icon.
    QApplication::setWindowIcon(platform::ui::programIcon(platform::ui::kLumideskIcon));
    // The main window ends the program when it closes, not the last window to close (the
    // splash closes before the main window shows).
    QApplication::setQuitOnLastWindowClosed(false);
    lumidesk::AnswersFileUi::installFromEnvironment();
    lumidesk::InstallProgramHooks();

    platform::sys::SingleInstance instance(lumidesk::SingleInstanceKey());
    if (lumidesk::RefuseSecondInstance(instance))
        return 0;
    instance.onActivationRequested(&lumidesk::ActivateMainWindow);
    if (!lumidesk::RunStartup())
        return 1;
    // Unloading the main window ends the program.
    QObject::connect(lumidesk::gMainForm, &lumidesk::frmMain::unloaded, &app,
                     [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}
