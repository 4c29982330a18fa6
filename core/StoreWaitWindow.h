// The data store library's clean-ups shown in the program's wait window: the hooks each
// program installs at start-up (lumistore/WaitWindowHooks.h). The window loads in its small
// layout, whatever the last run chose, with only the "db Table:" and "Sys Operation:" rows.
// A wait window that a run has loaded already stays the run's: the clean-up then shows
// nothing and leaves it loaded.
#pragma once

namespace core {

void InstallStoreWaitWindow();

} // namespace core
