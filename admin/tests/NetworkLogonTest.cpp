// The network logon on a real keyed network database: the connection test, the account check
// with its messages and rights, what an accepted logon records, and the logon window's OK,
// Cancel, close box and Browse.
#include "admin/NetworkLogon.h"

#include "NetworkDbFixture.h"
#include "admin/frmLogon.h"
#include "platform/db/Presence.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/LoadedWindows.h"

#include <QLineEdit>
#include <QPushButton>

using namespace admintest;
using admin::LogonEntry;
using platform::ui::Answer;

namespace {

const QString kDbPassword = QStringLiteral("Net-pw 1");
const Account kSuper{QStringLiteral("Ann"), QStringLiteral("s3cret"), QStringLiteral("ann@example.org")};
const Account kAdmin{QStringLiteral("Bob"), QStringLiteral("b0b"), QStringLiteral("bob@example.org")};

const QString kNoAccount = QStringLiteral("You don't have an account on this database.");
const QString kFailed = QStringLiteral("Logon attempt failed.  Try again or Cancel and run local.");
const QString kTestFailed =
    QStringLiteral("The test query to the database failed.  Check the path and database password.");

class NetworkLogonTest : public NetworkDbFixture {
protected:
    void SetUp() override {
        NetworkDbFixture::SetUp();
        makeNetworkDatabase(kDbPassword, {kSuper, kAdmin});
    }
};

struct LogonRow {
    const char* name;
    LogonEntry entry;
    bool accepted;
    bool superAdmin;
    QStringList messages;
};

void PrintTo(const LogonRow& row, std::ostream* out) {
    *out << row.name;
}

class LogonCases : public NetworkLogonTest, public ::testing::WithParamInterface<LogonRow> {};

// Every check starts with all rights taken away, so a refused attempt never keeps one.
TEST_P(LogonCases, AcceptsOrRefusesWithItsMessage) {
    const LogonRow& row = GetParam();
    core::cOptions& options = *core::gOptions;
    options.SAAuth = options.AUAuth = options.NetMenus = true;
    testsupport::ScopedScriptedUi ui;
    ASSERT_TRUE(admin::TestNetworkConnection(row.entry));
    EXPECT_EQ(admin::LogonNetworkAdminUser(row.entry), row.accepted);
    EXPECT_EQ(ui->messageTexts(), row.messages);
    EXPECT_EQ(options.SAAuth, row.superAdmin);
    EXPECT_EQ(options.AUAuth, row.accepted);
    EXPECT_EQ(options.NetMenus, row.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Accounts, LogonCases,
    ::testing::Values(
        LogonRow{"SuperAdministrator", {kDbPassword, kSuper.name, kSuper.password}, true, true, {}},
        LogonRow{"OtherLetterCase",
                 {kDbPassword, QStringLiteral("aNN"), QStringLiteral("S3CRET")},
                 true,
                 true,
                 {}},
        LogonRow{"Administrator", {kDbPassword, kAdmin.name, kAdmin.password}, true, false, {}},
        LogonRow{"UnknownName",
                 {kDbPassword, QStringLiteral("Carl"), QStringLiteral("x")},
                 false,
                 false,
                 {kNoAccount}},
        LogonRow{"WrongPasswordOfTheSuperAdministrator",
                 {kDbPassword, kSuper.name, QStringLiteral("wrong")},
                 false,
                 false,
                 {kFailed}},
        // Another administrator's password is no key to the super-administrator's account.
        LogonRow{
            "AnotherAccountsPassword", {kDbPassword, kSuper.name, kAdmin.password}, false, false, {kFailed}}),
    [](const ::testing::TestParamInfo<LogonRow>& info) { return std::string(info.param.name); });

TEST_F(NetworkLogonTest, AnAcceptedLogonRecordsTheSameIdentifiersInTheOptionsAndTheSettings) {
    writeProfile(kSuper.name, QStringLiteral("True"), QStringLiteral("Context"));
    testsupport::ScopedScriptedUi ui;
    const LogonEntry entry{kDbPassword, QStringLiteral("bob"), kAdmin.password};
    ASSERT_TRUE(admin::TestNetworkConnection(entry));
    ASSERT_TRUE(admin::LogonNetworkAdminUser(entry));

    const core::cOptions& options = *core::gOptions;
    EXPECT_EQ(options.LumiAdminUserName, QStringLiteral("bob")) << "the name as typed";
    EXPECT_EQ(setting(admin::net::kAdminUserName), QStringLiteral("bob"));
    EXPECT_EQ(options.LumiAUID, setting(admin::net::kLumiAUID));
    EXPECT_EQ(options.LumiSAID, setting(admin::net::kLumiSAID));
    EXPECT_EQ(core::DecodeString(options.LumiAUID), QStringLiteral("bob") + kAdmin.password);
    EXPECT_EQ(core::DecodeString(options.LumiSAID), kDbPassword + QStringLiteral("bob") + kAdmin.password);
    EXPECT_EQ(core::DecodeString(setting(admin::net::kAdminUserPwd)), kAdmin.password);
    EXPECT_EQ(core::DecodeString(setting(admin::net::kLumiNetPwd)), kDbPassword);
    EXPECT_TRUE(options.CopyPermissions) << "the super-administrator's profile is read";
    EXPECT_EQ(options.ViewMode, QStringLiteral("Context"));
    EXPECT_EQ(core::gCnn->LumiCnnPath(), netPath_);
    EXPECT_TRUE(platform::db::PresenceHold::isHeld(netPath_)) << "the program is present on the database";
}

TEST_F(NetworkLogonTest, TheConnectionTestFailsOnAWrongPasswordOrWithoutAccounts) {
    admin::net::write(admin::net::kLumiNetPwd, core::EncodeString(QStringLiteral("kept")));
    {
        testsupport::ScopedScriptedUi ui;
        EXPECT_FALSE(admin::TestNetworkConnection({QStringLiteral("wrong"), kAdmin.name, kAdmin.password}));
        ASSERT_EQ(ui->messageTexts().size(), 1);
        EXPECT_TRUE(ui->messageTexts()[0].startsWith(QStringLiteral("Error ")))
            << ui->messageTexts()[0].toStdString();
        EXPECT_EQ(core::DecodeString(setting(admin::net::kLumiNetPwd)), QStringLiteral("kept"));
        EXPECT_EQ(core::gCnn->LumiCnnPath(), localPath_);
    }
    {
        Connection db = openNetwork();
        db.execute(QStringLiteral("UPDATE AdminUsers SET AdminUser_Name = NULL"));
    }
    testsupport::ScopedScriptedUi ui;
    EXPECT_FALSE(admin::TestNetworkConnection({kDbPassword, kAdmin.name, kAdmin.password}));
    EXPECT_EQ(ui->messageTexts(), QStringList{kTestFailed});
    EXPECT_EQ(core::gCnn->LumiCnnPath(), localPath_);
}

// --- The logon window --------------------------------------------------------------------

class LogonWindowTest : public NetworkLogonTest {
protected:
    admin::frmLogon* openWindow() {
        core::gOptions->LoggingOn = true;
        auto* window = new admin::frmLogon;
        window->show();
        return window;
    }
};

TEST_F(LogonWindowTest, OpensWithTheLastLogonAndAcceptsOnlyTheRightPassword) {
    admin::net::write(admin::net::kLumiNetPwd, core::EncodeString(kDbPassword));
    admin::net::write(admin::net::kAdminUserName, kAdmin.name);
    QPointer<admin::frmLogon> window = openWindow();
    EXPECT_EQ(window->cbxLocation()->text(), netPath_);
    EXPECT_EQ(window->tbxDBPwd()->text(), kDbPassword);
    EXPECT_EQ(window->tbxUserAdminName()->text(), kAdmin.name);
    EXPECT_TRUE(window->tbxUserAdminPwd()->text().isEmpty());
    EXPECT_EQ(window->tbxDBPwd()->echoMode(), QLineEdit::Password);

    const core::cOptions& options = *core::gOptions;
    testsupport::ScopedScriptedUi ui;
    window->cmdOK()->click(); // the password box is empty: nothing is said
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_FALSE(options.SetPwd);

    window->tbxUserAdminPwd()->setText(QStringLiteral("wrong"));
    window->cmdOK()->click();
    EXPECT_EQ(ui->messageTexts(), QStringList{kFailed});
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(options.SetPwd);
    EXPECT_EQ(core::gCnn->LumiCnnPath(), localPath_) << "a refused account leaves the local strings";
    EXPECT_FALSE(platform::db::PresenceHold::isHeld(netPath_));

    window->tbxUserAdminPwd()->setText(kAdmin.password);
    window->cmdOK()->click();
    processDeletes();
    EXPECT_FALSE(window) << "an accepted logon closes the window";
    EXPECT_TRUE(options.SetPwd);
    EXPECT_FALSE(options.CancelPwd);
    EXPECT_TRUE(options.LoggedOn);
    EXPECT_FALSE(options.LoggingOn);
    EXPECT_EQ(core::gCnn->LumiCnnPath(), netPath_);
}

TEST_F(LogonWindowTest, CancelAndTheCloseBoxSetOnlyTheCancelFlagAndKeepTheLocation) {
    for (const bool closeBox : {false, true}) {
        core::gOptions->CancelPwd = false;
        QPointer<admin::frmLogon> window = openWindow();
        window->cbxLocation()->setText(QStringLiteral("/elsewhere/lumimaster.mdb"));
        window->tbxUserAdminName()->setText(QStringLiteral("Typed"));
        if (closeBox)
            window->close();
        else
            window->cmdCancel()->click();
        processDeletes();
        EXPECT_FALSE(window);
        EXPECT_TRUE(core::gOptions->CancelPwd);
        EXPECT_FALSE(core::gOptions->SetPwd);
        EXPECT_EQ(setting(admin::net::kLumiNetPath), QStringLiteral("/elsewhere/lumimaster.mdb"));
        EXPECT_TRUE(setting(admin::net::kAdminUserName).isEmpty());
    }
}

TEST_F(LogonWindowTest, BrowseTakesOnlyLumimasterAfterAYes) {
    QPointer<admin::frmLogon> window = openWindow();
    const QString folder = testsupport::freshDir(QStringLiteral("other"));
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({folder + QStringLiteral("/Lumimaster.mdb"), folder + QStringLiteral("/lumimaster.mdb"),
                     folder + QStringLiteral("/lumimaster.mdb")});
    ui->answerMessages({Answer::No, Answer::Yes});
    window->cmdBrowse_Click();
    EXPECT_EQ(ui->messageTexts(), (QStringList{QStringLiteral("Logon to this database?"),
                                               QStringLiteral("Logon to this database?")}))
        << "a name in another case reopens the dialog without a word";
    EXPECT_EQ(window->cbxLocation()->text(), folder + QStringLiteral("/lumimaster.mdb"));
    EXPECT_EQ(setting(admin::net::kLumiNetPath), folder + QStringLiteral("/lumimaster.mdb"));
    EXPECT_EQ(ui->asked()[0].title, QStringLiteral("Logon network database (Lumivane)"));
}

} // namespace
