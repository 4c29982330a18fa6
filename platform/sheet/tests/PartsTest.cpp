// The part readers and writers on their own: shared strings, relationships, the cutting of a
// part into children, styles.
#include "SheetTestSupport.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/Relationships.h"
#include "platform/sheet/package/SharedStrings.h"
#include "platform/sheet/package/Styles.h"
#include "platform/sheet/package/XmlChunks.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

TEST(SharedStringsPart, EntriesStayAsWrittenAndNewTextsAreAppended) {
    SharedStrings strings;
    strings.parse("<?xml version=\"1.0\"?>\n<sst xmlns=\"main\" count=\"3\" uniqueCount=\"2\">"
                  "<si><t>Plain</t></si><si><r><rPr><b/></rPr><t>Bold</t></r><r><t> part</t></r>"
                  "<rPh><t>ignored</t></rPh></si></sst>");
    EXPECT_EQ(strings.text(1), "Bold part");
    EXPECT_EQ(strings.add("Plain"), 0u);
    EXPECT_EQ(strings.add("Bold part"), 2u); // a formatted entry is not reused for plain text
    EXPECT_EQ(strings.add(" spaced "), 3u);
    const std::string xml = strings.serialize();
    EXPECT_NE(
        xml.find("<si><r><rPr><b/></rPr><t>Bold</t></r><r><t> part</t></r><rPh><t>ignored</t></rPh></si>"),
        std::string::npos);
    EXPECT_NE(xml.find("<t xml:space=\"preserve\"> spaced </t>"), std::string::npos);
    SharedStrings again;
    again.parse(xml);
    EXPECT_EQ(again.count(), 4u);
    EXPECT_EQ(again.text(3), " spaced ");
}

TEST(SharedStringsPart, AnEmptyPartTakesNewTexts) {
    for (const char* xml : {"<sst xmlns=\"main\"/>", "<x:sst xmlns:x=\"main\" count=\"0\"></x:sst>"}) {
        SharedStrings strings;
        strings.parse(xml);
        strings.add("first");
        SharedStrings again;
        again.parse(strings.serialize());
        ASSERT_EQ(again.count(), 1u) << xml;
        EXPECT_EQ(again.text(0), "first");
    }
}

TEST(RelationshipsPart, TargetsResolveAgainstTheSourceFolder) {
    EXPECT_EQ(Relationships::resolve("xl/workbook.xml", "worksheets/sheet1.xml"), "xl/worksheets/sheet1.xml");
    EXPECT_EQ(Relationships::resolve("xl/worksheets/sheet1.xml", "../drawings/drawing1.xml"),
              "xl/drawings/drawing1.xml");
    EXPECT_EQ(Relationships::resolve("xl/workbook.xml", "/xl/styles.xml"), "xl/styles.xml");
    EXPECT_EQ(Relationships::resolve("", "xl/workbook.xml"), "xl/workbook.xml");
    EXPECT_EQ(Relationships::resolve("xl/workbook.xml", "worksheets/My%20Sheet.xml"),
              "xl/worksheets/My Sheet.xml");
    EXPECT_EQ(Relationships::relativeTarget("xl/worksheets/sheet1.xml", "xl/drawings/drawing1.xml"),
              "../drawings/drawing1.xml");
    EXPECT_EQ(Relationships::partFor("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
    EXPECT_TRUE(Relationships::typeIs("http://purl.oclc.org/ooxml/officeDocument/relationships/worksheet",
                                      "worksheet"));
}

TEST(XmlChunksOfAPart, ChildrenAreReplacedInSchemaOrderAndTheRestStaysByteForByte) {
    const std::string xml =
        "<?xml version=\"1.0\"?>\n<x:worksheet xmlns:x=\"m\" a='1>2'>\n  <x:sheetData><x:row/>"
        "</x:sheetData><!-- note --><x:pageMargins left=\"1\"/></x:worksheet>\n";
    XmlChunks chunks = XmlChunks::split(xml, "sheet", {});
    EXPECT_EQ(chunks.prefix(), "x:");
    EXPECT_EQ(chunks.assemble(), xml);
    chunks.put("sheetProtection", "<x:sheetProtection sheet=\"1\"/>",
               {"sheetData", "sheetProtection", "pageMargins"});
    const std::string changed = chunks.assemble();
    EXPECT_LT(changed.find("</x:sheetData>"), changed.find("<x:sheetProtection"));
    EXPECT_LT(changed.find("<x:sheetProtection"), changed.find("<x:pageMargins"));
    const char* damaged[] = {"", "<a><b></a>", "<a>", "<!DOCTYPE a [<!ENTITY e 'x'>]><a/>", "<a b=\"1></a>"};
    for (const char* text : damaged)
        EXPECT_THROW(XmlChunks::split(text, "part", {}), SheetError) << text;
}

TEST(StylesPart, FormatsComeOverFromAnotherWorkbookAndTurnBold) {
    Styles source = Styles::parse(
        "<styleSheet xmlns=\"m\"><numFmts count=\"1\"><numFmt numFmtId=\"170\" "
        "formatCode=\"0.000%\"/></numFmts>"
        "<fonts count=\"2\"><font><sz val=\"11\"/></font><font><i/><sz val=\"9\"/></font></fonts>"
        "<fills count=\"1\"><fill><patternFill patternType=\"none\"/></fill></fills>"
        "<borders count=\"1\"><border/></borders>"
        "<cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
        "<xf numFmtId=\"170\" fontId=\"1\" fillId=\"0\" borderId=\"0\" applyProtection=\"1\">"
        "<protection locked=\"0\"/></xf></cellXfs></styleSheet>");
    EXPECT_TRUE(source.isLocked(0));
    EXPECT_FALSE(source.isLocked(1));
    Styles target = Styles::defaults();
    const std::uint32_t adopted = target.adopt(source.look(1));
    EXPECT_EQ(target.look(adopted).numFmtCode, "0.000%");
    EXPECT_FALSE(target.isLocked(adopted));
    EXPECT_EQ(target.adopt(source.look(1)), adopted); // the same look is not added twice
    const std::uint32_t bold = target.withBold(adopted, true);
    EXPECT_TRUE(target.isBold(bold));
    EXPECT_FALSE(target.isBold(adopted));
    EXPECT_EQ(target.withBold(bold, true), bold);
    const Styles reread = Styles::parse(target.serialize());
    EXPECT_TRUE(reread.isBold(bold));
    EXPECT_FALSE(reread.isLocked(bold));
}
