// The formula engine on its own: what formulas evaluate to (operators and their precedence,
// texts, truth values, errors, the functions, references across sheets), and which cells are
// recalculated after writes -- across sheets, along long chains, around circular references and
// formulas the engine does not evaluate, and after a sheet is deleted.
#include "SheetTestSupport.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/formula/FormulaEvaluator.h"
#include "platform/sheet/formula/FunctionNames.h"
#include "support/TestEnvironment.h"

#include <functional>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::err;
using sheettest::num;
using sheettest::text;
using sheettest::truth;

namespace {

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
    data.setEntry({1, 6}, QStringLiteral("=BESSELI(B1,1)")); // F1: not evaluated here
    data.setEntry({2, 6}, QStringLiteral("=F1*2"));          // F2 reads it
    data.setEntry({3, 6}, QStringLiteral("=G3+1"));          // F3, G3: circular
    data.setEntry({3, 7}, QStringLiteral("=F3+1"));
    data.setEntry({4, 6}, QStringLiteral("=SUM(A1#)"));                           // F4: a spilled range
    data.setEntry({5, 6}, QStringLiteral("=SUM(B1:B3)"));                         // F5: fine
    data.setEntry({6, 6}, QStringLiteral("=CELL(\"width\",A1)"));                 // F6: hidden precedents
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

TEST(FormulaEngine, FormulasSavedWithoutResultsAreCalculatedBeforeTheyAreRead) {
    // openpyxl saves formulas without results: they are calculated at the first read.
    auto wb = Workbook::open(sheettest::copyOfFixture(QStringLiteral("basic.xlsx")));
    Worksheet& rates = wb->sheet(QStringLiteral("Rates"));
    Worksheet& budget = wb->sheet(QStringLiteral("Budget"));
    EXPECT_EQ(rates.value({2, 3}), num(14406));
    EXPECT_EQ(rates.value({7, 2}), num(2249.75));
    EXPECT_EQ(budget.value({3, 2}), num(9601));
    EXPECT_TRUE(wb->staleCells().empty());
    // Writes recalculate them as any other formula.
    rates.setEntry({3, 2}, QStringLiteral("1000"));
    EXPECT_EQ(budget.value({3, 2}), num(12001));
    EXPECT_EQ(rates.value({7, 2}), num(2449.75));
}

TEST(FormulaEngine, TextsThatAreNoFormulaAreRefusedBeforeAnythingIsStored) {
    const char16_t* refused[] = {
        u"=1+",          u"=SUM(1,2", u"=(1+2))", u"=1 2",        u"=\"open",
        u"=A1:",         u"={1,2;3}", u"={1,A1}", u"=#WHAT!",     u"=ROUND(1)",
        u"=IF(1,2,3,4)", u"=Sheet1!", u"=1+*2",   u"=SUM(A1;B1)", u"=)",
    };
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    sheet.setEntry({1, 1}, QStringLiteral("7"));
    for (const char16_t* typed : refused) {
        try {
            sheet.setEntry({1, 1}, QString::fromUtf16(typed));
            ADD_FAILURE() << QString::fromUtf16(typed).toStdString() << " was taken";
        } catch (const SheetError& e) {
            EXPECT_EQ(e.code(), SheetError::Code::BadFormula) << QString::fromUtf16(typed).toStdString();
        }
        EXPECT_EQ(sheet.formula({1, 1}), u"7") << QString::fromUtf16(typed).toStdString();
    }
    // The whole grammar is taken, also where the engine does not evaluate it.
    const char16_t* taken[] = {
        u"=-{1,2;3,4}",
        u"=SUM(A1:A3 A2:B4)",
        u"=SUM((A1,B1))",
        u"=A1:INDEX(B:B,5)",
        u"=@A1:A3",
        u"=A1#",
        u"=Table1[Amount]",
        u"=[1]Rates!B2",
        u"=NOSUCHFUNC(1)",
        u"=IF(A1,,2)",
        u"=5%%",
        u"=.5+1.",
        u"='My Sheet'!A1",
        u"=#REF!+1",
        u"=Sheet9!Rate",
        u"= 1 + 2 ",
    };
    for (const char16_t* typed : taken)
        EXPECT_NO_THROW(sheet.setEntry({2, 1}, QString::fromUtf16(typed)))
            << QString::fromUtf16(typed).toStdString();
}

TEST(FormulaEngine, FormulasNestedBeyondAnySpreadsheetProgramAreRefusedOrNotEvaluated) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    const int deep = 100000;
    EXPECT_THROW(sheet.setEntry({1, 1}, u'=' + QString(deep, u'(') + u'1' + QString(deep, u')')), SheetError);
    EXPECT_THROW(sheet.setEntry({2, 1}, u'=' + QString(deep, u'-') + u'1'), SheetError);
    sheet.setEntry({3, 1}, u'=' + QString(100, u'(') + u'2' + QString(100, u')') + QStringLiteral("*-(-3)"));
    EXPECT_EQ(sheet.value({3, 1}), num(6));
    EXPECT_FALSE(sheet.hasFormula({1, 1}));
    // Read from a file, such a formula is kept and stale.
    std::string nested(300, '(');
    nested.append("B1").append(300, ')');
    auto read = Workbook::openBytes(sheettest::packageWithSheetData("<row r=\"1\"><c r=\"A1\"><f>" + nested +
                                                                    "</f><v>1</v></c>"
                                                                    "<c r=\"B1\"><v>2</v></c></row>"),
                                    QStringLiteral("nested.xlsx"));
    Worksheet& data = read->sheet(0);
    data.setEntry({2, 1}, QStringLiteral("=A1+B1"));
    data.setEntry({1, 2}, QStringLiteral("3"));
    EXPECT_TRUE(data.isStale({1, 1}));
    EXPECT_TRUE(data.isStale({2, 1}));
    EXPECT_EQ(data.formula({1, 1}), QString::fromStdString("=" + nested));
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

TEST(FormulaEngine, FormulasReadBackAsTypedAndAreStoredWithThePrefixesTheFileNeeds) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"XLOOKUP(A1,B:B,C:C)", "_xlfn.XLOOKUP(A1,B:B,C:C)"},
        {"xlookup(a1,b:b,c:c)+sum(1)", "_xlfn.XLOOKUP(A1,B:B,C:C)+SUM(1)"},
        {"IFS(A1>1,\"xlookup(\",TRUE,STDEV.S(B1:B3))",
         "_xlfn.IFS(A1>1,\"xlookup(\",TRUE,_xlfn.STDEV.S(B1:B3))"},
        {"SORT(A1:A3)", "_xlfn._xlws.SORT(A1:A3)"},
        {"@A1:A3*2", "_xlfn.SINGLE(A1:A3)*2"},
        {"SUM(@Data!A1:A3,1)", "SUM(_xlfn.SINGLE(Data!A1:A3),1)"},
        {"SUM(B2#)", "SUM(_xlfn.ANCHORARRAY(B2))"},
        {"LET(rate,0.2,x,B2,x*rate)", "_xlfn.LET(_xlpm.rate,0.2,_xlpm.x,B2,_xlpm.x*_xlpm.rate)"},
        {"MyMacro(A1)+Rates", "MyMacro(A1)+Rates"},
    };
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    int row = 1;
    for (const auto& c : cases) {
        EXPECT_EQ(FunctionNames::toStorage(c.typed), c.stored) << c.typed;
        EXPECT_EQ(FunctionNames::toDisplay(c.stored),
                  FunctionNames::toDisplay(FunctionNames::toStorage(c.typed)))
            << c.stored;
        sheet.setEntry({row++, 5}, u'=' + QString::fromLatin1(c.typed));
    }
    EXPECT_EQ(sheet.formula({1, 5}), u"=XLOOKUP(A1,B:B,C:C)");
    EXPECT_EQ(sheet.formula({5, 5}), u"=@A1:A3*2");
    EXPECT_EQ(sheet.formula({7, 5}), u"=SUM(B2#)");
    EXPECT_EQ(sheet.formula({8, 5}), u"=LET(rate,0.2,x,B2,x*rate)");
    // The file holds the stored forms.
    const QString path = testsupport::freshDir() + QStringLiteral("/prefixes.xlsx");
    wb->saveAs(path);
    const QByteArray xml = sheettest::zipParts(path).value(QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(xml.contains("<f>_xlfn.XLOOKUP(A1,B:B,C:C)</f>"));
    EXPECT_TRUE(xml.contains("<f>_xlfn._xlws.SORT(A1:A3)</f>"));
    EXPECT_TRUE(xml.contains("<f>_xlfn.SINGLE(A1:A3)*2</f>"));
    // A formula read from a file shows without its prefixes.
    auto read = Workbook::openBytes(
        sheettest::packageWithSheetData(
            "<row r=\"1\"><c r=\"A1\"><f>_xlfn.XLOOKUP(B1,C:C,D:D)+_xlfn.SINGLE(C1:C3)</f>"
            "<v>3</v></c></row>"),
        QStringLiteral("read.xlsx"));
    EXPECT_EQ(read->sheet(0).formula({1, 1}), u"=XLOOKUP(B1,C:C,D:D)+@C1:C3");
}

// OFFSET and INDIRECT find their cells while calculating: their formulas are calculated at every
// calculation, after the others, so that what they read is current.
TEST(FormulaEngine, OffsetAndIndirectFollowWritesToTheCellsTheyFind) {
    auto wb = dataWorkbook();
    Worksheet& data = wb->sheet(0);
    data.setEntry({1, 3}, QStringLiteral("2"));                              // C1: how many rows
    data.setEntry({1, 4}, QStringLiteral("=SUM(OFFSET(B1,0,0,C1,1))"));      // D1
    data.setEntry({2, 4}, QStringLiteral("=INDIRECT(\"B\"&C1)"));            // D2
    data.setEntry({3, 4}, QStringLiteral("=INDIRECT(\"'My Sheet'!A1\")*2")); // D3
    data.setEntry({4, 4}, QStringLiteral("=OFFSET(B1,5000000,0)"));          // D4
    data.setEntry({5, 4}, QStringLiteral("=INDIRECT(\"Nowhere!A1\")"));      // D5
    data.setEntry({6, 4}, QStringLiteral("=INDIRECT(\"R2C2\",FALSE)"));      // D6
    data.setEntry({1, 5}, QStringLiteral("=B2*2"));                          // E1, read through INDIRECT
    data.setEntry({7, 4}, QStringLiteral("=INDIRECT(\"E1\")+1"));            // D7
    data.setEntry({8, 4}, QStringLiteral("=D2+100"));                        // D8 reads D2
    const struct {
        const char* when;
        std::function<void()> write;
        std::vector<CellValue> expected; // D1, D2, D3, D4, D5, D6, D7, D8
    } steps[] = {
        {"at first",
         [] {},
         {num(3), num(2), num(10), err(u"#REF!"), err(u"#REF!"), num(2), num(5), num(102)}},
        {"rows 3",
         [&] {
             data.setEntry({1, 3}, QStringLiteral("3"));
         },
         {num(6), num(3), num(10), err(u"#REF!"), err(u"#REF!"), num(2), num(5), num(103)}},
        {"B2 and B3",
         [&] {
             data.setEntry({2, 2}, QStringLiteral("7"));
             data.setEntry({3, 2}, QStringLiteral("10"));
         },
         {num(18), num(10), num(10), err(u"#REF!"), err(u"#REF!"), num(7), num(15), num(110)}},
    };
    for (const auto& step : steps) {
        step.write();
        for (int row = 1; row <= 8; ++row) {
            EXPECT_EQ(data.value({row, 4}), step.expected[std::size_t(row - 1)]) << step.when << " D" << row;
            EXPECT_FALSE(data.isStale({row, 4})) << step.when << " D" << row;
        }
    }
}

TEST(FormulaEngine, NamesThatAreNoFunctionShowNameAndFunctionsNotEvaluatedHereAreStale) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    sheet.setEntry({1, 1}, QStringLiteral("4"));
    sheet.setEntry({1, 2}, QStringLiteral("=NOSUCHFUNC(A1)+1"));
    sheet.setEntry({2, 2}, QStringLiteral("=NoSuchName*2"));
    sheet.setEntry({3, 2}, QStringLiteral("=BESSELI(A1,2)")); // a function of the spreadsheet program
    sheet.setEntry({4, 2}, QStringLiteral("=_xlfn.NEWERFUNC(A1)"));
    EXPECT_EQ(sheet.value({1, 2}), err(u"#NAME?"));
    EXPECT_EQ(sheet.value({2, 2}), err(u"#NAME?"));
    std::vector<CellRef> stale;
    for (const StaleCell& s : wb->staleCells())
        stale.push_back(s.cell);
    EXPECT_EQ(stale, (std::vector<CellRef>{{3, 2}, {4, 2}}));
    // Saved: #NAME? with the formula, the stale ones without a result.
    const QString path = testsupport::freshDir() + QStringLiteral("/names.xlsx");
    wb->saveAs(path);
    const QByteArray xml = sheettest::zipParts(path).value(QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(xml.contains("<c r=\"B1\" t=\"e\"><f>NOSUCHFUNC(A1)+1</f><v>#NAME?</v></c>"))
        << xml.constData();
    EXPECT_TRUE(xml.contains("<c r=\"B3\"><f>BESSELI(A1,2)</f></c>")) << xml.constData();

    // In a workbook with macros, an unknown name may be a macro's function: stale.
    auto macros = Workbook::open(sheettest::copyOfFixture(QStringLiteral("macros.xlsm")));
    Worksheet& first = macros->sheet(0);
    first.setEntry({20, 1}, QStringLiteral("=MyMacroFunction(1)"));
    EXPECT_TRUE(first.isStale({20, 1}));
}
