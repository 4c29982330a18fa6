// Which budget already tracks a workbook: the setup wizard asks before it registers a master
// workbook, so that one workbook file never belongs to two budgets.
#pragma once

#include <QString>

namespace workbooks {

// The Budget_Name of the first MasterFiles row (in table order) whose Master_File equals
// fileName and whose Path equals folderPath (both without regard to case, a final "/" of the
// folder ignored) and whose Budget_Name is not empty; "" when there is none. A failure shows
// the generic error message and answers "".
QString GetBudgetForWorkbook(const QString& fileName, const QString& folderPath);

} // namespace workbooks
