// The wait window as the cut and the update run show it: the "Master File:", "User File:" and
// "Worksheet:" pairs with their names, the operation text, the progress bar, and the two
// "db Table:" pairs hidden. A run loads the window only when it is not loaded yet and unloads
// it at its end.
#pragma once

#include <QString>

namespace workbooks {

// Loads the wait window for a workbook run (when it is not loaded), shows it modeless with the
// hourglass, and answers whether this call loaded it.
bool LoadWaitWindowForWorkbooks();

// The wait window for the life of a run: loaded (when it is not) on construction, unloaded at
// the end only when this scope loaded it, so a run called by another keeps the caller's window.
class WaitWindowScope {
public:
    WaitWindowScope();
    ~WaitWindowScope();
    WaitWindowScope(const WaitWindowScope&) = delete;
    WaitWindowScope& operator=(const WaitWindowScope&) = delete;

private:
    bool loadedHere_;
};

// Writes one step into the loaded wait window (nothing when it is not loaded). The window is
// painted at most every 40 ms; a step held back is painted by a timer as soon as events go
// through, or at once by PaintWaitWindowNow.
void ShowWaitStep(const QString& masterFile, const QString& userFile, const QString& worksheet,
                  const QString& operation, int value, int maximum);

// Paints the loaded wait window now with everything written into it: before the run waits for
// the user to read or edit what it shows.
void PaintWaitWindowNow();

} // namespace workbooks
