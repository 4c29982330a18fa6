// The add-in's entry object, cBridge, as its host program sees it: the one header the host
// includes, and the one C entry point that liblumicell.so exports. The host loads the library,
// looks the entry point up by name, creates the entry object with it, calls OnOpenWorkBook with
// its Application before anything else, calls the four commands when the user asks for them,
// and AppShutdown once when the add-in is unloaded or the program ends.
//
// The entry object holds no state of its own: everything OnOpenWorkBook sets up lives in the
// add-in's one context, so a second entry object sees the same add-in. No command traps its
// errors: a step that fails ends the command there, steps already done stay done, and the
// failure comes back to the host as an automation error (its number and description) in the
// command's result. Exceptions never cross the library's boundary.
#pragma once

#include <QString>
#include <QtGlobal>

namespace platform::sheet {
class Application;
}

namespace lumicell {

// What a command answers: nothing went wrong (number 0), or the automation error that ended it.
struct AutomationResult {
    qint64 number = 0;
    QString description;
    bool failed() const { return number != 0; }
};

class cBridge {
public:
    virtual ~cBridge() = default;

    // Keeps the application, hooks the add-in's event sink to it, creates the add-in's global
    // objects, checks the master database, offers the migration of a replaced database and
    // shows the start-up splash. Must be the first call; a second one replaces what the first
    // set up.
    virtual AutomationResult OnOpenWorkBook(platform::sheet::Application& oApp) = 0;
    // The About box, modeless.
    virtual AutomationResult AboutBudget() = 0;
    // The Build Budget dialog, modeless.
    virtual AutomationResult BuildBudget() = 0;
    // The configuration window, modeless.
    virtual AutomationResult Configure() = 0;
    // The Run Budget dialog, modeless.
    virtual AutomationResult RunBudget() = 0;
    // Saves the options, closes the add-in's windows and releases its global objects.
    virtual AutomationResult AppShutdown() = 0;
};

} // namespace lumicell

// The library's one exported function: a new entry object, owned by the caller.
extern "C" lumicell::cBridge* LumicellCreateBridge();

namespace lumicell {

inline constexpr const char* kEntryPointName = "LumicellCreateBridge";
using CreateBridgeFunction = cBridge* (*)();

} // namespace lumicell
