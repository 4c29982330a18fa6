// See QuietHost.h.
#include "platform/sheet/QuietHost.h"

#include "platform/sheet/Application.h"

namespace platform::sheet {

void setQuiet(Application& app, Quiet what, bool quiet) {
    app.setScreenUpdating(!quiet);
    if (what == Quiet::ScreenAndAlerts)
        app.setDisplayAlerts(!quiet);
}

QuietHost::QuietHost(Application* app, Quiet what)
    : app_(app)
    , what_(what) {
    if (app_)
        setQuiet(*app_, what_, true);
}

QuietHost::~QuietHost() {
    if (app_)
        setQuiet(*app_, what_, false);
}

} // namespace platform::sheet
