// Keeps the spreadsheet application quiet while the program's own code works on workbooks: its
// screen updating off (the windows showing workbooks are not redrawn cell by cell), and its
// alerts too where the work must not be interrupted by a question. QuietHost switches them off
// while some work runs and on again at its end, also when the work fails; setQuiet is the one
// switch it and the callers that switch by hand go through.
#pragma once

namespace platform::sheet {

class Application;

// What goes quiet: the screen updating alone, or the screen updating and the alerts.
enum class Quiet { Screen, ScreenAndAlerts };

// Switches what `what` names off when quiet, on again otherwise.
void setQuiet(Application& app, Quiet what, bool quiet);

class QuietHost {
public:
    // Without an application (the add-in not started, no host program) it does nothing.
    QuietHost(Application* app, Quiet what);
    ~QuietHost();
    QuietHost(const QuietHost&) = delete;
    QuietHost& operator=(const QuietHost&) = delete;

private:
    Application* app_;
    Quiet what_;
};

} // namespace platform::sheet
