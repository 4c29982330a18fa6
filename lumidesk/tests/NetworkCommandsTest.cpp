// The File > LumiNet commands on real database files, in this process: making the network
// database from the local one and logging on as its super-administrator, logging off and on
// again with the menu states and status texts of each step, a cancelled creation that leaves
// no file behind, the copy's refusals, a cancelled logon, and the commands' refusals.
#include "lumidesk/NetworkCommands.h"

#include "MainWindowFixture.h"
#include "admin/NetworkSettings.h"
#include "core/FormUnload.h"
#include "lumidesk/DataEnvironment1.h"
#include "platform/db/Presence.h"
#include "support/ScriptedUi.h"
#include "support/WindowScript.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <sys/stat.h>

using platform::ui::Answer;
using testsupport::click;
using testsupport::type;
using testsupport::WindowScript;

namespace {

const QString kNetPassword = QStringLiteral("net pw");

class NetworkCommandsTest : public lumideskTest::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        share_ = testsupport::freshDir(QStringLiteral("share"));
        main_ = makeMain();
    }
    QString netPath() const { return share_ + QStringLiteral("/lumimaster.mdb"); }
    QString caption(const char* item) const { return main_->menuItem(QString::fromLatin1(item))->text(); }
    bool enabled(const char* item) const { return main_->menuItem(QString::fromLatin1(item))->isEnabled(); }

    // Ann as the super-administrator, typed into frmSA and confirmed.
    static void enterAnn(QWidget& w) {
        type(w, QStringLiteral("tbxUserAdminName"), QStringLiteral("Ann"));
        type(w, QStringLiteral("tbxUserAdminPwd(0)"), QStringLiteral("s3cret"));
        type(w, QStringLiteral("tbxUserAdminPwd(1)"), QStringLiteral("s3cret"));
        type(w, QStringLiteral("tbxEmail"), QStringLiteral("ann@example.org"));
        click(w, QStringLiteral("cmdOK"));
    }
    static void setPassword(WindowScript& script) {
        script.then(QStringLiteral("frmPwd"), [](QWidget& w) {
            type(w, QStringLiteral("tbxPwd(0)"), kNetPassword);
            type(w, QStringLiteral("tbxPwd(1)"), kNetPassword);
            click(w, QStringLiteral("cmdSet"));
        });
    }
    // Make network database in the share, with Ann as its super-administrator (or a cancel).
    void makeNetworkDatabase(testsupport::ScriptedUi& ui, bool cancelAccount = false) {
        ui.answerTexts({netPath()});
        ui.answerMessages({Answer::Yes});
        WindowScript script;
        setPassword(script);
        script.then(QStringLiteral("frmSA"), [cancelAccount](QWidget& w) {
            if (cancelAccount)
                click(w, QStringLiteral("cmdCancel"));
            else
                enterAnn(w);
        });
        lumidesk::mnuMakeNetDB_Click(main_);
    }
    void logOnAsAnn(WindowScript& script, const QString& password = QStringLiteral("s3cret")) {
        script.then(QStringLiteral("frmLogon"), [password](QWidget& w) {
            type(w, QStringLiteral("tbxUserAdminPwd"), password);
            click(w, QStringLiteral("cmdOK"));
        });
    }

    QString share_;
    lumidesk::frmMain* main_ = nullptr;
};

TEST_F(NetworkCommandsTest, MakeLogOffAndLogOnAgainFollowTheirMenuStates) {
    {
        testsupport::ScopedScriptedUi ui;
        makeNetworkDatabase(*ui);
        EXPECT_EQ(ui->messageTexts(), (QStringList{QStringLiteral("Copy database here?"),
                                                   QStringLiteral("Welcome, Super-Admin_User!")}));
        EXPECT_FALSE(ui->asked()[0].confirmOverwrite);
    }
    const core::cOptions& options = *core::gOptions;
    EXPECT_EQ(options.DatabaseMode, QStringLiteral("Network"));
    EXPECT_EQ(core::gCnn->LumiCnnPath(), netPath());
    EXPECT_EQ(caption("mnuLogon"), QStringLiteral("&Log off"));
    EXPECT_EQ(caption("mnuMakeNetDB"), QStringLiteral("&Remove network database"));
    EXPECT_TRUE(enabled("mnuSAConfig"));
    EXPECT_EQ(main_->statusText(), QStringLiteral("Ann is logged on to LumiNet."));
    EXPECT_TRUE(platform::db::PresenceHold::isHeld(netPath()));

    // Log-off answered No changes nothing; Yes goes back to the local database.
    {
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({Answer::No});
        lumidesk::mnuLogon_Click(main_);
        EXPECT_EQ(options.DatabaseMode, QStringLiteral("Network"));
        ui->answerMessages({Answer::Yes});
        lumidesk::mnuLogon_Click(main_);
        EXPECT_EQ(ui->messageTexts(),
                  (QStringList{QStringLiteral("Do you want to logoff the network database?"),
                               QStringLiteral("Do you want to logoff the network database?")}));
    }
    EXPECT_EQ(options.DatabaseMode, QStringLiteral("Local"));
    EXPECT_EQ(core::gCnn->LumiCnnPath(), masterPath());
    EXPECT_FALSE(platform::db::PresenceHold::isHeld(netPath())) << "the program left the network database";
    EXPECT_EQ(caption("mnuLogon"), QStringLiteral("&Logon"));
    EXPECT_EQ(caption("mnuMakeNetDB"), QStringLiteral("&Make network database"));
    EXPECT_FALSE(enabled("mnuSAConfig"));
    EXPECT_EQ(main_->statusText(), QStringLiteral("You are working local."));
    EXPECT_TRUE(options.LoggedOff);
    EXPECT_FALSE(options.LoggedOn || options.NetMenus || options.SAAuth || options.AUAuth);
    EXPECT_TRUE(options.LumiAUID.isEmpty());
    EXPECT_TRUE(options.ViewMode.isEmpty());
    EXPECT_EQ(options.BudgetNameContext, QStringLiteral("Nothing"));

    // The logon window opens with the last logon; only the password is typed.
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    logOnAsAnn(script);
    lumidesk::mnuLogon_Click(main_);
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Welcome, Super-Admin_User!")});
    EXPECT_EQ(options.DatabaseMode, QStringLiteral("Network"));
    EXPECT_EQ(caption("mnuLogon"), QStringLiteral("&Log off LumiNet"));
    EXPECT_TRUE(enabled("mnuCompactDatabase"));
    EXPECT_TRUE(enabled("mnuSAConfig"));
}

TEST_F(NetworkCommandsTest, AnAdministratorsLogonDisablesTheSuperAdministratorsTools) {
    {
        testsupport::ScopedScriptedUi ui;
        makeNetworkDatabase(*ui);
        platform::db::Connection db = openMaster();
        db.execute(QStringLiteral("INSERT INTO AdminUsers (AdminUser_Name, AdminUser_Pwd, AdminUser_ID, "
                                  "AdminUser_Email) VALUES ('Bob', ?, ?, 'bob@example.org')"),
                   {core::EncodeString(QStringLiteral("b0b")), core::EncodeString(QStringLiteral("Bobb0b"))});
        ui->answerMessages({Answer::Yes});
        lumidesk::mnuLogon_Click(main_);
    }
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    script.then(QStringLiteral("frmLogon"), [](QWidget& w) {
        type(w, QStringLiteral("tbxUserAdminName"), QStringLiteral("Bob"));
        type(w, QStringLiteral("tbxUserAdminPwd"), QStringLiteral("b0b"));
        click(w, QStringLiteral("cmdOK"));
    });
    lumidesk::mnuLogon_Click(main_);
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Welcome, AdminUser!")});
    EXPECT_EQ(main_->statusText(), QStringLiteral("Bob is logged on to LumiNet."));
    for (const char* item : {"mnuMakeNetDB", "mnuSAConfig", "mnuCompactDatabase", "mnuSystemClean"})
        EXPECT_FALSE(enabled(item)) << item;
}

// The copy is the plain local database until its password is set: nobody but its owner may
// read it while the password window waits; it is shared as the folder allows only once keyed.
TEST_F(NetworkCommandsTest, TheCopyIsOwnerOnlyUntilItIsKeyed) {
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const QFileDevice::Permissions others =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    QFileDevice::Permissions whileAsked;
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({netPath()});
    ui->answerMessages({Answer::Yes});
    WindowScript script;
    script.then(QStringLiteral("frmPwd"), [&](QWidget& w) {
        whileAsked = QFile::permissions(netPath());
        type(w, QStringLiteral("tbxPwd(0)"), kNetPassword);
        type(w, QStringLiteral("tbxPwd(1)"), kNetPassword);
        click(w, QStringLiteral("cmdSet"));
    });
    script.then(QStringLiteral("frmSA"), &enterAnn);
    lumidesk::mnuMakeNetDB_Click(main_);
    ASSERT_EQ(core::gOptions->DatabaseMode, QStringLiteral("Network"));
    EXPECT_EQ(whileAsked & (ownerOnly | others), ownerOnly);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const QFileDevice::Permissions shared = QFile::permissions(netPath());
    EXPECT_EQ((shared & QFileDevice::ReadGroup) != 0, (mask & 040) == 0);
    EXPECT_EQ((shared & QFileDevice::ReadOther) != 0, (mask & 004) == 0);
}

TEST_F(NetworkCommandsTest, ACancelledCreationLeavesNoFileAndTheLocalDatabase) {
    admin::net::write(admin::net::kLumiNetPath, QStringLiteral("/earlier/lumimaster.mdb"));
    testsupport::ScopedScriptedUi ui;
    makeNetworkDatabase(*ui, true);
    EXPECT_FALSE(QFile::exists(netPath()));
    EXPECT_TRUE(QDir(share_).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "no presence or temporary file";
    EXPECT_EQ(core::gOptions->DatabaseMode, QStringLiteral("Local"));
    EXPECT_EQ(core::gCnn->LumiCnnPath(), masterPath());
    EXPECT_FALSE(core::gOptions->SAAuth);
    EXPECT_EQ(admin::net::read(admin::net::kLumiNetPath), QStringLiteral("/earlier/lumimaster.mdb"))
        << "the settings name the earlier network database again";
    EXPECT_EQ(caption("mnuLogon"), QStringLiteral("&Logon"));
}

TEST_F(NetworkCommandsTest, TheCopyGoesOnlyToLumimasterInAFolderWithoutOne) {
    QFile existing(share_ + QStringLiteral("/LUMIMASTER.MDB"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts(
        {share_ + QStringLiteral("/LumiMaster.mdb"), share_ + QStringLiteral("/copy.mdb"), netPath()});
    ui->answerMessages({Answer::Yes});
    EXPECT_TRUE(lumidesk::CopyDatabase(masterPath()).isEmpty());
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{QStringLiteral("Copy database here?"),
                           QStringLiteral("A Lumivane network database exists at this location.")}));
    EXPECT_EQ(QDir(share_).entryList(QDir::Files), QStringList{QStringLiteral("LUMIMASTER.MDB")});
}

TEST_F(NetworkCommandsTest, ACancelledLogonStaysLocalButClosesTheWindowsAndClearsTheContext) {
    {
        testsupport::ScopedScriptedUi ui;
        makeNetworkDatabase(*ui);
        ui->answerMessages({Answer::Yes});
        lumidesk::mnuLogon_Click(main_);
    }
    core::gOptions->BudgetNameContext = QStringLiteral("Sales");
    for (const char* name : {"frmDataTable", "frmWizard", "frmMail", "frmErrorsTable"})
        loadFakeForm(QString::fromLatin1(name));
    lumidesk::DataEnvironment1::instance();
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    logOnAsAnn(script, QStringLiteral("wrong")); // passes the database test, refused as account
    script.then(QStringLiteral("frmLogon"), [](QWidget& w) { click(w, QStringLiteral("cmdCancel")); });
    lumidesk::mnuLogon_Click(main_);
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("Logon attempt failed.  Try again or Cancel and run local.")});
    const core::cOptions& options = *core::gOptions;
    EXPECT_EQ(options.DatabaseMode, QStringLiteral("Local"));
    EXPECT_EQ(core::gCnn->LumiCnnPath(), masterPath());
    EXPECT_TRUE(options.LoggingOn);
    EXPECT_EQ(options.BudgetNameContext, QStringLiteral("Nothing"));
    for (const char* name : {"frmDataTable", "frmWizard", "frmMail", "frmErrorsTable"})
        EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(lumidesk::DataEnvironment1::exists()) << "the data environments connect afresh";
}

TEST_F(NetworkCommandsTest, CommandsOutsideTheirModeAreRefused) {
    testsupport::ScopedScriptedUi ui;
    lumidesk::mnuMigrateBudgets_Click(main_);
    core::gOptions->DatabaseMode = QStringLiteral("Network");
    lumidesk::mnuMakeNetDB_Click(main_);
    core::gOptions->LoggedOn = false;
    lumidesk::mnuLogon_Click(main_);
    QStringList expected{QStringLiteral("Logon to the network database before running this function.")};
    expected << QStringLiteral("This function to be implemented in v1.70.")
             << QStringLiteral("You are not logged into the network database!");
    EXPECT_EQ(ui->messageTexts(), expected);
}

} // namespace
