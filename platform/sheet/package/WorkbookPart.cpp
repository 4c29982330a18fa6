// Reading and writing the workbook part: elements sheets/sheet, definedNames/definedName,
// calcPr, fileSharing, workbookProtection, bookViews/workbookView, externalReferences.
#include "platform/sheet/package/WorkbookPart.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/Conformance.h"
#include "platform/sheet/package/XmlText.h"

#include <cstring>
#include <pugixml.hpp>
#include <sstream>

namespace platform::sheet {

namespace {

const std::vector<std::string_view> kOrder = {
    "fileVersion",   "fileSharing",   "workbookPr",          "appMetadata",        "workbookProtection",
    "bookViews",     "sheets",        "functionGroups",      "externalReferences", "definedNames",
    "calcPr",        "oleSize",       "customWorkbookViews", "pivotCaches",        "smartTagPr",
    "smartTagTypes", "webPublishing", "fileRecoveryPr",      "webPublishObjects",  "extLst"};

constexpr const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

bool is(const pugi::xml_node& node, const char* local) {
    return std::strcmp(XmlText::localName(node.name()), local) == 0;
}

// The value of the r:id attribute, whatever prefix the relationships namespace has here.
std::string relationshipId(const pugi::xml_node& node) {
    for (const pugi::xml_attribute& a : node.attributes()) {
        const std::string_view name = a.name();
        const std::size_t colon = name.find(':');
        if (colon == std::string_view::npos || name.substr(colon + 1) != "id")
            continue;
        const std::string prefix(name.substr(0, colon));
        for (pugi::xml_node n = node; n; n = n.parent()) {
            const pugi::xml_attribute ns = n.attribute(("xmlns:" + prefix).c_str());
            if (ns)
                return std::string_view(ns.value()).ends_with("/relationships") ? a.value() : std::string();
        }
        return a.value(); // an undeclared prefix: take it as meant
    }
    return {};
}

void appendAttr(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    XmlText::appendEscaped(out, value, true);
    out += '"';
}

const char* kBlank =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<workbookPr/><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets/><calcPr calcId=\"191029\"/>"
    "</workbook>";

} // namespace

std::string WorkbookPart::DefinedName::attribute(std::string_view key) const {
    for (const auto& [n, v] : attributes)
        if (n == key)
            return v;
    return {};
}

void WorkbookPart::DefinedName::setAttribute(std::string_view key, std::string value) {
    for (auto& [n, v] : attributes) {
        if (n == key) {
            v = std::move(value);
            return;
        }
    }
    attributes.emplace_back(std::string(key), std::move(value));
}

void WorkbookPart::DefinedName::eraseAttribute(std::string_view key) {
    std::erase_if(attributes, [&](const auto& a) { return a.first == key; });
}

WorkbookPart WorkbookPart::blank(const std::string& firstSheetName, const std::string& relId) {
    WorkbookPart part = parse(kBlank);
    part.sheets.push_back(SheetEntry{firstSheetName, 1, relId, {}});
    return part;
}

WorkbookPart WorkbookPart::parse(const std::string& xml) {
    WorkbookPart part;
    part.chunks_ = XmlChunks::split(xml, "xl/workbook.xml");
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size()))
        throw SheetError(SheetError::Code::DamagedXml,
                         QStringLiteral("The part xl/workbook.xml of the workbook is damaged."));
    const pugi::xml_node root = doc.document_element();
    if (!is(root, "workbook"))
        throw SheetError(SheetError::Code::DamagedXml,
                         QStringLiteral("The part xl/workbook.xml is not a workbook."));
    const std::string_view rootName = root.name();
    const std::size_t colon = rootName.find(':');
    const std::string nsAttribute = colon == std::string_view::npos
                                        ? std::string("xmlns")
                                        : "xmlns:" + std::string(rootName.substr(0, colon));
    part.strict_ = Conformance::isStrict(root.attribute(nsAttribute.c_str()).value());
    for (const pugi::xml_node& child : root.children()) {
        if (is(child, "sheets")) {
            for (const pugi::xml_node& s : child.children()) {
                if (!is(s, "sheet"))
                    continue;
                SheetEntry entry;
                entry.name = s.attribute("name").value();
                entry.sheetId = s.attribute("sheetId").as_uint();
                entry.relId = relationshipId(s);
                entry.state = s.attribute("state").value();
                part.sheets.push_back(std::move(entry));
            }
        } else if (is(child, "definedNames")) {
            for (const pugi::xml_node& d : child.children()) {
                if (!is(d, "definedName"))
                    continue;
                DefinedName name;
                for (const pugi::xml_attribute& a : d.attributes())
                    name.attributes.emplace_back(a.name(), a.value());
                name.text = d.text().get();
                part.definedNames.push_back(std::move(name));
            }
        } else if (is(child, "calcPr")) {
            for (const pugi::xml_attribute& a : child.attributes()) {
                if (std::strcmp(a.name(), "fullCalcOnLoad") == 0)
                    part.fullCalcOnLoad_ = XmlText::isTrue(a.value());
                else
                    appendAttr(part.calcPrAttributes_, a.name(), a.value());
            }
        } else if (is(child, "fileSharing")) {
            std::ostringstream raw;
            child.print(raw, "", pugi::format_raw);
            part.fileSharing = ProtectionElement::parse(raw.str());
        } else if (is(child, "workbookPr")) {
            part.date1904 = XmlText::isTrue(child.attribute("date1904").value());
        } else if (is(child, "workbookProtection")) {
            part.lockStructure = XmlText::isTrue(child.attribute("lockStructure").value());
        } else if (is(child, "bookViews")) {
            const pugi::xml_node view = child.first_child();
            part.activeTab = view.attribute("activeTab").as_int(0);
        } else if (is(child, "externalReferences")) {
            for (const pugi::xml_node& e : child.children())
                if (is(e, "externalReference"))
                    part.externalReferences.push_back(relationshipId(e));
        }
    }
    return part;
}

std::string WorkbookPart::serialize() const {
    XmlChunks out = chunks_;
    const std::string& p = chunks_.prefix();

    // Relationship ids in the namespace of the workbook's conformance class.
    const std::string relNs = Conformance::spelled(kRelNs, strict_);
    std::string sheetsRaw = "<" + p + "sheets>";
    for (const SheetEntry& s : sheets) {
        sheetsRaw += "<" + p + "sheet";
        appendAttr(sheetsRaw, "name", s.name);
        appendAttr(sheetsRaw, "sheetId", std::to_string(s.sheetId));
        if (!s.state.empty() && s.state != "visible")
            appendAttr(sheetsRaw, "state", s.state);
        sheetsRaw += " xmlns:r=\"";
        sheetsRaw += relNs;
        sheetsRaw += "\" r:id=\"";
        XmlText::appendEscaped(sheetsRaw, s.relId, true);
        sheetsRaw += "\"/>";
    }
    sheetsRaw += "</" + p + "sheets>";
    out.put("sheets", sheetsRaw, kOrder);

    if (definedNames.empty()) {
        out.remove("definedNames");
    } else {
        std::string names = "<" + p + "definedNames>";
        for (const DefinedName& d : definedNames) {
            names += "<" + p + "definedName";
            for (const auto& [n, v] : d.attributes)
                appendAttr(names, n, v);
            names += '>';
            XmlText::appendEscaped(names, d.text);
            names += "</" + p + "definedName>";
        }
        names += "</" + p + "definedNames>";
        out.put("definedNames", names, kOrder);
    }

    if (externalReferences.empty()) {
        out.remove("externalReferences");
    } else {
        std::string refs = "<" + p + "externalReferences>";
        for (const std::string& id : externalReferences) {
            refs += "<" + p + "externalReference xmlns:r=\"";
            refs += relNs;
            refs += "\" r:id=\"";
            XmlText::appendEscaped(refs, id, true);
            refs += "\"/>";
        }
        refs += "</" + p + "externalReferences>";
        out.put("externalReferences", refs, kOrder);
    }

    if (fullCalcOnLoad_ || out.indexOf("calcPr") >= 0) {
        std::string calc = "<" + p + "calcPr" + calcPrAttributes_;
        if (fullCalcOnLoad_)
            calc += " fullCalcOnLoad=\"1\"";
        calc += "/>";
        out.put("calcPr", calc, kOrder);
    }

    if (fileSharing)
        out.put("fileSharing", fileSharing->element(p), kOrder);
    else
        out.remove("fileSharing");

    // The active sheet of the first window.
    if (const XmlChunks::Chunk* views = out.find("bookViews")) {
        pugi::xml_document doc;
        std::string raw = views->raw;
        const std::size_t lt = raw.find('<');
        const std::string lead = raw.substr(0, lt);
        if (doc.load_buffer(raw.data() + lt, raw.size() - lt)) {
            pugi::xml_node view = doc.document_element().first_child();
            if (view) {
                pugi::xml_attribute tab = view.attribute("activeTab");
                if (!tab)
                    tab = view.append_attribute("activeTab");
                tab.set_value(activeTab);
                pugi::xml_attribute first = view.attribute("firstSheet");
                if (first && first.as_int() >= int(sheets.size()))
                    first.set_value(0);
            }
            std::ostringstream printed;
            doc.document_element().print(printed, "", pugi::format_raw);
            out.put("bookViews", lead + printed.str(), kOrder);
        }
    } else {
        out.put("bookViews",
                "<" + p + "bookViews><" + p + "workbookView activeTab=\"" + std::to_string(activeTab) +
                    "\"/></" + p + "bookViews>",
                kOrder);
    }
    return out.assemble();
}

} // namespace platform::sheet
