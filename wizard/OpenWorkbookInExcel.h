// Opens a workbook for the administrator to look at: a window passes a workbook's file name,
// the routine finds the file through the master database and opens it in the spreadsheet
// program the project ships (Lumisheet), which shows it and stays open for the user. When that
// program cannot be started the user is told so.
//
// The name is looked up within the budget context, by exact equality ignoring case: first as
// a master workbook (MasterFiles), and when that gives not exactly one workbook, as a user
// file (Worksheets). Callers: the errors browser (through core's opener, which the desktop
// program's start-up sets to this routine), the Budgets Explorer's tree and status grid, the
// wizard's grids.
#pragma once

#include <QString>

namespace wizard {

// Error numbers of the program's message when the file cannot be opened.
inline constexpr qint32 kWorkbookNotFoundError = 53;
inline constexpr qint32 kWorkbookNotOpenedError = 1004;
// The description of that message when the spreadsheet program cannot be started (%1 the workbook).
inline const QString kSpreadsheetProgramMissingText =
    QStringLiteral("The workbook %1 could not be opened: the spreadsheet program Lumisheet could not be "
                   "started.  Check that it is installed beside Lumidesk.");

// No result. A master workbook of the context found once opens from its folder; otherwise the
// first user file of that name in the context opens from its recorded path (a user file not
// built yet, without a path, is passed over without a message). Every failure (no row found,
// a file missing or refused) shows the program's error message.
void OpenWorkbookInExcel(const QString& name);

// Opens the workbook at that path for the user; a missing or refused file shows the program's
// error message.
void OpenWorkbookFile(const QString& path);

} // namespace wizard
