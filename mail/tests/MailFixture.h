// Test fixture of the mail subsystem: a copy of the built master database with budgets, user
// files on disk, users and mail accounts written directly into their tables, the scripted
// dialog service, and the program's hooks recorded instead of run.
#pragma once

#include "core/tests/MasterDbFixture.h"
#include "mail/MailHooks.h"
#include "platform/db/Recordset.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QVariant>
#include <memory>

namespace mailtest {

class MailFixture : public coretest::MasterDbFixture {
protected:
    static inline const QDateTime kCutTime = QDateTime(QDate(2024, 1, 15), QTime(9, 30));

    void SetUp() override {
        coretest::MasterDbFixture::SetUp();
        ui_ = std::make_unique<testsupport::ScopedScriptedUi>();
        files_ = testsupport::freshDir(QStringLiteral("userfiles"));
        core::gOptions->BudgetNameContext = QStringLiteral("Sales");
        for (const char* key : {"AddDueDate", "AddFN", "SetDueDateAll", "EmailCompose", "Zvalue"})
            platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Runtime"),
                                         QString::fromLatin1(key));
        platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Settings"),
                                     QStringLiteral("SendError"));
        for (const char* key : {"MailTimeoutSeconds", "MailAuthorityFile"})
            platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                         QString::fromLatin1(key));
        mail::setMailHooks({[this] { ++addressHookCalls_; }, [this] { ++refreshHookCalls_; }});
        // The tables start empty here; their placeholder rows would only be noise in lists.
        for (const char* table :
             {"Admin", "UsersData", "Subject", "BodyText", "Worksheets", "UserFileTablesData"})
            execute(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table));
    }

    void TearDown() override {
        // Windows closed by the test go now, not when the test program ends.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        mail::setMailHooks({});
        ui_.reset();
        coretest::MasterDbFixture::TearDown();
    }

    qint64 execute(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        return cnn.execute(sql, params);
    }

    QVariant scalar(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        return cnn.scalar(sql, params);
    }

    // A built user file of a budget on disk, its worksheet row and its user-file row; answers
    // the user-file row's key.
    qint64 addUserFile(const QString& budget, const QString& master, const QString& file, const QString& user,
                       bool attach = true, const QByteArray& content = "original") {
        const QString folder = files_ + '/' + budget;
        QDir().mkpath(folder);
        const QString path = folder + '/' + file;
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(content);
        out.close();
        // Recorded as it was cut: the activity check sees it unchanged until it is replaced. The
        // time is set once the content is on disk, so that no later flush moves it.
        out.open(QIODevice::ReadWrite);
        out.setFileTime(kCutTime, QFileDevice::FileModificationTime);
        out.close();
        platform::db::Connection cnn = openMaster();
        cnn.execute(QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, UF_Create_Date, "
                                   "UF_Modified_Date, User_Filename, UFNPath, Master_File, Budget_Name) "
                                   "VALUES (?, 1, ?, ?, ?, ?, ?, ?)"),
                    {file, kCutTime, kCutTime, file, path, master, budget});
        cnn.execute(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, "
                                   "Master_File, Budget_Name, Attachment) VALUES (?, ?, 1, ?, ?, ?)"),
                    {file, user.isEmpty() ? QVariant() : QVariant(user), master, budget, attach ? 1 : 0});
        return cnn.lastInsertId();
    }

    QString userFilePath(const QString& budget, const QString& file) const {
        return files_ + '/' + budget + '/' + file;
    }

    void addUser(const QString& name, const QString& address) {
        execute(QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES (?, ?)"),
                {name, address});
    }

    void addAuthor(const QString& name, const QString& address, const QString& server) {
        execute(QStringLiteral(
                    "INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, RecType, \"Default\") "
                    "VALUES (?, ?, ?, 'Author', 1)"),
                {name, address, server});
    }

    void addRobot(const QString& account, const QString& server) {
        execute(
            QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Pop3_Server, Pop3_Account, "
                           "RecType, Default_Robot) VALUES ('Robot', 'robot@example.org', ?, ?, 'Robot', 1)"),
            {server, account});
    }

    void addStockTexts(const QString& subject, const QString& body) {
        execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES (?)"), {subject});
        execute(QStringLiteral("INSERT INTO BodyText (Body_Text) VALUES (?)"), {body});
    }

    // One column of the user-file row of that key.
    QVariant userFileValue(qint64 id, const QString& column) {
        return scalar(QStringLiteral("SELECT ") + column +
                          QStringLiteral(" FROM UserFileTablesData WHERE ID_UFTD = ?"),
                      {id});
    }

    // A workbook of the test fixtures, written by openpyxl or LibreOffice.
    static QByteArray fixtureWorkbook(const QString& name) {
        return readFile(testsupport::fixturePath(QStringLiteral("workbooks/") + name));
    }

    static QByteArray readFile(const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    testsupport::ScriptedUi& ui() { return **ui_; }

    QString files_;
    int addressHookCalls_ = 0;
    int refreshHookCalls_ = 0;

private:
    std::unique_ptr<testsupport::ScopedScriptedUi> ui_;
};

} // namespace mailtest
