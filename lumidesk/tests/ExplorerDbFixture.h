// Test fixture for the Budgets Explorer, the budget context and the file system view: a
// private copy of the built master database (MasterDbFixture) with a local database mode,
// and helpers that put budgets, master workbooks, worksheets, users and user files in.
#pragma once

#include "core/tests/MasterDbFixture.h"
#include "lumidesk/DataEnvironment1.h"
#include "lumidesk/DataEnvironment2.h"
#include "lumidesk/frmDataTable.h"
#include "lumidesk/frmFilesTables.h"
#include "platform/db/Recordset.h"
#include "platform/sys/SettingsStore.h"
#include "support/TestEnvironment.h"
#include "support/WorkbookStarts.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QUrl>
#include <QVariantList>
#include <ostream>

namespace lumidesktest {

// Stands in for the desktop's program for workbooks: records each file it is asked to open.
// One user file of a budget and its state in UserFileTablesData.
struct UserFileRow {
    QString userFile;
    QString user;
    QString budget;
    QString folder;
    QVariant emailSent = {}; // Null: not mailed
    QVariant dueDate = {};   // Null: no due date
    int update = 0;
    int lockedOut = 0;
    QString masterFile = QStringLiteral("Plan.xlsx");
};

class ExplorerDbFixture : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        coretest::MasterDbFixture::SetUp();
        core::gOptions->DatabaseMode = QStringLiteral("Local");
        for (const char* key : {"ColorCells", "UseSound", "ScrollBars", "Resize"})
            platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                         QString::fromLatin1(key));
        for (const char* key : {"ShowControls", "UpdateObject", "FolderName", "LockedOut", "SaveMailPW",
                                "Zvalue", "BudgetNameContext", "RefreshDataTable"})
            platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Runtime"),
                                         QString::fromLatin1(key));
    }

    void TearDown() override {
        if (lumidesk::frmDataTable* form = lumidesk::frmDataTable::loaded())
            delete form;
        if (lumidesk::frmFilesTables* form = lumidesk::frmFilesTables::loaded())
            delete form;
        lumidesk::DataEnvironment1::release();
        lumidesk::DataEnvironment2::release();
        coretest::MasterDbFixture::TearDown();
    }

    void exec(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        cnn.execute(sql, params);
    }

    void addBudget(const QString& name) {
        exec(QStringLiteral("INSERT INTO Budgets (Budget_Name, Active) VALUES (?, 1)"), {name});
    }

    qint64 addMasterFile(const QString& budget, const QString& file,
                         const QString& path = QStringLiteral("/data")) {
        platform::db::Connection cnn = openMaster();
        cnn.execute(
            QStringLiteral("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES (?, ?, ?)"),
            {file, path, budget});
        return cnn.lastInsertId();
    }

    // A worksheet of a master workbook; masterId 0 leaves it unlinked.
    void addWorksheet(const QString& budget, const QString& file, qint64 masterId, const QString& sheet,
                      const QString& userFile = {}, const QString& folder = {}) {
        exec(
            QStringLiteral(
                "INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, MasterFiles_ID, "
                "Master_File, Budget_Name, User_Filename, UFNPath) VALUES (?, 1, ?, ?, ?, ?, ?, ?)"),
            {sheet, folder, masterId, file, budget, userFile.isEmpty() ? QVariant() : QVariant(userFile),
             userFile.isEmpty() ? QVariant() : QVariant(QStringLiteral("/data/") + folder + '/' + userFile)});
    }

    // A folder holding the workbook files of a test, created on first use.
    QString bookFolder() {
        if (books_.isEmpty())
            books_ = testsupport::freshDir(QStringLiteral("books"));
        return books_;
    }

    // A master workbook whose file is on disk.
    qint64 addMasterFileOnDisk(const QString& budget, const QString& file) {
        touch(bookFolder() + '/' + file);
        return addMasterFile(budget, file, bookFolder());
    }

    // The Worksheets row of a built user file, with the file on disk; returns its path.
    QString addBuiltUserFile(const QString& budget, const QString& userFile) {
        const QString path = bookFolder() + '/' + userFile;
        touch(path);
        exec(QStringLiteral(
                 "INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Budget_Name, User_Filename, "
                 "UFNPath, UF_Create_Date) VALUES (?, 1, ?, ?, ?, '2025-01-01 00:00:00')"),
             {userFile, budget, userFile, path});
        return path;
    }

    static void touch(const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    }

    void addUser(const QString& user, const QString& folder) {
        exec(QStringLiteral("INSERT INTO UsersData (Users, Email_Address, Folder_Name) VALUES (?, ?, ?)"),
             {user, user.toLower() + QStringLiteral("@example.org"), folder});
    }

    void addUserFile(const UserFileRow& row) {
        exec(QStringLiteral(
                 "INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Email_Sent, "
                 "UserFile_Update, Lockout_User_Updates, Due_Date, Master_File, Budget_Name, Folder_Name) "
                 "VALUES (?, ?, 1, ?, ?, ?, ?, ?, ?, ?)"),
             {row.userFile, row.user, row.emailSent, row.update, row.lockedOut, row.dueDate, row.masterFile,
              row.budget, row.folder});
    }

    // A default budget author, so a context change shows no author message.
    void addDefaultAuthor(const QString& name = QStringLiteral("Ada Author")) {
        exec(QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, \"Default\", RecType) "
                            "VALUES (?, 'ada@example.org', 1, 'Author')"),
             {name});
    }

    // The first column of every row of a query, as text ("<null>" for Null).
    QStringList column(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset rst = platform::db::Recordset::open(cnn, sql, params);
        QStringList result;
        for (; !rst.eof(); rst.moveNext())
            result << (rst.isNull(0) ? QStringLiteral("<null>") : rst.value(0).toString());
        return result;
    }

    static QString runtimeSetting(const char* key) {
        return platform::sys::readSetting(platform::sys::kDesktopApplication, QStringLiteral("Runtime"),
                                          QString::fromLatin1(key), QStringLiteral("<absent>"));
    }

    static void writeSetting(const char* section, const char* key, const QString& value) {
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QString::fromLatin1(section),
                                    QString::fromLatin1(key), value);
    }

    testsupport::WorkbookStarts opened_; // the workbooks opened in the spreadsheet program

private:
    QString books_;
};

} // namespace lumidesktest

// Readable texts in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(" | ")).toStdString() << ']';
}
QT_END_NAMESPACE
