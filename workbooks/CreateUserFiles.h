// Cutting user files: for every worksheet of a master workbook that the administrator picked,
// a workbook holding a copy of that one sheet (whole, or its values and formats only) is saved
// as <master folder>/<folder>/<sheet>.xlsx, carrying the stamp of what it was cut from
// (UserFileStamp.h), and the worksheet's row is stamped with the file's name, path and dates.
// Every later step (assignment, mail, activity check, update run) finds the user file through
// those columns. A picked worksheet without a folder is cut to nothing, and the cut says so at
// its end.
//
// A user file written after the date its row records holds a user's answers that no run has
// merged yet: before the cut replaces any such file, it asks (naming them) whether to replace
// them, whatever its overwrite choice; No keeps them and cuts the others.
//
// The desktop program opens the master workbook read-only, with its stored passwords; the
// add-in cuts from the master workbook open in the spreadsheet program. Either way the master
// is only read: a protected sheet is copied as it is and the copy is unprotected with the
// stored password, so the master file is byte for byte what it was after any cut, finished,
// cancelled or failed, and an open master keeps its protection and stays unchanged. The new
// workbooks are made in an application object of the cut's own, never among the workbooks the
// user has open, so they raise none of the user's application events. Each user file is saved
// atomically.
#pragma once

#include "platform/db/Recordset.h"
#include "workbooks/MasterFileRow.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace platform::sheet {
class Workbook;
}
namespace core {
class QueryObject;
}

namespace workbooks {

// Results of CreateUserFiles.
constexpr qint32 kCutFinished = 0;      // every chosen worksheet was cut, or skipped at the user's No
constexpr qint32 kCutCancelled = 1;     // the user answered Cancel to an overwrite question
constexpr qint32 kCutNoMasterRow = 3;   // no single MasterFiles row; kNoMasterRowText was shown
constexpr qint32 kCutMasterMissing = 4; // the master workbook file is missing; nothing shown
constexpr qint32 kCutMasterInUse = 5;   // the master workbook is open elsewhere; an errors row was written
constexpr qint32 kCutFailed = 6;        // an error ended the cut; the generic error message was shown

inline const QString kNoMasterRowText = QStringLiteral("The query didn't return the selected workbook.");
inline const QString kOverwriteText =
    QStringLiteral("The template (file) '%1' already exists. Do you want to overwrite it?");
inline const QString kPathTooLongText = QStringLiteral(
    "The user file '%1' cannot be made: its path is longer than the %2 characters that the budget "
    "records keep. Choose a shorter folder or worksheet name.");

// Asked before a cut replaces user files whose answers are not merged yet (paths, one a line).
inline const QString kWaitingAnswersQuestion = QStringLiteral(
    "These user files hold answers that have not been merged into the master workbook yet:\n%1\n"
    "Making them again replaces those answers. Do you want to replace them?\n"
    "No keeps them and makes the other user files.");
// Told after a cut for the picked worksheets that name no folder.
inline const QString kNoFolderText = QStringLiteral(
    "No user file was made of these worksheets, since no folder name is chosen for them: %1. Choose "
    "their folders in the Folder Name column, then make the user files again.");

inline const QString kUserFileOfAnotherBudgetText = QStringLiteral(
    "The user file '%1' is not cut for the budget '%2': the worksheet '%3' of the budget '%4' has "
    "its user file there already. Give one of the two worksheets another folder.");

// The user file of a worksheet: its name "<sheet>.xlsx" and its path below the master's folder.
QString UserFileName(const QString& worksheet);
QString UserFilePath(const QString& masterFolder, const QString& folder, const QString& worksheet);
// The copy kept of a user file marked corrupt: only the final extension changes
// (".../Sales.xlsx" -> ".../Salesold.xlsx").
QString CorruptCopyPath(const QString& userFilePath);

// Cuts the picked worksheets of the budget context's master workbook masterFile. overwriteAll
// replaces existing user files without asking. fromSelection limits the cut to the sheets named
// in selection and drives the progress bar from total and offset (the sheets handed over in
// earlier calls of the same run); otherwise every picked worksheet is cut.
qint32 CreateUserFiles(const QString& masterFile, bool overwriteAll, bool fromSelection, bool copyValues,
                       const QStringList& selection = {}, int total = 0, int offset = 0);

// How many user files the cuts of this process have saved so far: a command that cuts reads it
// before and after to say how many it made.
qint64 UserFilesCutSoFar();
// The status line of a command that cut: "4 user files cut" for the files cut since `before`
// (a reading of UserFilesCutSoFar).
QString UserFilesCutText(qint64 before);

// The master workbook of a cut, as its MasterFiles row describes it.
struct MasterToCut {
    QString file;
    QString folder;
    QString fullPath;
    qint64 id = 0;
    StoredPasswords passwords;
};

// What a cut makes: overwriteAll replaces existing user files without asking; fromSelection
// limits it to the sheets named in selection (letter case aside) and drives the progress bar
// from total and offset.
struct CutChoice {
    bool overwriteAll = false;
    bool fromSelection = false;
    bool copyValues = false;
    QStringList selection;
    int total = 0;
    int offset = 0;
};

// The steps of a cut, for a caller that checks more between them (the add-in's builder). They
// read through a query object of the caller's own: a cut never touches the update run's engine
// gUpdate, which a run paused in its review still uses.
// Reads the master's row of the budget context (file name equal ignoring case); false when not
// exactly one row matched.
bool FindMasterToCut(core::QueryObject& query, const QString& masterFile, MasterToCut& master);
// True when the master workbook file is on disk (its name looked up without regard to case);
// fullPath is then the file as the disk spells it.
bool LocateMasterToCut(MasterToCut& master);
// The picked worksheet rows of the master, in the order they were listed.
platform::db::Recordset OpenPickedWorksheets(core::QueryObject& query, const MasterToCut& master);
// Cuts the sheets of the rows from the master workbook book, which the caller holds open.
// kCutFinished or kCutCancelled; a failure is thrown (the rows stamped before it stay stamped).
qint32 CutWorksheets(core::QueryObject& query, platform::sheet::Workbook& book,
                     platform::db::Recordset& sheets, const MasterToCut& master, const CutChoice& choice);

// Stamps the Worksheets row of the worksheet in the budget context with the saved user file
// (its creation and last-write times, path, name, not missing, not corrupt, values only or
// not), and records the cut of the file (cutId, the one stamped into it; none: left as it was).
// A failure shows the generic error message; the cut goes on.
void RecordUserFileCreated(const QString& worksheetName, const QString& userFilename,
                           const QString& userFilePath, bool copyValues, const QString& cutId = {});

} // namespace workbooks
