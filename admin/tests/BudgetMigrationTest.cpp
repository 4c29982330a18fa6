// The migration of budgets between the local and the network database, on real files: a copy
// to the network database relinked and granted to the administrator who brought it, a copy back
// with and without the grant the profile asks for, exact budget names, the author tests with
// their texts, the overwrite question, a move whose table copy fails keeping its source, and
// the window's lists and selections.
#include "admin/BudgetMigration.h"

#include "NetworkDbFixture.h"
#include "admin/BudgetPermissions.h"
#include "admin/frmMigrate.h"
#include "core/RunGuard.h"
#include "platform/ui/ListBox.h"

#include <QPushButton>
#include <QRadioButton>

using namespace admintest;
using admin::MigrationEnd;
using admin::MigrationMode;
using platform::ui::Answer;

namespace {

const QString kDbPassword = QStringLiteral("pw");
const Account kSuper{QStringLiteral("Ann"), QStringLiteral("s3cret"), QStringLiteral("ann@example.org")};
const Account kAdmin{QStringLiteral("Bob"), QStringLiteral("b0b"), QStringLiteral("bob@example.org")};

class MigrationTest : public NetworkDbFixture {
protected:
    void SetUp() override {
        NetworkDbFixture::SetUp();
        makeNetworkDatabase(kDbPassword, {kSuper, kAdmin});
        // A default author, so that a budget becoming the context says nothing.
        openNetwork().execute(QStringLiteral(
            "INSERT INTO Admin (Admin_Name, RecType, \"Default\") VALUES ('Ann', 'Author', 1)"));
        logOn(kAdmin, false);
    }
    QString local() const {
        platform::db::ConnectionString cs;
        cs.set(platform::db::ConnectionString::kDataSource, localPath_);
        return cs.toString();
    }

    // A budget with one master workbook, its two linked worksheets and a user-file row. Master
    // workbooks of other budgets come first, so that keys differ between the databases.
    static void addBudget(Connection& db, const QString& name, const QString& author, int keyOffset = 0) {
        for (int i = 0; i < keyOffset; ++i)
            db.execute(QStringLiteral(
                "INSERT INTO MasterFiles (Master_File, Budget_Name) VALUES ('Other.xlsx', 'Other')"));
        db.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Admin_Name, Active) VALUES (?, ?, 1)"),
                   {name, author});
        db.execute(
            QStringLiteral(
                "INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('Plan.xlsx', '/data', ?)"),
            {name});
        const qint64 id = db.lastInsertId();
        for (const char* sheet : {"North", "South"})
            db.execute(
                QStringLiteral(
                    "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) "
                    "VALUES (?, 'Plan.xlsx', ?, ?)"),
                {QString::fromLatin1(sheet), name, id});
        db.execute(
            QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Budget_Name, Master_File) VALUES "
                           "('North.xlsx', ?, 'Plan.xlsx')"),
            {name});
    }
    // The author's budgets "Sales" and "Sales 2004" in the local database (the second holds the
    // first's name), the super administrator's "Elsewhere" in the network database.
    void addSalesBudgets() {
        Connection db = openLocal();
        addBudget(db, QStringLiteral("Sales"), kAdmin.name);
        addBudget(db, QStringLiteral("Sales 2004"), kAdmin.name);
        Connection net = openNetwork();
        addBudget(net, QStringLiteral("Elsewhere"), kSuper.name, 3);
    }
    static int count(Connection& db, const QString& table, const QString& budget) {
        return db
            .scalar(QStringLiteral("SELECT count(*) FROM ") + table +
                        QStringLiteral(" WHERE Budget_Name = ?"),
                    {budget})
            .toInt();
    }
    // The budget's rows in the three tables and whether every worksheet points at its master workbook.
    static QString shape(Connection& db, const QString& budget) {
        const int linked = db.scalar(QStringLiteral("SELECT count(*) FROM Worksheets w JOIN MasterFiles m ON "
                                                    "w.MasterFiles_ID = m.ID_MasterFiles AND m.Budget_Name = "
                                                    "w.Budget_Name WHERE w.Budget_Name = ?"),
                                     {budget})
                               .toInt();
        return QStringLiteral("%1 budget, %2 master, %3 sheets (%4 linked), %5 user files")
            .arg(count(db, QStringLiteral("Budgets"), budget))
            .arg(count(db, QStringLiteral("MasterFiles"), budget))
            .arg(count(db, QStringLiteral("Worksheets"), budget))
            .arg(linked)
            .arg(count(db, QStringLiteral("UserFileTablesData"), budget));
    }
    const QString kWhole = QStringLiteral("1 budget, 1 master, 2 sheets (2 linked), 1 user files");
    const QString kNone = QStringLiteral("0 budget, 0 master, 0 sheets (0 linked), 0 user files");
};

TEST_F(MigrationTest, ALocalCopyGoesToTheNetworkRelinkedAndGrantedToWhoBroughtIt) {
    addSalesBudgets();
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(admin::MigrateToNetwork(QStringLiteral("sales"), MigrationMode::Copy, local()),
              MigrationEnd::Finish);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    Connection net = openNetwork();
    EXPECT_EQ(shape(net, QStringLiteral("Sales")), kWhole);
    EXPECT_EQ(shape(net, QStringLiteral("Sales 2004")), kNone)
        << "a name containing the other is another budget";
    Connection db = openLocal();
    EXPECT_EQ(shape(db, QStringLiteral("Sales")), kWhole) << "a copy keeps its source";
    EXPECT_FALSE(core::gOptions->LocalToNet);
    int mode = 0;
    EXPECT_TRUE(admin::SetBudgetContext(QStringLiteral("Sales"), kAdmin.name, mode))
        << "the grant came with it";
}

TEST_F(MigrationTest, ACopyBackNeedsAGrantOnlyWhenTheProfileAsksForIt) {
    {
        Connection net = openNetwork();
        addBudget(net, QStringLiteral("Plan"), kSuper.name, 2);
    }
    core::gOptions->CopyPermissions = true;
    {
        testsupport::ScopedScriptedUi ui;
        EXPECT_EQ(admin::MigrateToLocal(QStringLiteral("Plan"), MigrationMode::Copy, local()),
                  MigrationEnd::Finish);
        EXPECT_EQ(ui->messageTexts(),
                  QStringList{QStringLiteral("You do not have permissions for this budget.")});
        Connection db = openLocal();
        EXPECT_EQ(shape(db, QStringLiteral("Plan")), kNone);
    }
    core::gOptions->CopyPermissions = false;
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(admin::MigrateToLocal(QStringLiteral("Plan"), MigrationMode::Copy, local()),
              MigrationEnd::Finish);
    EXPECT_TRUE(ui->asked().empty());
    Connection db = openLocal();
    EXPECT_EQ(shape(db, QStringLiteral("Plan")), kWhole);
    EXPECT_EQ(db.table(QStringLiteral("Budgets"))->columns.size(), 14) << "the grant columns stay behind";
    EXPECT_FALSE(core::gOptions->NetToLocal);
}

TEST_F(MigrationTest, MovesNeedTheAuthorAndARefusedMoveChangesNothing) {
    {
        Connection net = openNetwork();
        addBudget(net, QStringLiteral("Plan"), kSuper.name);
        net.execute(QStringLiteral("UPDATE Budgets SET Bob = ? WHERE Budget_Name = 'Plan'"),
                    {core::EncodeString(kAdmin.name + kAdmin.password)});
        Connection db = openLocal();
        addBudget(db, QStringLiteral("Theirs"), QStringLiteral("Carl"));
        addBudget(net, QStringLiteral("Theirs"), QStringLiteral("Carl"));
    }
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(admin::MigrateToLocal(QStringLiteral("Plan"), MigrationMode::Move, local()),
              MigrationEnd::Finish);
    EXPECT_EQ(admin::MigrateToNetwork(QStringLiteral("Theirs"), MigrationMode::Move, local()),
              MigrationEnd::Stop);
    EXPECT_EQ(admin::MigrateToNetwork(QStringLiteral("Theirs"), MigrationMode::Copy, local()),
              MigrationEnd::Finish);
    EXPECT_EQ(
        ui->messageTexts(),
        (QStringList{
            QStringLiteral(
                "Move denied.  Move requires you to be the budget Author.  You are authorized for new Copy."),
            QStringLiteral("Move denied.  You are not the budget Author at the target destination."),
            QStringLiteral("The selected Budget exists on the network database and you don't have overwrite "
                           "permissions.")}));
    Connection net = openNetwork();
    EXPECT_EQ(shape(net, QStringLiteral("Plan")), kWhole);
    Connection db = openLocal();
    EXPECT_EQ(shape(db, QStringLiteral("Plan")), kNone);
    EXPECT_FALSE(core::gOptions->LocalToNet || core::gOptions->NetToLocal);
}

// The author moves a budget each way: it arrives whole and relinked, and its source rows go,
// those of a budget whose name holds it stay.
TEST_F(MigrationTest, AnAuthorsMoveTakesTheWholeBudgetAcrossAndLeavesNothingBehind) {
    addSalesBudgets();
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(admin::MigrateToNetwork(QStringLiteral("Sales"), MigrationMode::Move, local()),
              MigrationEnd::Finish);
    EXPECT_EQ(ui->messageTexts(), QStringList());
    {
        Connection db = openLocal();
        Connection net = openNetwork();
        EXPECT_EQ(shape(db, QStringLiteral("Sales")), kNone);
        EXPECT_EQ(shape(db, QStringLiteral("Sales 2004")), kWhole);
        EXPECT_EQ(shape(net, QStringLiteral("Sales")), kWhole);
    }
    EXPECT_EQ(admin::MigrateToLocal(QStringLiteral("Sales"), MigrationMode::Move, local()),
              MigrationEnd::Finish);
    EXPECT_EQ(ui->messageTexts(), QStringList());
    Connection db = openLocal();
    Connection net = openNetwork();
    EXPECT_EQ(shape(net, QStringLiteral("Sales")), kNone);
    EXPECT_EQ(shape(db, QStringLiteral("Sales")), kWhole);
    EXPECT_EQ(shape(db, QStringLiteral("Sales 2004")), kWhole);
}

TEST_F(MigrationTest, AnOverwriteIsAskedAfterTheAuthorTestAndNoLeavesBothAsTheyWere) {
    {
        Connection net = openNetwork();
        addBudget(net, QStringLiteral("Plan"), kAdmin.name);
        Connection db = openLocal();
        addBudget(db, QStringLiteral("Plan"), kAdmin.name);
        db.execute(QStringLiteral("DELETE FROM UserFileTablesData WHERE Budget_Name = 'Plan'"));
    }
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    EXPECT_EQ(admin::MigrateToLocal(QStringLiteral("Plan"), MigrationMode::Copy, local()),
              MigrationEnd::Stop);
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral(
                  "This budget exists and you are the Author.  Do you want to overwrite it?")});
    Connection db = openLocal();
    EXPECT_EQ(count(db, QStringLiteral("UserFileTablesData"), QStringLiteral("Plan")), 0);
}

// The table copy fails on the target (its Worksheets table is gone): the move keeps its source,
// and the target holds nothing of the budget, not even its Budgets row.
TEST_F(MigrationTest, AMoveWhoseTableCopyFailsKeepsItsSource) {
    {
        Connection db = openLocal();
        addBudget(db, QStringLiteral("Plan"), kAdmin.name);
        Connection net = openNetwork();
        net.dropTable(QStringLiteral("Worksheets"));
    }
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(admin::MigrateToNetwork(QStringLiteral("Plan"), MigrationMode::Move, local()),
              MigrationEnd::Stop);
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts()[0].startsWith(QStringLiteral("Error ")))
        << ui->messageTexts()[0].toStdString();
    Connection db = openLocal();
    EXPECT_EQ(shape(db, QStringLiteral("Plan")), kWhole);
    Connection net = openNetwork();
    EXPECT_EQ(count(net, QStringLiteral("Budgets"), QStringLiteral("Plan")), 0);
    EXPECT_EQ(count(net, QStringLiteral("MasterFiles"), QStringLiteral("Plan")), 0);
}

TEST_F(MigrationTest, TheSourceMustHoldExactlyOneBudgetOfTheName) {
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(admin::MigrateToNetwork(QStringLiteral("Nowhere"), MigrationMode::Copy, local()),
              MigrationEnd::Stop);
    EXPECT_EQ(admin::MigrateToNetwork(QStringLiteral("<Dummy record>"), MigrationMode::Copy, local()),
              MigrationEnd::Stop);
    EXPECT_EQ(ui->messageTexts(),
              QStringList(2, QStringLiteral("The source query failed.  Run CompactDatabase.")));
}

// --- The window ---------------------------------------------------------------------------

TEST_F(MigrationTest, TheWindowListsBothDatabasesAndKeepsOneSelection) {
    {
        Connection db = openLocal();
        addBudget(db, QStringLiteral("Plan"), QString());
        db.execute(QStringLiteral("UPDATE Budgets SET Admin_Name = NULL WHERE Budget_Name = 'Plan'"));
    }
    testsupport::ScopedScriptedUi ui;
    QPointer<admin::frmMigrate> window = new admin::frmMigrate;
    window->show();
    platform::ui::ListBox* localList = window->lbxLocalDB();
    platform::ui::ListBox* netList = window->lbxNetDB();
    ASSERT_EQ(localList->listCount(), 2);
    EXPECT_EQ(localList->subItem(0), QStringLiteral("<Dummy record>"));
    EXPECT_EQ(localList->subItem(1), QStringLiteral("Plan"));
    EXPECT_TRUE(localList->subItem(1, 1).isEmpty()) << "a budget without an author";
    EXPECT_EQ(localList->selectedEntry(), -1);
    EXPECT_TRUE(window->optCopy()->isChecked());

    netList->selectEntry(0);
    localList->selectEntry(1);
    window->cmdToNet()->click(); // both lists have a selection: nothing happens
    EXPECT_TRUE(ui->asked().empty());
    Connection net = openNetwork();
    EXPECT_EQ(count(net, QStringLiteral("Budgets"), QStringLiteral("Plan")), 0);

    // While a run is under way the migration is refused with the run's message.
    netList->clearSelection();
    {
        const core::RunGuard::Token run;
        window->cmdToNet()->click();
    }
    EXPECT_EQ(ui->messageTexts(), QStringList{core::RunGuard::kRefusedText});
    EXPECT_EQ(count(net, QStringLiteral("Budgets"), QStringLiteral("Plan")), 0);

    window->cmdToNet()->click();
    EXPECT_EQ(count(net, QStringLiteral("Budgets"), QStringLiteral("Plan")), 1);
    EXPECT_EQ(netList->listCount(), 2) << "the lists are filled again";
    EXPECT_EQ(localList->selectedEntry(), -1);
}

} // namespace
