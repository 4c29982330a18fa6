// The admin grid of the configuration window on a real master database: authors and mail
// robots stored as they are typed, defaults, names in another case, renames, the default
// check of OK, Add and Delete, and the two kinds' views.
#include "ConfigureFixture.h"
#include "admin/ConfigGrids.h"
#include "support/ScriptedUi.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using admin::frmConfigure;
using admintest::ConfigureFixture;

const QString kAccounts = QStringLiteral(
    "SELECT Admin_Name, Admin_Email_Address, Mail_Server, Pop3_Account, Pop3_Server, \"Default\", "
    "Default_Robot, RecType FROM Admin WHERE RecType IS NOT NULL ORDER BY rowid");

class AdminAccounts : public ConfigureFixture {
protected:
    void addAccount(const QString& name, const QString& kind, int isDefault, const QString& server = {}) {
        const bool author = kind == QLatin1String("Author");
        execute(QStringLiteral(
                    "INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, Pop3_Account, "
                    "Pop3_Server, \"Default\", Default_Robot, RecType) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                {name, name.toLower() + QStringLiteral("@example.org"), server, author ? QVariant() : name,
                 author ? QVariant() : QStringLiteral("pop.example.org"), author ? isDefault : 0,
                 author ? 0 : isDefault, kind});
    }

    platform::ui::EditGrid* grid() { return window_->dtAdmin(); }
    void click(const char* name) { window_->findChild<QPushButton*>(QLatin1String(name))->click(); }
    QCheckBox* box(const char* name) { return window_->findChild<QCheckBox*>(QLatin1String(name)); }
};

TEST_F(AdminAccounts, ANameOnlyAuthorIsStoredOnceItsAddressIsTyped) {
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kAdminTab);
    EXPECT_EQ(grid()->rowCount(), 0) << "the placeholder row is of neither kind";
    click("cmdAddAdmin");
    EXPECT_TRUE(core::gOptions->AddRecord);
    typeInto(grid(), 0, admin::kAdminName, QStringLiteral("O'Brien"));
    EXPECT_EQ(rows(kAccounts), QStringList{}) << "nothing without the address";
    EXPECT_TRUE(core::gOptions->AddRecord);

    typeInto(grid(), 0, admin::kAdminEmail, QStringLiteral("ob@example.org"));
    EXPECT_EQ(rows(kAccounts),
              QStringList{QStringLiteral("O'Brien|ob@example.org||<null>|<null>|0|0|Author")});
    EXPECT_FALSE(core::gOptions->AddRecord);
    EXPECT_TRUE(grid()->isRequiredCell(0, admin::kAdminName)) << "not filled again without a mail server";

    typeInto(grid(), 0, admin::kAdminMailServer, QStringLiteral("smtp.example.org"));
    EXPECT_EQ(rows(kAccounts), QStringList{QStringLiteral(
                                   "O'Brien|ob@example.org|smtp.example.org|<null>|<null>|0|0|Author")});
    EXPECT_FALSE(grid()->isRequiredCell(0, admin::kAdminName)) << "filled again from the table";
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(AdminAccounts, TickingADefaultClearsTheOtherDefaultAndOkInsistsOnOne) {
    addAccount(QStringLiteral("Ann"), QStringLiteral("Author"), 1, QStringLiteral("smtp"));
    addAccount(QStringLiteral("Bob"), QStringLiteral("Author"), 0, QStringLiteral("smtp"));
    addAccount(QStringLiteral("Desk"), QStringLiteral("Robot"), 1, QStringLiteral("smtp"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kAdminTab);
    ASSERT_EQ(shown(grid(), {admin::kAdminDefault, admin::kAdminName}),
              (QStringList{QStringLiteral("1|Ann"), QStringLiteral("0|Bob")}));

    toggle(grid(), 1, admin::kAdminDefault);
    EXPECT_EQ(rows(QStringLiteral("SELECT Admin_Name, \"Default\", Default_Robot FROM Admin ORDER BY rowid")),
              (QStringList{QStringLiteral("<Dummy record>|0|0"), QStringLiteral("Ann|0|0"),
                           QStringLiteral("Bob|1|0"), QStringLiteral("Desk|0|1")}))
        << "the robot's default is of the other kind";
    EXPECT_EQ(shown(grid(), {admin::kAdminDefault, admin::kAdminName}),
              (QStringList{QStringLiteral("0|Ann"), QStringLiteral("1|Bob")}));

    toggle(grid(), 1, admin::kAdminDefault);
    click("cmdOK");
    EXPECT_EQ(ui->messageTexts(), QStringList{frmConfigure::kDefaultAuthorText});
    EXPECT_EQ(ui->asked().back().title, QStringLiteral("Lumivane"));
    EXPECT_TRUE(window_->isVisible()) << "the window stays open";
    click("cmdCancel");
    EXPECT_FALSE(window_ && window_->isVisible()) << "Cancel closes without the check";
    EXPECT_EQ(ui->messageTexts().size(), 1);
}

TEST_F(AdminAccounts, OkChecksTheDefaultAuthorOfTheTableAsItIs) {
    struct Case {
        const char* name;
        QStringList statements;
        bool closes;
    };
    const QList<Case> cases = {
        {"placeholder only", {}, false},
        {"no rows at all", {QStringLiteral("DELETE FROM Admin")}, true},
        {"one default author",
         {QStringLiteral("INSERT INTO Admin (Admin_Name, \"Default\", RecType) VALUES ('Ann', 1, 'author')")},
         true},
        {"two default authors",
         {QStringLiteral("INSERT INTO Admin (Admin_Name, \"Default\", RecType) VALUES ('Ann', 1, 'Author')"),
          QStringLiteral("INSERT INTO Admin (Admin_Name, \"Default\", RecType) VALUES ('Bob', 1, 'Author')")},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute(QStringLiteral("DELETE FROM Admin"));
        execute(QStringLiteral("INSERT INTO Admin (Admin_Name) VALUES ('<Dummy record>')"));
        for (const QString& statement : c.statements)
            execute(statement);
        testsupport::ScopedScriptedUi ui;
        open(frmConfigure::kAdminTab);
        click("cmdOK");
        EXPECT_EQ(window_->isVisible(), !c.closes);
        EXPECT_EQ(ui->messageTexts(),
                  c.closes ? QStringList{} : QStringList{frmConfigure::kDefaultAuthorText});
        delete window_.data();
    }
}

TEST_F(AdminAccounts, ANameTypedInAnotherCaseUpdatesTheOneAccountAndARenameAddsOne) {
    addAccount(QStringLiteral("Bob"), QStringLiteral("Author"), 1, QStringLiteral("smtp"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kAdminTab);
    click("cmdAddAdmin");
    typeInto(grid(), 1, admin::kAdminName, QStringLiteral("bob"));
    typeInto(grid(), 1, admin::kAdminEmail, QStringLiteral("bob@new.example.org"));
    EXPECT_EQ(rows(kAccounts),
              QStringList{QStringLiteral("bob|bob@new.example.org||<null>|<null>|0|0|Author")})
        << "the stored row takes the new form and the new row's values";

    execute(
        QStringLiteral("UPDATE Admin SET Mail_Server = 'smtp', \"Default\" = 1 WHERE RecType = 'Author'"));
    admin::LoadAdminGrid();
    typeInto(grid(), 0, admin::kAdminName, QStringLiteral("Robert"));
    EXPECT_EQ(
        rows(QStringLiteral("SELECT Admin_Name, \"Default\" FROM Admin WHERE RecType = 'Author' ORDER BY "
                            "rowid")),
        (QStringList{QStringLiteral("bob|0"), QStringLiteral("Robert|1")}))
        << "the old name stays; the new one is the default now";
}

TEST_F(AdminAccounts, ARobotIsStoredOnceAllFiveCellsAreFilledAndShownInTheRobotsView) {
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kAdminTab);
    box("chkRobot")->setChecked(true);
    EXPECT_FALSE(box("chkAuthors")->isChecked());
    EXPECT_FALSE(core::gOptions->AdminControl);
    EXPECT_TRUE(grid()->isColumnHidden(admin::kAdminDefault));
    for (int column : {admin::kAdminDefaultRobot, admin::kAdminPop3Account, admin::kAdminPop3Server})
        EXPECT_FALSE(grid()->isColumnHidden(column)) << column;
    EXPECT_EQ(grid()->column(admin::kAdminDefaultRobot).heading, QStringLiteral("Default"));
    EXPECT_EQ(grid()->column(admin::kAdminName).heading, QStringLiteral("Account Name"));

    click("cmdAddAdmin");
    for (int column : {admin::kAdminName, admin::kAdminEmail, admin::kAdminMailServer,
                       admin::kAdminPop3Account, admin::kAdminPop3Server})
        EXPECT_TRUE(grid()->isRequiredCell(0, column)) << column;
    const QStringList typed = {QStringLiteral("Returns"), QStringLiteral("returns@example.org"),
                               QStringLiteral("smtp.example.org"), QStringLiteral("returns"),
                               QStringLiteral("pop.example.org")};
    const QList<int> columns = {admin::kAdminName, admin::kAdminEmail, admin::kAdminMailServer,
                                admin::kAdminPop3Account, admin::kAdminPop3Server};
    toggle(grid(), 0, admin::kAdminDefaultRobot);
    for (int i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(rows(kAccounts), QStringList{}) << "stored before cell " << columns[i];
        typeInto(grid(), 0, columns[i], typed[i]);
    }
    EXPECT_EQ(rows(kAccounts),
              QStringList{QStringLiteral(
                  "Returns|returns@example.org|smtp.example.org|returns|pop.example.org|0|1|Robot")});
    EXPECT_EQ(admin::CheckAdminDefaults(1), 2);
}

// The servers' addresses ("host:port") of both views are seen whole in their columns.
TEST_F(AdminAccounts, ServerAddressesAreSeenWhole) {
    execute(QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, Pop3_Server, "
                           "Pop3_Account, RecType, Default_Robot) VALUES ('Returns', 'r@example.org', "
                           "'outgoing-relay.budget-office.example.org:2525', "
                           "'incoming-mailbox.budget-office.example.org:1110', 'returns', 'Robot', 1)"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kAdminTab);
    box("chkRobot")->setChecked(true);
    ASSERT_EQ(grid()->rowCount(), 1);
    const QFontMetrics metrics = grid()->view()->fontMetrics();
    for (int column : {admin::kAdminMailServer, admin::kAdminPop3Server})
        EXPECT_GT(grid()->view()->columnWidth(column), metrics.horizontalAdvance(grid()->cellText(0, column)))
            << column;
}

TEST_F(AdminAccounts, AddWhileTheLastNameIsEmptyAsksForItFirst) {
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kAdminTab);
    click("cmdAddAdmin");
    click("cmdAddAdmin");
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Enter a value before the next 'Add'.")});
    EXPECT_EQ(ui->asked().front().title, QStringLiteral("Lumivane"));
}

TEST_F(AdminAccounts, DeleteTellsAnAuthorFromARobotOfTheSameName) {
    addAccount(QStringLiteral("Mail Desk"), QStringLiteral("Robot"), 1, QStringLiteral("smtp"));
    addAccount(QStringLiteral("Mail Desk"), QStringLiteral("Author"), 1, QStringLiteral("smtp"));
    addAccount(QStringLiteral("Zed"), QStringLiteral("Author"), 0, QStringLiteral("smtp"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kAdminTab);
    grid()->setCurrentCell(0, admin::kAdminName);
    EXPECT_EQ(grid()->cellText(0, admin::kAdminDefaultRobot), QStringLiteral("0"))
        << "an author's robot-default cell holds 0, so Delete goes on";
    click("cmdDeleteAdmin");
    EXPECT_EQ(rows(QStringLiteral("SELECT Admin_Name, RecType FROM Admin WHERE RecType IS NOT NULL")),
              (QStringList{QStringLiteral("Mail Desk|Robot"), QStringLiteral("Zed|Author")}));
    EXPECT_EQ(shown(grid(), {admin::kAdminName}), QStringList{QStringLiteral("Zed")});

    // A row that is not in the table (gone meanwhile) is not deleted; the grid shows the table.
    execute(QStringLiteral("DELETE FROM Admin WHERE Admin_Name = 'Zed'"));
    grid()->setCurrentCell(0, admin::kAdminName);
    click("cmdDeleteAdmin");
    EXPECT_EQ(grid()->rowCount(), 0);
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(AdminAccounts, ClearingAuthorsByHandShowsTheRobotsInTheAuthorsColumns) {
    addAccount(QStringLiteral("Ann"), QStringLiteral("Author"), 1, QStringLiteral("smtp"));
    addAccount(QStringLiteral("Desk"), QStringLiteral("Robot"), 1, QStringLiteral("smtp"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kAdminTab);
    box("chkAuthors")->setChecked(false);
    EXPECT_FALSE(box("chkRobot")->isChecked());
    EXPECT_EQ(shown(grid(), {admin::kAdminName}), QStringList{QStringLiteral("Desk")});
    EXPECT_FALSE(grid()->isColumnHidden(admin::kAdminDefault));
    EXPECT_TRUE(grid()->isColumnHidden(admin::kAdminPop3Server));
    EXPECT_EQ(grid()->column(admin::kAdminName).heading, QStringLiteral("Author Name"));
}

TEST_F(AdminAccounts, TheDefaultCheckCountsEachKind) {
    struct Case {
        const char* name;
        QStringList accounts; // name, kind, default flag
        qint32 authorResult;
        qint32 robotResult;
    };
    const QList<Case> cases = {
        {"empty table", {}, 0, 0},
        {"placeholder only", {QStringLiteral("<Dummy record>||0")}, 1, 4},
        {"one default author", {QStringLiteral("Ann|AUTHOR|1"), QStringLiteral("Bob|Author|0")}, 0, 4},
        {"robots, one default",
         {QStringLiteral("Ann|Author|1"), QStringLiteral("R1|Robot|1"), QStringLiteral("R2|Robot|0")},
         0,
         2},
        {"robots, two defaults", {QStringLiteral("R1|Robot|1"), QStringLiteral("R2|Robot|1")}, 1, 3},
        {"robots, no default", {QStringLiteral("R1|Robot|0")}, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute(QStringLiteral("DELETE FROM Admin"));
        for (const QString& account : c.accounts) {
            const QStringList parts = account.split(QLatin1Char('|'));
            const bool robot = parts[1].compare(QStringLiteral("Robot"), Qt::CaseInsensitive) == 0;
            execute(QStringLiteral("INSERT INTO Admin (Admin_Name, RecType, \"Default\", Default_Robot) "
                                   "VALUES (?, ?, ?, ?)"),
                    {parts[0], parts[1].isEmpty() ? QVariant() : parts[1], robot ? 0 : parts[2].toInt(),
                     robot ? parts[2].toInt() : 0});
        }
        EXPECT_EQ(admin::CheckAdminDefaults(0), c.authorResult);
        EXPECT_EQ(admin::CheckAdminDefaults(1), c.robotResult);
        EXPECT_EQ(admin::CheckAdminDefaults(7), 0);
    }
}

} // namespace
