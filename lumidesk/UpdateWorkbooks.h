// Update Workbooks as the main window (menu and toolbar) and the Budgets Explorer start it:
// the folder filter and the change mode come from the explorer's lists (the explorer is loaded
// when it is not), the update run merges the returned user files of the budget context, and
// the explorer's status grid is read again afterwards. Refused while a run is under way.
#pragma once

namespace lumidesk {

void UpdateWorkbooks();

} // namespace lumidesk
