// What the rest of the desktop program calls of the user-file and update-engine subsystem:
// the user-file activity check and the update run.
//
// The update run is not built yet: until it is, it tells the user that it is not available
// and updates no workbook.
#pragma once

#include "workbooks/CheckUserFilesExist.h"

namespace workbooks {

// The Update Workbooks command: merges the budget context's returned user files into their
// master workbooks.
void UpdateMasterFilesCommand();

} // namespace workbooks
