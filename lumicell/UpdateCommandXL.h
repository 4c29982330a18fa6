// The Run Budget dialog's Update: the budget context's returned user files merged into the
// workbook that is active in the program, in the change mode chosen, saved afterwards when
// "Save Master File" is on (the update run of workbooks/UpdateRun.h on the open master). While
// it runs, the options object says the dialog is busy (OKUMFClicked), so a workbook switch does
// not re-target it.
#pragma once

#include <QString>

namespace lumicell {

// Throws when no workbook is active.
void UpdateMasterFilesCommandXL(const QString& changeMode);

} // namespace lumicell
