// The add-in's user-file builder: cuts user files from the picked worksheets of the master
// workbook that is open and active in the spreadsheet program, through the one cut of the user
// files (workbooks/CreateUserFiles.h), which reads the open workbook and never changes it.
// Before it cuts, it refuses a workbook other than the one the Build Budget dialog accepted,
// one whose file is missing, and one open read-only (another program holds it), and offers to
// re-sync the worksheet records when the workbook's sheets no longer match the dialog's list.
// While it runs, OKCUFClicked keeps the event sink from re-targeting the dialog.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace platform::sheet {
class Workbook;
}
namespace platform::ui {
class DataGrid;
}

namespace lumicell {

class frmBuild;

// Results of CreateUserFilesXL.
constexpr qint32 kBuildDone = 0;          // went through (also when nothing was picked or cut)
constexpr qint32 kBuildCancelled = 1;     // Cancel at an overwrite question
constexpr qint32 kBuildFailed = 2;        // an error ended it; the generic error message was shown
constexpr qint32 kBuildNoMasterRow = 3;   // no single master-file row; told
constexpr qint32 kBuildMasterMissing = 4; // the master workbook file is not on disk; the caller tells
constexpr qint32 kBuildRefused = 6;       // not the accepted master workbook, or open read-only; told
constexpr qint32 kBuildReSync = 9;        // the administrator asked for a re-sync; the dialog is closed

inline const QString kNewWorkbookText =
    QStringLiteral("This is a new workbook. Close and re-open to add to a budget.");
inline const QString kReSyncQuestion =
    QStringLiteral("The Workbook worksheets list is different than the database.  Do you want to re-sync?");
// A workbook open read-only, with the reason (Workbook::readOnlyReasonText).
inline const QString kReadOnlyCutText =
    QStringLiteral("The workbook '%1' is open read-only (%2), so no user files can be made from it.");

// Cuts the picked worksheets of the master file of that name in the budget context. The
// dialog's Create User Files grid gives the list the workbook's sheets are compared with, and
// the dialog is closed when the administrator asks for a re-sync. overwrite replaces existing
// user files without asking; listMode cuts only the sheets in list (progress total and offset
// as the shared cut takes them); valuesOnly makes user files of values and formats.
qint32 CreateUserFilesXL(frmBuild& dialog, const QString& masterName, bool overwrite, bool listMode,
                         bool valuesOnly, const QStringList& list = {}, int total = 0, int offset = 0);

// True when the workbook's worksheet names and the grid's worksheet names (column 1) are the
// same names, sorted, compared with their letter case.
bool WorkbookMatchesDatabase(const platform::sheet::Workbook& book, const platform::ui::DataGrid& dtCUF);

} // namespace lumicell
