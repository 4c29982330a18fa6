// The functions the formula engine evaluates, on the workbooks made by
// tests/fixtures/workbooks/make_functions_workbook.py: a small budget table and several hundred
// formulas with their edge cases, written once by openpyxl (no results stored) and once by
// LibreOffice (its results stored). After writes that change their inputs, every result the engine
// computes equals LibreOffice's recalculation of the saved workbook (numbers to 1e-9 relative,
// texts exactly, errors by kind), but where LibreOffice and the spreadsheet program differ: there
// the engine follows the program and the difference is listed. XLOOKUP, which the LibreOffice of
// this system does not know, is checked against the program's documented results.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string_view>

using namespace platform::sheet;

namespace {

// Where LibreOffice and the spreadsheet program (whose results the engine follows) differ: its
// own error code where the program shows one of its errors, and truth values joined into a
// text as 1 and 0 where the program writes TRUE and FALSE. The formula, ours, LibreOffice's.
const std::vector<sheettest::LibreOfficeDifference> kDiffering = {
    {"VLOOKUP(30,D1:E5,3,FALSE)", CellValue::fromError(QStringLiteral("#REF!")), "Err:502"},
    {"INDEX(D1:E5,9,1)", CellValue::fromError(QStringLiteral("#REF!")), "Err:502"},
    {"SQRT(-1)", CellValue::fromError(QStringLiteral("#NUM!")), "Err:502"},
    {"LEFT(A1,-1)", CellValue::fromError(QStringLiteral("#VALUE!")), "Err:502"},
    {"VALUE(\"abc\")", CellValue::fromError(QStringLiteral("#VALUE!")), "Err:502"},
    {"EXACT(\"North\",A1)&EXACT(\"north\",A1)", CellValue::fromText(QStringLiteral("TRUEFALSE")), "10"},
    // Years 0 to 1899 count from 1900 in the spreadsheet program.
    {"DATE(126,1,1)", CellValue::fromNumber(46023), "#VALUE!"},
    {"FLOOR(2.5,-2)", CellValue::fromError(QStringLiteral("#NUM!")), "Err:502"},
    // The program refuses a multiple of the other sign; LibreOffice rounds.
    {"MROUND(5,-2)", CellValue::fromError(QStringLiteral("#NUM!")), "6"},
    {"LARGE(B1:B7,9)", CellValue::fromError(QStringLiteral("#NUM!")), "#VALUE!"},
    // The program rounds shown seconds, counts day 0 as 0 January 1900 and writes the point of
    // "#.##" without decimals; LibreOffice cuts the seconds, counts from 30 December 1899 and
    // leaves the point out.
    {"TEXT(1234.567,\"hh:mm:ss\")", CellValue::fromText(QStringLiteral("13:36:29")), "13:36:28"},
    {"TEXT(0,\"m/d/yyyy\")", CellValue::fromText(QStringLiteral("1/0/1900")), "12/30/1899"},
    {"TEXT(0,\"#.##\")", CellValue::fromText(QStringLiteral(".")), ""},
    {"TEXT(B2,\"#.##\")", CellValue::fromText(QStringLiteral("260.")), "260"},
};

} // namespace

class FunctionsWorkbook : public ::testing::TestWithParam<const char*> {};

TEST_P(FunctionsWorkbook, ResultsAfterWritesEqualLibreOfficesRecalculation) {
    const QString path = sheettest::copyOfFixture(QString::fromLatin1(GetParam()));
    auto wb = Workbook::open(path);
    Worksheet& data = wb->sheet(0);
    sheettest::changeBudgetInputs(data);
    int count = 0;
    while (data.hasFormula({count + 1, 10}))
        ++count;
    ASSERT_GE(count, 300) << "the fixture holds several hundred formulas";
    // Each formula typed again as the workbook shows it, so that the engine calculates every
    // one, also those whose inputs did not change (their stored results are LibreOffice's).
    for (int i = 0; i < count; ++i)
        data.setEntry({i + 1, 10}, data.formula({i + 1, 10}));
    wb->save();

    const QStringList rows = sheettest::convertWithLibreOffice(path, 1, true);
    ASSERT_GE(rows.size(), count);
    const sheettest::Comparison comparison =
        sheettest::compareWithLibreOffice(data, 10, count, rows, kDiffering);
    EXPECT_EQ(comparison.stale, QStringList()) << "every formula of the fixture is evaluated";
    EXPECT_EQ(comparison.compared, count);
    EXPECT_EQ(comparison.listed, int(kDiffering.size()));
}

INSTANTIATE_TEST_SUITE_P(Writers, FunctionsWorkbook,
                         ::testing::Values("functions.xlsx", "functions-libreoffice.xlsx"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Openpyxl" : "LibreOffice");
                         });

TEST(FormulaFunctions, XLookupFindsExactNearestWildcardAndFromTheEnd) {
    auto wb = Workbook::open(sheettest::copyOfFixture(QStringLiteral("functions.xlsx")));
    Worksheet& data = wb->sheet(0);
    const struct {
        const char* formula;
        CellValue expected;
    } cases[] = {
        {"XLOOKUP(\"West\",A1:A7,B1:B7)", CellValue::fromNumber(300)},
        {"XLOOKUP(\"north\",A1:A7,B1:B7,0,0,-1)", CellValue::fromNumber(400)},
        {"XLOOKUP(\"Mid\",A1:A7,B1:B7)", CellValue::fromError(QStringLiteral("#N/A"))},
        {"XLOOKUP(\"Mid\",A1:A7,B1:B7,\"none\")", CellValue::fromText(QStringLiteral("none"))},
        {"XLOOKUP(35,D1:D5,E1:E5,,-1)", CellValue::fromText(QStringLiteral("c"))},
        {"XLOOKUP(35,D1:D5,E1:E5,,1)", CellValue::fromText(QStringLiteral("d"))},
        {"XLOOKUP(\"W*\",A1:A7,B1:B7,,2)", CellValue::fromNumber(300)},
        {"XLOOKUP(3,D10:H10,D11:H11)", CellValue::fromNumber(13)},
        {"XLOOKUP(1,D1:D5,E1:E4)", CellValue::fromError(QStringLiteral("#VALUE!"))},
    };
    int row = 20;
    for (const auto& c : cases) {
        data.setEntry({row, 12}, u'=' + QString::fromLatin1(c.formula));
        EXPECT_EQ(data.value({row, 12}), c.expected) << c.formula;
        ++row;
    }
}

// The functions that the LibreOffice of this system does not read from a workbook, against the
// results the spreadsheet program's documentation gives.
TEST(FormulaFunctions, NewerLookupsWorkingDaysAndRoundingsGiveTheDocumentedResults) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    const char16_t* keys[] = {u"10", u"20", u"30", u"40", u"50"};
    for (int i = 0; i < 5; ++i) {
        sheet.setEntry({i + 1, 1}, QString::fromUtf16(keys[i]));
        sheet.setEntry({i + 1, 2}, QString(QChar(u'a' + i)));
    }
    using sheettest::err;
    using sheettest::num;
    using sheettest::text;
    const struct {
        const char16_t* formula;
        CellValue expected;
    } cases[] = {
        {u"=XMATCH(4,{5,4,3,2,1})", num(2)},
        {u"=XMATCH(4.5,{5,4,3,2,1},1)", num(1)},
        {u"=XMATCH(4.5,{5,4,3,2,1},-1)", num(2)},
        {u"=XMATCH(\"Gra?e\",{\"Apple\",\"Grape\",\"Banana\"},2)", num(2)},
        {u"=XMATCH(30,A1:A5,0,-1)", num(3)},
        {u"=XMATCH(35,A1:A5)", err(u"#N/A")},
        // Binary searches in data sorted ascending (2) and descending (-2).
        {u"=XLOOKUP(30,A1:A5,B1:B5,,0,2)", text(u"c")},
        {u"=XLOOKUP(25,A1:A5,B1:B5,,-1,2)", text(u"b")},
        {u"=XLOOKUP(25,A1:A5,B1:B5,,1,2)", text(u"c")},
        {u"=XLOOKUP(25,{50,40,30,20,10},{1,2,3,4,5},,1,-2)", num(3)},
        {u"=XLOOKUP(25,{50,40,30,20,10},{1,2,3,4,5},,-1,-2)", num(4)},
        {u"=XLOOKUP(5,A1:A5,B1:B5,\"none\",0,2)", text(u"none")},
        {u"=XMATCH(\"a*\",B1:B5,2,2)", err(u"#VALUE!")},
        {u"=XLOOKUP(40,A1:A5,A1:B5)", num(40)},
        // The working days of other weekends.
        {u"=WORKDAY.INTL(DATE(2012,1,1),30,0)", err(u"#NUM!")},
        {u"=WORKDAY.INTL(DATE(2012,1,1),90,11)", num(41013)},
        {u"=WORKDAY.INTL(DATE(2012,1,1),30,17)", num(40944)},
        {u"=NETWORKDAYS.INTL(DATE(2006,1,1),DATE(2006,1,31))", num(22)},
        {u"=NETWORKDAYS.INTL(DATE(2006,2,28),DATE(2006,1,31))", num(-21)},
        {u"=WORKDAY(DATE(2008,10,1),151)", num(39933)},
        {u"=WORKDAY(DATE(2008,10,1),151,{\"11/26/2008\",\"12/4/2008\",\"1/21/2009\"})", num(39938)},
        {u"=NETWORKDAYS.INTL(DATE(2006,1,1),DATE(2006,1,31),\"1111111\")", err(u"#VALUE!")},
        // ISO.CEILING rounds up whatever the multiple's sign.
        {u"=ISO.CEILING(4.3)", num(5)},
        {u"=ISO.CEILING(-4.3)", num(-4)},
        {u"=ISO.CEILING(4.3,2)", num(6)},
        {u"=ISO.CEILING(4.3,-2)", num(6)},
        {u"=ISO.CEILING(-4.3,2)", num(-4)},
        {u"=ISO.CEILING(-4.3,-2)", num(-4)},
    };
    int row = 10;
    for (const auto& c : cases) {
        sheet.setEntry({row, 4}, QString::fromUtf16(c.formula));
        EXPECT_EQ(sheet.value({row, 4}), c.expected) << QString::fromUtf16(c.formula).toStdString();
        EXPECT_FALSE(sheet.isStale({row, 4})) << QString::fromUtf16(c.formula).toStdString();
        ++row;
    }
}
