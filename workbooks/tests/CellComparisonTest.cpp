// The cell comparison: the change codes of a cell pair, the order and labels of the change
// list, and the corrupted formula with its errors row, setting, question and flags.
#include "workbooks/CellComparison.h"

#include "platform/sys/SettingsStore.h"
#include "workbooks/tests/BudgetFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace workbookstest;
using platform::ui::Answer;
using workbooks::CellTexts;

struct ClassifyCase {
    const char* name;
    const char* master;
    const char* user;
    qint16 code;
};

class ClassifyCellChangeTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyCellChangeTest, GivesTheCodeOfTheCellPair) {
    const ClassifyCase& c = GetParam();
    EXPECT_EQ(workbooks::ClassifyCellChange(QString::fromUtf8(c.master), QString::fromUtf8(c.user),
                                            QStringLiteral("Budget.xlsx")),
              c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ClassifyCellChangeTest,
    ::testing::Values(ClassifyCase{"BothEmpty", "", "", workbooks::kBothEmpty},
                      ClassifyCase{"CaseOnly", "Total", "TOTAL", workbooks::kUnchangedValue},
                      ClassifyCase{"ValueChanged", "100", "150", workbooks::kChangedValue},
                      ClassifyCase{"ValueCleared", "100", "", workbooks::kChangedValue},
                      ClassifyCase{"ValueEntered", "", "7", workbooks::kChangedValue},
                      ClassifyCase{"SameFormula", "=B2+C2", "=b2+c2", workbooks::kSameFormula},
                      ClassifyCase{"FormulaToMasterFile", "=D2*Rates!B1", "=D2*'/data/[BUDGET.xlsx]Rates'!B1",
                                   workbooks::kExternalReference},
                      ClassifyCase{"FormulaReplaced", "=B2+C2", "210", workbooks::kCorruptedFormula},
                      ClassifyCase{"FormulaDeleted", "=B2+C2", "", workbooks::kCorruptedFormula},
                      ClassifyCase{"OtherFormula", "=B2+C2", "=B2-C2", workbooks::kCorruptedFormula}),
    [](const auto& info) { return std::string(info.param.name); });

CellTexts table(std::initializer_list<std::initializer_list<const char*>> rows) {
    CellTexts texts(int(rows.size()), int(rows.begin()->size()));
    int r = 1;
    for (const auto& row : rows) {
        int c = 1;
        for (const char* text : row)
            texts.at(r, c++) = QString::fromUtf8(text);
        ++r;
    }
    return texts;
}

class CompareSheetArraysTest : public BudgetFixture {};

TEST_F(CompareSheetArraysTest, ListsChangesColumnByColumnWithTheirLabels) {
    const CellTexts master =
        table({{"Item", "Q1"}, {"North", "100"}, {"South", "200"}, {"", ""}, {"East", ""}});
    const CellTexts user =
        table({{"ITEM", "Q1"}, {"North", "100"}, {"South", "250"}, {"", ""}, {"West", ""}});
    testsupport::ScopedScriptedUi ui;
    const auto list = workbooks::CompareSheetArrays(master, user, 5, 2, "Sales.xlsx", "Budget.xlsx");
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0].label, "A5") << "column A comes before column B";
    EXPECT_EQ((*list)[0].changedValue, "West");
    EXPECT_EQ((*list)[0].currentValue, "East");
    EXPECT_EQ((*list)[1].label, "B3");
    EXPECT_EQ((*list)[1].row, 3);
    EXPECT_EQ((*list)[1].column, 2);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(workbooks::CellLabel(3, 28), "AB3");
    EXPECT_EQ(workbooks::CellLabel(1048576, 16384), "XFD1048576");
}

TEST_F(CompareSheetArraysTest, CorruptedFormulaIsRecordedAndAsked) {
    const CellTexts master = table({{"Item", "Total"}, {"North", "=SUM(C2:D2)"}, {"South", "=SUM(C3:D3)"}});
    const CellTexts user = table({{"Item", "Total"}, {"North", "=SUM(C2:D2)"}, {"South", "410"}});
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        core::gOptions->CorruptedFlag = false;
        core::gOptions->CancelOp = false;
        execute("DELETE FROM Errors");
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({answer});
        EXPECT_FALSE(
            workbooks::CompareSheetArrays(master, user, 3, 2, "Sales.xlsx", "Budget.xlsx").has_value());
        ASSERT_EQ(ui->asked().size(), 1u);
        EXPECT_EQ(ui->asked()[0].text,
                  "The User file [Sales.xlsx] has a corrupted formula at [B3]. \r\n"
                  " Repair or replace this User File.  Do you want to continue updating?");
        EXPECT_EQ(ui->asked()[0].buttons, platform::ui::Buttons::YesNo);
        EXPECT_EQ(ui->asked()[0].title, "Lumivane");
        EXPECT_TRUE(core::gOptions->CorruptedFlag);
        EXPECT_EQ(core::gOptions->CancelOp, answer == Answer::No);
        EXPECT_EQ(rows("SELECT Row_number, Col_number, A1Style, UF_name, UF_table, MF_table, Corrupt_Error, "
                       "Truncate_Error, RecordLength_Error, MF_Name, MF_Value, Change_Value, Budget_Name "
                       "FROM Errors"),
                  QStringList{"3|2|B3|Sales.xlsx|1|0|1|0|0|Budget.xlsx|=SUM(C3:D3)|410|Plan"});
        EXPECT_EQ(
            platform::sys::readSetting(platform::sys::kDesktopApplication, "Errors", "CorruptedFilename"),
            "Sales.xlsx");
    }
}

TEST_F(CompareSheetArraysTest, CellBeyondTheUserSheetIsACorruptedFormula) {
    const CellTexts master = table({{"Item", "Q1"}, {"North", "100"}, {"South", "200"}});
    const CellTexts user = table({{"Item", "Q1"}, {"North", "100"}});
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes});
    EXPECT_FALSE(workbooks::CompareSheetArrays(master, user, 3, 2, "Sales.xlsx", "Budget.xlsx").has_value());
    EXPECT_EQ(ui->messageTexts(), QStringList{workbooks::kCorruptedFormulaText.arg("Sales.xlsx", "A3")})
        << "the first cell beyond the user table, column A first";
    EXPECT_EQ(rows("SELECT MF_Value, Change_Value FROM Errors"), QStringList{"South|"});
}

} // namespace
