// Recordsets on real files: moves and positions, Null kept apart from "", rows added,
// changed and deleted, join write-back, read-only queries, and the optimistic check that
// reports a row changed through another connection instead of overwriting it.
#include "platform/db/Recordset.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/tests/DbFixture.h"

#include <gtest/gtest.h>

using namespace platform::db;
using dbtest::connectionString;
using dbtest::errorOf;
using dbtest::makeDatabase;

namespace {

class RecordsetTest : public testing::Test {
protected:
    void SetUp() override {
        path = testsupport::freshDir() + "/m.mdb";
        makeDatabase(
            path, "",
            dbtest::kBudgetsScript +
                "CREATE TABLE MasterFiles (ID_MasterFiles INTEGER PRIMARY KEY AUTOINCREMENT,"
                " Master_File VARCHAR(10) CHECK (length(Master_File) <= 10), Budget_Name VARCHAR(20));"
                "CREATE TABLE Worksheets (Worksheet_Name VARCHAR(10), MasterFiles_ID INTEGER,"
                " Budget_Name VARCHAR(20));"
                "INSERT INTO MasterFiles (Master_File, Budget_Name) VALUES ('a.xlsx', 'Alpha');"
                "INSERT INTO MasterFiles (Master_File, Budget_Name) VALUES ('b.xlsx', 'Beta');"
                "INSERT INTO Worksheets VALUES ('S1', 1, 'Alpha'), ('S2', 1, 'Alpha'), ('T1', 2, 'Beta');"
                "CREATE VIEW Sheets AS SELECT * FROM Worksheets;");
        connection.open(connectionString(path));
    }
    QString path;
    Connection connection;
};

TEST_F(RecordsetTest, MovesPositionsAndEnds) {
    Recordset rs = Recordset::open(connection, "SELECT Budget_Name FROM Budgets ORDER BY ID_Budgets");
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(rs.value(0).toString(), "Alpha");
    rs.moveLast();
    EXPECT_EQ(rs.value("budget_name").toString(), "Gamma");
    EXPECT_EQ(rs.absolutePosition(), 3);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), Recordset::kPosEof);
    EXPECT_EQ(errorOf([&] { rs.value(0); }), DbError::kNoCurrentRow);
    EXPECT_EQ(errorOf([&] { rs.moveNext(); }), DbError::kNoCurrentRow);
    rs.move(-2);
    EXPECT_EQ(rs.value(0).toString(), "Beta");
    rs.move(-5);
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), Recordset::kPosBof);
    EXPECT_EQ(errorOf([&] { rs.movePrevious(); }), DbError::kNoCurrentRow);
    rs.moveNext();
    EXPECT_EQ(rs.value(0).toString(), "Alpha");
    rs.move(2);
    EXPECT_EQ(rs.value(0).toString(), "Gamma");
    EXPECT_EQ(rs.fieldCount(), 1) << "the hidden row id is no field";
    EXPECT_EQ(rs.fieldNames(), QStringList({"Budget_Name"}));
    EXPECT_EQ(errorOf([&] { rs.value("Nope"); }), DbError::kItemNotFound);
    EXPECT_EQ(errorOf([&] { rs.value(1); }), DbError::kItemNotFound);

    Recordset none = Recordset::open(connection, "SELECT * FROM Budgets WHERE Budget_Name = ?", {"Nobody"});
    EXPECT_TRUE(none.bof());
    EXPECT_TRUE(none.eof());
    EXPECT_EQ(none.recordCount(), 0);
    EXPECT_EQ(none.fieldCount(), 5);
    rs.close();
    EXPECT_EQ(errorOf([&] { rs.moveFirst(); }), DbError::kObjectClosed);
}

TEST_F(RecordsetTest, ValuesKeepTheirTypesAndNullStaysApartFromEmpty) {
    Recordset rs = Recordset::open(connection, "SELECT * FROM Budgets ORDER BY ID_Budgets");
    EXPECT_EQ(rs.value("ID_Budgets").typeId(), QMetaType::LongLong);
    EXPECT_EQ(rs.value("Active"), QVariant(qint64(1)));
    EXPECT_EQ(rs.value("Budget_Date").toString(), "2024-01-31 10:00:00");
    EXPECT_TRUE(rs.isNull("Note"));
    EXPECT_FALSE(rs.value("Note").isValid());
    rs.moveNext();
    EXPECT_FALSE(rs.isNull("Note"));
    EXPECT_EQ(rs.value("Note").typeId(), QMetaType::QString);
    EXPECT_EQ(rs.value("Note").toString(), "");
    EXPECT_TRUE(rs.isNull("Budget_Date"));

    // Written back: "" stays "", Null stays Null.
    rs.setValue("Note", QVariant());
    rs.setValue("Budget_Date", QString(""));
    rs.update();
    EXPECT_EQ(connection.scalar("SELECT Note IS NULL FROM Budgets WHERE Budget_Name = 'Beta'").toLongLong(),
              1);
    EXPECT_EQ(
        connection.scalar("SELECT Budget_Date = '' FROM Budgets WHERE Budget_Name = 'Beta'").toLongLong(), 1);
}

TEST_F(RecordsetTest, AddUpdateAndDeleteAreWrittenBack) {
    Recordset rs = Recordset::open(connection, "SELECT * FROM Budgets WHERE Budget_Name Is Not Null");
    rs.addNew();
    EXPECT_TRUE(rs.editPending());
    rs.setValue("Budget_Name", "Delta");
    rs.setValue("Budget_Date", QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    rs.update();
    EXPECT_EQ(rs.value("ID_Budgets").toLongLong(), 4) << "the AutoNumber shows after the write";
    EXPECT_EQ(rs.value("Active").toLongLong(), 0) << "defaults show after the write";
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(rs.absolutePosition(), 4);
    EXPECT_EQ(connection.scalar("SELECT Budget_Date FROM Budgets WHERE ID_Budgets = 4").toString(),
              "2024-05-06 07:08:09");

    rs.moveFirst();
    rs.setValue("Active", false);
    rs.setValue(1, "Alpha 2");
    rs.moveNext(); // leaving the row writes its edits
    EXPECT_EQ(connection.scalar("SELECT Budget_Name || Active FROM Budgets WHERE ID_Budgets = 1").toString(),
              "Alpha 20");

    rs.deleteCurrent(); // Beta
    EXPECT_EQ(errorOf([&] { rs.value(0); }), DbError::kDeletedRow);
    EXPECT_EQ(rs.recordCount(), 3);
    rs.moveNext();
    EXPECT_EQ(rs.value("Budget_Name").toString(), "Gamma");
    rs.movePrevious();
    EXPECT_EQ(rs.value("Budget_Name").toString(), "Alpha 2") << "moves skip the deleted row";
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3);

    // Deleting every row the way the clean-up walks them.
    rs.moveFirst();
    while (!rs.eof()) {
        rs.deleteCurrent();
        rs.moveNext();
    }
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets").toLongLong(), 0);
}

TEST_F(RecordsetTest, CancelledEditsAndNewRowsWriteNothing) {
    Recordset rs = Recordset::open(connection, "SELECT * FROM Budgets");
    rs.setValue("Budget_Name", "Changed");
    EXPECT_EQ(rs.value("Budget_Name").toString(), "Changed");
    rs.cancelUpdate();
    EXPECT_EQ(rs.value("Budget_Name").toString(), "Alpha");
    rs.addNew();
    rs.setValue("Budget_Name", "Never");
    rs.cancelUpdate();
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.value("Budget_Name").toString(), "Alpha");
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets WHERE Budget_Name IN ('Changed', 'Never')")
                  .toLongLong(),
              0);
}

// The number of live rows as rows are added, cancelled, deleted and refused a deletion; the
// ends of the recordset follow it.
TEST_F(RecordsetTest, RecordCountFollowsAddsCancelsAndDeletes) {
    Recordset rs = Recordset::open(connection, "SELECT * FROM Budgets ORDER BY ID_Budgets");
    rs.addNew();
    EXPECT_EQ(rs.recordCount(), 4) << "a row being added counts";
    rs.cancelUpdate();
    EXPECT_EQ(rs.recordCount(), 3);
    // A row deleted meanwhile by another connection is refused, and still counts.
    Connection other;
    other.open(connectionString(path));
    other.execute("DELETE FROM Budgets WHERE Budget_Name = 'Alpha'");
    EXPECT_EQ(errorOf([&] { rs.deleteCurrent(); }), DbError::kRowConflict);
    EXPECT_EQ(rs.recordCount(), 3);
    rs.moveNext();
    rs.deleteCurrent(); // Beta
    EXPECT_EQ(rs.recordCount(), 2);
    rs.moveNext();
    rs.deleteCurrent(); // Gamma, the last row
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_FALSE(rs.eof()) << "the deleted row stays current until the next move";
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    rs.moveFirst();
    EXPECT_EQ(rs.value("Budget_Name").toString(), "Alpha");
}

TEST_F(RecordsetTest, BookmarksReturnToTheirRows) {
    Recordset rs = Recordset::open(connection, "SELECT * FROM Budgets ORDER BY ID_Budgets");
    const int alpha = rs.bookmark();
    rs.moveLast();
    const int gamma = rs.bookmark();
    rs.movePrevious();
    const int beta = rs.bookmark();
    rs.addNew();
    EXPECT_EQ(errorOf([&] { rs.bookmark(); }), DbError::kInvalidOperation) << "a row not yet written";
    EXPECT_EQ(errorOf([&] { rs.moveToBookmark(beta + 2); }), DbError::kItemNotFound) << "the row being added";
    rs.setValue("Budget_Name", "Delta");
    rs.update();
    const int delta = rs.bookmark();
    rs.moveToBookmark(beta);
    rs.deleteCurrent();

    const struct {
        int mark;
        const char* name; // nullptr: the error
        qint32 error;
    } cases[] = {
        {gamma, "Gamma", 0},
        {alpha, "Alpha", 0},
        {delta, "Delta", 0},
        {beta, nullptr, DbError::kDeletedRow},
        {-1, nullptr, DbError::kItemNotFound},
        {delta + 1, nullptr, DbError::kItemNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mark);
        rs.moveToBookmark(alpha);
        EXPECT_EQ(errorOf([&] { rs.moveToBookmark(c.mark); }), c.error);
        if (c.name) {
            EXPECT_EQ(rs.value("Budget_Name").toString(), c.name);
            EXPECT_EQ(rs.bookmark(), c.mark);
        } else {
            EXPECT_EQ(rs.value("Budget_Name").toString(), "Alpha") << "a refused move stays where it was";
        }
    }

    // Leaving a row for a mark writes its edits, as every move does.
    rs.moveToBookmark(gamma);
    rs.setValue("Budget_Name", "Gamma 2");
    rs.moveToBookmark(alpha);
    EXPECT_EQ(connection.scalar("SELECT Budget_Name FROM Budgets WHERE ID_Budgets = 3").toString(),
              "Gamma 2");
    rs.moveNext();
    EXPECT_EQ(rs.value("Budget_Name").toString(), "Gamma 2") << "moves go on from the marked row";
}

TEST_F(RecordsetTest, TooLongValueNamesTheField) {
    Recordset rs = Recordset::open(connection, "SELECT * FROM Budgets");
    rs.setValue("Budget_Name", QString(21, 'x'));
    try {
        rs.update();
        ADD_FAILURE() << "too long a value was stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kValueTooLong);
        EXPECT_TRUE(e.description().contains("'Budget_Name'")) << e.what();
    }
    EXPECT_TRUE(rs.editPending()) << "the edit stays for the caller to mend or cancel";
    rs.cancelUpdate();
    EXPECT_EQ(connection.scalar("SELECT Budget_Name FROM Budgets WHERE ID_Budgets = 1").toString(), "Alpha");
}

TEST_F(RecordsetTest, ConflictingUpdateThroughTwoConnectionsIsReported) {
    Connection other;
    other.open(connectionString(path));
    Recordset mine = Recordset::open(connection, "SELECT * FROM Budgets WHERE Budget_Name = ?", {"Beta"});
    Recordset theirs = Recordset::open(other, "SELECT * FROM Budgets WHERE Budget_Name = ?", {"Beta"});

    theirs.setValue("Note", "theirs");
    theirs.update();

    mine.setValue("Active", true);
    EXPECT_EQ(errorOf([&] { mine.update(); }), DbError::kRowConflict);
    EXPECT_EQ(connection.scalar("SELECT Note || Active FROM Budgets WHERE Budget_Name = 'Beta'").toString(),
              "theirs0")
        << "the other connection's change is kept, nothing of the refused edit is written";

    // A row deleted meanwhile is a conflict too, for a change and for a delete.
    Recordset gone = Recordset::open(connection, "SELECT * FROM Budgets WHERE Budget_Name = 'Gamma'");
    other.execute("DELETE FROM Budgets WHERE Budget_Name = 'Gamma'");
    EXPECT_EQ(errorOf([&] { gone.deleteCurrent(); }), DbError::kRowConflict);
    gone.setValue("Note", "x");
    EXPECT_EQ(errorOf([&] { gone.update(); }), DbError::kRowConflict);

    // Read again, the row takes the edit.
    Recordset fresh = Recordset::open(connection, "SELECT * FROM Budgets WHERE Budget_Name = ?", {"Beta"});
    fresh.setValue("Active", true);
    fresh.update();
    EXPECT_EQ(other.scalar("SELECT Note || Active FROM Budgets WHERE Budget_Name = 'Beta'").toString(),
              "theirs1");
}

TEST_F(RecordsetTest, JoinWritesEachColumnToItsOwnTable) {
    Recordset rs = Recordset::open(connection,
                                   "SELECT w.Worksheet_Name, m.Master_File, w.Budget_Name, m.Budget_Name "
                                   "FROM Worksheets AS w INNER JOIN MasterFiles m ON w.MasterFiles_ID = "
                                   "m.ID_MasterFiles WHERE w.Worksheet_Name = ?",
                                   {"S2"});
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_FALSE(rs.isReadOnly());
    EXPECT_EQ(rs.fieldNames(), QStringList({"Worksheet_Name", "Master_File", "Worksheets.Budget_Name",
                                            "MasterFiles.Budget_Name"}));
    rs.setValue("Worksheet_Name", "S2b");
    rs.setValue("Master_File", "a2.xlsx");
    rs.setValue("MasterFiles.Budget_Name", "Alpha2");
    rs.update();
    EXPECT_EQ(connection.scalar("SELECT group_concat(Worksheet_Name) FROM Worksheets").toString(),
              "S1,S2b,T1");
    EXPECT_EQ(
        connection.scalar("SELECT group_concat(Master_File || Budget_Name) FROM MasterFiles").toString(),
        "a2.xlsxAlpha2,b.xlsxBeta");
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Worksheets WHERE Budget_Name = 'Alpha'").toLongLong(),
              2);

    // A failure in the second table writes nothing in the first.
    rs.setValue("Worksheet_Name", "S2c");
    rs.setValue("Master_File", "far-too-long.xlsx");
    EXPECT_EQ(errorOf([&] { rs.update(); }), DbError::kValueTooLong);
    rs.cancelUpdate();
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Worksheets WHERE Worksheet_Name = 'S2c'").toLongLong(),
              0);
    EXPECT_EQ(errorOf([&] { rs.deleteCurrent(); }), DbError::kReadOnly);
}

TEST_F(RecordsetTest, QueriesThatCannotBeWrittenBackAreReadOnly) {
    const char* queries[] = {
        "SELECT DISTINCT Budget_Name FROM Worksheets",
        "SELECT Budget_Name, count(*) AS n FROM Worksheets GROUP BY Budget_Name",
        "SELECT max(MasterFiles_ID) FROM Worksheets",
        "SELECT Budget_Name FROM Worksheets UNION SELECT Budget_Name FROM MasterFiles",
        "SELECT * FROM Sheets",
        "SELECT Worksheet_Name FROM (SELECT * FROM Worksheets)",
        "SELECT 'x' || Worksheet_Name AS Label FROM Worksheets",
        "SELECT a.Worksheet_Name FROM Worksheets a, Worksheets b WHERE a.rowid = b.rowid",
    };
    for (const char* sql : queries) {
        Recordset rs = Recordset::open(connection, sql);
        ASSERT_GT(rs.recordCount(), 0) << sql;
        EXPECT_TRUE(rs.isReadOnly()) << sql;
        EXPECT_EQ(errorOf([&] { rs.setValue(0, "x"); }), DbError::kReadOnly) << sql;
        EXPECT_EQ(errorOf([&] { rs.addNew(); }), DbError::kReadOnly) << sql;
        EXPECT_EQ(errorOf([&] { rs.deleteCurrent(); }), DbError::kReadOnly) << sql;
    }
    // An expression beside table columns: the columns can be written, the expression not.
    Recordset mixed =
        Recordset::open(connection, "SELECT Worksheet_Name, upper(Budget_Name) AS B FROM Worksheets");
    EXPECT_FALSE(mixed.isReadOnly());
    EXPECT_EQ(errorOf([&] { mixed.setValue("B", "x"); }), DbError::kReadOnly);
    mixed.setValue("Worksheet_Name", "S1x");
    mixed.update();
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Worksheets WHERE Worksheet_Name = 'S1x'").toLongLong(),
              1);
}

TEST_F(RecordsetTest, AppendOnlyRecordsetReadsNoRowsAndAddsThem) {
    Recordset rs = Recordset::forAppend(connection, "worksheets");
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.fieldNames(), QStringList({"Worksheet_Name", "MasterFiles_ID", "Budget_Name"}));
    rs.addNew();
    rs.setValue("Worksheet_Name", "New");
    rs.setValue("MasterFiles_ID", 2);
    rs.update();
    rs.addNew();
    rs.setValue("Worksheet_Name", "Newer");
    rs.update();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_TRUE(rs.isNull("Budget_Name"));
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Worksheets").toLongLong(), 5);
    EXPECT_EQ(errorOf([&] { Recordset::forAppend(connection, "Nowhere"); }), DbError::kTableMissing);
    EXPECT_EQ(errorOf([&] { Recordset::forAppend(connection, "Sheets"); }), DbError::kReadOnly);
}

TEST_F(RecordsetTest, WritesFailOnceTheConnectionIsClosed) {
    Recordset rs = Recordset::open(connection, "SELECT * FROM Budgets");
    connection.close();
    EXPECT_EQ(rs.value("Budget_Name").toString(), "Alpha") << "the snapshot stays readable";
    rs.setValue("Budget_Name", "Late");
    EXPECT_EQ(errorOf([&] { rs.update(); }), DbError::kObjectClosed);
    EXPECT_EQ(errorOf([&] { Recordset::open(connection, "SELECT 1"); }), DbError::kObjectClosed);
}

TEST_F(RecordsetTest, OpeningBadQueriesFails) {
    EXPECT_EQ(errorOf([&] { Recordset::open(connection, "SELECT * FROM Nowhere"); }), DbError::kTableMissing);
    EXPECT_EQ(errorOf([&] { Recordset::open(connection, "SELECT * FRM Budgets"); }), DbError::kCommandError);
    EXPECT_EQ(errorOf([&] { Recordset::open(connection, "DELETE FROM Budgets"); }), DbError::kCommandError);
    EXPECT_EQ(connection.scalar("SELECT count(*) FROM Budgets").toLongLong(), 3);
}

} // namespace
