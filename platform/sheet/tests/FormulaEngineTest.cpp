// The formula engine on its own: what formulas evaluate to (operators and their precedence,
// texts, truth values, errors, the functions, references across sheets), and which cells are
// recalculated after writes -- across sheets, along long chains, around circular references and
// formulas the engine does not evaluate, and after a sheet is deleted.
#include "SheetTestSupport.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/formula/FormulaEvaluator.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {

CellValue num(double v) {
    return CellValue::fromNumber(v);
}
CellValue text(const char16_t* v) {
    return CellValue::fromText(QString::fromUtf16(v));
}
CellValue truth(bool v) {
    return CellValue::fromBoolean(v);
}
CellValue err(const char16_t* code) {
    return CellValue::fromError(QString::fromUtf16(code));
}

// Data: A1 10, A2 0, A3 TRUE, A4 "abc", A5 "5" (a text), A6 empty, A7 0.1, A8 0.2, A9 #N/A,
// B1:B3 1, 2, 3, A20:B20 1, 2; 'My Sheet'!A1 5; Jan, Feb, Mar B2 1, 2, 3.
std::unique_ptr<Workbook> dataWorkbook() {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& data = wb->sheet(0);
    wb->renameSheet(data, QStringLiteral("Data"));
    const char16_t* entries[][2] = {{u"A1", u"10"}, {u"A2", u"0"},   {u"A3", u"TRUE"}, {u"A4", u"abc"},
                                    {u"A5", u"'5"}, {u"A7", u"0.1"}, {u"A8", u"0.2"},  {u"A9", u"#N/A"},
                                    {u"B1", u"1"},  {u"B2", u"2"},   {u"B3", u"3"},    {u"A20", u"1"},
                                    {u"B20", u"2"}};
    for (const auto& [at, typed] : entries)
        data.range(QString::fromUtf16(at)).setEntry(QString::fromUtf16(typed));
    wb->addSheet(nullptr, &data, QStringLiteral("My Sheet")).setEntry({1, 1}, QStringLiteral("5"));
    int value = 1;
    for (const char* month : {"Jan", "Feb", "Mar"})
        wb->addSheet(nullptr, &wb->sheet(wb->sheetCount() - 1), QString::fromLatin1(month))
            .setEntry({2, 2}, QString::number(value++));
    return wb;
}

} // namespace

TEST(FormulaEngine, FormulasEvaluateAsInASpreadsheetProgram) {
    const struct {
        const char16_t* formula;
        CellValue expected;
    } cases[] = {
        // Operators and their precedence: negation before power, power left to right.
        {u"=A1*2+3", num(23)},
        {u"=2+3*4", num(14)},
        {u"=-2^2", num(4)},
        {u"=2^3^2", num(64)},
        {u"=(1+2)*3", num(9)},
        {u"=10%+A1%", num(0.2)},
        {u"=+A1", num(10)},
        // Errors: division by zero, errors passed on, error literals, a deleted sheet's reference.
        {u"=A1/A2", err(u"#DIV/0!")},
        {u"=A1/A2+1", err(u"#DIV/0!")},
        {u"=A9+1", err(u"#N/A")},
        {u"=#REF!+1", err(u"#REF!")},
        {u"=#REF!A1*2", err(u"#REF!")},
        {u"=Gone!A1", err(u"#REF!")},
        // Texts, empty cells and truth values in arithmetic.
        {u"=A5+1", num(6)},
        {u"=A4+1", err(u"#VALUE!")},
        {u"=A6+1", num(1)},
        {u"=A6", num(0)},
        {u"=A3*2", num(2)},
        // Truth values and comparisons: numbers before texts before truth values, texts
        // without regard to case, numbers to 15 digits.
        {u"=A3", truth(true)},
        {u"=TRUE", truth(true)},
        {u"=FALSE()", truth(false)},
        {u"=A1>5", truth(true)},
        {u"=A1<>10", truth(false)},
        {u"=\"abc\"=\"ABC\"", truth(true)},
        {u"=A4<\"abd\"", truth(true)},
        {u"=1<\"a\"", truth(true)},
        {u"=\"z\"<TRUE", truth(true)},
        {u"=A6=0", truth(true)},
        {u"=A6=\"\"", truth(true)},
        {u"=0.1+0.2=0.3", truth(true)},
        // Joined texts show numbers in their general form.
        {u"=A6&\"x\"", text(u"x")},
        {u"=1/3&\"\"", text(u"0.333333333333333")},
        {u"=A1&\" units \"&A3", text(u"10 units TRUE")},
        {u"=1E+20&\"\"", text(u"1E+20")},
        {u"=CONCATENATE(\"a\",A1,A7)", text(u"a100.1")},
        // Sums and the like: references count numbers only, typed arguments also truth values
        // and texts holding numbers; an error in a block is passed on.
        {u"=SUM(A1:A8)", num(10.3)},
        {u"=SUM(A3,A5,A1)", num(10)},
        {u"=SUM(1,TRUE,\"5\")", num(7)},
        {u"=SUM(1,\"x\")", err(u"#VALUE!")},
        {u"=SUM(A1:A9)", err(u"#N/A")},
        {u"=SUM(B:B)", num(8)},
        {u"=SUM(20:20)", num(3)},
        {u"=AVERAGE(B1:B3)", num(2)},
        {u"=AVERAGE(A6)", err(u"#DIV/0!")},
        {u"=MIN(B1:B3)", num(1)},
        {u"=MAX(B1:B3,7)", num(7)},
        {u"=MAX(A4)", num(0)},
        {u"=COUNT(A1:A9)", num(4)},
        {u"=COUNTA(A1:A9)", num(8)},
        // Rounding on the 15 digits shown: 2.345 and 1.005 round up, halves away from zero.
        {u"=ROUND(2.345,2)", num(2.35)},
        {u"=ROUND(1.005,2)", num(1.01)},
        {u"=ROUND(-2.5,0)", num(-3)},
        {u"=ROUND(1234.5678,-2)", num(1200)},
        {u"=ROUND(0.004,1)", num(0)},
        {u"=ROUNDUP(2.001,2)", num(2.01)},
        {u"=ROUNDUP(0.001,0)", num(1)},
        {u"=ROUNDDOWN(-2.999,1)", num(-2.9)},
        {u"=INT(-2.5)+ABS(-4)", num(1)},
        // Conditions.
        {u"=IF(A1>5,\"big\",\"small\")", text(u"big")},
        {u"=IF(A2,1)", truth(false)},
        {u"=IF(A1,,2)", num(0)},
        {u"=IF(A4,1,2)", err(u"#VALUE!")},
        {u"=IF(A1>5,B1:B3,0)", err(u"#VALUE!")},
        {u"=SUM(IF(A1>5,B1:B3,0))", num(6)},
        {u"=IFERROR(A1/A2,-1)", num(-1)},
        {u"=IFERROR(A1,-1)", num(10)},
        {u"=AND(A3,A1>1)", truth(true)},
        {u"=OR(A2,FALSE)", truth(false)},
        {u"=NOT(A3)", truth(false)},
        {u"=AND(A4)", err(u"#VALUE!")},
        // Other sheets, a span of sheets.
        {u"='My Sheet'!A1+1", num(6)},
        {u"=SUM(Data!A1,'my sheet'!A1)", num(15)},
        {u"=SUM(Jan:Mar!B2)", num(6)},
        {u"=Jan:Mar!B2", err(u"#VALUE!")},
    };
    auto wb = dataWorkbook();
    Worksheet& data = wb->sheet(0);
    int row = 30;
    for (const auto& c : cases)
        data.setEntry({row++, 4}, QString::fromUtf16(c.formula));
    row = 30;
    for (const auto& c : cases) {
        const CellValue got = data.value({row++, 4});
        if (c.expected.type == CellValue::Type::Number && got.type == CellValue::Type::Number)
            EXPECT_DOUBLE_EQ(got.number, c.expected.number) << QString::fromUtf16(c.formula).toStdString();
        else
            EXPECT_EQ(got, c.expected)
                << QString::fromUtf16(c.formula).toStdString() << " gave " << got.toText().toStdString();
    }
    EXPECT_TRUE(wb->staleCells().empty());
}

TEST(FormulaEngine, ABlockWhereOneValueIsWantedGivesTheCellInTheFormulasRowOrColumn) {
    auto wb = dataWorkbook();
    Worksheet& data = wb->sheet(0);
    data.setEntry({2, 5}, QStringLiteral("=B1:B3*10")); // row 2 of the block
    data.setEntry({7, 5}, QStringLiteral("=B1:B3*10")); // no row 7 in the block
    data.setEntry({10, 2}, QStringLiteral("=A20:C20")); // column B of the row
    EXPECT_EQ(data.value({2, 5}), num(20));
    EXPECT_EQ(data.value({7, 5}), err(u"#VALUE!"));
    EXPECT_EQ(data.value({10, 2}), num(2));
}

TEST(FormulaEngine, RoundingWorksOnTheDigitsShown) {
    using R = FormulaEvaluator::Rounding;
    EXPECT_DOUBLE_EQ(FormulaEvaluator::roundDecimal(0.285, 2, R::Nearest), 0.29);
    EXPECT_DOUBLE_EQ(FormulaEvaluator::roundDecimal(-0.285, 2, R::Nearest), -0.29);
    EXPECT_DOUBLE_EQ(FormulaEvaluator::roundDecimal(0.6, 0, R::Nearest), 1);
    EXPECT_DOUBLE_EQ(FormulaEvaluator::roundDecimal(123456.5, -10, R::Nearest), 0);
    EXPECT_DOUBLE_EQ(FormulaEvaluator::roundDecimal(123456.5, -10, R::Up), 1e10);
    EXPECT_DOUBLE_EQ(FormulaEvaluator::roundDecimal(0.1 + 0.2, 20, R::Down), 0.1 + 0.2);
    EXPECT_DOUBLE_EQ(FormulaEvaluator::roundDecimal(-1.5e-7, 7, R::Up), -2e-7);
}

TEST(FormulaEngine, ResultsFollowWritesAcrossSheetsAndAlongChains) {
    auto wb = dataWorkbook();
    Worksheet& data = wb->sheet(0);
    Worksheet& other = wb->addSheet(nullptr, nullptr, QStringLiteral("Other"));
    data.setEntry({1, 3}, QStringLiteral("=A1*2"));                     // C1
    other.setEntry({1, 1}, QStringLiteral("=Data!C1+1"));               // through C1
    other.setEntry({2, 1}, QStringLiteral("=SUM(Data!A1:A3)+Data!A2")); // a block
    // A chain of 3,000 formulas, each reading the one above it.
    data.setEntry({100, 6}, QStringLiteral("1"));
    for (int row = 101; row <= 3100; ++row)
        data.setEntry({row, 6}, QStringLiteral("=F%1+1").arg(row - 1));
    EXPECT_EQ(other.value({1, 1}), num(21));
    EXPECT_EQ(other.value({2, 1}), num(10));
    EXPECT_EQ(data.value({3100, 6}), num(3001));

    data.setEntry({1, 1}, QStringLiteral("5"));
    data.setEntry({100, 6}, QStringLiteral("-1000"));
    EXPECT_EQ(other.value({1, 1}), num(11));
    EXPECT_EQ(other.value({2, 1}), num(5));
    EXPECT_EQ(data.value({3100, 6}), num(2000));

    // A formula overwritten by a value; a value overwritten by a formula; a cell emptied.
    data.setEntry({1, 3}, QStringLiteral("100"));
    data.setEntry({2, 1}, QStringLiteral("=A1*10"));
    EXPECT_EQ(other.value({1, 1}), num(101));
    EXPECT_EQ(other.value({2, 1}), num(5 + 50 + 50));
    data.range(QStringLiteral("A1")).clearContents();
    EXPECT_EQ(other.value({2, 1}), num(0));
    // Blocks read in one piece are current too.
    data.setEntry({1, 1}, QStringLiteral("2"));
    EXPECT_EQ(other.values(CellRange({1, 1}, {2, 1})).at(2, 1), num(2 + 20 + 20));
    EXPECT_TRUE(wb->staleCells().empty());
}

TEST(FormulaEngine, FormulasTheEngineCannotEvaluateAndCircularOnesAreStaleWithTheirReaders) {
    auto wb = dataWorkbook();
    Worksheet& data = wb->sheet(0);
    data.setEntry({1, 6}, QStringLiteral("=MEDIAN(B1:B3)")); // F1: not evaluated here
    data.setEntry({2, 6}, QStringLiteral("=F1*2"));          // F2 reads it
    data.setEntry({3, 6}, QStringLiteral("=G3+1"));          // F3, G3: circular
    data.setEntry({3, 7}, QStringLiteral("=F3+1"));
    data.setEntry({4, 6}, QStringLiteral("=A1 B1"));                              // F4: intersection
    data.setEntry({5, 6}, QStringLiteral("=SUM(B1:B3)"));                         // F5: fine
    data.setEntry({6, 6}, QStringLiteral("=INDIRECT(\"B\"&A1)"));                 // F6: hidden precedents
    data.setEntry({7, 6}, QStringLiteral("='/budgets/[Other.xlsx]Rates'!B2+A1")); // F7: another workbook
    const std::vector<StaleCell> stale = wb->staleCells();
    std::vector<CellRef> cells;
    for (const StaleCell& s : stale) {
        EXPECT_EQ(s.sheet, &data);
        cells.push_back(s.cell);
    }
    EXPECT_EQ(cells, (std::vector<CellRef>{{1, 6}, {2, 6}, {3, 6}, {3, 7}, {4, 6}, {6, 6}, {7, 6}}));
    EXPECT_TRUE(data.isStale({2, 6}));
    EXPECT_FALSE(data.isStale({5, 6}));
    EXPECT_EQ(data.value({5, 6}), num(6));
    EXPECT_EQ(data.staleCells(CellRange({1, 6}, {2, 7})), (std::vector<CellRef>{{1, 6}, {2, 6}}));

    // Once the cell holds something the engine evaluates, its reader is current again.
    data.setEntry({1, 6}, QStringLiteral("=AVERAGE(B1:B3)"));
    data.setEntry({3, 7}, QStringLiteral("4"));
    EXPECT_EQ(data.value({2, 6}), num(4));
    EXPECT_EQ(data.value({3, 6}), num(5));
    EXPECT_FALSE(data.isStale({2, 6}));
    // A formula with hidden precedents stays stale while cells are written.
    EXPECT_TRUE(data.isStale({6, 6}));
    EXPECT_EQ(wb->staleCells().size(), 3u); // F4, F6 and F7
}

TEST(FormulaEngine, ADeletedSheetsReferencesBecomeRefAndRenamedSheetsKeepTheirReaders) {
    auto wb = dataWorkbook();
    Worksheet& data = wb->sheet(0);
    Worksheet& other = wb->addSheet(nullptr, nullptr, QStringLiteral("Other"));
    other.setEntry({1, 1}, QStringLiteral("7"));
    data.setEntry({1, 5}, QStringLiteral("=Other!A1*2"));
    data.setEntry({2, 5}, QStringLiteral("=E1+1"));
    data.setEntry({3, 5}, QStringLiteral("=Jan!B2*100"));
    EXPECT_EQ(data.value({2, 5}), num(15));
    wb->renameSheet(wb->sheet(QStringLiteral("Jan")), QStringLiteral("January"));
    wb->sheet(QStringLiteral("January")).setEntry({2, 2}, QStringLiteral("4"));
    EXPECT_EQ(data.value({3, 5}), num(400));
    wb->deleteSheet(other);
    EXPECT_EQ(data.formula({1, 5}), u"=#REF!A1*2");
    EXPECT_EQ(data.value({1, 5}), err(u"#REF!"));
    EXPECT_EQ(data.value({2, 5}), err(u"#REF!"));
    EXPECT_TRUE(wb->staleCells().empty());
}

TEST(FormulaEngine, FormulasSavedWithoutResultsAreStaleUntilCellsAreWrittenThenCalculated) {
    // openpyxl saves formulas without results: they read empty and are listed as stale.
    auto wb = Workbook::open(sheettest::copyOfFixture(QStringLiteral("basic.xlsx")));
    Worksheet& rates = wb->sheet(QStringLiteral("Rates"));
    Worksheet& budget = wb->sheet(QStringLiteral("Budget"));
    EXPECT_TRUE(rates.value({2, 3}).isEmpty());
    EXPECT_EQ(wb->staleCells().size(), 7u); // Rates C2:C5 and B7, Budget B2 and B3
    EXPECT_EQ(rates.staleCells(CellRange({1, 1}, {7, 3})),
              (std::vector<CellRef>{{2, 3}, {3, 3}, {4, 3}, {5, 3}, {7, 2}}));
    // A write anywhere has them calculated.
    rates.setEntry({2, 1}, QStringLiteral("Wages"));
    EXPECT_EQ(rates.value({2, 3}), num(14406));
    EXPECT_EQ(rates.value({7, 2}), num(2249.75));
    EXPECT_EQ(budget.value({3, 2}), num(9601));
    EXPECT_TRUE(wb->staleCells().empty());
}

TEST(FormulaEngine, FormulasNestedBeyondAnySpreadsheetProgramAreNotEvaluated) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    const int deep = 100000;
    sheet.setEntry({1, 1}, u'=' + QString(deep, u'(') + u'1' + QString(deep, u')'));
    sheet.setEntry({2, 1}, u'=' + QString(deep, u'-') + u'1');
    sheet.setEntry({3, 1}, u'=' + QString(100, u'(') + u'2' + QString(100, u')') + QStringLiteral("*-(-3)"));
    EXPECT_TRUE(sheet.isStale({1, 1}));
    EXPECT_TRUE(sheet.isStale({2, 1}));
    EXPECT_EQ(sheet.value({3, 1}), num(6));
}

TEST(FormulaEngine, SharedFormulaBlocksAreRecalculatedCellByCell) {
    // Rates C2:C5 hold one shared formula, B2*12 moved to each row.
    auto wb = Workbook::open(sheettest::copyOfFixture(QStringLiteral("shared-formulas.xlsx")));
    Worksheet& rates = wb->sheet(QStringLiteral("Rates"));
    rates.setEntry({4, 2}, QStringLiteral("10"));
    EXPECT_EQ(rates.value({4, 3}), num(120));
    EXPECT_EQ(rates.value({5, 3}), num(99 * 12));
    EXPECT_EQ(rates.value({7, 2}), num(1200.5 + 800 + 10 + 99));
    EXPECT_TRUE(wb->staleCells().empty());
}
