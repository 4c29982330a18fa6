// cClean on real database files: the placeholder rule table by table and over the whole
// table list, emptying a table, and telling tables from views and other spellings.
#include "StoreFixture.h"
#include "WaitRecorder.h"
#include "lumistore/Lumistore.h"
#include "platform/db/DbError.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {

using lumistore::cClean;
using lumistore::LumistoreError;
using platform::db::DbError;
using storetest::column;
using storetest::connectionString;
using storetest::copyMaster;
using storetest::WaitRecorder;

const QString kPlaceholder = QStringLiteral("<Dummy record>");

// Fills FolderNames with exactly these first-column values (invalid = Null).
void setFolderNames(const QString& path, const QVariantList& values) {
    storetest::execute(path, {QStringLiteral("DELETE FROM FolderNames")});
    for (const QVariant& value : values)
        storetest::execute(path, {QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES (?)")},
                           {value});
}

struct SweepCase {
    const char* name;
    QVariantList before;
    QStringList after; // "<null>" stands for Null
};

void PrintTo(const SweepCase& c, std::ostream* out) {
    *out << c.name;
}

class SweepOneTable : public ::testing::TestWithParam<SweepCase> {};

TEST_P(SweepOneTable, KeepsExactlyOnePlaceholderOrNone) {
    const SweepCase& c = GetParam();
    const QString path = copyMaster();
    setFolderNames(path, c.before);

    WaitRecorder wait;
    cClean().SweepRecords(connectionString(path), QStringLiteral("FolderNames"));

    EXPECT_EQ(column(path, QStringLiteral("SELECT Folder_Name FROM FolderNames ORDER BY rowid")), c.after);
    EXPECT_EQ(wait.seen().opened, 1);
    EXPECT_FALSE(wait.open());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SweepOneTable,
    ::testing::Values(
        SweepCase{"EmptyTableGetsOnePlaceholder", {}, {kPlaceholder}},
        SweepCase{"RealRowsOnlyStayAsTheyAre",
                  {QStringLiteral("Sales"), QStringLiteral("Finance")},
                  {QStringLiteral("Sales"), QStringLiteral("Finance")}},
        SweepCase{"OneRealRowStays", {QStringLiteral("Sales")}, {QStringLiteral("Sales")}},
        SweepCase{"OnePlaceholderAloneStays", {kPlaceholder}, {kPlaceholder}},
        SweepCase{"PlaceholderBesideRealRowGoes",
                  {kPlaceholder, QStringLiteral("Sales")},
                  {QStringLiteral("Sales")}},
        SweepCase{"PlaceholderBesideSeveralRealRowsGoes",
                  {QStringLiteral("Sales"), kPlaceholder, QStringLiteral("Finance"), kPlaceholder},
                  {QStringLiteral("Sales"), QStringLiteral("Finance")}},
        SweepCase{"OtherLetterCaseIsARealRow",
                  {QStringLiteral("<dummy record>")},
                  {QStringLiteral("<dummy record>")}},
        SweepCase{"OtherLetterCaseBesidePlaceholderKeepsOnlyIt",
                  {kPlaceholder, QStringLiteral("<DUMMY RECORD>")},
                  {QStringLiteral("<DUMMY RECORD>")}},
        SweepCase{"TwoPlaceholdersAloneBecomeOne", {kPlaceholder, kPlaceholder}, {kPlaceholder}},
        SweepCase{
            "ThreePlaceholdersAloneBecomeOne", {kPlaceholder, kPlaceholder, kPlaceholder}, {kPlaceholder}},
        SweepCase{"NullFirstColumnIsARealRow", {kPlaceholder, QVariant()}, {QStringLiteral("<null>")}},
        SweepCase{"EmptyFirstColumnIsARealRow", {QString(""), kPlaceholder}, {QString("")}}),
    [](const ::testing::TestParamInfo<SweepCase>& info) { return std::string(info.param.name); });

TEST(SweepRecords, WithoutATableNameSweepsEveryListedTableShowingEachInTurn) {
    const QString path = copyMaster();
    setFolderNames(path, {});
    storetest::execute(path, {QStringLiteral("INSERT INTO UsersData (Users) VALUES ('Ann')")});
    storetest::execute(path, {QStringLiteral("DELETE FROM Subject")});

    WaitRecorder wait;
    cClean().SweepRecords(connectionString(path));

    const QStringList listed = column(path, QStringLiteral("SELECT Table_Name FROM TablesList"));
    ASSERT_FALSE(listed.isEmpty());
    for (const QString& table : listed)
        EXPECT_GE(storetest::rows(path, QStringLiteral("SELECT * FROM \"%1\"").arg(table)).size(), 1)
            << table.toStdString() << " was left empty";
    EXPECT_EQ(column(path, QStringLiteral("SELECT Folder_Name FROM FolderNames")), QStringList{kPlaceholder});
    EXPECT_EQ(column(path, QStringLiteral("SELECT Subject FROM Subject")), QStringList{kPlaceholder});
    EXPECT_EQ(column(path, QStringLiteral("SELECT Users FROM UsersData")),
              QStringList{QStringLiteral("Ann")});

    QStringList expected;
    for (const QString& table : listed)
        expected << table + QStringLiteral(" / Checking and cleaning database tables.");
    EXPECT_EQ(wait.seen().captions, expected);
    EXPECT_EQ(wait.seen().opened, 1);
    EXPECT_FALSE(wait.open());
}

TEST(SweepRecords, AFailureReachesTheCallerWithTheEnginesNumberAndClosesTheWaitWindow) {
    const QString path = copyMaster();
    storetest::execute(path, {QStringLiteral("DELETE FROM FolderNames")});
    // A listed table that the database does not have stops the sweep where it is met.
    storetest::execute(path, {QStringLiteral("INSERT INTO TablesList (Table_Name) VALUES ('Missing')")});
    WaitRecorder wait;
    try {
        cClean().SweepRecords(connectionString(path));
        FAIL() << "the sweep did not raise";
    } catch (const LumistoreError& error) {
        EXPECT_EQ(error.number(), DbError::kTableMissing);
        EXPECT_TRUE(error.description().contains(QStringLiteral("Missing"))) << error.what();
    }
    // The tables before it were swept.
    EXPECT_EQ(column(path, QStringLiteral("SELECT Folder_Name FROM FolderNames")), QStringList{kPlaceholder});
    EXPECT_EQ(wait.seen().opened, 1);
    EXPECT_FALSE(wait.open());

    try {
        cClean().SweepRecords(connectionString(path + QStringLiteral(".gone")));
        FAIL() << "a missing database did not raise";
    } catch (const LumistoreError& error) {
        EXPECT_EQ(error.number(), DbError::kFileNotFound);
    }
    EXPECT_EQ(wait.seen().opened, 2);
    EXPECT_FALSE(wait.open());
}

TEST(InitializeTable, EmptiesTheTableWithoutAPlaceholderAndLeavesAnEmptyOneAlone) {
    const QString path = copyMaster();
    setFolderNames(path, {QStringLiteral("Sales"), kPlaceholder, QStringLiteral("Finance")});
    WaitRecorder wait;
    cClean().InitializeTable(connectionString(path), QStringLiteral("FolderNames"));
    EXPECT_TRUE(column(path, QStringLiteral("SELECT Folder_Name FROM FolderNames")).isEmpty());

    cClean().InitializeTable(connectionString(path), QStringLiteral("FolderNames"));
    EXPECT_TRUE(column(path, QStringLiteral("SELECT Folder_Name FROM FolderNames")).isEmpty());
    // The next sweep restores the placeholder.
    cClean().SweepRecords(connectionString(path), QStringLiteral("FolderNames"));
    EXPECT_EQ(column(path, QStringLiteral("SELECT Folder_Name FROM FolderNames")), QStringList{kPlaceholder});

    try {
        cClean().InitializeTable(connectionString(path), QStringLiteral("NoSuchTable"));
        FAIL() << "a missing table did not raise";
    } catch (const LumistoreError& error) {
        EXPECT_EQ(error.number(), DbError::kTableMissing);
    }
    EXPECT_EQ(wait.seen().opened, 4);
    EXPECT_FALSE(wait.open());
}

TEST(CheckForTable, FindsTablesByTheirExactNameAndNeverViews) {
    const QString path = copyMaster();
    platform::db::Connection connection;
    connection.open(connectionString(path));
    cClean clean;
    EXPECT_TRUE(clean.CheckForTable(QStringLiteral("Budgets"), &connection));
    EXPECT_TRUE(clean.CheckForTable(QStringLiteral("TablesList"), &connection));
    EXPECT_FALSE(clean.CheckForTable(QStringLiteral("budgets"), &connection)) << "letter case counts";
    EXPECT_FALSE(clean.CheckForTable(QStringLiteral("BudgetsView"), &connection)) << "a view is no table";
    EXPECT_FALSE(clean.CheckForTable(QStringLiteral("Budget"), &connection));
    EXPECT_TRUE(connection.isOpen()) << "the caller's connection stays open";

    EXPECT_THROW(clean.CheckForTable(QStringLiteral("Budgets"), nullptr), LumistoreError);
    connection.close();
    EXPECT_THROW(clean.CheckForTable(QStringLiteral("Budgets"), &connection), LumistoreError);
}

} // namespace
