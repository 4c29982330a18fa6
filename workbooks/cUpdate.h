// The update engine cUpdate and its program-wide instance gUpdate. The update run creates a
// fresh engine, sets its change mode and counters, and has it test each returned user file on
// disk (TestWS), compare it with its master worksheet and write, show or let the administrator
// edit the changes (UpdateWBWS). Like the query objects it has a database connection of its
// own with GetRecordset, so the user-file cut uses it as its query object too.
//
// A user file is merged whole or not at all: every change is checked before the first write
// (the master cell writable, a formula to be written one the workbook takes and that does not
// read its own result), so a master is never saved half merged. A file stamped for another
// worksheet row (another budget, master, sheet or cut: UserFileStamp.h) is refused. The file's
// sheet of the master sheet's name is compared: never a sheet the user added, nor the one sheet
// of another name of a file without a stamp; a file stamped for this row may have its one sheet
// renamed. A file that cannot be read, or has no such sheet, is named in its message and logged
// once per version. A changed cell whose value is an error, or a circular formula, stops the
// file as a corrupted formula does, its question saying which it is (an error value, a formula
// on a sheet the file lacks, a deleted reference, a circle); a formula the workbook cannot take
// is refused naming the user's cell. Values a values-only file holds beside the block it was cut
// from are left out at the administrator's word. A text of the user file is written as text,
// never read as a number or date. Changes that cannot be taken over are left, and reported in
// the errors table when the file's other cells are merged: a locked cell of a protected master
// sheet (Protected_Error) and, for a user file of values only, a master cell that holds a
// formula (Formula_Error), which a value must never replace.
//
// The review of the preview and edit modes lets window events through, so the administrator
// may type into the master meanwhile: before the first write every changed cell is read again,
// and one whose text is no longer the one compared is not written over. The run says so, with
// an errors row per cell (Sync_Error), writes the file's other changes and leaves the file
// waiting, so that the next run compares it again. The master sheet is written whether it is
// shown or hidden: a hidden sheet is never activated.
#pragma once

#include "core/QueryObject.h"
#include "workbooks/CellComparison.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace platform::sheet {
class Workbook;
}

namespace workbooks {

inline const QString kAcceptChanges = QStringLiteral("Accept changes");
inline const QString kPreviewChanges = QStringLiteral("Preview changes");
inline const QString kEditChanges = QStringLiteral("Edit changes");

class cUpdate : public core::QueryObject {
public:
    using core::QueryObject::QueryObject;

    // Results of TestWS.
    static constexpr qint32 kUpdateIt = 0;   // changed since the recorded time and free
    static constexpr qint32 kMissing = 1;    // no file of the recorded name at the recorded path
    static constexpr qint32 kNothingNew = 2; // its last-write time is the recorded one
    static constexpr qint32 kInUse = 3;      // changed, but another program holds it

    // Results of UpdateWBWS.
    static constexpr qint32 kWritten = 0;       // changes written into the master sheet
    static constexpr qint32 kFailed = 2;        // a corrupted formula or an error: nothing written
    static constexpr qint32 kNoChange = 3;      // compared, nothing to take over
    static constexpr qint32 kNotWritten = 4;    // shown for review (or the edit cancelled): nothing written
    static constexpr qint32 kHandEditsKept = 5; // written, but cells typed during the review were kept:
                                                // the file stays waiting

    // The run's state, plain stored values.
    QString UpdateRequester;            // the program that started the run: "Lumi" or "LumiXL"
    QString ActiveWB;                   // file name of the master workbook in hand
    int WSRecords = 0;                  // user files selected for that master workbook
    int WSProcessed = 0;                // of those, handled so far
    bool MFOpen = false;                // the run has opened a master workbook
    QString UpChngeMode;                // kAcceptChanges, kPreviewChanges or kEditChanges (any other: accept)
    bool WriteReviewedOnCancel = false; // Cancel in the edit review still writes what was reviewed

    // Tests the user file userFile recorded at userFilePath with the recorded last-write time.
    qint32 TestWS(const QString& userFile, const QString& userFilePath,
                  const QDateTime& recordedModified) const;

    // Compares the user file (read-only) with the worksheet of the open master workbook and
    // takes the changes over as the change mode says. The sheet password, when given, protects
    // the master sheet again after the writes. A failure shows the generic error message and
    // answers kFailed; the engine's connection stays open.
    qint32 UpdateWBWS(platform::sheet::Workbook& master, const QString& worksheet, const QString& userFile,
                      const QString& sheetPassword, const QString& userFilePath, bool copyValues);

    // Lists the changes in the wait window's changes grid and waits for Continue or Cancel
    // (letting window events through); in edit mode the changed values as the administrator
    // left them come back into the list. True after Continue, and after Cancel in edit mode
    // with WriteReviewedOnCancel (the run ends after this file all the same).
    bool PreviewChanges(ChangeList& list);

private:
    bool isMode(const QString& mode) const { return UpChngeMode.compare(mode, Qt::CaseInsensitive) == 0; }
};

// The program's one update engine; empty between runs and uses.
extern std::unique_ptr<cUpdate> gUpdate;

} // namespace workbooks
