// Switches the spreadsheet program's screen updating off for a piece of work and on again at its
// end, also when the work fails, as every long piece of work of the add-in does.
#pragma once

#include "lumicell/AddIn.h"
#include "platform/sheet/Application.h"

namespace lumicell {

class ScreenUpdatingOff {
public:
    ScreenUpdatingOff() {
        if (platform::sheet::Application* app = gXLApp())
            app->setScreenUpdating(false);
    }
    ~ScreenUpdatingOff() {
        if (platform::sheet::Application* app = gXLApp())
            app->setScreenUpdating(true);
    }
    ScreenUpdatingOff(const ScreenUpdatingOff&) = delete;
    ScreenUpdatingOff& operator=(const ScreenUpdatingOff&) = delete;
};

} // namespace lumicell
