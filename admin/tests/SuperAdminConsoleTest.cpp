// The super-administrator console on a real network database: what it reads and writes at
// opening and closing, the profile options with every shape of the profile, the password
// change (also refused while another program holds the database, in another process), and
// the move of the database with its checks.
#include "NetworkDbFixture.h"
#include "admin/frmSuperAdmin.h"
#include "core/RunGuard.h"
#include "platform/db/Presence.h"
#include "platform/db/tests/DbPeer.h"
#include "platform/ui/EditGrid.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace admintest;
using platform::ui::Answer;

namespace {

const QString kDbPassword = QStringLiteral("pw");
const Account kSuper{QStringLiteral("Ann"), QStringLiteral("s3cret"), QStringLiteral("ann@example.org")};
const Account kAdmin{QStringLiteral("Bob"), QStringLiteral("b0b"), QStringLiteral("bob@example.org")};
const QString kCorrupted =
    QStringLiteral("The SuperAdminUser profile is corrupted and needs to be re-created.");

class ConsoleTest : public NetworkDbFixture {
protected:
    void SetUp() override {
        NetworkDbFixture::SetUp();
        makeNetworkDatabase(kDbPassword, {kSuper, kAdmin});
        logOn(kSuper, true);
        admin::net::write(admin::net::kLumiNetPath, netPath_);
    }
    QPointer<admin::frmSuperAdmin> open() {
        auto* console = new admin::frmSuperAdmin;
        console->show();
        return console;
    }
    // The profile rows in order: name, decoded Copy_Permissions, decoded View_Mode.
    QStringList profile() {
        Connection db = openNetwork();
        QStringList rows;
        for (Recordset r = Recordset::open(db, QStringLiteral("SELECT * FROM SuperAdminUser ORDER BY rowid"));
             !r.eof(); r.moveNext())
            rows << r.value(0).toString() + QLatin1Char('|') + core::DecodeString(r.value(1).toString()) +
                        QLatin1Char('|') + core::DecodeString(r.value(2).toString());
        return rows;
    }
    void setProfile(const QStringList& names) {
        Connection db = openNetwork();
        db.execute(QStringLiteral("DELETE FROM SuperAdminUser"));
        for (const QString& name : names)
            db.execute(QStringLiteral("INSERT INTO SuperAdminUser VALUES (?, ?, ?)"),
                       {name, core::EncodeString(QStringLiteral("False")),
                        core::EncodeString(QStringLiteral("All"))});
    }
    // The password window, when it opens, gets the new password typed twice and Set.
    static void setNewPassword(WindowScript& script, const QString& password) {
        script.then(QStringLiteral("frmPwd"), [password](QWidget& w) {
            type(w, QStringLiteral("tbxPwd(0)"), password);
            type(w, QStringLiteral("tbxPwd(1)"), password);
            click(w, QStringLiteral("cmdSet"));
        });
    }
};

struct ProfileRow {
    const char* name;
    QStringList before;
    QStringList copyAfter; // after ticking "Require permission to copy"
    QStringList viewAfter; // after choosing "Context Only"
    QStringList messages;
};

void PrintTo(const ProfileRow& row, std::ostream* out) {
    *out << row.name;
}

class ProfileShapes : public ConsoleTest, public ::testing::WithParamInterface<ProfileRow> {};

TEST_P(ProfileShapes, TheOptionsWriteWhereTheProfileAllows) {
    const ProfileRow& row = GetParam();
    setProfile(row.before);
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    ui->clear();
    console->chkCopyPerm()->click();
    EXPECT_EQ(profile(), row.copyAfter);
    EXPECT_EQ(ui->messageTexts(), row.messages);
    setProfile(row.before);
    console->optBudgets()->click();
    EXPECT_EQ(profile(), row.viewAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, ProfileShapes,
    ::testing::Values(ProfileRow{"OnlyThePlaceholder",
                                 {QStringLiteral("<Dummy record>")},
                                 {QStringLiteral("<Dummy record>|True|All")},
                                 {QStringLiteral("<Dummy record>|False|All")},
                                 {}},
                      ProfileRow{
                          "PlaceholderThenRealRow",
                          {QStringLiteral("<Dummy record>"), QStringLiteral("Ann")},
                          {QStringLiteral("Ann|True|All")},
                          {QStringLiteral("<Dummy record>|False|All"), QStringLiteral("Ann|False|Context")},
                          {}},
                      ProfileRow{"TwoRealRows",
                                 {QStringLiteral("Ann"), QStringLiteral("Zed")},
                                 {QStringLiteral("Ann|False|All"), QStringLiteral("Zed|False|All")},
                                 {QStringLiteral("Ann|False|Context"), QStringLiteral("Zed|False|All")},
                                 {kCorrupted}}),
    [](const ::testing::TestParamInfo<ProfileRow>& info) { return std::string(info.param.name); });

TEST_F(ConsoleTest, OpeningAppliesTheStoredOptionsAndClosingKeepsThem) {
    setProfile({QStringLiteral("<Dummy record>"), QStringLiteral("Ann")});
    admin::net::write(QStringLiteral("CopyPerm"), QStringLiteral("1"));
    admin::net::write(QStringLiteral("ViewAll"), QStringLiteral("False"));
    admin::net::write(QStringLiteral("ViewContext"), QStringLiteral("True"));
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    EXPECT_EQ(console->tbxLocation()->text(), netPath_);
    EXPECT_EQ(console->pos(), QPoint(0, 0));
    EXPECT_TRUE(console->chkCopyPerm()->isChecked());
    EXPECT_TRUE(console->optBudgets()->isChecked());
    EXPECT_FALSE(console->chkEncoding()->isChecked());
    EXPECT_EQ(profile(), QStringList{QStringLiteral("Ann|True|Context")})
        << "the stored options are written again";
    EXPECT_EQ(console->dtAdminUsers()->rowCount(), 2);
    EXPECT_EQ(console->dtBudgets()->columnCount(), 5);

    console->chkEncoding()->click();
    console->optAll()->click();
    console->cmdCancel()->click();
    EXPECT_EQ(setting(QStringLiteral("Encoding")), QStringLiteral("1"));
    EXPECT_EQ(setting(QStringLiteral("CopyPerm")), QStringLiteral("1"));
    EXPECT_EQ(setting(QStringLiteral("ViewAll")), QStringLiteral("True"));
    EXPECT_EQ(setting(QStringLiteral("ViewContext")), QStringLiteral("False"));
}

TEST_F(ConsoleTest, AnAdministratorWhoIsNotTheSuperAdministratorSeesNoGrids) {
    logOn(kAdmin, false);
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    EXPECT_EQ(console->dtAdminUsers()->rowCount(), 0);
    EXPECT_EQ(console->dtBudgets()->columnCount(), 0);
    console->close();
    admin::net::write(QStringLiteral("Encoding"), QStringLiteral("1"));
    console = open();
    EXPECT_EQ(console->dtAdminUsers()->rowCount(), 2) << "unless Show Encoding was stored ticked";
}

// Typing into the accounts grid stores through the window: a new account, with its password
// taken as typed, and the record counter follows the cursor.
TEST_F(ConsoleTest, AnAccountTypedIntoTheGridIsStored) {
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    platform::ui::EditGrid* grid = console->dtAdminUsers();
    console->cmdAddAU()->click();
    const int row = grid->rowCount() - 1;
    grid->editCell(row, 0, QStringLiteral("Carl"));
    grid->editCell(row, 1, QStringLiteral("3xyz")); // a typed password, even one that decodes
    grid->editCell(row, 3, QStringLiteral("carl@example.org"));
    processDeletes();
    Connection db = openNetwork();
    EXPECT_EQ(
        core::DecodeString(
            db.scalar(QStringLiteral("SELECT AdminUser_Pwd FROM AdminUsers WHERE AdminUser_Name = 'Carl'"))
                .toString()),
        QStringLiteral("3xyz"));
    EXPECT_EQ(console->dtBudgets()->columnCount(), 6) << "the permissions grid shows Carl's grant column";
    grid->setCurrentCell(1, 0);
    EXPECT_EQ(console->findChild<QLabel*>(QStringLiteral("lblRecordAU"))->text(), QStringLiteral("Record 2"));
}

// --- The password -------------------------------------------------------------------------

TEST_F(ConsoleTest, ChangeSetsTheNewPasswordAndRebuildsTheSuperAdministratorIdentifier) {
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    WindowScript script;
    setNewPassword(script, QStringLiteral("n3w pw"));
    console->cmdChangePwd()->click();
    EXPECT_TRUE(opens(netPath_, QStringLiteral("n3w pw")));
    EXPECT_FALSE(opens(netPath_, kDbPassword));
    netPassword_ = QStringLiteral("n3w pw");
    Connection db = openNetwork();
    const QString saId =
        db.scalar(QStringLiteral("SELECT SuperAdminUser_ID FROM AdminUsers WHERE AdminUser_Name = 'Ann'"))
            .toString();
    EXPECT_EQ(core::DecodeString(saId), QStringLiteral("n3w pwAnns3cret"));
    EXPECT_EQ(core::DecodeString(core::gOptions->LumiSAID), QStringLiteral("n3w pwAnns3cret"));
    EXPECT_EQ(core::gOptions->LumiSAID, setting(admin::net::kLumiSAID));
    EXPECT_FALSE(setting(admin::net::kLumiNetConn).contains(QStringLiteral("n3w")));
    // The next query of the program goes through with the new password.
    Connection current;
    current.open(core::gCnn->LumiCnn());
    EXPECT_EQ(current.scalar(QStringLiteral("SELECT count(*) FROM AdminUsers")).toInt(), 2);
}

TEST_F(ConsoleTest, ACancelledChangeKeepsThePasswordAndWritesTheSameIdentifierAnew) {
    Connection db = openNetwork();
    const QString before =
        db.scalar(QStringLiteral("SELECT SuperAdminUser_ID FROM AdminUsers WHERE AdminUser_Name = 'Ann'"))
            .toString();
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    WindowScript script;
    script.then(QStringLiteral("frmPwd"), [](QWidget& w) { click(w, QStringLiteral("cmdCancelOps")); });
    console->cmdChangePwd()->click();
    const QString after =
        db.scalar(QStringLiteral("SELECT SuperAdminUser_ID FROM AdminUsers WHERE AdminUser_Name = 'Ann'"))
            .toString();
    EXPECT_NE(after, before);
    EXPECT_EQ(core::DecodeString(after), core::DecodeString(before));
    EXPECT_TRUE(opens(netPath_, kDbPassword));
}

// The identifier cannot be written into the re-keyed file (a trigger refuses it): the change is
// all or nothing, so the file keeps its password and the super-administrator still logs on.
TEST_F(ConsoleTest, AChangeWhoseIdentifierCannotBeWrittenChangesNothing) {
    Connection db = openNetwork();
    const QString before =
        db.scalar(QStringLiteral("SELECT SuperAdminUser_ID FROM AdminUsers WHERE AdminUser_Name = 'Ann'"))
            .toString();
    db.execute(QStringLiteral("CREATE TRIGGER refuse_identifier BEFORE UPDATE OF SuperAdminUser_ID ON "
                              "AdminUsers BEGIN SELECT RAISE(ABORT, 'identifier refused'); END"));
    db.close();
    const QString savedPassword = setting(admin::net::kLumiNetPwd);
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    ui->clear();
    WindowScript script;
    setNewPassword(script, QStringLiteral("n3w pw"));
    console->cmdChangePwd()->click();
    ASSERT_FALSE(ui->messageTexts().isEmpty());
    EXPECT_TRUE(ui->messageTexts().first().contains(QStringLiteral("identifier refused")))
        << ui->messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(opens(netPath_, kDbPassword));
    EXPECT_FALSE(opens(netPath_, QStringLiteral("n3w pw")));
    EXPECT_EQ(setting(admin::net::kLumiNetPwd), savedPassword);
    Connection after = openNetwork();
    EXPECT_EQ(
        after.scalar(QStringLiteral("SELECT SuperAdminUser_ID FROM AdminUsers WHERE AdminUser_Name = 'Ann'"))
            .toString(),
        before);
    EXPECT_EQ(core::DecodeString(core::gOptions->LumiSAID), kDbPassword + QStringLiteral("Anns3cret"));
}

// While a run is under way the console's Change and Move are refused with the run's message,
// before any dialog, and the database stays as it was.
TEST_F(ConsoleTest, ChangeAndMoveAreRefusedDuringARun) {
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    ui->clear();
    WindowScript script;
    {
        const core::RunGuard::Token run;
        console->cmdChangePwd()->click();
        console->cmdLocation()->click();
    }
    EXPECT_EQ(ui->messageTexts(), (QStringList{core::RunGuard::kRefusedText, core::RunGuard::kRefusedText}));
    EXPECT_TRUE(script.shown().isEmpty());
    EXPECT_EQ(ui->asked().size(), 2u);
    EXPECT_TRUE(opens(netPath_, kDbPassword));
    EXPECT_EQ(setting(admin::net::kLumiNetPath), netPath_);
}

// Another administrator's program, in another process, holds the database: the change is
// refused with the reason, and nothing changes; once that program has gone, it goes through.
TEST_F(ConsoleTest, ChangeIsRefusedWhileAnotherProcessHoldsTheDatabase) {
    dbtest::DbPeer other;
    ASSERT_EQ(other.ask({QStringLiteral("hold"), netPath_}), QStringLiteral("ok"));
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    ui->clear();
    WindowScript script;
    console->cmdChangePwd()->click();
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("The database password can't be changed") +
                                              core::kOthersConnectedText});
    EXPECT_TRUE(script.shown().isEmpty());
    EXPECT_TRUE(opens(netPath_, kDbPassword));

    ASSERT_EQ(other.ask({QStringLiteral("release")}), QStringLiteral("ok"));
    setNewPassword(script, QStringLiteral("later"));
    console->cmdChangePwd()->click();
    EXPECT_TRUE(opens(netPath_, QStringLiteral("later")));
}

// --- Moving the file ------------------------------------------------------------------------

TEST_F(ConsoleTest, MoveCopiesChecksSwitchesAndOnlyThenRemovesTheOriginal) {
    const QString target = testsupport::freshDir(QStringLiteral("moved"));
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    ui->clear();
    ui->answerTexts({target + QStringLiteral("/Lumimaster.mdb"), target + QStringLiteral("/lumimaster.mdb"),
                     target + QStringLiteral("/lumimaster.mdb")});
    ui->answerMessages({Answer::No, Answer::Yes});
    console->cmdLocation()->click();
    const QString moved = target + QStringLiteral("/lumimaster.mdb");
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{QStringLiteral("Move database here?"), QStringLiteral("Move database here?")}));
    EXPECT_FALSE(ui->asked()[0].confirmOverwrite) << "the program refuses an existing file itself";
    EXPECT_FALSE(QFile::exists(netPath_)) << "the original is gone";
    EXPECT_FALSE(QFile::exists(platform::db::PresenceHold::presencePath(netPath_)));
    EXPECT_TRUE(opens(moved, kDbPassword));
    EXPECT_EQ(setting(admin::net::kLumiNetPath), moved);
    EXPECT_TRUE(setting(admin::net::kLumiNetConn).contains(moved));
    EXPECT_EQ(core::gCnn->LumiCnnPath(), moved);
    EXPECT_TRUE(platform::db::PresenceHold::isHeld(moved));
    Connection current;
    current.open(core::gCnn->LumiCnn());
    EXPECT_EQ(current.scalar(QStringLiteral("SELECT count(*) FROM AdminUsers")).toInt(), 2);
}

// The Budgets Explorer and the wizard show the database; after a move they would go on with
// the old file, so the move closes them as the password change does.
TEST_F(ConsoleTest, MoveClosesTheWindowsThatShowTheDatabase) {
    const QString target = testsupport::freshDir(QStringLiteral("moved"));
    QPointer<QWidget> explorer = new QWidget;
    explorer->setObjectName(QStringLiteral("frmDataTable"));
    QPointer<QWidget> wizard = new QWidget;
    wizard->setObjectName(QStringLiteral("frmWizard"));
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    ui->answerTexts({target + QStringLiteral("/lumimaster.mdb")});
    ui->answerMessages({Answer::Yes});
    console->cmdLocation()->click();
    ASSERT_EQ(core::gCnn->LumiCnnPath(), target + QStringLiteral("/lumimaster.mdb"));
    EXPECT_TRUE(explorer.isNull());
    EXPECT_TRUE(wizard.isNull());
    delete explorer.data();
    delete wizard.data();
}

TEST_F(ConsoleTest, MoveRefusesAFolderWithADatabaseAFailedCopyAndOtherAdministrators) {
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmSuperAdmin> console = open();
    ui->clear();
    // The folder of the current database.
    ui->answerTexts({netPath_});
    ui->answerMessages({Answer::Yes});
    console->cmdLocation()->click();
    EXPECT_EQ(ui->messageTexts().last(),
              QStringLiteral("A Lumivane network database exists at this location."));
    // A folder that does not exist: the copy fails and the database stays.
    ui->answerTexts({QStringLiteral("/nonexistent/folder/lumimaster.mdb")});
    ui->answerMessages({Answer::Yes});
    console->cmdLocation()->click();
    EXPECT_TRUE(ui->messageTexts().last().startsWith(QStringLiteral("Error ")))
        << ui->messageTexts().last().toStdString();
    // Another administrator connected: refused before any dialog.
    auto otherProgram = platform::db::PresenceHold::take(netPath_);
    ui->clear();
    console->cmdLocation()->click();
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("The database can't be moved") + core::kOthersConnectedText});
    EXPECT_TRUE(opens(netPath_, kDbPassword));
    EXPECT_EQ(setting(admin::net::kLumiNetPath), netPath_);
}

} // namespace
