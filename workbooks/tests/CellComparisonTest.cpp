// The cell comparison: the change codes of a cell pair, the order and labels of the change
// list, the corrupted formula with its errors row, setting, question and flags, and the values
// beyond the cut block: a bounded number of errors rows in one transaction.
#include "workbooks/CellComparison.h"

#include "platform/db/Connection.h"
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

// Values beside the block of a values-only file: a row each for the first 100 (column by
// column), one row that counts the rest, all in one commit before the question, which counts
// them all; a file of many such values writes no more rows than that.
TEST_F(CompareSheetArraysTest, ValuesOutsideTheBlockWriteBoundedRowsInOneCommit) {
    const CellTexts master = table({{"Item", "Q1"}, {"North", "100"}});
    struct Case {
        const char* name;
        int rows;    // of values below the block
        int columns; // of values in each of those rows
        QString question;
    };
    const Case cases[] = {
        {"one value", 1, 1, workbooks::kValueOutsideBlockText.arg("Sales.xlsx", "A3", "v3.1")},
        {"as many as are listed", 2, 50,
         workbooks::kValuesOutsideBlockText.arg("Sales.xlsx", "A3", "v3.1", "100")},
        {"more than are listed", 2, 400,
         workbooks::kValuesOutsideBlockText.arg("Sales.xlsx", "A3", "v3.1", "800")},
    };
    const QString fields = QStringLiteral("|Sales.xlsx|1|0|0|0|1|Budget.xlsx|");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute("DELETE FROM Errors");
        // The user's sheet: the block as cut, and rows below it full of values.
        CellTexts user(2 + c.rows, std::max(2, c.columns));
        for (int r = 1; r <= 2; ++r)
            for (int col = 1; col <= 2; ++col)
                user.at(r, col) = master.at(r, col);
        for (int r = 3; r < 3 + c.rows; ++r)
            for (int col = 1; col <= c.columns; ++col)
                user.at(r, col) = QStringLiteral("v%1.%2").arg(r).arg(col);
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({Answer::Yes});
        qint64 rowsAtQuestion = -1;
        bool freeAtQuestion = false;
        ui->whileAsking([&] {
            rowsAtQuestion = scalar("SELECT COUNT(*) FROM Errors").toLongLong();
            freeAtQuestion = othersCanWrite();
        });
        const qint64 commits = platform::db::Connection::commitCount();
        EXPECT_TRUE(workbooks::AskAboutValuesOutsideBlock(master, user, "Sales.xlsx", "Budget.xlsx"));
        EXPECT_EQ(platform::db::Connection::commitCount() - commits, 1) << "one commit for all the rows";
        EXPECT_EQ(ui->messageTexts(), QStringList{c.question});

        const QStringList written =
            rows("SELECT Row_number, Col_number, A1Style, UF_name, UF_table, MF_table, Corrupt_Error, "
                 "Truncate_Error, RecordLength_Error, MF_Name, Change_Value FROM Errors ORDER BY ID");
        const int values = c.rows * c.columns;
        const int listed = std::min(values, workbooks::kValuesOutsideBlockListed);
        ASSERT_EQ(written.size(), listed + (values > listed ? 1 : 0));
        EXPECT_EQ(written.first(), "3|1|A3" + fields + "v3.1");
        if (values > 1) {
            EXPECT_EQ(written[1], "4|1|A4" + fields + "v4.1") << "column by column";
        }
        EXPECT_EQ(written[listed - 1].section(u'|', 0, 2),
                  QStringLiteral("%1|%2|%3")
                      .arg(2 + c.rows)
                      .arg(listed / c.rows)
                      .arg(workbooks::CellLabel(2 + c.rows, listed / c.rows)));
        if (values > listed) { // the first value not listed: the first of column 51
            EXPECT_EQ(written.last(),
                      "3|51|<null>" + fields +
                          workbooks::kMoreValuesOutsideBlockText.arg(values - listed).arg("AY3"));
        }
        EXPECT_EQ(rowsAtQuestion, written.size()) << "the rows are committed before the question";
        EXPECT_TRUE(freeAtQuestion);
    }
}

} // namespace
