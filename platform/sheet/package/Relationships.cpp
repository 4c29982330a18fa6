// Reading and writing relationships parts: element Relationship.
#include "platform/sheet/package/Relationships.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/XmlText.h"

#include <QByteArray>
#include <algorithm>
#include <pugixml.hpp>

namespace platform::sheet {

namespace {

std::string folderOf(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash));
}

std::vector<std::string> splitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return parts;
}

std::string percentDecoded(std::string_view text) {
    if (text.find('%') == std::string_view::npos)
        return std::string(text);
    const QByteArray decoded =
        QByteArray::fromPercentEncoding(QByteArray(text.data(), qsizetype(text.size())));
    return std::string(decoded.constData(), std::size_t(decoded.size()));
}

} // namespace

Relationships Relationships::parse(std::string_view xml) {
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size()))
        throw SheetError(SheetError::Code::DamagedXml,
                         QStringLiteral("A relationships part of the workbook is damaged."));
    Relationships rels;
    for (const pugi::xml_node& node : doc.document_element().children()) {
        if (std::string_view(XmlText::localName(node.name())) != "Relationship")
            continue;
        Relationship r;
        r.id = node.attribute("Id").value();
        r.type = node.attribute("Type").value();
        r.target = node.attribute("Target").value();
        r.external = std::string_view(node.attribute("TargetMode").value()) == "External";
        rels.items_.push_back(std::move(r));
    }
    return rels;
}

std::string Relationships::partFor(std::string_view sourcePart) {
    if (sourcePart.empty())
        return "_rels/.rels";
    const std::size_t slash = sourcePart.rfind('/');
    if (slash == std::string_view::npos)
        return "_rels/" + std::string(sourcePart) + ".rels";
    return std::string(sourcePart.substr(0, slash)) + "/_rels/" + std::string(sourcePart.substr(slash + 1)) +
           ".rels";
}

std::string Relationships::resolve(std::string_view sourcePart, std::string_view target) {
    const std::string decoded = percentDecoded(target);
    std::vector<std::string> parts;
    std::string_view rest = decoded;
    if (!rest.empty() && rest.front() == '/') {
        rest.remove_prefix(1);
    } else {
        parts = splitPath(folderOf(sourcePart));
    }
    for (const std::string& piece : splitPath(rest)) {
        if (piece == ".")
            continue;
        if (piece == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(piece);
    }
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty())
            out += '/';
        out += p;
    }
    return out;
}

std::string Relationships::relativeTarget(std::string_view sourcePart, std::string_view part) {
    const std::vector<std::string> from = splitPath(folderOf(sourcePart));
    const std::vector<std::string> to = splitPath(part);
    std::size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && from[common] == to[common])
        ++common;
    std::string out;
    for (std::size_t i = common; i < from.size(); ++i)
        out += "../";
    for (std::size_t i = common; i < to.size(); ++i) {
        out += to[i];
        if (i + 1 < to.size())
            out += '/';
    }
    return out;
}

bool Relationships::typeIs(std::string_view type, std::string_view word) {
    const std::size_t slash = type.rfind('/');
    const std::string_view last = slash == std::string_view::npos ? type : type.substr(slash + 1);
    return last == word;
}

const Relationship* Relationships::byId(std::string_view id) const {
    for (const Relationship& r : items_)
        if (r.id == id)
            return &r;
    return nullptr;
}

const Relationship* Relationships::firstOfType(std::string_view word) const {
    for (const Relationship& r : items_)
        if (typeIs(r.type, word))
            return &r;
    return nullptr;
}

std::string Relationships::add(std::string_view type, std::string_view target, bool external) {
    std::string id;
    for (int n = int(items_.size()) + 1;; ++n) {
        id = "rId" + std::to_string(n);
        if (!byId(id))
            break;
    }
    items_.push_back(Relationship{id, std::string(type), std::string(target), external});
    changed_ = true;
    return id;
}

void Relationships::remove(std::string_view id) {
    const auto end =
        std::remove_if(items_.begin(), items_.end(), [&](const Relationship& r) { return r.id == id; });
    changed_ = changed_ || end != items_.end();
    items_.erase(end, items_.end());
}

void Relationships::setTarget(std::string_view id, std::string_view target) {
    for (Relationship& r : items_) {
        if (r.id == id && r.target != target) {
            r.target = std::string(target);
            changed_ = true;
        }
    }
}

std::string Relationships::serialize() const {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const Relationship& r : items_) {
        out += "<Relationship Id=\"";
        XmlText::appendEscaped(out, r.id, true);
        out += "\" Type=\"";
        XmlText::appendEscaped(out, r.type, true);
        out += "\" Target=\"";
        XmlText::appendEscaped(out, r.target, true);
        out += '"';
        if (r.external)
            out += " TargetMode=\"External\"";
        out += "/>";
    }
    out += "</Relationships>";
    return out;
}

} // namespace platform::sheet
