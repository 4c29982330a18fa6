// The conditional functions and the exact lookups over a large table that cannot change during
// a calculation go through an index of its columns, and SUMPRODUCT through the table's numbers
// read once: their results are those of reading every cell. A table of 3,000 rows written by openpyxl --
// numbers with a duplicate key, texts in two letter cases, numbers written as texts, truth values, empty
// cells, 0.1+0.2 beside 0.3 -- is read by formulas that each stand twice (an index is made on a column's
// second use); every result equals the result of the same workbook whose table holds a formula, so that it is
// read cell by cell, and LibreOffice's recalculation of the saved workbook but where LibreOffice differs from
// the spreadsheet program.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {

constexpr int kRows = 3000;

const char* const kFormulas[] = {
    "SUMIFS(Data!C1:C3000,Data!B1:B3000,\"R3\")",
    "SUMIFS(Data!C1:C3000,Data!B1:B3000,\"r3\",Data!A1:A3000,\">1500\")",
    "SUMIFS(Data!C1:C3000,Data!A1:A3000,\"<=100\")",
    "SUMIFS(Data!C1:C3000,Data!A1:A3000,17)",
    "SUMIFS(Data!C1:C3000,Data!A1:A3000,\">=2999.5\")",
    "COUNTIFS(Data!B1:B3000,\"R5\",Data!C1:C3000,\">500\")",
    "SUMIFS(Data!C1:C3000,Data!B1:B3000,\"R3\",Data!F1:F3000,\"c2\")",
    "COUNTIFS(Data!F1:F3000,\"C4\",Data!B1:B3000,\"r2\",Data!A1:A3000,\">10\")",
    "COUNTIFS(Data!F1:F3000,\"R\u00c9GION\",Data!B1:B3000,\"R1\")",
    "COUNTIFS(Data!B1:B3000,\"R5\",Data!C1:C3000,\"<500\")",
    "COUNTIF(Data!C1:C3000,\"12.5\")",
    "COUNTIF(Data!C1:C3000,12.5)",
    "COUNTIF(Data!E1:E3000,0.3)",
    "COUNTIF(Data!E1:E3000,\"=0.3\")",
    "COUNTIF(Data!E1:E3000,\"<0.3\")",
    "COUNTIF(Data!D1:D3000,\"k00042\")",
    "COUNTIF(Data!B1:B3000,\"R*\")",
    "COUNTIF(Data!A1:A3000,\"<>5\")",
    "COUNTIF(Data!B1:B3000,\"Nowhere\")",
    "AVERAGEIFS(Data!C1:C3000,Data!B1:B3000,\"R1\")",
    "MAXIFS(Data!C1:C3000,Data!B1:B3000,\"R2\",Data!A1:A3000,\"<2000\")",
    "MINIFS(Data!C1:C3000,Data!B1:B3000,\"R6\")",
    "SUMIF(Data!B1:B3000,\"R2\",Data!C1:C3000)",
    "SUMIF(Data!A1:A3000,\">2990\",Data!C1:C3000)",
    "VLOOKUP(17,Data!A1:D3000,4,FALSE)",
    "VLOOKUP(2500,Data!A1:D3000,3,FALSE)",
    "VLOOKUP(99999,Data!A1:D3000,2,FALSE)",
    "VLOOKUP(\"k00042\",Data!D1:E3000,2,FALSE)",
    "VLOOKUP(\"K0004*\",Data!D1:E3000,2,FALSE)",
    "MATCH(0.3,Data!E1:E3000,0)",
    "MATCH(\"R3\",Data!B1:B3000,0)",
    "MATCH(\"r4\",Data!B1:B3000,0)",
    "MATCH(12.5,Data!C1:C3000,0)",
    "MATCH(1234,Data!A1:A3000,0)",
    "INDEX(Data!C1:C3000,MATCH(2500,Data!A1:A3000,0))",
    "HLOOKUP(\"K00003\",Data!G1:ZZ2,2,FALSE)",
    "SUMPRODUCT(Data!A1:A3000,Data!C1:C3000)",
    "SUMPRODUCT(Data!C1:C3000,Data!E1:E3000,Data!A1:A3000)",
    "SUMPRODUCT(Data!G1:ZZ2)",
};

// The table: A id (row 2000 repeats 17), B region (R0..R6, a few in small letters), C amount (a
// number; every 97th row "12.5" as a text, every 83rd empty, every 101st 12.5), D key, E 0.3 or
// 0.1+0.2 in turn, F category (C0..C4, every 13th row a word with an accent in either case);
// G1:ZZ2 keys and amounts across. The sheet Calc holds each formula twice.
QString writeWorkbook(bool tableWithFormula) {
    QString script = QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
data = wb.active
data.title = "Data"
for r in range(1, 3001):
    data.cell(r, 1).value = 17 if r == 2000 else r
    data.cell(r, 2).value = ("r%d" if r % 11 == 0 else "R%d") % (r % 7)
    if r % 97 == 0:
        amount = "12.5"
    elif r % 83 == 0:
        amount = None
    elif r % 101 == 0:
        amount = 12.5
    else:
        amount = round((r * 37 % 1000) + 0.25, 2)
    data.cell(r, 3).value = amount
    data.cell(r, 4).value = "K%05d" % r
    data.cell(r, 5).value = 0.3 if r % 2 else 0.1 + 0.2
    data.cell(r, 6).value = ("R\u00e9gion" if r % 26 else "r\u00e9GION") if r % 13 == 0 else "C%d" % (r % 5)
for c in range(7, 703):
    data.cell(1, c).value = "K%05d" % (c - 6)
    data.cell(2, c).value = c * 3
if sys.argv[2] == "formula":
    data["ZZ3"] = "=1+1"
calc = wb.create_sheet("Calc")
formulas = sys.argv[3].split("\n")
for i, f in enumerate(formulas + formulas, start=1):
    calc.cell(i, 1).value = "=" + f
wb.save(sys.argv[1])
)");
    QStringList formulas;
    for (const char* f : kFormulas)
        formulas << QString::fromUtf8(f);
    const QString path = testsupport::freshDir(QStringLiteral("idx")) + QStringLiteral("/Table.xlsx");
    sheettest::runPython(script, {path, tableWithFormula ? QStringLiteral("formula") : QStringLiteral("none"),
                                  formulas.join(u'\n')});
    return path;
}

// The spreadsheet program's criterion 12.5 also takes the text "12.5", LibreOffice's only the
// number; the LibreOffice of this system does not know MAXIFS and MINIFS.
const std::vector<sheettest::LibreOfficeDifference> kDiffering = {
    {"COUNTIF(Data!C1:C3000,12.5)", sheettest::num(59), "29"},
    {"MAXIFS(Data!C1:C3000,Data!B1:B3000,\"R2\",Data!A1:A3000,\"<2000\")", sheettest::num(996.25), "#NAME?"},
    {"MINIFS(Data!C1:C3000,Data!B1:B3000,\"R6\")", sheettest::num(0.25), "#NAME?"},
};

} // namespace

TEST(IndexedLookups, GiveWhatReadingEveryCellGives) {
    const int count = int(std::size(kFormulas));
    const QString indexedPath = writeWorkbook(false);
    auto indexed = Workbook::open(indexedPath);
    auto read = Workbook::open(writeWorkbook(true));
    const Worksheet& calc = indexed->sheet(QStringLiteral("Calc"));
    const Worksheet& plain = read->sheet(QStringLiteral("Calc"));
    for (int row = 1; row <= 2 * count; ++row) {
        const std::string formula = calc.formula({row, 1}).toStdString();
        EXPECT_FALSE(calc.isStale({row, 1})) << formula;
        EXPECT_EQ(calc.value({row, 1}), plain.value({row, 1})) << formula;
        EXPECT_EQ(calc.value({row, 1}), calc.value({(row - 1) % count + 1, 1})) << formula;
    }
    indexed->save();
    const QStringList rows = sheettest::convertWithLibreOffice(indexedPath, 2, true);
    ASSERT_GE(rows.size(), 2 * count);
    const sheettest::Comparison comparison =
        sheettest::compareWithLibreOffice(calc, 1, 2 * count, rows, kDiffering);
    EXPECT_EQ(comparison.compared, 2 * count);
    EXPECT_EQ(comparison.listed, 2 * int(kDiffering.size()));
}
