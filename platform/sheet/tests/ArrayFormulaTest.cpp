// Array formulas read from a file: one over a block fills every cell of it after writes, the
// formulas that read those cells follow it (or are stale with it), the block's new values are
// saved; arrays over whole columns cost what their used part costs. What arrays evaluate to is
// compared with LibreOffice in FormulaCompatibilityTest.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::num;
using sheettest::text;

namespace {

// A1:A3 1, 2, 3; C1:C3 the array formula A1:A3*2 (stored results 0, as a careless writer might
// leave them); D1 reads C2 and C3, E1 reads C3 alone; F1:F2 an array formula the engine does not
// evaluate (BESSELI), G1 reads F2; H1 the budget idiom over whole columns; I1 IF inside SUMPRODUCT
// in a plain formula (the spreadsheet program gives IF one value there), I2 the same as an array
// formula.
std::unique_ptr<Workbook> blockWorkbook() {
    const std::string rows =
        "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\" t=\"inlineStr\"><is><t>x</t></is></c>"
        "<c r=\"C1\"><f t=\"array\" ref=\"C1:C3\">A1:A3*2</f><v>0</v></c><c r=\"D1\"><f>C2+C3</f><v>0</v></c>"
        "<c r=\"E1\"><f>C3*10</f><v>0</v></c><c r=\"F1\"><f t=\"array\" "
        "ref=\"F1:F2\">BESSELI(A1:A2,1)</f><v>0</v></c>"
        "<c r=\"G1\"><f>F2+1</f><v>1</v></c>"
        "<c r=\"H1\"><f>SUMPRODUCT((B:B=\"x\")*A:A)</f><v>0</v></c>"
        "<c r=\"I1\"><f>SUMPRODUCT(IF(A1:A3&gt;1,1,0))</f><v>0</v></c></row>"
        "<row r=\"2\"><c r=\"A2\"><v>2</v></c><c r=\"C2\"><v>0</v></c><c r=\"F2\"><v>0</v></c>"
        "<c r=\"I2\"><f t=\"array\" ref=\"I2\">SUMPRODUCT(IF(A1:A3&gt;1,1,0))</f><v>0</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>3</v></c><c r=\"B3\" t=\"inlineStr\"><is><t>x</t></is></c>"
        "<c r=\"C3\"><v>0</v></c></row>";
    return Workbook::openBytes(sheettest::packageWithSheetData(rows), QStringLiteral("Blocks.xlsx"));
}

} // namespace

TEST(ArrayFormulas, ABlockIsFilledAfterWritesAndItsReadersFollow) {
    auto wb = blockWorkbook();
    Worksheet& sheet = wb->sheet(0);
    sheet.setEntry({2, 1}, QStringLiteral("5"));
    EXPECT_EQ(sheet.value({1, 3}), num(2));
    EXPECT_EQ(sheet.value({2, 3}), num(10));
    EXPECT_EQ(sheet.value({3, 3}), num(6));
    EXPECT_EQ(sheet.value({1, 4}), num(16)) << "a reader of two cells of the block";
    EXPECT_EQ(sheet.value({1, 5}), num(60)) << "a reader of a cell the formula does not stand in";
    EXPECT_EQ(sheet.value({1, 8}), num(4)) << "SUMPRODUCT over whole columns";

    // A block the engine does not evaluate leaves its readers stale too.
    EXPECT_TRUE(sheet.isStale({1, 6}));
    EXPECT_TRUE(sheet.isStale({1, 7}));
    EXPECT_FALSE(sheet.isStale({1, 3}));
    // IF takes a block as an array in an array formula only.
    EXPECT_TRUE(sheet.isStale({1, 9}));
    EXPECT_EQ(sheet.value({2, 9}), num(2));

    // A write into the block's input recalculates it again; its readers follow.
    sheet.setEntry({3, 1}, QStringLiteral("-1"));
    EXPECT_EQ(sheet.value({3, 3}), num(-2));
    EXPECT_EQ(sheet.value({1, 4}), num(8));
    EXPECT_EQ(sheet.value({1, 5}), num(-20));
    EXPECT_EQ(sheet.value({1, 8}), num(0));
}

TEST(ArrayFormulas, TheBlocksNewValuesAreSaved) {
    const QString path = testsupport::freshDir(QStringLiteral("arrays")) + QStringLiteral("/Blocks.xlsx");
    {
        auto wb = blockWorkbook();
        wb->sheet(0).setEntry({2, 1}, QStringLiteral("5"));
        wb->saveAs(path);
    }
    const QMap<QString, QString> results = sheettest::readWithOpenpyxl(path, true);
    EXPECT_EQ(results.value(QStringLiteral("Data!C2")), QStringLiteral("10"));
    EXPECT_EQ(results.value(QStringLiteral("Data!C3")), QStringLiteral("6"));
    EXPECT_EQ(results.value(QStringLiteral("Data!D1")), QStringLiteral("16"));
    const QMap<QString, QString> formulas = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(formulas.value(QStringLiteral("Data!C1")), QStringLiteral("'=A1:A3*2'"));
    // LibreOffice reads the block as an array formula and calculates the same.
    const QStringList rows = sheettest::convertWithLibreOffice(path);
    ASSERT_GE(rows.size(), 3);
    EXPECT_EQ(sheettest::csvFields(rows[1]).value(2), QStringLiteral("10"));
    EXPECT_EQ(sheettest::csvFields(rows[0]).value(3), QStringLiteral("16"));
}
