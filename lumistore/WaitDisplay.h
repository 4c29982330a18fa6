// Internal: the library's wait window for the length of one clean-up operation. It is loaded
// and prepared when the operation starts (only the "db Table:" and "Sys Operation:" rows
// shown, the bar empty, the hourglass over the window) and unloaded when the operation
// ends, also when it fails. The window is repainted at each step but lets no other window
// events through, so nothing can run inside the operation.
#pragma once

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
};

} // namespace lumistore
