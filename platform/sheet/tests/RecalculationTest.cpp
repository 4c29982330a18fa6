// Recalculation checked against LibreOffice: a budget workbook made by LibreOffice gets new
// values, the workbook is saved, and the results we saved (read back by openpyxl) are compared
// with LibreOffice's own recalculation of the same file. Also: a formula the engine does not
// evaluate keeps its result and is reported, and a values-only copy after writes carries the
// current results.
#include "SheetTestSupport.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::copyOfFixture;

namespace {

struct Cached {
    QString kind; // n number, b truth value, s text, e error
    QString text;
};

// The results saved with every formula cell: "Sheet!B2" -> kind and value.
QMap<QString, Cached> cachedResults(const QString& path) {
    const QString script = QStringLiteral(R"(
import sys, openpyxl
values = openpyxl.load_workbook(sys.argv[1], data_only=True)
for ws in openpyxl.load_workbook(sys.argv[1]).worksheets:
    for row in ws.iter_rows():
        for c in row:
            if isinstance(c.value, str) and c.value.startswith("="):
                v = values[ws.title][c.coordinate].value
                if isinstance(v, bool):
                    kind, text = "b", "TRUE" if v else "FALSE"
                elif isinstance(v, (int, float)):
                    kind, text = "n", repr(float(v))
                elif isinstance(v, str) and v.startswith("#"):
                    kind, text = "e", v
                elif isinstance(v, str):
                    kind, text = "s", v
                else:
                    kind, text = "x", repr(v)
                print("%s!%s\t%s\t%s" % (ws.title, c.coordinate, kind, text))
)");
    QMap<QString, Cached> out;
    for (const QString& line : sheettest::runPython(script, {path}).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() == 3)
            out.insert(parts[0], Cached{parts[1], parts[2]});
    }
    return out;
}

// "B12" -> row 12, column 2.
CellRef cellOf(const QString& address) {
    return CellAddress::parseA1(address).value_or(CellRef{});
}

bool sameResult(const Cached& ours, const QString& theirs) {
    if (ours.kind == u"n") {
        bool ok = false;
        const double a = ours.text.toDouble();
        const double b = theirs.toDouble(&ok);
        return ok && std::abs(a - b) <= 1e-12 * std::max({1.0, std::abs(a), std::abs(b)});
    }
    return ours.text == theirs;
}

void writeNewValues(Workbook& wb) {
    Worksheet& inputs = wb.sheet(QStringLiteral("Inputs"));
    inputs.setEntry({2, 1}, QStringLiteral("Wages"));
    inputs.setEntry({2, 2}, QStringLiteral("2500"));
    inputs.setEntry({3, 3}, QStringLiteral("0.25"));
    inputs.setEntry({4, 2}, QStringLiteral("175.5"));
    inputs.setEntry({7, 2}, QStringLiteral("0"));
    inputs.setEntry({2, 4}, QStringLiteral("FALSE"));
    inputs.setEntry({3, 5}, QStringLiteral("z-9"));
    wb.sheet(QStringLiteral("Jan")).setEntry({2, 2}, QStringLiteral("11"));
    Worksheet& budget = wb.sheet(QStringLiteral("Budget"));
    budget.setEntry({2, 3}, QStringLiteral("=B2*2"));
    budget.setEntry({3, 3}, QStringLiteral("=C2+Inputs!B2"));
}

} // namespace

TEST(Recalculation, SavedResultsAfterWritesAreLibreOfficesOwn) {
    const QString path = copyOfFixture(QStringLiteral("recalc.xlsx"));
    {
        auto wb = Workbook::open(path);
        Worksheet& budget = wb->sheet(QStringLiteral("Budget"));
        const CellValue kurtosisBefore = budget.value({28, 2});
        writeNewValues(*wb);
        // BESSELI is not evaluated here: it and its reader keep their results and are reported.
        std::vector<CellRef> stale;
        for (const StaleCell& s : wb->staleCells()) {
            EXPECT_EQ(s.sheet, &budget);
            stale.push_back(s.cell);
        }
        EXPECT_EQ(stale, (std::vector<CellRef>{{28, 2}, {29, 2}}));
        EXPECT_EQ(budget.value({28, 2}), kurtosisBefore);
        // Results are current before the save, as read through the layer.
        EXPECT_EQ(budget.value({4, 2}), CellValue::fromNumber(2500 + 800 + 175.5 + 99 + 37.4));
        EXPECT_EQ(budget.value({11, 2}), CellValue::fromError(QStringLiteral("#DIV/0!")));
        EXPECT_EQ(budget.value({15, 2}), CellValue::fromBoolean(false));
        wb->save();
    }
    EXPECT_TRUE(sheettest::zipParts(path).value(u"xl/workbook.xml"_qs).contains("fullCalcOnLoad=\"1\""));

    const QMap<QString, Cached> cached = cachedResults(path);
    // A few results spelled out, so that the comparison below cannot pass on empty files.
    EXPECT_EQ(cached.value(u"Budget!B10"_qs).text, u"Wages: 2500");
    EXPECT_EQ(cached.value(u"Budget!B18"_qs).text, u"none");
    EXPECT_EQ(cached.value(u"Budget!C3"_qs).text, u"3125.0");
    EXPECT_EQ(cached.value(u"Q1 Summary!B1"_qs).text, u"61.5");
    EXPECT_EQ(cached.value(u"Budget!B27"_qs).text, u"14.76"); // halves round away from zero
    // BESSELI is not evaluated here: its result is no longer current and is not saved.
    EXPECT_EQ(cached.value(u"Budget!B28"_qs).kind, u"x");
    EXPECT_EQ(cached.value(u"Budget!B29"_qs).kind, u"x");

    const struct {
        QString sheet;
        int index; // in LibreOffice's numbering
    } sheets[] = {{QStringLiteral("Budget"), 2}, {QStringLiteral("Q1 Summary"), 6}};
    int compared = 0;
    for (const auto& s : sheets) {
        const QStringList rows = sheettest::convertWithLibreOffice(path, s.index);
        ASSERT_FALSE(rows.isEmpty());
        for (auto it = cached.begin(); it != cached.end(); ++it) {
            if (!it.key().startsWith(s.sheet + u'!'))
                continue;
            const CellRef at = cellOf(it.key().mid(s.sheet.size() + 1));
            ASSERT_LE(at.row, rows.size()) << it.key().toStdString();
            const QStringList fields = sheettest::csvFields(rows[at.row - 1]);
            ASSERT_LE(at.col, fields.size()) << it.key().toStdString();
            const QString theirs = fields[at.col - 1];
            if (it.key() == u"Budget!B28" || it.key() == u"Budget!B29") {
                // Stale: saved without a result, LibreOffice calculated the new one.
                EXPECT_FALSE(sameResult(it.value(), theirs)) << it.key().toStdString();
                continue;
            }
            EXPECT_TRUE(sameResult(it.value(), theirs))
                << it.key().toStdString() << ": ours " << it.value().text.toStdString() << ", LibreOffice's "
                << theirs.toStdString();
            ++compared;
        }
    }
    EXPECT_EQ(compared, 26 + 2 + 5); // Budget's formulas but BESSELI's two, the two new ones, the summary's
}

TEST(Recalculation, AFormulaNotEvaluatedHereShowsItsNewResultInLibreOfficeWithItsDefaultSettings) {
    const QString path = copyOfFixture(QStringLiteral("recalc.xlsx"));
    const QString before = sheettest::convertWithLibreOffice(path, 2, false).value(27);
    {
        auto wb = Workbook::open(path);
        writeNewValues(*wb);
        EXPECT_TRUE(wb->sheet(QStringLiteral("Budget")).isStale({28, 2}));
        wb->save();
    }
    // LibreOffice keeps stored results by default: only a formula saved without one is
    // calculated, so BESSELI and its reader show their new results beside ours.
    const QStringList shown = sheettest::convertWithLibreOffice(path, 2, false);
    const QStringList recalculated = sheettest::convertWithLibreOffice(path, 2, true);
    ASSERT_GE(shown.size(), 29);
    ASSERT_EQ(shown.size(), recalculated.size());
    EXPECT_NE(shown[27], before); // the writes changed BESSELI's result
    for (int row = 1; row < shown.size(); ++row)
        EXPECT_EQ(shown[row], recalculated[row]) << "Budget row " << row + 1;
}

TEST(Recalculation, ValuesOnlyCopyAfterWritesCarriesCurrentResultsAndStaleCellsAreKnownBefore) {
    Application app;
    Workbook& master = app.open(copyOfFixture(QStringLiteral("recalc.xlsx")));
    master.sheet(QStringLiteral("Inputs")).setEntry({2, 2}, QStringLiteral("2500"));
    Worksheet& budget = master.sheet(QStringLiteral("Budget"));
    const CellRange block = budget.usedBlock();
    // What a values-only copy of the block would carry without its current result.
    EXPECT_EQ(budget.staleCells(block), (std::vector<CellRef>{{28, 2}, {29, 2}}));
    budget.range(block.address(false, false)).copy();
    Workbook& user = app.add();
    Worksheet& target = user.activeSheet();
    target.range(block.address(false, false)).pasteSpecial(PasteType::Formats);
    target.range(block.address(false, false)).pasteSpecial(PasteType::Values);
    EXPECT_FALSE(target.hasFormula({4, 2}));
    EXPECT_EQ(target.value({2, 2}), CellValue::fromNumber(312.5));
    EXPECT_EQ(target.value({4, 2}), CellValue::fromNumber(2500 + 800 + 150.25 + 99 + 37.4));
    EXPECT_EQ(target.value({10, 2}), CellValue::fromText(QStringLiteral("Salaries: 2500")));
    const QString path = testsupport::freshDir() + QStringLiteral("/values.xlsx");
    user.saveAs(path);
    app.closeAll();
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Sheet1!B2"_qs), u"312.5");
    EXPECT_NEAR(cells.value(u"Sheet1!B4"_qs).toDouble(), 3586.65, 1e-9);
}
