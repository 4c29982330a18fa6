// See CheckUserFilesExist.h. The flag rows are read once and matched in memory. The rows that
// change are written in one transaction, committed before every question and before every
// missing-file record (which goes through the errors table's own connection), so no
// transaction is held while a question waits or another connection writes.
//
// A user file lies in a folder below its master workbook's folder. When that master folder
// cannot be reached (a share that is gone), the administrator is asked whether to suspend the
// tests; going on counts the file as missing.
#include "workbooks/CheckUserFilesExist.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/ErrorsTable.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/db/CommitBatch.h"
#include "platform/db/SqlText.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/Ui.h"
#include "workbooks/MasterFileRow.h"

#include <QFileInfo>
#include <QHash>
#include <optional>

namespace workbooks {

namespace {

using platform::db::Recordset;
using platform::ui::Answer;

QString worksheetQuery(bool useContext, qint32 masterFileId) {
    QString sql = QStringLiteral("SELECT Select_By_User,UF_Modified_Date,File_Missing,UF_Create_Date,"
                                 "User_Filename,UFNPath,Budget_Name,Folder_Name, MasterFiles_ID "
                                 "FROM Worksheets WHERE Worksheets.Select_By_User = 1 ");
    if (useContext)
        sql += QStringLiteral("AND Worksheets.Budget_Name = ? COLLATE NOCASE_U ");
    sql += QStringLiteral("AND UF_Create_Date Is Not Null");
    if (masterFileId != 0)
        sql += QStringLiteral(" AND MasterFiles_ID = ?");
    return sql;
}

QString flagQuery(bool useContext) {
    QString sql = QStringLiteral("SELECT User_Filename, Email_Sent,UserFile_Update,Due_Date,Budget_Name,"
                                 "Folder_Name FROM UserFileTablesData");
    if (useContext)
        sql += QStringLiteral(" WHERE Budget_Name = ? COLLATE NOCASE_U");
    return sql;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Moves the rows onto the row at place: onward from the row at `at` when that lies before it
// (rows are mostly looked up in table order, so a check of many rows does not walk from the first
// row for each), else from the first row.
void moveTo(Recordset& rows, int& at, int place) {
    if (at < 0 || place < at) {
        rows.moveFirst();
        at = 0;
    }
    rows.move(place - at);
    at = place;
}

// The flag rows by file, folder and budget, without regard to case: the first row of each, by
// its place among the rows. Made once, so that a budget of many user files is not searched
// from the start for every one of them.
class FlagRows {
public:
    explicit FlagRows(Recordset& flags)
        : flags_(flags) {
        if (!flags.isOpen())
            return;
        int place = 0;
        for (flags.moveFirst(); !flags.eof(); flags.moveNext(), ++place) {
            const QString k = key(TextOf(flags, QStringLiteral("User_Filename")),
                                  TextOf(flags, QStringLiteral("Folder_Name")),
                                  TextOf(flags, QStringLiteral("Budget_Name")));
            if (!places_.contains(k)) // the first row of a key, as a search from the start finds it
                places_.insert(k, place);
        }
    }

    bool empty() const { return places_.empty(); }

    // Moves the flag rows onto the row of that file, folder and budget; false when there is none.
    bool find(const QString& file, const QString& folder, const QString& budget) {
        const auto it = places_.constFind(key(file, folder, budget));
        if (it == places_.cend())
            return false;
        moveTo(flags_, at_, *it);
        return true;
    }

private:
    static QString key(const QString& file, const QString& folder, const QString& budget) {
        return file.toCaseFolded() + u'\n' + folder.toCaseFolded() + u'\n' + budget.toCaseFolded();
    }

    Recordset& flags_;
    QHash<QString, int> places_;
    int at_ = -1; // the place of the current flag row; -1: not known
};

bool ask(const QString& text) {
    return platform::ui::msgBox(text, platform::ui::Buttons::YesNo, core::appTitle()) == Answer::Yes;
}

// The folder of the master workbook: the user file lies in <master folder>/<folder>/<file>.
bool masterFolderReachable(const QString& userFilePath) {
    const QString folder = QFileInfo(QFileInfo(userFilePath).absolutePath()).absolutePath();
    return platform::sys::GetFindData(folder).isFolder;
}

// Writes a yes/no field of the current row when it does not hold the value yet.
void setFlag(Recordset& row, const char* field, bool on) {
    const QString name = QString::fromLatin1(field);
    if (!row.isNull(name) && row.value(name).toBool() == on)
        return;
    row.setValue(name, on ? 1 : 0);
    row.update();
}

enum class Outcome { Go, Stop };

// The missing file: marked, logged, and the question whether to go on.
Outcome reportMissing(platform::db::CommitBatch& batch, Recordset& sheet, const QString& file,
                      const QString& budget) {
    batch.commit();
    const bool goOn = ask(kMissingUserFileText.arg(file));
    setFlag(sheet, "File_Missing", true);
    core::LogFileMissingError(file, true, budget);
    return goOn ? Outcome::Go : Outcome::Stop;
}

// The rows the check reads, through gDB2, and the writes of the check, gathered in one
// transaction on its connection that is committed before a question or an errors record and
// at the end (a failure keeps what was written before it).
class Check {
public:
    // Reads the worksheet rows of the budget context (or of all budgets), of one master
    // workbook (or of all), and the flag rows of the same budgets.
    Check(bool useContext, qint32 masterFileId)
        : batch_(core::gDB2->Cnn()) {
        const QString budgetFilter = core::gOptions ? core::gOptions->BudgetNameContext : QString();
        QVariantList params;
        if (useContext)
            params << budgetFilter;
        if (masterFileId != 0)
            params << masterFileId;
        if (core::gDB2->GetRecordset(worksheetQuery(useContext, masterFileId), sheets_, params) !=
            core::QueryObject::kRows)
            return;
        core::gDB2->GetRecordset(flagQuery(useContext), flags_,
                                 useContext ? QVariantList{budgetFilter} : QVariantList{});
        flagRows_.emplace(flags_);
    }
    Check(const Check&) = delete;
    Check& operator=(const Check&) = delete;

    // False when there is nothing to check: no worksheet rows, or no flag rows at all.
    bool any() const { return flagRows_ && !flagRows_->empty(); }
    Recordset& sheets() { return sheets_; }
    // Commits the writes of a check that ran to its end: a failure is the check's.
    void finish() { batch_.commit(); }

    // Checks the user file of the current worksheet row; counts it in changed when it was
    // written since its recorded time.
    Outcome checkRow(qint32& changed) {
        const QString file = TextOf(sheets_, QStringLiteral("User_Filename"));
        const QString budget = TextOf(sheets_, QStringLiteral("Budget_Name"));
        const QString path = TextOf(sheets_, QStringLiteral("UFNPath"));
        if (!flagRows_->find(file, TextOf(sheets_, QStringLiteral("Folder_Name")), budget))
            return Outcome::Go;
        if (!masterFolderReachable(path)) {
            batch_.commit();
            if (ask(kPathDoesNotExistText.arg(file, budget)))
                return Outcome::Stop;
        }
        const platform::sys::FindData found = platform::sys::GetFindData(path);
        if (!found.found || found.isFolder || !sameName(found.name, file))
            return reportMissing(batch_, sheets_, file, budget);
        batch_.begin();
        const QDateTime recorded =
            platform::db::parseDateTime(TextOf(sheets_, QStringLiteral("UF_Modified_Date")));
        const bool touched = recorded != found.modified;
        setFlag(flags_, "UserFile_Update", touched);
        if (touched)
            ++changed;
        return Outcome::Go;
    }

private:
    Recordset sheets_;
    Recordset flags_;
    std::optional<FlagRows> flagRows_;
    platform::db::CommitBatch batch_; // ends before the rows are let go
};

// gDB2 for the time of one check: a new query object, released at the end however the check
// ends.
class CheckQueryObject {
public:
    CheckQueryObject() {
        core::gDB2 = std::make_unique<core::cDB2>();
        try {
            core::gDB2->SetConnection();
        } catch (const std::exception&) {
            core::gDB2.reset();
            throw;
        }
    }
    ~CheckQueryObject() { core::gDB2.reset(); }
    CheckQueryObject(const CheckQueryObject&) = delete;
    CheckQueryObject& operator=(const CheckQueryObject&) = delete;
};

} // namespace

qint32 CheckUserFilesExist(bool useContext, qint32 masterFileId) {
    try {
        const CheckQueryObject query;
        Check check(useContext, masterFileId);
        if (!check.any())
            return 0;
        qint32 changed = 0;
        for (Recordset& sheets = check.sheets(); !sheets.eof(); sheets.moveNext())
            if (check.checkRow(changed) == Outcome::Stop)
                return 0;
        check.finish();
        return changed;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return 0;
    }
}

QHash<qint64, qint32> CheckUserFilesOfMasters(const QList<qint64>& masterIds) {
    QHash<qint64, qint32> changedOf;
    try {
        const CheckQueryObject query;
        Check check(true, 0);
        if (!check.any())
            return changedOf;
        // Each master's rows by their place among the rows read, in table order.
        QHash<qint64, QList<int>> placesOf;
        Recordset& sheets = check.sheets();
        int place = 0;
        for (sheets.moveFirst(); !sheets.eof(); sheets.moveNext(), ++place)
            placesOf[sheets.value(QStringLiteral("MasterFiles_ID")).toLongLong()] << place;
        for (const qint64 master : masterIds) {
            qint32 changed = 0;
            Outcome outcome = Outcome::Go;
            int at = -1;
            for (const int place : placesOf.value(master)) {
                moveTo(sheets, at, place);
                if ((outcome = check.checkRow(changed)) == Outcome::Stop)
                    break;
            }
            changedOf.insert(master, outcome == Outcome::Stop ? 0 : changed);
        }
        check.finish();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
    return changedOf;
}

} // namespace workbooks
