// What opening a workbook may cost, whatever its file claims: a package whose parts unpack to
// more than a workbook needs is refused before anything is unpacked, and one that holds more
// cells than a workbook needs is refused as soon as it does. The workbooks are small files that
// make_large_workbook.py writes; each is opened by a helper program of its own, whose peak
// memory is the measure.
#include "SheetTestSupport.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/package/CellBudget.h"
#include "platform/sheet/package/WorksheetPart.h"
#include "platform/sheet/package/ZipReader.h"
#include "platform/sheet/package/ZipWriter.h"
#include "support/ChildProcess.h"
#include "support/LargeWorkbook.h"
#include "support/PeakMemory.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The refusal opening the bytes meets, or nothing when they open.
std::optional<SheetError> refusalOf(const QByteArray& bytes, const OpenOptions& options) {
    try {
        Workbook::openBytes(bytes, QStringLiteral("Budget.xlsx"), options);
    } catch (const SheetError& error) {
        return error;
    }
    return std::nullopt;
}

TEST(WorkbookLimits, TheLayerRefusesWhatNoWorkbookNeedsWithinWhatOneDoes) {
    const struct {
        const char* what;
        QStringList sheets;
        const char* refusal;
        double peakMb; // the most the open may take
    } cases[] = {
        // 300 MB of blanks in three sheets, in a file of 300 KB: refused on the sizes its
        // container claims, before anything is unpacked.
        {"parts unpacking to 300 MB",
         {"A=+100000000", "B=+100000000", "C=+100000000"},
         "unpacks to more than 256 MB",
         64},
        // 26 million cells in 105 MB: refused once 10 million are read, with no more in memory
        // than those and the part.
        {"26 million cells", {"A=1600x16384"}, "holds more than 10,000,000 cells", 512},
    };
    for (const auto& c : cases) {
        const testsupport::PeakRun run =
            testsupport::runPeak(QStringLiteral(SHEET_OPEN_PEAK),
                                 {testsupport::largeWorkbook(QStringLiteral("Large.xlsx"), c.sheets)});
        EXPECT_TRUE(run.said.contains(QLatin1String(c.refusal))) << c.what << ": " << run.said.toStdString();
        EXPECT_GT(run.peakMb, 0) << c.what << ": " << run.said.toStdString();
        EXPECT_LT(run.peakMb, c.peakMb) << c.what;
    }
}

// Each kind of excess a budget bounds is refused by the reader that meets it, naming the part;
// up to the limit the part reads.
TEST(WorkbookLimits, EachKindOfExcessIsRefusedByItsBudget) {
    const std::string followers = [] {
        std::string cells;
        for (int row = 2; row <= 11; ++row)
            cells += "<row r='" + std::to_string(row) + "'><c r='A" + std::to_string(row) +
                     "'><f t='shared' si='0'/></c></row>";
        return cells;
    }();
    const struct {
        const char* what;
        CellBudget::Limits limits;
        std::string inside;  // the worksheet's children
        const char* refusal; // empty: read
    } cases[] = {
        {"cells up to the limit",
         {4, 100, 1000, 10},
         "<sheetData><row><c/><c/><c/><c/></row></sheetData>",
         ""},
        {"cells beyond it",
         {4, 100, 1000, 10},
         "<sheetData><row><c/><c/><c/><c/><c/></row></sheetData>",
         "more than 4 cells (the part xl/worksheets/sheet1.xml"},
        {"rows that carry attributes",
         {4, 100, 1000, 10},
         "<sheetData><row ht='9'/><row ht='9'/><row ht='9'><c/><c/><c/></row></sheetData>",
         "more than 4 cells"},
        {"shared formulas copied into many cells",
         {100, 100, 100, 10},
         "<sheetData><row r='1'><c r='A1'><f t='shared' si='0' ref='A1:A11'>SUM(B1:Z1)*2</f></c></row>" +
             followers + "</sheetData>",
         "more than 0 MB of formulas copied"},
        {"elements around the cells",
         {100, 8, 1000, 10},
         "<sheetPr/><dimension/><sheetViews/><cols/><sheetData/><mergeCells/><a/><b/><c/>",
         "more than 8 elements in the parts read whole"},
    };
    for (const auto& c : cases) {
        CellBudget budget(c.limits);
        try {
            WorksheetPart::parse("<worksheet xmlns='main'>" + c.inside + "</worksheet>",
                                 "xl/worksheets/sheet1.xml", &budget);
            EXPECT_STREQ(c.refusal, "") << c.what;
        } catch (const SheetError& error) {
            EXPECT_EQ(error.code(), SheetError::Code::TooLarge) << c.what;
            EXPECT_TRUE(*c.refusal && error.description().contains(QLatin1String(c.refusal)))
                << c.what << ": " << error.description().toStdString();
        }
    }
}

TEST(WorkbookLimits, AWorkbookOfMoreSheetsThanAnyNeedsIsRefusedBeforeTheyAreMade) {
    QStringList sheets;
    for (int n = 1; n <= int(CellBudget::kMaxSheets) + 1; ++n)
        sheets << QStringLiteral("S%1=1x1").arg(n);
    const std::optional<SheetError> refusal =
        refusalOf(fileBytes(testsupport::largeWorkbook(QStringLiteral("Sheets.xlsx"), sheets)),
                  OpenOptions::readOnlyAccess());
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->code(), SheetError::Code::TooLarge);
    EXPECT_TRUE(refusal->description().contains(QLatin1String("more than 10,000 sheets")))
        << refusal->description().toStdString();
}

// A look at one sheet reads that sheet's cells alone, read-only: the sheet of the name, or the
// only worksheet of a workbook that has no sheet of the name. The other worksheets' parts are
// still checked, so a damaged one refuses the look as it refuses a full reading.
TEST(WorkbookLimits, ALookAtOneSheetReadsThatSheetAloneAndChecksTheOthers) {
    const QByteArray libreOffice = fileBytes(sheettest::fixture(QStringLiteral("libreoffice.xlsx")));
    OpenOptions look;
    look.onlySheet = QStringLiteral("budget");
    const std::unique_ptr<Workbook> book =
        Workbook::openBytes(libreOffice, QStringLiteral("Budget.xlsx"), look);
    EXPECT_TRUE(book->readOnly());
    const std::unique_ptr<Workbook> whole =
        Workbook::openBytes(libreOffice, QStringLiteral("Budget.xlsx"), OpenOptions::readOnlyAccess());
    const Worksheet& looked = book->sheet(QStringLiteral("Budget"));
    const Worksheet& read = whole->sheet(QStringLiteral("Budget"));
    ASSERT_EQ(looked.lastCell(), read.lastCell());
    for (int row = 1; row <= read.lastCell().row; ++row)
        for (int col = 1; col <= read.lastCell().col; ++col)
            EXPECT_EQ(looked.formula({row, col}), read.formula({row, col})) << row << ", " << col;
    for (const QString& other : {QStringLiteral("Rates"), QStringLiteral("Hidden")}) {
        try {
            book->sheet(other).value({1, 1});
            ADD_FAILURE() << other.toStdString() << " was read";
        } catch (const SheetError& error) {
            EXPECT_EQ(error.code(), SheetError::Code::NotAvailable) << other.toStdString();
        }
    }

    // The only worksheet stands for a sheet of another name.
    OpenOptions other;
    other.onlySheet = QStringLiteral("Sales");
    const std::unique_ptr<Workbook> one =
        Workbook::openBytes(sheettest::packageWithSheetData("<row r='1'><c r='A1'><v>7</v></c></row>"),
                            QStringLiteral("Sales.xlsx"), other);
    EXPECT_EQ(one->sheet(QStringLiteral("Data")).value({1, 1}), sheettest::num(7));

    // A formula calculated from a sheet not read (openpyxl stores no results) gives an error.
    const QString path = testsupport::freshDir(QStringLiteral("look")) + QStringLiteral("/Other.xlsx");
    sheettest::runPython(QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
wb.active.title = "Sales"
wb.active["A1"] = "=Other!A1*2"
wb.create_sheet("Other")["A1"] = 5
wb.save(sys.argv[1])
)"),
                         {path});
    OpenOptions sales;
    sales.onlySheet = QStringLiteral("Sales");
    EXPECT_EQ(Workbook::open(path, sales)->sheet(0).value({1, 1}), sheettest::err(u"#REF!"));
    EXPECT_EQ(Workbook::open(path, OpenOptions::readOnlyAccess())->sheet(0).value({1, 1}),
              sheettest::num(10));

    // A damaged part of a sheet not looked at: refused all the same.
    const ZipReader reader(libreOffice);
    ZipWriter writer;
    for (const ZipReader::Entry& entry : reader.entries()) {
        ZipWriter::Stored stored = ZipWriter::compress(ZipReader::unpack(reader.readStored(entry), entry), 6);
        if (entry.name == "xl/worksheets/sheet1.xml")
            stored.crc ^= 1;
        writer.add(entry.name, stored);
    }
    const std::optional<SheetError> damaged = refusalOf(writer.finish(), look);
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->code(), SheetError::Code::DamagedPackage) << damaged->description().toStdString();
}

} // namespace
