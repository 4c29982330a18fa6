// Lumisheet, the project's spreadsheet program: it shows and edits workbooks of the workbook
// layer and hosts the add-in.
//
//   lumisheet [--no-add-in | --add-in <library>] [workbook ...]
//
// Without an option it loads the add-in found beside it (liblumicell.so), starts it with its
// Application, and then opens the workbooks named on the command line. The process is the
// add-in's edition of the system: its messages and settings are the add-in's.
#include "corvakit/CorvInfoPPG.h"
#include "lumisheet/AddInHost.h"
#include "lumisheet/MainWindow.h"
#include "lumisheet/WorkbookFiles.h"
#include "platform/sheet/Application.h"
#include "platform/sys/Edition.h"
#include "platform/ui/ControlInfoPage.h"
#include "platform/ui/WindowOpeners.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
    platform::sys::setEdition(platform::sys::Edition::addIn());
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumisheet"));
    // Shift+F1 on a control of the add-in's windows shows the controls' information page.
    platform::ui::setWindowOpener(platform::ui::kControlInfoPageForm, corvakit::ShowInfoPage);

    QStringList arguments = QApplication::arguments().mid(1);
    QString library = lumisheet::AddInHost::defaultLibraryPath();
    if (arguments.value(0) == QStringLiteral("--no-add-in")) {
        library.clear();
        arguments.removeFirst();
    } else if (arguments.value(0) == QStringLiteral("--add-in") && arguments.size() >= 2) {
        library = arguments.at(1);
        arguments.remove(0, 2);
    }

    platform::sheet::Application app;
    lumisheet::AddInHost addIn;
    if (!library.isEmpty())
        addIn.load(library);
    lumisheet::MainWindow window(app, &addIn);
    window.show();
    addIn.start(app);
    for (const QString& path : arguments)
        lumisheet::OpenWorkbook(app, path);
    const int code = QApplication::exec();
    addIn.shutDown();
    return code;
}
