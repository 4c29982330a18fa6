// Reading and writing the custom document properties part.
#include "platform/sheet/package/CustomProperties.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/XmlText.h"

#include <algorithm>
#include <pugixml.hpp>
#include <sstream>

namespace platform::sheet {

namespace {

constexpr std::string_view kNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties";
constexpr std::string_view kStrictNamespace = "http://purl.oclc.org/ooxml/officeDocument/customProperties";
constexpr std::string_view kValueTypes =
    "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
constexpr std::string_view kStrictValueTypes = "http://purl.oclc.org/ooxml/officeDocument/docPropsVTypes";
// The property set that user-defined properties belong to.
constexpr std::string_view kUserDefinedSet = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
// Numbers below 2 are reserved.
constexpr int kFirstNumber = 2;

std::string raw(const pugi::xml_node& node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

bool named(const pugi::xml_node& node, std::string_view local) {
    return std::string_view(XmlText::localName(node.name())) == local;
}

// XML cannot hold control characters other than tab and line ends: they are left out.
std::string valueText(const QString& value) {
    QString kept;
    kept.reserve(value.size());
    for (const QChar c : value)
        if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
            kept += c;
    return XmlText::escaped(XmlText::toUtf8(kept));
}

} // namespace

bool CustomProperties::isRelationshipType(std::string_view type) {
    return type == kRelationship || type == kStrictRelationship;
}

CustomProperties::CustomProperties(bool strict)
    : rootAttributes_{{"xmlns", std::string(strict ? kStrictNamespace : kNamespace)},
                      {"xmlns:vt", std::string(strict ? kStrictValueTypes : kValueTypes)}} {}

CustomProperties CustomProperties::parse(std::string_view xml, std::string_view partName) {
    const auto damaged = [&](const char* problem) {
        return SheetError(SheetError::Code::DamagedXml,
                          QStringLiteral("The part %1 of the workbook is damaged: %2.")
                              .arg(XmlText::toQString(partName), QString::fromLatin1(problem)));
    };
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size()))
        throw damaged("its XML cannot be read");
    const pugi::xml_node root = doc.document_element();
    if (!named(root, "Properties"))
        throw damaged("it holds no properties");
    CustomProperties part;
    part.rootElement_ = root.name();
    part.rootAttributes_.clear();
    for (const pugi::xml_attribute& a : root.attributes())
        part.rootAttributes_.emplace_back(a.name(), a.value());
    for (const pugi::xml_node& child : root.children()) {
        if (child.type() != pugi::node_element || !named(child, "property"))
            continue;
        Property property;
        property.element = child.name();
        for (const pugi::xml_attribute& a : child.attributes())
            property.attributes.emplace_back(a.name(), a.value());
        property.name = QString::fromUtf8(child.attribute("name").value());
        if (const pugi::xml_node value =
                child.find_child([](const pugi::xml_node& n) { return n.type() == pugi::node_element; })) {
            property.text = QString::fromUtf8(value.child_value());
            property.valueXml = raw(value);
        }
        part.properties_.push_back(std::move(property));
    }
    return part;
}

std::size_t CustomProperties::indexOf(const QString& name) const {
    const auto found = std::find_if(properties_.begin(), properties_.end(), [&](const Property& p) {
        return p.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    return found == properties_.end() ? kNone : std::size_t(found - properties_.begin());
}

std::optional<QString> CustomProperties::value(const QString& name) const {
    const std::size_t at = indexOf(name);
    return at == kNone ? std::nullopt : std::optional<QString>(properties_[at].text);
}

// The prefix the part binds to the value types (declared at its root when it is not).
std::string CustomProperties::valuePrefix() {
    for (const auto& [attribute, uri] : rootAttributes_)
        if (attribute.starts_with("xmlns:") && (uri == kValueTypes || uri == kStrictValueTypes))
            return attribute.substr(6);
    rootAttributes_.emplace_back("xmlns:vt", std::string(kValueTypes));
    return "vt";
}

void CustomProperties::set(const QString& name, const QString& value) {
    const std::string prefix = valuePrefix();
    const std::string valueXml = "<" + prefix + ":lpwstr>" + valueText(value) + "</" + prefix + ":lpwstr>";
    if (const std::size_t at = indexOf(name); at != kNone) {
        Property* property = &properties_[at];
        if (property->text == value && property->valueXml == valueXml)
            return;
        property->text = value;
        property->valueXml = valueXml;
        changed_ = true;
        return;
    }
    int number = kFirstNumber;
    for (const Property& property : properties_)
        for (const auto& [attribute, text] : property.attributes)
            if (attribute == "pid")
                number = std::max(number, std::atoi(text.c_str()) + 1);
    // The element takes the root's prefix, if it has one.
    const std::size_t colon = rootElement_.find(':');
    Property property;
    property.element =
        colon == std::string::npos ? "property" : rootElement_.substr(0, colon + 1) + "property";
    property.attributes = {{"fmtid", std::string(kUserDefinedSet)},
                           {"pid", std::to_string(number)},
                           {"name", XmlText::toUtf8(name)}};
    property.name = name;
    property.text = value;
    property.valueXml = valueXml;
    properties_.push_back(std::move(property));
    changed_ = true;
}

std::string CustomProperties::serialize() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<" + rootElement_;
    const auto appendAttributes = [&out](const Attributes& attributes) {
        for (const auto& [name, value] : attributes) {
            out += ' ' + name + "=\"";
            XmlText::appendEscaped(out, value, true);
            out += '"';
        }
    };
    appendAttributes(rootAttributes_);
    out += '>';
    for (const Property& property : properties_) {
        out += '<' + property.element;
        appendAttributes(property.attributes);
        out += '>' + property.valueXml + "</" + property.element + '>';
    }
    return out + "</" + rootElement_ + '>';
}

} // namespace platform::sheet
