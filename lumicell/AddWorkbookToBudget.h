// Whether a workbook is a master file of a budget, as the Run Budget dialog asks when it opens
// on the active workbook and when the user switches to another: the workbook's MasterFiles row
// (its name and folder, exactly) makes its budget the budget context. A workbook of no budget
// is not offered for registration by this edition of the add-in: the user hears that and the
// answer is false.
#pragma once

#include <QString>

namespace lumicell {

inline const QString kRegistrationNotAvailable = QStringLiteral("Adding a workbook to a budget");

bool AddWorkbookToBudget(const QString& workbook, const QString& folder);

} // namespace lumicell
