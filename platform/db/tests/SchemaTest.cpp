// Schema work on real files: the listing of tables and views, tables created in the
// project's column convention, columns added at the end and dropped by a rebuild, and scripts of
// missing indexes that give way to a database that cannot take them now.
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/tests/DbFixture.h"
#include "platform/db/tests/DbPeer.h"

#include <QFile>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace platform::db;
using dbtest::connectionString;
using dbtest::makeDatabase;

namespace {

class Schema : public testing::Test {
protected:
    void SetUp() override {
        path = testsupport::freshDir() + "/m.mdb";
        makeDatabase(path, "",
                     dbtest::kBudgetsScript + "CREATE VIEW ActiveBudgets AS SELECT Budget_Name FROM Budgets "
                                              "WHERE Active = 1;");
        connection.open(connectionString(path));
    }
    QStringList columnNames(const QString& table) {
        QStringList names;
        const auto info = connection.table(table);
        for (const ColumnInfo& c : info->columns)
            names << c.name;
        return names;
    }
    QString path;
    Connection connection;
};

TEST_F(Schema, ListsTablesAndViewsWithTheirColumns) {
    const QList<TableInfo> tables = connection.tables();
    ASSERT_EQ(tables.size(), 2) << "the engine's own sqlite_sequence is not listed";
    EXPECT_EQ(tables[0].name, "Budgets");
    EXPECT_EQ(tables[0].type, TableType::Table);
    EXPECT_EQ(tables[1].name, "ActiveBudgets");
    EXPECT_EQ(tables[1].type, TableType::View);

    const auto budgets = connection.table("BUDGETS");
    ASSERT_TRUE(budgets.has_value());
    ASSERT_EQ(budgets->columns.size(), 5);
    const ColumnInfo& id = budgets->columns[0];
    EXPECT_EQ(id.name, "ID_Budgets");
    EXPECT_TRUE(id.autoIncrement);
    EXPECT_FALSE(id.nullable);
    const ColumnInfo& name = budgets->columns[1];
    EXPECT_EQ(name.declaredType, "VARCHAR(20)");
    EXPECT_EQ(name.size, 20);
    EXPECT_TRUE(name.nullable);
    EXPECT_FALSE(name.autoIncrement);
    EXPECT_EQ(budgets->columns[2].declaredType, "YESNO");
    EXPECT_FALSE(budgets->columns[2].nullable);
    EXPECT_EQ(budgets->columnIndex("budget_date"), 3);
    EXPECT_FALSE(connection.table("Nowhere").has_value());
}

TEST_F(Schema, CreatedTableFollowsTheColumnConvention) {
    connection.createTable("Errors", {ColumnSpec::autoNumber("ID"), ColumnSpec::date("Error_Date"),
                                      ColumnSpec::text("UF_name", 10), ColumnSpec::longInt("Row_number"),
                                      ColumnSpec::yesNo("File_Missing"), ColumnSpec::memo("Remark"),
                                      ColumnSpec::text("Required", 5, false)});
    const auto table = connection.table("Errors");
    ASSERT_TRUE(table.has_value());
    QStringList types;
    for (const ColumnInfo& c : table->columns)
        types << c.name + " " + c.declaredType + (c.nullable ? "" : " not null") +
                     (c.autoIncrement ? " auto" : "");
    EXPECT_EQ(types, QStringList({"ID INTEGER not null auto", "Error_Date DATETIME", "UF_name VARCHAR(10)",
                                  "Row_number INTEGER", "File_Missing YESNO not null", "Remark TEXT",
                                  "Required VARCHAR(5) not null"}));
    EXPECT_EQ(table->columns[2].size, 10);

    connection.execute("INSERT INTO Errors (UF_name, Required) VALUES ('abc', 'x')");
    EXPECT_EQ(connection.scalar("SELECT ID FROM Errors").toLongLong(), 1);
    EXPECT_EQ(connection.scalar("SELECT File_Missing FROM Errors"), QVariant(qint64(0)));

    // Too long a value is refused by the engine, naming the column.
    try {
        connection.execute("INSERT INTO Errors (UF_name, Required) VALUES (?, 'x')", {QString(11, 'u')});
        ADD_FAILURE() << "too long a value was stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kValueTooLong);
        EXPECT_TRUE(e.description().contains("'UF_name'")) << e.what();
    }
    EXPECT_THROW(connection.execute("INSERT INTO Errors (UF_name) VALUES ('a')"),
                 DbError); // Required missing
    EXPECT_THROW(connection.execute("INSERT INTO Errors (File_Missing, Required) VALUES (3, 'x')"), DbError);
    EXPECT_THROW(connection.createTable("Errors", {ColumnSpec::longInt("A")}), DbError);
    EXPECT_THROW(connection.createTable("Empty", {}), DbError);
}

TEST_F(Schema, TextPrimaryKeyIsNamedAndUnique) {
    connection.createTable("AdminUsers", [] {
        ColumnSpec name = ColumnSpec::text("AdminUser_Name", 50);
        name.primaryKey = true;
        return QList<ColumnSpec>{name, ColumnSpec::text("AdminUser_Pwd", 200)};
    }());
    connection.execute("INSERT INTO AdminUsers VALUES ('ann', 'x')");
    EXPECT_THROW(connection.execute("INSERT INTO AdminUsers VALUES ('ann', 'y')"), DbError);
    EXPECT_TRUE(connection.table("AdminUsers")->columns[0].primaryKey);
}

TEST_F(Schema, AddColumnAppendsAtTheEnd) {
    connection.addColumn("Budgets", ColumnSpec::text("ann", 200));
    connection.addColumn("Budgets", ColumnSpec::yesNo("Flag"));
    EXPECT_EQ(columnNames("Budgets"),
              QStringList({"ID_Budgets", "Budget_Name", "Active", "Budget_Date", "Note", "ann", "Flag"}));
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets WHERE ann IS NULL AND Flag = 0").toLongLong(),
              3);
    EXPECT_THROW(connection.execute("UPDATE Budgets SET ann = ?", {QString(201, 'g')}), DbError);
    EXPECT_THROW(connection.addColumn("Budgets", ColumnSpec::autoNumber("Another")), DbError);
    EXPECT_THROW(connection.addColumn("Nowhere", ColumnSpec::longInt("x")), DbError);
}

TEST_F(Schema, DropColumnKeepsOrderRowsRulesAndCounter) {
    connection.addColumn("Budgets", ColumnSpec::text("bob", 200));
    connection.addColumn("Budgets", ColumnSpec::text("carl", 3));
    connection.execute("UPDATE Budgets SET bob = Budget_Name, carl = 'c'");
    connection.execute("CREATE INDEX BudgetsByName ON Budgets (Budget_Name)");
    connection.execute("CREATE INDEX BudgetsByBob ON Budgets (bob)");
    connection.execute("DELETE FROM Budgets WHERE Budget_Name = 'Gamma'"); // counter stays at 3

    connection.dropColumn("budgets", "BOB");

    EXPECT_EQ(columnNames("Budgets"),
              QStringList({"ID_Budgets", "Budget_Name", "Active", "Budget_Date", "Note", "carl"}));
    Recordset rows = Recordset::open(connection, "SELECT * FROM Budgets ORDER BY ID_Budgets");
    ASSERT_EQ(rows.recordCount(), 2);
    EXPECT_EQ(rows.value("ID_Budgets").toLongLong(), 1);
    EXPECT_EQ(rows.value("Budget_Name").toString(), "Alpha");
    EXPECT_EQ(rows.value("Budget_Date").toString(), "2024-01-31 10:00:00");
    EXPECT_EQ(rows.value("carl").toString(), "c");
    rows.moveNext();
    EXPECT_EQ(rows.value("Note").toString(), "");
    EXPECT_FALSE(rows.isNull("Note"));

    // The rules of the remaining columns still hold; the AutoNumber goes on after 3.
    EXPECT_THROW(connection.execute("UPDATE Budgets SET carl = 'long'"), DbError);
    EXPECT_THROW(connection.execute("UPDATE Budgets SET Active = 5"), DbError);
    connection.execute("INSERT INTO Budgets (Budget_Name) VALUES ('Delta')");
    EXPECT_EQ(connection.lastInsertId(), 4);
    EXPECT_EQ(
        connection.scalar("SELECT count(*) FROM sqlite_master WHERE name = 'BudgetsByName'").toLongLong(), 1);
    EXPECT_EQ(
        connection.scalar("SELECT count(*) FROM sqlite_master WHERE name = 'BudgetsByBob'").toLongLong(), 0);
    EXPECT_TRUE(connection.table("Budgets")->columns[0].autoIncrement);
    // The view over the table still reads it.
    EXPECT_EQ(connection.scalar("SELECT Budget_Name FROM ActiveBudgets").toString(), "Alpha");

    EXPECT_THROW(connection.dropColumn("Budgets", "bob"), DbError);
    EXPECT_THROW(connection.dropColumn("Nowhere", "x"), DbError);
}

// Grant columns are named after administrators: whatever text is a legal name is stored,
// written, read, checked and dropped as given, never read as SQL or as a place marker.
TEST_F(Schema, AnyLegalNameRoundTripsAsAColumn) {
    const QStringList names{"a%2b",        "y%3) ; DROP TABLE Budgets; --",
                            "%1%9 %4",     "say \"hi\"",
                            "[br]ack`et'", "Ümlaut Жук 数",
                            "length",      "size:x"};
    QList<ColumnSpec> specs{ColumnSpec::autoNumber("ID")};
    for (const QString& name : names)
        specs << ColumnSpec::text(name, 6);
    connection.createTable("Grants %2 [x]", specs);
    connection.addColumn("Grants %2 [x]", ColumnSpec::yesNo("flag %1"));
    connection.addColumn("Grants %2 [x]", ColumnSpec::longInt("n%3"));
    EXPECT_EQ(columnNames("Grants %2 [x]"), (QStringList{"ID"} + names + QStringList{"flag %1", "n%3"}));

    Recordset grants = Recordset::open(connection, "SELECT * FROM \"Grants %2 [x]\"");
    grants.addNew();
    for (int i = 0; i < names.size(); ++i)
        grants.setValue(names[i], QString("v%1").arg(i));
    grants.setValue("flag %1", 1);
    grants.update();
    grants.setValue(names[0], "chg");
    grants.update();
    for (int i = 1; i < names.size(); ++i)
        EXPECT_EQ(grants.value(names[i]).toString(), QString("v%1").arg(i)) << names[i].toStdString();
    grants.setValue("a%2b", "seven c");
    try {
        grants.update();
        ADD_FAILURE() << "too long a value was stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kValueTooLong);
        EXPECT_TRUE(e.description().contains("the field 'a%2b'")) << e.what();
    }
    grants.cancelUpdate();

    connection.dropColumn("Grants %2 [x]", "n%3");
    connection.dropColumn("Grants %2 [x]", "%1%9 %4");
    QStringList kept = names;
    kept.removeAt(2);
    EXPECT_EQ(columnNames("Grants %2 [x]"), (QStringList{"ID"} + kept + QStringList{"flag %1"}));
    Recordset after = Recordset::open(connection, "SELECT * FROM \"Grants %2 [x]\"");
    EXPECT_EQ(after.value(names[0]).toString(), "chg");
    EXPECT_EQ(after.value(names[1]).toString(), "v1");
    EXPECT_EQ(after.value("flag %1").toLongLong(), 1);
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3) << "no name ran as SQL";
}

TEST_F(Schema, DropColumnRefusedWhileAKeyNeedsIt) {
    ColumnSpec key = ColumnSpec::text("K", 5);
    key.primaryKey = true;
    connection.createTable("Keyed", {key, ColumnSpec::longInt("V")});
    connection.execute("INSERT INTO Keyed VALUES ('a', 1)");
    try {
        connection.dropColumn("Keyed", "K");
        ADD_FAILURE() << "the key column was dropped";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kInvalidOperation);
    }
    EXPECT_EQ(connection.table("Keyed")->columns.size(), 2);
    EXPECT_EQ(connection.scalar("SELECT V FROM Keyed").toLongLong(), 1);
}

const QString kIndexScript =
    QStringLiteral("CREATE INDEX IF NOT EXISTS Budgets_Name ON Budgets (Budget_Name COLLATE NOCASE_U);"
                   "CREATE INDEX IF NOT EXISTS Budgets_Date ON Budgets (Budget_Date);");

QStringList indexesOf(Connection& connection) {
    QStringList names;
    Recordset rows = Recordset::open(
        connection, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");
    for (; !rows.eof(); rows.moveNext())
        names << rows.value(0).toString();
    return names;
}

TEST_F(Schema, ScriptOfMissingIndexesIsAllOrNothing) {
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(connection.tryExecuteScript(kIndexScript, 100));
        EXPECT_EQ(indexesOf(connection), QStringList({"Budgets_Date", "Budgets_Name"}));
    }
    EXPECT_EQ(connection.scalar("SELECT Budget_Name FROM Budgets WHERE Budget_Name = 'BETA' COLLATE NOCASE_U")
                  .toString(),
              "Beta");

    // A script that fails part-way leaves none of its indexes, and no transaction open.
    const QString broken =
        QStringLiteral("CREATE INDEX IF NOT EXISTS Budgets_Note ON Budgets (Note);"
                       "CREATE INDEX IF NOT EXISTS Budgets_None ON Budgets (No_Such_Column);");
    EXPECT_EQ(dbtest::errorOf([&] { connection.tryExecuteScript(broken, 100); }), DbError::kCommandError);
    EXPECT_EQ(indexesOf(connection), QStringList({"Budgets_Date", "Budgets_Name"}));
    EXPECT_FALSE(connection.inTransaction());

    // Inside the caller's transaction the script is part of it: taken back with it, and taken back
    // alone when it fails, the caller's own work kept.
    connection.beginTransaction();
    connection.execute("INSERT INTO Budgets (Budget_Name) VALUES ('Delta')");
    EXPECT_EQ(dbtest::errorOf([&] { connection.tryExecuteScript(broken, 100); }), DbError::kCommandError);
    EXPECT_TRUE(connection.inTransaction());
    EXPECT_TRUE(
        connection.tryExecuteScript("CREATE INDEX IF NOT EXISTS Budgets_Note ON Budgets (Note);", 100));
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets").toLongLong(), 4);
    connection.rollback();
    EXPECT_EQ(indexesOf(connection), QStringList({"Budgets_Date", "Budgets_Name"}));
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3);
}

// Another program's transaction: the script gives up after its short wait with the database as it
// was, the connection's own wait for later work stays the usual one, and once the other program is
// done the script runs.
TEST_F(Schema, ScriptOfMissingIndexesGivesWayToAnotherProgram) {
    dbtest::DbPeer peer;
    ASSERT_EQ(peer.ask({"open", connectionString(path)}), "ok");
    ASSERT_EQ(peer.ask({"begin"}), "ok");
    ASSERT_EQ(peer.ask({"exec", "INSERT INTO Budgets (Budget_Name) VALUES ('Delta')"}), "ok 1");

    EXPECT_FALSE(connection.tryExecuteScript(kIndexScript, 100));
    EXPECT_FALSE(connection.inTransaction());
    auto writing = std::async(std::launch::async, [&] {
        connection.execute("INSERT INTO Budgets (Budget_Name) VALUES ('Epsilon')");
    });
    EXPECT_EQ(writing.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout)
        << "later work waits for the other program as long as ever";
    EXPECT_EQ(peer.ask({"commit"}), "ok");
    writing.get();
    EXPECT_TRUE(indexesOf(connection).isEmpty());

    EXPECT_TRUE(connection.tryExecuteScript(kIndexScript, 100));
    EXPECT_EQ(indexesOf(connection), QStringList({"Budgets_Date", "Budgets_Name"}));
    EXPECT_EQ(
        peer.ask({"scalar", "SELECT count(*) FROM Budgets WHERE Budget_Name = 'delta' COLLATE NOCASE_U"}),
        "ok 1");
    EXPECT_EQ(connection.scalar("PRAGMA integrity_check").toString(), "ok");
}

// A file that cannot be written: a script with nothing to make runs (it only reads), one with
// something to make gives up and leaves the file as it was.
TEST_F(Schema, ScriptOfMissingIndexesOnAReadOnlyFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes read-only files";
    EXPECT_TRUE(connection.tryExecuteScript(
        "CREATE INDEX IF NOT EXISTS Budgets_Date ON Budgets (Budget_Date);", 100));
    connection.close();
    Connection::releaseIdleHandles(path); // the pooled handle was opened for writing
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    connection.open(connectionString(path));
    EXPECT_TRUE(connection.tryExecuteScript(
        "CREATE INDEX IF NOT EXISTS Budgets_Date ON Budgets (Budget_Date);", 100));
    EXPECT_FALSE(connection.tryExecuteScript(kIndexScript, 100));
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(indexesOf(connection), QStringList({"Budgets_Date"}));
    connection.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

} // namespace
