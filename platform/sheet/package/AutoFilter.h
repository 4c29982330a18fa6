// The filter of a worksheet or of a table (the autoFilter element): the block it covers when it
// filters something (it holds a filter column), so that the rows it hides are told from rows
// hidden by hand -- SUBTOTAL 1 to 11 pass over the first and count the second.
#pragma once

#include "platform/sheet/CellRange.h"

#include <optional>
#include <string_view>

namespace pugi {
class xml_node;
}

namespace platform::sheet {

struct AutoFilter {
    // From the element as read with the rest of its part.
    static std::optional<CellRange> filteredBlock(const pugi::xml_node& autoFilter);
    // From the element's raw text, as a worksheet part keeps it.
    static std::optional<CellRange> filteredBlock(std::string_view raw);
};

} // namespace platform::sheet
