// The desktop program's help pages: those in a "help" folder beside the program, else the pages
// built into it from lumidesk/help/. The start-up names them before the first window shows.
#pragma once

namespace lumidesk {

void UseDesktopHelpPages();

} // namespace lumidesk
