// Formula rewrites done on tokens: shared formulas, renamed and deleted sheets, other
// workbooks' references, reference styles.
#include "platform/sheet/FormulaText.h"

#include "platform/sheet/SheetError.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {
std::string shift(const std::string& formula, int rows, int cols) {
    return FormulaText::shifted(FormulaText::tokenize(formula), rows, cols);
}
} // namespace

TEST(FormulaText, SharedFormulaMovesOnlyRelativeParts) {
    const struct {
        const char* formula;
        int rows, cols;
        const char* expected;
    } cases[] = {
        {"B2*12", 1, 0, "B3*12"},
        {"$B$2+B$2+$B2", 2, 1, "$B$2+C$2+$B4"},
        {"SUM(B2:B5)", 0, 2, "SUM(D2:D5)"},
        {"SUM(C:C)+SUM(3:4)", 1, 1, "SUM(D:D)+SUM(4:5)"},
        {"Rates!B2&\"B2\"", 1, 0, "Rates!B3&\"B2\""},
        {"'My Sheet'!A1*LOG10(A1)", 1, 0, "'My Sheet'!A2*LOG10(A2)"},
        {"A1", -1, 0, "#REF!"},
        {"Table1[Amount]*B2", 1, 0, "Table1[Amount]*B3"},
        {"1.5E+3*B2", 1, 0, "1.5E+3*B3"},
        {"IF(B2>0,TRUE,#N/A)", 1, 0, "IF(B3>0,TRUE,#N/A)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shift(c.formula, c.rows, c.cols), c.expected) << c.formula;
}

TEST(FormulaText, RenamedSheetIsFollowedAndQuotedWhenNeeded) {
    EXPECT_EQ(FormulaText::renameSheet("Rates!B2*'rates'!C3+Other!A1", "Rates", "New Rates"),
              "'New Rates'!B2*'New Rates'!C3+Other!A1");
    EXPECT_EQ(FormulaText::renameSheet("SUM(Jan:Mar!B2)", "Mar", "Qtr"), "SUM(Jan:Qtr!B2)");
    // A sheet name that reads as a cell needs its quotes, also in a span.
    EXPECT_EQ(FormulaText::renameSheet("SUM(Jan:Mar!B2)", "Mar", "Q1"), "SUM('Jan:Q1'!B2)");
    // A text that merely looks like a reference, and another workbook's sheet, stay.
    EXPECT_EQ(FormulaText::renameSheet("\"Rates!B2\"&[1]Rates!B2", "Rates", "X"), "\"Rates!B2\"&[1]Rates!B2");
    EXPECT_EQ(FormulaText::renameSheet("Rates!B2", "Rates", "A1"), "'A1'!B2");
}

TEST(FormulaText, DeletedSheetBecomesRef) {
    EXPECT_EQ(FormulaText::dropSheet("Rates!B2+Budget!C3", "rates"), "#REF!B2+Budget!C3");
}

TEST(FormulaText, PrefixesReadWithBooksFoldersAndSpans) {
    auto p = FormulaText::parsePrefix("'/data/budgets/[Budget.xlsx]Rates'!");
    EXPECT_TRUE(p.hasBook);
    EXPECT_EQ(p.folder, "/data/budgets/");
    EXPECT_EQ(p.book, "Budget.xlsx");
    EXPECT_EQ(p.sheet, "Rates");
    EXPECT_EQ(FormulaText::formatPrefix(p), "'/data/budgets/[Budget.xlsx]Rates'!");
    p = FormulaText::parsePrefix("[1]Rates!");
    EXPECT_EQ(p.book, "1");
    EXPECT_EQ(FormulaText::formatPrefix(p), "[1]Rates!");
    p = FormulaText::parsePrefix("'It''s'!");
    EXPECT_EQ(p.sheet, "It's");
    EXPECT_EQ(FormulaText::formatPrefix(p), "'It''s'!");
}

TEST(FormulaText, ReferenceStylesConvert) {
    EXPECT_EQ(FormulaText::convertStyle("R3C2", ReferenceStyle::R1C1, ReferenceStyle::A1), "$B$3");
    EXPECT_EQ(FormulaText::convertStyle("R3C28", ReferenceStyle::R1C1, ReferenceStyle::A1), "$AB$3");
    EXPECT_EQ(
        FormulaText::convertStyle("SUM(R[-1]C:R[1]C[1])", ReferenceStyle::R1C1, ReferenceStyle::A1, {5, 2}),
        "SUM(B4:C6)");
    EXPECT_EQ(FormulaText::convertStyle("$B$3+B4", ReferenceStyle::A1, ReferenceStyle::R1C1, {3, 2}),
              "R3C2+R[1]C");
    EXPECT_THROW(FormulaText::convertStyle("R0C1", ReferenceStyle::R1C1, ReferenceStyle::A1), SheetError);
}
