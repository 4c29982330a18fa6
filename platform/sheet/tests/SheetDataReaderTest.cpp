// The worksheet part's cells read from the XML text as written by any writer: prefixes, either
// quote, references, CDATA sections, comments, line ends; and the malformed sheet data that is
// refused as damaged rather than read in part.
#include "SheetTestSupport.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/WorksheetPart.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {

WorksheetPart sheetWith(const std::string& sheetData, const std::string& prefix = {}) {
    const std::string ns = prefix.empty() ? "xmlns" : "xmlns:" + prefix.substr(0, prefix.size() - 1);
    return WorksheetPart::parse("<?xml version=\"1.0\"?>\n<" + prefix + "worksheet " + ns + "=\"main\">" +
                                    sheetData + "</" + prefix + "worksheet>",
                                "xl/worksheets/sheet1.xml");
}

std::string textOf(const CellStore& store, CellRef at) {
    const CellStore::Cell* cell = store.find(at);
    return cell ? std::string(store.text(cell->text)) : std::string("<none>");
}

} // namespace

TEST(SheetDataReader, CellsAreReadAsAnyWriterSpellsThem) {
    const WorksheetPart part = sheetWith(
        "<x:sheetData><!-- rows follow --><x:row r='2' ht=\"20\" spans=\"1:3\">\r\n"
        "<x:c r='A2' t='inlineStr'><x:is><x:t xml:space='preserve'> a &amp; b\r\nc </x:t></x:is></x:c>"
        "<x:c r=\"B2\" "
        "t=\"str\"><x:f>\"&lt;\"&amp;\"&#62;\"&amp;CHAR(&#x31;0)</x:f><x:v><![CDATA[<&>]]></x:v></x:c>"
        "<x:c r=\"C2\" s=\"3\"><x:v> 12.5</x:v></x:c>"
        "<x:c r=\"D2\" t=\"b\"><x:v>1</x:v></x:c>"
        "<x:c r=\"E2\" t=\"e\"><x:v>#N/A</x:v></x:c>"
        "<x:c r=\"F2\" t=\"inlineStr\"><x:is><x:r><x:t>run </x:t></x:r><x:r><x:rPr/><x:t>two</x:t></x:r>"
        "<x:rPh><x:t>ignored</x:t></x:rPh></x:is></x:c>"
        "<?pi inside?><x:c r=\"G2\" cm=\"1\"><x:f t=\"array\" ref=\"G2:G3\">A2:A3</x:f><x:v>0</x:v></x:c>"
        "<x:c r=\"H2\"><x:extLst><x:ext><x:v>9</x:v></x:ext></x:extLst></x:c>"
        "</x:row><x:row><x:c><x:v>7</x:v></x:c><x:c r=\"C3\" t=\"str\"><x:f>A1</x:f><x:v/></x:c></x:row>"
        "</x:sheetData>",
        "x:");
    const CellStore& cells = part.cells();
    EXPECT_EQ(textOf(cells, {2, 1}), " a & b\nc ");
    EXPECT_EQ(cells.formulaText(cells.find({2, 2})->formula), "\"<\"&\">\"&CHAR(10)");
    EXPECT_EQ(textOf(cells, {2, 2}), "<&>");
    EXPECT_EQ(cells.find({2, 3})->number, 12.5);
    EXPECT_EQ(cells.find({2, 3})->style, 3u);
    EXPECT_EQ(cells.find({2, 4})->type, CellStore::Type::Boolean);
    EXPECT_EQ(textOf(cells, {2, 5}), "#N/A");
    EXPECT_EQ(textOf(cells, {2, 6}), "run two");
    const CellStore::Cell* array = cells.find({2, 7});
    EXPECT_EQ(cells.attrs(cells.formulaAttrs(array->formula)), " t=\"array\" ref=\"G2:G3\"");
    EXPECT_EQ(cells.attrs(cells.cellAttrs({2, 7})), " cm=\"1\"");
    EXPECT_EQ(cells.find({2, 8})->type, CellStore::Type::Empty); // a value inside extLst is none
    EXPECT_EQ(cells.attrs(cells.rows()[0].attrs), " ht=\"20\"");
    // A row and a cell without a position follow the ones before them.
    EXPECT_EQ(cells.find({3, 1})->number, 7);
    // A formula whose stored result is the empty text.
    EXPECT_EQ(cells.find({3, 3})->type, CellStore::Type::Inline);
    EXPECT_EQ(textOf(cells, {3, 3}), "");
    // The cells are written back as they were read.
    const WorksheetPart again = WorksheetPart::parse(part.serialize(), "again");
    EXPECT_EQ(textOf(again.cells(), {2, 1}), " a & b\nc ");
    EXPECT_EQ(again.cells().formulaText(again.cells().find({2, 2})->formula), "\"<\"&\">\"&CHAR(10)");
}

TEST(SheetDataReader, MalformedSheetDataIsRefusedAsDamaged) {
    const char* damaged[] = {
        "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></row></c></sheetData>",
        "<sheetData><row r=1><c r=\"A1\"><v>1</v></c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A1\" s=\"1><v>1</v></c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A<1\"><v>1</v></c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A1\"t=\"n\"><v>1</v></c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v><!-- open </c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A1\"><v><![CDATA[1</v></c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A1\"><1v>1</1v></c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"B2\"><v>1</v></c></row></sheetData>",
        "<sheetData><row r=\"0\"/></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A1\"><v>x1</v></c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>-1</v></c></row></sheetData>",
        "<sheetData><row r=\"1\"><c r=\"A2\"><f t=\"shared\" si=\"4\"/></c></row></sheetData>",
    };
    for (const char* sheetData : damaged) {
        SCOPED_TRACE(sheetData);
        try {
            sheetWith(sheetData);
            ADD_FAILURE() << "read";
        } catch (const SheetError& e) {
            EXPECT_EQ(e.code(), SheetError::Code::DamagedXml);
            EXPECT_TRUE(e.description().contains(u"xl/worksheets/sheet1.xml")) << e.what();
        }
    }
}
