// The desktop program's start-up: the checks of the master database and the whole start-up run
// in this process (splash, main window, logon and its fall-back, the replacement offer).
#include "lumidesk/Startup.h"

#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "core/tests/MasterIndexes.h"
#include "lumidesk/frmMain.h"
#include "platform/db/Connection.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/LoadedWindows.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kCorrupted = QStringLiteral("The database module is corrupted or an illegal version.  "
                                          "Re-install Lumivane and restore from a backup copy.");

// Each case gets its own common files folder; the data folder below it holds whatever the
// case puts there.
class StartupChecks : public ::testing::Test {
protected:
    void SetUp() override {
        common_ = testsupport::freshDir(QStringLiteral("common"));
        setenv("LUMIVANE_COMMON_FILES", qPrintable(common_), 1);
        QDir().mkpath(dataFolder());
    }
    void TearDown() override {
        core::gDB2.reset();
        core::gCnn.reset();
        core::gOptions.reset();
    }
    QString dataFolder() const { return common_ + QStringLiteral("/Lumidesk"); }
    QString masterPath() const { return dataFolder() + QStringLiteral("/lumimaster.mdb"); }
    void installBuiltMaster(const std::function<void(platform::db::Connection&)>& change = {}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), masterPath()));
        QFile::setPermissions(masterPath(), QFile::ReadOwner | QFile::WriteOwner);
        if (change) {
            platform::db::Connection cnn;
            cnn.open(QStringLiteral("Data Source=") + masterPath());
            change(cnn);
        }
    }

    QString common_;
};

TEST_F(StartupChecks, AFreshMasterDatabasePassesSilently) {
    installBuiltMaster();
    testsupport::ScopedScriptedUi ui;
    EXPECT_TRUE(lumidesk::RunStartupChecks());
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(core::gCnn->LumiCnnPath(), masterPath());
    EXPECT_EQ(core::gDB2, nullptr) << "the version check releases its query object";
}

// A database made before the program kept its own tables (the cuts of user files, the memory
// of collected mail) gets them at start-up, its rows kept; a current one is left as it is.
TEST_F(StartupChecks, ADatabaseOfAnEarlierVersionGetsTheTablesTheProgramAdds) {
    const QStringList added{QStringLiteral("UserFileCuts"), QStringLiteral("CollectedMessages"),
                            QStringLiteral("ReportedMessages")};
    installBuiltMaster([&](platform::db::Connection& c) {
        for (const QString& table : added)
            c.dropTable(table);
        c.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Kept')"));
    });
    for (int start = 0; start < 2; ++start) {
        testsupport::ScopedScriptedUi ui;
        EXPECT_TRUE(lumidesk::RunStartupChecks());
        EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join(u'|').toStdString();
        platform::db::Connection cnn;
        cnn.open(QStringLiteral("Data Source=") + masterPath());
        for (const QString& table : added)
            EXPECT_TRUE(cnn.table(table).has_value()) << table.toStdString();
        EXPECT_EQ(
            cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM Budgets WHERE Budget_Name = 'Kept'")).toInt(), 1);
        TearDown();
    }
}

// A database made before the program kept indexes gets every one the shipped database has, its
// rows kept; so does one that has lost some of them.
TEST_F(StartupChecks, ADatabaseWithoutTheIndexesGetsThem) {
    QStringList shipped;
    {
        platform::db::Connection cnn;
        cnn.open(QStringLiteral("Data Source=") + QStringLiteral(LUMIVANE_MASTER_DB));
        shipped = coretest::indexNames(cnn);
    }
    ASSERT_FALSE(shipped.isEmpty());
    const std::vector<std::function<void(platform::db::Connection&)>> olderDatabases = {
        [](platform::db::Connection& c) { coretest::dropIndexes(c); },
        [](platform::db::Connection& c) {
            c.execute(QStringLiteral("DROP INDEX UserFileTablesData_UserFile"));
        },
    };
    for (const auto& older : olderDatabases) {
        SetUp();
        installBuiltMaster([&](platform::db::Connection& c) {
            older(c);
            c.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Kept')"));
        });
        testsupport::ScopedScriptedUi ui;
        EXPECT_TRUE(lumidesk::RunStartupChecks());
        EXPECT_TRUE(ui->asked().empty());
        platform::db::Connection cnn;
        cnn.open(QStringLiteral("Data Source=") + masterPath());
        EXPECT_EQ(coretest::indexNames(cnn), shipped);
        EXPECT_EQ(
            cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM Budgets WHERE Budget_Name = 'Kept'")).toInt(), 1);
        TearDown();
    }
}

TEST_F(StartupChecks, AMissingDatabaseFileIsReportedWithItsPath) {
    testsupport::ScopedScriptedUi ui;
    EXPECT_FALSE(lumidesk::RunStartupChecks());
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("The database file is missing.  Copy it to ") +
                                              masterPath() + QStringLiteral(" or re-install Lumivane.")});
}

TEST_F(StartupChecks, ANameThatDiffersInCaseCountsAsMissing) {
    installBuiltMaster();
    ASSERT_TRUE(QFile::rename(masterPath(), dataFolder() + QStringLiteral("/LumiMaster.mdb")));
    testsupport::ScopedScriptedUi ui;
    EXPECT_FALSE(lumidesk::RunStartupChecks());
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith(QStringLiteral("The database file is missing.")));
}

TEST_F(StartupChecks, ABudgetsTableWithoutItsFourteenColumnsEndsTheStartup) {
    using platform::db::ColumnSpec;
    const std::vector<std::function<void(platform::db::Connection&)>> changes = {
        [](platform::db::Connection& c) { c.dropColumn("Budgets", c.table("Budgets")->columns.last().name); },
        [](platform::db::Connection& c) { c.addColumn("Budgets", ColumnSpec::text("Extra", 50)); },
    };
    for (const auto& change : changes) {
        SetUp();
        installBuiltMaster(change);
        testsupport::ScopedScriptedUi ui;
        EXPECT_FALSE(lumidesk::RunStartupChecks());
        EXPECT_EQ(ui->messageTexts(), QStringList{kCorrupted});
        TearDown();
    }
}

TEST_F(StartupChecks, AnEmptyBudgetsTablePassesWithItsFourteenColumns) {
    installBuiltMaster([](platform::db::Connection& c) { c.execute(QStringLiteral("DELETE FROM Budgets")); });
    testsupport::ScopedScriptedUi ui;
    EXPECT_TRUE(lumidesk::RunStartupChecks());
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(StartupChecks, AKeyedDatabaseOpenedWithoutItsPasswordEndsAfterTheQueryMessage) {
    installBuiltMaster();
    platform::db::Connection::setPassword(masterPath(), {}, QStringLiteral("s3cret"));
    testsupport::ScopedScriptedUi ui;
    EXPECT_FALSE(lumidesk::RunStartupChecks());
    EXPECT_EQ(
        ui->messageTexts(),
        QStringList{QStringLiteral("The database file is corrupted or illegal.  Re-install the product.")});
}

TEST_F(StartupChecks, AMissingBudgetsTableEndsTheStartup) {
    installBuiltMaster([](platform::db::Connection& c) { c.dropTable(QStringLiteral("Budgets")); });
    testsupport::ScopedScriptedUi ui;
    EXPECT_FALSE(lumidesk::RunStartupChecks()) << "a failed version query is no success";
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral(
                                      "The database module is corrupted or an illegal version.  Re-install "
                                      "Lumivane and restore from a backup copy.")});
}

} // namespace

namespace {

// The whole start-up in this process: the first window by the Splash setting, the mode
// chosen, and the logon that falls back to the local database.
class StartupRun : public StartupChecks {
protected:
    void SetUp() override {
        QFile::remove(platform::sys::settingsFilePath(platform::sys::kDesktopApplication));
        StartupChecks::SetUp();
        installBuiltMaster();
    }
    void TearDown() override {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!window->parentWidget())
                window->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        lumidesk::gMainForm = nullptr;
        StartupChecks::TearDown();
    }
    static void write(const char* section, const char* key, const char* value) {
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QString::fromLatin1(section),
                                    QString::fromLatin1(key), QString::fromLatin1(value));
    }
};

TEST_F(StartupRun, WithoutTheSplashSettingTheSplashShowsInFrontOfTheHiddenMainWindow) {
    testsupport::ScopedScriptedUi ui;
    ASSERT_TRUE(lumidesk::RunStartup());
    ASSERT_TRUE(lumidesk::gMainForm);
    EXPECT_FALSE(lumidesk::gMainForm->isVisible());
    QWidget* splash = platform::ui::LoadedWindows::find(QStringLiteral("frmAbout"));
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(core::gOptions->DatabaseMode, QStringLiteral("Local"));
    EXPECT_TRUE(core::gOptions->OpenLocal);
    EXPECT_FALSE(core::gOptions->OpenNetwork);
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(StartupRun, WithTheSplashSettingTheMainWindowShowsAtOnce) {
    write("Options", "Splash", "1");
    testsupport::ScopedScriptedUi ui;
    ASSERT_TRUE(lumidesk::RunStartup());
    EXPECT_TRUE(lumidesk::gMainForm->isVisible());
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmAbout")));
}

// The logon window is cancelled after an attempt that passed no test: the program works on
// the local database with the local strings.
TEST_F(StartupRun, ACancelledLogonFallsBackToTheLocalDatabase) {
    write("Options", "Splash", "1");
    write("Network", "OpenLocal", "0");
    write("Network", "LumiNetPath", "/nowhere/lumimaster.mdb");
    testsupport::ScopedScriptedUi ui;
    bool logonShown = false;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (QWidget* logon = platform::ui::LoadedWindows::find(QStringLiteral("frmLogon"))) {
            logonShown = logon->isVisible();
            logon->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        }
    });
    cancel.start(10);
    ASSERT_TRUE(lumidesk::RunStartup());
    EXPECT_TRUE(logonShown);
    EXPECT_TRUE(ui->asked().empty());
    const core::cOptions& options = *core::gOptions;
    EXPECT_EQ(options.DatabaseMode, QStringLiteral("Local"));
    EXPECT_TRUE(options.OpenLocal);
    EXPECT_FALSE(options.OpenNetwork);
    EXPECT_FALSE(options.CancelPwd);
    EXPECT_EQ(core::gCnn->LumiCnnPath(), masterPath())
        << "the local strings, also after the step for the network";
    EXPECT_EQ(lumidesk::gMainForm->statusText(), QStringLiteral("You are working local."));
}

TEST_F(StartupRun, CancelOfTheReplacementOfferEndsWithoutAWindow) {
    write("Runtime", "ReplaceDB", "1");
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({platform::ui::Answer::Cancel});
    EXPECT_FALSE(lumidesk::RunStartup());
    EXPECT_EQ(lumidesk::gMainForm, nullptr);
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmAbout")));
}

} // namespace
