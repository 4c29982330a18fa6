// See AboutBox.h.
#include "lumidesk/AboutBox.h"

#include "core/startup/frmAbout.h"
#include "lumidesk/frmMain.h"

#ifndef LUMIVANE_VERSION_MAJOR
#define LUMIVANE_VERSION_MAJOR 0
#define LUMIVANE_VERSION_MINOR 0
#define LUMIVANE_VERSION_PATCH 0
#endif

namespace lumidesk {

core::frmAbout* DisplayAbout(bool timer) {
    core::AboutBoxSetup setup;
    setup.major = LUMIVANE_VERSION_MAJOR;
    setup.minor = LUMIVANE_VERSION_MINOR;
    setup.revision = LUMIVANE_VERSION_PATCH;
    setup.closed = [] {
        if (gMainForm)
            gMainForm->show();
    };
    return core::frmAbout::Display(timer, setup);
}

} // namespace lumidesk
