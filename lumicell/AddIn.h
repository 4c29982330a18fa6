// The add-in's global objects and its six operations, as the entry object runs them. Everything
// OnOpenWorkBook sets up lives in one context (the spreadsheet program's Application, the event
// sink, the options object, the connection descriptor), so every entry object sees the same
// add-in; the options object and the connection descriptor are core's gOptions and gCnn, which
// the shared routines built into the add-in read. None of the operations traps an error: a step
// that fails ends the operation there and the failure is raised to the entry object, which
// answers the host with it; steps already done stay done.
//
// OnOpenWorkBook: keeps the application, hooks the event sink to it, creates the options object
// and the connection descriptor (the local master database: the add-in always works on it),
// writes "1" to its own "Runtime" "ReplaceDB", offers the migration of a replaced database when
// the desktop program's "Runtime" "ReplaceDB" is set (Cancel ends OnOpenWorkBook there), then,
// with the master database there, reads its options, sets DisplayLumiAlerts "True" and shows the
// About box as a five-second splash (or, with "Options" "Splash" set, writes "Runtime" "Nope"
// "1"); without it, says where to copy it. A second OnOpenWorkBook replaces the context.
// AppShutdown: DisplayLumiAlerts "False", WriteValues, unloads the add-in's windows (whichever
// reference opened them) and releases the context. RunBudget shows the Run Budget dialog
// (lumicell/frmRun.h) and Configure the configuration window in the add-in's edition
// (admin/ConfigureAddIn.h), both modeless and owned by the program's window. Before OnOpenWorkBook, and after
// AppShutdown, every other operation fails with NotStartedError.
#pragma once

#include <QString>
#include <stdexcept>

namespace platform::sheet {
class Application;
}

namespace lumicell {

class cOptions;

// The failure of an operation called while the add-in is not started: the number of an object
// that is not set.
class NotStartedError : public std::runtime_error {
public:
    static constexpr int kNumber = 91;
    NotStartedError();
};

// The form names of the add-in's windows (the dialogs each register under their name).
inline const QString kRunBudgetForm = QStringLiteral("frmRunBudget");
inline const QString kBuildBudgetForm = QStringLiteral("frmBuild");
inline const QString kConfigureForm = QStringLiteral("frmConfigure");
inline const QString kAboutForm = QStringLiteral("frmAbout");

// The About box's place on the spreadsheet program's window, in twips.
inline constexpr int kAboutLeftTwips = 4540;
inline constexpr int kAboutTopTwips = 3610;

void OnOpenWorkBook(platform::sheet::Application& oApp);
void AboutBudget();
void BuildBudget();
void Configure();
void RunBudget();
void AppShutdown();

// "LumivaneXL Ver <major>.<minor>.<revision>": the version text of the add-in's dialogs.
QString VersionText();

// The options object while the add-in is started; null otherwise.
cOptions* gOptions();
// The spreadsheet program's Application while the add-in is started; null otherwise.
platform::sheet::Application* gXLApp();

} // namespace lumicell
