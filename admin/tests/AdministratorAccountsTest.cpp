// The administrator accounts grid on a real network database: adding an account with its grant
// column, storing only complete rows, the password question and what each answer does to the
// grants, the super-administrator's own row, the refused names, deleting, and the reveal.
#include "admin/AdministratorAccounts.h"

#include "NetworkDbFixture.h"
#include "admin/BudgetPermissions.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/EventPump.h"

using namespace admintest;
using platform::ui::Answer;
using platform::ui::DataGrid;
using platform::ui::EditGrid;

namespace {

const QString kDbPassword = QStringLiteral("pw");
const Account kSuper{QStringLiteral("Ann"), QStringLiteral("s3cret"), QStringLiteral("ann@example.org")};
const Account kAdmin{QStringLiteral("Bob"), QStringLiteral("b0b"), QStringLiteral("bob@example.org")};

class AdministratorAccountsTest : public NetworkDbFixture {
protected:
    void SetUp() override {
        NetworkDbFixture::SetUp();
        makeNetworkDatabase(kDbPassword, {kSuper, kAdmin});
        {
            Connection db = openNetwork();
            db.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Bob) VALUES ('Sales', ?)"),
                       {core::EncodeString(kAdmin.name + kAdmin.password)});
        }
        logOn(kSuper, true);
        testsupport::ScopedScriptedUi ui;
        admin::FillAdminUsersGrid(grid_, false, -1);
    }
    admin::AccountsContext context() {
        return {grid_, typed_, [this] { ++permissionRefills_; }};
    }
    int rowOf(const QString& name) const {
        for (int r = 0; r < grid_.rowCount(); ++r)
            if (grid_.cellText(r, admin::kAccountName) == name)
                return r;
        return -1;
    }
    // A user's edit of a cell: the value, then the store of the row.
    void edit(int row, int column, const QString& value) {
        grid_.setCellValue(row, column, value);
        if (column == admin::kAccountPassword)
            typed_.insert(row);
        admin::StoreAdminUserRow(context(), row);
    }
    Recordset account(const QString& name) {
        network_ = openNetwork();
        return Recordset::open(network_, QStringLiteral("SELECT * FROM AdminUsers WHERE AdminUser_Name = ?"),
                               {name});
    }
    QStringList budgetsColumns() {
        Connection db = openNetwork();
        const auto budgets = db.table(QStringLiteral("Budgets"));
        QStringList names;
        for (const auto& column : budgets->columns)
            names << column.name;
        return names;
    }
    QString bobsGrant() {
        Connection db = openNetwork();
        return db.scalar(QStringLiteral("SELECT Bob FROM Budgets WHERE Budget_Name = 'Sales'")).toString();
    }

    EditGrid grid_;
    QSet<int> typed_;
    int permissionRefills_ = 0;
    Connection network_;
};

TEST_F(AdministratorAccountsTest, ANewAccountIsStoredOnceCompleteWithItsGrantColumn) {
    testsupport::ScopedScriptedUi ui;
    admin::AddAdminUserRow(grid_);
    const int row = grid_.rowCount() - 1;
    edit(row, admin::kAccountName, QStringLiteral("Carl O'Neil"));
    edit(row, admin::kAccountPassword, QStringLiteral("c4rl"));
    EXPECT_EQ(core::DecodeString(grid_.cellText(row, admin::kAccountId)), QStringLiteral("Carl O'Neilc4rl"))
        << "the identifier cell is filled at once";
    EXPECT_EQ(account(QStringLiteral("Carl O'Neil")).recordCount(), 0) << "no e-mail yet: nothing stored";
    edit(row, admin::kAccountEmail, QStringLiteral("carl@example.org"));

    Recordset carl = account(QStringLiteral("Carl O'Neil"));
    ASSERT_EQ(carl.recordCount(), 1);
    EXPECT_EQ(core::DecodeString(carl.value("AdminUser_Pwd").toString()), QStringLiteral("c4rl"));
    EXPECT_EQ(core::DecodeString(carl.value("AdminUser_ID").toString()), QStringLiteral("Carl O'Neilc4rl"));
    EXPECT_TRUE(carl.value("SuperAdminUser_ID").toString().isEmpty());
    EXPECT_EQ(budgetsColumns().last(), QStringLiteral("Carl O'Neil"));
    EXPECT_FALSE(core::gOptions->AddRecord);
    EXPECT_EQ(permissionRefills_, 1);
    EXPECT_NE(rowOf(QStringLiteral("Carl O'Neil")), -1) << "the grid shows what was stored";
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(AdministratorAccountsTest, RefusedNamesStoreNothing) {
    struct Case {
        QString name;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral("Active"),
         QStringLiteral("'Active' is the name of a column of the Budgets table.  Choose "
                        "another AdminUser name.")},
        {QStringLiteral("bob"), QStringLiteral("An AdminUser named 'Bob' exists already.")},
        {QString(51, QLatin1Char('n')), QStringLiteral("An AdminUser name can hold at most 50 characters.")},
        {QStringLiteral("tab\there"), QStringLiteral("An AdminUser name can't hold control characters.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        testsupport::ScopedScriptedUi ui;
        core::gOptions->AddRecord = false;
        admin::AddAdminUserRow(grid_);
        const int row = grid_.rowCount() - 1;
        grid_.setCellValue(row, admin::kAccountName, c.name);
        grid_.setCellValue(row, admin::kAccountPassword, QStringLiteral("pw"));
        typed_.insert(row);
        edit(row, admin::kAccountEmail, QStringLiteral("x@example.org"));
        EXPECT_EQ(ui->messageTexts(), QStringList{c.message});
        EXPECT_EQ(budgetsColumns().size(), 16);
        EXPECT_TRUE(core::gOptions->AddRecord) << "add mode stays for another try";
        grid_.removeRow(row);
    }
}

TEST_F(AdministratorAccountsTest, ANewPasswordAsksAndEachAnswerDoesItsOwnToTheGrants) {
    struct Case {
        Answer answer;
        bool stored;
        bool grantKept;
    };
    for (const Case& c : {Case{Answer::Cancel, false, true}, Case{Answer::No, true, false}}) {
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({c.answer});
        edit(rowOf(kAdmin.name), admin::kAccountPassword, QStringLiteral("n3w"));
        EXPECT_EQ(
            ui->messageTexts(),
            QStringList{QStringLiteral("You are editing Bob's password.  Do you want to preserve the budget "
                                       "permissions?")});
        EXPECT_EQ(core::DecodeString(account(kAdmin.name).value("AdminUser_Pwd").toString()),
                  c.stored ? QStringLiteral("n3w") : kAdmin.password);
        EXPECT_EQ(bobsGrant().isEmpty(), !c.grantKept);
        if (!c.stored) { // the grid keeps what was typed; put the stored state back
            admin::FillAdminUsersGrid(grid_, false, -1);
            typed_.clear();
        }
    }
    // Yes carries the grants over to the new identifier.
    {
        Connection db = openNetwork();
        db.execute(QStringLiteral("UPDATE Budgets SET Bob = ? WHERE Budget_Name = 'Sales'"),
                   {core::EncodeString(QStringLiteral("Bobn3w"))});
    }
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes});
    edit(rowOf(kAdmin.name), admin::kAccountPassword, QStringLiteral("n3w2"));
    EXPECT_EQ(core::DecodeString(bobsGrant()), QStringLiteral("Bobn3w2"));
    logOn({kAdmin.name, QStringLiteral("n3w2"), kAdmin.email}, false);
    int mode = 0;
    EXPECT_TRUE(admin::SetBudgetContext(QStringLiteral("Sales"), kAdmin.name, mode))
        << "the account keeps its budget";
}

TEST_F(AdministratorAccountsTest, EditingOnlyTheEmailAsksNothingAndWritesTheSameValuesAnew) {
    const QString before = account(kAdmin.name).value("AdminUser_ID").toString();
    testsupport::ScopedScriptedUi ui;
    edit(rowOf(kAdmin.name), admin::kAccountEmail, QStringLiteral("robert@example.org"));
    EXPECT_TRUE(ui->asked().empty());
    Recordset bob = account(kAdmin.name);
    EXPECT_EQ(bob.value("AdminUser_Email").toString(), QStringLiteral("robert@example.org"));
    EXPECT_NE(bob.value("AdminUser_ID").toString(), before);
    EXPECT_EQ(core::DecodeString(bob.value("AdminUser_ID").toString()), kAdmin.name + kAdmin.password);
    EXPECT_EQ(core::DecodeString(bob.value("AdminUser_Pwd").toString()), kAdmin.password);
    EXPECT_TRUE(bob.value("SuperAdminUser_ID").toString().isEmpty()) << "another account's row gets no SAID";
    EXPECT_FALSE(bobsGrant().isEmpty());
}

// The logged-on super-administrator (logged on as "ann") changes the own password: the account's
// super-administrator identifier is built from the database password, and the identifiers the
// program keeps for the logon follow.
TEST_F(AdministratorAccountsTest, TheOwnRowKeepsTheSuperAdministratorIdentifierAndTheLogonInStep) {
    core::gOptions->LumiAdminUserName = QStringLiteral("ann");
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes});
    edit(rowOf(kSuper.name), admin::kAccountPassword, QStringLiteral("n3w"));
    Recordset ann = account(kSuper.name);
    EXPECT_EQ(core::DecodeString(ann.value("SuperAdminUser_ID").toString()),
              kDbPassword + QStringLiteral("Annn3w"));
    const core::cOptions& options = *core::gOptions;
    EXPECT_EQ(core::DecodeString(options.LumiAUID), QStringLiteral("Annn3w"));
    EXPECT_EQ(options.LumiAUID, setting(admin::net::kLumiAUID));
    EXPECT_EQ(options.LumiSAID, setting(admin::net::kLumiSAID));
    EXPECT_EQ(core::DecodeString(setting(admin::net::kAdminUserPwd)), QStringLiteral("n3w"));
}

TEST_F(AdministratorAccountsTest, DeletingRemovesTheAccountAndItsGrantColumnButNotTheOwnAccount) {
    testsupport::ScopedScriptedUi ui;
    core::gOptions->LumiAdminUserName = QStringLiteral("ANN");
    grid_.setCurrentCell(rowOf(kSuper.name), 0);
    admin::DeleteAdminUserRow(context());
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("You can't delete the Super-Admin User account.")});
    EXPECT_EQ(account(kSuper.name).recordCount(), 1);

    grid_.setCurrentCell(rowOf(kAdmin.name), 0);
    admin::DeleteAdminUserRow(context());
    EXPECT_EQ(account(kAdmin.name).recordCount(), 0);
    EXPECT_EQ(budgetsColumns().size(), 15);
    EXPECT_FALSE(budgetsColumns().contains(QStringLiteral("Bob")));
    EXPECT_EQ(rowOf(kAdmin.name), -1);
    {
        Connection db = openNetwork();
        EXPECT_EQ(
            db.scalar(QStringLiteral("SELECT count(*) FROM Budgets WHERE Budget_Name = 'Sales'")).toInt(), 1)
            << "the budgets stay";
    }
}

TEST_F(AdministratorAccountsTest, AddOnAnEmptyLastRowAsksForAValueFirst) {
    testsupport::ScopedScriptedUi ui;
    const int rows = grid_.rowCount();
    admin::AddAdminUserRow(grid_);
    admin::AddAdminUserRow(grid_);
    EXPECT_EQ(grid_.rowCount(), rows + 1);
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Enter a value before the next 'Add'.")});
}

TEST_F(AdministratorAccountsTest, ADoubleClickShowsThePasswordForFiveSecondsOnly) {
    testsupport::ScopedScriptedUi ui;
    const int row = rowOf(kAdmin.name);
    QString during;
    QTimer::singleShot(500, [&] { during = grid_.cellText(row, admin::kAccountPassword); });
    admin::RevealPassword(grid_, row, admin::kAccountPassword);
    EXPECT_EQ(during, kAdmin.password);
    EXPECT_EQ(core::DecodeString(grid_.cellText(row, admin::kAccountPassword)), kAdmin.password);
    EXPECT_NE(grid_.cellText(row, admin::kAccountPassword), kAdmin.password);
}

TEST_F(AdministratorAccountsTest, AnEmptyAccountsTableAsksForAccounts) {
    {
        Connection db = openNetwork();
        db.execute(QStringLiteral("DELETE FROM AdminUsers"));
    }
    testsupport::ScopedScriptedUi ui;
    admin::FillAdminUsersGrid(grid_, false, -1);
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("Add AdminUsers names to the Super-Admin Configure screen.")});
    EXPECT_EQ(grid_.rowCount(), 0);
}

} // namespace
