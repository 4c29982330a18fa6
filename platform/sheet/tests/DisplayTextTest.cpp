// The text a cell shows: its value in its number format, as LibreOffice shows the same cells of
// a workbook written by openpyxl.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {

// One row per case: the value as python writes it, the number format, the text shown.
struct Shown {
    const char* value;
    const char* format;
    const char* text;
};

const Shown kCases[] = {
    {"1234.5", "#,##0.00", "1,234.50"},
    {"-1500", "#,##0;(#,##0)", "(1,500)"},
    {"0.125", "0.00%", "12.50%"},
    {"0.5", "0%", "50%"},
    {"1234567", "#,##0", "1,234,567"},
    {"42", "General", "42"},
    {"3.14159", "0.0", "3.1"},
    {"datetime.datetime(2026, 1, 31)", "yyyy-mm-dd", "2026-01-31"},
    {"datetime.datetime(2026, 1, 31)", "d-mmm-yy", "31-Jan-26"},
    {"datetime.datetime(2026, 1, 31, 14, 30)", "h:mm AM/PM", "2:30 PM"},
    {"1200.5", "\"$\"#,##0.00", "$1,200.50"},
    {"'code 7'", "@", "code 7"},
    {"True", "General", "TRUE"},
    {"'=1/0'", "General", "#DIV/0!"},
};

QString makeWorkbook() {
    QString script =
        QStringLiteral("import sys, datetime, openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\n");
    int row = 1;
    for (const Shown& c : kCases) {
        script += QStringLiteral("ws.cell(%1, 1).value = %2\nws.cell(%1, 1).number_format = '%3'\n")
                      .arg(row++)
                      .arg(QString::fromUtf8(c.value),
                           QString::fromUtf8(c.format).replace(QStringLiteral("'"), QStringLiteral("\\'")));
    }
    script += QStringLiteral("wb.save(sys.argv[1])\n");
    const QString path = testsupport::freshDir() + QStringLiteral("/Shown.xlsx");
    sheettest::runPython(script, {path});
    return path;
}

QStringList shownByLibreOffice(const QString& path) {
    QStringList texts;
    for (const QString& line : sheettest::shownByLibreOffice(path))
        texts << sheettest::csvFields(line).value(0);
    return texts;
}

TEST(DisplayText, CellsShowTheirValuesInTheirNumberFormats) {
    const QString path = makeWorkbook();
    const auto book = Workbook::open(path);
    Worksheet& sheet = book->sheet(0);
    const QStringList libreOffice = shownByLibreOffice(path);
    ASSERT_EQ(libreOffice.size(), qsizetype(std::size(kCases)));
    for (int row = 1; row <= int(std::size(kCases)); ++row) {
        const Shown& c = kCases[row - 1];
        SCOPED_TRACE(c.format);
        EXPECT_EQ(sheet.text({row, 1}), QString::fromUtf8(c.text));
        EXPECT_EQ(libreOffice[row - 1], QString::fromUtf8(c.text)) << "the case's own text is LibreOffice's";
    }
    EXPECT_EQ(sheet.text({40, 1}), QString()) << "an empty cell shows nothing";
}

// A date of a workbook in the 1904 date system shows the day it is in that system, not four years
// and a day earlier.
TEST(DisplayText, DatesOfA1904WorkbookShowTheirOwnDay) {
    const auto book = Workbook::open(sheettest::copyOfFixture(QStringLiteral("dates1904.xlsx")));
    EXPECT_EQ(book->sheet(0).text({1, 1}), u"2026-01-31");
}

// A typed entry gets the format of what was typed, and shows as it was typed (a currency keeps
// the room of the closing parenthesis of its negative form after it).
TEST(DisplayText, TypedEntriesShowAsTyped) {
    const auto book = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = book->sheet(0);
    const QStringList typed = {"12.5%", "1,200.50", "$5", "1/31/2026", "10:30 PM", "=1/4", "text"};
    const QStringList shown = {"12.50%", "1,200.50", "$5 ", "1/31/2026", "10:30 PM", "0.25", "text"};
    for (int i = 0; i < typed.size(); ++i) {
        sheet.setEntry({i + 1, 1}, typed[i]);
        EXPECT_EQ(sheet.text({i + 1, 1}), shown[i]) << typed[i].toStdString();
    }
}

} // namespace
