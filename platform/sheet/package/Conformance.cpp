// Namespace spellings of the two conformance classes.
#include "platform/sheet/package/Conformance.h"

#include <utility>

namespace platform::sheet {

namespace {

constexpr std::pair<std::string_view, std::string_view> kSpellings[] = {
    {"http://schemas.openxmlformats.org/spreadsheetml/2006/main",
     "http://purl.oclc.org/ooxml/spreadsheetml/main"},
    {"http://schemas.openxmlformats.org/officeDocument/2006/relationships",
     "http://purl.oclc.org/ooxml/officeDocument/relationships"},
};

} // namespace

bool Conformance::isStrict(std::string_view namespaceUri) {
    return namespaceUri.starts_with("http://purl.oclc.org/ooxml/");
}

std::string Conformance::toStrict(std::string_view text) {
    std::string out(text);
    for (const auto& [transitional, strict] : kSpellings)
        for (std::size_t at = out.find(transitional); at != std::string::npos;
             at = out.find(transitional, at + strict.size()))
            out.replace(at, transitional.size(), strict);
    return out;
}

} // namespace platform::sheet
