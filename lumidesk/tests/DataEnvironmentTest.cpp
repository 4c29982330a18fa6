// The data environments over the stored views: the levels are related within their budget,
// unlinked worksheets still show, and an environment keeps the database it was opened on
// until it is released.
#include "ExplorerDbFixture.h"
#include "lumidesk/DataEnvironment1.h"
#include "lumidesk/DataEnvironment2.h"
#include "platform/db/DbError.h"

#include <gtest/gtest.h>

namespace {

using lumidesk::ShapedRow;
using lumidesk::ShapedRowset;

// A level's rows as "<first field>" texts, or "<first field>: child, child" with the first
// fields of the next level.
QStringList outline(const ShapedRowset& level) {
    QStringList lines;
    for (const ShapedRow& row : level.rows) {
        QString line = row.values.value(0).toString();
        if (!row.children.empty()) {
            QStringList children;
            for (const ShapedRow& child : row.children.rows)
                children << child.values.value(0).toString();
            line += QStringLiteral(": ") + children.join(QStringLiteral(", "));
        }
        lines << line;
    }
    return lines;
}

class DataEnvironments : public lumidesktest::ExplorerDbFixture {
protected:
    // Two budgets that both hold Plan.xlsx, each with worksheets of its own; North's second
    // worksheet is not linked to its master workbook's key, and one row names its budget in
    // other letters.
    void addTwoPlans() {
        addBudget(QStringLiteral("North"));
        addBudget(QStringLiteral("South"));
        const qint64 north = addMasterFile(QStringLiteral("North"), QStringLiteral("Plan.xlsx"));
        const qint64 south = addMasterFile(QStringLiteral("South"), QStringLiteral("Plan.xlsx"));
        addMasterFile(QStringLiteral("North"), QStringLiteral("Costs.xlsx"));
        addWorksheet(QStringLiteral("North"), QStringLiteral("Plan.xlsx"), north, QStringLiteral("N-Sales"),
                     QStringLiteral("N-Sales.xlsx"), QStringLiteral("East"));
        addWorksheet(QStringLiteral("North"), QStringLiteral("Plan.xlsx"), 0, QStringLiteral("N-Unlinked"));
        addWorksheet(QStringLiteral("NORTH"), QStringLiteral("plan.xlsx"), north, QStringLiteral("N-Upper"));
        addWorksheet(QStringLiteral("South"), QStringLiteral("Plan.xlsx"), south, QStringLiteral("S-Sales"),
                     QStringLiteral("N-Sales.xlsx"), QStringLiteral("East"));
        addUser(QStringLiteral("Ann"), QStringLiteral("East"));
        addUser(QStringLiteral("Bob"), QStringLiteral("East"));
        addUserFile({QStringLiteral("N-Sales.xlsx"), QStringLiteral("Ann"), QStringLiteral("North"),
                     QStringLiteral("East")});
        addUserFile({QStringLiteral("N-Sales.xlsx"), QStringLiteral("Bob"), QStringLiteral("South"),
                     QStringLiteral("East")});
    }
};

TEST_F(DataEnvironments, BudgetsViewShowsEachBudgetsOwnWorksheetsOfASharedWorkbookName) {
    addTwoPlans();
    const ShapedRowset& budgets = lumidesk::DataEnvironment2::instance().Rows();
    EXPECT_EQ(budgets.member, QStringLiteral("BudgetsView"));
    EXPECT_EQ(outline(budgets),
              (QStringList{QStringLiteral("<Dummy record>"), QStringLiteral("North: Costs.xlsx, Plan.xlsx"),
                           QStringLiteral("South: Plan.xlsx")}));

    const ShapedRowset& northFiles = budgets.rows[1].children;
    const ShapedRowset& southFiles = budgets.rows[2].children;
    EXPECT_EQ(northFiles.member, QStringLiteral("MasterFilesView"));
    EXPECT_EQ(outline(northFiles), (QStringList{QStringLiteral("Costs.xlsx"),
                                                QStringLiteral("Plan.xlsx: N-Sales, N-Unlinked, N-Upper")}));
    EXPECT_EQ(outline(southFiles), QStringList{QStringLiteral("Plan.xlsx: S-Sales")});
    EXPECT_EQ(southFiles.rows[0].children.member, QStringLiteral("WorksheetsView"));
}

TEST_F(DataEnvironments, MasterFilesViewRelatesUserFilesWithinTheirBudget) {
    addTwoPlans();
    const ShapedRowset& files = lumidesk::DataEnvironment1::instance().Rows();
    // Ordered by budget, then workbook; each workbook lists its own worksheets, each
    // worksheet the user files of its own budget only.
    // The placeholder row of MasterFiles, which has no budget, comes first.
    ASSERT_EQ(outline(files), (QStringList{QStringLiteral("<Dummy record>"), QStringLiteral("Costs.xlsx"),
                                           QStringLiteral("Plan.xlsx: N-Sales, N-Unlinked, N-Upper"),
                                           QStringLiteral("Plan.xlsx: S-Sales")}));
    const ShapedRowset& northSheets = files.rows[2].children;
    const ShapedRowset& southSheets = files.rows[3].children;
    const ShapedRowset& northUsers = northSheets.rows[0].children;
    const ShapedRowset& southUsers = southSheets.rows[0].children;
    EXPECT_EQ(northUsers.member, QStringLiteral("UFTDView"));
    ASSERT_EQ(northUsers.rows.size(), 1u);
    ASSERT_EQ(southUsers.rows.size(), 1u);
    EXPECT_EQ(northUsers.rows[0].value(northUsers, QStringLiteral("Users")).toString(),
              QStringLiteral("Ann"));
    EXPECT_EQ(southUsers.rows[0].value(southUsers, QStringLiteral("Users")).toString(),
              QStringLiteral("Bob"));
    EXPECT_TRUE(northSheets.rows[1].children.empty()) << "a worksheet without user file has none";
}

TEST_F(DataEnvironments, CurrentRowFollowsMovesAndIsResetByARequery) {
    addTwoPlans();
    lumidesk::DataEnvironment2& source = lumidesk::DataEnvironment2::instance();
    source.Rows();
    EXPECT_EQ(source.CurrentRow(), 0);
    source.MoveTo(2);
    EXPECT_EQ(source.CurrentValue(QStringLiteral("Budget_Name")).toString(), QStringLiteral("South"));
    source.MoveTo(7); // outside the rows: stays
    EXPECT_EQ(source.CurrentRow(), 2);
    source.Requery();
    EXPECT_EQ(source.CurrentRow(), 0);
}

TEST_F(DataEnvironments, KeepTheirDatabaseUntilReleased) {
    addBudget(QStringLiteral("LocalOnly"));
    lumidesk::DataEnvironment2& before = lumidesk::DataEnvironment2::instance();
    ASSERT_EQ(before.Rows().rows.size(), 2u);
    const QString local = before.DataSource();

    const QString network = useNetworkDatabase(QStringLiteral("s3cret"));
    {
        platform::db::Connection cnn = openMaster();
        cnn.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('NetOnly')"));
    }
    before.Requery();
    EXPECT_EQ(before.DataSource(), local);
    EXPECT_EQ(before.Rows().rows[1].values.value(0).toString(), QStringLiteral("LocalOnly"));

    lumidesk::DataEnvironment2::release();
    lumidesk::DataEnvironment2& after = lumidesk::DataEnvironment2::instance();
    EXPECT_EQ(after.Rows().rows[1].values.value(0).toString(), QStringLiteral("NetOnly"));
    EXPECT_EQ(after.DataSource(), network);
    EXPECT_EQ(after.ConnectionName(), QStringLiteral("Lumidesk"));
    EXPECT_EQ(lumidesk::DataEnvironment1::instance().ConnectionName(), QStringLiteral("FilesTables"));
}

TEST_F(DataEnvironments, AMissingViewIsAnErrorOfTheCommand) {
    exec(QStringLiteral("DROP VIEW UFTDView"));
    addBudget(QStringLiteral("North"));
    const qint64 id = addMasterFile(QStringLiteral("North"), QStringLiteral("Plan.xlsx"));
    addWorksheet(QStringLiteral("North"), QStringLiteral("Plan.xlsx"), id, QStringLiteral("Sheet1"));
    EXPECT_THROW(lumidesk::DataEnvironment1::instance().Rows(), platform::db::DbError);
}

} // namespace
