// The program's side of the add-in: it loads liblumicell.so, creates the add-in's entry object
// through the library's one C entry point, starts the add-in with the program's Application
// (before the workbooks of the command line are opened), runs the four commands of the add-in's
// menu, and shuts the add-in down once when the program ends. A command that comes back with an
// automation error is shown to the user, as the error of the add-in; the program goes on. The
// library stays loaded for the life of the program.
#pragma once

#include "lumicell/cBridge.h"

#include <QString>
#include <memory>

class QLibrary;

namespace platform::sheet {
class Application;
}

namespace lumisheet {

class AddInHost {
public:
    AddInHost();
    ~AddInHost();
    AddInHost(const AddInHost&) = delete;
    AddInHost& operator=(const AddInHost&) = delete;

    // Where the program looks for the add-in: beside it, then in the build tree's lumicell/.
    static QString defaultLibraryPath();

    // Loads the library and creates the entry object; false, after telling the user, when the
    // library or its entry point cannot be found.
    bool load(const QString& libraryPath);
    bool isLoaded() const { return bridge_ != nullptr; }

    // The entry object's operations; a failure is shown and answered false.
    bool start(platform::sheet::Application& app);
    bool about();
    bool buildBudget();
    bool configure();
    bool runBudget();
    // AppShutdown, once: later calls do nothing.
    bool shutDown();

private:
    bool report(const lumicell::AutomationResult& result) const;

    std::unique_ptr<QLibrary> library_;
    std::unique_ptr<lumicell::cBridge> bridge_;
    bool started_ = false;
};

} // namespace lumisheet
