// See CreateUserFiles.h. The cut makes its new workbooks in an application object of its own
// (the stand-in for the hidden spreadsheet instance); the desktop program holds the master
// workbook read-only in memory for the whole cut. The worksheet rows are read through a query
// object of the cut's own and stamped through gDB2, one row after each saved file, in a
// transaction that is committed before every question, so no question waits with the database
// held.
#include "workbooks/CreateUserFiles.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/ErrorsTable.h"
#include "core/QueryObject.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/db/CommitBatch.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/Ui.h"
#include "workbooks/MasterFileRow.h"
#include "workbooks/MasterWorkbookPasswords.h"
#include "workbooks/SharedUserFile.h"
#include "workbooks/UserFileStamp.h"
#include "workbooks/WaitWindowSteps.h"
#include "workbooks/WaitingAnswers.h"

#include <QFileInfo>
#include <optional>

namespace workbooks {

namespace {

// The user files saved by the cuts of this process.
qint64& userFilesCut() {
    static qint64 count = 0;
    return count;
}

using platform::db::Recordset;
using platform::sheet::Application;
using platform::sheet::CellRange;
using platform::sheet::PasteType;
using platform::sheet::Range;
using platform::sheet::Workbook;
using platform::sheet::Worksheet;
using platform::ui::Answer;

const QString kCreatingText = QStringLiteral("Creating User File from Master File Worksheet");
const QString kPickedSheets =
    QStringLiteral("SELECT * FROM Worksheets WHERE Select_By_User = 1 AND MasterFiles_ID = ? "
                   "AND Budget_Name = ? COLLATE NOCASE_U ORDER BY rowid");
const QString kSheetRow = QStringLiteral(
    "SELECT * FROM Worksheets WHERE Worksheet_Name = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U "
    "ORDER BY rowid");

QString context() {
    return core::gOptions ? core::gOptions->BudgetNameContext : QString();
}

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

// gDB2, through which the stamps are written, opened.
platform::db::Connection& stampConnection() {
    if (!core::gDB2)
        core::gDB2 = std::make_unique<core::cDB2>();
    core::gDB2->SetConnection();
    return core::gDB2->Cnn();
}

// The stamp of a saved user file on its worksheet row; failures are thrown.
void recordCreated(const QString& worksheetName, const QString& userFilename, const QString& userFilePath,
                   bool copyValues, const QString& cutId) {
    platform::db::Connection& cnn = stampConnection();
    if (!cutId.isEmpty())
        RecordUserFileCut(cnn, userFilePath, cutId);
    Recordset row = Recordset::open(cnn, kSheetRow, {worksheetName, context()});
    if (row.eof())
        return;
    row.setValue(QStringLiteral("UF_Create_Date"), platform::sys::GetFileCreatedTime(userFilePath));
    row.setValue(QStringLiteral("UF_Modified_Date"), platform::sys::GetFileModifiedText(userFilePath));
    row.setValue(QStringLiteral("UFNPath"), userFilePath);
    row.setValue(QStringLiteral("User_Filename"), userFilename);
    row.setValue(QStringLiteral("File_Missing"), 0);
    row.setValue(QStringLiteral("Corrupt_Error"), 0);
    row.setValue(QStringLiteral("UF_Copy_Values"), copyValues ? 1 : 0);
    row.update();
    row.close();
}

// The user workbook of one sheet: a copy of the whole sheet (unprotected with the stored
// password when the sheet is protected), or its values and formats from A1 to its last used
// cell pasted into a new workbook of the cut's own application. Either way its one sheet bears
// the master sheet's name, by which the update run finds it again, it carries the stamp of what
// it was cut from, and the master is only read.
void saveUserFile(Application& app, const Workbook& master, const Worksheet& sheet, const QString& path,
                  bool copyValues, const QString& sheetPassword, const UserFileStamp& stamp) {
    if (!copyValues) {
        std::unique_ptr<Workbook> book = master.copySheetToNewWorkbook(sheet, QFileInfo(path).fileName());
        if (!sheetPassword.isEmpty())
            book->sheet(0).unprotect(sheetPassword);
        WriteUserFileStamp(*book, stamp);
        book->saveCopyAs(path);
        book->close();
        return;
    }
    const CellRange block({1, 1}, sheet.lastCell());
    Workbook& book = app.add();
    book.renameSheet(book.activeSheet(), sheet.name());
    app.copy(Range(const_cast<Worksheet&>(sheet), block));
    const Range target(book.activeSheet(), block);
    target.pasteSpecial(PasteType::Formats);
    target.pasteSpecial(PasteType::Values);
    app.clearCopy();
    WriteUserFileStamp(book, stamp);
    book.saveCopyAs(path);
    app.close(book);
}

class Cut {
public:
    Cut(core::QueryObject& query, const MasterToCut& master, const CutChoice& choice)
        : query_(query)
        , master_(master)
        , choice_(choice)
        , stamps_(stampConnection()) {}

    // Cuts the picked worksheets in the rows from the open master; kCutFinished or kCutCancelled.
    qint32 run(Workbook& book, Recordset& sheets) {
        Application app; // the cut's own: its workbooks are never the user's
        ExcelDisplayOff(app);
        rowCount_ = sheets.recordCount();
        pathSize_ = sheets.field(sheets.fieldIndex(QStringLiteral("UFNPath"))).size;
        if (!askAboutWaitingAnswers(sheets))
            return kCutCancelled;
        qint32 result = kCutFinished;
        for (int row = 1; !sheets.eof(); sheets.moveNext(), ++row) {
            if (cutRow(app, book, sheets, row) == Outcome::Cancelled) {
                result = kCutCancelled;
                break;
            }
        }
        stamps_.commit();
        app.closeAll();
        if (!withoutFolder_.isEmpty())
            tell(kNoFolderText.arg(u'\'' + withoutFolder_.join(QStringLiteral("', '")) + u'\''));
        return result;
    }

private:
    enum class Outcome { Cut, Skipped, Cancelled };

    // Every message and question waits with the stamps written so far committed.
    Answer ask(const QString& text, platform::ui::Buttons buttons,
               platform::ui::Icon icon = platform::ui::Icon::None) {
        stamps_.commit();
        return platform::ui::msgBox(text, buttons, core::appTitle(), icon);
    }
    void tell(const QString& text) { ask(text, platform::ui::Buttons::Ok); }

    // A stamp that cannot be written is reported, and the cut goes on; the stamps before it
    // are committed first.
    void recordStamp(const QString& worksheet, const QString& path, const QString& cutId) {
        try {
            stamps_.begin();
            recordCreated(worksheet, UserFileName(worksheet), path, choice_.copyValues, cutId);
        } catch (const std::exception& error) {
            try {
                stamps_.commit();
            } catch (const std::exception&) {
                // the first failure is the one reported
            }
            core::ShowErrorMessage(error);
        }
    }

    // A user file that a worksheet of another budget records already (SharedUserFile.h) is
    // never cut over: the run would merge one budget's numbers into the other's master. Told,
    // with both names.
    bool recordedByAnotherBudget(const QString& path) {
        const std::optional<OtherBudgetsSheet> other =
            OtherBudgetRecordingUserFile(query_.Cnn(), path, context());
        if (!other)
            return false;
        tell(kUserFileOfAnotherBudgetText.arg(path, context(), other->worksheet, other->budget));
        return true;
    }

    bool chosen(const QString& worksheet) const {
        return !choice_.fromSelection || choice_.selection.contains(worksheet, Qt::CaseInsensitive);
    }

    // Where the user file of a row goes: its folder (as the disk spells it, when it is there)
    // and its file (the same).
    struct Target {
        QString worksheet;
        QString folderPath;
        bool folderExists = false;
        QString path;
        bool exists = false;
    };

    // The target of a row that names a user file to cut now; none for a row skipped (a row
    // without a folder, chosen and named, is noted for the message at the end).
    std::optional<Target> targetOf(const Recordset& row) {
        const QString folder = TextOf(row, QStringLiteral("Folder_Name"));
        Target target;
        target.worksheet = TextOf(row, QStringLiteral("Worksheet_Name"));
        if (target.worksheet.isEmpty() || !chosen(target.worksheet))
            return std::nullopt;
        if (folder.isEmpty()) {
            if (!withoutFolder_.contains(target.worksheet))
                withoutFolder_ << target.worksheet;
            return std::nullopt;
        }
        const platform::sys::FindData folderFound =
            platform::sys::GetFindData(JoinPath(master_.folder, folder));
        target.folderExists = folderFound.isFolder;
        target.folderPath = folderFound.isFolder ? folderFound.path : JoinPath(master_.folder, folder);
        const platform::sys::FindData existing =
            platform::sys::GetFindData(JoinPath(target.folderPath, UserFileName(target.worksheet)));
        target.exists = existing.found;
        target.path =
            existing.found ? existing.path : JoinPath(target.folderPath, UserFileName(target.worksheet));
        return target;
    }

    // A user file the cut would replace whose answers are not merged yet: the file the row
    // records is the one the cut replaces (WaitingAnswers.h).
    static bool holdsWaitingAnswer(const Recordset& row, const Target& target) {
        return target.exists && !row.isNull(row.fieldIndex(QStringLiteral("UF_Create_Date"))) &&
               TextOf(row, QStringLiteral("UFNPath")) == target.path &&
               HoldsWaitingAnswer(target.path, TextOf(row, QStringLiteral("UF_Modified_Date")));
    }

    // Before anything is replaced: when user files to be cut hold answers not merged yet, asks
    // whether to replace them, naming them. No keeps them (the others are cut), Cancel cuts
    // nothing: false then. The rows are read again from the first afterwards.
    bool askAboutWaitingAnswers(Recordset& sheets) {
        QStringList waiting;
        for (; !sheets.eof(); sheets.moveNext())
            if (const std::optional<Target> target = targetOf(sheets);
                target && holdsWaitingAnswer(sheets, *target))
                waiting << target->path;
        withoutFolder_.clear();
        if (sheets.recordCount() > 0)
            sheets.moveFirst();
        if (waiting.isEmpty())
            return true;
        const Answer answer = ask(kWaitingAnswersQuestion.arg(waiting.join(u'\n')),
                                  platform::ui::Buttons::YesNoCancel, platform::ui::Icon::Exclamation);
        keepWaiting_ = answer == Answer::No;
        return answer != Answer::Cancel;
    }

    Outcome cutRow(Application& app, Workbook& book, const Recordset& row, int rowNumber) {
        const std::optional<Target> target = targetOf(row);
        if (!target)
            return Outcome::Skipped;
        const QString& worksheet = target->worksheet;
        const QString& path = target->path;
        if (pathSize_ > 0 && path.size() > pathSize_) {
            tell(kPathTooLongText.arg(path).arg(pathSize_));
            return Outcome::Skipped;
        }
        if (recordedByAnotherBudget(path))
            return Outcome::Skipped;
        if (keepWaiting_ && holdsWaitingAnswer(row, *target))
            return Outcome::Skipped;
        if (target->exists && !choice_.overwriteAll) {
            const Answer answer =
                ask(kOverwriteText.arg(UserFileName(worksheet)), platform::ui::Buttons::YesNoCancel);
            if (answer == Answer::Cancel)
                return Outcome::Cancelled;
            if (answer != Answer::Yes)
                return Outcome::Skipped;
        }
        if (target->exists && row.value(QStringLiteral("Corrupt_Error")).toBool())
            platform::sys::CopyFileReplacing(path, CorruptCopyPath(path));

        ++cut_;
        ShowWaitStep(master_.file, UserFileName(worksheet), worksheet, kCreatingText,
                     choice_.fromSelection ? choice_.offset + cut_ : rowNumber,
                     choice_.fromSelection ? choice_.total : rowCount_);
        const Worksheet& sheet = book.sheet(worksheet);
        if (!target->folderExists)
            platform::sys::MakeFolder(target->folderPath);
        const UserFileStamp stamp{context(), master_.file, worksheet, NewCutId()};
        saveUserFile(app, book, sheet, path, choice_.copyValues,
                     DecodedTextOf(row, QStringLiteral("WS_Password")), stamp);
        ++userFilesCut();
        recordStamp(worksheet, path, stamp.cutId);
        return Outcome::Cut;
    }

    core::QueryObject& query_;
    const MasterToCut& master_;
    const CutChoice& choice_;
    int rowCount_ = 0;
    int pathSize_ = 0;
    int cut_ = 0;
    bool keepWaiting_ = false;  // No to the question about answers not merged yet
    QStringList withoutFolder_; // chosen worksheets that name no folder
    // The stamps of the files cut from this master: one transaction on gDB2's connection
    // instead of one for each file.
    platform::db::CommitBatch stamps_;
};

qint32 cutMaster(const QString& masterFile, const CutChoice& choice) {
    core::QueryObject query;
    MasterToCut master;
    if (!FindMasterToCut(query, masterFile, master)) {
        tell(kNoMasterRowText);
        return kCutNoMasterRow;
    }
    if (!LocateMasterToCut(master))
        return kCutMasterMissing;
    Recordset sheets = OpenPickedWorksheets(query, master);
    if (platform::sys::IsFileInUse(master.fullPath)) {
        core::LogFileInUseError(masterFile, QString(), true, context());
        return kCutMasterInUse;
    }
    platform::sheet::OpenOptions open;
    open.password = master.passwords.open;
    open.writeResPassword = master.passwords.write;
    open.readOnly = true;
    const std::unique_ptr<Workbook> book = Workbook::open(master.fullPath, open);
    const qint32 result = CutWorksheets(query, *book, sheets, master, choice);
    book->close();
    return result;
}

} // namespace

QString UserFileName(const QString& worksheet) {
    return worksheet + QString::fromLatin1(Workbook::kDefaultExtension);
}

QString UserFilePath(const QString& masterFolder, const QString& folder, const QString& worksheet) {
    return JoinPath(JoinPath(masterFolder, folder), UserFileName(worksheet));
}

QString CorruptCopyPath(const QString& userFilePath) {
    const QFileInfo file(userFilePath);
    const QString suffix = file.suffix();
    const QString name = file.fileName();
    const QString stem = suffix.isEmpty() ? name : name.left(name.size() - suffix.size() - 1);
    return JoinPath(file.path(),
                    stem + QStringLiteral("old") + (suffix.isEmpty() ? QString() : u'.' + suffix));
}

bool FindMasterToCut(core::QueryObject& query, const QString& masterFile, MasterToCut& master) {
    Recordset row;
    if (!OpenMasterFileRow(query, masterFile, context(), row))
        return false;
    master.file = masterFile;
    master.folder = TextOf(row, QStringLiteral("Path"));
    master.fullPath = JoinPath(master.folder, masterFile);
    master.id = row.value(QStringLiteral("ID_MasterFiles")).toLongLong();
    master.passwords = StoredPasswordsOf(row);
    row.close();
    return true;
}

bool LocateMasterToCut(MasterToCut& master) {
    const platform::sys::FindData found = platform::sys::GetFindData(master.fullPath);
    if (!found.found || found.isFolder || found.name.compare(master.file, Qt::CaseInsensitive) != 0)
        return false;
    master.fullPath = found.path;
    return true;
}

Recordset OpenPickedWorksheets(core::QueryObject& query, const MasterToCut& master) {
    query.SetConnection();
    return Recordset::open(query.Cnn(), kPickedSheets, {master.id, context()});
}

qint32 CutWorksheets(core::QueryObject& query, Workbook& book, Recordset& sheets, const MasterToCut& master,
                     const CutChoice& choice) {
    Cut cut(query, master, choice);
    return cut.run(book, sheets);
}

qint32 CreateUserFiles(const QString& masterFile, bool overwriteAll, bool fromSelection, bool copyValues,
                       const QStringList& selection, int total, int offset) {
    LoadWaitWindowForWorkbooks();
    qint32 result = kCutFailed;
    try {
        result = cutMaster(masterFile, {overwriteAll, fromSelection, copyValues, selection, total, offset});
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        result = kCutFailed;
    }
    core::frmWait::unload();
    return result;
}

qint64 UserFilesCutSoFar() {
    return userFilesCut();
}

QString UserFilesCutText(qint64 before) {
    return platform::ui::countOf(int(userFilesCut() - before), QStringLiteral("user file"),
                                 QStringLiteral("user files")) +
           QStringLiteral(" cut");
}

void RecordUserFileCreated(const QString& worksheetName, const QString& userFilename,
                           const QString& userFilePath, bool copyValues, const QString& cutId) {
    try {
        recordCreated(worksheetName, userFilename, userFilePath, copyValues, cutId);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace workbooks
