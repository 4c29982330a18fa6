// See UpdateRun.h. Each master workbook gets its own application object (the stand-in for the
// run's hidden spreadsheet instance) for its turn. The user files' outcomes are collected as
// bookings while the turn goes on -- questions, the review pause and the errors table's own
// writes happen meanwhile with no transaction open -- and written in one short transaction
// after the master was saved.
#include "workbooks/UpdateRun.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/ErrorsTable.h"
#include "core/RunGuard.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/QuietHost.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/Ui.h"
#include "workbooks/CheckUserFilesExist.h"
#include "workbooks/MasterFileRow.h"
#include "workbooks/MasterWorkbookPasswords.h"
#include "workbooks/SharedUserFile.h"
#include "workbooks/WaitWindowSteps.h"
#include "workbooks/cUpdate.h"

#include <QDir>
#include <optional>
#include <vector>

namespace workbooks {

namespace {

using platform::db::Recordset;
using platform::sheet::Workbook;

const QString kOpeningText = QStringLiteral("Opening xl Master File");
const QString kComparingText = QStringLiteral("Comparing User file with master workbook.");
const QString kPreviewedText = QStringLiteral("Comparing array data. Closing files");
const QString kUpdatingText = QStringLiteral("Updating Worksheet from User File.");
const QString kErrorText = QStringLiteral("Writing error to the Errors table.");

// What the runs of this process did, added up turn by turn.
UpdateTally& tally() {
    static UpdateTally sum;
    return sum;
}

const QString kMastersOfBudget =
    QStringLiteral("SELECT * FROM MasterFiles WHERE Budget_Name = ? COLLATE NOCASE_U ORDER BY rowid");
const QString kMasterOfBudget =
    QStringLiteral("SELECT * FROM MasterFiles WHERE Budget_Name = ? COLLATE NOCASE_U "
                   "AND Master_File = ? COLLATE NOCASE_U ORDER BY rowid");

// The user files of one master workbook that wait to be merged: picked, built, not locked
// out, flagged, not missing; joined with their register rows of the same file and budget.
QString userFilesQuery(bool byFolder) {
    return QStringLiteral("SELECT Worksheet_Name,Worksheets.Select_By_User,Worksheets.Folder_Name, "
                          "Worksheets.UF_Create_Date,Worksheets.UF_Modified_Date,Worksheets.File_Missing, "
                          "Worksheets.User_Filename,Worksheets.UFNPath,Worksheets.Master_File, "
                          "Worksheets.Budget_Name,UserFileTablesData.Lockout_User_Updates,UserFileTablesData."
                          "UserFile_Update, "
                          "WS_Password,ID_UFTD,ID_Worksheets,Corrupt_Error,UF_Copy_Values "
                          "FROM Worksheets INNER JOIN UserFileTablesData "
                          "ON (Worksheets.User_Filename = UserFileTablesData.User_Filename COLLATE NOCASE_U "
                          "AND Worksheets.Budget_Name = UserFileTablesData.Budget_Name COLLATE NOCASE_U) "
                          "WHERE Worksheets.Select_By_User = 1 AND UF_Create_Date IS NOT NULL "
                          "AND UserFileTablesData.Lockout_User_Updates = 0 ") +
           (byFolder ? QStringLiteral("AND Worksheets.Folder_Name = ? COLLATE NOCASE_U ") : QString()) +
           QStringLiteral("AND Worksheets.Budget_Name = ? COLLATE NOCASE_U AND MasterFiles_ID = ? "
                          "AND UserFile_Update = 1 AND File_Missing = 0 ORDER BY Worksheets.rowid");
}

bool hasContext(const QString& budget) {
    return !budget.isEmpty() && budget.compare(QStringLiteral("Nothing"), Qt::CaseInsensitive) != 0;
}

// What a user file's turn leaves to be written once its master is saved.
struct Booking {
    qint64 worksheetId = 0;
    qint64 registerId = 0;
    std::optional<bool> userFileUpdate;
    std::optional<bool> corruptError;
    std::optional<QDateTime> modified;
    bool inMaster = false; // the file's values are in the master: booked once it holds them on disk
};

struct MasterFile {
    qint64 id = 0;
    QString file;
    QString fullPath;
    StoredPasswords passwords;
};

enum class Turn { Done, Cancelled };

// The outcome of a user file that no test is made of: another budget's row records it too.
constexpr qint32 kSharedFile = -1;

class MasterTurn {
public:
    MasterTurn(const UpdateRequest& request, const MasterFile& master)
        : request_(request)
        , master_(master) {}

    Turn run() {
        if (request_.openMaster) {
            LoadWaitWindowForWorkbooks();
            ShowWaitStep(master_.file, QString(), QString(), kOpeningText, 0, gUpdate->WSRecords);
            // The host program's screen updating and alerts, off for an open master's turn.
            const platform::sheet::QuietHost quiet(request_.openMaster->app,
                                                   platform::sheet::Quiet::ScreenAndAlerts);
            return merge(*request_.openMaster->workbook);
        }
        if (!master_.passwords.open.isEmpty() && master_.passwords.write.isEmpty()) {
            platform::ui::msgBox(kOpenWithoutWriteText, platform::ui::Buttons::Ok, core::appTitle());
            core::LogMasterPasswordError(master_.file, request_.budget);
            return Turn::Done;
        }
        if (platform::sys::IsFileInUse(master_.fullPath)) {
            core::LogFileInUseError(master_.file, QString(), true, request_.budget);
            return Turn::Done;
        }
        LoadWaitWindowForWorkbooks();
        ShowWaitStep(master_.file, QString(), QString(), kOpeningText, 0, gUpdate->WSRecords);

        platform::sheet::Application app;
        app.setDisplayAlerts(false);
        Workbook* opened = open(app);
        if (!opened)
            return Turn::Done;
        return merge(*opened);
    }

private:
    Turn merge(Workbook& book) {
        gUpdate->MFOpen = true;
        Recordset files = selectUserFiles();
        if (files.eof())
            return Turn::Done;
        gUpdate->WSRecords = files.recordCount();
        gUpdate->WSProcessed = 0;
        for (; !files.eof(); files.moveNext()) {
            // The steps are short: the events pending now go through, without waiting.
            if (core::PollCancel(0) || core::gOptions->CancelOp)
                return cancelled();
            mergeUserFile(book, files);
            if (core::gOptions->CancelOp)
                return cancelled();
        }
        // The last step is shown before the save, which lets no paint through.
        PaintWaitWindowNow();
        finish(book);
        return Turn::Done;
    }

    // A No to the corrupted-formula question, or Cancel (in the wait window or in the review),
    // ends the run before the next file: this master is neither saved nor booked as merged,
    // while what its files showed apart from it (a corrupt file, one unchanged) is booked.
    Turn cancelled() {
        bookApartFromMaster();
        return Turn::Cancelled;
    }

    // The master workbook opened for writing with its stored passwords; nothing (after its
    // message and errors row) when a password the file asks for is not stored, or is wrong.
    Workbook* open(platform::sheet::Application& app) {
        platform::sheet::OpenOptions options;
        options.password = master_.passwords.open;
        options.writeResPassword = master_.passwords.write;
        Workbook* book = nullptr;
        try {
            book = &app.open(master_.fullPath, options);
        } catch (const platform::sheet::SheetError& error) {
            if (error.code() != platform::sheet::SheetError::Code::WrongPassword &&
                error.code() != platform::sheet::SheetError::Code::PasswordRequired)
                throw;
            passwordProblem();
            return nullptr;
        }
        if (!book->readOnly())
            return book;
        if (book->writeReserved()) // opened read-only for want of its write password
            passwordProblem();
        else // taken by another program meanwhile
            core::LogFileInUseError(master_.file, QString(), true, request_.budget);
        return nullptr;
    }

    void passwordProblem() {
        platform::ui::msgBox(kMasterPasswordMissingText.arg(master_.file), platform::ui::Buttons::Ok,
                             core::appTitle());
        core::LogMasterPasswordError(master_.file, request_.budget);
    }

    bool previewing() const {
        return gUpdate->UpChngeMode.compare(kPreviewChanges, Qt::CaseInsensitive) == 0;
    }

    Recordset selectUserFiles() {
        QVariantList params;
        if (!request_.folderFilter.isEmpty())
            params << request_.folderFilter;
        params << request_.budget << master_.id;
        gUpdate->SetConnection();
        return Recordset::open(gUpdate->Cnn(), userFilesQuery(!request_.folderFilter.isEmpty()), params);
    }

    void mergeUserFile(Workbook& book, const Recordset& row) {
        const QString worksheet = TextOf(row, QStringLiteral("Worksheet_Name"));
        const QString userFile = TextOf(row, QStringLiteral("User_Filename"));
        const QString path = TextOf(row, QStringLiteral("UFNPath"));
        // The file in hand counts as under way: the bar moves with each file, and a review
        // (preview, edit) shows how far the run has come, never an empty bar.
        ShowWaitStep(master_.file, userFile, worksheet, kComparingText, gUpdate->WSProcessed + 1,
                     gUpdate->WSRecords);

        Booking booking;
        booking.worksheetId = row.value(QStringLiteral("ID_Worksheets")).toLongLong();
        booking.registerId = row.value(QStringLiteral("ID_UFTD")).toLongLong();
        const QDateTime recorded =
            platform::db::parseDateTime(TextOf(row, QStringLiteral("UF_Modified_Date")));
        QString operation = previewing() ? kPreviewedText : kUpdatingText;
        const bool shared =
            OtherBudgetRecordingUserFile(gUpdate->Cnn(), path, TextOf(row, QStringLiteral("Budget_Name")))
                .has_value();
        switch (shared ? kSharedFile : gUpdate->TestWS(userFile, path, recorded)) {
        case kSharedFile:
            reportShared(userFile, path);
            operation = kErrorText;
            break;
        case cUpdate::kMissing:
            core::LogFileMissingError(userFile, true, request_.budget);
            break;
        case cUpdate::kInUse:
            core::LogFileInUseError(master_.file, userFile, true, request_.budget);
            break;
        case cUpdate::kNothingNew:
            booking.userFileUpdate = false;
            bookings_.push_back(booking);
            break;
        default: {
            // The file's time as compared: a file replaced meanwhile waits for the next run.
            const QDateTime compared = platform::sys::GetFileModifiedText(path);
            const qint32 result = gUpdate->UpdateWBWS(book, worksheet, userFile,
                                                      DecodedTextOf(row, QStringLiteral("WS_Password")), path,
                                                      row.value(QStringLiteral("UF_Copy_Values")).toBool());
            core::gOptions->CorruptedFlag = false;
            if (result == cUpdate::kFailed)
                operation = kErrorText;
            if (bookCompared(booking, result, compared))
                bookings_.push_back(booking);
            if (result == cUpdate::kWritten || result == cUpdate::kHandEditsKept)
                ++written_;
            if (result == cUpdate::kWritten || result == cUpdate::kNoChange)
                ++merged_;
            if (previewing() && result != cUpdate::kFailed)
                ++previewed_;
        }
        }
        ++gUpdate->WSProcessed;
        ShowWaitStep(master_.file, userFile, worksheet, operation, gUpdate->WSProcessed, gUpdate->WSRecords);
    }

    // Fills the booking of a compared user file; false when nothing is to be booked.
    static bool bookCompared(Booking& booking, qint32 result, const QDateTime& compared) {
        switch (result) {
        case cUpdate::kWritten:
        case cUpdate::kNoChange:
            booking.modified = compared;
            booking.userFileUpdate = false;
            booking.corruptError = false;
            booking.inMaster = true;
            return true;
        case cUpdate::kFailed:
            booking.userFileUpdate = true;
            booking.corruptError = true;
            return true;
        default: // shown only, or cells typed during the review kept: the file stays flagged
            return false;
        }
    }

    // A user file that the worksheet rows of two budgets record is neither's: it is not
    // tested, and stays waiting until one of them is cut elsewhere.
    void reportShared(const QString& userFile, const QString& path) {
        const QString what = QStringLiteral("The user file '%1' is not merged: ").arg(path);
        core::ShowErrorMessage(platform::db::DbError::kGeneral, what + kSharedUserFileText, core::appTitle());
        core::LogUserFileError(userFile, master_.file, kSharedUserFileText, request_.budget,
                               platform::sys::GetFileModifiedText(path));
    }

    // Saves the master once when anything was written (an open master also when it held
    // unsaved changes, and only when asked to be saved), then books its user files: those whose
    // values are in the master only when the file on disk holds them. The master's date is
    // booked after a save, and after a turn that found its user files merged already (a run
    // stopped between the save and the bookings leaves it so).
    void finish(Workbook& book) {
        bool saved = false;
        bool passwordsBack = false;
        const bool changed = written_ > 0 || (request_.openMaster && !book.saved());
        const bool saveWanted = !request_.openMaster || request_.openMaster->save;
        if (!previewing() && changed && saveWanted) {
            try {
                passwordsBack = save(book);
            } catch (const std::exception& error) {
                // The master keeps none of this turn: its files stay waiting, with an errors row.
                core::LogMasterSaveError(master_.file, core::ErrorInfoOf(error).description, request_.budget);
                bookApartFromMaster();
                throw;
            }
            saved = true;
        }
        const bool onDisk = book.saved();
        if (!request_.openMaster)
            book.close();

        platform::db::Connection& cnn = gUpdate->Cnn();
        platform::db::Transaction transaction(cnn);
        for (const Booking& booking : bookings_)
            if (onDisk || !booking.inMaster)
                write(cnn, booking);
        UpdateTally& sum = tally();
        if (previewing()) {
            sum.userFilesPreviewed += previewed_;
        } else if (merged_ > 0) {
            sum.userFilesMerged += merged_;
            ++sum.masterFilesMerged;
            sum.masterFilesSaved += saved ? 1 : 0;
        }
        if (saved || (!previewing() && merged_ > 0 && onDisk))
            cnn.execute(
                QStringLiteral("UPDATE MasterFiles SET MF_Modified_Date = ?, MFPwdsSet = MAX(MFPwdsSet, ?) "
                               "WHERE ID_MasterFiles = ?"),
                {platform::sys::GetFileModifiedText(master_.fullPath), passwordsBack ? 1 : 0, master_.id});
        transaction.commit();
    }

    // Saves the master, its passwords put back on a file the run opened with them; true then.
    bool save(Workbook& book) {
        if (!request_.openMaster && !master_.passwords.open.isEmpty()) {
            platform::sheet::SaveOptions both;
            both.password = master_.passwords.open;
            both.writeResPassword = master_.passwords.write;
            book.saveAs(master_.fullPath, both);
            return true;
        }
        book.save();
        return false;
    }

    // Books the outcomes that do not depend on the master's file.
    void bookApartFromMaster() {
        platform::db::Connection& cnn = gUpdate->Cnn();
        platform::db::Transaction transaction(cnn);
        for (const Booking& booking : bookings_)
            if (!booking.inMaster)
                write(cnn, booking);
        transaction.commit();
    }

    static void write(platform::db::Connection& cnn, const Booking& booking) {
        if (booking.userFileUpdate)
            cnn.execute(QStringLiteral("UPDATE UserFileTablesData SET UserFile_Update = ? WHERE ID_UFTD = ?"),
                        {*booking.userFileUpdate ? 1 : 0, booking.registerId});
        if (booking.corruptError)
            cnn.execute(QStringLiteral("UPDATE Worksheets SET Corrupt_Error = ? WHERE ID_Worksheets = ?"),
                        {*booking.corruptError ? 1 : 0, booking.worksheetId});
        if (booking.modified)
            cnn.execute(QStringLiteral("UPDATE Worksheets SET UF_Modified_Date = ? WHERE ID_Worksheets = ?"),
                        {*booking.modified, booking.worksheetId});
    }

    const UpdateRequest& request_;
    const MasterFile& master_;
    std::vector<Booking> bookings_;
    int written_ = 0;
    int merged_ = 0;    // compared and merged, with or without a change
    int previewed_ = 0; // compared and shown in preview mode
};

MasterFile masterOf(const Recordset& row) {
    MasterFile master;
    master.id = row.value(QStringLiteral("ID_MasterFiles")).toLongLong();
    master.file = TextOf(row, QStringLiteral("Master_File"));
    master.fullPath = JoinPath(TextOf(row, QStringLiteral("Path")), master.file);
    master.passwords = StoredPasswordsOf(row);
    return master;
}

// The budget's master workbooks; for an open master, the row of its own name and folder alone
// (a workbook of the same name in another folder is another master).
std::vector<MasterFile> mastersOf(const UpdateRequest& request) {
    gUpdate->SetConnection();
    std::vector<MasterFile> masters;
    if (!request.openMaster) {
        for (Recordset rows = Recordset::open(gUpdate->Cnn(), kMastersOfBudget, {request.budget});
             !rows.eof(); rows.moveNext())
            masters.push_back(masterOf(rows));
        return masters;
    }
    const Workbook& open = *request.openMaster->workbook;
    const QString openPath = QDir::cleanPath(open.fullName());
    for (Recordset rows = Recordset::open(gUpdate->Cnn(), kMasterOfBudget, {request.budget, open.name()});
         !rows.eof(); rows.moveNext()) {
        MasterFile master = masterOf(rows);
        if (QDir::cleanPath(master.fullPath) == openPath)
            masters.push_back(master);
    }
    return masters;
}

} // namespace

qint16 UpdateMastersFromUserFiles(const UpdateRequest& request) {
    const core::RunGuard::Token running;
    core::gOptions->CancelOp = false;
    qint16 result = kRunDone;
    try {
        gUpdate->UpdateRequester = request.requester;
        std::optional<platform::sheet::Application::WorkbookHold> hold;
        if (request.openMaster)
            hold.emplace(*request.openMaster->app, *request.openMaster->workbook);
        const std::vector<MasterFile> masters = mastersOf(request);
        // The activity check reads the budget's rows once for the whole run, not once a master.
        QList<qint64> ids;
        for (const MasterFile& master : masters)
            ids << master.id;
        const QHash<qint64, qint32> changed = CheckUserFilesOfMasters(ids);
        for (const MasterFile& master : masters) {
            gUpdate->ActiveWB = master.file;
            if (changed.value(master.id) == 0)
                continue;
            if (MasterTurn(request, master).run() == Turn::Cancelled) {
                result = kRunCancelled;
                break;
            }
        }
    } catch (const std::exception& error) {
        core::frmWait::unload();
        core::ShowErrorMessage(error);
    }
    core::frmWait::unload();
    core::gOptions->CancelOp = false;
    return result;
}

UpdateTally UpdateTallySoFar() {
    return tally();
}

QString UpdateSummaryText(const UpdateTally& before) {
    const UpdateTally now = tally();
    const auto files = [](qint64 count) {
        return platform::ui::countOf(int(count), QStringLiteral("user file"), QStringLiteral("user files"));
    };
    const qint64 merged = now.userFilesMerged - before.userFilesMerged;
    const qint64 masters = now.masterFilesMerged - before.masterFilesMerged;
    const qint64 unsaved = masters - (now.masterFilesSaved - before.masterFilesSaved);
    const qint64 previewed = now.userFilesPreviewed - before.userFilesPreviewed;
    if (previewed > 0 && merged == 0)
        return files(previewed) + QStringLiteral(" compared; nothing written (Preview changes)");
    QString text = files(merged) + QStringLiteral(" merged");
    if (masters > 0)
        text += QStringLiteral(" into ") + platform::ui::countOf(int(masters), QStringLiteral("master file"),
                                                                 QStringLiteral("master files"));
    if (unsaved > 0)
        text += QStringLiteral(", not saved");
    return text;
}

void UpdateMasterFilesCommand(const UpdateRequest& request) {
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    if (!hasContext(request.budget)) {
        platform::ui::msgBox(kSetBudgetContextText, platform::ui::Buttons::Ok, core::appTitle());
        return;
    }
    if (request.openMaster && request.openMaster->workbook->readOnly()) {
        const Workbook& book = *request.openMaster->workbook;
        platform::ui::msgBox(kMasterReadOnlyText.arg(book.name(), book.readOnlyReasonText()),
                             platform::ui::Buttons::Ok, core::appTitle());
        return;
    }
    gUpdate = std::make_unique<cUpdate>();
    gUpdate->WriteReviewedOnCancel = request.writeReviewedOnCancel;
    for (const QString& mode : {kAcceptChanges, kPreviewChanges, kEditChanges}) {
        if (request.changeMode.compare(mode, Qt::CaseInsensitive) == 0) {
            gUpdate->UpChngeMode = mode;
            core::gOptions->FrmWaitBig = mode != kAcceptChanges;
        }
    }
    UpdateMastersFromUserFiles(request);
    gUpdate.reset();
}

} // namespace workbooks
