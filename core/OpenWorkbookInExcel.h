// Opens a workbook that a window names (a master workbook or a user file of the budget
// context) in the spreadsheet program for the user. The windows that list workbooks call it
// when a workbook's name is clicked: the errors browser, the Budgets Explorer's tree and its
// status grid, the wizard's grids.
//
// The lookup and the opening belong to the budget setup wizard, which core must not depend
// on; core keeps a hook instead, and the program installs the wizard's routine into it at
// start-up.
#pragma once

#include <QString>
#include <functional>

namespace core {

using WorkbookOpener = std::function<void(const QString& name)>;

// Installs the routine that OpenWorkbookInExcel runs.
void setWorkbookOpener(WorkbookOpener opener);

// Runs the installed opener with the workbook's name; throws platform::sys::HookNotInstalled
// when the program installed none.
void OpenWorkbookInExcel(const QString& name);

} // namespace core
