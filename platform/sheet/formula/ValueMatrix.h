// A block of values that is no block of cells: an array constant ({1,2;3,4}) or what an
// operation on whole blocks gives. Values are kept row by row.
#pragma once

#include "platform/sheet/CellValue.h"

#include <vector>

namespace platform::sheet {

struct ValueMatrix {
    int rows = 0;
    int columns = 0;
    std::vector<CellValue> values;

    ValueMatrix() = default;
    ValueMatrix(int r, int c)
        : rows(r)
        , columns(c)
        , values(std::size_t(r) * std::size_t(c)) {}

    // From 0.
    const CellValue& at(int row, int col) const {
        return values[std::size_t(row) * std::size_t(columns) + std::size_t(col)];
    }
    CellValue& at(int row, int col) {
        return values[std::size_t(row) * std::size_t(columns) + std::size_t(col)];
    }
};

} // namespace platform::sheet
