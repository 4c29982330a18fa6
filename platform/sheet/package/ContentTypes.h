// The package's content types part ([Content_Types].xml): the default type of each file
// extension and the override of each part. Parts added or removed by the layer get their
// overrides here; the part is written again only when something changed.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::sheet {

class ContentTypes {
public:
    static constexpr std::string_view kPartName = "[Content_Types].xml";

    // Throws SheetError (DamagedXml).
    static ContentTypes parse(std::string_view xml);

    // The part's type: its override, else the default of its extension, else "".
    std::string typeOf(std::string_view part) const;

    bool hasOverride(std::string_view part) const;
    void setOverride(std::string_view part, std::string_view type);
    void removeOverride(std::string_view part);
    void ensureDefault(std::string_view extension, std::string_view type);

    bool changed() const { return changed_; }
    std::string serialize() const;

private:
    std::vector<std::pair<std::string, std::string>> defaults_;  // extension (lower case), type
    std::vector<std::pair<std::string, std::string>> overrides_; // part name with "/", type
    bool changed_ = false;
};

} // namespace platform::sheet
