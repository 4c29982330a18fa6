// The hooks through which the lower layers reach the desktop program's own windows: the wait
// window lent to the data store library, the workbook opener of the core services, the help
// window, the windows that other subsystems open by form name (the Budgets Explorer, the
// address-import window), the sample-budget installation of the configuration window, the
// user-file register sync of the cut, and the release of the data environments' and the
// update engine's connections to the master database. The start-up installs them before the
// first window shows.
#pragma once

namespace lumidesk {

void InstallProgramHooks();

} // namespace lumidesk
