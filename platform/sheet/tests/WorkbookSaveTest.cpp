// Saving: outside programs read what was written, untouched parts stay byte for byte, the save
// is atomic, and save-as, save-a-copy and closing without saving do what they say.
#include "SheetTestSupport.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::copyOfFixture;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The parts that differ between two packages, and those missing from either.
QStringList differentParts(const QString& a, const QString& b) {
    const auto before = sheettest::zipParts(a);
    const auto after = sheettest::zipParts(b);
    QStringList changed;
    for (auto it = before.begin(); it != before.end(); ++it)
        if (!after.contains(it.key()) || after.value(it.key()) != it.value())
            changed << it.key();
    for (auto it = after.begin(); it != after.end(); ++it)
        if (!before.contains(it.key()))
            changed << it.key();
    changed.sort();
    return changed;
}

void writeSomeCells(Workbook& wb) {
    Worksheet& rates = wb.sheet(u"Rates"_qs);
    rates.setEntry({3, 2}, QStringLiteral("900"));
    rates.setEntry({4, 1}, QStringLiteral("Taxi"));
    rates.setEntry({6, 3}, QStringLiteral("=B3*2"));
    rates.setEntry({5, 4}, QStringLiteral("TRUE"));
    wb.sheet(u"Budget"_qs).setEntry({4, 2}, QStringLiteral("7")); // unlocked cell of the protected sheet
}

} // namespace

TEST(WorkbookSave, ChangedCellsReachOpenpyxlAndLibreOfficeAndUntouchedPartsStayByteForByte) {
    const QString original = sheettest::fixture(QStringLiteral("libreoffice.xlsx"));
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    {
        auto wb = Workbook::open(path);
        writeSomeCells(*wb);
        EXPECT_FALSE(wb->saved());
        wb->save();
        EXPECT_TRUE(wb->saved());
    }
    // Only the two changed sheets, the shared strings (a new text) and the workbook part (the
    // recalculation flag) differ; styles, drawings, charts, comments and the rest do not.
    EXPECT_EQ(differentParts(original, path),
              (QStringList{"xl/sharedStrings.xml", "xl/workbook.xml", "xl/worksheets/sheet1.xml",
                           "xl/worksheets/sheet2.xml"}));
    EXPECT_TRUE(sheettest::zipParts(path).value(u"xl/workbook.xml"_qs).contains("fullCalcOnLoad=\"1\""));

    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Rates!B3"_qs), u"900");
    EXPECT_EQ(cells.value(u"Rates!A4"_qs), u"'Taxi'");
    EXPECT_EQ(cells.value(u"Rates!C6"_qs), u"'=B3*2'");
    EXPECT_EQ(cells.value(u"Rates!D5"_qs), u"True");
    EXPECT_EQ(cells.value(u"Rates!E3"_qs), u"'line one\\nline two'");
    EXPECT_EQ(cells.value(u"Budget!B4"_qs), u"7");
    EXPECT_EQ(cells.value(u"Hidden!@state"_qs), u"hidden");

    // LibreOffice recalculates: the formulas that depend on B3 follow the new value.
    const QStringList rows = sheettest::convertWithLibreOffice(path, 1);
    ASSERT_GE(rows.size(), 8);
    // Row 3 holds a text of two lines: it takes two lines of the CSV.
    EXPECT_EQ(rows[2], u"Rent,900,10800,FALSE,\"line one");
    EXPECT_EQ(rows[4], u"Taxi,150.25,1803,,");
    EXPECT_EQ(rows[5], u"Salaries,99,1188,TRUE,");
    EXPECT_EQ(rows[6], u",,1800,,");
    EXPECT_EQ(rows[7], u"Sum,2349.75,,,");
}

TEST(WorkbookSave, InlineStringsOfOpenpyxlAndItsChartSheetSurviveASave) {
    const QString path = copyOfFixture(QStringLiteral("basic.xlsx"));
    {
        auto wb = Workbook::open(path);
        wb->sheet(0).setEntry({2, 1}, QStringLiteral("Wages"));
        wb->sheet(0).setEntry({10, 1}, QStringLiteral("_x0041_ stays literal, \x01 is escaped"));
        wb->save();
    }
    const QStringList changed = differentParts(sheettest::fixture(QStringLiteral("basic.xlsx")), path);
    EXPECT_FALSE(changed.contains(u"xl/chartsheets/sheet1.xml"_qs)) << changed.join(u' ').toStdString();
    EXPECT_FALSE(changed.contains(u"xl/styles.xml"_qs));
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Rates!A2"_qs), u"'Wages'");
    EXPECT_EQ(cells.value(u"Rates!A3"_qs), u"'Rent'");
    auto again = Workbook::open(path, OpenOptions::readOnlyAccess());
    EXPECT_EQ(again->sheet(0).value({10, 1}).text, u"_x0041_ stays literal, \x01 is escaped");
    EXPECT_EQ(again->sheet(3).kind(), Worksheet::Kind::Chart);
}

TEST(WorkbookSave, MacroProjectIsKeptAndNeedsAMacroWorkbookName) {
    const QString path = copyOfFixture(QStringLiteral("macros.xlsm"));
    auto wb = Workbook::open(path);
    wb->sheet(0).setEntry({1, 1}, QStringLiteral("Changed"));
    wb->save();
    EXPECT_EQ(sheettest::zipParts(path).value(u"xl/vbaProject.bin"_qs),
              sheettest::zipParts(sheettest::fixture(QStringLiteral("macros.xlsm")))
                  .value(u"xl/vbaProject.bin"_qs));
    try {
        wb->saveAs(QFileInfo(path).absolutePath() + QStringLiteral("/plain.xlsx"));
        FAIL();
    } catch (const SheetError& e) {
        EXPECT_EQ(e.code(), SheetError::Code::MacroProjectNeedsXlsm);
    }
    EXPECT_THROW(wb->saveAs(QFileInfo(path).absolutePath() + QStringLiteral("/old.xls")), SheetError);
}

TEST(WorkbookSave, SaveAsMovesTheWorkbookSaveCopyAsDoesNot) {
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    const QString folder = QFileInfo(path).absolutePath();
    const QByteArray before = fileBytes(path);
    auto wb = Workbook::open(path);
    wb->sheet(0).setEntry({2, 2}, QStringLiteral("1"));

    wb->saveCopyAs(folder + QStringLiteral("/copy.xlsx"));
    EXPECT_EQ(wb->name(), u"libreoffice.xlsx");
    EXPECT_FALSE(wb->saved());
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(sheettest::readWithOpenpyxl(folder + QStringLiteral("/copy.xlsx")).value(u"Rates!B2"_qs), u"1");

    wb->saveAs(folder + QStringLiteral("/renamed.xlsx"));
    EXPECT_EQ(wb->name(), u"renamed.xlsx");
    EXPECT_EQ(wb->fullName(), folder + QStringLiteral("/renamed.xlsx"));
    EXPECT_TRUE(wb->saved());
    EXPECT_EQ(fileBytes(path), before);
    wb->sheet(0).setEntry({2, 2}, QStringLiteral("2"));
    wb->save();
    EXPECT_EQ(sheettest::readWithOpenpyxl(folder + QStringLiteral("/renamed.xlsx")).value(u"Rates!B2"_qs),
              u"2");
}

TEST(WorkbookSave, CloseWithoutSavingLeavesTheFileAsItWas) {
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    const QByteArray before = fileBytes(path);
    auto wb = Workbook::open(path);
    wb->sheet(0).setEntry({2, 2}, QStringLiteral("5"));
    wb->close();
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_THROW(wb->save(), SheetError);
}

TEST(WorkbookSave, AFailedSaveLeavesTheOldFileAndNoLeftovers) {
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    const QString folder = QFileInfo(path).absolutePath();
    const QByteArray before = fileBytes(path);
    auto wb = Workbook::open(path);
    wb->sheet(0).setEntry({2, 2}, QStringLiteral("5"));
    // A folder in the way of the file: the rename cannot happen.
    QDir().mkpath(folder + QStringLiteral("/blocked.xlsx"));
    EXPECT_THROW(wb->saveAs(folder + QStringLiteral("/blocked.xlsx")), SheetError);
    EXPECT_THROW(wb->saveAs(folder + QStringLiteral("/no/such/folder/x.xlsx")), SheetError);
    EXPECT_EQ(fileBytes(path), before);
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : left)
        EXPECT_TRUE(name == u"libreoffice.xlsx" || name.startsWith(u".~lock.")) << name.toStdString();
}

TEST(WorkbookSave, ReadOnlyAndNeverSavedWorkbooksRefuseAPlainSave) {
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    auto readOnly = Workbook::open(path, OpenOptions::readOnlyAccess());
    EXPECT_TRUE(readOnly->readOnly());
    try {
        readOnly->save();
        FAIL();
    } catch (const SheetError& e) {
        EXPECT_EQ(e.code(), SheetError::Code::ReadOnly);
    }
    auto fresh = Workbook::create(QStringLiteral("Book1"));
    EXPECT_THROW(fresh->save(), SheetError);
}

TEST(WorkbookSave, NewWorkbookWithEveryKindOfEntry) {
    const QString path = testsupport::freshDir() + QStringLiteral("/new.xlsx");
    {
        auto wb = Workbook::create(QStringLiteral("Book1"));
        EXPECT_EQ(wb->name(), u"Book1");
        Worksheet& sheet = wb->sheet(0);
        sheet.setEntry({1, 1}, QStringLiteral("Label"));
        sheet.setEntry({1, 2}, QStringLiteral("2.5"));
        sheet.setEntry({2, 2}, QStringLiteral("4"));
        sheet.setEntry({3, 2}, QStringLiteral("=B1*B2"));
        sheet.setEntry({4, 2}, QStringLiteral("false"));
        sheet.setEntry({5, 2}, QStringLiteral("#DIV/0!"));
        wb->saveAs(path);
        EXPECT_EQ(wb->name(), u"new.xlsx");
    }
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Sheet1!A1"_qs), u"'Label'");
    EXPECT_EQ(cells.value(u"Sheet1!B1"_qs), u"2.5");
    EXPECT_EQ(cells.value(u"Sheet1!B3"_qs), u"'=B1*B2'");
    EXPECT_EQ(cells.value(u"Sheet1!B4"_qs), u"False");
    EXPECT_EQ(cells.value(u"Sheet1!B5"_qs), u"'#DIV/0!'");
    const QStringList rows = sheettest::convertWithLibreOffice(path, 1);
    ASSERT_GE(rows.size(), 3);
    EXPECT_EQ(rows[2], u",10");
}

TEST(WorkbookSave, BytesRoundTripInMemory) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    wb->sheet(0).setEntry({2, 3}, QStringLiteral("=1+1"));
    wb->sheet(0).setEntry({2, 2}, QStringLiteral("x"));
    auto again = Workbook::openBytes(wb->toBytes(), QStringLiteral("Book1.xlsx"));
    EXPECT_EQ(again->sheet(0).formula({2, 3}), u"=1+1");
    EXPECT_EQ(again->sheet(0).value({2, 2}).text, u"x");
}

TEST(WorkbookSave, SharedFormulaBlocksAndCellFormatsSurviveARewrite) {
    const QString path = copyOfFixture(QStringLiteral("shared-formulas.xlsx"));
    {
        auto wb = Workbook::open(path);
        Worksheet& rates = wb->sheet(0);
        const std::uint32_t wrapped = rates.styleIndex({3, 5});
        EXPECT_NE(wrapped, 0u);
        rates.setEntry({3, 5}, QStringLiteral("one\ntwo\nthree"));
        rates.setEntry({4, 2}, QStringLiteral("10"));
        EXPECT_EQ(rates.styleIndex({3, 5}), wrapped); // the cell keeps its format
        wb->save();
    }
    const auto cells = sheettest::readWithOpenpyxl(path);
    for (int row = 2; row <= 5; ++row)
        EXPECT_EQ(cells.value(QStringLiteral("Rates!C%1").arg(row)), QStringLiteral("'=B%1*12'").arg(row));
    const QString script =
        QStringLiteral("import sys, openpyxl\n"
                       "print(openpyxl.load_workbook(sys.argv[1])['Rates']['E3'].alignment.wrap_text)");
    EXPECT_EQ(sheettest::runPython(script, {path}).trimmed(), u"True");
    const QStringList rows = sheettest::convertWithLibreOffice(path, 1);
    ASSERT_GE(rows.size(), 7);
    EXPECT_EQ(rows[5], u"Travel,10,120,,"); // row 4, after the three lines of E3
}

TEST(WorkbookSave, OnlyTheChangedSheetOfAnOpenpyxlWorkbookIsWritten) {
    const QString path = copyOfFixture(QStringLiteral("basic.xlsx"));
    {
        auto wb = Workbook::open(path);
        wb->sheet(u"Budget"_qs).setEntry({4, 2}, QStringLiteral("8"));
        wb->save();
    }
    EXPECT_EQ(differentParts(sheettest::fixture(QStringLiteral("basic.xlsx")), path),
              (QStringList{"xl/workbook.xml", "xl/worksheets/sheet2.xml"}));
}
