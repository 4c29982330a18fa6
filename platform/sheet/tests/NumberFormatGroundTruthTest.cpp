// Number formats against the spreadsheet program's own results: seven workbooks of the shared
// test data (data/number-formats beside the project), saved by the program, each row a
// TEXT(value, format) formula with the program's stored result. The results are taken out of a
// copy, so that the engine calculates every formula, and each must equal the stored result
// exactly; and a cell holding the value in that format (a workbook written by openpyxl) shows
// the same text. No row's result depends on the writer's locale: the numbers are written with a
// decimal point and thousands commas, and no row writes a date.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {

// The shared test data: beside the main checkout, or two levels up from a worktree.
QString numberFormatsFolder() {
    const QString source = qEnvironmentVariable("LUMIVANE_SOURCE_DIR");
    for (const char* up : {"/../shared/data/number-formats", "/../../shared/data/number-formats"}) {
        const QString folder = QDir::cleanPath(source + QString::fromLatin1(up));
        if (QFileInfo(folder + QStringLiteral("/README.md")).exists())
            return folder;
    }
    return {};
}

// Each row's value (column C) in a cell A of its row with the row's format (column B; the
// text workbook's formulas put ";;;" before it).
QString cellsInTheirFormats(const QString& groundTruth, bool textSections) {
    const QString script = QStringLiteral(R"(
import sys, openpyxl
source = openpyxl.load_workbook(sys.argv[1], data_only=True)["Tests"]
wb = openpyxl.Workbook()
ws = wb.active
for row in range(2, source.max_row + 1):
    value, pattern = source.cell(row, 3).value, source.cell(row, 2).value
    if value is None or pattern is None:
        continue
    ws.cell(row, 1).value = value
    ws.cell(row, 1).number_format = (";;;" if sys.argv[3] == "text" else "") + pattern
wb.save(sys.argv[2])
)");
    const QString path = testsupport::freshDir(QStringLiteral("nf")) + QStringLiteral("/cells.xlsx");
    sheettest::runPython(script,
                         {groundTruth, path, textSections ? QStringLiteral("text") : QStringLiteral("")});
    return path;
}

} // namespace

class NumberFormatGroundTruth : public ::testing::TestWithParam<const char*> {};

TEST_P(NumberFormatGroundTruth, EveryRowShowsWhatTheWriterShowed) {
    const QString folder = numberFormatsFolder();
    ASSERT_FALSE(folder.isEmpty()) << "the shared number-format workbooks are missing";
    const QString name = QString::fromLatin1(GetParam());
    const QString original = folder + u'/' + name;
    const QString copy = testsupport::freshDir(QStringLiteral("nf")) + u'/' + name;
    ASSERT_TRUE(QFile::copy(original, copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    sheettest::removeFormulaResults(copy);
    const QString cellsPath = cellsInTheirFormats(original, name.startsWith(u"Text"));

    auto stored = Workbook::open(original);
    auto calculated = Workbook::open(copy);
    auto cellsBook = Workbook::open(cellsPath);
    const Worksheet& expected = stored->sheet(QStringLiteral("Tests"));
    const Worksheet& ours = calculated->sheet(QStringLiteral("Tests"));
    const Worksheet& cells = cellsBook->sheet(0);
    int compared = 0;
    QStringList disagreeing;
    for (int row = 2; row <= expected.lastCell().row; ++row) {
        if (!expected.hasFormula({row, 1}))
            continue;
        ++compared;
        const CellValue theirs = expected.value({row, 1});
        const CellValue mine = ours.value({row, 1});
        EXPECT_FALSE(ours.isStale({row, 1})) << "row " << row;
        // An empty text is stored without a value.
        const QString shown = theirs.type == CellValue::Type::Empty ? QString() : theirs.text;
        const auto describe = [&](const QString& what, const QString& text) {
            return QStringLiteral("row %1: %2 %3 in \"%4\": ours \"%5\", the writer's \"%6\"")
                .arg(row)
                .arg(what, ours.value({row, 3}).toText(), ours.value({row, 2}).toText(), text, shown);
        };
        if (mine != CellValue::fromText(shown))
            disagreeing << describe(ours.formula({row, 1}) + QStringLiteral(" of"), mine.toText());
        if (!ours.value({row, 3}).isEmpty() && cells.text({row, 1}) != shown)
            disagreeing << describe(QStringLiteral("a cell of"), cells.text({row, 1}));
    }
    EXPECT_GE(compared, 25);
    EXPECT_TRUE(disagreeing.isEmpty()) << disagreeing.size() << " disagree of " << compared << ":\n"
                                       << disagreeing.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Workbooks, NumberFormatGroundTruth,
                         ::testing::Values("GeneralFormatTests.xlsx", "NumberFormatTests.xlsx",
                                           "NumberFormatApproxTests.xlsx", "ElapsedFormatTests.xlsx",
                                           "FormatChoiceTests.xlsx", "FormatConditionTests.xlsx",
                                           "TextFormatTests.xlsx"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             const std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });
