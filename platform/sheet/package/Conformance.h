// The two conformance classes of the file format spell their namespaces differently:
// Transitional (http://schemas.openxmlformats.org/...) and Strict (http://purl.oclc.org/ooxml/...).
// The layer writes Transitional spelling; what it adds to a Strict workbook (relationship ids of
// its sheets, relationship types, new parts) it turns into Strict spelling, so that a Strict
// reader finds it.
#pragma once

#include <string>
#include <string_view>

namespace platform::sheet {

class Conformance {
public:
    // True for a namespace in Strict spelling.
    static bool isStrict(std::string_view namespaceUri);
    // The text with the Transitional namespaces the layer writes (the spreadsheet one, the
    // relationships one and the relationship types below it) in Strict spelling.
    static std::string toStrict(std::string_view text);
    // The text as the conformance class wants it.
    static std::string spelled(std::string_view transitional, bool strict) {
        return strict ? toStrict(transitional) : std::string(transitional);
    }
};

} // namespace platform::sheet
