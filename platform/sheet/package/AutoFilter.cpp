// Reading the block of a filter (see AutoFilter.h).
#include "platform/sheet/package/AutoFilter.h"

#include "platform/sheet/package/XmlText.h"

#include <cstring>
#include <pugixml.hpp>

namespace platform::sheet {

std::optional<CellRange> AutoFilter::filteredBlock(const pugi::xml_node& autoFilter) {
    bool filters = false;
    for (const pugi::xml_node& child : autoFilter.children())
        filters = filters || std::strcmp(XmlText::localName(child.name()), "filterColumn") == 0;
    if (!filters)
        return std::nullopt;
    return CellRange::parse(QString::fromUtf8(autoFilter.attribute("ref").value()));
}

std::optional<CellRange> AutoFilter::filteredBlock(std::string_view raw) {
    if (raw.empty())
        return std::nullopt;
    pugi::xml_document doc;
    if (!doc.load_buffer(raw.data(), raw.size()))
        return std::nullopt;
    return filteredBlock(doc.document_element());
}

} // namespace platform::sheet
