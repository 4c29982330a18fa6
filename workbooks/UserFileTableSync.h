// How the cut reaches the register of user files. Bringing UserFileTablesData in step
// (SyncUserFileTable) belongs to the budget setup wizard, which itself builds user files
// through this subsystem; so that dependencies point one way, the program installs the
// wizard's routine here at start-up, as core reaches the workbook opener.
#pragma once

#include <functional>

namespace workbooks {

// Installs the routine.
void setUserFileTableSync(std::function<void()> sync);

// Runs the installed routine on the budget context; throws platform::sys::HookNotInstalled
// when the program installed none.
void SyncUserFileTable();

} // namespace workbooks
