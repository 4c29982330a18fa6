// The custom document properties part (docProps/custom.xml): named values a program keeps with
// a workbook, which spreadsheet programs carry through their own saves. The layer reads every
// property's value as text and writes the values it sets as texts (vt:lpwstr); a property it
// does not set keeps its element, attributes and value as they were. Names are compared
// without regard to case, as spreadsheet programs compare them.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::sheet {

class CustomProperties {
public:
    static constexpr std::string_view kPartName = "docProps/custom.xml";
    static constexpr std::string_view kContentType =
        "application/vnd.openxmlformats-officedocument.custom-properties+xml";
    static constexpr std::string_view kRelationship =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
    static constexpr std::string_view kStrictRelationship =
        "http://purl.oclc.org/ooxml/officeDocument/relationships/customProperties";

    // True for the package relationship that links the part, in either conformance class.
    static bool isRelationshipType(std::string_view type);

    // An empty part, in the spelling of the workbook's conformance class.
    explicit CustomProperties(bool strict = false);
    // Throws SheetError (DamagedXml) naming the part.
    static CustomProperties parse(std::string_view xml, std::string_view partName);

    std::optional<QString> value(const QString& name) const;
    void set(const QString& name, const QString& value);

    bool changed() const { return changed_; }
    void markSaved() { changed_ = false; }
    std::string serialize() const;

private:
    using Attributes = std::vector<std::pair<std::string, std::string>>;
    struct Property {
        std::string element; // the qualified element name as written ("property")
        Attributes attributes;
        QString name;
        QString text;         // the value as text
        std::string valueXml; // the value element as written
    };

    static constexpr std::size_t kNone = std::size_t(-1);
    std::size_t indexOf(const QString& name) const;
    std::string valuePrefix();

    std::string rootElement_ = "Properties";
    Attributes rootAttributes_;
    std::vector<Property> properties_;
    bool changed_ = false;
};

} // namespace platform::sheet
