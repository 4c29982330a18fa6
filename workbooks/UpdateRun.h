// The update run: the returned user files of a budget are merged into their master
// workbooks, master workbook by master workbook, in accept, preview or edit mode. For each
// master the run checks its user files' activity, opens the workbook (with its stored
// passwords, for writing), tests and compares each waiting user file with the update engine,
// and -- in accept and edit mode, when anything was written -- saves the workbook once, with
// the passwords it had. The outcome of each user file is booked in the master database only
// after its master was saved, all of one master in one transaction; a cancel or a failure
// leaves the master file and the rows of its user files as they were. Problems become rows of
// the errors table.
#pragma once

#include <QString>
#include <QtGlobal>

namespace workbooks {

inline const QString kSetBudgetContextText = QStringLiteral("Set the Budget Context.");
// A master workbook whose file-open or write password the budget does not keep (or keeps wrong):
// it is skipped, with an errors row, and the run goes on.
inline const QString kMasterPasswordMissingText = QStringLiteral(
    "The master workbook '%1' cannot be updated: a password it is protected with is not stored with "
    "the budget, or is not correct. Enter its passwords on the Edit MasterFiles page of the Setup "
    "Budget Wizard.");
// A user file that the rows of two budgets record: merged into neither.
inline const QString kSharedUserFileText = QStringLiteral(
    "the worksheets of more than one budget record this user file, so it belongs to none of them. "
    "Give one worksheet another folder and cut its user file again.");

// What the command takes from the window that starts it.
struct UpdateRequest {
    QString budget;       // the budget context; empty or "Nothing" (any case) means none
    QString folderFilter; // a folder name, or empty for all folders
    QString changeMode;   // "Accept changes", "Preview changes" or "Edit changes"
};

// Results of UpdateMastersFromUserFiles.
constexpr qint16 kRunDone = 0;      // the run went through, or ended on an error it reported
constexpr qint16 kRunCancelled = 1; // the administrator cancelled

// The Update Workbooks command. Refused while another run is under way; asks for a budget
// context when there is none. Sets the change mode of a fresh gUpdate and the wait window's
// layout (gOptions->FrmWaitBig, big for preview and edit), runs UpdateMastersFromUserFiles and
// releases gUpdate. The caller refreshes what shows the user files' state.
void UpdateMasterFilesCommand(const UpdateRequest& request);

// The run over the budget's master workbooks; gUpdate must be a fresh engine with its change
// mode set. gOptions->CancelOp is cleared at its start and its end.
qint16 UpdateMastersFromUserFiles(const UpdateRequest& request);

} // namespace workbooks
