// The database password and the making of the network database, on real files: the password
// window's matching, refusals and cancel; the refusal while another administrator's program
// holds the database; and the creation with its super-administrator, including the file that
// no longer opens without its password, the failed and cancelled paths and refused names.
#include "admin/NetworkDatabase.h"

#include "NetworkDbFixture.h"
#include "admin/frmSA.h"
#include "platform/db/Presence.h"

using namespace admintest;

namespace {

const QString kMismatch = QStringLiteral("The passwords did not match.  Try again.");

class NetworkDatabaseTest : public NetworkDbFixture {
protected:
    // A plain copy of the master database in a shared folder, as "Make network database" makes it.
    QString copyToShare() {
        const QString path =
            testsupport::freshDir(QStringLiteral("share")) + QStringLiteral("/lumimaster.mdb");
        copyBuiltMaster(path);
        return path;
    }
    static void setPasswords(WindowScript& script, const QString& first, const QString& second) {
        script.then(QStringLiteral("frmPwd"), [=](QWidget& w) {
            type(w, QStringLiteral("tbxPwd(0)"), first);
            type(w, QStringLiteral("tbxPwd(1)"), second);
            click(w, QStringLiteral("cmdSet"));
        });
    }
    static void cancel(WindowScript& script, const QString& form, const QString& button) {
        script.then(form, [=](QWidget& w) { click(w, button); });
    }
};

TEST_F(NetworkDatabaseTest, PasswordsDifferingOnlyInCaseMatchAndTheFirstIsSet) {
    const QString path = copyToShare();
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    setPasswords(script, QStringLiteral("abc"), QStringLiteral("abd"));
    setPasswords(script, QStringLiteral("Secret"), QStringLiteral("SECRET"));
    EXPECT_TRUE(admin::SetDatabasePassword(path, {}, 2));
    EXPECT_EQ(ui->messageTexts(), QStringList{kMismatch});
    EXPECT_TRUE(opens(path, QStringLiteral("Secret")));
    EXPECT_FALSE(opens(path, QString())) << "the file no longer opens without its password";
    EXPECT_FALSE(opens(path, QStringLiteral("SECRET")));
    EXPECT_EQ(core::DecodeString(setting(admin::net::kLumiNetPwd)), QStringLiteral("Secret"));
    EXPECT_FALSE(core::gOptions->SetPwd);
    EXPECT_FALSE(core::gOptions->CancelPwd);
}

TEST_F(NetworkDatabaseTest, RefusedPasswordsKeepTheWindowAndCancelKeepsTheFileAsItWas) {
    const QString path = copyToShare();
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    setPasswords(script, QStringLiteral("пароль"), QStringLiteral("пароль"));
    setPasswords(script, QString(41 - 2, QLatin1Char('p')), QString(41 - 2, QLatin1Char('p')));
    cancel(script, QStringLiteral("frmPwd"), QStringLiteral("cmdCancelOps"));
    EXPECT_FALSE(admin::SetDatabasePassword(path, {}, 2));
    ASSERT_EQ(ui->messageTexts().size(), 2);
    EXPECT_TRUE(ui->messageTexts()[0].contains(QStringLiteral("Latin-1")));
    EXPECT_TRUE(ui->messageTexts()[1].contains(QStringLiteral("at most 40 characters")));
    EXPECT_TRUE(opens(path, QString()));
    EXPECT_TRUE(setting(admin::net::kLumiNetPwd).isEmpty());
    EXPECT_FALSE(core::gOptions->CancelPwd);
    EXPECT_TRUE(script.done());
}

TEST_F(NetworkDatabaseTest, AConfirmationWithAnEmptyBoxWaitsForTheTypingAndTheCloseBoxCancels) {
    const QString path = copyToShare();
    {
        testsupport::ScopedScriptedUi ui;
        WindowScript script;
        script.then(QStringLiteral("frmPwd"), [](QWidget& w) { click(w, QStringLiteral("cmdSet")); });
        script.then(QStringLiteral("frmPwd"), [](QWidget& w) {
            type(w, QStringLiteral("tbxPwd(1)"), QStringLiteral("later"));
            type(w, QStringLiteral("tbxPwd(0)"), QStringLiteral("later")); // no second click
        });
        EXPECT_TRUE(admin::SetDatabasePassword(path, {}, 2));
        EXPECT_TRUE(ui->asked().empty());
    }
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    script.then(QStringLiteral("frmPwd"), [](QWidget& w) { w.close(); });
    EXPECT_FALSE(admin::SetDatabasePassword(path, QStringLiteral("later"), 2));
    EXPECT_TRUE(opens(path, QStringLiteral("later")));
}

// A password change while another administrator's program holds the database is refused with
// the reason before anything is asked, and changes nothing.
TEST_F(NetworkDatabaseTest, APasswordChangeIsRefusedWhileAnotherProgramIsConnected) {
    const QString path = copyToShare();
    Connection::setPassword(path, {}, QStringLiteral("old"));
    auto otherProgram = platform::db::PresenceHold::take(path);
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    EXPECT_FALSE(admin::SetDatabasePassword(path, QStringLiteral("old"), 2));
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("The database password can't be changed") +
                                              core::kOthersConnectedText});
    EXPECT_TRUE(script.shown().isEmpty()) << "no password was asked for";
    EXPECT_TRUE(opens(path, QStringLiteral("old")));
}

// --- Creation ----------------------------------------------------------------------------

class CreationTest : public NetworkDatabaseTest {
protected:
    void enterSuperAdmin(WindowScript& script, const QString& name, const QString& password,
                         const QString& confirmation, const QString& email) {
        script.then(QStringLiteral("frmSA"), [=](QWidget& w) {
            type(w, QStringLiteral("tbxUserAdminName"), name);
            type(w, QStringLiteral("tbxUserAdminPwd(0)"), password);
            type(w, QStringLiteral("tbxUserAdminPwd(1)"), confirmation);
            type(w, QStringLiteral("tbxEmail"), email);
            click(w, QStringLiteral("cmdOK"));
        });
    }
    QStringList budgetsColumns() {
        Connection db = openFile(path_, QStringLiteral("net pw"));
        QStringList names;
        const auto budgets = db.table(QStringLiteral("Budgets"));
        for (const auto& c : budgets->columns)
            names << c.name;
        return names;
    }
    QString path_;
};

TEST_F(CreationTest, MakesTheSuperAdministratorsAccountGrantColumnAndProfile) {
    path_ = copyToShare();
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    setPasswords(script, QStringLiteral("net pw"), QStringLiteral("net pw"));
    QStringList shownLocation;
    script.then(QStringLiteral("frmSA"), [&](QWidget& w) {
        shownLocation << control<QLineEdit>(w, QStringLiteral("tbxLocation"))->text()
                      << control<QLineEdit>(w, QStringLiteral("tbxDBPwd"))->text();
        type(w, QStringLiteral("tbxUserAdminName"), QStringLiteral("Ann"));
        type(w, QStringLiteral("tbxUserAdminPwd(0)"), QStringLiteral("s3cret"));
        type(w, QStringLiteral("tbxUserAdminPwd(1)"), QStringLiteral("S3CRET"));
        click(w, QStringLiteral("cmdOK")); // no e-mail yet: nothing happens
    });
    script.then(QStringLiteral("frmSA"),
                [](QWidget& w) { type(w, QStringLiteral("tbxEmail"), QStringLiteral("ann@example.org")); });
    ASSERT_TRUE(admin::CreateNetworkDatabase(path_));
    EXPECT_EQ(shownLocation, (QStringList{path_, QStringLiteral("net pw")}));
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Welcome, Super-Admin_User!")});

    EXPECT_FALSE(opens(path_, QString())) << "after creation the file does not open without the password";
    Connection db = openFile(path_, QStringLiteral("net pw"));
    Recordset account = Recordset::open(db, QStringLiteral("SELECT * FROM AdminUsers"));
    ASSERT_EQ(account.recordCount(), 1);
    EXPECT_EQ(account.value("AdminUser_Name").toString(), QStringLiteral("Ann"));
    EXPECT_EQ(core::DecodeString(account.value("AdminUser_Pwd").toString()), QStringLiteral("s3cret"));
    EXPECT_EQ(core::DecodeString(account.value("AdminUser_ID").toString()), QStringLiteral("Anns3cret"));
    EXPECT_EQ(core::DecodeString(account.value("SuperAdminUser_ID").toString()),
              QStringLiteral("net pwAnns3cret"));
    EXPECT_EQ(account.value("AdminUser_Email").toString(), QStringLiteral("ann@example.org"));
    const QStringList columns = budgetsColumns();
    ASSERT_EQ(columns.size(), 15);
    EXPECT_EQ(columns[14], QStringLiteral("Ann"));
    Recordset profile = Recordset::open(db, QStringLiteral("SELECT * FROM SuperAdminUser ORDER BY rowid"));
    ASSERT_EQ(profile.recordCount(), 2) << "beside the placeholder row";
    profile.moveLast();
    EXPECT_EQ(profile.value("Super_Admin_Name").toString(), QStringLiteral("Ann"));
    EXPECT_EQ(core::DecodeString(profile.value("Copy_Permissions").toString()), QStringLiteral("False"));
    EXPECT_EQ(core::DecodeString(profile.value("View_Mode").toString()), QStringLiteral("All"));

    EXPECT_FALSE(setting(admin::net::kLumiNetConn).contains(QStringLiteral("net pw")));
    EXPECT_TRUE(setting(admin::net::kLumiNetConn).contains(path_));
    EXPECT_EQ(setting(admin::net::kLumiNetPath), path_);
    const core::cOptions& options = *core::gOptions;
    EXPECT_TRUE(options.SAAuth);
    EXPECT_TRUE(options.LoggedOn);
    EXPECT_EQ(options.LumiAdminUserName, QStringLiteral("Ann"));
    EXPECT_EQ(options.LumiAUID, setting(admin::net::kLumiAUID));
    EXPECT_EQ(core::DecodeString(options.LumiSAID), QStringLiteral("net pwAnns3cret"));
    EXPECT_EQ(core::gCnn->LumiCnnPath(), path_);
    EXPECT_TRUE(platform::db::PresenceHold::isHeld(path_));
}

TEST_F(CreationTest, RefusesMismatchesAndNamesOfBudgetsColumnsBeforeStoringAnything) {
    path_ = copyToShare();
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    setPasswords(script, QStringLiteral("net pw"), QStringLiteral("net pw"));
    enterSuperAdmin(script, QStringLiteral("Ann"), QStringLiteral("one"), QStringLiteral("two"),
                    QStringLiteral("a@b"));
    enterSuperAdmin(script, QStringLiteral("active"), QStringLiteral("pw"), QStringLiteral("pw"),
                    QStringLiteral("a@b"));
    enterSuperAdmin(script, QStringLiteral("O'Brien \"Ann\""), QStringLiteral("pw"), QStringLiteral("pw"),
                    QStringLiteral("a@b"));
    ASSERT_TRUE(admin::CreateNetworkDatabase(path_));
    ASSERT_EQ(ui->messageTexts().size(), 3);
    EXPECT_EQ(ui->messageTexts()[0], kMismatch);
    EXPECT_EQ(ui->messageTexts()[1],
              QStringLiteral(
                  "'active' is the name of a column of the Budgets table.  Choose another AdminUser name."));
    EXPECT_EQ(budgetsColumns().last(), QStringLiteral("O'Brien \"Ann\"")) << "quotes are allowed";
}

TEST_F(CreationTest, CancelInTheSuperAdministratorWindowStoresNoAccount) {
    path_ = copyToShare();
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    setPasswords(script, QStringLiteral("net pw"), QStringLiteral("net pw"));
    cancel(script, QStringLiteral("frmSA"), QStringLiteral("cmdCancel"));
    EXPECT_FALSE(admin::CreateNetworkDatabase(path_));
    EXPECT_TRUE(ui->asked().empty());
    Connection db = openFile(path_, QStringLiteral("net pw"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM AdminUsers")).toInt(), 0);
    EXPECT_EQ(budgetsColumns().size(), 14);
    EXPECT_FALSE(core::gOptions->SAAuth);
    EXPECT_FALSE(core::gOptions->CancelPwd);
}

TEST_F(CreationTest, CancelInThePasswordWindowEndsBeforeAnySetting) {
    path_ = copyToShare();
    testsupport::ScopedScriptedUi ui;
    WindowScript script;
    cancel(script, QStringLiteral("frmPwd"), QStringLiteral("cmdCancelOps"));
    EXPECT_FALSE(admin::CreateNetworkDatabase(path_));
    EXPECT_TRUE(setting(admin::net::kLumiNetPath).isEmpty());
    EXPECT_EQ(core::gCnn->LumiCnnPath(), localPath_);
    EXPECT_TRUE(opens(path_, QString()));
}

} // namespace
