// Reads a worksheet's sheetData element -- rows, cells, values, formulas, inline strings --
// straight from its text into the sheet's cell store, in one pass and without building a
// document tree: a sheet of a million cells would otherwise take many times its own size in
// tree nodes while it is read. The reader checks what it reads as an XML parser would (tags
// closed and nested, attributes quoted, entities and character references decoded, comments,
// processing instructions and CDATA sections taken as such) and refuses anything else with
// SheetError (DamagedXml) naming the part. Its cells, and the formulas it copies from shared
// formulas, are taken from the workbook's budget as they are read (CellBudget.h).
#pragma once

#include "platform/sheet/model/CellStore.h"
#include "platform/sheet/package/CellBudget.h"

#include <string_view>

namespace platform::sheet {

class SheetDataReader {
public:
    // Reads the sheetData element that `text` holds (from its start tag to its end tag); without
    // a budget nothing is counted.
    static void read(std::string_view text, CellStore& store, std::string_view partName,
                     CellBudget* budget = nullptr);
};

} // namespace platform::sheet
