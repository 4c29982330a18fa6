// Where the formula engine must give what the spreadsheet program that wrote a workbook gives, on
// the workbooks made by tests/fixtures/workbooks/make_compatibility_workbook.py: several hundred
// formulas (array formulas of one cell and over blocks among them) written once by openpyxl and
// once by LibreOffice. Their stored results are taken out,
// so that the engine calculates every one; after writes that change their inputs the workbook is
// saved, and every result equals LibreOffice's recalculation of the saved workbook (numbers to
// 1e-9 relative, texts exactly, errors by kind), but where LibreOffice and the spreadsheet program
// differ: there the engine follows the program and the difference is listed. Beside it, tables of
// cases with the program's documented results: the cells references to a table name, TEXT's
// number formats, the General form of numbers that become texts, and workbooks in the 1904 date
// system.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/formula/NumberFormat.h"
#include "support/TestEnvironment.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::err;
using sheettest::num;
using sheettest::text;
using sheettest::truth;

namespace {

// Where LibreOffice and the spreadsheet program (whose results the engine follows) differ. The
// formula, ours, LibreOffice's.
const std::vector<sheettest::LibreOfficeDifference> kDiffering = {
    // An array gives its numbers only to SUM; beyond the size of the smaller of two arrays the
    // elements are #N/A; blocks that do not meet have no cells in common (#NULL!); an array
    // formula's truth value is TRUE, where LibreOffice shows 1.
    {"SUM({1,\"2\",TRUE})", num(1), "2"},
    {"SUM(B1:B7+{1;2})", err(u"#N/A"), "363"},
    {"SUM(A1:A2 C5:C6)", err(u"#NULL!"), "#REF!"},
    {"AND(B1:B7>10)", truth(true), "1"},
    {"OR(B1:B7>350)", truth(true), "1"},
    // The program's errors where LibreOffice shows its own or none.
    {"ATAN2(0,0)", err(u"#DIV/0!"), "0"},
    {"LN(0)", err(u"#NUM!"), "Err:502"},
    {"LOG(10,1)", err(u"#DIV/0!"), "Err:502"},
    {"FACT(-1)", err(u"#NUM!"), "Err:502"},
    {"COMBIN(3,5)", err(u"#NUM!"), "Err:502"},
    {"MMULT({1,2},{1,2})", err(u"#VALUE!"), "Err:502"},
    {"PERCENTILE.EXC(B1:B7,0.05)", err(u"#NUM!"), "Err:504"},
    {"QUARTILE(B1:B7,5)", err(u"#NUM!"), "Err:502"},
    {"DEC2BIN(512)", err(u"#NUM!"), "Err:502"},
    {"HEX2DEC(\"XYZ\")", err(u"#NUM!"), "Err:502"},
    {"TIME(0,-30,0)", err(u"#NUM!"), "Err:502"},
    {"MODE(1,2,3)", err(u"#N/A"), "#VALUE!"},
    {"ERROR.TYPE(B1:B2 D3:D4)", num(1), "4"},
    // DOLLAR writes negative amounts in parentheses; TYPE of a truth value is 4; WEEKNUM's weeks of
    // type 11 begin on Monday, week 1 holding 1 January; truth values join a text as TRUE and FALSE.
    {"DOLLAR(-1234.567,1)", text(u"($1,234.6)"), "-$1,234.6"},
    {"TYPE(1)+TYPE(\"a\")*10+TYPE(TRUE)*100", num(421), "121"},
    {"WEEKNUM(DATE(2026,12,31),11)", num(53), "1"},
    {"ISNONTEXT(B1)&ISNONTEXT(A1)&ISNONTEXT(H30)", text(u"TRUEFALSETRUE"), "101"},
    {"ISREF(A1)&ISREF(5)&ISREF(A1:B2)", text(u"TRUEFALSETRUE"), "101"},
    {"ISEVEN(4)&ISODD(4)&ISEVEN(-3.7)", text(u"TRUEFALSEFALSE"), "100"},
    // The General form writes numbers from 1E+11 on, and below 1E-9, in scientific notation;
    // LibreOffice writes every digit up to 1E+16, and three exponent digits beyond.
    {"100000000000&\"\"", text(u"1E+11"), "100000000000"},
    {"LEN(100000000000)", num(5), "12"},
    {"123456789012&\"\"", text(u"1.23456789012E+11"), "123456789012"},
    {"LEN(123456789012)", num(17), "12"},
    {"10^15&\"\"", text(u"1E+15"), "1000000000000000"},
    {"LEN(10^15)", num(5), "16"},
    {"10^20&\"\"", text(u"1E+20"), "1E+020"},
    {"LEN(10^20)", num(5), "6"},
    {"1.5/10^10&\"\"", text(u"1.5E-10"), "0.00000000015"},
    {"LEN(1.5/10^10)", num(7), "13"},
    {"B2*1000000000&\"\"", text(u"2.6E+11"), "260000000000"},
    {"LEN(B2*1000000000)", num(7), "12"},
    {"TEXT(100000000000,\"General\")", text(u"1E+11"), "100000000000"},
    // The General format shows at most 11 characters; LibreOffice every digit.
    {"TEXT(1/3,\"General\")", text(u"0.333333333"), "0.333333333333333"},
    // A negative number keeps its sign where its digits round to zero; "#.##" writes the point
    // of a zero; A/P is written in the letter case of the format; day 1 is 1 January 1900 (serial
    // 0 is "0 January 1900", for EDATE and EOMONTH too), where LibreOffice counts from 30 December
    // 1899.
    {"TEXT(-0.0125,\"0.00%\")", text(u"-1.25%"), "-1.25%"},
    {"TEXT(0,\"#.##\")", text(u"."), ""},
    {"TEXT(0.75,\"hh:mm A/P\")", text(u"06:00 P"), "06:00 p"},
    {"TEXT(1.25,\"d h:mm\")", text(u"1 6:00"), "31 6:00"},
    {"EDATE(H20,3)", num(91), "90"},
    {"EOMONTH(H20,0)", num(31), "1"},
    // The program's error where LibreOffice shows its own code.
    {"FLOOR(7,0)", err(u"#DIV/0!"), "Err:502"},
    // T reads the first cell of a block; LibreOffice takes the cell in the formula's row.
    {"T(A1)&T(B1)&T(C1:C3)", text(u"NorthOps"), "#VALUE!"},
};

// The same for the formulas of the Sales sheet, which refer to the table DeptSales: LibreOffice
// reads #All and #Data alone as no reference, and takes the totals row into a table's name alone.
const std::vector<sheettest::LibreOfficeDifference> kTableDiffering = {
    {"COUNTA(DeptSales[#All])", num(38), "1"},
    {"ROWS(DeptSales[#Data])", num(6), "#NAME?"},
    {"SUM(DeptSales)", num(4587.02), "9173.22"},
};

} // namespace

class CompatibilityWorkbook : public ::testing::TestWithParam<const char*> {};

TEST_P(CompatibilityWorkbook, EveryResultEqualsLibreOfficesRecalculationButWhereTheProgramDiffers) {
    const QString path = sheettest::copyOfFixture(QString::fromLatin1(GetParam()));
    sheettest::removeFormulaResults(path);
    auto wb = Workbook::open(path);
    Worksheet& data = wb->sheet(0);
    sheettest::changeBudgetInputs(data);
    Worksheet& sales = wb->sheet(1);
    sales.setEntry({3, 3}, QStringLiteral("700")); // Robert's amount
    int count = 0;
    while (data.hasFormula({count + 1, 10}))
        ++count;
    ASSERT_GE(count, 450) << "the fixture holds several hundred formulas";
    wb->save();

    const QStringList rows = sheettest::convertWithLibreOffice(path, 1, true);
    ASSERT_GE(rows.size(), count);
    const sheettest::Comparison comparison =
        sheettest::compareWithLibreOffice(data, 10, count, rows, kDiffering);
    EXPECT_EQ(comparison.stale, QStringList()) << "every formula of the fixture is evaluated";
    EXPECT_EQ(comparison.listed, int(kDiffering.size())) << "every listed difference is in the fixture";
    // The formulas that refer to the table, and those in it and beside it that read their row.
    const QStringList salesRows = sheettest::convertWithLibreOffice(path, 2, true);
    ASSERT_GE(salesRows.size(), 19);
    const sheettest::Comparison tables =
        sheettest::compareWithLibreOffice(sales, 8, 19, salesRows, kTableDiffering);
    EXPECT_EQ(tables.stale, QStringList());
    EXPECT_EQ(tables.listed, int(kTableDiffering.size()));
    for (int row = 2; row <= 8; ++row) {
        const QStringList fields = sheettest::csvFields(salesRows[row - 1]);
        for (int column : {3, 5, 6}) {
            const CellValue ours = sales.value({row, column});
            EXPECT_TRUE(sheettest::sameAsLibreOffice(ours, fields.value(column - 1)))
                << "Sales!" << CellAddress::toA1({row, column}).toStdString() << ": ours "
                << sheettest::shownLikeCsv(ours).toStdString() << ", LibreOffice's "
                << fields.value(column - 1).toStdString();
        }
    }

    // The array formulas over blocks in L1:Y7 fill every cell of their blocks.
    for (int row = 1; row <= 7; ++row) {
        const QStringList fields = sheettest::csvFields(rows[row - 1]);
        for (int column = 12; column <= 25; ++column) {
            const QString theirs = column <= fields.size() ? fields[column - 1] : QString();
            const CellValue ours = data.value({row, column});
            EXPECT_FALSE(data.isStale({row, column})) << CellAddress::toA1({row, column}).toStdString();
            EXPECT_TRUE(sheettest::sameAsLibreOffice(ours, theirs))
                << CellAddress::toA1({row, column}).toStdString() << ": ours "
                << sheettest::shownLikeCsv(ours).toStdString() << ", LibreOffice's " << theirs.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, CompatibilityWorkbook,
                         ::testing::Values("compatibility.xlsx", "compatibility-libreoffice.xlsx"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Openpyxl" : "LibreOffice");
                         });

// The examples of the spreadsheet program's documentation of number formats.
TEST(NumberFormats, TextWritesNumbersAsTheProgramsDocumentationShows) {
    const double kMorning = 46024 + (4 * 3600 + 36 * 60 + 3) / 86400.0;
    const double kAfternoon = kMorning + 0.5;
    const struct {
        double value;
        const char16_t* pattern;
        const char16_t* shown;
    } cases[] = {
        // Digit places: 0 always, # only significant digits, ? a space for an insignificant zero.
        {1234.59, u"####.#", u"1234.6"},
        {8.9, u"#.000", u"8.900"},
        {0.631, u"0.#", u"0.6"},
        {12, u"#.0#", u"12.0"},
        {1234.568, u"#.0#", u"1234.57"},
        {44.398, u"???.???", u" 44.398"},
        {102.65, u"???.???", u"102.65 "},
        {2.8, u"???.???", u"  2.8  "},
        {5.25, u"# ?\?\?/?\?\?", u"5   1/4  "},
        {5.3, u"# ?\?\?/?\?\?", u"5   3/10 "},
        // Thousands separators and scaling by thousands.
        {12000, u"#,###", u"12,000"},
        {12000, u"#,", u"12"},
        {12200000, u"0.0,,", u"12.2"},
        // Percent, scientific notation, literals and spaces.
        {0.08, u"0%", u"8%"},
        {2.8, u"0%", u"280%"},
        {12200000, u"0.00E+00", u"1.22E+07"},
        {0.000123, u"0.0E-0", u"1.2E-4"},
        {1234.5, u"$#,##0.00_);($#,##0.00)", u"$1,234.50 "},
        {-1234.5, u"$#,##0.00_);($#,##0.00)", u"($1,234.50)"},
        // Sections for positive, negative, zero; conditions.
        {0, u"#,###.00_);[Red](#,###.00);0.00;\"sales \"@", u"0.00"},
        {-3, u"#,###.00_);[Red](#,###.00);0.00;\"sales \"@", u"(3.00)"},
        {150, u"[Red][<=100]0;[Blue][>100]0.0", u"150.0"},
        // Dates: 2 January 2026 4:36:03 (a Friday).
        {kMorning, u"m", u"1"},
        {kMorning, u"mm", u"01"},
        {kMorning, u"mmm", u"Jan"},
        {kMorning, u"mmmm", u"January"},
        {kMorning, u"mmmmm", u"J"},
        {kMorning, u"d", u"2"},
        {kMorning, u"dd", u"02"},
        {kMorning, u"ddd", u"Fri"},
        {kMorning, u"dddd", u"Friday"},
        {kMorning, u"yy", u"26"},
        {kMorning, u"yyyy", u"2026"},
        // Times.
        {kMorning, u"h", u"4"},
        {kMorning, u"hh", u"04"},
        {kMorning, u"h:m", u"4:36"},
        {kMorning, u"hh:mm:ss", u"04:36:03"},
        {kMorning, u"h AM/PM", u"4 AM"},
        {kAfternoon, u"h:mm AM/PM", u"4:36 PM"},
        {kAfternoon, u"h:mm:ss A/P", u"4:36:03 P"},
        {16563.75 / 86400, u"h:mm:ss.00", u"4:36:03.75"},
        {1.0431, u"[h]:mm", u"25:02"},
        {0.04428, u"[mm]:ss", u"63:46"},
        {0.04322916, u"[ss]", u"3735"},
    };
    for (const auto& c : cases) {
        const auto shown = NumberFormat::format(c.value, QString::fromUtf16(c.pattern));
        ASSERT_TRUE(shown.has_value()) << QString::fromUtf16(c.pattern).toStdString();
        EXPECT_EQ(*shown, QString::fromUtf16(c.shown))
            << c.value << " in " << QString::fromUtf16(c.pattern).toStdString();
    }
    // A text takes the text section, a number never does; a date cannot be negative.
    const QString sales = QStringLiteral("#,###.00_);[Red](#,###.00);0.00;\"sales \"@");
    EXPECT_EQ(NumberFormat::formatText(QStringLiteral("April"), sales), QStringLiteral("sales April"));
    EXPECT_EQ(NumberFormat::formatText(QStringLiteral("April"), QStringLiteral("0.00")),
              QStringLiteral("April"));
    EXPECT_FALSE(NumberFormat::format(-1, QStringLiteral("d-mmm-yyyy")).has_value());
}

// How a number becomes a text where a formula needs one (&, LEN, SEARCH, TEXT's General): the
// General form with 15 significant digits, scientific from 12 whole digits on.
TEST(NumberFormats, NumbersBecomeTextsInTheGeneralForm) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.00001, "0.00001"},
        {0.000123, "0.000123"},
        {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"},
        {12345678901, "12345678901"},
        {99999999999, "99999999999"},
        {100000000000, "1E+11"},
        {123456789012, "1.23456789012E+11"},
        {1e20, "1E+20"},
        {1e-9, "0.000000001"},
        {1.5e-10, "1.5E-10"},
        {-1.25e-12, "-1.25E-12"},
        {0.1 + 0.2, "0.3"},
        {1e15 + 0.3, "1E+15"},
        {0, "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberFormat::general(c.value), QString::fromLatin1(c.text)) << c.text;
}

// A workbook in the 1904 date system (dates1904.xlsx: 31 January 2026 in A1, 1 in A2): serial 0
// is 1 January 1904, every date 1462 days below the 1900 system, nothing before 1904.
TEST(DateSystem1904, DatesCountFromNineteenOFour) {
    auto wb = Workbook::open(sheettest::copyOfFixture(QStringLiteral("dates1904.xlsx")));
    Worksheet& dates = wb->sheet(0);
    EXPECT_EQ(dates.value({1, 1}), num(44591)) << "openpyxl wrote the date in the 1904 system";
    const struct {
        const char16_t* formula;
        CellValue expected;
    } cases[] = {
        {u"=DATE(1904,1,2)", num(1)},
        {u"=DATE(2026,1,31)", num(44591)},
        {u"=DATE(1903,12,31)", err(u"#NUM!")},
        {u"=YEAR(1)*10000+MONTH(1)*100+DAY(1)", num(19040102)},
        {u"=YEAR(A1)*10000+MONTH(A1)*100+DAY(A1)", num(20260131)},
        {u"=WEEKDAY(0)", num(6)},
        {u"=WEEKDAY(A1)", num(7)},
        {u"=TEXT(0,\"yyyy-mm-dd\")", text(u"1904-01-01")},
        {u"=TEXT(A1,\"dddd d mmmm yyyy\")", text(u"Saturday 31 January 2026")},
        {u"=EDATE(A1,1)", num(44619)},
        {u"=EOMONTH(A1,-1)", num(44560)},
        {u"=DATEDIF(A2,A1,\"Y\")", num(122)},
        {u"=YEARFRAC(DATE(2024,1,1),DATE(2024,7,1),3)", num(182.0 / 365)},
        {u"=\"1/31/2026\"+0", num(44591)},
        {u"=COUNTIF(A1:A2,\">=1/1/2026\")", num(1)},
        {u"=TODAY()-DATE(YEAR(TODAY()),MONTH(TODAY()),DAY(TODAY()))", num(0)},
    };
    int row = 10;
    for (const auto& c : cases) {
        dates.setEntry({row, 2}, QString::fromUtf16(c.formula));
        EXPECT_EQ(dates.value({row, 2}), c.expected) << QString::fromUtf16(c.formula).toStdString();
        ++row;
    }
    // A date typed into a cell counts in the workbook's system too.
    dates.setEntry({30, 1}, QStringLiteral("1/31/2026"));
    EXPECT_EQ(dates.value({30, 1}), num(44591));
    dates.setEntry({31, 1}, QStringLiteral("12/31/1903"));
    EXPECT_EQ(dates.value({31, 1}), text(u"12/31/1903")) << "no date of the 1904 system";
}

// The cells that references to the table DeptSales (Sales!A1:E8: a header row, six rows of
// data, a totals row) stand for, as the spreadsheet program's documentation of table references
// lists them; #This Row is read in row 5.
TEST(TableReferences, EachReferenceStandsForTheDocumentedCells) {
    auto wb = Workbook::open(sheettest::copyOfFixture(QStringLiteral("compatibility.xlsx")));
    Worksheet& sales = wb->sheet(QStringLiteral("Sales"));
    const struct {
        const char* reference;
        const char* cells;
    } cases[] = {
        {"DeptSales[Sales Amount]", "C2:C7"},
        {"DeptSales[[#All],[Sales Amount]]", "C1:C8"},
        {"DeptSales[[#Headers],[% Commission]]", "D1:D1"},
        {"DeptSales[[#Totals],[Region]]", "B8:B8"},
        {"DeptSales[[#All],[Sales Amount]:[% Commission]]", "C1:D8"},
        {"DeptSales[[#Data],[% Commission]:[Commission Amount]]", "D2:E7"},
        {"DeptSales[[#Headers],[Region]:[Commission Amount]]", "B1:E1"},
        {"DeptSales[[#Totals],[Sales Amount]:[Commission Amount]]", "C8:E8"},
        {"DeptSales[[#Headers],[#Data],[% Commission]]", "D1:D7"},
        {"DeptSales[[#This Row], [Commission Amount]]", "E5:E5"},
        {"DeptSales[#All]", "A1:E8"},
        {"DeptSales[#Data]", "A2:E7"},
        {"DeptSales[#Headers]", "A1:E1"},
        {"DeptSales[#Totals]", "A8:E8"},
        {"DeptSales[#This Row]", "A5:E5"},
        {"DeptSales[@[Sales Amount]]", "C5:C5"},
        {"DeptSales[]", "A2:E7"},
        {"DeptSales", "A2:E7"},
        {"deptsales[[sales person]:[region]]", "A2:B7"},
    };
    int column = 20;
    for (const auto& c : cases) {
        // The block a reference stands for, written out by ADDRESS.
        const QString x = QString::fromLatin1(c.reference);
        const QString formula =
            QStringLiteral(
                "=ADDRESS(ROW(%1),COLUMN(%1),4)&\":\"&ADDRESS(ROW(%1)+ROWS(%1)-1,COLUMN(%1)+COLUMNS(%1)-1,4)")
                .arg(x);
        sales.setEntry({5, column}, formula);
        EXPECT_EQ(sales.value({5, column}), CellValue::fromText(QString::fromLatin1(c.cells))) << c.reference;
        ++column;
    }
    // Rows and columns the table does not have are #REF!; #This Row outside the table's rows is
    // #VALUE!; a table the workbook does not have is left to the spreadsheet program.
    const struct {
        const char* formula;
        CellValue expected;
    } faults[] = {
        {"=SUM(DeptSales[Bonus])", err(u"#REF!")},
        {"=SUM(DeptSales[[#Headers],[#Totals]])", err(u"#REF!")},
        {"=DeptSales[[#This Row],[Region]]", err(u"#VALUE!")},
    };
    for (const auto& f : faults) {
        sales.setEntry({12, 20}, QString::fromLatin1(f.formula));
        EXPECT_EQ(sales.value({12, 20}), f.expected) << f.formula;
    }
    sales.setEntry({13, 20}, QStringLiteral("=SUM(Regions[Amount])"));
    EXPECT_TRUE(sales.isStale({13, 20}));
}
