// Typed entries read as the spreadsheet program reads typing in the English (United States)
// convention: the value stored and the number format given to the cell, checked by openpyxl on
// the saved workbook; a cell's own number format kept; and texts in formulas taken as numbers
// the same way.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/formula/TypedNumber.h"
#include "support/TestEnvironment.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {

struct Typed {
    const char16_t* typed;
    CellValue::Type type;
    double number;      // for numbers
    const char* format; // as openpyxl reads it
};

constexpr auto N = CellValue::Type::Number;
constexpr auto T = CellValue::Type::Text;

// Serial numbers of a few dates, counted by hand from 31 December 1899 = 1.
constexpr double kJan31_2026 = 46053;
constexpr double kMar1_1900 = 61;

const Typed kTable[] = {
    // Numbers as before, and the forms a budget is typed in.
    {u"12.5", N, 12.5, "General"},
    {u" -3 ", N, -3, "General"},
    {u"007", N, 7, "General"},
    {u".5", N, 0.5, "General"},
    {u"1E3", N, 1000, "0.00E+00"},
    {u"1,000", N, 1000, "#,##0"},
    {u"-1,234,567.891", N, -1234567.891, "#,##0.00"},
    {u"(1,000)", N, -1000, "#,##0"},
    {u"12%", N, 0.12, "0%"},
    {u"-12.5%", N, -0.125, "0.00%"},
    {u"$5", N, 5, "\"$\"#,##0_);\\(\"$\"#,##0\\)"},
    {u"-$1,200.50", N, -1200.5, "\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)"},
    {u"($5)", N, -5, "\"$\"#,##0_);\\(\"$\"#,##0\\)"},
    {u"1 1/2", N, 1.5, "# ?/?"},
    {u"0 3/16", N, 0.1875, "# ?\?/?\?"},
    // Dates, month first; ISO dates; with the month's name; times; both.
    {u"1/31/2026", N, kJan31_2026, "mm-dd-yy"},
    {u"01-31-26", N, kJan31_2026, "mm-dd-yy"},
    {u"2026-01-31", N, kJan31_2026, "mm-dd-yy"},
    {u"2026/1/31", N, kJan31_2026, "mm-dd-yy"},
    {u"3/1/1900", N, kMar1_1900, "mm-dd-yy"},
    {u"31-Jan-2026", N, kJan31_2026, "d-mmm-yy"},
    {u"Jan 31, 2026", N, kJan31_2026, "d-mmm-yy"},
    {u"january 31 2026", N, kJan31_2026, "d-mmm-yy"},
    {u"Jan-2026", N, kJan31_2026 - 30, "mmm-yy"},
    {u"10:30", N, 0.4375, "h:mm"},
    {u"10:30:15", N, (10 * 3600 + 30 * 60 + 15) / 86400.0, "h:mm:ss"},
    {u"10:30 PM", N, 22.5 / 24, "h:mm AM/PM"},
    {u"12 am", N, 0, "h:mm AM/PM"},
    {u"25:30", N, 25.5 / 24, "[h]:mm:ss"},
    {u"1/31/2026 18:00", N, kJan31_2026 + 0.75, "m/d/yy h:mm"},
    // Texts: what only looks like a number.
    {u"1,00", T, 0, "General"},
    {u"1,0000", T, 0, "General"},
    {u"2/30/2026", T, 0, "General"},
    {u"13/1/2026", T, 0, "General"},
    {u"10:75", T, 0, "General"},
    {u"$5%", T, 0, "General"},
    {u"1 000", T, 0, "General"},
    {u"Salaries", T, 0, "General"},
    {u"12.5.3", T, 0, "General"},
};

} // namespace

TEST(TypedEntry, NumbersDatesAndTimesAreStoredWithTheFormatTheyWereTypedIn) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    int row = 1;
    for (const Typed& t : kTable)
        sheet.setEntry({row++, 1}, QString::fromUtf16(t.typed));
    row = 1;
    for (const Typed& t : kTable) {
        const CellValue v = sheet.value({row++, 1});
        const std::string what = QString::fromUtf16(t.typed).toStdString();
        ASSERT_EQ(v.type, t.type) << what;
        if (t.type == N)
            EXPECT_NEAR(v.number, t.number, 1e-9 * std::max(1.0, std::fabs(t.number))) << what;
        else
            EXPECT_EQ(v.text, QString::fromUtf16(t.typed)) << what;
    }
    // Another program reads the formats.
    const QString path = testsupport::freshDir() + QStringLiteral("/typed.xlsx");
    wb->saveAs(path);
    const QString formats = sheettest::runPython(QStringLiteral(R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
for row in ws.iter_rows(min_col=1, max_col=1):
    print(row[0].number_format)
)"),
                                                 {path});
    const QStringList lines = formats.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), int(std::size(kTable)));
    for (std::size_t i = 0; i < std::size(kTable); ++i)
        EXPECT_EQ(lines[qsizetype(i)], QString::fromLatin1(kTable[i].format))
            << QString::fromUtf16(kTable[i].typed).toStdString();
}

TEST(TypedEntry, ADateWithoutAYearIsInTheCurrentYearAndACellsOwnFormatIsKept) {
    const int year = QDate::currentDate().year();
    const auto jan31 = TypedNumber::parse(u"1/31");
    ASSERT_TRUE(jan31);
    EXPECT_EQ(jan31->look, TypedNumber::Look::DayMonth);
    EXPECT_EQ(jan31->value, TypedNumber::parse(QStringLiteral("1/31/%1").arg(year))->value);
    EXPECT_EQ(TypedNumber::parse(u"2/29", 2028)->value, TypedNumber::parse(u"2/29/2028")->value);
    // No such day that year: the month of a year, as 2/29 reads in a year without 29 February.
    const auto feb29 = TypedNumber::parse(u"2/29", 2027);
    ASSERT_TRUE(feb29);
    EXPECT_EQ(feb29->look, TypedNumber::Look::MonthYear);
    EXPECT_EQ(feb29->value, TypedNumber::parse(u"2/1/2029")->value);

    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    sheet.setEntry({1, 1}, QStringLiteral("12%"));
    const std::uint32_t percent = sheet.styleIndex({1, 1});
    EXPECT_NE(percent, 0u);
    sheet.setEntry({1, 1}, QStringLiteral("$1,500"));
    EXPECT_EQ(sheet.value({1, 1}), CellValue::fromNumber(1500));
    EXPECT_EQ(sheet.styleIndex({1, 1}), percent); // the cell keeps the format it had
    sheet.setEntry({2, 1}, QStringLiteral("12%"));
    EXPECT_EQ(sheet.styleIndex({2, 1}), percent); // one cell format serves both
}

TEST(TypedEntry, TextsInFormulasAreTakenAsNumbersTheWayTypingIs) {
    const struct {
        const char16_t* formula;
        CellValue expected;
    } cases[] = {
        {u"=\"1,000\"+0", CellValue::fromNumber(1000)},
        {u"=\"$5\"*2", CellValue::fromNumber(10)},
        {u"=\"12%\"*100", CellValue::fromNumber(12)},
        {u"=\"1/31/2026\"+0", CellValue::fromNumber(kJan31_2026)},
        {u"=\"2026-01-31\"-\"1/1/2026\"", CellValue::fromNumber(30)},
        {u"=\"10:30\"*24", CellValue::fromNumber(10.5)},
        {u"=\" (5) \"+0", CellValue::fromNumber(-5)},
        {u"=A1*2", CellValue::fromNumber(2000)}, // A1 holds the text "1,000"
        {u"=\"1 000\"+0", CellValue::fromError(QStringLiteral("#VALUE!"))},
        {u"=\"TRUE\"+0", CellValue::fromError(QStringLiteral("#VALUE!"))},
    };
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    sheet.setEntry({1, 1}, QStringLiteral("'1,000"));
    int row = 2;
    for (const auto& c : cases)
        sheet.setEntry({row++, 2}, QString::fromUtf16(c.formula));
    row = 2;
    for (const auto& c : cases) {
        const CellValue got = sheet.value({row++, 2});
        if (c.expected.type == N && got.type == N)
            EXPECT_NEAR(got.number, c.expected.number, 1e-9) << QString::fromUtf16(c.formula).toStdString();
        else
            EXPECT_EQ(got, c.expected) << QString::fromUtf16(c.formula).toStdString();
    }
}
