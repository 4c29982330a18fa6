// Internal: the wait window for the length of one clean-up operation, reached through the
// hooks the program installed (WaitWindowHooks.h). It is opened when the operation starts and
// closed when the operation ends, also when it fails; without hooks nothing is shown.
#pragma once

#include "lumistore/WaitWindowHooks.h"

#include <QString>

namespace lumistore {

class WaitDisplay {
public:
    WaitDisplay();
    ~WaitDisplay();
    WaitDisplay(const WaitDisplay&) = delete;
    WaitDisplay& operator=(const WaitDisplay&) = delete;

    // Shows the table and the operation, sets the bar, repaints the window.
    void step(const QString& table, const QString& operation, int maximum, int value);

private:
    // The hooks as they were when the operation started, so that open and close always pair.
    WaitWindowHooks hooks_;
};

} // namespace lumistore
