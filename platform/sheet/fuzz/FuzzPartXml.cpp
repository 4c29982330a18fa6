// Fuzz target of the workbook layer's part readers: the input's first byte picks a part of a
// small, otherwise sound workbook -- the worksheet, the shared strings, the workbook part or the
// styles -- and the rest of the input becomes that part's XML. The workbook is then opened,
// read, written to and saved like any other, and the input is also run through the formula
// rewrites as a formula text, and evaluated as the formula of a cell that reads written cells. Zip damage is
// the other fuzz target's business: here every input reaches the XML and formula code.
#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/fuzz/FuzzTargets.h"
#include "platform/sheet/package/ZipWriter.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace platform::sheet;

namespace {

const char* kTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></Types>";
const char* kRootRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/></Relationships>";
const char* kWorkbookRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "sharedStrings\" Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/></Relationships>";
const char* kWorkbook =
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
    "<sheet name=\"Rates\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
const char* kSheet =
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
    "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><f>A1*2</f><v>2</v></c></row>"
    "</sheetData></worksheet>";
const char* kStrings =
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>Item</t></si></sst>";
const char* kStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><fonts "
    "count=\"1\"><font/>"
    "</fonts><cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\"/></cellXfs></styleSheet>";

void exercise(Workbook& wb) {
    for (Worksheet* sheet : wb.worksheets()) {
        const CellRef last = sheet->lastCell();
        const CellRange block({1, 1}, {std::min(last.row, 200), std::min(last.col, 60)});
        (void)sheet->values(block);
        (void)sheet->formulas(block);
        (void)sheet->mergedCells();
        if (sheet->canWrite({1, 3}))
            sheet->setEntry({1, 3}, QStringLiteral("=Rates!A1&\"x\""));
        sheet->setBold(CellRange({1, 1}), true);
    }
    Worksheet& first = wb.sheet(0);
    if (first.kind() == Worksheet::Kind::Worksheet)
        wb.renameSheet(first, QStringLiteral("Renamed"));
    Workbook::openBytes(wb.toBytes(), QStringLiteral("again.xlsx"));
}

void formulaRewrites(const std::string& text) {
    const auto tokens = FormulaText::tokenize(text);
    (void)FormulaText::shifted(tokens, 3, -1);
    (void)FormulaText::renameSheet(text, "Rates", "New Rates");
    (void)FormulaText::dropSheet(text, "Rates");
    try {
        (void)FormulaText::convertStyle(text, ReferenceStyle::R1C1, ReferenceStyle::A1, {5, 5});
        (void)FormulaText::convertStyle(text, ReferenceStyle::A1, ReferenceStyle::R1C1, {5, 5});
    } catch (const SheetError&) {
    }
}

// The input as a formula: compiled, evaluated, recalculated after a write to a cell it may read.
void formulaEvaluation(const std::string& text) {
    try {
        auto wb = Workbook::create(QStringLiteral("Fuzz"));
        Worksheet& sheet = wb->sheet(0);
        sheet.setEntry({1, 1}, QStringLiteral("12.5"));
        sheet.setEntry({2, 1}, QStringLiteral("=A1*2"));
        sheet.setEntry({3, 2}, QStringLiteral("=") + QString::fromUtf8(text.data(), qsizetype(text.size())));
        (void)sheet.value({3, 2});
        sheet.setEntry({1, 1}, QStringLiteral("text"));
        (void)sheet.value({3, 2});
        (void)wb->staleCells();
    } catch (const SheetError&) {
    }
}

} // namespace

namespace platform::sheet::fuzz {

void partXml(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return;
    const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::pair<const char*, std::string>> parts = {{"[Content_Types].xml", kTypes},
                                                              {"_rels/.rels", kRootRels},
                                                              {"xl/_rels/workbook.xml.rels", kWorkbookRels},
                                                              {"xl/workbook.xml", kWorkbook},
                                                              {"xl/worksheets/sheet1.xml", kSheet},
                                                              {"xl/sharedStrings.xml", kStrings},
                                                              {"xl/styles.xml", kStyles}};
    static const int targets[] = {4, 5, 3, 6};
    parts[std::size_t(targets[data[0] % 4])].second = content;
    ZipWriter writer;
    for (const auto& [name, text] : parts)
        writer.add(name, ZipWriter::compress(text, 1));
    try {
        auto wb = Workbook::openBytes(writer.finish(), QStringLiteral("fuzz.xlsx"));
        exercise(*wb);
    } catch (const SheetError&) {
    }
    formulaRewrites(content);
    formulaEvaluation(content);
}

} // namespace platform::sheet::fuzz

#ifdef LUMIVANE_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::sheet::fuzz::partXml(data, size);
    return 0;
}
#endif
