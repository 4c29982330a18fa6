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
#include "platform/db/SqlText.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/Ui.h"
#include "workbooks/MasterFileRow.h"

#include <QFileInfo>
#include <QHash>

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
        flags_.moveFirst();
        flags_.move(*it);
        return true;
    }

private:
    static QString key(const QString& file, const QString& folder, const QString& budget) {
        return file.toCaseFolded() + u'\n' + folder.toCaseFolded() + u'\n' + budget.toCaseFolded();
    }

    Recordset& flags_;
    QHash<QString, int> places_;
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

// The writes of the check, gathered in a transaction that is committed before a question or
// an errors record and at the end (a failure keeps what was written before it).
class WriteBatch {
public:
    explicit WriteBatch(platform::db::Connection& connection)
        : connection_(connection) {}
    ~WriteBatch() {
        try {
            commit();
        } catch (const std::exception&) {
            // the failure that ended the check is reported by its caller
        }
    }
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    void begin() {
        if (!connection_.inTransaction())
            connection_.beginTransaction();
    }
    void commit() {
        if (connection_.inTransaction())
            connection_.commit();
    }

private:
    platform::db::Connection& connection_;
};

enum class Outcome { Go, Stop };

// The missing file: marked, logged, and the question whether to go on.
Outcome reportMissing(WriteBatch& batch, Recordset& sheet, const QString& file, const QString& budget) {
    batch.commit();
    const bool goOn = ask(kMissingUserFileText.arg(file));
    setFlag(sheet, "File_Missing", true);
    core::LogFileMissingError(file, true, budget);
    return goOn ? Outcome::Go : Outcome::Stop;
}

} // namespace

qint32 CheckUserFilesExist(bool useContext, qint32 masterFileId) {
    qint32 changed = 0;
    try {
        core::gDB2 = std::make_unique<core::cDB2>();
        const QString budgetFilter = core::gOptions ? core::gOptions->BudgetNameContext : QString();
        QVariantList params;
        if (useContext)
            params << budgetFilter;
        if (masterFileId != 0)
            params << masterFileId;
        core::gDB2->SetConnection();
        Recordset sheets;
        Recordset flags;
        WriteBatch batch(core::gDB2->Cnn());
        const bool stopped = [&] {
            if (core::gDB2->GetRecordset(worksheetQuery(useContext, masterFileId), sheets, params) !=
                core::QueryObject::kRows)
                return true;
            core::gDB2->GetRecordset(flagQuery(useContext), flags,
                                     useContext ? QVariantList{budgetFilter} : QVariantList{});
            FlagRows flagRows(flags);
            for (; !sheets.eof(); sheets.moveNext()) {
                if (flagRows.empty())
                    return true;
                const QString file = TextOf(sheets, QStringLiteral("User_Filename"));
                const QString budget = TextOf(sheets, QStringLiteral("Budget_Name"));
                const QString path = TextOf(sheets, QStringLiteral("UFNPath"));
                if (!flagRows.find(file, TextOf(sheets, QStringLiteral("Folder_Name")), budget))
                    continue;
                if (!masterFolderReachable(path)) {
                    batch.commit();
                    if (ask(kPathDoesNotExistText.arg(file, budget)))
                        return true;
                }
                const platform::sys::FindData found = platform::sys::GetFindData(path);
                if (!found.found || found.isFolder || !sameName(found.name, file)) {
                    if (reportMissing(batch, sheets, file, budget) == Outcome::Stop)
                        return true;
                    continue;
                }
                batch.begin();
                const QDateTime recorded =
                    platform::db::parseDateTime(TextOf(sheets, QStringLiteral("UF_Modified_Date")));
                const bool touched = recorded != found.modified;
                setFlag(flags, "UserFile_Update", touched);
                if (touched)
                    ++changed;
            }
            return false;
        }();
        sheets.close();
        flags.close();
        if (stopped)
            changed = 0;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        changed = 0;
    }
    core::gDB2.reset();
    return changed;
}

} // namespace workbooks
