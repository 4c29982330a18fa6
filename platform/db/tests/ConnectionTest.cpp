// Connections on real files: what opening refuses, the handle pool, statements with bound
// values, transactions, the NOCASE_U collation and the LIKE escaping.
#include "platform/db/Connection.h"

#include "platform/db/DbError.h"
#include "platform/db/HandlePool.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/db/tests/DbFixture.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace platform::db;
using dbtest::connectionString;
using dbtest::makeDatabase;

namespace {

qint32 openError(const QString& cs) {
    Connection connection;
    try {
        connection.open(cs);
    } catch (const DbError& e) {
        EXPECT_FALSE(connection.isOpen());
        return e.number();
    }
    return 0;
}

TEST(ConnectionOpen, RefusesWhatIsNoUsableDatabase) {
    const QString dir = testsupport::freshDir();
    const QString plain = dir + "/plain.mdb";
    const QString keyed = dir + "/keyed.mdb";
    makeDatabase(plain, "", "CREATE TABLE t (a);");
    makeDatabase(keyed, "s3cret", "CREATE TABLE t (a);");
    QFile empty(dir + "/empty.mdb");
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    QFile text(dir + "/text.mdb");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(4096, 'x'));
    text.close();

    struct Case {
        const char* name;
        QString cs;
        qint32 number;
    };
    const Case cases[] = {
        {"plain opens", connectionString(plain), 0},
        {"keyed opens with its password", connectionString(keyed, "s3cret"), 0},
        {"keyed through PWD", "Data Source=" + keyed + ";PWD=s3cret", 0},
        {"missing file", connectionString(dir + "/missing.mdb"), DbError::kFileNotFound},
        {"empty path", connectionString(""), DbError::kInvalidPath},
        {"no data source at all", "Provider=Microsoft.Jet.OLEDB.4.0", DbError::kInvalidPath},
        {"a folder", connectionString(dir), DbError::kInvalidPath},
        {"keyed without password", connectionString(keyed), DbError::kAuthenticationFailed},
        {"keyed with wrong password", connectionString(keyed, "S3CRET"), DbError::kAuthenticationFailed},
        {"plain with a password", connectionString(plain, "s3cret"), DbError::kAuthenticationFailed},
        {"empty file", connectionString(dir + "/empty.mdb"), DbError::kAuthenticationFailed},
        {"text file", connectionString(dir + "/text.mdb"), DbError::kAuthenticationFailed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(openError(c.cs), c.number) << c.name;
    EXPECT_EQ(DbError::kAuthenticationFailed, -2147217843);
    // Opening never creates the missing file.
    EXPECT_FALSE(QFile::exists(dir + "/missing.mdb"));
}

TEST(ConnectionOpen, PoolReusesHandlesOfAKeyedFile) {
    const QString path = testsupport::freshDir() + "/keyed.mdb";
    makeDatabase(path, "pw", "CREATE TABLE t (a); INSERT INTO t VALUES (1);");
    auto& pool = HandlePool::instance();
    {
        Connection first;
        first.open(connectionString(path, "pw"));
    }
    const quint64 before = pool.handlesOpened();
    for (int i = 0; i < 3; ++i) {
        Connection again;
        again.open(connectionString(path, "pw"));
        EXPECT_EQ(again.scalar("SELECT a FROM t").toLongLong(), 1);
        EXPECT_EQ(Connection::openConnectionCount(path), 1);
    }
    EXPECT_EQ(pool.handlesOpened(), before) << "a closed connection's handle is taken again";

    // Two connections open at once have handles (and transactions) of their own.
    Connection a;
    Connection b;
    a.open(connectionString(path, "pw"));
    b.open(connectionString(path, "pw"));
    EXPECT_EQ(Connection::openConnectionCount(path), 2);
    a.beginTransaction();
    a.execute("INSERT INTO t VALUES (2)");
    EXPECT_FALSE(b.inTransaction());
    EXPECT_EQ(b.scalar("SELECT count(*) FROM t").toLongLong(), 1);
    a.rollback();

    // A wrong key never gets a handle opened with the right one.
    EXPECT_EQ(openError(connectionString(path, "other")), DbError::kAuthenticationFailed);
}

TEST(ConnectionOpen, IdleHandleOfAReplacedFileIsNotReused) {
    const QString dir = testsupport::freshDir();
    const QString path = dir + "/m.mdb";
    makeDatabase(path, "", "CREATE TABLE t (a); INSERT INTO t VALUES ('old');");
    {
        Connection c;
        c.open(connectionString(path));
        EXPECT_EQ(c.scalar("SELECT a FROM t").toString(), "old");
    }
    makeDatabase(dir + "/new.mdb", "", "CREATE TABLE t (a); INSERT INTO t VALUES ('new');");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(dir + "/new.mdb", path));
    Connection c;
    c.open(connectionString(path));
    EXPECT_EQ(c.scalar("SELECT a FROM t").toString(), "new");
}

class ConnectionWork : public testing::Test {
protected:
    void SetUp() override {
        path = testsupport::freshDir() + "/m.mdb";
        makeDatabase(path, "", dbtest::kBudgetsScript);
        connection.open(connectionString(path));
    }
    QString path;
    Connection connection;
};

TEST_F(ConnectionWork, ExecuteBindsValuesAndCountsRows) {
    const QString tricky = "O'Brien; DROP TABLE Budgets; --";
    EXPECT_EQ(connection.execute("INSERT INTO Budgets (Budget_Name, Active, Note) VALUES (?, ?, ?)",
                                 {QStringLiteral("Delta"), true, tricky}),
              1);
    const qint64 id = connection.lastInsertId();
    EXPECT_EQ(connection.scalar("SELECT Note FROM Budgets WHERE ID_Budgets = ?", {id}).toString(), tricky);
    EXPECT_EQ(connection.scalar("SELECT Active FROM Budgets WHERE ID_Budgets = ?", {id}),
              QVariant(qint64(1)));
    EXPECT_EQ(connection.execute("UPDATE Budgets SET Active = ? WHERE Active = ?", {false, true}), 2);
    // A Null parameter, and "" kept apart from it.
    connection.execute("UPDATE Budgets SET Note = ? WHERE Budget_Name = 'Alpha'", {QVariant()});
    connection.execute("UPDATE Budgets SET Note = ? WHERE Budget_Name = 'Gamma'", {QString()});
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets WHERE Note IS NULL").toLongLong(), 1);
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets WHERE Note = ''").toLongLong(), 2);
    // A date goes in as the stored text form.
    connection.execute("UPDATE Budgets SET Budget_Date = ? WHERE Budget_Name = 'Beta'",
                       {QDateTime(QDate(2025, 3, 4), QTime(5, 6, 7))});
    EXPECT_EQ(connection.scalar("SELECT Budget_Date FROM Budgets WHERE Budget_Name = 'Beta'").toString(),
              "2025-03-04 05:06:07");
    EXPECT_EQ(parseDateTime("2025-03-04 05:06:07"), QDateTime(QDate(2025, 3, 4), QTime(5, 6, 7)));
}

TEST_F(ConnectionWork, StatementErrorsCarryTheirNumbers) {
    struct Case {
        const char* sql;
        QVariantList params;
        qint32 number;
    };
    const Case cases[] = {
        {"SELECT * FROM Nowhere", {}, DbError::kTableMissing},
        {"SELEKT 1", {}, DbError::kCommandError},
        {"SELECT ? + ?", {1}, DbError::kCommandError},
        {"SELECT 1; SELECT 2", {}, DbError::kCommandError},
        {"UPDATE Budgets SET Active = 2", {}, DbError::kIntegrityViolation},
    };
    for (const Case& c : cases) {
        try {
            connection.execute(c.sql, c.params);
            ADD_FAILURE() << c.sql << " did not fail";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), c.number) << c.sql << ": " << e.what();
            EXPECT_FALSE(e.description().isEmpty());
        }
    }
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets WHERE length(Budget_Name) > 5").toLongLong(),
              0);
}

TEST_F(ConnectionWork, TransactionGuardRollsBackUnlessCommitted) {
    try {
        Transaction work(connection);
        connection.execute("DELETE FROM Budgets");
        throw DbError(DbError::kGeneral, "stop half way");
    } catch (const DbError&) {
    }
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3);
    {
        Transaction work(connection);
        connection.execute("DELETE FROM Budgets WHERE Budget_Name = 'Beta'");
        work.commit();
    }
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets").toLongLong(), 2);

    connection.beginTransaction();
    EXPECT_THROW(connection.beginTransaction(), DbError);
    connection.rollback();
    EXPECT_THROW(connection.commit(), DbError);
}

TEST_F(ConnectionWork, CloseRollsBackAndHandsTheHandleBack) {
    connection.beginTransaction();
    connection.execute("DELETE FROM Budgets");
    connection.close();
    EXPECT_EQ(connection.state(), Connection::kStateClosed);
    EXPECT_THROW(connection.execute("SELECT 1"), DbError);
    Connection other;
    other.open(connectionString(path));
    EXPECT_EQ(other.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3);
    EXPECT_FALSE(other.inTransaction());
}

TEST_F(ConnectionWork, NoCaseCollationComparesUnicodeWithoutCase) {
    connection.execute("INSERT INTO Budgets (Budget_Name) VALUES (?)", {QStringLiteral("Été Öl")});
    const QString match = "SELECT count(*) FROM Budgets WHERE Budget_Name = ? COLLATE NOCASE_U";
    EXPECT_EQ(connection.scalar(match, {QStringLiteral("été öl")}).toLongLong(), 1);
    EXPECT_EQ(connection.scalar(match, {QStringLiteral("ÉTÉ ÖL")}).toLongLong(), 1);
    EXPECT_EQ(connection.scalar(match, {QStringLiteral("ete ol")}).toLongLong(), 0);
    EXPECT_EQ(connection.scalar(match, {QStringLiteral("alpha")}).toLongLong(), 1);
    EXPECT_EQ(connection.scalar(match, {QStringLiteral("alph")}).toLongLong(), 0);
    EXPECT_EQ(connection.scalar("SELECT 'É' = 'é' COLLATE NOCASE_U").toLongLong(), 1);
}

TEST_F(ConnectionWork, ContainsPatternEscapesWildcards) {
    connection.execute(
        "INSERT INTO Budgets (Budget_Name) VALUES ('100% sure'), ('100 percent'), ('a_b'), ('axb'), "
        "('back\\slash')");
    const QString find = "SELECT count(*) FROM Budgets WHERE Budget_Name LIKE ? ESCAPE '\\'";
    EXPECT_EQ(connection.scalar(find, {containsPattern("0% s")}).toLongLong(), 1);
    EXPECT_EQ(connection.scalar(find, {containsPattern("a_b")}).toLongLong(), 1);
    EXPECT_EQ(connection.scalar(find, {containsPattern("k\\s")}).toLongLong(), 1);
    EXPECT_EQ(connection.scalar(find, {containsPattern("lph")}).toLongLong(), 1);
    EXPECT_EQ(escapeLike("50%_\\"), "50\\%\\_\\\\");
}

} // namespace
