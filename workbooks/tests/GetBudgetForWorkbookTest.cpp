// Which budget tracks a workbook: the file name and folder compared without regard to case,
// rows without a budget passed over, and a failure reported.
#include "workbooks/GetBudgetForWorkbook.h"

#include "workbooks/tests/BudgetFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace workbookstest;

class GetBudgetForWorkbookTest : public BudgetFixture {};

TEST_F(GetBudgetForWorkbookTest, MatchesNameAndFolderWithoutCase) {
    addMaster(11, "Budget.xlsx", "/data/Plans", "");
    addMaster(12, "Budget.xlsx", "/data/Plans/", "Plan");
    addMaster(13, "Budget.xlsx", "/data/Old", "Other");
    addMaster(14, "OldBudget.xlsx", "/data/Plans", "Other");
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::GetBudgetForWorkbook("BUDGET.xlsx", "/DATA/plans"), "Plan")
        << "the row without a budget is passed over; a final slash does not count";
    EXPECT_EQ(workbooks::GetBudgetForWorkbook("Budget.xlsx", "/data/Old"), "Other");
    EXPECT_EQ(workbooks::GetBudgetForWorkbook("Budget.xlsx", "/data"), "");
    EXPECT_EQ(workbooks::GetBudgetForWorkbook("Budget", "/data/Plans"), "") << "no part of a name matches";
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(core::gDB2, nullptr);

    execute("DROP TABLE MasterFiles");
    EXPECT_EQ(workbooks::GetBudgetForWorkbook("Budget.xlsx", "/data/Plans"), "");
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith("Error ")) << ui->messageTexts().front().toStdString();
}

} // namespace
