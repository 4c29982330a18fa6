// Work on whole database files: the database password added, changed and removed,
// compaction in place, and backup and restore through the online backup while other
// connections stay open.
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/tests/DbFixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace platform::db;
using dbtest::connectionString;
using dbtest::makeDatabase;

namespace {

qint32 openError(const QString& path, const QString& password) {
    try {
        Connection c;
        c.open(connectionString(path, password));
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

qint64 countRows(const QString& path, const QString& password) {
    Connection c;
    c.open(connectionString(path, password));
    return c.scalar("SELECT count(*) FROM Budgets").toLongLong();
}

// The files in a folder, so a test sees that no temporary file is left behind.
QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(DatabasePassword, AddedChangedAndRemoved) {
    const QString dir = testsupport::freshDir();
    const QString path = dir + "/net.mdb";
    makeDatabase(path, "", dbtest::kBudgetsScript + "DELETE FROM Budgets WHERE Budget_Name = 'Gamma';");
    // A database on a shared folder, writable by the group: the new file stays so.
    const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                        QFile::ReadGroup | QFile::WriteGroup;
    ASSERT_TRUE(QFile::setPermissions(path, shared));

    Connection::setPassword(path, "", "first;=pw");
    EXPECT_EQ(openError(path, ""), DbError::kAuthenticationFailed);
    EXPECT_EQ(countRows(path, "first;=pw"), 2);
    EXPECT_EQ(QFile::permissions(path), shared);
    {
        // The AutoNumber counter came along: a new row is 4, not 3.
        Connection c;
        c.open(connectionString(path, "first;=pw"));
        c.execute("INSERT INTO Budgets (Budget_Name) VALUES ('Delta')");
        EXPECT_EQ(c.lastInsertId(), 4);
    }

    Connection::setPassword(path, "first;=pw", "second");
    EXPECT_EQ(openError(path, "first;=pw"), DbError::kAuthenticationFailed);
    EXPECT_EQ(countRows(path, "second"), 3);

    Connection::setPassword(path, "second", "");
    EXPECT_EQ(openError(path, "second"), DbError::kAuthenticationFailed);
    EXPECT_EQ(countRows(path, ""), 3);
    EXPECT_EQ(filesIn(dir), QStringList({"net.mdb"}));
}

TEST(DatabasePassword, WrongPresentPasswordOrOpenFileIsRefused) {
    const QString path = testsupport::freshDir() + "/net.mdb";
    makeDatabase(path, "pw", dbtest::kBudgetsScript);
    try {
        Connection::setPassword(path, "wrong", "new");
        ADD_FAILURE() << "a wrong present password was taken";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kAuthenticationFailed);
    }
    Connection open;
    open.open(connectionString(path, "pw"));
    try {
        Connection::setPassword(path, "pw", "new");
        ADD_FAILURE() << "the password changed under an open connection";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kFileInUse);
    }
    open.close();
    EXPECT_EQ(countRows(path, "pw"), 3);
}

TEST(Compaction, KeepsRowsAndKey) {
    const QString path = testsupport::freshDir() + "/m.mdb";
    makeDatabase(path, "key", dbtest::kBudgetsScript);
    Connection c;
    c.open(connectionString(path, "key"));
    for (int i = 0; i < 200; ++i)
        c.execute("INSERT INTO Budgets (Budget_Name, Note) VALUES (?, ?)",
                  {QString::number(i), QString(2000, 'n')});
    c.execute("DELETE FROM Budgets WHERE Note = ?", {QString(2000, 'n')});
    const qint64 before = QFileInfo(path).size();
    c.compact();
    EXPECT_LT(QFileInfo(path).size(), before);
    EXPECT_EQ(c.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3);
    c.close();
    Connection::releaseIdleHandles(path);
    EXPECT_EQ(openError(path, ""), DbError::kAuthenticationFailed);
    EXPECT_EQ(countRows(path, "key"), 3);
}

class BackupRestore : public testing::TestWithParam<QString> {};

TEST_P(BackupRestore, CopiesThroughTheLiveDatabase) {
    const QString password = GetParam();
    const QString dir = testsupport::freshDir();
    const QString live = dir + "/lumimaster.mdb";
    const QString copy = dir + "/backup/copy.mdb";
    QDir().mkpath(dir + "/backup");
    makeDatabase(live, password, dbtest::kBudgetsScript);

    Connection admin;
    admin.open(connectionString(live, password));
    Connection reader; // another window's connection, open all along
    reader.open(connectionString(live, password));
    EXPECT_EQ(reader.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3);

    admin.backupTo(copy);
    EXPECT_EQ(countRows(copy, password), 3) << "the copy has the database's key";
    EXPECT_EQ(filesIn(dir + "/backup"), QStringList({"copy.mdb"}));

    admin.execute("DELETE FROM Budgets");
    admin.execute("CREATE TABLE Later (x)");
    EXPECT_EQ(reader.scalar("SELECT count(*) FROM Budgets").toLongLong(), 0);

    admin.restoreFrom(copy);
    EXPECT_EQ(reader.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3);
    EXPECT_FALSE(reader.table("Later").has_value());
    EXPECT_EQ(admin.scalar("SELECT Budget_Name FROM Budgets WHERE ID_Budgets = 1").toString(), "Alpha");
    reader.execute("UPDATE Budgets SET Note = 'still writable' WHERE ID_Budgets = 2");
    EXPECT_EQ(filesIn(dir), QStringList({"lumimaster.mdb"}));
}

INSTANTIATE_TEST_SUITE_P(PlainAndKeyed, BackupRestore, testing::Values(QString(), QStringLiteral("net pw")),
                         [](const testing::TestParamInfo<QString>& info) {
                             return info.param.isEmpty() ? std::string("Plain") : std::string("Keyed");
                         });

TEST(Restore, ChecksTheChosenFileFirst) {
    const QString dir = testsupport::freshDir();
    const QString live = dir + "/lumimaster.mdb";
    makeDatabase(live, "", dbtest::kBudgetsScript);
    QFile junk(dir + "/junk.mdb");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'j'));
    junk.close();
    makeDatabase(dir + "/keyed.mdb", "other",
                 "CREATE TABLE Budgets (Budget_Name); INSERT INTO Budgets VALUES ('K');");

    Connection c;
    c.open(connectionString(live));
    struct Case {
        const char* name;
        QString path;
        std::optional<QString> password;
        qint32 number;
    };
    const Case cases[] = {
        {"not a database", dir + "/junk.mdb", std::nullopt, DbError::kAuthenticationFailed},
        {"missing", dir + "/missing.mdb", std::nullopt, DbError::kFileNotFound},
        {"other key, not given", dir + "/keyed.mdb", std::nullopt, DbError::kAuthenticationFailed},
        {"itself", live, std::nullopt, DbError::kInvalidOperation},
    };
    for (const Case& k : cases) {
        try {
            c.restoreFrom(k.path, k.password);
            ADD_FAILURE() << k.name << " was restored";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), k.number) << k.name;
        }
        EXPECT_EQ(c.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3) << k.name;
    }

    // A file under another key is taken when its key is given, and keeps the live file plain.
    c.restoreFrom(dir + "/keyed.mdb", QStringLiteral("other"));
    EXPECT_EQ(c.scalar("SELECT Budget_Name FROM Budgets").toString(), "K");
    c.close();
    EXPECT_EQ(countRows(live, ""), 1);
    EXPECT_EQ(countRows(dir + "/keyed.mdb", "other"), 1);
    EXPECT_EQ(filesIn(dir), QStringList({"junk.mdb", "keyed.mdb", "lumimaster.mdb"}));
}

} // namespace
