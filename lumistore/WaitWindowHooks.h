// How the data store library shows the progress of a clean-up: in the wait window of the
// program that loaded it, which the program lends the library at start-up by filling these
// hooks. The library knows no window of the programs above it; without the hooks (a program
// without windows, the library's own tests) its operations run without a window.
#pragma once

#include "lumistore/LumistoreExport.h"

#include <QString>
#include <functional>

namespace lumistore {

struct WaitWindowHooks {
    // Loads the wait window for one operation: only the table and operation rows shown, the
    // bar empty, the hourglass over it, and the window on the screen when it returns. No other
    // window events may run while the operation lasts.
    std::function<void()> open;
    // Shows the table and the operation, sets the bar, repaints the window.
    std::function<void(const QString& table, const QString& operation, int maximum, int value)> step;
    // Unloads what open loaded; called once after each open, also when the operation failed.
    std::function<void()> close;

    bool complete() const { return open && step && close; }
};

// Installs the hooks; empty ones take the window away again.
LUMISTORE_EXPORT void setWaitWindowHooks(WaitWindowHooks hooks);

} // namespace lumistore
