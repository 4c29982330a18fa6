// A table part (xl/tables/tableN.xml): a named block of a worksheet with a header row, data rows
// and a totals row, and the names of its columns. The formula engine reads it to resolve the
// references formulas make to a table (Budget[Amount], Budget[[#Totals],[Amount]]); the layer
// does not change tables, so the part is kept as it is.
#pragma once

#include "platform/sheet/CellRange.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sheet {

struct TablePart {
    static constexpr std::string_view kRelationship = "table";

    std::string name; // the name formulas use (displayName), UTF-8
    CellRange range;  // header, data and totals rows
    int headerRows = 1;
    int totalsRows = 0;
    std::vector<std::string> columns; // UTF-8, left to right
    // The block of the table's filter when it filters something: rows it hides are filtered.
    std::optional<CellRange> filter;

    // Throws SheetError (DamagedXml) naming the part.
    static TablePart parse(const std::string& xml, std::string_view partName);
};

} // namespace platform::sheet
