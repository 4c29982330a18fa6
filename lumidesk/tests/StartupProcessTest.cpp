// The start-up of the real program, each case in its own folders: every outcome of the
// start-up checks with its message, the second instance refused, the logon that falls back
// to the local database, and the replacement offer's three answers on real database files.
#include "ProgramRun.h"
#include "platform/db/Recordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using lumideskTest::ProgramRun;
using platform::db::Connection;

const QString kCorrupted = QStringLiteral("The database module is corrupted or an illegal version.  "
                                          "Re-install Lumivane and restore from a backup copy.");
const QString kRefused =
    QStringLiteral("The database file is corrupted or illegal.  Re-install the product.");
const QString kReplaced =
    QStringLiteral("The database has been replaced with a newer version.\nDo you want to migrate your data?");

const QString kGenericError = QStringLiteral("<the generic error message>");

// Bytes no settings file holds: an unclosed section, a line without a name, control bytes.
const QByteArray kGarbageSettings =
    QByteArray("[Runtime]\nKeep=1\n[Open\n=x\n") + QByteArray(64, '\x01') + QByteArray("\xff\xfe\n", 3);

// The messages shown, with the program's generic error message ("Error n has occured. ...")
// written as kGenericError.
QStringList messagesShown(const ProgramRun& program) {
    QStringList texts = program.messages();
    for (QString& text : texts)
        if (text.startsWith(QStringLiteral("Error ")) && text.contains(QStringLiteral(" has occured. ")))
            text = kGenericError;
    return texts;
}

// Each row: how the data folder is prepared, the messages the start-up shows, whether it
// reaches the main window.
struct FailureRow {
    const char* name;
    std::function<void(ProgramRun&)> prepare;
    std::function<QStringList(ProgramRun&)> messages;
    bool mainWindow;
    bool splash = false; // the About box comes first (its setting is not read)
};

void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.name;
}

class StartupProcess : public ::testing::TestWithParam<FailureRow> {};

TEST_P(StartupProcess, ShowsItsMessageAndEndsOrGoesOn) {
    const FailureRow& row = GetParam();
    ProgramRun program;
    program.writeSetting(QStringLiteral("Options"), QStringLiteral("Splash"), QStringLiteral("1"));
    row.prepare(program);
    const int exitCode = program.run({QStringLiteral("close frmLogon"), QStringLiteral("close frmMain")});
    EXPECT_EQ(messagesShown(program), row.messages(program));
    if (row.mainWindow) {
        EXPECT_EQ(exitCode, 0);
        QStringList shown = program.shown();
        shown.removeAll(QStringLiteral("frmLogon")); // shown only when the network database is the default
        const QStringList expected = row.splash
                                         ? QStringList{QStringLiteral("frmAbout"), QStringLiteral("frmMain")}
                                         : QStringList{QStringLiteral("frmMain")};
        EXPECT_EQ(shown, expected);
    } else {
        EXPECT_EQ(exitCode, 1);
        EXPECT_FALSE(program.shown().contains(QStringLiteral("frmMain")))
            << "no window stays when the start-up ends";
        EXPECT_FALSE(program.shown().contains(QStringLiteral("frmAbout")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    FailureTable, StartupProcess,
    ::testing::Values(
        FailureRow{"Sound", [](ProgramRun& p) { ProgramRun::installMaster(p.masterPath()); },
                   [](ProgramRun&) { return QStringList{}; }, true},
        FailureRow{"MissingFile", [](ProgramRun&) {},
                   [](ProgramRun& p) {
                       return QStringList{QStringLiteral("The database file is missing.  Copy it to ") +
                                          p.masterPath() + QStringLiteral(" or re-install Lumivane.")};
                   },
                   false},
        FailureRow{"RefusedLogon",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath());
                       Connection::setPassword(p.masterPath(), {}, QStringLiteral("s3cret"));
                   },
                   [](ProgramRun&) { return QStringList{kRefused}; }, false},
        FailureRow{"ThirteenColumns",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath(), [](Connection& c) {
                           c.dropColumn("Budgets", c.table("Budgets")->columns.last().name);
                       });
                   },
                   [](ProgramRun&) { return QStringList{kCorrupted}; }, false},
        FailureRow{"FifteenColumns",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath(), [](Connection& c) {
                           c.addColumn("Budgets", platform::db::ColumnSpec::text("Extra", 50));
                       });
                   },
                   [](ProgramRun&) { return QStringList{kCorrupted}; }, false},
        // Any other failure of the version query ends the start-up too.
        FailureRow{"NoBudgetsTable",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(
                           p.masterPath(), [](Connection& c) { c.dropTable(QStringLiteral("Budgets")); });
                   },
                   [](ProgramRun&) { return QStringList{kCorrupted}; }, false},
        FailureRow{"CutAfterItsFirstPages",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath());
                       QFile file(p.masterPath());
                       ASSERT_GT(file.size(), 4 * 4096);
                       ASSERT_TRUE(file.resize(3 * 4096));
                   },
                   [](ProgramRun& p) {
                       return QStringList{QStringLiteral("The database file ") + p.masterPath() +
                                          QStringLiteral(" is damaged and cannot be used.  Replace it with a "
                                                         "backup copy (made with Backup db) or re-install "
                                                         "Lumivane.")};
                   },
                   false},
        FailureRow{"UnreadableFolder",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath());
                       ASSERT_TRUE(QFile::setPermissions(p.dataFolder(), {}));
                       p.runWithoutAccessOverride();
                   },
                   [](ProgramRun& p) {
                       return QStringList{QStringLiteral("The folder ") + p.dataFolder() +
                                          QStringLiteral(", which holds the database file, cannot be read.  "
                                                         "Check its permissions, or re-install Lumivane.")};
                   },
                   false},
        FailureRow{"UnreadableFile",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath());
                       ASSERT_TRUE(QFile::setPermissions(p.masterPath(), {}));
                       p.runWithoutAccessOverride();
                   },
                   [](ProgramRun& p) {
                       return QStringList{
                           QStringLiteral("The database file ") + p.masterPath() +
                           QStringLiteral(" cannot be read or written.  Check its permissions, "
                                          "or re-install Lumivane.")};
                   },
                   false},
        // A settings file that cannot be read as settings is kept aside whole, and the program
        // starts on its defaults.
        FailureRow{"GarbageSettingsFile",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath());
                       QDir().mkpath(QFileInfo(p.settingsPath()).absolutePath());
                       QFile file(p.settingsPath());
                       ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                       file.write(kGarbageSettings);
                   },
                   [](ProgramRun& p) {
                       QFile aside(p.settingsPath() + QStringLiteral(".unreadable"));
                       EXPECT_TRUE(aside.open(QIODevice::ReadOnly) && aside.readAll() == kGarbageSettings);
                       return QStringList{};
                   },
                   true, true},
        // The logon window, closed by its close box, falls back to the local database.
        FailureRow{"ClosedLogonFallsBackToLocal",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath());
                       p.writeSetting(QStringLiteral("Network"), QStringLiteral("OpenLocal"),
                                      QStringLiteral("0"));
                   },
                   [](ProgramRun&) { return QStringList{}; }, true},
        FailureRow{"OtherErrorEndsWithTheGenericMessage",
                   [](ProgramRun& p) {
                       ProgramRun::installMaster(p.masterPath());
                       QFile junk(p.previousPath());
                       ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
                       junk.write(QByteArray(4096, 'x'));
                       p.writeSetting(QStringLiteral("Runtime"), QStringLiteral("ReplaceDB"),
                                      QStringLiteral("1"));
                   },
                   // The offer, answered with its first button (Yes), then the failed migration.
                   [](ProgramRun&) {
                       return QStringList{kReplaced, kGenericError};
                   },
                   false}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

TEST(StartupProcessOnce, ASecondInstanceIsRefusedAndTheRunningOneComesForward) {
    ProgramRun program;
    ProgramRun::installMaster(program.masterPath());
    program.writeSetting(QStringLiteral("Options"), QStringLiteral("Splash"), QStringLiteral("1"));
    QProcess* first = program.start({}, 1);
    ASSERT_TRUE(program.waitForLine(QStringLiteral("shown\tfrmMain"), 1));

    EXPECT_EQ(program.run({}, 2), 0);
    EXPECT_EQ(program.messages(2), QStringList{QStringLiteral("Lumivane is already running.")});
    EXPECT_TRUE(program.shown(2).isEmpty());
    EXPECT_TRUE(program.waitForLine(QStringLiteral("note\tactivated frmMain"), 1))
        << "the running instance was asked to come forward";
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST(StartupProcessOnce, TheSplashComesFirstAndTheMainWindowAfterIt) {
    ProgramRun program;
    ProgramRun::installMaster(program.masterPath());
    EXPECT_EQ(program.run({QStringLiteral("close frmAbout"), QStringLiteral("close frmMain")}), 0);
    EXPECT_EQ(program.shown(), (QStringList{QStringLiteral("frmAbout"), QStringLiteral("frmMain")}));
    EXPECT_TRUE(program.messages().isEmpty());
}

// The previous database: the built layout with one budget, two master workbooks (keys 40 and
// 41 there) and a worksheet of each.
void installPrevious(const QString& path) {
    ProgramRun::installMaster(path, [](Connection& c) {
        c.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Plan', 'Ann')"));
        c.execute(QStringLiteral(
            "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) "
            "VALUES (40, 'Plan.xlsx', '/books', 'Plan'), (41, 'Cost.xlsx', '/books', 'Plan')"));
        c.execute(QStringLiteral(
            "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) "
            "VALUES ('North', 'Plan.xlsx', 'Plan', 40), ('South', 'Cost.xlsx', 'Plan', 41)"));
    });
}

QStringList columnValues(const QString& path, const QString& sql) {
    Connection cnn;
    cnn.open(QStringLiteral("Data Source=") + path);
    platform::db::Recordset rst = platform::db::Recordset::open(cnn, sql);
    QStringList values;
    for (; !rst.eof(); rst.moveNext()) {
        QStringList fields;
        for (int i = 0; i < rst.fieldCount(); ++i)
            fields << rst.value(i).toString();
        values << fields.join(QLatin1Char('|'));
    }
    return values;
}

class ReplacementOfferProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramRun::installMaster(program_.masterPath());
        installPrevious(program_.previousPath());
        program_.writeSetting(QStringLiteral("Options"), QStringLiteral("Splash"), QStringLiteral("1"));
        program_.writeSetting(QStringLiteral("Runtime"), QStringLiteral("ReplaceDB"), QStringLiteral("1"));
        program_.writeSetting(platform::sys::kAddInApplication, QStringLiteral("Runtime"),
                              QStringLiteral("ReplaceDB"), QStringLiteral("1"));
        program_.writeSetting(QStringLiteral("Runtime"), QStringLiteral("InstallSample"),
                              QStringLiteral("1"));
    }
    QString setting(const QString& application, const char* key) {
        return program_.readSetting(application, QStringLiteral("Runtime"), QString::fromLatin1(key));
    }
    ProgramRun program_;
};

TEST_F(ReplacementOfferProcess, YesMigratesRelinksSweepsAndClearsTheSettingForBothPrograms) {
    EXPECT_EQ(program_.run({QStringLiteral("Yes"), QStringLiteral("close frmMain")}), 0);
    EXPECT_EQ(program_.messages(), QStringList{kReplaced});
    EXPECT_TRUE(program_.shown().contains(QStringLiteral("frmWait"))) << "the migration shows its progress";
    EXPECT_EQ(program_.shown().last(), QStringLiteral("frmMain"));
    EXPECT_EQ(setting(platform::sys::kDesktopApplication, "ReplaceDB"), QStringLiteral("0"));
    EXPECT_EQ(setting(platform::sys::kAddInApplication, "ReplaceDB"), QStringLiteral("0"));
    EXPECT_EQ(setting(platform::sys::kDesktopApplication, "InstallSample"), QStringLiteral("0"));

    const QString master = program_.masterPath();
    EXPECT_EQ(columnValues(master, QStringLiteral("SELECT Budget_Name FROM Budgets")),
              QStringList{QStringLiteral("Plan")})
        << "the placeholder row goes once a real row is there";
    // The worksheets carry the keys their master workbooks were given in the new database.
    EXPECT_EQ(
        columnValues(master, QStringLiteral("SELECT w.Worksheet_Name FROM Worksheets w JOIN MasterFiles m "
                                            "ON m.ID_MasterFiles = w.MasterFiles_ID "
                                            "AND m.Master_File = w.Master_File ORDER BY 1")),
        (QStringList{QStringLiteral("North"), QStringLiteral("South")}));
    EXPECT_EQ(columnValues(master, QStringLiteral("SELECT Folder_Name FROM FolderNames")),
              QStringList{QStringLiteral("<Dummy record>")})
        << "a table without real rows keeps its one placeholder row";
    EXPECT_TRUE(QFile::exists(program_.previousPath())) << "the previous database is only read";
}

TEST_F(ReplacementOfferProcess, NoDeletesThePreviousDatabaseAndStartsOnTheNewOne) {
    EXPECT_EQ(program_.run({QStringLiteral("No"), QStringLiteral("close frmMain")}), 0);
    EXPECT_EQ(program_.messages(), QStringList{kReplaced});
    EXPECT_FALSE(QFile::exists(program_.previousPath()));
    EXPECT_EQ(setting(platform::sys::kDesktopApplication, "ReplaceDB"), QStringLiteral("0"));
    EXPECT_EQ(setting(platform::sys::kAddInApplication, "ReplaceDB"), QStringLiteral("1"));
    EXPECT_EQ(columnValues(program_.masterPath(), QStringLiteral("SELECT Budget_Name FROM Budgets")),
              QStringList{QStringLiteral("<Dummy record>")});

    EXPECT_EQ(program_.run({QStringLiteral("close frmMain")}, 1), 0);
    EXPECT_TRUE(program_.messages(1).isEmpty()) << "the offer does not come again";
}

TEST_F(ReplacementOfferProcess, NoWithThePreviousDatabaseMissingChangesNothing) {
    ASSERT_TRUE(QFile::remove(program_.previousPath()));
    EXPECT_EQ(program_.run({QStringLiteral("No"), QStringLiteral("close frmMain")}), 0);
    EXPECT_EQ(setting(platform::sys::kDesktopApplication, "ReplaceDB"), QStringLiteral("1"));
    EXPECT_EQ(program_.run({QStringLiteral("Cancel")}, 1), 1);
    EXPECT_EQ(program_.messages(1), QStringList{kReplaced}) << "the offer comes again";
}

TEST_F(ReplacementOfferProcess, YesWithThePreviousDatabaseMissingSaysSoAndGoesOn) {
    ASSERT_TRUE(QFile::remove(program_.previousPath()));
    EXPECT_EQ(program_.run({QStringLiteral("Yes"), QStringLiteral("close frmMain")}), 0);
    EXPECT_EQ(program_.messages(),
              (QStringList{kReplaced,
                           QStringLiteral("The database file to migrate 'oldlumimaster.mdb' is missing.  "
                                          "Re-install from its source.")}));
    EXPECT_EQ(program_.shown(), QStringList{QStringLiteral("frmMain")});
    EXPECT_EQ(setting(platform::sys::kDesktopApplication, "ReplaceDB"), QStringLiteral("1"));
}

TEST_F(ReplacementOfferProcess, CancelEndsWithoutAWindowAndTheOfferComesAgain) {
    EXPECT_EQ(program_.run({QStringLiteral("Cancel")}), 1);
    EXPECT_TRUE(program_.shown().isEmpty());
    EXPECT_TRUE(QFile::exists(program_.previousPath()));
    EXPECT_EQ(setting(platform::sys::kDesktopApplication, "ReplaceDB"), QStringLiteral("1"));
    EXPECT_EQ(program_.run({QStringLiteral("Cancel")}, 1), 1);
    EXPECT_EQ(program_.messages(1), QStringList{kReplaced});
}

} // namespace
