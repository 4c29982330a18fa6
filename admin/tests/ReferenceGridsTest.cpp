// The folder-names, users and messages grids of the configuration window on a real master
// database: renames by the text before the edit, new rows, the 255-character limit, the two
// message kinds, users found by their exact name, the folder completion, and the pick list.
#include "ConfigureFixture.h"
#include "admin/ConfigGrids.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using admin::frmConfigure;
using admintest::ConfigureFixture;

const QString kPlaceholder = QStringLiteral("<Dummy record>");
const QString kFolders = QStringLiteral("SELECT Folder_Name FROM FolderNames ORDER BY rowid");
const QString kUsers =
    QStringLiteral("SELECT Users, Email_Address, Folder_Name FROM UsersData ORDER BY rowid");

class ReferenceGrids : public ConfigureFixture {
protected:
    void addFolders(const QStringList& names) {
        execute(QStringLiteral("DELETE FROM FolderNames"));
        for (const QString& name : names)
            execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES (?)"), {name});
    }
    void addUser(const QString& name, const QString& folder) {
        execute(QStringLiteral("DELETE FROM UsersData WHERE Users = '<Dummy record>'"));
        execute(QStringLiteral("INSERT INTO UsersData (Users, Email_Address, Folder_Name) VALUES (?, ?, ?)"),
                {name, name.toLower() + QStringLiteral("@example.org"), folder});
    }
    void click(const char* name) { window_->findChild<QPushButton*>(QLatin1String(name))->click(); }
};

TEST_F(ReferenceGrids, AFolderNameIsRenamedInPlaceAndItsUsersKeepTheOldName) {
    addFolders({QStringLiteral("Sales"), QStringLiteral("Admin")});
    addUser(QStringLiteral("Ann"), QStringLiteral("Sales"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kFolderNamesTab);
    auto* grid = window_->dtFolderNames();
    ASSERT_EQ(shown(grid, {0}), (QStringList{QStringLiteral("Admin"), QStringLiteral("Sales")}));

    typeInto(grid, 1, 0, QStringLiteral("Marketing"));
    EXPECT_EQ(rows(kFolders), (QStringList{QStringLiteral("Marketing"), QStringLiteral("Admin")}));
    EXPECT_EQ(shown(grid, {0}), (QStringList{QStringLiteral("Admin"), QStringLiteral("Marketing")}));
    EXPECT_EQ(rows(kUsers), QStringList{QStringLiteral("Ann|ann@example.org|Sales")});

    click("cmdAddDept");
    typeInto(grid, 2, 0, QStringLiteral("R&D 50%_"));
    EXPECT_EQ(rows(kFolders),
              (QStringList{QStringLiteral("Marketing"), QStringLiteral("Admin"), QStringLiteral("R&D 50%_")}))
        << "the new row's edit began on an empty cell: a new folder";
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(ReferenceGrids, ThePlaceholderRowIsShownAndRenamedIntoTheFirstFolder) {
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kFolderNamesTab);
    auto* grid = window_->dtFolderNames();
    ASSERT_EQ(shown(grid, {0}), QStringList{kPlaceholder});
    typeInto(grid, 0, 0, QStringLiteral("Sales"));
    EXPECT_EQ(rows(kFolders), QStringList{QStringLiteral("Sales")});

    // Emptied by other means, the table gives no rows: the grid keeps what it showed.
    execute(QStringLiteral("DELETE FROM FolderNames"));
    window_->SSTab1()->setCurrentIndex(frmConfigure::kOptionsTab);
    window_->SSTab1()->setCurrentIndex(frmConfigure::kFolderNamesTab);
    EXPECT_EQ(shown(grid, {0}), QStringList{QStringLiteral("Sales")});
}

TEST_F(ReferenceGrids, AMessageOfMoreThan255CharactersIsRefused) {
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kMessagesTab);
    auto* grid = window_->dtMsgs();
    click("cmdAddMsg");
    const QString tooLong(256, QLatin1Char('x'));
    typeInto(grid, 1, 0, tooLong);
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("This message is too long to store.")});
    EXPECT_EQ(ui->asked().front().title, QStringLiteral("Lumivane"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Subject FROM Subject")), QStringList{kPlaceholder});
    EXPECT_EQ(grid->cellText(1, 0), tooLong) << "the grid keeps the text until its next fill";
    EXPECT_TRUE(core::gOptions->AddRecord);

    const QString longest(255, QLatin1Char('y'));
    typeInto(grid, 1, 0, longest);
    EXPECT_EQ(rows(QStringLiteral("SELECT Subject FROM Subject ORDER BY rowid")),
              (QStringList{kPlaceholder, longest}));
    EXPECT_FALSE(core::gOptions->AddRecord);
    EXPECT_EQ(ui->messageTexts().size(), 1);
}

TEST_F(ReferenceGrids, SubjectAndBodyShowTheirOwnTexts) {
    execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('Budget due')"));
    execute(QStringLiteral("INSERT INTO BodyText (Body_Text) VALUES ('Please return the file.')"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kMessagesTab);
    auto* grid = window_->dtMsgs();
    auto* subject = window_->findChild<QCheckBox*>(QStringLiteral("chkSubject"));
    auto* body = window_->findChild<QCheckBox*>(QStringLiteral("chkBody"));
    EXPECT_TRUE(subject->isChecked());
    EXPECT_EQ(shown(grid, {0}), (QStringList{kPlaceholder, QStringLiteral("Budget due")}));

    body->setChecked(true);
    EXPECT_FALSE(subject->isChecked());
    EXPECT_FALSE(core::gOptions->Messages);
    EXPECT_EQ(shown(grid, {0}), (QStringList{kPlaceholder, QStringLiteral("Please return the file.")}));
    typeInto(grid, 1, 0, QStringLiteral("Please return the file by Friday."));
    EXPECT_EQ(rows(QStringLiteral("SELECT Body_Text FROM BodyText ORDER BY rowid")),
              (QStringList{kPlaceholder, QStringLiteral("Please return the file by Friday.")}));

    body->setChecked(false);
    EXPECT_FALSE(subject->isChecked()) << "neither box is ticked";
    EXPECT_TRUE(core::gOptions->Messages);
    EXPECT_EQ(shown(grid, {0}), (QStringList{kPlaceholder, QStringLiteral("Budget due")}));
}

TEST_F(ReferenceGrids, AUserIsStoredOnceNamedAndAddressedAndFoundByTheExactName) {
    addUser(QStringLiteral("Bob"), QStringLiteral("Sales"));
    addUser(QStringLiteral("Bobby"), QStringLiteral("Admin"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kUsersTab);
    auto* grid = window_->dtUsersData();

    click("cmdAddUsers");
    EXPECT_TRUE(grid->isRequiredCell(2, admin::kUsersName));
    EXPECT_TRUE(grid->isRequiredCell(2, admin::kUsersEmail));
    typeInto(grid, 2, admin::kUsersName, QStringLiteral("O'Brien"));
    EXPECT_EQ(rows(kUsers).size(), 2) << "no user without an address";
    typeInto(grid, 2, admin::kUsersEmail, QStringLiteral("ob@example.org"));
    EXPECT_EQ(rows(kUsers).last(), QStringLiteral("O'Brien|ob@example.org|"))
        << "stored with an empty folder";

    click("cmdAddUsers");
    const int added = grid->rowCount() - 1;
    typeInto(grid, added, admin::kUsersName, QStringLiteral("bob"));
    typeInto(grid, added, admin::kUsersEmail, QStringLiteral("robert@example.org"));
    EXPECT_EQ(rows(kUsers), (QStringList{QStringLiteral("bob|robert@example.org|"),
                                         QStringLiteral("Bobby|bobby@example.org|Admin"),
                                         QStringLiteral("O'Brien|ob@example.org|")}))
        << "\"bob\" over \"Bob\" leaves one row; \"Bobby\" is another user";

    // A renamed user is a new user; the old name stays.
    typeInto(grid, 0, admin::kUsersName, QStringLiteral("Robert"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Users FROM UsersData ORDER BY Users COLLATE NOCASE_U")),
              (QStringList{QStringLiteral("bob"), QStringLiteral("Bobby"), QStringLiteral("O'Brien"),
                           QStringLiteral("Robert")}));
    EXPECT_TRUE(ui->asked().empty());
}

// A new user's row stays where it was typed, with the cursor, once its name and address are
// stored: the folder typed next goes to that user, as typed. Another user's edit then fills the
// grid again, sorted. With LUMIDESK_SCREENSHOT_DIR set, the tab is saved with the new row.
TEST_F(ReferenceGrids, ANewUsersRowKeepsItsPlaceForItsFolder) {
    addFolders({QStringLiteral("North"), QStringLiteral("South")});
    addUser(QStringLiteral("Zed"), QStringLiteral("North"));
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kUsersTab);
    auto* grid = window_->dtUsersData();
    click("cmdAddUsers");
    ASSERT_EQ(grid->rowCount(), 2);
    typeInto(grid, 1, admin::kUsersName, QStringLiteral("Amy"));
    typeInto(grid, 1, admin::kUsersEmail, QStringLiteral("amy@example.org"));
    EXPECT_EQ(rows(kUsers).last(), QStringLiteral("Amy|amy@example.org|"));
    EXPECT_EQ(shown(grid, {0}), (QStringList{QStringLiteral("Zed"), QStringLiteral("Amy")}));
    EXPECT_EQ(grid->currentRow(), 1);

    typeInto(grid, 1, admin::kUsersFolder, QStringLiteral("West"));
    EXPECT_EQ(rows(kUsers), (QStringList{QStringLiteral("Zed|zed@example.org|North"),
                                         QStringLiteral("Amy|amy@example.org|West")}));
    EXPECT_EQ(shown(grid, {0, 2}), (QStringList{QStringLiteral("Zed|North"), QStringLiteral("Amy|West")}));
    testsupport::saveScreenshot(*window_, QStringLiteral("configure-user-group-new-row"));

    typeInto(grid, 0, admin::kUsersFolder, QStringLiteral("sou"));
    EXPECT_EQ(shown(grid, {0, 2}), (QStringList{QStringLiteral("Amy|West"), QStringLiteral("Zed|South")}));
    EXPECT_TRUE(ui->asked().empty());
}

// An address that would put a line of its own into a mail is refused, in the users grid as in
// the accounts grid; the grid keeps the typed text for correcting, and the table stays.
TEST_F(ReferenceGrids, AnAddressWithALineBreakOrAngleBracketIsRefusedInBothGrids) {
    testsupport::ScopedScriptedUi ui;
    const QString injected = QStringLiteral("ann@example.org>\r\nRCPT TO:<leak@evil.example");
    const QString refusal = QStringLiteral(
        "An e-mail address can't hold line breaks, other control characters or angle brackets: "
        "ann@example.org>\\r\\nRCPT TO:<leak@evil.example");
    open(frmConfigure::kUsersTab);
    auto* users = window_->dtUsersData();
    const QStringList before = rows(kUsers);
    click("cmdAddUsers");
    const int row = users->rowCount() - 1;
    typeInto(users, row, admin::kUsersName, QStringLiteral("Eve"));
    typeInto(users, row, admin::kUsersEmail, injected);
    EXPECT_EQ(rows(kUsers), before);
    EXPECT_EQ(ui->messageTexts(), QStringList{refusal});
    EXPECT_EQ(users->cellText(row, admin::kUsersEmail), injected);

    ui->clear();
    open(frmConfigure::kAdminTab);
    auto* accounts = window_->dtAdmin();
    click("cmdAddAdmin");
    const int account = accounts->rowCount() - 1;
    typeInto(accounts, account, admin::kAdminName, QStringLiteral("Eve"));
    typeInto(accounts, account, admin::kAdminEmail, QStringLiteral("Eve <eve@example.org>"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Admin_Name FROM Admin WHERE Admin_Name = 'Eve'")), QStringList{});
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral(
                                      "An e-mail address can't hold line breaks, other control characters or "
                                      "angle brackets: Eve <eve@example.org>")});
}

TEST_F(ReferenceGrids, ATypedFolderFragmentIsCompletedOnlyWhenOneFolderContainsIt) {
    addFolders({QStringLiteral("North Sales"), QStringLiteral("South Sales"), QStringLiteral("Admin 100%"),
                QStringLiteral("Admin 1000")});
    addUser(QStringLiteral("Ann"), QStringLiteral("Admin 1000"));
    struct Case {
        const char* typed;
        const char* stored; // the folder stored and shown afterwards
    };
    const QList<Case> cases = {
        {"north", "North Sales"}, // one folder contains it: completed
        {"Sales", "Sales"},       // several: as typed
        {"East", "Sales"},        // none: nothing stored, the stored folder shown again
        {"0%", "Admin 100%"},     // "%" is no wildcard: only one folder holds "0%"
        {"1_0", "Admin 100%"},    // "_" is no wildcard: no folder holds "1_0"
        {"", "Admin 100%"},       // emptied: nothing stored
    };
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kUsersTab);
    auto* grid = window_->dtUsersData();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        typeInto(grid, 0, admin::kUsersFolder, QString::fromLatin1(c.typed));
        EXPECT_EQ(rows(kUsers),
                  QStringList{QStringLiteral("Ann|ann@example.org|") + QLatin1String(c.stored)});
        EXPECT_EQ(grid->cellText(0, admin::kUsersFolder), QLatin1String(c.stored));
    }
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(ReferenceGrids, TheFolderColumnOffersTheFolderNamesInAlphabeticalOrder) {
    addFolders({QStringLiteral("west"), QStringLiteral("East"), QStringLiteral("North")});
    addUser(QStringLiteral("Ann"), {});
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kUsersTab);
    auto* grid = window_->dtUsersData();
    EXPECT_EQ(grid->columnList(admin::kUsersFolder), QStringLiteral("East\tNorth\twest"));

    addFolders({});
    execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('<Dummy record>')"));
    admin::LoadUsersDataGrid();
    EXPECT_EQ(grid->columnList(admin::kUsersFolder), QString()) << "the placeholder is no folder to offer";
}

TEST_F(ReferenceGrids, DeleteRemovesTheRowOfTheTableAndKeepsTheLastPlaceholder) {
    addFolders({QStringLiteral("Admin"), QStringLiteral("Sales")});
    testsupport::ScopedScriptedUi ui;
    open(frmConfigure::kFolderNamesTab);
    auto* grid = window_->dtFolderNames();
    grid->setCurrentCell(1, 0);
    click("cmdDelFolderNames");
    EXPECT_EQ(rows(kFolders), QStringList{QStringLiteral("Admin")});
    EXPECT_EQ(shown(grid, {0}), QStringList{QStringLiteral("Admin")});
    grid->setCurrentCell(0, 0);
    click("cmdDelFolderNames");
    EXPECT_EQ(rows(kFolders), QStringList{});
    EXPECT_EQ(grid->rowCount(), 0);

    window_->SSTab1()->setCurrentIndex(frmConfigure::kMessagesTab);
    window_->dtMsgs()->setCurrentCell(0, 0);
    click("cmdDelMsg");
    EXPECT_EQ(rows(QStringLiteral("SELECT Subject FROM Subject")), QStringList{kPlaceholder});
    EXPECT_EQ(shown(window_->dtMsgs(), {0}), QStringList{kPlaceholder});
    EXPECT_TRUE(ui->asked().empty());
}

} // namespace
