// Lumisheet, the project's spreadsheet program: it shows and edits workbooks of the workbook
// layer and hosts the add-in.
//
//   lumisheet [--no-add-in | --add-in <library>] [workbook ...]
//
// Without an option it loads the add-in found beside it (liblumicell.so), starts it with its
// Application, and then opens the workbooks named on the command line (read in the background
// while the program and the add-in start). The process is the add-in's edition of the system:
// its messages and settings are the add-in's. With LUMIVANE_REPORT_FIRST_PAINT set it says when the
// first page of the active sheet is painted and ends (see FirstPaintWatch.h).
#include "corvakit/CorvInfoPPG.h"
#include "lumisheet/AddInHost.h"
#include "lumisheet/FirstPaintWatch.h"
#include "lumisheet/MainWindow.h"
#include "lumisheet/WorkbookFiles.h"
#include "platform/sheet/Application.h"
#include "platform/sys/Edition.h"
#include "platform/ui/ControlInfoPage.h"
#include "platform/ui/ProgramIcons.h"
#include "platform/ui/WindowOpeners.h"

#include <QApplication>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    platform::sys::setEdition(platform::sys::Edition::addIn());
    // The application comes before anything else: the command line's workbooks are read on worker
    // threads, and Qt takes the first thread that touches it for the program's main thread.
    QApplication qapp(argc, argv);
    bool withAddIn = true;
    QString library;
    std::vector<lumisheet::PendingWorkbook> workbooks;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-add-in") == 0)
            withAddIn = false;
        else if (std::strcmp(argv[i], "--add-in") == 0 && i + 1 < argc)
            library = QString::fromLocal8Bit(argv[++i]);
        else
            workbooks.emplace_back(QString::fromLocal8Bit(argv[i]));
    }

    QApplication::setApplicationName(QStringLiteral("Lumisheet"));
    // Every window of the program, the add-in's included, carries the program's own icon.
    QApplication::setWindowIcon(platform::ui::programIcon(platform::ui::kLumisheetIcon));
    // Shift+F1 on a control of the add-in's windows shows the controls' information page.
    platform::ui::setWindowOpener(platform::ui::kControlInfoPageForm, corvakit::ShowInfoPage);

    platform::sheet::Application app;
    lumisheet::AddInHost addIn;
    if (withAddIn)
        addIn.load(library.isEmpty() ? lumisheet::AddInHost::defaultLibraryPath() : library);
    lumisheet::MainWindow window(app, &addIn);
    window.show();
    addIn.start(app);
    for (lumisheet::PendingWorkbook& workbook : workbooks)
        lumisheet::OpenWorkbook(app, workbook);
    lumisheet::ReportFirstPaintIfAsked(window);
    const int code = QApplication::exec();
    addIn.shutDown();
    return code;
}
