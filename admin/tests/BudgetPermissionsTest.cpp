// Budget permissions on a real network database: the grid the console shows, a grant written,
// used by the account's logon and revoked, the refusals with their texts, and budgets told
// apart by their exact names.
#include "admin/BudgetPermissions.h"

#include "NetworkDbFixture.h"
#include "platform/ui/DataGrid.h"

using namespace admintest;
using platform::ui::DataGrid;

namespace {

const QString kDbPassword = QStringLiteral("pw");
const Account kSuper{QStringLiteral("Ann"), QStringLiteral("s3cret"), QStringLiteral("ann@example.org")};
const Account kAdmin{QStringLiteral("Bob"), QStringLiteral("b0b"), QStringLiteral("bob@example.org")};
const QString kNoPermission = QStringLiteral("You do not have permissions for this budget.");
const QString kNoBrowsing = QStringLiteral("You do not have permission to browse this budget.");
const QString kClickCell = QStringLiteral("Click on an AdminUser cell to change permissions.");

class BudgetPermissionsTest : public NetworkDbFixture {
protected:
    void SetUp() override {
        NetworkDbFixture::SetUp();
        makeNetworkDatabase(kDbPassword, {kSuper, kAdmin});
        Connection db = openNetwork();
        for (const char* name : {"Sales", "Sales 2004"})
            db.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES (?, 'Ann')"),
                       {QString::fromLatin1(name)});
        logOn(kSuper, true);
    }
    QString grantCell(const QString& budget, const QString& account) {
        Connection db = openNetwork();
        return db
            .scalar(QStringLiteral("SELECT \"%1\" FROM Budgets WHERE Budget_Name = ?").arg(account), {budget})
            .toString();
    }
    // The grid row of a budget and the column of an account.
    static int rowOf(const DataGrid& grid, const QString& budget) {
        for (int r = 0; r < grid.rowCount(); ++r)
            if (grid.cellText(r, 0) == budget)
                return r;
        return -1;
    }
    static int columnOf(const DataGrid& grid, const QString& heading) {
        for (int c = 0; c < grid.columnCount(); ++c)
            if (grid.column(c).heading == heading)
                return c;
        return -1;
    }
    void grant(DataGrid& grid, const QString& budget, const QString& account, bool showEncoding = false) {
        admin::GrantBudgetPermission(grid, rowOf(grid, budget), columnOf(grid, account), showEncoding);
    }
    bool checkAs(const Account& account, const QString& budget, int mode) {
        logOn(account, account.name == kSuper.name);
        return admin::SetBudgetContext(budget, account.name, mode);
    }
};

TEST_F(BudgetPermissionsTest, TheGridShowsOneColumnPerAccountAndNoPlaceholder) {
    testsupport::ScopedScriptedUi ui;
    DataGrid grid;
    admin::FillPermissionsGrid(grid, false);
    ASSERT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(grid.column(3).heading, QStringLiteral("Ann"));
    EXPECT_EQ(grid.column(4).heading, QStringLiteral("Bob"));
    EXPECT_EQ(grid.rowCount(), 2) << "the placeholder row is no budget";
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(BudgetPermissionsTest, ABudgetsTableOfItsStandardColumnsGivesThreeColumnsAndNoData) {
    {
        Connection db = openNetwork();
        db.execute(QStringLiteral("DELETE FROM Budgets WHERE Budget_Name <> '<Dummy record>'"));
        db.dropColumn(QStringLiteral("Budgets"), QStringLiteral("Ann"));
        db.dropColumn(QStringLiteral("Budgets"), QStringLiteral("Bob"));
    }
    testsupport::ScopedScriptedUi ui;
    DataGrid grid;
    admin::FillPermissionsGrid(grid, false);
    EXPECT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("There is no budget data.")});
}

// A grant is written by the super-administrator, used by the account's own check (which
// writes a fresh token each time) and revoked to an empty text.
TEST_F(BudgetPermissionsTest, AGrantIsWrittenUsedAndRevoked) {
    testsupport::ScopedScriptedUi ui;
    DataGrid grid;
    admin::FillPermissionsGrid(grid, false);
    grant(grid, QStringLiteral("Sales"), kAdmin.name);
    EXPECT_EQ(grid.cellText(rowOf(grid, QStringLiteral("Sales")), columnOf(grid, kAdmin.name)),
              QStringLiteral("Granted"));
    const QString first = grantCell(QStringLiteral("Sales"), kAdmin.name);
    EXPECT_EQ(core::DecodeString(first), kAdmin.name + kAdmin.password);
    grant(grid, QStringLiteral("Sales"), kAdmin.name);
    const QString second = grantCell(QStringLiteral("Sales"), kAdmin.name);
    EXPECT_NE(first, second) << "every writing scrambles anew";

    int mode = 0;
    EXPECT_TRUE(checkAs(kAdmin, QStringLiteral("sales"), mode));
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("sales")) << "as the caller spelled it";
    EXPECT_EQ(platform::sys::readSetting(platform::sys::kDesktopApplication, QStringLiteral("Runtime"),
                                         QStringLiteral("BudgetNameContext")),
              QStringLiteral("sales"));
    const QString used = grantCell(QStringLiteral("Sales"), kAdmin.name);
    EXPECT_NE(used, second);
    EXPECT_EQ(core::DecodeString(used), kAdmin.name + kAdmin.password);

    logOn(kSuper, true);
    admin::RevokeBudgetPermission(grid, rowOf(grid, QStringLiteral("Sales")), columnOf(grid, kAdmin.name));
    EXPECT_TRUE(grid.cellText(rowOf(grid, QStringLiteral("Sales")), columnOf(grid, kAdmin.name)).isEmpty());
    {
        Connection db = openNetwork();
        const QVariant cell =
            db.scalar(QStringLiteral("SELECT Bob FROM Budgets WHERE Budget_Name = 'Sales'"));
        EXPECT_TRUE(cell.isValid() && !cell.isNull() && cell.toString().isEmpty())
            << "an empty text, not Null";
    }
    core::gOptions->BudgetNameContext = QStringLiteral("Nothing");
    ui->clear();
    for (const int m : {0, 1}) {
        int messageMode = m;
        EXPECT_FALSE(checkAs(kAdmin, QStringLiteral("Sales"), messageMode));
    }
    EXPECT_EQ(ui->messageTexts(), (QStringList{kNoPermission, kNoBrowsing}));
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Nothing"));
}

TEST_F(BudgetPermissionsTest, TheSuperAdministratorNeedsAGrantAndBudgetsAreToldApartByExactName) {
    testsupport::ScopedScriptedUi ui;
    DataGrid grid;
    admin::FillPermissionsGrid(grid, false);
    grant(grid, QStringLiteral("Sales 2004"), kSuper.name);
    int mode = 0;
    EXPECT_FALSE(checkAs(kSuper, QStringLiteral("Sales"), mode))
        << "the grant of Sales 2004 is not one of Sales";
    EXPECT_TRUE(checkAs(kSuper, QStringLiteral("Sales 2004"), mode));
    ui->clear();
    EXPECT_FALSE(checkAs(kSuper, QStringLiteral("Sal"), mode));
    EXPECT_TRUE(ui->asked().empty()) << "a budget that does not exist is refused without a word";
}

TEST_F(BudgetPermissionsTest, OnlyTheSuperAdministratorGrantsAndOnlyOnAccountCells) {
    testsupport::ScopedScriptedUi ui;
    DataGrid grid;
    admin::FillPermissionsGrid(grid, false);
    admin::GrantBudgetPermission(grid, rowOf(grid, QStringLiteral("Sales")), 0, false);
    admin::GrantBudgetPermission(grid, rowOf(grid, QStringLiteral("Sales")), 2, false);
    logOn(kAdmin, false);
    grant(grid, QStringLiteral("Sales"), kAdmin.name);
    admin::RevokeBudgetPermission(grid, rowOf(grid, QStringLiteral("Sales")), columnOf(grid, kAdmin.name));
    EXPECT_EQ(
        ui->messageTexts(),
        (QStringList{kClickCell, kClickCell, QStringLiteral("You are not authorized to grant permissions."),
                     QStringLiteral("You are not authorized to grant permissions.")}));
    EXPECT_TRUE(grantCell(QStringLiteral("Sales"), kAdmin.name).isEmpty());
}

TEST_F(BudgetPermissionsTest, ShowEncodingShowsTheStoredTokens) {
    testsupport::ScopedScriptedUi ui;
    DataGrid grid;
    admin::FillPermissionsGrid(grid, true);
    grant(grid, QStringLiteral("Sales"), kAdmin.name, true);
    const QString token = grantCell(QStringLiteral("Sales"), kAdmin.name);
    EXPECT_EQ(grid.cellText(rowOf(grid, QStringLiteral("Sales")), columnOf(grid, kAdmin.name)), token);
    admin::FillPermissionsGrid(grid, true);
    EXPECT_EQ(grid.cellText(rowOf(grid, QStringLiteral("Sales")), columnOf(grid, kAdmin.name)), token);
    admin::FillPermissionsGrid(grid, false);
    EXPECT_EQ(grid.cellText(rowOf(grid, QStringLiteral("Sales")), columnOf(grid, kAdmin.name)),
              QStringLiteral("Granted"));
}

} // namespace
