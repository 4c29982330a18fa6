// Reading and writing [Content_Types].xml: elements Default and Override.
#include "platform/sheet/package/ContentTypes.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/XmlText.h"

#include <pugixml.hpp>

namespace platform::sheet {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

std::string slashed(std::string_view part) {
    std::string out;
    if (part.empty() || part.front() != '/')
        out += '/';
    out += part;
    return out;
}

} // namespace

ContentTypes ContentTypes::parse(std::string_view xml) {
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size()))
        throw SheetError(SheetError::Code::DamagedXml,
                         QStringLiteral("The part [Content_Types].xml of the workbook is damaged."));
    ContentTypes types;
    for (const pugi::xml_node& node : doc.document_element().children()) {
        const std::string_view name = XmlText::localName(node.name());
        if (name == "Default")
            types.defaults_.emplace_back(lower(node.attribute("Extension").value()),
                                         node.attribute("ContentType").value());
        else if (name == "Override")
            types.overrides_.emplace_back(node.attribute("PartName").value(),
                                          node.attribute("ContentType").value());
    }
    return types;
}

std::string ContentTypes::typeOf(std::string_view part) const {
    const std::string wanted = lower(slashed(part));
    for (const auto& [name, type] : overrides_)
        if (lower(name) == wanted)
            return type;
    const std::size_t dot = wanted.rfind('.');
    if (dot != std::string::npos) {
        const std::string extension = wanted.substr(dot + 1);
        for (const auto& [ext, type] : defaults_)
            if (ext == extension)
                return type;
    }
    return {};
}

bool ContentTypes::hasOverride(std::string_view part) const {
    const std::string wanted = lower(slashed(part));
    for (const auto& o : overrides_)
        if (lower(o.first) == wanted)
            return true;
    return false;
}

void ContentTypes::setOverride(std::string_view part, std::string_view type) {
    const std::string wanted = lower(slashed(part));
    for (auto& [name, t] : overrides_) {
        if (lower(name) == wanted) {
            if (t != type) {
                t = std::string(type);
                changed_ = true;
            }
            return;
        }
    }
    overrides_.emplace_back(slashed(part), std::string(type));
    changed_ = true;
}

void ContentTypes::removeOverride(std::string_view part) {
    const std::string wanted = lower(slashed(part));
    for (auto it = overrides_.begin(); it != overrides_.end(); ++it) {
        if (lower(it->first) == wanted) {
            overrides_.erase(it);
            changed_ = true;
            return;
        }
    }
}

void ContentTypes::ensureDefault(std::string_view extension, std::string_view type) {
    const std::string ext = lower(extension);
    for (const auto& d : defaults_)
        if (d.first == ext)
            return;
    defaults_.emplace_back(ext, std::string(type));
    changed_ = true;
}

std::string ContentTypes::serialize() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">";
    for (const auto& [ext, type] : defaults_) {
        out += "<Default Extension=\"";
        XmlText::appendEscaped(out, ext, true);
        out += "\" ContentType=\"";
        XmlText::appendEscaped(out, type, true);
        out += "\"/>";
    }
    for (const auto& [name, type] : overrides_) {
        out += "<Override PartName=\"";
        XmlText::appendEscaped(out, name, true);
        out += "\" ContentType=\"";
        XmlText::appendEscaped(out, type, true);
        out += "\"/>";
    }
    out += "</Types>";
    return out;
}

} // namespace platform::sheet
