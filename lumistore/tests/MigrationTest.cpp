// cClean.MigrateOldData on real database files: a previous database of an older layout
// carried into a new master database, the worksheets linked again, the author questions
// answered through the Ui double before anything is written, and failures that leave the
// new database exactly as it was.
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
using platform::ui::Answer;
using storetest::column;
using storetest::connectionString;
using storetest::copyMaster;
using storetest::rows;

const QString kPlaceholder = QStringLiteral("<Dummy record>");

// A previous database: older, shorter layouts of some tables (columns in the same order as
// today's, fewer of them), no UsersData at all, placeholder rows, and keys of its own.
const QString kPreviousDatabase = QStringLiteral(R"(
CREATE TABLE Budgets (Budget_Name VARCHAR(100), Active YESNO NOT NULL DEFAULT 0, Storage YESNO NOT NULL DEFAULT 0,
    LumiXL YESNO NOT NULL DEFAULT 0, Budget_Date DATETIME, Admin_Name VARCHAR(255));
INSERT INTO Budgets VALUES ('<Dummy record>', 0, 0, 0, NULL, NULL);
INSERT INTO Budgets VALUES ('Plan 2024', 1, 0, 0, '2024-01-02 00:00:00', 'Ann');
CREATE TABLE MasterFiles (Master_File VARCHAR(100), Templates YESNO NOT NULL DEFAULT 0, Folder_Name VARCHAR(255),
    Process_Date DATETIME, Drive VARCHAR(255), Path VARCHAR(255), MF_Modified_Date DATETIME, Budget_Name VARCHAR(100),
    ID_MasterFiles INTEGER PRIMARY KEY AUTOINCREMENT);
INSERT INTO MasterFiles VALUES ('Budget.xlsx', 0, 'Sales', NULL, '', '/books', NULL, 'Plan 2024', 7);
INSERT INTO MasterFiles VALUES ('Other.xlsx', 0, 'Sales', NULL, '', '/books', NULL, 'Plan 2024', 8);
CREATE TABLE Worksheets (Worksheet_Name VARCHAR(50), Select_By_User YESNO NOT NULL DEFAULT 0, Folder_Name VARCHAR(255),
    File_Missing YESNO NOT NULL DEFAULT 0, UF_Create_Date DATETIME, UF_Modified_Date DATETIME, User_Filename VARCHAR(100),
    UFNPath VARCHAR(255), Master_File VARCHAR(100), MF_Table_Create_Date DATETIME, MF_Table_Modify_Date DATETIME,
    MF_Table_Name VARCHAR(50), MF_Table_Changed_Date DATETIME, Budget_Name VARCHAR(100), MasterFiles_ID INTEGER);
INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES ('Sheet1', 'Budget.xlsx', 'Plan 2024', 7);
INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES ('Sheet2', 'Other.xlsx', 'Plan 2024', 8);
INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES ('Sheet3', 'Budget.xlsx', 'Plan 2024', 0);
INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES ('Sheet4', 'Budget.xlsx', 'PLAN 2024', 7);
CREATE TABLE UserFileTablesData (User_Filename VARCHAR(100), Users VARCHAR(255), Select_By_User YESNO NOT NULL DEFAULT 0,
    Email_Sent DATETIME, UserFile_Update YESNO NOT NULL DEFAULT 0, Lockout_User_Updates YESNO NOT NULL DEFAULT 0,
    Due_Date VARCHAR(50), ID_UFTD INTEGER PRIMARY KEY AUTOINCREMENT);
INSERT INTO UserFileTablesData VALUES ('Sheet1 Ann.xlsx', 'Ann', 1, NULL, 0, 0, '2024-05-01', 55);
CREATE TABLE Admin (Admin_Name VARCHAR(255), Admin_Email_Address VARCHAR(255), Mail_Server VARCHAR(255),
    Pop3_Server VARCHAR(255), Pop3_Account VARCHAR(255), "Default" YESNO NOT NULL DEFAULT 0);
INSERT INTO Admin VALUES ('<Dummy record>', NULL, NULL, NULL, NULL, 0);
INSERT INTO Admin VALUES ('Ann', 'ann@example.org', 'smtp.example.org', NULL, NULL, 1);
INSERT INTO Admin VALUES ('Robo', 'robo@example.org', NULL, 'pop.example.org', 'robo', 0);
INSERT INTO Admin VALUES ('', 'nobody@example.org', NULL, NULL, NULL, 0);
CREATE TABLE FolderNames (Folder_Name VARCHAR(255), Id_Note VARCHAR(20));
INSERT INTO FolderNames VALUES ('Sales', 'kept');
INSERT INTO FolderNames VALUES ('Finance', NULL);
CREATE TABLE Subject (Subject VARCHAR(255), ID_Extra VARCHAR(20));
INSERT INTO Subject VALUES ('Due soon', 'not copied');
CREATE TABLE BodyText (Body_Text VARCHAR(255));
)");

class Migration : public ::testing::Test {
protected:
    void SetUp() override {
        target_ = copyMaster();
        source_ = storetest::makeDatabase(kPreviousDatabase);
        // Today's layouts grow at the end: a column that only looks like a key is copied, a
        // key column is not.
        storetest::execute(target_, {QStringLiteral("ALTER TABLE FolderNames ADD COLUMN Id_Note VARCHAR(20)"),
                                     QStringLiteral("ALTER TABLE Subject ADD COLUMN ID_Extra VARCHAR(20)")});
    }

    void migrate() { cClean().MigrateOldData(connectionString(target_), connectionString(source_)); }

    QString target_;
    QString source_;
};

TEST_F(Migration, CopiesEveryListedTableRelinksWorksheetsAndAsksAboutAuthorsFirst) {
    // An account already in the new database without a record type is asked about first.
    storetest::execute(target_, {QStringLiteral("INSERT INTO Admin (Admin_Name) VALUES ('Old Hand')")});
    // Counts every write, to show that each copied row is written once.
    storetest::execute(target_, {QStringLiteral("CREATE TABLE Audit (What TEXT)"),
                                 QStringLiteral("CREATE TRIGGER FolderInserts AFTER INSERT ON FolderNames "
                                                "BEGIN INSERT INTO Audit VALUES ('insert'); END"),
                                 QStringLiteral("CREATE TRIGGER FolderUpdates AFTER UPDATE ON FolderNames "
                                                "BEGIN INSERT INTO Audit VALUES ('update'); END")});
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No, Answer::Yes, Answer::No});

    migrate();

    EXPECT_EQ(ui->messageTexts(), (QStringList{QStringLiteral("Is the Old Hand record an Author?"),
                                               QStringLiteral("Is the Ann record an Author?"),
                                               QStringLiteral("Is the Robo record an Author?")}));
    for (const auto& asked : ui->asked()) {
        EXPECT_EQ(asked.title, QStringLiteral("Lumivane"));
        EXPECT_EQ(asked.buttons, platform::ui::Buttons::YesNo);
    }

    // Placeholder rows of the previous database are not copied; the new rows follow the
    // rows the new database came with.
    EXPECT_EQ(column(target_, QStringLiteral("SELECT Budget_Name FROM Budgets ORDER BY rowid")),
              (QStringList{kPlaceholder, QStringLiteral("Plan 2024")}));
    EXPECT_EQ(
        rows(target_, QStringLiteral("SELECT Active, Budget_Date, Admin_Name, DB_Storage_Path FROM Budgets "
                                     "WHERE Budget_Name = 'Plan 2024'")),
        (QList<QVariantList>{
            {qint64(1), QStringLiteral("2024-01-02 00:00:00"), QStringLiteral("Ann"), QVariant()}}));
    EXPECT_EQ(rows(target_, QStringLiteral("SELECT Folder_Name, Id_Note FROM FolderNames ORDER BY rowid")),
              (QList<QVariantList>{{kPlaceholder, QVariant()},
                                   {QStringLiteral("Sales"), QStringLiteral("kept")},
                                   {QStringLiteral("Finance"), QVariant()}}));
    EXPECT_EQ(column(target_, QStringLiteral("SELECT What FROM Audit")),
              (QStringList{QStringLiteral("insert"), QStringLiteral("insert")}))
        << "each row is written once";
    EXPECT_EQ(rows(target_, QStringLiteral("SELECT Subject, ID_Extra FROM Subject ORDER BY rowid")),
              (QList<QVariantList>{{kPlaceholder, QVariant()}, {QStringLiteral("Due soon"), QVariant()}}));
    EXPECT_EQ(column(target_, QStringLiteral("SELECT Users FROM UsersData")), QStringList{kPlaceholder})
        << "a table the previous database lacks is skipped";
    const auto userFile =
        rows(target_, QStringLiteral("SELECT Users, Due_Date, ID_UFTD FROM UserFileTablesData "
                                     "WHERE User_Filename = 'Sheet1 Ann.xlsx'"));
    ASSERT_EQ(userFile.size(), 1);
    EXPECT_EQ(userFile[0][0], QStringLiteral("Ann"));
    EXPECT_EQ(userFile[0][1], QStringLiteral("2024-05-01"));
    EXPECT_NE(userFile[0][2].toLongLong(), 55) << "the key numbers itself";

    // The worksheets point at the master workbooks' new keys; unlinked rows and rows of
    // another spelling of the budget are left alone.
    const qint64 budgetId =
        rows(target_,
             QStringLiteral("SELECT ID_MasterFiles FROM MasterFiles WHERE Master_File = 'Budget.xlsx'"))
            .value(0)
            .value(0)
            .toLongLong();
    const qint64 otherId =
        rows(target_,
             QStringLiteral("SELECT ID_MasterFiles FROM MasterFiles WHERE Master_File = 'Other.xlsx'"))
            .value(0)
            .value(0)
            .toLongLong();
    EXPECT_NE(budgetId, 7);
    EXPECT_NE(otherId, 8);
    EXPECT_EQ(rows(target_, QStringLiteral("SELECT Worksheet_Name, MasterFiles_ID FROM Worksheets "
                                           "WHERE Worksheet_Name LIKE 'Sheet%' ORDER BY Worksheet_Name")),
              (QList<QVariantList>{{QStringLiteral("Sheet1"), budgetId},
                                   {QStringLiteral("Sheet2"), otherId},
                                   {QStringLiteral("Sheet3"), qint64(0)},
                                   {QStringLiteral("Sheet4"), qint64(7)}}));

    // The answers: record type and no default author; the nameless account is not asked about.
    EXPECT_EQ(
        rows(target_, QStringLiteral("SELECT Admin_Name, RecType, \"Default\" FROM Admin ORDER BY rowid")),
        (QList<QVariantList>{{kPlaceholder, QVariant(), qint64(0)},
                             {QStringLiteral("Old Hand"), QStringLiteral("Robot"), qint64(0)},
                             {QStringLiteral("Ann"), QStringLiteral("Author"), qint64(0)},
                             {QStringLiteral("Robo"), QStringLiteral("Robot"), qint64(0)},
                             {QString(""), QVariant(), qint64(0)}}));
}

// Answers Yes to every question and, while the question is up, takes the new database's
// write lock from another connection: the migration must hold no lock while it asks.
class LockProbeUi final : public platform::ui::Ui {
public:
    explicit LockProbeUi(QString path)
        : path_(std::move(path)) {}
    int asked = 0;
    QStringList lockFailures;

    Answer message(const platform::ui::Message&) override {
        ++asked;
        try {
            platform::db::Connection other;
            other.open(connectionString(path_));
            other.beginTransaction();
            other.execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('probe')"));
            other.rollback();
        } catch (const DbError& error) {
            lockFailures << error.description();
        }
        return Answer::Yes;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> password(const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const platform::ui::FileRequest&) override { return {}; }
    std::optional<QString> saveFile(const platform::ui::FileRequest&) override { return {}; }
    std::optional<QString> chooseFolder(const platform::ui::FileRequest&) override { return {}; }

private:
    QString path_;
};

TEST_F(Migration, NoLockIsHeldWhileAQuestionWaits) {
    auto probe = std::make_unique<LockProbeUi>(target_);
    LockProbeUi* seen = probe.get();
    auto previous = platform::ui::installUi(std::move(probe));
    migrate();
    EXPECT_EQ(seen->asked, 2);
    EXPECT_TRUE(seen->lockFailures.isEmpty()) << seen->lockFailures.join(QStringLiteral("; ")).toStdString();
    platform::ui::installUi(std::move(previous));
}

TEST_F(Migration, ShowsEachListedTableInTurn) {
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    storetest::WaitRecorder wait;
    migrate();
    QStringList expected;
    for (const QString& table : column(target_, QStringLiteral("SELECT Table_Name FROM TablesList")))
        expected << table + QStringLiteral(" / Migrating old data to new table.");
    EXPECT_EQ(wait.seen().captions, expected);
    EXPECT_EQ(wait.seen().opened, 1);
    EXPECT_FALSE(wait.open());
}

struct FailureCase {
    const char* name;
    QString breakSource; // a statement run on the previous database
    qint32 number;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class FailedMigration : public Migration, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailedMigration, LeavesTheNewDatabaseExactlyAsItWasAndRaises) {
    storetest::execute(source_, {GetParam().breakSource});
    const QByteArray before = storetest::fileBytes(target_);
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    storetest::WaitRecorder wait;
    try {
        migrate();
        FAIL() << "the migration did not raise";
    } catch (const LumistoreError& error) {
        EXPECT_EQ(error.number(), GetParam().number) << error.what();
    }
    EXPECT_EQ(storetest::fileBytes(target_), before);
    EXPECT_EQ(wait.seen().opened, 1);
    EXPECT_FALSE(wait.open()) << "the wait window was left loaded";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedMigration,
    ::testing::Values(
        // FolderNames is copied after the budgets, workbooks, worksheets and accounts.
        FailureCase{
            "AValueTooLongForItsNewColumn",
            QStringLiteral("INSERT INTO FolderNames VALUES ('%1', NULL)").arg(QString(300, QLatin1Char('x'))),
            DbError::kValueTooLong},
        FailureCase{"ANewTableWithFewerColumnsThanItsPreviousVersion",
                    QStringLiteral("ALTER TABLE BodyText ADD COLUMN Extra1 TEXT"), DbError::kItemNotFound}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

} // namespace
