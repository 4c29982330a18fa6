// Formulas that reach other formula cells through references found only at evaluation (INDIRECT,
// OFFSET), in workbooks written by openpyxl without results: whatever order the cells stand in,
// every one is calculated after the cells it reaches, so that none is left stale but those that
// reach themselves -- on opening, and again after a write.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::num;

namespace {

// A workbook of one sheet per case, each cell given as "A1=formula" or "A1 value"; written by
// openpyxl, which stores no results.
QString writeCases(const QStringList& sheets) {
    QString script = QStringLiteral("import sys, openpyxl\nwb = openpyxl.Workbook()\nwb.remove(wb.active)\n");
    for (const QString& sheet : sheets)
        script += sheet;
    script += QStringLiteral("wb.save(sys.argv[1])\n");
    const QString path = testsupport::freshDir(QStringLiteral("dyn")) + QStringLiteral("/Dynamic.xlsx");
    sheettest::runPython(script, {path});
    return path;
}

// Python lines making a sheet of the given cells.
QString sheetScript(const QString& name, const QStringList& cells) {
    QString out = QStringLiteral("ws = wb.create_sheet(%1)\n").arg(QStringLiteral("\"%1\"").arg(name));
    for (const QString& cell : cells)
        out += cell + u'\n';
    return out;
}

// Python lines filling the cells `first`..`last` of a column with a python expression of the
// row r.
QString column(const char* letter, int first, int last, const char* expression) {
    return QStringLiteral("for r in range(%1, %2):\n    ws[\"%3%d\" % r] = %4")
        .arg(first)
        .arg(last + 1)
        .arg(QString::fromLatin1(letter), QString::fromLatin1(expression));
}

QString cell(const char* at, const char* value) {
    return QStringLiteral("ws[\"%1\"] = %2").arg(QString::fromLatin1(at), QString::fromLatin1(value));
}

struct Expected {
    const char* sheet;
    const char* cell;
    double value; // NAN: stale, left to the spreadsheet program
};

} // namespace

// The small fixtures: chains up and down a column, across sheets, read by sums and lookups
// named before them, and a circle closed through INDIRECT.
TEST(DynamicReferences, EveryCellReachedThroughIndirectOrOffsetIsCalculatedFirst) {
    const QString path = writeCases({
        // The cells read the row above and a sum above them reads them all.
        sheetScript("Up", {cell("A1", "1"), column("A", 2, 20, "'=INDIRECT(\"A\"&ROW()-1)+1'"),
                           cell("C1", "'=SUM(A1:A20)'")}),
        // The cells read the row below.
        sheetScript("Down", {cell("A20", "1"), column("A", 1, 19, "'=INDIRECT(\"A\"&(ROW()+1))+1'"),
                             cell("C1", "'=SUM(A1:A20)'")}),
        // OFFSET doubles the row above; a table of the results is read by lookups above it. The
        // place OFFSET starts from, and the block ROW, COLUMNS and ISREF are given, is not read:
        // naming the formula's own cell there is no circle.
        sheetScript("Offset",
                    {column("A", 1, 20, "r"), cell("B1", "1"),
                     column("B", 2, 20, "'=OFFSET(B{r},-1,0)*2'.format(r=r)"),
                     cell("D1", "'=VLOOKUP(20,A1:B20,2,FALSE)'"), cell("D2", "'=MATCH(64,B1:B20,0)'"),
                     cell("D3", "'=SUM(OFFSET(B1,0,0,ROWS(B1:B20)))'"),
                     cell("E1", "'=ROW(E1)*10+COLUMNS(E1:G1)+ISREF(E1)'")}),
        // A chain across two sheets: each reads the row above on the other sheet.
        sheetScript("Left", {cell("A1", "1"), column("A", 2, 10, "'=INDIRECT(\"Right!A\"&(ROW()-1))+1'")}),
        sheetScript("Right", {column("A", 1, 10, "'=INDIRECT(\"Left!A\"&ROW())*10'")}),
        // Two cells that read each other through INDIRECT, and a reader of them.
        sheetScript("Circle", {cell("A1", "'=INDIRECT(\"A2\")+1'"), cell("A2", "'=INDIRECT(\"A1\")+1'"),
                               cell("B1", "'=A1*2'"), cell("B2", "5"), cell("B3", "'=INDIRECT(\"B2\")*3'")}),
    });
    auto wb = Workbook::open(path);
    const Expected opened[] = {
        {"Up", "A20", 20},
        {"Up", "C1", 210},
        {"Down", "A1", 20},
        {"Down", "C1", 210},
        {"Offset", "B20", 524288},
        {"Offset", "D1", 524288},
        {"Offset", "D2", 7},
        {"Offset", "D3", 1048575},
        {"Offset", "E1", 14},
        {"Left", "A10", 1111111111},
        {"Right", "A10", 11111111110},
        {"Circle", "A1", NAN},
        {"Circle", "A2", NAN},
        {"Circle", "B1", NAN},
        {"Circle", "B3", 15},
    };
    auto check = [&](const Expected& e, const char* when) {
        const Worksheet& sheet = wb->sheet(QString::fromLatin1(e.sheet));
        const CellRef at = *CellAddress::parseA1(QString::fromLatin1(e.cell));
        if (std::isnan(e.value)) {
            EXPECT_TRUE(sheet.isStale(at)) << when << " " << e.sheet << "!" << e.cell;
            return;
        }
        EXPECT_FALSE(sheet.isStale(at)) << when << " " << e.sheet << "!" << e.cell;
        EXPECT_EQ(sheet.value(at), num(e.value)) << when << " " << e.sheet << "!" << e.cell;
    };
    for (const Expected& e : opened)
        check(e, "on opening");
    EXPECT_EQ(wb->staleCells().size(), 3u) << "only the circle and its reader are stale";

    wb->sheet(QStringLiteral("Up")).setEntry({1, 1}, QStringLiteral("5"));
    wb->sheet(QStringLiteral("Down")).setEntry({20, 1}, QStringLiteral("5"));
    wb->sheet(QStringLiteral("Offset")).setEntry({1, 2}, QStringLiteral("3"));
    wb->sheet(QStringLiteral("Left")).setEntry({1, 1}, QStringLiteral("2"));
    const Expected written[] = {
        {"Up", "A20", 24},           {"Up", "C1", 290},
        {"Down", "A1", 24},          {"Down", "C1", 290},
        {"Offset", "B20", 1572864},  {"Offset", "D1", 1572864},
        {"Left", "A10", 2111111111}, {"Right", "A10", 21111111110},
    };
    for (const Expected& e : written)
        check(e, "after writes");
    EXPECT_EQ(wb->sheet(QStringLiteral("Offset")).value({2, 4}), sheettest::err(u"#N/A")) << "64 is gone";
}

// Columns of 10,000 such cells, up and down, through INDIRECT and OFFSET, read by a lookup:
// nothing stale.
TEST(DynamicReferences, LongChainsLeaveNothingStale) {
    constexpr int kRows = 10000;
    const QString path = writeCases({sheetScript(
        "Chains", {cell("A1", "1"), column("A", 2, kRows, "'=INDIRECT(\"A\"&ROW()-1)+1'"), cell("B1", "1"),
                   column("B", 2, kRows, "'=OFFSET(B{r},-1,0)+1'.format(r=r)"),
                   QStringLiteral("ws[\"C%1\"] = 1").arg(kRows),
                   column("C", 1, kRows - 1, "'=INDIRECT(\"C\"&(ROW()+1))+1'"),
                   column("D", 1, kRows, "'=OFFSET(D{r},0,-1)+A{r}'.format(r=r)"),
                   cell("F1", "'=SUM(A1:D10000)'"), cell("F2", "'=VLOOKUP(9999,A1:D10000,4,FALSE)'")})});
    auto wb = Workbook::open(path);
    const Worksheet& sheet = wb->sheet(0);
    EXPECT_EQ(wb->staleCells().size(), 0u);
    const double n = kRows;
    EXPECT_EQ(sheet.value({kRows, 1}), num(n));
    EXPECT_EQ(sheet.value({kRows, 2}), num(n));
    EXPECT_EQ(sheet.value({1, 3}), num(n));
    // A and B: 1..n each; C: n..1; D: C + A = n + 1 in every row.
    EXPECT_EQ(sheet.value({1, 6}), num(3 * n * (n + 1) / 2 + n * (n + 1)));
    EXPECT_EQ(sheet.value({2, 6}), num(n + 1));
}
