// External links: elements externalLink, externalBook, sheetNames, sheetDataSet, and the link's
// path relationship.
#include "platform/sheet/package/ExternalLinks.h"

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/package/XmlText.h"

#include <QByteArray>
#include <QDir>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <pugixml.hpp>

namespace platform::sheet {

namespace {

bool isNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A link target as a path: "file:///C:\x\B.xlsx" -> "C:/x/B.xlsx", "file:///tmp/B.xlsx" -> "/tmp/B.xlsx",
// relative targets against the workbook's folder.
std::string targetToPath(std::string target, const QString& workbookFolder) {
    const QByteArray decoded = QByteArray::fromPercentEncoding(QByteArray::fromStdString(target));
    QString path = QString::fromUtf8(decoded).replace(u'\\', u'/');
    if (path.startsWith(u"file:///", Qt::CaseInsensitive)) {
        path = path.mid(8);
        if (!(path.size() > 1 && path[1] == u':'))
            path.prepend(u'/');
    } else if (path.startsWith(u"file://", Qt::CaseInsensitive)) {
        path = path.mid(5); // a server share: //server/share/...
    } else if (!path.startsWith(u'/') && !(path.size() > 1 && path[1] == u':') && !workbookFolder.isEmpty()) {
        path = QDir::cleanPath(workbookFolder + u'/' + path);
    }
    return XmlText::toUtf8(path);
}

std::string pathToTarget(const std::string& path) {
    if (path.find('/') == std::string::npos)
        return path; // a workbook never saved: its name alone
    const QByteArray encoded = QByteArray::fromStdString(path).toPercentEncoding("/:");
    return "file://" + std::string(path.front() == '/' ? "" : "/") + encoded.toStdString();
}

void splitPath(const std::string& path, std::string& folder, std::string& book) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder.clear();
        book = path;
    } else {
        folder = path.substr(0, slash + 1);
        book = path.substr(slash + 1);
    }
}

bool samePath(const std::string& a, const std::string& b) {
    return XmlText::toQString(a).compare(XmlText::toQString(b), Qt::CaseInsensitive) == 0;
}

} // namespace

void ExternalLinks::load(const Package& package, const std::string& workbookPart,
                         const Relationships& workbookRels, const std::vector<std::string>& references,
                         const QString& workbookFolder) {
    links_.clear();
    workbookPart_ = workbookPart;
    for (const std::string& id : references) {
        Link link;
        const Relationship* rel = workbookRels.byId(id);
        if (rel && !rel->external) {
            link.part = Relationships::resolve(workbookPart_, rel->target);
            if (package.contains(link.part)) {
                const std::string xml = package.read(link.part);
                pugi::xml_document doc;
                doc.load_buffer(xml.data(), xml.size());
                const pugi::xml_node book = doc.document_element().first_child();
                std::string linkId;
                for (const pugi::xml_attribute& a : book.attributes())
                    if (std::string_view(XmlText::localName(a.name())) == "id")
                        linkId = a.value();
                for (const pugi::xml_node& child : book.children())
                    if (std::string_view(XmlText::localName(child.name())) == "sheetNames")
                        for (const pugi::xml_node& s : child.children())
                            link.sheets.emplace_back(s.attribute("val").value());
                const std::string relsPart = Relationships::partFor(link.part);
                if (!linkId.empty() && package.contains(relsPart)) {
                    const Relationships linkRels = Relationships::parse(package.read(relsPart));
                    if (const Relationship* path = linkRels.byId(linkId))
                        link.path = targetToPath(path->target, workbookFolder);
                }
            }
        }
        links_.push_back(std::move(link));
    }
}

std::string ExternalLinks::toDisplay(std::string_view formula) const {
    if (!FormulaText::mayHoldExternal(formula))
        return std::string(formula);
    return FormulaText::mapPrefixes(formula,
                                    [&](const FormulaText::Prefix& p) -> std::optional<FormulaText::Prefix> {
                                        if (!p.hasBook || !isNumber(p.book))
                                            return std::nullopt;
                                        const std::size_t n = std::size_t(std::stoul(p.book));
                                        if (n < 1 || n > links_.size() || links_[n - 1].path.empty())
                                            return std::nullopt;
                                        FormulaText::Prefix out = p;
                                        splitPath(links_[n - 1].path, out.folder, out.book);
                                        return out;
                                    });
}

int ExternalLinks::linkTo(const std::string& path) {
    for (std::size_t i = 0; i < links_.size(); ++i)
        if (samePath(links_[i].path, path))
            return int(i + 1);
    links_.push_back(Link{path, {}, {}, {}});
    changed_ = true;
    return int(links_.size());
}

int ExternalLinks::sheetIndex(Link& link, const std::string& sheet) {
    for (std::size_t i = 0; i < link.sheets.size(); ++i)
        if (XmlText::toQString(link.sheets[i]).compare(XmlText::toQString(sheet), Qt::CaseInsensitive) == 0)
            return int(i);
    link.sheets.push_back(sheet);
    changed_ = true;
    return int(link.sheets.size() - 1);
}

std::string ExternalLinks::toFile(std::string_view formula, const CellLookup& cached) {
    if (!FormulaText::mayHoldExternal(formula))
        return std::string(formula);
    std::vector<FormulaText::Token> tokens = FormulaText::tokenize(formula);
    bool changed = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != FormulaText::Kind::SheetPrefix)
            continue;
        FormulaText::Prefix p = FormulaText::parsePrefix(tokens[i].text);
        if (!p.hasBook || isNumber(p.book))
            continue;
        const std::string path = p.folder + p.book;
        const int n = linkTo(path);
        Link& link = links_[std::size_t(n - 1)];
        if (!p.sheet.empty())
            sheetIndex(link, p.sheet);
        // The referenced cells go into the link's cache.
        if (cached && i + 1 < tokens.size() && tokens[i + 1].kind == FormulaText::Kind::Cell &&
            link.part.empty()) {
            const auto first = CellAddress::parseA1(XmlText::toQString(tokens[i + 1].text).remove(u'$'));
            std::optional<CellRef> last = first;
            if (i + 3 < tokens.size() && tokens[i + 2].text == ":" &&
                tokens[i + 3].kind == FormulaText::Kind::Cell)
                last = CellAddress::parseA1(XmlText::toQString(tokens[i + 3].text).remove(u'$'));
            if (first && last) {
                const CellRange range(*first, *last);
                if (qint64(range.rows()) * range.columns() <= 100000) {
                    for (int r = range.first.row; r <= range.last.row; ++r)
                        for (int c = range.first.col; c <= range.last.col; ++c)
                            if (const auto value = cached(path, p.sheet, {r, c}); value && !value->isEmpty())
                                link.cache[{p.sheet, {r, c}}] = *value;
                }
            }
        }
        p.folder.clear();
        p.book = std::to_string(n);
        tokens[i].text = FormulaText::formatPrefix(p);
        changed = true;
    }
    return changed ? FormulaText::join(tokens) : std::string(formula);
}

std::string ExternalLinks::linkPartXml(const Link& link) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<externalLink xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<externalBook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "r:id=\"rId1\"><sheetNames>";
    for (const std::string& s : link.sheets) {
        xml += "<sheetName val=\"";
        XmlText::appendEscaped(xml, s, true);
        xml += "\"/>";
    }
    xml += "</sheetNames><sheetDataSet>";
    for (std::size_t i = 0; i < link.sheets.size(); ++i) {
        xml += "<sheetData sheetId=\"" + std::to_string(i) + "\"";
        std::string rows;
        int openRow = 0;
        for (const auto& [key, value] : link.cache) {
            if (XmlText::toQString(key.first).compare(XmlText::toQString(link.sheets[i]),
                                                      Qt::CaseInsensitive) != 0)
                continue;
            const int row = key.second.first;
            if (row != openRow) {
                if (openRow)
                    rows += "</row>";
                rows += "<row r=\"" + std::to_string(row) + "\">";
                openRow = row;
            }
            rows += "<cell r=\"" + XmlText::toUtf8(CellAddress::toA1({row, key.second.second})) + "\"";
            switch (value.type) {
            case CellValue::Type::Text:
                rows += " t=\"str\"";
                break;
            case CellValue::Type::Boolean:
                rows += " t=\"b\"";
                break;
            case CellValue::Type::Error:
                rows += " t=\"e\"";
                break;
            default:
                break;
            }
            const bool spaced = value.type == CellValue::Type::Text &&
                                XmlText::needsSpacePreserve(XmlText::toUtf8(value.text));
            rows += spaced ? "><v xml:space=\"preserve\">" : "><v>";
            if (value.type == CellValue::Type::Number) {
                char buffer[32];
                const auto result = std::to_chars(buffer, buffer + sizeof buffer, value.number);
                rows.append(buffer, std::size_t(result.ptr - buffer));
            } else if (value.type == CellValue::Type::Boolean) {
                rows += value.boolean() ? "1" : "0";
            } else {
                XmlText::appendCellText(rows, XmlText::toUtf8(value.text));
            }
            rows += "</v></cell>";
        }
        if (openRow)
            rows += "</row>";
        xml += rows.empty() ? "/>" : ">" + rows + "</sheetData>";
    }
    xml += "</sheetDataSet></externalBook></externalLink>";
    return xml;
}

void ExternalLinks::store(Package& package, Relationships& workbookRels, ContentTypes& types,
                          std::vector<std::string>& references) {
    if (!changed_)
        return;
    references.resize(links_.size());
    for (std::size_t i = 0; i < links_.size(); ++i) {
        Link& link = links_[i];
        if (!link.part.empty())
            continue; // links read from the file stay as they are
        link.part = package.freeName("xl/externalLinks/externalLink%1.xml");
        package.write(link.part, linkPartXml(link));
        Relationships rels;
        rels.add(Relationship{"rId1", std::string(Relationships::kExternalLinkPath), pathToTarget(link.path),
                              true});
        package.write(Relationships::partFor(link.part), rels.serialize());
        types.setOverride(link.part, kContentType);
        types.ensureDefault("rels", "application/vnd.openxmlformats-package.relationships+xml");
        references[i] = workbookRels.add(Relationships::kExternalLink,
                                         Relationships::relativeTarget(workbookPart_, link.part));
    }
    changed_ = false;
}

} // namespace platform::sheet
