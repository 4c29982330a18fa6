// Reading and writing worksheet parts: the worksheet around its sheet data (read by
// SheetDataReader), sheetData written from the cell store, dimension and mergeCells.
#include "platform/sheet/package/WorksheetPart.h"

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/Conformance.h"
#include "platform/sheet/package/SheetDataReader.h"
#include "platform/sheet/package/XmlText.h"

#include <charconv>
#include <cstring>
#include <pugixml.hpp>
#include <sstream>
#include <unordered_map>

namespace platform::sheet {

namespace {

// Children of worksheet in the order the schema gives.
const std::vector<std::string_view> kOrder = {"sheetPr",
                                              "dimension",
                                              "sheetViews",
                                              "sheetFormatPr",
                                              "cols",
                                              "sheetData",
                                              "sheetCalcPr",
                                              "sheetProtection",
                                              "protectedRanges",
                                              "scenarios",
                                              "autoFilter",
                                              "sortState",
                                              "dataConsolidate",
                                              "customSheetViews",
                                              "mergeCells",
                                              "phoneticPr",
                                              "conditionalFormatting",
                                              "dataValidations",
                                              "hyperlinks",
                                              "printOptions",
                                              "pageMargins",
                                              "pageSetup",
                                              "headerFooter",
                                              "rowBreaks",
                                              "colBreaks",
                                              "customProperties",
                                              "cellWatches",
                                              "ignoredErrors",
                                              "smartTags",
                                              "drawing",
                                              "legacyDrawing",
                                              "legacyDrawingHF",
                                              "drawingHF",
                                              "picture",
                                              "oleObjects",
                                              "controls",
                                              "webPublishItems",
                                              "tableParts",
                                              "extLst"};

[[noreturn]] void damaged(std::string_view part, const char* problem) {
    throw SheetError(
        SheetError::Code::DamagedXml,
        QStringLiteral("The part %1 of the workbook is damaged: %2.")
            .arg(QString::fromUtf8(part.data(), qsizetype(part.size())), QString::fromLatin1(problem)));
}

bool is(const char* name, const char* local) {
    return std::strcmp(XmlText::localName(name), local) == 0;
}

void appendNumber(std::string& out, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, std::size_t(result.ptr - buffer));
}

void appendInt(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, std::size_t(result.ptr - buffer));
}

void writeSheetData(std::string& out, const CellStore& store, const std::string& p) {
    const std::string rowOpen = "<" + p + "row r=\"";
    const std::string rowClose = "</" + p + "row>";
    const std::string cellOpen = "<" + p + "c r=\"";
    const std::string cellClose = "</" + p + "c>";
    const std::string vOpen = "<" + p + "v>";
    const std::string vClose = "</" + p + "v>";
    const std::string fOpen = "<" + p + "f";
    const std::string fClose = "</" + p + "f>";
    out += "<" + p + "sheetData>";
    char ref[16];
    for (const CellStore::Row& row : store.rows()) {
        if (row.cells.empty() && row.attrs == 0)
            continue;
        out += rowOpen;
        appendInt(out, row.row);
        out += '"';
        if (row.attrs)
            out += store.attrs(row.attrs);
        if (row.cells.empty()) {
            out += "/>";
            continue;
        }
        out += '>';
        for (const CellStore::Cell& cell : row.cells) {
            out += cellOpen;
            out.append(ref, std::size_t(CellAddress::writeA1({row.row, cell.col}, ref)));
            out += '"';
            if (cell.style) {
                out += " s=\"";
                appendInt(out, cell.style);
                out += '"';
            }
            // A formula whose result could not be brought up to date is written without one:
            // every reader calculates it rather than show an old number as current.
            const bool withResult = !(cell.formula && (cell.flags & CellStore::kStale));
            switch (withResult ? cell.type : CellStore::Type::Empty) {
            case CellStore::Type::Shared:
                out += " t=\"s\"";
                break;
            case CellStore::Type::Inline:
                out += cell.formula ? " t=\"str\"" : " t=\"inlineStr\"";
                break;
            case CellStore::Type::Boolean:
                out += " t=\"b\"";
                break;
            case CellStore::Type::Error:
                out += " t=\"e\"";
                break;
            default:
                break;
            }
            if (cell.flags & CellStore::kExtraAttrs)
                out += store.attrs(store.cellAttrs({row.row, cell.col}));
            if (cell.type == CellStore::Type::Empty && !cell.formula) {
                out += "/>";
                continue;
            }
            out += '>';
            if (cell.formula) {
                out += fOpen;
                if (const std::uint32_t attrs = store.formulaAttrs(cell.formula))
                    out += store.attrs(attrs);
                out += '>';
                XmlText::appendEscaped(out, store.formulaText(cell.formula));
                out += fClose;
            }
            switch (withResult ? cell.type : CellStore::Type::Empty) {
            case CellStore::Type::Number:
                out += vOpen;
                appendNumber(out, cell.number);
                out += vClose;
                break;
            case CellStore::Type::Shared:
                out += vOpen;
                appendInt(out, cell.text);
                out += vClose;
                break;
            case CellStore::Type::Boolean:
                out += vOpen;
                out += cell.number != 0 ? '1' : '0';
                out += vClose;
                break;
            case CellStore::Type::Error:
                out += vOpen;
                XmlText::appendEscaped(out, store.text(cell.text));
                out += vClose;
                break;
            case CellStore::Type::Inline: {
                const std::string_view text = store.text(cell.text);
                if (cell.formula) {
                    // A formula's text result: readers trim a value's outer spaces unless told.
                    if (XmlText::needsSpacePreserve(text)) {
                        out += "<" + p + "v xml:space=\"preserve\">";
                    } else {
                        out += vOpen;
                    }
                    XmlText::appendCellText(out, text);
                    out += vClose;
                } else if (const auto rich = store.richText({row.row, cell.col}, cell.text)) {
                    out += *rich; // formatted runs as the file had them, for the text it still holds
                } else {
                    out += "<" + p + "is><" + p + "t";
                    if (XmlText::needsSpacePreserve(text))
                        out += " xml:space=\"preserve\"";
                    out += '>';
                    XmlText::appendCellText(out, text);
                    out += "</" + p + "t></" + p + "is>";
                }
                break;
            }
            case CellStore::Type::Empty:
                break;
            }
            out += cellClose;
        }
        out += rowClose;
    }
    out += "</" + p + "sheetData>";
}

} // namespace

WorksheetPart WorksheetPart::blank(bool selected, bool strict) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                      "<dimension ref=\"A1\"/><sheetViews><sheetView ";
    if (selected)
        xml += "tabSelected=\"1\" ";
    xml +=
        "workbookViewId=\"0\"/></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
        "</worksheet>";
    return parse(Conformance::spelled(xml, strict), "xl/worksheets/sheet.xml");
}

WorksheetPart WorksheetPart::parse(const std::string& xml, std::string_view partName, CellBudget* budget) {
    WorksheetPart part;
    part.chunks_ = XmlChunks::split(xml, partName, {"sheetData"}, budget);
    // The parts around the sheet data are small: an XML parser checks them whole. The sheet data
    // is read by its own reader, which checks it as it goes.
    const std::string around = part.chunks_.assemble([](std::string&, const XmlChunks::Chunk&) {});
    if (budget)
        budget->takeElements(around, partName);
    pugi::xml_document doc;
    const pugi::xml_parse_result result = doc.load_buffer(around.data(), around.size());
    if (!result)
        damaged(partName, result.description());
    const pugi::xml_node root = doc.document_element();
    if (!is(root.name(), "worksheet") && !is(root.name(), "dialogsheet"))
        damaged(partName, "it is not a worksheet");
    for (const XmlChunks::Chunk& chunk : part.chunks_.chunks())
        if (chunk.placeholder)
            SheetDataReader::read(std::string_view(xml).substr(chunk.sourceOffset, chunk.sourceSize),
                                  part.cells_, partName, budget);
    if (part.chunks_.indexOf("sheetData") < 0) {
        // A worksheet without sheetData: give it one in its place.
        part.chunks_.put("sheetData", std::string(), kOrder);
    }
    part.chunks_.markPlaceholder("sheetData");
    return part;
}

std::string WorksheetPart::element(std::string_view name) const {
    const XmlChunks::Chunk* chunk = chunks_.find(name);
    return chunk ? chunk->raw : std::string();
}

void WorksheetPart::setElement(std::string_view name, std::string raw) {
    if (raw.empty())
        chunks_.remove(name);
    else
        chunks_.put(name, std::move(raw), kOrder);
}

bool WorksheetPart::setTabSelected(bool selected) {
    const std::string raw = element("sheetViews");
    if (raw.empty())
        return false;
    pugi::xml_document doc;
    const std::size_t lt = raw.find('<');
    if (lt == std::string::npos || !doc.load_buffer(raw.data() + lt, raw.size() - lt))
        return false;
    pugi::xml_node view = doc.document_element().first_child();
    if (!view)
        return false;
    const bool now = XmlText::isTrue(view.attribute("tabSelected").value());
    if (now == selected)
        return false;
    if (selected) {
        pugi::xml_attribute a = view.attribute("tabSelected");
        if (!a)
            a = view.prepend_attribute("tabSelected");
        a.set_value("1");
    } else {
        view.remove_attribute("tabSelected");
    }
    std::ostringstream printed;
    doc.document_element().print(printed, "", pugi::format_raw);
    setElement("sheetViews", raw.substr(0, lt) + printed.str());
    return true;
}

std::vector<CellRange> WorksheetPart::mergedCells() const {
    std::vector<CellRange> ranges;
    const std::string raw = element("mergeCells");
    if (raw.empty())
        return ranges;
    pugi::xml_document doc;
    if (!doc.load_buffer(raw.data(), raw.size()))
        return ranges;
    for (const pugi::xml_node& m : doc.document_element().children())
        if (is(m.name(), "mergeCell"))
            if (const auto range = CellRange::parse(XmlText::toQString(m.attribute("ref").value())))
                ranges.push_back(*range);
    return ranges;
}

void WorksheetPart::setMergedCells(const std::vector<CellRange>& ranges) {
    if (ranges.empty()) {
        setElement("mergeCells", {});
        return;
    }
    const std::string& p = prefix();
    std::string raw = "<" + p + "mergeCells count=\"" + std::to_string(ranges.size()) + "\">";
    for (const CellRange& r : ranges)
        raw += "<" + p + "mergeCell ref=\"" + XmlText::toUtf8(r.address(false, false)) + "\"/>";
    raw += "</" + p + "mergeCells>";
    setElement("mergeCells", raw);
}

std::string WorksheetPart::serialize() const {
    XmlChunks out = chunks_;
    if (out.indexOf("dimension") >= 0) {
        const CellRange used(cells_.firstUsed(), cells_.lastUsed());
        out.put("dimension",
                "<" + prefix() + "dimension ref=\"" + XmlText::toUtf8(used.address(false, false)) + "\"/>",
                kOrder);
    }
    return out.assemble([&](std::string& text, const XmlChunks::Chunk& chunk) {
        (void)chunk;
        text.reserve(text.size() + cells_.cellCount() * 40 + 1024);
        writeSheetData(text, cells_, prefix());
    });
}

} // namespace platform::sheet
