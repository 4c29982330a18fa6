// Opens a workbook that a window names (a master workbook or a user file of the budget
// context) in the spreadsheet program for the user. The windows that list workbooks call it
// when a workbook's name is clicked: the errors browser, the Budgets Explorer's tree and its
// status grid, the wizard's grids.
//
// The lookup and the opening belong to the budget setup wizard, which core must not depend
// on; core keeps a settable opener instead, and the desktop program installs the wizard's
// routine into it at start-up. Until an opener is installed (the add-in, tests of core alone)
// a call tells the user that opening is not available and opens nothing.
#pragma once

#include <QString>
#include <functional>

namespace core {

inline const QString kOpenWorkbookNotAvailableText = QStringLiteral(
    "Opening a workbook in the spreadsheet program is not available yet in this version of Lumidesk.");

using WorkbookOpener = std::function<void(const QString& name)>;

// Installs the routine that OpenWorkbookInExcel runs; an empty function puts the
// not-available message back.
void setWorkbookOpener(WorkbookOpener opener);

// Runs the installed opener with the workbook's name.
void OpenWorkbookInExcel(const QString& name);

} // namespace core
