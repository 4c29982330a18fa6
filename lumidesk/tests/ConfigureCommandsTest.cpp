// The main window's ways into the configuration window, on a master database of the test's
// own: Options, the toolbar's Configure and New Budget without an author; the context menu of
// its grids with Cut, Copy and Paste, which store what a typed edit would; and Clear Users
// Table Data, after which the users grid shows the table as it is.
#include "MainWindowFixture.h"
#include "admin/ConfigGrids.h"
#include "admin/frmConfigure.h"
#include "platform/db/Recordset.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/WizardControl.h"
#include "support/ScriptedUi.h"
#include "wizard/frmWizard.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using admin::frmConfigure;
using lumideskTest::MainWindowFixture;

class ConfigureCommands : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        execute(
            QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, \"Default\", "
                           "RecType) VALUES ('Ann', 'ann@example.org', 'smtp.example.org', 1, 'Author')"));
        execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Sales')"));
        execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Admin')"));
        execute(QStringLiteral("INSERT INTO UsersData (Users, Email_Address, Folder_Name) VALUES ('Bob', "
                               "'bob@example.org', 'Admin')"));
        execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('Due Friday')"));
        main_ = makeMain();
    }

    QStringList rows(const QString& sql) {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset rst = platform::db::Recordset::open(cnn, sql);
        QStringList values;
        for (; !rst.eof(); rst.moveNext()) {
            QStringList fields;
            for (int f = 0; f < rst.fieldCount(); ++f)
                fields << rst.value(f).toString();
            values << fields.join(QLatin1Char('|'));
        }
        return values;
    }

    frmConfigure* openOnTab(int tab) {
        main_->mnuOptions_Click();
        frmConfigure* window = frmConfigure::loaded();
        window->SSTab1()->setCurrentIndex(tab);
        return window;
    }

    // Puts the cursor on the row whose cell in the column shows the text.
    static void pointAt(platform::ui::EditGrid* grid, int column, const QString& text, int cursorColumn) {
        for (int row = 0; row < grid->rowCount(); ++row)
            if (grid->cellText(row, column) == text) {
                grid->setCurrentCell(row, cursorColumn);
                return;
            }
        FAIL() << "no row shows " << text.toStdString();
    }

    // The wizard shown on its assignment page for the budget Plan, which has one user file,
    // North.xlsx in the folder Sales, not assigned yet.
    wizard::frmWizard* openAssignmentPage() {
        execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Plan', 'Ann')"));
        execute(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Budget_Name, Select_By_User, "
                               "Folder_Name) VALUES ('North.xlsx', 'Plan', 1, 'Sales')"));
        core::gOptions->BudgetNameContext = QStringLiteral("Plan");
        core::gOptions->WizPageRequest = 5;
        auto* form = new wizard::frmWizard(main_);
        form->show();
        return form;
    }

    // Chooses the item of the configuration grids' context menu.
    void command(const char* item) { main_->menuItem(QLatin1String(item))->trigger(); }

    static void setClipboard(const QString& text) { QGuiApplication::clipboard()->setText(text); }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }

    lumidesk::frmMain* main_ = nullptr;
};

TEST_F(ConfigureCommands, OptionsTheToolbarAndNewBudgetOpenTheOneConfigurationWindow) {
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    main_->mnuOptions_Click();
    frmConfigure* window = frmConfigure::loaded();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), main_) << "owned by the main window";
    EXPECT_EQ(window->SSTab1()->currentIndex(), frmConfigure::kOptionsTab);
    EXPECT_TRUE(main_->menuItem(QStringLiteral("mnuFind"))->isEnabled());

    window->SSTab1()->setCurrentIndex(frmConfigure::kUsersTab);
    main_->tbToolBar_ButtonClick(QStringLiteral("Configure"));
    EXPECT_EQ(frmConfigure::loaded(), window);
    EXPECT_EQ(window->SSTab1()->currentIndex(), frmConfigure::kUsersTab) << "the toolbar selects no tab";
    window->close();
    EXPECT_FALSE(main_->menuItem(QStringLiteral("mnuFind"))->isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(frmConfigure::loaded(), nullptr);

    ui->clear();
    main_->mnuNewBudget_Click();
    EXPECT_TRUE(ui->messageTexts().isEmpty()) << ui->messageTexts().join(QLatin1Char('|')).toStdString();
    auto* wizard = wizard::frmWizard::loaded();
    ASSERT_NE(wizard, nullptr) << "with a default author New Budget opens the wizard";
    EXPECT_EQ(wizard->EZWiz()->currentPage(), 2) << "on the new-budget page";
    EXPECT_EQ(wizard->cbxAdminNames()->currentText(), QStringLiteral("Ann"))
        << "the default author preselected";
    EXPECT_EQ(frmConfigure::loaded(), nullptr);
    delete wizard;

    execute(QStringLiteral("UPDATE Admin SET \"Default\" = 0"));
    ui->clear();
    main_->mnuNewBudget_Click();
    EXPECT_EQ(
        ui->messageTexts(),
        QStringList{QStringLiteral("The Admin table in Configure is empty or there is no default Author.")});
    EXPECT_EQ(wizard::frmWizard::loaded(), nullptr);
    window = frmConfigure::loaded();
    ASSERT_NE(window, nullptr) << "without an author the configuration window opens";
    EXPECT_EQ(window->parentWidget(), nullptr) << "without an owner";
    delete window;
}

TEST_F(ConfigureCommands, ARightClickInAGridPopsUpTheMainWindowsEditMenu) {
    testsupport::ScopedScriptedUi ui;
    frmConfigure* window = openOnTab(frmConfigure::kFolderNamesTab);
    auto* grid = window->dtFolderNames();
    QTableView* view = grid->view();
    const QRect cell = view->visualRect(view->model()->index(1, 0));
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, cell.center());
    QMenu* menu = main_->menu(QStringLiteral("mnuRtMseMenufrmConfig"));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(grid->currentRow(), 1);
    menu->hide();
}

TEST_F(ConfigureCommands, CutCopyAndPasteStoreWhatATypedEditWould) {
    testsupport::ScopedScriptedUi ui;
    frmConfigure* window = openOnTab(frmConfigure::kFolderNamesTab);

    // Folder names: one column, whichever column the cursor reports.
    auto* folders = window->dtFolderNames();
    pointAt(folders, 0, QStringLiteral("Sales"), 0);
    command("mnuPopupCopyfrmConfig");
    EXPECT_EQ(clipboard(), QStringLiteral("Sales"));
    setClipboard(QStringLiteral("Marketing"));
    command("mnuPopupPastefrmConfig");
    EXPECT_EQ(rows(QStringLiteral("SELECT Folder_Name FROM FolderNames WHERE Folder_Name <> '<Dummy record>' "
                                  "ORDER BY rowid")),
              (QStringList{QStringLiteral("Marketing"), QStringLiteral("Admin")}))
        << "the pasted name renames the row it replaced";
    pointAt(folders, 0, QStringLiteral("Admin"), 0);
    command("mnuPopupCutfrmConfig");
    EXPECT_EQ(clipboard(), QStringLiteral("Admin"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Folder_Name FROM FolderNames WHERE Folder_Name <> '<Dummy record>' "
                                  "ORDER BY rowid")),
              (QStringList{QStringLiteral("Marketing"), QString()}))
        << "the emptied cell is stored as a typed empty name";

    // Users: the current column; a pasted fragment is completed as a typed one.
    window->SSTab1()->setCurrentIndex(frmConfigure::kUsersTab);
    auto* users = window->dtUsersData();
    pointAt(users, admin::kUsersName, QStringLiteral("Bob"), admin::kUsersFolder);
    setClipboard(QStringLiteral("mark"));
    command("mnuPopupPastefrmConfig");
    EXPECT_EQ(rows(QStringLiteral("SELECT Users, Folder_Name FROM UsersData WHERE Users = 'Bob'")),
              QStringList{QStringLiteral("Bob|Marketing")});
    pointAt(users, admin::kUsersName, QStringLiteral("Bob"), admin::kUsersEmail);
    command("mnuPopupCopyfrmConfig");
    EXPECT_EQ(clipboard(), QStringLiteral("bob@example.org"));

    // Authors: the current column.
    window->SSTab1()->setCurrentIndex(frmConfigure::kAdminTab);
    auto* accounts = window->dtAdmin();
    pointAt(accounts, admin::kAdminName, QStringLiteral("Ann"), admin::kAdminEmail);
    setClipboard(QStringLiteral("ann@new.example.org"));
    command("mnuPopupPastefrmConfig");
    pointAt(accounts, admin::kAdminName, QStringLiteral("Ann"), admin::kAdminMailServer);
    command("mnuPopupCutfrmConfig");
    EXPECT_EQ(clipboard(), QStringLiteral("smtp.example.org"));
    EXPECT_EQ(
        rows(QStringLiteral("SELECT Admin_Name, Admin_Email_Address, Mail_Server FROM Admin WHERE RecType "
                            "= 'Author'")),
        QStringList{QStringLiteral("Ann|ann@new.example.org|")});

    // Messages: an empty clipboard pastes an empty text, still checked and stored; a long text
    // is refused as a typed one is.
    window->SSTab1()->setCurrentIndex(frmConfigure::kMessagesTab);
    auto* messages = window->dtMsgs();
    pointAt(messages, 0, QStringLiteral("Due Friday"), 0);
    QGuiApplication::clipboard()->clear();
    command("mnuPopupPastefrmConfig");
    EXPECT_EQ(rows(QStringLiteral("SELECT Subject FROM Subject ORDER BY rowid")),
              (QStringList{QStringLiteral("<Dummy record>"), QString()}));
    pointAt(messages, 0, QString(), 0);
    setClipboard(QString(256, QLatin1Char('z')));
    command("mnuPopupPastefrmConfig");
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("This message is too long to store.")});
    EXPECT_EQ(rows(QStringLiteral("SELECT Subject FROM Subject ORDER BY rowid")),
              (QStringList{QStringLiteral("<Dummy record>"), QString()}));
}

TEST_F(ConfigureCommands, OnTheOptionsTabOrWithoutTheWindowTheCommandsDoNothing) {
    testsupport::ScopedScriptedUi ui;
    setClipboard(QStringLiteral("kept"));
    command("mnuPopupCutfrmConfig");
    command("mnuPopupCopyfrmConfig");
    command("mnuPopupPastefrmConfig");
    frmConfigure* window = openOnTab(frmConfigure::kOptionsTab);
    window->dtFolderNames()->setCurrentCell(0, 0);
    command("mnuPopupCutfrmConfig");
    command("mnuPopupCopyfrmConfig");
    command("mnuPopupPastefrmConfig");
    EXPECT_EQ(clipboard(), QStringLiteral("kept"));
    EXPECT_EQ(
        rows(QStringLiteral("SELECT Folder_Name FROM FolderNames ORDER BY rowid")),
        (QStringList{QStringLiteral("<Dummy record>"), QStringLiteral("Sales"), QStringLiteral("Admin")}));
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(ConfigureCommands, ClearUsersTableDataRefillsTheOpenUsersGrid) {
    testsupport::ScopedScriptedUi ui;
    frmConfigure* window = openOnTab(frmConfigure::kUsersTab);
    ASSERT_EQ(window->dtUsersData()->rowCount(), 2);
    main_->mnuClrUsersData_Click();
    ASSERT_EQ(window->dtUsersData()->rowCount(), 1);
    EXPECT_EQ(window->dtUsersData()->cellText(0, admin::kUsersName), QStringLiteral("<Dummy record>"));
    EXPECT_TRUE(ui->asked().empty());
}

// The wizard's menu: Copy takes a name from page 5's user list, Paste gives it to the
// assignment grid (only while that grid is the active control) and stores it as a typed name
// would be, completion included.
TEST_F(ConfigureCommands, TheWizardsCopyAndPasteAssignAUser) {
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    wizard::frmWizard* form = openAssignmentPage();
    form->cmdUserList_Click();
    pointAt(form->dtUsersData(), 0, QStringLiteral("Bob"), 0);
    command("mnuPopupCopyfrmWizard");
    EXPECT_EQ(clipboard(), QStringLiteral("Bob"));

    form->dtUFAssign()->setCurrentCell(0, 2);
    setClipboard(QStringLiteral("ob"));
    command("mnuPopupPastefrmWizard");
    EXPECT_TRUE(
        rows(QStringLiteral("SELECT Users FROM UserFileTablesData WHERE Users IS NOT NULL")).isEmpty())
        << "the assignment grid is not the active control yet";
    emit form->dtUFAssign()->gotFocus();
    command("mnuPopupPastefrmWizard");
    EXPECT_EQ(rows(QStringLiteral("SELECT Users FROM UserFileTablesData WHERE Users IS NOT NULL")),
              QStringList{QStringLiteral("Bob")});
    delete form;
}

// Page 5's menu serves the User Name column only: a right click on a file or folder name pops
// nothing up, and a Paste there changes neither the cell nor the table.
TEST_F(ConfigureCommands, TheWizardsMenuServesTheUserNameColumnOnly) {
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    wizard::frmWizard* form = openAssignmentPage();
    platform::ui::EditGrid* grid = form->dtUFAssign();
    emit grid->gotFocus();
    auto* menu = main_->findChild<QMenu*>(QStringLiteral("mnuRtMseMenufrmWizard"));
    ASSERT_NE(menu, nullptr);
    setClipboard(QStringLiteral("Bob"));
    const QStringList before{QStringLiteral("North.xlsx"), QStringLiteral("Sales"), QString()};
    for (int column = 0; column < 3; ++column) {
        SCOPED_TRACE(column);
        const QRect cell = grid->view()->visualRect(grid->view()->model()->index(0, column));
        QTest::mousePress(grid->view()->viewport(), Qt::RightButton, {}, cell.center());
        EXPECT_EQ(menu->isVisible(), column == wizard::frmWizard::kAssignUserName);
        menu->hide();
        if (column == wizard::frmWizard::kAssignUserName)
            continue;
        grid->setCurrentCell(0, column);
        command("mnuPopupPastefrmWizard");
        EXPECT_EQ(grid->cellText(0, column), before[column]);
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT User_Filename || '|' || Folder_Name || '|' || IFNULL(Users, '') "
                                  "FROM UserFileTablesData WHERE Budget_Name = 'Plan'")),
              QStringList{QStringLiteral("North.xlsx|Sales|")});
    delete form;
}

} // namespace
