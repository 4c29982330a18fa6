// The grids of the Run Budget dialog, filled from the master database:
//   - the File tab's view grid: the registered workbooks, the template workbooks (the Templates
//     table rebuilt from the add-in's Templates folder first), the built user files, or the
//     budgets with their master workbooks; each view shows the whole database;
//   - the Update tab's grid and the Status tab's grid: the user files of the active master file
//     in the budget context, with the master file's date of its last update for the caption;
//   - the Send Mail tab's grid: the send-mail panel's, limited to the active master file.
// Rows are matched by name, exactly (ignoring case): a master file's or user file's name that
// merely contains another never brings the other's rows. A view without records, or a missing
// Templates folder, shows an empty grid; a Null column shows empty. Failures show the generic
// error message with the add-in library's title.
#pragma once

#include <QString>
#include <QStringList>

namespace platform::ui {
class DataGrid;
}

namespace lumicell {

class frmRun;

// The four views of the File tab, in the order of its list.
inline const QStringList kRunViews = {QStringLiteral("Workbooks"), QStringLiteral("Templates"),
                                      QStringLiteral("User Files"), QStringLiteral("Projects")};

// The workbook files of a folder (".xlsx" and ".xlsm", without regard to case), by name; none
// when the folder is missing.
QStringList GetFileList(const QString& folder);

// The add-in's Templates folder: "Templates" in the add-in's folder (the options' AppPath).
QString TemplatesFolder();

// Fills the view grid with the view of that name (exactly; another text leaves it empty).
void LoadTopDownView(platform::ui::DataGrid& grid, const QString& view);

// Opens the workbook of a view row in the host program (a double click in its first column);
// false when the view has no workbook to open or the opening failed (after its message).
bool OpenTopDownRow(const platform::ui::DataGrid& grid, const QString& view, int row);

// Fills the Update and Status grids of the dialog and its last-update date.
void LoadRunStatusGrids(frmRun& form);

// Fills the Send Mail grid with the active master file's user files.
void FillSendMailGridXL(frmRun& form);

} // namespace lumicell
