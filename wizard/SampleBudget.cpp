// See SampleBudget.h.
#include "wizard/SampleBudget.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/RunGuard.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "lumistore/LumistoreError.h"
#include "lumistore/cClean.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/BusyPointer.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/Ui.h"
#include "wizard/BudgetDeletion.h"
#include "wizard/WizardServices.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/CreateUserFilesForSelection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace wizard {

namespace {

using platform::db::Connection;

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

// The sample database is there under its own name and holds the sample budget. A file that
// is not a database raises (told by the caller); nothing has been removed by then.
bool sampleDatabaseReady() {
    const QFileInfo file(core::gCnn->SLumiCnnPath());
    if (!file.isFile() || file.fileName() != kSampleDatabaseName) {
        tell(kSampleDatabaseMissingText);
        return false;
    }
    Connection sample;
    sample.open(core::gCnn->SLumiCnn());
    if (sample
            .scalar(QStringLiteral("SELECT COUNT(*) FROM Budgets WHERE Budget_Name = ?"), {kSampleBudgetName})
            .toInt() != 1) {
        tell(kSampleDatabaseMissingText);
        return false;
    }
    return true;
}

// Table and column names below are the program's own constants; every value is bound.
void deleteIfOnlyOne(Connection& cnn, const QString& table, const QString& column, const QString& value) {
    const QString where = QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE ") + column +
                          QStringLiteral(" = ? COLLATE NOCASE_U");
    if (cnn.scalar(QStringLiteral("SELECT COUNT(*)") + where, {value}).toInt() == 1)
        cnn.execute(QStringLiteral("DELETE") + where, {value});
}

void deleteFirst(Connection& cnn, const QString& table, const QString& column, const QString& value) {
    cnn.execute(QStringLiteral("DELETE FROM ") + table +
                    QStringLiteral(" WHERE rowid = (SELECT rowid FROM ") + table + QStringLiteral(" WHERE ") +
                    column + QStringLiteral(" = ? COLLATE NOCASE_U ORDER BY rowid LIMIT 1)"),
                {value});
}

// What an earlier installation left, all or nothing. False when the budget's rows could not
// be deleted (told by the deletion); nothing is removed then.
bool removeEarlierSample(Connection& cnn) {
    platform::db::Transaction transaction(cnn);
    if (cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM Budgets WHERE Budget_Name = ? COLLATE NOCASE_U"),
                   {kSampleBudgetName})
            .toInt() == 1) {
        if (!DeleteBudget(kSampleBudgetName, cnn))
            return false;
    }
    deleteIfOnlyOne(cnn, QStringLiteral("Admin"), QStringLiteral("Admin_Name"), QStringLiteral("Velk"));
    for (const char* folder : {"LumiSupport", "LumiSystems"})
        deleteFirst(cnn, QStringLiteral("FolderNames"), QStringLiteral("Folder_Name"),
                    QString::fromLatin1(folder));
    deleteIfOnlyOne(cnn, QStringLiteral("Subject"), QStringLiteral("Subject"),
                    QStringLiteral("This is a sample Lumivane subject."));
    deleteIfOnlyOne(cnn, QStringLiteral("BodyText"), QStringLiteral("Body_Text"),
                    QStringLiteral("This is a sample Lumivane body text message."));
    for (const char* user : {"Person1", "Person2"})
        deleteFirst(cnn, QStringLiteral("UsersData"), QStringLiteral("Users"), QString::fromLatin1(user));
    transaction.commit();
    return true;
}

// The shipped sample workbooks go into the samples folder of the data folder, replacing an
// earlier installation's copies (each written beside its copy, then renamed over it, readable
// by its owner only): the update runs write into them, and the program's own folder may not be
// written. A copy open elsewhere is left as it is (its cut then says the workbook is in use); a
// workbook missing from the program's folder is not copied (its cut says it is missing).
void copySampleWorkbooks() {
    const QString folder = SamplesFolder();
    QDir().mkpath(folder);
    for (const QString& workbook : kSampleWorkbooks) {
        const QString shipped = ShippedSamplesFolder() + u'/' + workbook;
        const QString copy = folder + u'/' + workbook;
        if (!QFileInfo(shipped).isFile() || platform::sys::IsFileInUse(copy))
            continue;
        platform::sys::CopyFileReplacing(shipped, copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    }
}

// The sample's master workbooks lie in the samples folder of the data folder.
void pointAtSamplesFolder(Connection& cnn) {
    const QString folder = SamplesFolder();
    cnn.execute(QStringLiteral("UPDATE MasterFiles SET Path = ? WHERE Budget_Name = ? COLLATE NOCASE_U "
                               "AND (Path IS NULL OR Path <> ?)"),
                {folder, kSampleBudgetName, folder});
}

void cutSampleUserFiles() {
    platform::ui::BusyPointer::Guard busy;
    for (const QString& workbook : kSampleWorkbooks) {
        switch (workbooks::CreateUserFiles(workbook, true, false, false)) {
        case workbooks::kCutMasterMissing:
            tell(workbooks::kMasterMissingText);
            break;
        case workbooks::kCutMasterInUse:
            tell(workbooks::kMasterInUseText);
            break;
        default:
            break;
        }
    }
}

} // namespace

QString ShippedSamplesFolder() {
    return QFileInfo(core::gCnn->SLumiCnnPath()).absolutePath();
}

QString SamplesFolder() {
    return core::gCnn->DataFolder() + QStringLiteral("/Samples");
}

bool InstallSampleBudget() {
    // It removes and rewrites rows that a run may be working on.
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return false;
    core::RunGuard::Token running;
    core::gOptions->InstallSample = true;
    struct Finished {
        ~Finished() {
            if (core::gOptions)
                core::gOptions->InstallSample = false;
        }
    } finished;
    try {
        if (!sampleDatabaseReady())
            return false;
        {
            core::cDB2 query;
            query.SetConnection();
            if (!removeEarlierSample(query.Cnn()))
                return false;
        }
        lumistore::cClean().MigrateOldData(core::gCnn->LumiCnn(), core::gCnn->SLumiCnn());
        copySampleWorkbooks();
        {
            core::cDB2 query;
            query.SetConnection();
            pointAtSamplesFolder(query.Cnn());
        }
        lumistore::cClean().SweepRecords(core::gCnn->LumiCnn());
        core::gOptions->BudgetNameContext = kSampleBudgetName;
        const qint64 cutBefore = workbooks::UserFilesCutSoFar();
        cutSampleUserFiles();
        platform::ui::showStatusLine(nullptr, kSampleBudgetName + QStringLiteral(" installed: ") +
                                                  workbooks::UserFilesCutText(cutBefore));
        return true;
    } catch (const lumistore::LumistoreError& error) {
        core::ShowErrorMessage(error.number(), error.description(), core::appTitle());
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
    return false;
}

} // namespace wizard
