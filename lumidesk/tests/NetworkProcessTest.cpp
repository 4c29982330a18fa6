// Two programs on one shared network database: the real program, started as a child process
// with folders of its own (another administrator's machine), logs on at start-up; this
// process, logged on as the super-administrator, is refused the password change and the
// compaction while that program is on the database, and gets them once it has ended.
#include "ProgramRun.h"
#include "admin/NetworkSettings.h"
#include "admin/frmSuperAdmin.h"
#include "core/DatabaseUpkeep.h"
#include "core/SharedDatabase.h"
#include "core/tests/MasterDbFixture.h"
#include "platform/db/DbError.h"
#include "platform/db/Presence.h"
#include "support/NetworkDatabaseFile.h"
#include "support/ScriptedUi.h"
#include "support/WindowScript.h"

#include <QPushButton>

namespace {

using testsupport::Account;

const QString kPassword = QStringLiteral("shared pw");
const Account kSuper{QStringLiteral("Ann"), QStringLiteral("s3cret"), QStringLiteral("ann@example.org")};
const Account kAdmin{QStringLiteral("Bob"), QStringLiteral("b0b"), QStringLiteral("bob@example.org")};

class NetworkProcess : public coretest::MasterDbFixture {
protected:
    static bool opens(const QString& path, const QString& password) {
        try {
            testsupport::openDatabaseFile(path, password)
                .scalar(QStringLiteral("SELECT count(*) FROM AdminUsers"));
            return true;
        } catch (const platform::db::DbError&) {
            return false;
        }
    }
    // This process on the network database as its super-administrator.
    void logOnHere(const QString& path) {
        admin::net::write(admin::net::kLumiNetPath, path);
        admin::net::write(admin::net::kLumiNetPwd, core::EncodeString(kPassword));
        core::gCnn->NetCnn();
        core::cOptions& options = *core::gOptions;
        options.DatabaseMode = QStringLiteral("Network");
        options.SAAuth = options.NetMenus = options.AUAuth = options.LoggedOn = true;
        options.LumiAdminUserName = kSuper.name;
        options.LumiAUID = core::EncodeString(kSuper.name + kSuper.password);
    }
};

TEST_F(NetworkProcess, ThePasswordAndTheCompactionWaitUntilTheOtherProgramHasGone) {
    const QString path = testsupport::freshDir(QStringLiteral("share")) + QStringLiteral("/lumimaster.mdb");
    testsupport::makeNetworkDatabaseFile(path, kPassword, {kSuper, kAdmin});

    lumideskTest::ProgramRun other;
    lumideskTest::ProgramRun::installMaster(other.masterPath());
    other.writeSetting(QStringLiteral("Options"), QStringLiteral("Splash"), QStringLiteral("1"));
    other.writeSetting(QStringLiteral("Network"), QStringLiteral("OpenLocal"), QStringLiteral("0"));
    other.writeSetting(QStringLiteral("Network"), QStringLiteral("LumiNetPath"), path);
    other.writeSetting(QStringLiteral("Network"), QStringLiteral("LumiNetPwd"),
                       core::EncodeString(kPassword));
    other.writeSetting(QStringLiteral("Network"), QStringLiteral("AdminUserName"), kAdmin.name);
    QProcess* program = other.start({QStringLiteral("type frmLogon.tbxUserAdminPwd ") + kAdmin.password,
                                     QStringLiteral("click frmLogon.cmdOK")});
    ASSERT_TRUE(other.waitForLine(QStringLiteral("shown\tfrmMain")))
        << other.transcript().join('\n').toStdString();
    EXPECT_EQ(other.messages(), QStringList{QStringLiteral("Welcome, AdminUser!")});
    EXPECT_TRUE(platform::db::PresenceHold::isHeld(path)) << "the other program holds the database";

    logOnHere(path);
    {
        testsupport::ScopedScriptedUi ui;
        testsupport::WindowScript script;
        auto* console = new admin::frmSuperAdmin;
        console->show();
        ui->clear();
        console->cmdChangePwd()->click();
        core::CompactDatabase();
        EXPECT_EQ(ui->messageTexts(),
                  (QStringList{
                      QStringLiteral("The database password can't be changed") + core::kOthersConnectedText,
                      QStringLiteral("The database can't be compacted") + core::kOthersConnectedText}));
        EXPECT_TRUE(script.shown().isEmpty()) << "no new password was asked for";
        EXPECT_TRUE(opens(path, kPassword)) << "the password is as it was";
        delete console;
    }

    program->terminate();
    ASSERT_TRUE(program->waitForFinished(30000));
    testsupport::ScopedScriptedUi ui;
    testsupport::WindowScript script;
    script.then(QStringLiteral("frmPwd"), [](QWidget& w) {
        testsupport::type(w, QStringLiteral("tbxPwd(0)"), QStringLiteral("new pw"));
        testsupport::type(w, QStringLiteral("tbxPwd(1)"), QStringLiteral("new pw"));
        testsupport::click(w, QStringLiteral("cmdSet"));
    });
    auto* console = new admin::frmSuperAdmin;
    console->show();
    ui->clear();
    console->cmdChangePwd()->click();
    EXPECT_TRUE(ui->messageTexts().isEmpty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_TRUE(opens(path, QStringLiteral("new pw")));
    EXPECT_FALSE(opens(path, kPassword));
    delete console;
}

} // namespace
