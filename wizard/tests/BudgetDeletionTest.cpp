// Deleting a budget's dependent rows on a real master database: only the rows of exactly that
// budget (ignoring case) go, never those of a budget whose name holds it; the placeholder and an
// empty name delete nothing; inside a caller's transaction the deletion is the caller's to keep
// or take back.
#include "wizard/BudgetDeletion.h"

#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {

using platform::db::Connection;

class BudgetDeletion : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        makeDatabase();
    }

    // A fresh master database with two budgets, one name holding the other.
    void makeDatabase() {
        cnn_.close();
        const QString path =
            testsupport::freshDir(QStringLiteral("db%1").arg(++made_)) + QStringLiteral("/lumimaster.mdb");
        copyBuiltMaster(path);
        cnn_.open(QStringLiteral("Data Source=") + path);
        cnn_.executeScript(QStringLiteral(
            "INSERT INTO Budgets (Budget_Name) VALUES ('Sales'), ('Sales 2004');"
            "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Budget_Name) VALUES "
            "  (11, 'Plan.xlsx', 'Sales'), (12, 'Plan.xlsx', 'Sales 2004');"
            "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES "
            "  ('North', 'Plan.xlsx', 'SALES', 11), ('North', 'Plan.xlsx', 'Sales 2004', 12);"
            "INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name) VALUES "
            "  ('North.xlsx', 'Plan.xlsx', 'Sales'), ('North.xlsx', 'Plan.xlsx', 'Sales 2004');"));
    }

    // The budget names of the dependent rows, table by table.
    QStringList dependentRows() {
        QStringList rows;
        for (const char* table : {"UserFileTablesData", "Worksheets", "MasterFiles"}) {
            platform::db::Recordset rst = platform::db::Recordset::open(
                cnn_, QStringLiteral("SELECT Budget_Name FROM %1 WHERE Budget_Name <> '<Dummy record>' "
                                     "ORDER BY Budget_Name")
                          .arg(QLatin1String(table)));
            for (; !rst.eof(); rst.moveNext())
                rows << QLatin1String(table) + QLatin1Char(':') + rst.value(0).toString();
        }
        return rows;
    }

    Connection cnn_;
    int made_ = 0;
};

const QStringList kAll = {"UserFileTablesData:Sales", "UserFileTablesData:Sales 2004",
                          "Worksheets:SALES",         "Worksheets:Sales 2004",
                          "MasterFiles:Sales",        "MasterFiles:Sales 2004"};
const QStringList kWithoutSales = {"UserFileTablesData:Sales 2004", "Worksheets:Sales 2004",
                                   "MasterFiles:Sales 2004"};

TEST_F(BudgetDeletion, DeletesTheRowsOfExactlyThatBudgetOrNothing) {
    const struct {
        const char* name;
        bool deleted;
        QStringList left;
    } cases[] = {
        {"", false, kAll},
        {"<dummy RECORD>", false, kAll},
        {"Sal", true, kAll}, // nothing of that name was there, and nothing else went
        {"sales", true, kWithoutSales},
    };
    for (const auto& c : cases) {
        makeDatabase();
        EXPECT_EQ(c.deleted, wizard::DeleteBudgetData(QString::fromUtf8(c.name), cnn_)) << c.name;
        EXPECT_EQ(c.left, dependentRows()) << c.name;
        EXPECT_FALSE(cnn_.inTransaction()) << c.name;
    }
}

TEST_F(BudgetDeletion, InsideTheCallersTransactionItIsTheCallersToKeep) {
    {
        platform::db::Transaction transaction(cnn_);
        ASSERT_TRUE(wizard::DeleteBudgetData(QStringLiteral("Sales"), cnn_));
        EXPECT_TRUE(cnn_.inTransaction());
        EXPECT_EQ(kWithoutSales, dependentRows());
    } // not committed: taken back
    EXPECT_EQ(kAll, dependentRows());
}

TEST_F(BudgetDeletion, ARefusedDeletionIsReportedAndTakesNothing) {
    testsupport::ScopedScriptedUi ui;
    cnn_.executeScript(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON MasterFiles "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    EXPECT_FALSE(wizard::DeleteBudgetData(QStringLiteral("Sales"), cnn_));
    EXPECT_EQ(kAll, dependentRows()) << "the user-file and worksheet rows came back";
    ASSERT_EQ(1, ui->messageTexts().size());
    EXPECT_TRUE(ui->messageTexts().first().startsWith(QStringLiteral("Error ")))
        << ui->messageTexts().first().toStdString();
}

} // namespace
