// Work on whole database files: the database password added, changed and removed,
// compaction in place, and backup and restore through the online backup while other
// connections stay open.
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/tests/DbFixture.h"
#include "platform/db/tests/DbPeer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <future>
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

// Another program holds a write transaction open when the password is added, changed or
// removed: the change waits for it, its row lands in the new file, and its connection, still
// open afterwards, is told that the password changed.
struct PasswordChange {
    const char* name;
    QString from;
    QString to;
};

void PrintTo(const PasswordChange& change, std::ostream* os) {
    *os << change.name;
}

class PasswordChangeUnderAnotherProgram : public testing::TestWithParam<PasswordChange> {};

TEST_P(PasswordChangeUnderAnotherProgram, WaitsForItsTransactionAndLosesNothing) {
    const PasswordChange& change = GetParam();
    const QString dir = testsupport::freshDir();
    const QString path = dir + "/net.mdb";
    makeDatabase(path, change.from, dbtest::kBudgetsScript);
    dbtest::DbPeer peer;
    ASSERT_EQ(peer.ask({"open", connectionString(path, change.from)}), "ok");
    ASSERT_EQ(peer.ask({"begin"}), "ok");
    ASSERT_EQ(peer.ask({"exec", "INSERT INTO Budgets (Budget_Name) VALUES ('Delta')"}), "ok 1");

    auto changing =
        std::async(std::launch::async, [&] { Connection::setPassword(path, change.from, change.to); });
    EXPECT_EQ(changing.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout)
        << "the change waits for the other program's transaction";
    EXPECT_EQ(peer.ask({"commit"}), "ok");
    changing.get();

    EXPECT_EQ(countRows(path, change.to), 4) << "the row committed meanwhile is in the new file";
    EXPECT_EQ(openError(path, change.from), DbError::kAuthenticationFailed);
    const QString afterwards = peer.ask({"scalar", "SELECT count(*) FROM Budgets"});
    EXPECT_TRUE(afterwards.startsWith("error 3031 ") &&
                afterwards.contains("was changed by another user since it was opened here"))
        << afterwards.toStdString();
    EXPECT_TRUE(
        peer.ask({"exec", "INSERT INTO Budgets (Budget_Name) VALUES ('Lost')"}).startsWith("error 3031 "));
    EXPECT_EQ(countRows(path, change.to), 4);
    EXPECT_EQ(filesIn(dir), QStringList({"net.mdb"}));
}

INSTANTIATE_TEST_SUITE_P(AddedChangedRemoved, PasswordChangeUnderAnotherProgram,
                         testing::Values(PasswordChange{"Added", "", "first"},
                                         PasswordChange{"Changed", "first", "second"},
                                         PasswordChange{"Removed", "second", ""}),
                         [](const testing::TestParamInfo<PasswordChange>& info) {
                             return std::string(info.param.name);
                         });

TEST(DatabasePassword, ChangeGivesUpAndChangesNothingWhileAnotherProgramKeepsTheFile) {
    const QString dir = testsupport::freshDir();
    const QString path = dir + "/net.mdb";
    makeDatabase(path, "pw", dbtest::kBudgetsScript);
    dbtest::DbPeer peer;
    ASSERT_EQ(peer.ask({"open", connectionString(path, "pw")}), "ok");
    ASSERT_EQ(peer.ask({"begin"}), "ok");
    ASSERT_EQ(peer.ask({"exec", "INSERT INTO Budgets (Budget_Name) VALUES ('Delta')"}), "ok 1");
    try {
        Connection::setPassword(path, "pw", "new");
        ADD_FAILURE() << "the password changed while another program held the file";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kFileInUse);
        EXPECT_TRUE(e.description().contains("is in use by another user; its password was not changed"));
    }
    EXPECT_EQ(filesIn(dir), QStringList({"net.mdb", "net.mdb-journal"}))
        << "only the other program's journal";
    EXPECT_EQ(peer.ask({"commit"}), "ok");
    EXPECT_EQ(countRows(path, "pw"), 4);
    EXPECT_EQ(filesIn(dir), QStringList({"net.mdb"}));
}

// This program's connection stays open while another program changes the password: its next
// work says so; once the old password opens the file again, it goes on with the new file.
TEST(DatabasePassword, AnOpenConnectionLearnsOfAChangeMadeElsewhere) {
    const QString path = testsupport::freshDir() + "/net.mdb";
    makeDatabase(path, "pw", dbtest::kBudgetsScript);
    Connection mine;
    mine.open(connectionString(path, "pw"));
    Recordset budgets = Recordset::open(mine, "SELECT Budget_Name FROM Budgets ORDER BY Budget_Name");
    dbtest::DbPeer peer;
    ASSERT_EQ(peer.ask({"password", path, "pw", "other"}), "ok");

    budgets.setValue(0, "Aleph");
    try {
        budgets.update();
        ADD_FAILURE() << "a row was written into the replaced file";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kPasswordChanged);
    }
    budgets.cancelUpdate();
    try {
        mine.scalar("SELECT count(*) FROM Budgets");
        ADD_FAILURE() << "the replaced file was read";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kPasswordChanged);
        EXPECT_TRUE(e.description().contains("was changed by another user")) << e.what();
    }

    ASSERT_EQ(peer.ask({"open", connectionString(path, "other")}), "ok");
    ASSERT_EQ(peer.ask({"exec", "DELETE FROM Budgets WHERE Budget_Name = 'Gamma'"}), "ok 1");
    ASSERT_EQ(peer.ask({"exec", "INSERT INTO Budgets (Budget_Name) VALUES ('Delta')"}), "ok 1");
    ASSERT_EQ(peer.ask({"close"}), "ok");
    ASSERT_EQ(peer.ask({"password", path, "other", "pw"}), "ok");
    EXPECT_EQ(mine.scalar("SELECT group_concat(Budget_Name) FROM Budgets").toString(), "Alpha,Beta,Delta");
    budgets.moveFirst();
    budgets.setValue(0, "Aleph");
    budgets.update();
    EXPECT_EQ(mine.scalar("SELECT group_concat(Budget_Name) FROM Budgets").toString(), "Aleph,Beta,Delta");
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

const auto kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

// A backup holds the same rows as the database, the scrambled passwords among them: it is
// made as private as the database, even over an older backup readable by everyone.
TEST(Backup, IsAsPrivateAsTheDatabase) {
    const QString dir = testsupport::freshDir();
    const QString live = dir + "/lumimaster.mdb";
    makeDatabase(live, "", dbtest::kBudgetsScript);
    ASSERT_TRUE(QFile::setPermissions(live, kOwnerOnly));
    QFile older(dir + "/older.mdb");
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.close();
    ASSERT_TRUE(QFile::setPermissions(older.fileName(), kOwnerOnly | QFile::ReadGroup | QFile::ReadOther));

    Connection c;
    c.open(connectionString(live));
    c.backupTo(dir + "/new.mdb");
    c.backupTo(older.fileName());
    EXPECT_EQ(QFile::permissions(dir + "/new.mdb"), kOwnerOnly);
    EXPECT_EQ(QFile::permissions(older.fileName()), kOwnerOnly);
    EXPECT_EQ(countRows(older.fileName(), ""), 3);
}

// A copy that must stay private (the network database before it is keyed) is given its mode
// before it takes its name, even when the database it copies is readable by everyone.
TEST(Backup, TakesTheModeItIsGiven) {
    const QString dir = testsupport::freshDir();
    const QString live = dir + "/lumimaster.mdb";
    makeDatabase(live, "", dbtest::kBudgetsScript);
    ASSERT_TRUE(QFile::setPermissions(live, kOwnerOnly | QFile::ReadGroup | QFile::ReadOther));

    Connection c;
    c.open(connectionString(live));
    c.backupTo(dir + "/private.mdb", QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(QFile::permissions(dir + "/private.mdb"), kOwnerOnly);
    EXPECT_EQ(countRows(dir + "/private.mdb", ""), 3);
}

// The files whose name marks them as the layer's temporary files.
QStringList temporaryFilesIn(const QString& dir) {
    return filesIn(dir).filter("~lvtmp.");
}

TEST(Backup, AKilledBackupLeavesNothingOnceTheNextOneRan) {
    const QString dir = testsupport::freshDir();
    const QString live = dir + "/lumimaster.mdb";
    const QString backups = dir + "/backup";
    QDir().mkpath(backups);
    // Large enough that a backup is still under way a moment after its file appears.
    makeDatabase(live, "",
                 "CREATE TABLE Big (b BLOB); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                 "WHERE i < 3000) INSERT INTO Big SELECT randomblob(8000) FROM n;");
    ASSERT_TRUE(QFile::setPermissions(live, kOwnerOnly));

    QString leftover;
    for (int attempt = 0; attempt < 5 && leftover.isEmpty(); ++attempt) {
        dbtest::DbPeer peer;
        ASSERT_EQ(peer.ask({"open", connectionString(live)}), "ok");
        peer.send({"backup", backups + "/first.mdb"});
        QElapsedTimer clock;
        clock.start();
        while (leftover.isEmpty() && clock.elapsed() < dbtest::DbPeer::kPatienceMs) {
            for (const QString& name : temporaryFilesIn(backups)) {
                if (QFileInfo(backups + '/' + name).size() > 0) {
                    peer.kill();
                    leftover = backups + '/' + name;
                }
            }
            if (leftover.isEmpty() && !peer.answer(1).isEmpty())
                break; // done before it was caught: try again
        }
    }
    ASSERT_FALSE(leftover.isEmpty()) << "the backup was never caught under way";
    ASSERT_TRUE(QFile::exists(leftover));
    EXPECT_EQ(QFile::permissions(leftover), kOwnerOnly) << "a temporary copy is private too";

    Connection c;
    c.open(connectionString(live));
    c.backupTo(backups + "/second.mdb");
    EXPECT_TRUE(temporaryFilesIn(backups).isEmpty()) << temporaryFilesIn(backups).join(' ').toStdString();
    Connection copy;
    copy.open(connectionString(backups + "/second.mdb"));
    EXPECT_EQ(copy.scalar("SELECT count(*) FROM Big").toLongLong(), 3000);
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
