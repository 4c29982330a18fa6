// The Create User Files grid of the Build Budget dialog and the worksheet records behind it:
// - RegisterWorkbookSheets lists the active workbook's sheets (the workbook view) and enters
//   every sheet the budget does not know yet into the Worksheets table (the entry shared with
//   the setup wizard: a name another master workbook of the budget holds is refused, told);
// - LoadCreateUserFilesGrid lists the master file's worksheet records (the database view);
// - SaveCreateUserFilesCell stores an edited cell: the row's tick and its folder, a typed part
//   of a folder name completed to the folder of that name or the first folder holding it.
// Both loaders offer the folder names as the folder column's drop-down list. The master file
// and the budget are the options object's MasterFilename and BudgetNameContext; records are
// matched by those names exactly (letter case aside).
#pragma once

#include <QString>

namespace lumicell {

class frmBuild;

inline const QString kNoFolderNamesText = QStringLiteral("There aren't any Folder_Name records.  Add some!");
inline const QString kNoFolderNamesTitle = QStringLiteral("Lumi");

// The folder names, tab-separated, for the folder column; "" after kNoFolderNamesText when the
// table holds none.
QString FolderNamesList();

void RegisterWorkbookSheets(frmBuild& dialog);
void LoadCreateUserFilesGrid(frmBuild& dialog);
void SaveCreateUserFilesCell(frmBuild& dialog, int row, int col);

} // namespace lumicell
