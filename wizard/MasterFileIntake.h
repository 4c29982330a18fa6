// Registering a master workbook with the budget context (the wizard's Add on its master-file
// page): the administrator picks a workbook file, which is refused when the budget already
// holds a workbook of that name or another budget tracks that very file; otherwise it gets its
// MasterFiles row and its worksheets are listed (MasterSheetListing.h).
#pragma once

#include <QString>

namespace wizard {

inline const QString kFindMasterTitle = QStringLiteral("Find Master Budget Files");
inline const QString kMasterFilter = QStringLiteral("Excel Files (*.xlsx *.xlsm);;All Files (*)");
inline const QString kAddToListText = QStringLiteral("Add - %1 to list?");
inline const QString kAddToListTitle = QStringLiteral("Add Master Budget Files to List");
inline const QString kDuplicateMasterText = QStringLiteral("This is a duplicate master file.");
inline const QString kTrackedMasterText =
    QStringLiteral("This workbook is being tracked in the budget named %1.  You cannot add it here.");

// True when the budget (its name matched whole, letter case aside) holds a master workbook
// of that file name (letter case aside), from whatever folder.
bool BudgetHoldsMasterFile(const QString& fileName, const QString& budget);

// Runs the file dialog until a file is confirmed (No opens the dialog again; Cancel, or a name
// that is no file, ends without a word), checks it, adds its MasterFiles row (Folder_Name
// "Master", Path the file's folder, Drive the path's root "/", Process_Date now) and lists its
// sheets. Refused with a short message while a run is under way.
void AddMasterBudgetFiles();

} // namespace wizard
