// Adding, renaming, moving, copying and deleting sheets under the naming rules, copies into a
// new workbook that point back at their source, and the values-only copy.
#include "SheetTestSupport.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::copyOfFixture;

namespace {

SheetError::Code codeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const SheetError& e) {
        return e.code();
    }
    ADD_FAILURE() << "no error";
    return SheetError::Code::Closed;
}

} // namespace

TEST(SheetOperations, AddedSheetsTakeTheNextNameAndStandBeforeTheActiveSheet) {
    auto wb = Workbook::open(copyOfFixture(QStringLiteral("libreoffice.xlsx")));
    wb->sheet(1).activate();
    Worksheet& added = wb->addSheet();
    EXPECT_EQ(added.name(), u"Sheet5");
    EXPECT_EQ(added.index(), 1);
    EXPECT_EQ(&wb->activeSheet(), &added);
    Worksheet& last = wb->addSheet(nullptr, &wb->sheet(wb->sheetCount() - 1), QStringLiteral("Summary"));
    EXPECT_EQ(last.index(), wb->sheetCount() - 1);
    last.setEntry({1, 1}, QStringLiteral("=SUM(Rates!B2:B5)"));
    const QString path = wb->fullName();
    wb->save();
    wb.reset();
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Summary!A1"_qs), u"'=SUM(Rates!B2:B5)'");
    EXPECT_TRUE(cells.contains(u"Sheet5!@state"_qs));
}

TEST(SheetOperations, NamesFollowTheRules) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    wb->addSheet(nullptr, nullptr, QStringLiteral("Rates"));
    const struct {
        const char16_t* name;
        SheetError::Code code;
    } refused[] = {
        {u"", SheetError::Code::BadSheetName},
        {u"A name that is far too long for a sheet", SheetError::Code::BadSheetName},
        {u"Q1/Q2", SheetError::Code::BadSheetName},
        {u"[draft]", SheetError::Code::BadSheetName},
        {u"What?", SheetError::Code::BadSheetName},
        {u"'quoted'", SheetError::Code::BadSheetName},
        {u"history", SheetError::Code::BadSheetName},
        {u"RATES", SheetError::Code::DuplicateSheetName},
    };
    for (const auto& r : refused)
        EXPECT_EQ(codeOf([&] { wb->renameSheet(sheet, QString::fromUtf16(r.name)); }), r.code)
            << QString::fromUtf16(r.name).toStdString();
    wb->renameSheet(sheet, QStringLiteral("Thirty-one characters exactly!!"));
    EXPECT_EQ(sheet.name().size(), 31);
    wb->renameSheet(sheet, QStringLiteral("sheet1"));
    EXPECT_EQ(sheet.name(), u"sheet1");
}

TEST(SheetOperations, RenamedSheetIsFollowedByTheFormulasThatNameIt) {
    auto wb = Workbook::open(copyOfFixture(QStringLiteral("libreoffice.xlsx")));
    wb->renameSheet(wb->sheet(u"Rates"_qs), QStringLiteral("Rates 2024"));
    EXPECT_EQ(wb->sheet(u"Budget"_qs).formula({2, 2}), u"='Rates 2024'!B2*2");
    EXPECT_EQ(wb->sheet(u"Budget"_qs).formula({3, 2}), u"='Rates 2024'!C3+1");
    const QString path = wb->fullName();
    wb->save();
    wb.reset();
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Budget!B2"_qs), u"\"='Rates 2024'!B2*2\"");
    EXPECT_EQ(cells.value(u"Rates 2024!A1"_qs), u"'Item'");
}

TEST(SheetOperations, MovedSheetsKeepTheirCells) {
    auto wb = Workbook::open(copyOfFixture(QStringLiteral("libreoffice.xlsx")));
    wb->moveSheet(wb->sheet(u"Budget"_qs), &wb->sheet(u"Rates"_qs));
    EXPECT_EQ(wb->sheetNames(), (QStringList{"Budget", "Rates", "Hidden", "Chart1"}));
    wb->moveSheet(wb->sheet(u"Budget"_qs), nullptr, &wb->sheet(3));
    EXPECT_EQ(wb->sheetNames(), (QStringList{"Rates", "Hidden", "Chart1", "Budget"}));
    const QString path = wb->fullName();
    wb->save();
    wb.reset();
    auto again = Workbook::open(path);
    EXPECT_EQ(again->sheetNames(), (QStringList{"Rates", "Hidden", "Chart1", "Budget"}));
    EXPECT_EQ(again->sheet(3).formula({2, 2}), u"=Rates!B2*2");
}

TEST(SheetOperations, CopiesWithinTheWorkbookAreNumberedAndCarryDrawings) {
    auto wb = Workbook::open(copyOfFixture(QStringLiteral("libreoffice.xlsx")));
    Worksheet& rates = wb->sheet(u"Rates"_qs);
    Worksheet& copy = wb->copySheet(rates, nullptr, &rates);
    EXPECT_EQ(copy.name(), u"Rates (2)");
    EXPECT_EQ(copy.index(), 1);
    EXPECT_EQ(&wb->activeSheet(), &copy);
    EXPECT_EQ(copy.formula({2, 3}), u"=B2*12");
    EXPECT_EQ(copy.mergedCells(), rates.mergedCells());
    EXPECT_EQ(wb->copySheet(copy, nullptr, &copy).name(), u"Rates (3)");
    copy.activate();
    copy.setEntry({2, 2}, QStringLiteral("1"));
    EXPECT_EQ(rates.value({2, 2}), CellValue::fromNumber(1200.5));
    const QString path = wb->fullName();
    wb->save();
    wb.reset();
    const auto parts = sheettest::zipParts(path);
    // The copy has its own drawing (with the chart) and comments.
    EXPECT_TRUE(parts.contains(u"xl/drawings/drawing3.xml"_qs));
    EXPECT_TRUE(parts.contains(u"xl/comments2.xml"_qs));
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Rates (2)!B2"_qs), u"1");
    EXPECT_EQ(cells.value(u"Rates!B2"_qs), u"1200.5");
    const QStringList rows = sheettest::convertWithLibreOffice(path, 2);
    ASSERT_GE(rows.size(), 2);
    EXPECT_EQ(rows[1], u"Salaries,1,12,TRUE,  padded text  ");
}

TEST(SheetOperations, DeletingASheetTurnsItsReferencesIntoRefAndKeepsOneVisibleSheet) {
    auto wb = Workbook::open(copyOfFixture(QStringLiteral("libreoffice.xlsx")));
    wb->deleteSheet(wb->sheet(u"Rates"_qs));
    EXPECT_EQ(wb->sheetNames(), (QStringList{"Budget", "Hidden", "Chart1"}));
    EXPECT_EQ(wb->sheet(u"Budget"_qs).formula({2, 2}), u"=#REF!B2*2");
    EXPECT_EQ(wb->activeSheet().name(), u"Budget");
    wb->deleteSheet(wb->sheet(u"Chart1"_qs));
    EXPECT_EQ(codeOf([&] { wb->deleteSheet(wb->sheet(u"Budget"_qs)); }), SheetError::Code::LastSheet);
    EXPECT_EQ(codeOf([&] { wb->sheet(u"Budget"_qs).setVisibility(Worksheet::Visibility::Hidden); }),
              SheetError::Code::LastSheet);
    wb->deleteSheet(wb->sheet(u"Hidden"_qs));
    const QString path = wb->fullName();
    wb->save();
    wb.reset();
    const auto parts = sheettest::zipParts(path);
    EXPECT_FALSE(parts.contains(u"xl/worksheets/sheet1.xml"_qs));
    // The deleted sheet's drawing and chart went with it.
    EXPECT_FALSE(parts.contains(u"xl/drawings/drawing1.xml"_qs));
    EXPECT_FALSE(parts.contains(u"xl/comments1.xml"_qs));
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Budget!A2"_qs), u"'Salaries'");
    EXPECT_FALSE(cells.contains(u"Rates!@state"_qs));
}

TEST(SheetOperations, ACopyIntoANewWorkbookPointsBackAtItsSource) {
    Application app;
    const QString source = copyOfFixture(QStringLiteral("libreoffice.xlsx"), QStringLiteral("Budget.xlsx"));
    const QString folder = QFileInfo(source).absolutePath();
    Workbook& master = app.open(source);
    // A text with outer spaces reaches the link's cache (B4 is an unlocked cell).
    master.sheet(u"Budget"_qs).setEntry({4, 2}, QStringLiteral("=Rates!E2"));
    Workbook& copy = app.copySheetToNewWorkbook(master.sheet(u"Budget"_qs));
    EXPECT_EQ(copy.name(), u"Book1");
    EXPECT_EQ(app.activeWorkbook(), &copy);
    Worksheet& sheet = copy.sheet(0);
    EXPECT_EQ(sheet.name(), u"Budget");
    EXPECT_EQ(sheet.formula({2, 2}), QStringLiteral("='%1/[Budget.xlsx]Rates'!B2*2").arg(folder));
    EXPECT_EQ(sheet.value({2, 2}), CellValue::fromNumber(2401));
    EXPECT_TRUE(sheet.isProtected());
    EXPECT_TRUE(sheet.verifyPassword(QStringLiteral("secret")));

    const QString rates = folder + QStringLiteral("/Rates.xlsx");
    Workbook& ratesCopy = app.copySheetToNewWorkbook(master.sheet(u"Rates"_qs));
    EXPECT_EQ(ratesCopy.name(), u"Book2");
    EXPECT_EQ(ratesCopy.sheet(0).mergedCells(), master.sheet(u"Rates"_qs).mergedCells());
    ratesCopy.saveAs(rates);
    const QString user = folder + QStringLiteral("/User.xlsx");
    copy.saveAs(user);
    app.closeAll();

    // The link is an external reference to the source file, with the referenced value cached.
    const auto parts = sheettest::zipParts(user);
    EXPECT_TRUE(parts.value(u"xl/externalLinks/_rels/externalLink1.xml.rels"_qs).contains("Budget.xlsx"));
    EXPECT_EQ(sheettest::readWithOpenpyxl(user).value(u"Budget!B2"_qs), u"'=[1]Rates!B2*2'");
    auto reopened = Workbook::open(user, OpenOptions::readOnlyAccess());
    EXPECT_EQ(reopened->sheet(0).formula({2, 2}),
              QStringLiteral("='%1/[Budget.xlsx]Rates'!B2*2").arg(folder));
    const QStringList rows = sheettest::convertWithLibreOffice(user, 1);
    ASSERT_GE(rows.size(), 4);
    EXPECT_EQ(rows[1], u"Salaries,2401");
    EXPECT_EQ(rows[3], u",  padded text  ");

    // Column widths, row heights and validation went along with the Rates copy.
    const QByteArray ratesSheet = sheettest::zipParts(rates).value(u"xl/worksheets/sheet1.xml"_qs);
    EXPECT_TRUE(ratesSheet.contains("width=\"24\""));
    EXPECT_TRUE(ratesSheet.contains("ht=\"30\""));
    EXPECT_TRUE(ratesSheet.contains("<dataValidations"));
}

TEST(SheetOperations, ValuesOnlyCopyCarriesValuesAndFormatsWithoutFormulas) {
    Application app;
    Workbook& master = app.open(copyOfFixture(QStringLiteral("libreoffice.xlsx")));
    Worksheet& rates = master.sheet(u"Rates"_qs);
    const CellRange block = rates.usedBlock();
    rates.range(block.address(false, false)).copy();
    Workbook& user = app.add();
    Worksheet& target = user.activeSheet();
    target.range(block.address(false, false)).pasteSpecial(PasteType::Formats);
    target.range(block.address(false, false)).pasteSpecial(PasteType::Values);
    EXPECT_FALSE(target.hasFormula({2, 3}));
    EXPECT_EQ(target.value({2, 3}), CellValue::fromNumber(14406));
    EXPECT_EQ(target.value({3, 5}), rates.value({3, 5}));
    EXPECT_EQ(target.mergedCells(), rates.mergedCells());
    const QString path = testsupport::freshDir() + QStringLiteral("/values.xlsx");
    user.saveAs(path);
    app.closeAll();
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Sheet1!C2"_qs), u"14406");
    EXPECT_EQ(cells.value(u"Sheet1!B7"_qs), u"2249.75");
    // The two-line text keeps its wrapping format.
    const QString script =
        QStringLiteral("import sys, openpyxl\n"
                       "print(openpyxl.load_workbook(sys.argv[1]).active['E3'].alignment.wrap_text)");
    EXPECT_EQ(sheettest::runPython(script, {path}).trimmed(), u"True");
}
