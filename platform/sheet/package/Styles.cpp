// Reading and writing the styles part: elements numFmts/numFmt, fonts/font, fills/fill,
// borders/border, cellXfs/xf and the xf's protection.
#include "platform/sheet/package/Styles.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/XmlText.h"

#include <pugixml.hpp>
#include <sstream>

namespace platform::sheet {

namespace {

// Children of styleSheet in the order the schema gives.
const std::vector<std::string_view> kOrder = {"numFmts",      "fonts",   "fills",      "borders",
                                              "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                              "tableStyles",  "colors",  "extLst"};

enum ListIndex { kNumFmts, kFonts, kFills, kBorders, kCellXfs };

std::string raw(const pugi::xml_node& node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

bool named(const pugi::xml_node& node, std::string_view name) {
    return std::string_view(XmlText::localName(node.name())) == name;
}

std::vector<std::pair<std::string, std::string>>
attributesWithout(const pugi::xml_node& node, std::initializer_list<std::string_view> skip) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const pugi::xml_attribute& a : node.attributes()) {
        bool skipped = false;
        for (std::string_view s : skip)
            skipped = skipped || s == a.name();
        if (!skipped)
            out.emplace_back(a.name(), a.value());
    }
    return out;
}

const char* kDefaultStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><color theme=\"1\"/><name val=\"Calibri\"/><family val=\"2\"/>"
    "<scheme val=\"minor\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
    "patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "<dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>";

} // namespace

Styles Styles::defaults() {
    return parse(kDefaultStyles);
}

Styles Styles::parse(std::string_view xml) {
    Styles styles;
    styles.chunks_ = XmlChunks::split(xml, "xl/styles.xml");
    pugi::xml_document check;
    if (!check.load_buffer(xml.data(), xml.size()))
        throw SheetError(SheetError::Code::DamagedXml,
                         QStringLiteral("The part xl/styles.xml of the workbook is damaged."));
    const pugi::xml_node sheet = check.document_element();
    for (const pugi::xml_node& list : sheet.children()) {
        if (named(list, "numFmts")) {
            styles.listAttrs_[kNumFmts] = attributesWithout(list, {"count"});
            for (const pugi::xml_node& n : list.children())
                if (named(n, "numFmt"))
                    styles.numFmts_.push_back(
                        NumFmt{n.attribute("numFmtId").as_int(), raw(n), n.attribute("formatCode").value()});
        } else if (named(list, "fonts")) {
            styles.listAttrs_[kFonts] = attributesWithout(list, {"count"});
            for (const pugi::xml_node& n : list.children())
                if (named(n, "font"))
                    styles.fonts_.push_back(raw(n));
        } else if (named(list, "fills")) {
            styles.listAttrs_[kFills] = attributesWithout(list, {"count"});
            for (const pugi::xml_node& n : list.children())
                if (named(n, "fill"))
                    styles.fills_.push_back(raw(n));
        } else if (named(list, "borders")) {
            styles.listAttrs_[kBorders] = attributesWithout(list, {"count"});
            for (const pugi::xml_node& n : list.children())
                if (named(n, "border"))
                    styles.borders_.push_back(raw(n));
        } else if (named(list, "cellXfs")) {
            styles.listAttrs_[kCellXfs] = attributesWithout(list, {"count"});
            for (const pugi::xml_node& n : list.children()) {
                if (!named(n, "xf"))
                    continue;
                Xf xf;
                xf.attributes = attributesWithout(n, {});
                for (const pugi::xml_node& c : n.children())
                    xf.children += raw(c);
                styles.xfs_.push_back(std::move(xf));
            }
        }
    }
    if (styles.xfs_.empty())
        styles.xfs_.push_back(
            Xf{{{"numFmtId", "0"}, {"fontId", "0"}, {"fillId", "0"}, {"borderId", "0"}, {"xfId", "0"}}, {}});
    return styles;
}

std::string Styles::attr(const Xf& xf, std::string_view name) {
    for (const auto& [n, v] : xf.attributes)
        if (n == name)
            return v;
    return {};
}

bool Styles::isLocked(std::uint32_t xf) const {
    if (xf >= xfs_.size())
        return true;
    const std::string& children = xfs_[xf].children;
    const std::size_t at = children.find("protection");
    if (at == std::string::npos)
        return true;
    pugi::xml_document doc;
    std::string wrapped = "<x>";
    wrapped += children;
    wrapped += "</x>";
    if (!doc.load_buffer(wrapped.data(), wrapped.size()))
        return true;
    for (const pugi::xml_node& c : doc.document_element().children())
        if (named(c, "protection"))
            return !c.attribute("locked") || XmlText::isTrue(c.attribute("locked").value());
    return true;
}

Styles::Look Styles::look(std::uint32_t index) const {
    Look look;
    if (index >= xfs_.size())
        index = 0;
    const Xf& xf = xfs_[index];
    for (const auto& [n, v] : xf.attributes)
        if (n != "numFmtId" && n != "fontId" && n != "fillId" && n != "borderId" && n != "xfId")
            look.attributes.emplace_back(n, v);
    look.children = xf.children;
    const auto pick = [](const std::vector<std::string>& list, const std::string& id) {
        const std::size_t i = std::size_t(std::atoi(id.c_str()));
        return i < list.size() ? list[i] : std::string();
    };
    look.font = pick(fonts_, attr(xf, "fontId"));
    look.fill = pick(fills_, attr(xf, "fillId"));
    look.border = pick(borders_, attr(xf, "borderId"));
    look.numFmtId = numFmtIdOf(xf);
    look.numFmtCode = customNumberFormat(look.numFmtId);
    return look;
}

int Styles::numFmtIdOf(const Xf& xf) {
    return std::atoi(attr(xf, "numFmtId").c_str());
}

std::string Styles::customNumberFormat(int id) const {
    for (const NumFmt& f : numFmts_)
        if (f.id == id && !f.code.empty())
            return f.code;
    return {};
}

std::uint32_t Styles::addRaw(std::vector<std::string>& list, const std::string& raw) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == raw)
            return std::uint32_t(i);
    list.push_back(raw);
    changed_ = true;
    return std::uint32_t(list.size() - 1);
}

std::uint32_t Styles::adopt(const Look& look) {
    for (std::uint32_t i = 0; i < xfs_.size(); ++i)
        if (this->look(i) == look)
            return i;
    Xf xf;
    const std::uint32_t font = look.font.empty() ? 0 : addRaw(fonts_, look.font);
    const std::uint32_t fill = look.fill.empty() ? 0 : addRaw(fills_, look.fill);
    const std::uint32_t border = look.border.empty() ? 0 : addRaw(borders_, look.border);
    int numFmt = look.numFmtId;
    if (!look.numFmtCode.empty()) {
        // A custom number format: the same code under an id free in this workbook.
        numFmt = -1;
        int highest = 163;
        for (const NumFmt& f : numFmts_) {
            if (f.code == look.numFmtCode)
                numFmt = f.id;
            highest = std::max(highest, f.id);
        }
        if (numFmt < 0) {
            numFmt = highest + 1;
            std::string element =
                "<" + chunks_.prefix() + "numFmt numFmtId=\"" + std::to_string(numFmt) + "\" formatCode=\"";
            XmlText::appendEscaped(element, look.numFmtCode, true);
            element += "\"/>";
            numFmts_.push_back(NumFmt{numFmt, element, look.numFmtCode});
            changed_ = true;
        }
    }
    xf.attributes = {{"numFmtId", std::to_string(numFmt)},
                     {"fontId", std::to_string(font)},
                     {"fillId", std::to_string(fill)},
                     {"borderId", std::to_string(border)},
                     {"xfId", "0"}};
    for (const auto& a : look.attributes)
        xf.attributes.push_back(a);
    xf.children = look.children;
    xfs_.push_back(std::move(xf));
    changed_ = true;
    return std::uint32_t(xfs_.size() - 1);
}

bool Styles::isBold(std::uint32_t xf) const {
    const std::string font = look(xf).font;
    pugi::xml_document doc;
    if (font.empty() || !doc.load_buffer(font.data(), font.size()))
        return false;
    for (const pugi::xml_node& c : doc.document_element().children())
        if (named(c, "b"))
            return !c.attribute("val") || XmlText::isTrue(c.attribute("val").value());
    return false;
}

namespace {

// The built-in number formats a workbook refers to by id alone, as the spreadsheet program
// shows them in the English (United States) convention.
struct BuiltinFormat {
    int id;
    const char* code;
};
const BuiltinFormat kBuiltinFormats[] = {
    {1, "0"},
    {2, "0.00"},
    {3, "#,##0"},
    {4, "#,##0.00"},
    {5, "\"$\"#,##0_);\\(\"$\"#,##0\\)"},
    {6, "\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)"},
    {7, "\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)"},
    {8, "\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)"},
    {9, "0%"},
    {10, "0.00%"},
    {11, "0.00E+00"},
    {12, "# ?/?"},
    {13, "# ?\?/??"},
    {14, "m/d/yyyy"},
    {15, "d-mmm-yy"},
    {16, "d-mmm"},
    {17, "mmm-yy"},
    {18, "h:mm AM/PM"},
    {19, "h:mm:ss AM/PM"},
    {20, "h:mm"},
    {21, "h:mm:ss"},
    {22, "m/d/yyyy h:mm"},
    {37, "#,##0 ;(#,##0)"},
    {38, "#,##0 ;[Red](#,##0)"},
    {39, "#,##0.00;(#,##0.00)"},
    {40, "#,##0.00;[Red](#,##0.00)"},
    {45, "mm:ss"},
    {46, "[h]:mm:ss"},
    {47, "mm:ss.0"},
    {48, "##0.0E+0"},
    {49, "@"},
};

const char* builtinNumberFormat(int id) {
    for (const BuiltinFormat& f : kBuiltinFormats)
        if (f.id == id)
            return f.code;
    return "General";
}

} // namespace

std::string Styles::numberFormatCode(std::uint32_t xf) const {
    if (xf >= xfs_.size())
        xf = 0;
    if (xfs_.empty())
        return "General";
    const int id = numFmtIdOf(xfs_[xf]);
    const std::string custom = customNumberFormat(id);
    return custom.empty() ? builtinNumberFormat(id) : custom;
}

bool Styles::hasGeneralNumbers(std::uint32_t xf) const {
    const Look l = look(xf);
    return l.numFmtId == 0 && l.numFmtCode.empty();
}

std::uint32_t Styles::withNumberFormat(std::uint32_t xf, int builtinId, const std::string& code) {
    Look changed = look(xf);
    changed.numFmtId = builtinId;
    changed.numFmtCode = code;
    bool hasApply = false;
    for (auto& [n, v] : changed.attributes) {
        if (n == "applyNumberFormat") {
            v.assign(1, '1');
            hasApply = true;
        }
    }
    if (!hasApply)
        changed.attributes.emplace_back("applyNumberFormat", "1");
    return adopt(changed);
}

std::uint32_t Styles::withBold(std::uint32_t xf, bool bold) {
    if (isBold(xf) == bold)
        return xf;
    Look changed = look(xf);
    pugi::xml_document doc;
    const std::string font = changed.font.empty() ? std::string("<font/>") : changed.font;
    doc.load_buffer(font.data(), font.size());
    pugi::xml_node root = doc.document_element();
    for (pugi::xml_node c = root.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (named(c, "b"))
            root.remove_child(c);
        c = next;
    }
    if (bold)
        root.prepend_child((chunks_.prefix() + "b").c_str());
    changed.font = raw(root);
    bool hasApply = false;
    for (auto& [n, v] : changed.attributes) {
        if (n == "applyFont") {
            v.assign(1, '1');
            hasApply = true;
        }
    }
    if (!hasApply)
        changed.attributes.emplace_back("applyFont", "1");
    return adopt(changed);
}

std::string Styles::listElement(std::string_view name, const std::vector<std::string>& items) const {
    int which = name == "fonts" ? kFonts : name == "fills" ? kFills : kBorders;
    std::string out =
        "<" + chunks_.prefix() + std::string(name) + " count=\"" + std::to_string(items.size()) + "\"";
    for (const auto& [n, v] : listAttrs_[which]) {
        out += ' ' + n + "=\"";
        XmlText::appendEscaped(out, v, true);
        out += '"';
    }
    out += '>';
    for (const std::string& item : items)
        out += item;
    out += "</" + chunks_.prefix() + std::string(name) + ">";
    return out;
}

std::string Styles::serialize() const {
    if (!changed_)
        return chunks_.assemble();
    XmlChunks out = chunks_;
    const std::string& p = chunks_.prefix();
    if (!numFmts_.empty()) {
        std::string element = "<" + p + "numFmts count=\"" + std::to_string(numFmts_.size()) + "\">";
        for (const NumFmt& f : numFmts_)
            element += f.raw;
        element += "</" + p + "numFmts>";
        out.put("numFmts", element, kOrder);
    }
    out.put("fonts", listElement("fonts", fonts_), kOrder);
    out.put("fills", listElement("fills", fills_), kOrder);
    out.put("borders", listElement("borders", borders_), kOrder);
    std::string xfs = "<" + p + "cellXfs count=\"" + std::to_string(xfs_.size()) + "\"";
    for (const auto& [n, v] : listAttrs_[kCellXfs]) {
        xfs += ' ' + n + "=\"";
        XmlText::appendEscaped(xfs, v, true);
        xfs += '"';
    }
    xfs += '>';
    for (const Xf& xf : xfs_) {
        xfs += "<" + p + "xf";
        for (const auto& [n, v] : xf.attributes) {
            xfs += ' ' + n + "=\"";
            XmlText::appendEscaped(xfs, v, true);
            xfs += '"';
        }
        if (xf.children.empty()) {
            xfs += "/>";
        } else {
            xfs += '>';
            xfs += xf.children;
            xfs += "</" + p + "xf>";
        }
    }
    xfs += "</" + p + "cellXfs>";
    out.put("cellXfs", xfs, kOrder);
    return out.assemble();
}

} // namespace platform::sheet
