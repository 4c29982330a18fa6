// Backup, restore and compaction of the master database on real database files: the names
// the backup refuses, where its dialog opens, the checks before a restore, the master left
// whole by a refused or failed restore, connections kept open across a restore and a
// compaction, the network database's password, and the refusals during a run and while
// another administrator is connected to the network database.
#include "core/DatabaseUpkeep.h"

#include "MasterDbFixture.h"
#include "core/ClearDataTables.h"
#include "core/RunGuard.h"
#include "core/SharedDatabase.h"
#include "core/frmWait.h"
#include "core/tests/MasterIndexes.h"
#include "platform/db/DbError.h"
#include "platform/db/Presence.h"
#include "platform/ui/BusyPointer.h"
#include "platform/ui/LoadedWindows.h"
#include "support/ScriptedUi.h"

#include <QDir>
#include <QFileInfo>

using platform::db::Connection;
using platform::db::ConnectionString;
using platform::db::DbError;
using platform::ui::Answer;

namespace {

const QString kBackedUp = QStringLiteral("The database backed up successfully.");
const QString kRestored = QStringLiteral("The database has been restored successfully.");
const QString kMasterName = QStringLiteral("You can't use lumimaster.mdb as a backup filename.");
const QString kExtension = QStringLiteral("Don't add or change the file extension.");
const QString kNoRecord =
    QStringLiteral("There is no backup on record.  Do you want to manually browse for a file?");
const QString kRecordMissing =
    QStringLiteral("The backup of record is missing.  Do you want to browse for a file?");

class DatabaseUpkeepTest : public coretest::MasterDbFixture {
protected:
    void TearDown() override {
        core::setUpdateEngineRelease({});
        MasterDbFixture::TearDown();
    }
    // Installs an update-engine release that counts its calls.
    static std::shared_ptr<int> countUpdateEngineReleases() {
        auto count = std::make_shared<int>(0);
        core::setUpdateEngineRelease([count] { ++*count; });
        return count;
    }
    static void addBudget(Connection& db, const QString& name) {
        db.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES (?)"), {name});
    }
    static QStringList budgets(Connection& db) {
        QStringList names;
        platform::db::Recordset rows = platform::db::Recordset::open(
            db, QStringLiteral("SELECT Budget_Name FROM Budgets ORDER BY Budget_Name"));
        for (; !rows.eof(); rows.moveNext())
            names << rows.value(0).toString();
        return names;
    }
    QStringList masterBudgets() {
        Connection db = openMaster();
        return budgets(db);
    }
    static QStringList budgetsIn(const QString& path, const QString& password = {}) {
        ConnectionString cs;
        cs.set(ConnectionString::kDataSource, path);
        if (!password.isEmpty())
            cs.set(ConnectionString::kDatabasePassword, password);
        Connection db;
        db.open(cs);
        return budgets(db);
    }
    // A backup of the master as it is now, written without the dialog.
    QString backupNow(const QString& name = QStringLiteral("backup.mdb")) {
        const QString path = testsupport::freshDir(QStringLiteral("backups")) + QLatin1Char('/') + name;
        Connection db = openMaster();
        db.backupTo(path);
        return path;
    }
    void recordBackup(const QString& path) {
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("General"),
                                    QStringLiteral("BackupPath"), path);
    }
};

} // namespace

// --- Backup ------------------------------------------------------------------------------

// The program's own folder may not be written (installed in a system folder): the first backup
// is offered in the data folder, and nothing is written beside the program.
TEST_F(DatabaseUpkeepTest, FirstBackupOpensInTheDataFoldersBackupFolderAndRecordsTheFile) {
    {
        Connection db = openMaster();
        addBudget(db, QStringLiteral("Sales"));
    }
    const QString dataFolder = QFileInfo(core::gCnn->LocalCnnPath()).absolutePath();
    const QString target = dataFolder + QStringLiteral("/Backup/budgets.mdb");
    QFile::setPermissions(core::gOptions->AppPath, QFile::ReadOwner | QFile::ExeOwner);
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({target});
    core::BackupDatabase();
    QFile::setPermissions(core::gOptions->AppPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(QDir(core::gOptions->AppPath).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));

    ASSERT_EQ(ui->asked().size(), 2u);
    EXPECT_EQ(ui->asked()[0].kind, "saveFile");
    EXPECT_EQ(ui->asked()[0].title, "Backup the database");
    EXPECT_EQ(ui->asked()[0].initialPath, dataFolder + "/Backup");
    EXPECT_TRUE(ui->asked()[0].filter.startsWith("Access files (*.MDB"))
        << ui->asked()[0].filter.toStdString();
    EXPECT_EQ(ui->messageTexts(), QStringList{kBackedUp});
    EXPECT_EQ(setting("General", "BackupPath"), target);
    EXPECT_EQ(budgetsIn(target), masterBudgets());
    EXPECT_TRUE(budgetsIn(target).contains("Sales"));
}

TEST_F(DatabaseUpkeepTest, BackupRefusesTheMastersNameAndDoubleExtensionsInTheFileNameOnly) {
    const QString folder = testsupport::freshDir(QStringLiteral("my.backups.2024"));
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({folder + "/LUMIMASTER.MDB", folder + "/budgets.old.mdb", folder + "/lumimaster.mdb",
                     folder + "/budgets.mdb"});
    core::BackupDatabase();
    EXPECT_EQ(ui->messageTexts(), (QStringList{kMasterName, kExtension, kMasterName, kBackedUp}));
    EXPECT_TRUE(QFileInfo::exists(folder + "/budgets.mdb")) << "dots in the folders are allowed";
    EXPECT_FALSE(QFileInfo::exists(folder + "/budgets.old.mdb"));
    EXPECT_EQ(setting("General", "BackupPath"), folder + "/budgets.mdb");
}

TEST_F(DatabaseUpkeepTest, BackupAcceptsANameWithoutExtensionAsItIs) {
    const QString target = testsupport::freshDir(QStringLiteral("plain")) + "/budgets";
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({target});
    core::BackupDatabase();
    EXPECT_EQ(ui->messageTexts(), QStringList{kBackedUp});
    EXPECT_TRUE(QFileInfo(target).isFile());
    EXPECT_EQ(budgetsIn(target), masterBudgets());
}

TEST_F(DatabaseUpkeepTest, CancelledBackupCopiesNothingAndKeepsTheRecord) {
    recordBackup(QStringLiteral("/nowhere/kept.mdb"));
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({std::nullopt});
    core::BackupDatabase();
    EXPECT_TRUE(ui->messageTexts().isEmpty());
    EXPECT_EQ(setting("General", "BackupPath"), "/nowhere/kept.mdb");
}

TEST_F(DatabaseUpkeepTest, BackupOfRecordWhoseFolderVanishedMakesTheFolderAgain) {
    const QString base = testsupport::freshDir(QStringLiteral("vanished"));
    const QString record = base + "/deep/er/old.mdb"; // neither folder exists any more
    recordBackup(record);
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({std::nullopt});
    core::BackupDatabase();
    EXPECT_TRUE(QFileInfo(base + "/deep/er").isDir());
    ASSERT_EQ(ui->asked().size(), 1u);
    EXPECT_EQ(ui->asked()[0].initialPath, base + "/deep/er");
    EXPECT_TRUE(ui->messageTexts().isEmpty());
}

TEST_F(DatabaseUpkeepTest, BackupFallsBackToTheDefaultFolderWhenTheOldOneCannotBeMade) {
    const QString base = testsupport::freshDir(QStringLiteral("blocked"));
    QFile blocker(base + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    recordBackup(base + "/file/sub/old.mdb"); // a file stands where a folder would have to be
    const QString target = core::DefaultBackupFolder() + "/fresh.mdb";
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({target});
    core::BackupDatabase();
    EXPECT_EQ(ui->messageTexts(), QStringList{kBackedUp});
    EXPECT_EQ(ui->asked()[0].initialPath, core::DefaultBackupFolder());
    EXPECT_TRUE(QFileInfo(target).isFile());
}

// Whatever the program's folder, the default backup folder is the data folder's, also while the
// network database is in use.
TEST_F(DatabaseUpkeepTest, DefaultBackupFolderIsInTheDataFolderWhateverTheProgramsFolder) {
    const QString inDataFolder = QFileInfo(core::gCnn->LocalCnnPath()).absolutePath() + "/Backup";
    EXPECT_EQ(core::DefaultBackupFolder(), inDataFolder);
    core::gOptions->AppPath.clear();
    EXPECT_EQ(core::DefaultBackupFolder(), inDataFolder);
    useNetworkDatabase(QStringLiteral("pw"));
    EXPECT_NE(QFileInfo(masterPath()).absolutePath() + "/Backup", inDataFolder);
    EXPECT_EQ(core::DefaultBackupFolder(), inDataFolder);
}

TEST_F(DatabaseUpkeepTest, BackupOfANetworkDatabaseKeepsItsPassword) {
    useNetworkDatabase(QStringLiteral("s3cret;pw"));
    {
        Connection db = openMaster();
        addBudget(db, QStringLiteral("Net budget"));
    }
    const QString target = testsupport::freshDir(QStringLiteral("netbackup")) + "/net.mdb";
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({target});
    core::BackupDatabase();
    EXPECT_EQ(ui->messageTexts(), QStringList{kBackedUp});
    EXPECT_TRUE(budgetsIn(target, QStringLiteral("s3cret;pw")).contains("Net budget"));
    EXPECT_THROW(budgetsIn(target), DbError) << "the copy is keyed like its source";
}

// --- Restore -----------------------------------------------------------------------------

TEST_F(DatabaseUpkeepTest, RestoreWithoutABackupOnRecordAsks) {
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    core::RestoreDatabase();
    ASSERT_EQ(ui->asked().size(), 1u);
    EXPECT_EQ(ui->asked()[0].text, kNoRecord);
    EXPECT_EQ(ui->asked()[0].buttons, platform::ui::Buttons::YesNo);
    EXPECT_EQ(ui->asked()[0].title, "Lumivane");

    // Yes browses without an initial folder.
    testsupport::ScopedScriptedUi yes;
    yes->answerMessages({Answer::Yes});
    yes->answerTexts({std::nullopt});
    core::RestoreDatabase();
    ASSERT_EQ(yes->asked().size(), 2u);
    EXPECT_EQ(yes->asked()[1].kind, "openFile");
    EXPECT_TRUE(yes->asked()[1].initialPath.isEmpty());
}

TEST_F(DatabaseUpkeepTest, RestoreWithAMissingBackupOfRecordAsks) {
    recordBackup(testsupport::freshDir(QStringLiteral("gone")) + "/gone.mdb");
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    core::RestoreDatabase();
    ASSERT_EQ(ui->asked().size(), 1u);
    EXPECT_EQ(ui->asked()[0].text, kRecordMissing);

    // Yes browses from the default folder.
    testsupport::ScopedScriptedUi yes;
    yes->answerMessages({Answer::Yes});
    yes->answerTexts({std::nullopt});
    core::RestoreDatabase();
    ASSERT_EQ(yes->asked().size(), 2u);
    EXPECT_EQ(yes->asked()[1].kind, "openFile");
    EXPECT_EQ(yes->asked()[1].initialPath, core::DefaultBackupFolder());
}

TEST_F(DatabaseUpkeepTest, RestoreBringsBackTheBackupAndAnOpenConnectionSeesIt) {
    {
        Connection db = openMaster();
        addBudget(db, QStringLiteral("Kept"));
    }
    const QString backup = backupNow();
    recordBackup(backup);
    Connection other = openMaster(); // another window's connection, open across the restore
    addBudget(other, QStringLiteral("Added after the backup"));
    core::gDB2 = std::make_unique<core::cDB2>();
    core::gDB2->SetConnection();
    const auto engineReleases = countUpdateEngineReleases();

    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({backup});
    core::RestoreDatabase();
    EXPECT_EQ(*engineReleases, 1) << "the update engine goes with the query objects";

    EXPECT_EQ(ui->messageTexts(), QStringList{kRestored});
    ASSERT_EQ(ui->asked()[0].kind, "openFile");
    EXPECT_EQ(ui->asked()[0].title, "Restore the database");
    EXPECT_EQ(ui->asked()[0].initialPath, QFileInfo(backup).absolutePath())
        << "opens at the backup of record";
    EXPECT_EQ(core::gDB2, nullptr) << "the query objects are released";
    EXPECT_EQ(masterBudgets(), budgetsIn(backup));
    EXPECT_FALSE(masterBudgets().contains("Added after the backup"));
    EXPECT_EQ(budgets(other), budgetsIn(backup)) << "an open connection reads the restored rows";
    addBudget(other, QStringLiteral("Written after the restore"));
    EXPECT_TRUE(masterBudgets().contains("Written after the restore"));
}

// A backup made before the program kept indexes is restored with the indexes added.
TEST_F(DatabaseUpkeepTest, RestoreOfABackupWithoutIndexesAddsThem) {
    QStringList shipped;
    {
        Connection db = openMaster();
        shipped = coretest::indexNames(db);
        coretest::dropIndexes(db);
        addBudget(db, QStringLiteral("Kept"));
    }
    ASSERT_FALSE(shipped.isEmpty());
    const QString backup = backupNow();
    recordBackup(backup);
    {
        Connection db = openMaster();
        addBudget(db, QStringLiteral("Added after the backup"));
    }
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({backup});
    core::RestoreDatabase();
    EXPECT_EQ(ui->messageTexts(), QStringList{kRestored});
    EXPECT_EQ(masterBudgets(), budgetsIn(backup));
    // The tables the program adds get their indexes with them, before their first use.
    shipped.removeOne(QStringLiteral("CollectedMessages_Message"));
    shipped.removeOne(QStringLiteral("ReportedMessages_Message"));
    Connection db = openMaster();
    EXPECT_EQ(coretest::indexNames(db), shipped);
    Connection copy;
    copy.open(QStringLiteral("Data Source=") + backup);
    EXPECT_TRUE(coretest::indexNames(copy).isEmpty()) << "the backup itself is left as it was";
}

TEST_F(DatabaseUpkeepTest, RestoreRefusesFilesThatAreNoMasterDatabase) {
    {
        Connection db = openMaster();
        addBudget(db, QStringLiteral("Precious"));
    }
    const QStringList before = masterBudgets();
    const QString folder = testsupport::freshDir(QStringLiteral("notdb"));

    QFile text(folder + "/notes.mdb");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(8192, 'x'));
    text.close();

    // A database, but its Budgets table is not the master database's.
    const QString other = backupNow(QStringLiteral("other.mdb"));
    {
        ConnectionString cs;
        cs.set(ConnectionString::kDataSource, other);
        Connection db;
        db.open(cs);
        db.dropTable(QStringLiteral("Budgets"));
        db.execute(QStringLiteral("CREATE TABLE Budgets (Budget_Name VARCHAR(100), Active YESNO)"));
    }

    for (const QString& chosen : {folder + "/notes.mdb", other, folder + "/missing.mdb"}) {
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({Answer::Yes});
        ui->answerTexts({chosen});
        core::RestoreDatabase();
        ASSERT_EQ(ui->messageTexts().size(), 2) << chosen.toStdString();
        EXPECT_TRUE(ui->messageTexts()[1].contains("not a master database"))
            << ui->messageTexts()[1].toStdString();
        EXPECT_EQ(masterBudgets(), before) << chosen.toStdString();
    }
}

TEST_F(DatabaseUpkeepTest, AFailedRestoreIsReportedAndLeavesTheMasterAsItWas) {
    {
        Connection db = openMaster();
        addBudget(db, QStringLiteral("Precious"));
    }
    const QStringList before = masterBudgets();
    recordBackup(masterPath()); // the master itself: it passes the check, the copy fails
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({masterPath()});
    core::RestoreDatabase();
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts()[0].startsWith("Error ")) << ui->messageTexts()[0].toStdString();
    EXPECT_TRUE(ui->messageTexts()[0].contains(" has occured. "));
    EXPECT_EQ(masterBudgets(), before);
}

TEST_F(DatabaseUpkeepTest, NetworkRestoreTakesABackupWithGrantColumnsUnderTheCurrentPassword) {
    const QString password = QStringLiteral("net pw");
    useNetworkDatabase(password);
    {
        Connection db = openMaster();
        db.execute(QStringLiteral("ALTER TABLE Budgets ADD COLUMN Admin_Ann VARCHAR(200)"));
        addBudget(db, QStringLiteral("Granted"));
    }
    const QString backup = backupNow();
    {
        Connection db = openMaster();
        db.execute(QStringLiteral("DELETE FROM Budgets WHERE Budget_Name = 'Granted'"));
    }
    // A backup under another password does not open with the current one and is refused.
    const QString foreign = backupNow(QStringLiteral("foreign.mdb"));
    Connection::setPassword(foreign, password, QStringLiteral("another"));

    {
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({Answer::Yes});
        ui->answerTexts({foreign});
        core::RestoreDatabase();
        ASSERT_EQ(ui->messageTexts().size(), 2);
        EXPECT_TRUE(ui->messageTexts()[1].contains("not a master database"));
        EXPECT_FALSE(masterBudgets().contains("Granted"));
    }
    {
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({Answer::Yes});
        ui->answerTexts({backup});
        core::RestoreDatabase();
        EXPECT_EQ(ui->messageTexts().last(), kRestored);
        EXPECT_TRUE(masterBudgets().contains("Granted"));
    }
    EXPECT_THROW(budgetsIn(masterPath()), DbError) << "the master keeps its password";
}

TEST_F(DatabaseUpkeepTest, IsMasterDatabaseNeedsTheFourteenColumnsInOrder) {
    EXPECT_TRUE(core::IsMasterDatabase(masterPath(), {}));
    const QString swapped = backupNow(QStringLiteral("swapped.mdb"));
    {
        ConnectionString cs;
        cs.set(ConnectionString::kDataSource, swapped);
        Connection db;
        db.open(cs);
        db.dropTable(QStringLiteral("Budgets"));
        QStringList columns = core::kBudgetsStandardColumns;
        columns.swapItemsAt(0, 1);
        db.execute(QStringLiteral("CREATE TABLE Budgets (%1)").arg(columns.join(", ")));
    }
    EXPECT_FALSE(core::IsMasterDatabase(swapped, {}));
}

// --- Compaction ----------------------------------------------------------------------------

TEST_F(DatabaseUpkeepTest, CompactionKeepsDataPasswordAndOpenConnections) {
    const QString password = QStringLiteral("pw=with;separators");
    useNetworkDatabase(password);
    Connection other = openMaster(); // stays open across the compaction
    {
        Connection db = openMaster();
        db.execute(QStringLiteral("CREATE TABLE Filler (Data TEXT)"));
        for (int i = 0; i < 200; ++i)
            db.execute(QStringLiteral("INSERT INTO Filler (Data) VALUES (?)"),
                       {QString(2000, QChar('a' + i % 26))});
        db.execute(QStringLiteral("DELETE FROM Filler"));
        addBudget(db, QStringLiteral("Survivor"));
    }
    EXPECT_GT(other.scalar(QStringLiteral("PRAGMA freelist_count")).toLongLong(), 0);
    core::gDB2 = std::make_unique<core::cDB2>();
    core::gDB3 = std::make_unique<core::cDB3>();
    for (const char* name : {"frmDataTable", "frmWizard", "frmMail"})
        loadFakeForm(QString::fromLatin1(name));
    const auto engineReleases = countUpdateEngineReleases();

    testsupport::ScopedScriptedUi ui;
    core::CompactDatabase();
    EXPECT_EQ(*engineReleases, 1) << "the update engine goes with the query objects";

    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_EQ(core::gDB2, nullptr);
    EXPECT_EQ(core::gDB3, nullptr);
    for (const char* name : {"frmDataTable", "frmWizard", "frmMail"})
        EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QString::fromLatin1(name))) << name;
    EXPECT_EQ(platform::ui::BusyPointer::depth(), 0);

    EXPECT_EQ(other.scalar(QStringLiteral("PRAGMA freelist_count")).toLongLong(), 0)
        << "the file was compacted";
    EXPECT_TRUE(budgets(other).contains("Survivor"));
    addBudget(other, QStringLiteral("After compaction"));
    EXPECT_TRUE(budgetsIn(masterPath(), password).contains("After compaction"));
    EXPECT_THROW(budgetsIn(masterPath()), DbError) << "the key is kept";
}

TEST_F(DatabaseUpkeepTest, CompactionRemovesAStaleTemporaryCopy) {
    const QString stale = core::gCnn->LumiCnnPathTemp();
    QFile file(stale);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("left over");
    file.close();
    testsupport::ScopedScriptedUi ui;
    core::CompactDatabase();
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(core::IsMasterDatabase(masterPath(), {}));
}

TEST_F(DatabaseUpkeepTest, AFailedCompactionIsReportedAndLowersTheBusyPointer) {
    ASSERT_TRUE(QFile::remove(masterPath()));
    testsupport::ScopedScriptedUi ui;
    core::CompactDatabase();
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts()[0].startsWith(
        QStringLiteral("Error %1 has occured. ").arg(DbError::kFileNotFound)))
        << ui->messageTexts()[0].toStdString();
    EXPECT_EQ(platform::ui::BusyPointer::depth(), 0);
}

TEST_F(DatabaseUpkeepTest, CompactionAndRestoreAreRefusedWhileTheWaitWindowIsUp) {
    QWidget* explorer = loadFakeForm(QStringLiteral("frmDataTable"));
    core::gDB2 = std::make_unique<core::cDB2>();
    const QString backup = backupNow();
    recordBackup(backup);
    core::frmWait::load().show();
    {
        testsupport::ScopedScriptedUi ui;
        core::CompactDatabase();
        core::RestoreDatabase();
        EXPECT_EQ(ui->messageTexts(),
                  (QStringList{core::RunGuard::kRefusedText, core::RunGuard::kRefusedText}));
        EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded("frmDataTable")) << "nothing was closed";
        EXPECT_NE(core::gDB2, nullptr) << "nothing was released";
    }
    core::frmWait::unload();
    {
        testsupport::ScopedScriptedUi ui;
        core::CompactDatabase();
        EXPECT_TRUE(ui->asked().empty()) << "allowed again once the run is over";
        EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded("frmDataTable"));
    }
    Q_UNUSED(explorer);
}

// --- The shared network database --------------------------------------------------------

// Another administrator's program on the network database (a second presence) keeps
// compaction and restore out with the reason; once it has gone, both run.
TEST_F(DatabaseUpkeepTest, CompactionAndRestoreWaitUntilNoOtherAdministratorIsConnected) {
    const QString password = QStringLiteral("net pw");
    useNetworkDatabase(password);
    const QString backup = backupNow();
    {
        Connection db = openMaster();
        addBudget(db, QStringLiteral("After the backup"));
    }
    recordBackup(backup);
    auto otherProgram = platform::db::PresenceHold::take(masterPath());

    {
        testsupport::ScopedScriptedUi ui;
        core::CompactDatabase();
        core::RestoreDatabase();
        EXPECT_EQ(
            ui->messageTexts(),
            (QStringList{QStringLiteral("The database can't be compacted") + core::kOthersConnectedText,
                         QStringLiteral("The database can't be restored") + core::kOthersConnectedText}));
        EXPECT_TRUE(masterBudgets().contains("After the backup")) << "nothing was restored";
    }
    otherProgram.reset();
    {
        testsupport::ScopedScriptedUi ui;
        ui->answerTexts({backup});
        core::RestoreDatabase();
        EXPECT_EQ(ui->messageTexts(), QStringList{kRestored});
        EXPECT_FALSE(masterBudgets().contains("After the backup"));
    }
    EXPECT_FALSE(core::gCnn->presence()->isOwnUse()) << "the program shares the database again";
}

// The desktop program and the add-in share the local master database: while the other program
// works on it (its presence), compaction, restore and clearing are refused with the reason and
// change nothing; once it has gone, they run.
TEST_F(DatabaseUpkeepTest, TheLocalDatabaseIsKeptFromTheOtherProgramsWork) {
    ASSERT_NE(core::gCnn->presence(), nullptr) << "the program holds its presence on the local database";
    const QString backup = backupNow();
    recordBackup(backup);
    {
        Connection db = openMaster();
        addBudget(db, QStringLiteral("After the backup"));
    }
    auto otherProgram = platform::db::PresenceHold::take(masterPath());
    {
        testsupport::ScopedScriptedUi ui;
        core::CompactDatabase();
        core::RestoreDatabase();
        core::ClearDataTables();
        EXPECT_EQ(ui->messageTexts(),
                  (QStringList{QStringLiteral("The database can't be compacted") + core::kOtherProgramText,
                               QStringLiteral("The database can't be restored") + core::kOtherProgramText,
                               QStringLiteral("The database can't be cleared") + core::kOtherProgramText}));
        EXPECT_TRUE(masterBudgets().contains("After the backup"));
    }
    otherProgram.reset();
    {
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({platform::ui::Answer::Yes, platform::ui::Answer::No, platform::ui::Answer::No,
                            platform::ui::Answer::No});
        core::ClearDataTables();
        EXPECT_FALSE(masterBudgets().contains("After the backup")) << "the clearing ran";
    }
}

// An operation that holds the database for itself (restore followed by compaction) keeps it
// through the inner compaction, which does not give it back early.
TEST_F(DatabaseUpkeepTest, AnEnclosingOwnUseKeepsTheDatabaseThroughTheCompaction) {
    useNetworkDatabase(QStringLiteral("net pw"));
    testsupport::ScopedScriptedUi ui;
    {
        const auto outer =
            core::TakeMasterDatabaseForOwnUse(QStringLiteral("The database can't be restored"));
        ASSERT_TRUE(outer.has_value());
        core::CompactDatabase();
        EXPECT_TRUE(ui->asked().empty());
        EXPECT_THROW(platform::db::PresenceHold::take(masterPath(), 0), DbError)
            << "no other program gets in before the outer operation ends";
    }
    EXPECT_NO_THROW(platform::db::PresenceHold::take(masterPath(), 0));
}
