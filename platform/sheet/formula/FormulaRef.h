// A reference that a formula makes: a block of cells on one sheet, or the same block on a span
// of sheets (Jan:Mar!B2), the sheets given by their position in the workbook's tab order. The
// formula engine reads cells through it, and the dependency index files formulas under it.
#pragma once

#include "platform/sheet/CellRange.h"

namespace platform::sheet {

struct FormulaRef {
    int firstSheet = 0;
    int lastSheet = 0;
    CellRange range;

    bool isSingleCell() const { return firstSheet == lastSheet && range.isSingleCell(); }
    friend bool operator==(const FormulaRef&, const FormulaRef&) = default;
};

} // namespace platform::sheet
