// The indexes of the master database on real database files: the lookups that the cut, the mail,
// the collection and the update run make for every user file each search through an index (in
// the database that ships and in an older one that gets them), an index lookup finds exactly the
// rows that comparing every row finds, and a database the indexes do not fit is left as it was.
#include "core/MasterDatabaseTables.h"
#include "core/tests/MasterIndexes.h"
#include "platform/db/Connection.h"
#include "platform/db/Engine.h"
#include "platform/db/Recordset.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using platform::db::Connection;

namespace {

// A per-file lookup of the program and the indexes its plan must search through.
struct HotQuery {
    const char* what;
    const char* sql;
    QStringList indexes;
};

// Copies of the program's lookups that run once for each user file (or each master workbook), as
// they are written where they run.
const HotQuery kHotQueries[] = {
    {"collection: the worksheet of an attachment",
     "SELECT User_Filename, UFNPath, Master_File, Worksheet_Name FROM Worksheets "
     "WHERE User_Filename = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U "
     "AND (? = '' OR Master_File = ? COLLATE NOCASE_U)",
     {"Worksheets_UserFile"}},
    {"collection, cut: the worksheets of one path",
     "SELECT COUNT(*) FROM Worksheets WHERE UFNPath = ?",
     {"Worksheets_Path"}},
    {"cut: the path in other budgets",
     "SELECT Worksheet_Name, Budget_Name FROM Worksheets WHERE UFNPath = ? "
     "AND NOT (Budget_Name = ? COLLATE NOCASE_U) ORDER BY rowid",
     {"Worksheets_Path"}},
    {"collection: the sender's addresses",
     "SELECT u.Email_Address FROM UserFileTablesData f JOIN UsersData u ON u.Users = f.Users "
     "WHERE f.User_Filename = ? COLLATE NOCASE_U AND f.Budget_Name = ? COLLATE NOCASE_U "
     "AND f.Master_File = ? COLLATE NOCASE_U",
     {"UserFileTablesData_UserFile", "UsersData_User"}},
    {"mail: the register row of a user file",
     "SELECT Select_By_User, Users, Attachment, Due_Date, ID_UFTD FROM UserFileTablesData "
     "WHERE User_Filename = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U "
     "ORDER BY (Master_File = ? COLLATE NOCASE_U) DESC, ID_UFTD LIMIT 1",
     {"UserFileTablesData_UserFile"}},
    {"mail: the address of the exact user name",
     "SELECT Email_Address FROM UsersData WHERE Users = ? COLLATE BINARY",
     {"UsersData_User"}},
    {"cut: the row of a worksheet",
     "SELECT * FROM Worksheets WHERE Worksheet_Name = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE "
     "NOCASE_U "
     "ORDER BY rowid",
     {"Worksheets_Sheet"}},
    {"cut: the picked worksheets of a master workbook",
     "SELECT * FROM Worksheets WHERE Select_By_User = 1 AND MasterFiles_ID = ? "
     "AND Budget_Name = ? COLLATE NOCASE_U ORDER BY rowid",
     {"Worksheets_MasterId"}},
    {"update run: the user files of a master workbook with their register rows",
     "SELECT Worksheet_Name, Worksheets.UFNPath, UserFileTablesData.UserFile_Update, ID_UFTD, ID_Worksheets, "
     "(SELECT COUNT(*) FROM Worksheets AS Other WHERE Other.UFNPath = Worksheets.UFNPath) AS Path_Rows "
     "FROM Worksheets INNER JOIN UserFileTablesData "
     "ON (Worksheets.User_Filename = UserFileTablesData.User_Filename COLLATE NOCASE_U "
     "AND Worksheets.Budget_Name = UserFileTablesData.Budget_Name COLLATE NOCASE_U) "
     "WHERE Worksheets.Select_By_User = 1 AND UF_Create_Date IS NOT NULL "
     "AND UserFileTablesData.Lockout_User_Updates = 0 "
     "AND Worksheets.Budget_Name = ? COLLATE NOCASE_U AND MasterFiles_ID = ? "
     "AND UserFile_Update = 1 AND File_Missing = 0 ORDER BY Worksheets.rowid",
     {"Worksheets_MasterId", "UserFileTablesData_UserFile", "Worksheets_Path"}},
    {"update run: the answers waiting for a master workbook",
     "SELECT UFNPath, UF_Modified_Date FROM Worksheets WHERE Master_File = ? COLLATE NOCASE_U "
     "AND Budget_Name = ? COLLATE NOCASE_U AND UF_Create_Date IS NOT NULL AND UFNPath IS NOT NULL ORDER BY "
     "rowid",
     {"Worksheets_MasterFile"}},
    {"update run, add-in: the row of a master workbook",
     "SELECT * FROM MasterFiles WHERE Master_File = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U",
     {"MasterFiles_MasterFile"}},
    {"update run: a failed merge logged before",
     "SELECT COUNT(*) FROM Errors WHERE UFPassArrayFailed = 1 AND UF_name = ? COLLATE NOCASE_U "
     "AND Budget_Name = ? COLLATE NOCASE_U AND Change_Value = ?",
     {"Errors_UserFile"}},
    {"collection: a file of a message taken before",
     "SELECT Applied FROM CollectedMessages WHERE Pop3_Server = ? AND Pop3_Account = ? "
     "AND Message_UIDL = ? AND Attachment_Name = ?",
     {"CollectedMessages_Message"}},
    {"collection: a message reported before",
     "SELECT COUNT(*) FROM ReportedMessages WHERE Pop3_Server = ? AND Pop3_Account = ? "
     "AND Message_UIDL = ? AND Reasons_Digest = ?",
     {"ReportedMessages_Message"}},
};

class MasterDatabaseIndexes : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = testsupport::freshDir(QStringLiteral("indexes")) + QStringLiteral("/lumimaster.mdb");
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path_));
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
        cnn_.open(QStringLiteral("Data Source=") + path_);
    }

    // The plan's lines for the query, as the engine explains it.
    QStringList plan(const QString& sql) const {
        namespace engine = platform::db::engine;
        sqlite3* db = engine::openHandle(path_, {}, engine::OpenMode::ExistingReadOnly);
        QStringList lines;
        {
            engine::Statement explain(db, QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
            while (explain.step())
                lines << explain.value(explain.columnCount() - 1).toString();
        }
        engine::closeHandle(db);
        return lines;
    }
    // True when the plan reads no table whole and searches through every index named.
    ::testing::AssertionResult searchesThrough(const HotQuery& query) const {
        const QStringList lines = plan(QString::fromLatin1(query.sql));
        const QString text = lines.join(QStringLiteral(" | "));
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1String("SCAN")))
                return ::testing::AssertionFailure() << "reads a table whole: " << text.toStdString();
        }
        for (const QString& index : query.indexes) {
            if (!text.contains(QStringLiteral("INDEX ") + index + QLatin1Char(' ')))
                return ::testing::AssertionFailure()
                       << "does not use " << index.toStdString() << ": " << text.toStdString();
        }
        return ::testing::AssertionSuccess();
    }

    QString path_;
    Connection cnn_;
};

} // namespace

TEST_F(MasterDatabaseIndexes, TheShippedDatabaseSearchesEveryPerFileLookup) {
    for (const HotQuery& query : kHotQueries)
        EXPECT_TRUE(searchesThrough(query)) << query.what;
}

// A database of an earlier version has none of the indexes: its lookups read whole tables until
// it is brought up to date, then they search; a second pass changes nothing.
TEST_F(MasterDatabaseIndexes, AnOlderDatabaseGetsTheIndexesAndKeepsItsRows) {
    const QStringList shipped = coretest::indexNames(cnn_);
    coretest::dropIndexes(cnn_);
    cnn_.execute(QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, User_Filename, Budget_Name) "
                                "VALUES ('Staff', 'Staff.xlsx', 'Sales')"));
    for (const HotQuery& query : kHotQueries)
        EXPECT_FALSE(searchesThrough(query)) << query.what;

    for (int pass = 0; pass < 2; ++pass) {
        // As the start-up does: the added tables come with their indexes.
        core::AddMissingTables(cnn_);
        EXPECT_TRUE(core::AddMissingIndexes(cnn_));
        EXPECT_EQ(coretest::indexNames(cnn_), shipped);
        EXPECT_FALSE(cnn_.inTransaction());
    }
    for (const HotQuery& query : kHotQueries)
        EXPECT_TRUE(searchesThrough(query)) << query.what;
    EXPECT_EQ(cnn_.scalar(QStringLiteral(
                              "SELECT Worksheet_Name FROM Worksheets WHERE User_Filename = "
                              "'STAFF.XLSX' COLLATE NOCASE_U AND Budget_Name = 'sales' COLLATE NOCASE_U"))
                  .toString(),
              QStringLiteral("Staff"));
    EXPECT_EQ(cnn_.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

// The index compares names as the lookups do: a search through it finds the very rows that
// comparing every row without it finds, for letters beyond ASCII too.
TEST_F(MasterDatabaseIndexes, AnIndexLookupFindsWhatComparingEveryRowFinds) {
    const QStringList names{"Plan.xlsx", "PLAN.XLSX",   "plan.xlsx ",   "Plän.xlsx",
                            "PLÄN.xlsx", "Straße.xlsx", "STRASSE.xlsx", "ſam.xlsx",
                            "SAM.xlsx",  "Ωmega.xlsx",  "ωMEGA.xlsx",   ""};
    cnn_.beginTransaction();
    for (int i = 0; i < 50; ++i) {
        for (const QString& name : names) {
            cnn_.execute(QStringLiteral("INSERT INTO Worksheets (User_Filename, Budget_Name) VALUES (?, ?)"),
                         {name + (i == 0 ? QString() : QString::number(i)), i % 2 ? "Sales" : "SALES"});
        }
    }
    cnn_.commit();
    const QString lookup =
        QStringLiteral("SELECT group_concat(ID_Worksheets) FROM (SELECT ID_Worksheets FROM "
                       "Worksheets%1 WHERE User_Filename = ? COLLATE NOCASE_U AND Budget_Name "
                       "= ? COLLATE NOCASE_U ORDER BY ID_Worksheets)");
    ASSERT_TRUE(plan(lookup.arg(QString())).join(u' ').contains("Worksheets_UserFile"));
    ASSERT_TRUE(plan(lookup.arg(" NOT INDEXED")).join(u' ').contains("SCAN"));
    const QStringList probes{"plan.xlsx", "PLÄN.XLSX", "strasse.xlsx", "sam.xlsx", "ΩMEGA.xlsx", "", "none"};
    for (const QString& probe : probes) {
        for (const char* budget : {"sales", "Sales"}) {
            SCOPED_TRACE(probe.toStdString() + " in " + budget);
            const QVariant indexed = cnn_.scalar(lookup.arg(QString()), {probe, budget});
            EXPECT_EQ(indexed, cnn_.scalar(lookup.arg(" NOT INDEXED"), {probe, budget}));
        }
    }
    EXPECT_EQ(cnn_.scalar(lookup.arg(QString()), {"plan.XLSX", "sales"}).toString().count(u','), 1)
        << "Plan.xlsx and PLAN.XLSX, not the name with a blank";
}

// A database the script does not fit (here one without the program's tables) gets none of the
// indexes, not some of them, and the start-up goes on.
TEST_F(MasterDatabaseIndexes, ADatabaseTheIndexesDoNotFitIsLeftAsItWas) {
    cnn_.execute(QStringLiteral("DROP TABLE Errors"));
    coretest::dropIndexes(cnn_);
    EXPECT_FALSE(core::AddMissingIndexes(cnn_));
    EXPECT_TRUE(coretest::indexNames(cnn_).isEmpty());
    EXPECT_FALSE(cnn_.inTransaction());
}
