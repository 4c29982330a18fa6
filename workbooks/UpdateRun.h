// The update run: the returned user files of a budget are merged into their master
// workbooks, master workbook by master workbook, in accept, preview or edit mode. For each
// master the run checks its user files' activity, opens the workbook (with its stored
// passwords, for writing), tests and compares each waiting user file with the update engine,
// and -- in accept and edit mode, when anything was written -- saves the workbook once, with
// the passwords it had. The outcome of each user file is booked in the master database only
// once its master holds it on disk, all of one master in one transaction; a cancel or a
// failure leaves the master file and the rows of its user files as they were. Problems become
// rows of the errors table.
//
// The same run merges into a master workbook that is open in the spreadsheet program hosting
// the add-in (OpenMaster): it then works on that workbook alone -- the budget's master row of
// its name and folder --, holds it from the start to the end (a workbook activated meanwhile
// neither receives the writes nor is saved in its place, and closing it is refused), switches
// the program's screen updating and alerts off while it works and on again at every end, and
// saves it only when asked (Save Master File). Unsaved, the changes stay in the open workbook
// and its user files stay waiting for a run that saves.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace platform::sheet {
class Application;
class Workbook;
} // namespace platform::sheet

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

// A master workbook refused because the program holds it read-only, with the reason
// (Workbook::readOnlyReasonText).
inline const QString kMasterReadOnlyText =
    QStringLiteral("The workbook '%1' is open read-only (%2), so it cannot be updated.");

// The master workbook open in the add-in's host program.
struct OpenMaster {
    platform::sheet::Application* app = nullptr;
    platform::sheet::Workbook* workbook = nullptr;
    bool save = true; // save it after the run (Save Master File)
};

// What the command takes from the window that starts it.
struct UpdateRequest {
    UpdateRequest() = default;
    UpdateRequest(QString budget, QString folderFilter, QString changeMode)
        : budget(std::move(budget))
        , folderFilter(std::move(folderFilter))
        , changeMode(std::move(changeMode)) {}

    QString budget;       // the budget context; empty or "Nothing" (any case) means none
    QString folderFilter; // a folder name, or empty for all folders
    QString changeMode;   // "Accept changes", "Preview changes" or "Edit changes"
    QString requester = QStringLiteral("Lumi"); // the program that asks for the run
    // The add-in's run into the workbook open in its host; none for every master of the budget.
    std::optional<OpenMaster> openMaster;
    // Cancel in the edit review still writes that user file's changes as reviewed before the run
    // ends (unsaved and unbooked); otherwise nothing of it is written.
    bool writeReviewedOnCancel = false;
};

// Results of UpdateMastersFromUserFiles.
constexpr qint16 kRunDone = 0;      // the run went through, or ended on an error it reported
constexpr qint16 kRunCancelled = 1; // the administrator cancelled

// What the update runs of this process have done so far; a command reads it before and after
// its run to say what the run did.
struct UpdateTally {
    qint64 userFilesMerged = 0;    // merged into a master workbook (accept and edit modes)
    qint64 masterFilesMerged = 0;  // master workbooks that received them
    qint64 masterFilesSaved = 0;   // of those, saved
    qint64 userFilesPreviewed = 0; // compared in preview mode
};
UpdateTally UpdateTallySoFar();
// The status line of a run since `before`: "3 user files merged into 2 master files" (", not
// saved" when a master was left unsaved), or "2 user files compared; nothing written (Preview
// changes)".
QString UpdateSummaryText(const UpdateTally& before);

// The Update Workbooks command. Refused while another run is under way; asks for a budget
// context when there is none; refuses an open master that the host holds read-only. Sets the change mode of a
// fresh gUpdate and the wait window's layout (gOptions->FrmWaitBig, big for preview and edit), runs
// UpdateMastersFromUserFiles and releases gUpdate. The caller refreshes what shows the user files' state.
void UpdateMasterFilesCommand(const UpdateRequest& request);

// The run over the budget's master workbooks; gUpdate must be a fresh engine with its change
// mode set. gOptions->CancelOp is cleared at its start and its end.
qint16 UpdateMastersFromUserFiles(const UpdateRequest& request);

} // namespace workbooks
