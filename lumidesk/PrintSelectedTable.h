// Prints the grid chosen in the print window to a PDF file. Each printable grid is known by
// its document name in the Print table and lives in one of the program's windows; a window
// that is not loaded is loaded for the print (hidden) and unloaded again afterwards. The
// Budgets Explorer is closed before the print and shown again after it.
//
// | document                 | grid                        | afterwards               |
// | "FolderNames table"      | frmConfigure.dtFolderNames  | frmConfigure unloaded    |
// | "Errors table"           | frmErrorsTable.dtErrors     | frmErrorsTable unloaded  |
// | "Master files table"     | frmWizard.dtMasterFiles     | frmWizard unloaded       |
// | "User file assign table" | frmWizard.dtUFAssign        | frmWizard unloaded       |
// | "Users status table"     | frmDataTable.dtUFStatus     | -                        |
// | "UsersData table"        | frmConfigure.dtUsersData    | frmConfigure unloaded    |
// | "Worksheets table"       | frmWizard.dtWorksheets      | frmWizard unloaded       |

#pragma once

#include <QString>

namespace lumidesk {

// Prints the grid of the print window's chosen row with the row's page title, as its
// "Skip hidden columns" and "Fit on one page" boxes say, to a PDF file asked for through the
// save dialog; then unloads the print window and shows the Budgets Explorer. A document
// name the program does not know prints nothing. True when a file was written.
//
// Nothing happens (the print window stays) when the save dialog is cancelled; a file that
// cannot be written is reported.
bool PrintSelectedTable();

// The message when the PDF file could not be written.
QString PrintFailedText(const QString& path);

} // namespace lumidesk
