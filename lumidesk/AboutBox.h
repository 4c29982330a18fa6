// The desktop program's About box: the shared box (core/startup/frmAbout.h) with the program's
// version, which shows the main window when it closes (the splash stands in front of the main
// window the start-up loaded behind it; from Help > About the main window is up already).
#pragma once

namespace core {
class frmAbout;
}

namespace lumidesk {

core::frmAbout* DisplayAbout(bool timer);

} // namespace lumidesk
