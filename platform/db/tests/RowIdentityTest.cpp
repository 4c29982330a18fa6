// A recordset held open while another connection or another program compacts or restores
// the database: its writes and deletions reach exactly the rows it read, or are refused as
// conflicts, although the engine has renumbered the rows of a table without an integer key.
// The grid's query shows a column whose values repeat, so a row id that now names a
// neighbour would pass a check on the shown columns alone.
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/tests/DbFixture.h"
#include "platform/db/tests/DbPeer.h"

#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

using namespace platform::db;
using dbtest::connectionString;
using dbtest::errorOf;
using dbtest::makeDatabase;

namespace {

// Users without an integer key, in the order they were added; u2 and u5 went again, so the
// row ids have gaps that a compaction closes.
const QString kUsersScript =
    QStringLiteral("CREATE TABLE UsersData (Users VARCHAR(20) CHECK (length(Users) <= 20), Email VARCHAR(40),"
                   " Folder VARCHAR(20));"
                   "INSERT INTO UsersData VALUES ('u1', 'one@x', 'north'), ('u2', 'two@x', 'north'),"
                   " ('u3', 'three@x', 'north'), ('u4', 'four@x', 'north'), ('u5', 'five@x', 'north'),"
                   " ('u6', 'six@x', 'north'), ('u7', 'seven@x', 'south');"
                   "DELETE FROM UsersData WHERE Users IN ('u2', 'u5');");

// Every row as "Users|Email|Folder", sorted.
QStringList rowsOf(Connection& c) {
    Recordset rs = Recordset::open(c, "SELECT Users, Email, Folder FROM UsersData ORDER BY Users");
    QStringList rows;
    for (; !rs.eof(); rs.moveNext())
        rows << rs.value(0).toString() + '|' + rs.value(1).toString() + '|' + rs.value(2).toString();
    return rows;
}

qint64 rowIdOf(Connection& c, const QString& user) {
    return c.scalar("SELECT rowid FROM UsersData WHERE Users = ?", {user}).toLongLong();
}

// The grid row of a user: the grid shows only Folder, in the users' order.
void moveTo(Recordset& grid, int position) {
    grid.moveFirst();
    grid.move(position - 1);
}

struct Renumbering {
    const char* name;
    // Changes the database under the held recordset; path is the live database.
    std::function<void(const QString& path)> run;
};

void PrintTo(const Renumbering& row, std::ostream* os) {
    *os << row.name;
}

class HeldRecordset : public testing::TestWithParam<Renumbering> {
protected:
    void SetUp() override {
        dir = testsupport::freshDir();
        path = dir + "/lumimaster.mdb";
        makeDatabase(path, "", kUsersScript);
        connection.open(connectionString(path));
    }
    QString dir;
    QString path;
    Connection connection;
};

TEST_P(HeldRecordset, WritesAndDeletesOnlyTheRowsItRead) {
    Recordset grid = Recordset::open(connection, "SELECT Folder FROM UsersData ORDER BY Users");
    const qint64 u4Before = rowIdOf(connection, "u4");
    GetParam().run(path);
    ASSERT_NE(rowIdOf(connection, "u4"), u4Before) << "the fixture must renumber the rows";

    moveTo(grid, 3); // u4
    grid.setValue("Folder", "east");
    grid.update();
    EXPECT_EQ(grid.value("Folder").toString(), "east");
    moveTo(grid, 2); // u3
    grid.deleteCurrent();
    moveTo(grid, 3); // u6, after the deleted u3 stays skipped
    grid.deleteCurrent();

    EXPECT_EQ(rowsOf(connection), (QStringList{"u1|one@x|north", "u4|four@x|east", "u7|seven@x|south"}));
}

INSTANTIATE_TEST_SUITE_P(
    AcrossRenumbering, HeldRecordset,
    testing::Values(Renumbering{"CompactionByAnotherConnection",
                                [](const QString& path) {
                                    Connection other;
                                    other.open(connectionString(path));
                                    other.compact();
                                }},
                    Renumbering{"CompactionByAnotherProgram",
                                [](const QString& path) {
                                    dbtest::DbPeer peer;
                                    EXPECT_EQ(peer.ask({"open", connectionString(path)}), "ok");
                                    EXPECT_EQ(peer.ask({"compact"}), "ok");
                                }},
                    Renumbering{"RestoreOfABackupNumberedOtherwise",
                                [](const QString& path) {
                                    // The same users, written in the opposite order.
                                    const QString backup = QFileInfo(path).absolutePath() + "/backup.mdb";
                                    makeDatabase(
                                        backup, "",
                                        "CREATE TABLE UsersData (Users VARCHAR(20) CHECK "
                                        "(length(Users) <= 20), Email VARCHAR(40), Folder VARCHAR(20));"
                                        "INSERT INTO UsersData VALUES ('u7', 'seven@x', 'south'),"
                                        " ('u6', 'six@x', 'north'), ('u4', 'four@x', 'north'),"
                                        " ('u3', 'three@x', 'north'), ('u1', 'one@x', 'north');");
                                    Connection other;
                                    other.open(connectionString(path));
                                    other.restoreFrom(backup);
                                }}),
    [](const testing::TestParamInfo<Renumbering>& info) { return std::string(info.param.name); });

class RowIdentity : public HeldRecordset {};

TEST_F(RowIdentity, AChangeToAColumnTheQueryDoesNotShowIsAConflict) {
    Recordset grid = Recordset::open(connection, "SELECT Folder FROM UsersData ORDER BY Users");
    Connection other;
    other.open(connectionString(path));
    other.compact();
    other.execute("UPDATE UsersData SET Email = 'new@x' WHERE Users = 'u4'");
    other.execute("UPDATE UsersData SET Users = 'U6' WHERE Users = 'u6'");

    moveTo(grid, 3); // u4, its e-mail changed
    grid.setValue("Folder", "east");
    EXPECT_EQ(errorOf([&] { grid.update(); }), DbError::kRowConflict);
    grid.cancelUpdate();
    EXPECT_EQ(errorOf([&] { grid.deleteCurrent(); }), DbError::kRowConflict);
    moveTo(grid, 4); // u6, its name now in capitals: a change, though the column ignores case
    EXPECT_EQ(errorOf([&] { grid.deleteCurrent(); }), DbError::kRowConflict);
    EXPECT_EQ(rowsOf(connection), (QStringList{"U6|six@x|north", "u1|one@x|north", "u3|three@x|north",
                                               "u4|new@x|north", "u7|seven@x|south"}));
}

// Another administrator adds a grant column, and removes one, while a grid is open.
TEST_F(RowIdentity, ColumnsAddedOrRemovedElsewhereDoNotStopTheWrites) {
    connection.addColumn("UsersData", ColumnSpec::text("Ann", 200));
    connection.addColumn("UsersData", ColumnSpec::text("Bob", 200));
    Recordset grid = Recordset::open(connection, "SELECT Users, Folder FROM UsersData ORDER BY Users");
    Connection other;
    other.open(connectionString(path));
    other.addColumn("UsersData", ColumnSpec::text("Cid", 200));
    other.dropColumn("UsersData", "Ann");
    other.compact();

    moveTo(grid, 3); // u4
    grid.setValue("Folder", "east");
    grid.update();
    moveTo(grid, 1); // u1
    grid.deleteCurrent();
    EXPECT_EQ(rowsOf(connection),
              (QStringList{"u3|three@x|north", "u4|four@x|east", "u6|six@x|north", "u7|seven@x|south"}));
    EXPECT_EQ(connection.table("UsersData")->columns.size(), 5) << "the layer adds no column of its own";
}

} // namespace
