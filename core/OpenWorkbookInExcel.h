// Opens a workbook that a window names (a master workbook or a user file of the budget
// context) in the spreadsheet program for the user. The windows that list workbooks call it
// when a workbook's name is clicked: the errors browser, the Budgets Explorer's tree and its
// status grid, the wizard's grids.
//
// Not available yet: the desktop program's workbook opening comes with the program's own
// windows. Until then it tells the user so and opens nothing.
#pragma once

#include <QString>

namespace core {

inline const QString kOpenWorkbookNotAvailableText = QStringLiteral(
    "Opening a workbook in the spreadsheet program is not available yet in this version of Lumidesk.");

void OpenWorkbookInExcel(const QString& name);

} // namespace core
