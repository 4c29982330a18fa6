// How the event sink reaches the add-in's two main dialogs, Build Budget and Run Budget. Each
// dialog registers itself here while it is loaded and the sink addresses each one directly
// (never through the options object's active form, which names whichever window was activated
// last), so with both dialogs open each gets its own calls.
//
// A dialog implements SinkTarget and registers with the window whose destruction ends its
// registration; the sink then calls it when the user switches workbooks and, for the Build
// Budget dialog, for the summary mode's picks. The options object's open and busy flags
// (CUFIsRunning, RunBudIsRunning, OKCUFClicked, OKUMFClicked) still say when it is called.
#pragma once

#include <QString>

class QObject;

namespace lumicell {

class SinkTarget {
public:
    // Another workbook became active and is a registered master file: BudgetNameContext names
    // its budget and the options object's master-file members describe it. Reload from them.
    virtual void retarget() = 0;
    // The active workbook was deactivated (the budget context is empty now): empty the grids.
    virtual void clearGrids() = 0;
    // A whole row ("12") or column ("C") picked on a sheet in summary mode.
    virtual void addSummaryPick(bool isRow, const QString& entry) {
        (void)isRow;
        (void)entry;
    }

protected:
    ~SinkTarget() = default;
};

enum class MainDialog { Build, Run };

// Registers the dialog: window is the QObject whose destruction ends the registration, target
// the calls the sink makes. A null window unregisters.
void RegisterMainDialog(MainDialog which, QObject* window, SinkTarget* target);

// The registered dialog, or null when none is registered or its window is gone.
SinkTarget* RegisteredMainDialog(MainDialog which);

} // namespace lumicell
