// Reading and writing worksheet parts: elements worksheet, sheetData, row, c, f, v, is,
// dimension and mergeCells.
#include "platform/sheet/package/WorksheetPart.h"

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
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

void appendAttr(std::string& out, const pugi::xml_attribute& a) {
    out += ' ';
    out += a.name();
    out += "=\"";
    XmlText::appendEscaped(out, a.value(), true);
    out += '"';
}

// The text of an inline string: its <t>, or the <t> of each run.
std::string inlineText(const pugi::xml_node& node) {
    std::string text;
    for (const pugi::xml_node& child : node.children()) {
        if (is(child.name(), "t")) {
            text += child.text().get();
        } else if (is(child.name(), "r")) {
            for (const pugi::xml_node& t : child.children())
                if (is(t.name(), "t"))
                    text += t.text().get();
        }
    }
    return XmlText::decodeCellText(text);
}

struct SharedMaster {
    CellRef anchor;
    std::vector<FormulaText::Token> tokens;
};

class SheetDataReader {
public:
    SheetDataReader(CellStore& store, std::string_view part)
        : store_(store)
        , part_(part) {}

    void read(const pugi::xml_node& sheetData) {
        int rowNumber = 0;
        for (const pugi::xml_node& row : sheetData.children()) {
            if (!is(row.name(), "row"))
                continue;
            std::string attrs;
            int r = rowNumber + 1;
            for (const pugi::xml_attribute& a : row.attributes()) {
                const char* n = a.name();
                if (std::strcmp(n, "r") == 0) {
                    r = std::atoi(a.value());
                } else if (std::strcmp(n, "spans") != 0) {
                    appendAttr(attrs, a);
                }
            }
            if (r < 1 || r > CellAddress::kMaxRows)
                damaged(part_, "a row number is outside the sheet");
            rowNumber = r;
            const std::uint32_t attrIndex = store_.addAttrs(attrs);
            if (attrIndex != 0)
                store_.obtainRow(r).attrs = attrIndex;
            int col = 0;
            for (const pugi::xml_node& c : row.children()) {
                if (is(c.name(), "c"))
                    readCell(c, r, col);
            }
        }
    }

private:
    void readCell(const pugi::xml_node& c, int row, int& col) {
        const char* type = "";
        std::uint32_t style = 0;
        std::string extra;
        int at = col + 1;
        for (const pugi::xml_attribute& a : c.attributes()) {
            const char* n = a.name();
            if (n[0] == 'r' && n[1] == 0) {
                CellRef ref;
                if (!CellAddress::parseA1(a.value(), std::strlen(a.value()), ref) || ref.row != row)
                    damaged(part_, "a cell position does not fit its row");
                at = ref.col;
            } else if (n[0] == 's' && n[1] == 0) {
                style = std::uint32_t(std::strtoul(a.value(), nullptr, 10));
            } else if (n[0] == 't' && n[1] == 0) {
                type = a.value();
            } else {
                appendAttr(extra, a);
            }
        }
        if (at < 1 || at > CellAddress::kMaxColumns)
            damaged(part_, "a cell lies outside the sheet");
        col = at;
        CellStore::Cell& cell = store_.append(row, at);
        cell = CellStore::Cell{};
        cell.col = std::uint16_t(at);
        cell.style = style;
        if (!extra.empty()) {
            cell.flags |= CellStore::kExtraAttrs;
            store_.setCellAttrs({row, at}, store_.addAttrs(extra));
        }
        const char* value = nullptr;
        pugi::xml_node inlineNode;
        for (const pugi::xml_node& child : c.children()) {
            const char* n = XmlText::localName(child.name());
            if (n[0] == 'v' && n[1] == 0)
                value = child.text().get();
            else if (n[0] == 'f' && n[1] == 0)
                readFormula(child, cell, {row, at});
            else if (std::strcmp(n, "is") == 0)
                inlineNode = child;
        }
        readValue(cell, type, value, inlineNode);
        // A formula saved without its result (as some writers do) is calculated when needed.
        if (cell.formula && cell.type == CellStore::Type::Empty)
            cell.flags |= CellStore::kStale;
    }

    void readValue(CellStore::Cell& cell, const char* type, const char* value,
                   const pugi::xml_node& inlineNode) {
        const std::string_view t(type);
        if (t == "inlineStr") {
            cell.type = CellStore::Type::Inline;
            cell.text = store_.addText(inlineNode ? inlineText(inlineNode) : std::string());
            return;
        }
        if (!value || !*value) {
            if (t == "str" || t == "s") {
                // A formula whose result is the empty text, or an empty shared reference.
                if (t == "str" && value) {
                    cell.type = CellStore::Type::Inline;
                    cell.text = store_.addText({});
                }
            }
            return;
        }
        if (t.empty() || t == "n") {
            double number = 0;
            const char* end = value + std::strlen(value);
            while (*value == ' ')
                ++value;
            const auto result = std::from_chars(value, end, number);
            if (result.ec != std::errc())
                damaged(part_, "a number cannot be read");
            cell.type = CellStore::Type::Number;
            cell.number = number;
        } else if (t == "s") {
            char* end = nullptr;
            const unsigned long index = std::strtoul(value, &end, 10);
            if (end == value || index > 0xFFFFFFFEul)
                damaged(part_, "a shared string number cannot be read");
            cell.type = CellStore::Type::Shared;
            cell.text = std::uint32_t(index);
        } else if (t == "b") {
            cell.type = CellStore::Type::Boolean;
            cell.number = XmlText::isTrue(value) ? 1 : 0;
        } else if (t == "e") {
            cell.type = CellStore::Type::Error;
            cell.text = store_.addText(value);
        } else {
            // "str" (a formula's text result) and "d" (a date written as text).
            cell.type = CellStore::Type::Inline;
            cell.text = store_.addText(XmlText::decodeCellText(value));
        }
    }

    void readFormula(const pugi::xml_node& f, CellStore::Cell& cell, CellRef at) {
        std::string_view kind;
        const char* shareId = nullptr;
        std::string kept;
        std::string ref;
        for (const pugi::xml_attribute& a : f.attributes()) {
            const std::string_view n = a.name();
            if (n == "t")
                kind = a.value();
            else if (n == "si")
                shareId = a.value();
            else if (n == "ref")
                ref = a.value();
            else
                appendAttr(kept, a);
        }
        const std::string_view text = f.text().get();
        if (kind == "shared" && shareId) {
            const int id = std::atoi(shareId);
            if (!text.empty()) {
                masters_[id] = SharedMaster{at, FormulaText::tokenize(text)};
                cell.formula = store_.addFormula(text, store_.addAttrs(kept));
                return;
            }
            const auto it = masters_.find(id);
            if (it == masters_.end())
                damaged(part_, "a shared formula refers to a block that has no formula");
            const std::string moved = FormulaText::shifted(it->second.tokens, at.row - it->second.anchor.row,
                                                           at.col - it->second.anchor.col);
            cell.formula = store_.addFormula(moved, store_.addAttrs(kept));
            return;
        }
        if (kind == "array" || kind == "dataTable") {
            std::string attrs = " t=\"" + std::string(kind) + "\"";
            if (!ref.empty())
                attrs += " ref=\"" + XmlText::escaped(ref, true) + "\"";
            attrs += kept;
            cell.formula = store_.addFormula(text, store_.addAttrs(attrs));
            return;
        }
        cell.formula = store_.addFormula(text, store_.addAttrs(kept));
    }

    CellStore& store_;
    std::string_view part_;
    std::unordered_map<int, SharedMaster> masters_;
};

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

WorksheetPart WorksheetPart::blank(bool selected) {
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
    return parse(xml, "xl/worksheets/sheet.xml");
}

WorksheetPart WorksheetPart::parse(const std::string& xml, std::string_view partName) {
    WorksheetPart part;
    part.chunks_ = XmlChunks::split(xml, partName, {"sheetData"});
    pugi::xml_document doc;
    const pugi::xml_parse_result result =
        doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!result)
        damaged(partName, result.description());
    const pugi::xml_node root = doc.document_element();
    if (!is(root.name(), "worksheet") && !is(root.name(), "dialogsheet"))
        damaged(partName, "it is not a worksheet");
    if (part.chunks_.indexOf("sheetData") < 0) {
        // A worksheet without sheetData: give it one in its place.
        part.chunks_.put("sheetData", std::string(), kOrder);
    }
    part.chunks_.markPlaceholder("sheetData");
    for (const pugi::xml_node& child : root.children())
        if (is(child.name(), "sheetData"))
            SheetDataReader(part.cells_, partName).read(child);
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
