// A relationships part (_rels/*.rels): the links from one part (or the package) to the parts
// and outside files it uses, by id, type and target. Types are compared by their last word
// ("worksheet", "sharedStrings"), so the transitional and the strict spelling of the format
// both match. Targets are resolved against the source part's folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::sheet {

struct Relationship {
    std::string id;
    std::string type;
    std::string target;
    bool external = false;
};

class Relationships {
public:
    // Full type names the layer writes.
    static constexpr std::string_view kOfficeDocument =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
    static constexpr std::string_view kWorksheet =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
    static constexpr std::string_view kSharedStrings =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
    static constexpr std::string_view kStyles =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
    static constexpr std::string_view kTheme =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";
    static constexpr std::string_view kExternalLink =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/externalLink";
    static constexpr std::string_view kExternalLinkPath =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/externalLinkPath";

    // Throws SheetError (DamagedXml).
    static Relationships parse(std::string_view xml);

    // "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"; "" (the package) -> "_rels/.rels".
    static std::string partFor(std::string_view sourcePart);
    // The part a target names, seen from the source part ("" for the package).
    static std::string resolve(std::string_view sourcePart, std::string_view target);
    // The target that names `part` from the source part, relative to its folder.
    static std::string relativeTarget(std::string_view sourcePart, std::string_view part);
    // True when the type's last word is `word` ("worksheet").
    static bool typeIs(std::string_view type, std::string_view word);

    const std::vector<Relationship>& all() const { return items_; }
    const Relationship* byId(std::string_view id) const;
    const Relationship* firstOfType(std::string_view word) const;

    // Adds a link with a new id and returns the id.
    std::string add(std::string_view type, std::string_view target, bool external = false);
    void add(const Relationship& relationship) {
        items_.push_back(relationship);
        changed_ = true;
    }
    void remove(std::string_view id);
    void setTarget(std::string_view id, std::string_view target);

    // Whether links were added, removed or changed since reading.
    bool changed() const { return changed_; }
    std::string serialize() const;

private:
    std::vector<Relationship> items_;
    bool changed_ = false;
};

} // namespace platform::sheet
