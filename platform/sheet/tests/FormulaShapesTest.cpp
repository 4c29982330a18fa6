// Formulas copied down and across (one shape, compiled once and moved to each cell) give what
// each cell's own text gives: references without $ move, those with $ stay, a block whose one
// end stays turns over where the moving end passes it, whole columns move across, references to
// another sheet move too. A workbook written by openpyxl (no results stored) is calculated,
// written to and saved; every result equals LibreOffice's recalculation of the saved workbook.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

TEST(FormulaShapes, CopiedFormulasGiveWhatTheirOwnTextsGive) {
    constexpr int kRows = 40;
    const QString path = testsupport::freshDir(QStringLiteral("shapes")) + QStringLiteral("/Copied.xlsx");
    sheettest::runPython(QStringLiteral(R"py(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Sheet1"
other = wb.create_sheet("Other Sheet")
rows = int(sys.argv[2])
for r in range(1, rows + 1):
    for c in range(1, 9):
        ws.cell(r, c).value = (r * 7 + c * 3) % 23 - 5
    other.cell(r, 2).value = r * 1.5
ws["Y1"] = 2
for r in range(1, rows + 1):
    ws["I%d" % r] = "=SUM(A%d:H%d)" % (r, r)
    ws["J%d" % r] = "=I%d*1.1" % r
    ws["K%d" % r] = "=SUM($A$1:A%d)" % r
    ws["L%d" % r] = "=SUM(A%d:$A$25)" % r
    ws["M%d" % r] = "='Other Sheet'!B%d*$Y$1" % r
    ws["N%d" % r] = "=INDEX($A$1:$H$40,ROW(),2)+B$1" % ()
    ws["O%d" % r] = '=IF(A%d>B%d,"up",A%d&"-"&B%d)' % (r, r, r, r)
    ws["P%d" % r] = "=SUMPRODUCT(A%d:C%d,$D$1:$F$1)" % (r, r)
    ws["Q%d" % r] = "=COUNTIF(A$1:A%d,\">0\")+A%d" % (r, r)
for c in range(18, 24):
    letter = openpyxl.utils.get_column_letter(c - 17)
    ws.cell(1, c).value = "=SUM(%s:%s)" % (letter, letter)
    ws.cell(2, c).value = "=SUM($A:%s)" % letter
wb.save(sys.argv[1])
)py"),
                         {path, QString::number(kRows)});
    auto wb = Workbook::open(path);
    Worksheet& sheet = wb->sheet(0);
    // A write that reaches most formulas: every shape is evaluated again after it.
    sheet.setEntry({3, 1}, QStringLiteral("100"));
    sheet.setEntry({1, 25}, QStringLiteral("3"));
    wb->save();
    const QStringList rows = sheettest::convertWithLibreOffice(path, 1, true);
    ASSERT_GE(rows.size(), kRows);
    int compared = 0;
    for (int column = 9; column <= 23; ++column) {
        int count = 0;
        while (count < kRows && sheet.hasFormula({count + 1, column}))
            ++count;
        const sheettest::Comparison comparison =
            sheettest::compareWithLibreOffice(sheet, column, count, rows, {});
        EXPECT_EQ(comparison.stale, QStringList());
        compared += comparison.compared;
    }
    EXPECT_EQ(compared, 9 * kRows + 12);
}
