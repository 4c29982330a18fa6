// A block of values: an array constant ({1,2;3,4}), the values of a block of cells, or what an
// operation on whole blocks gives. Values are kept row by row for its top left part only; every
// value beyond that part is one and the same `fill` (an empty cell for the rows below a sheet's
// last used cell), so that a whole column (A:A) costs what its used part costs.
#pragma once

#include "platform/sheet/CellValue.h"

#include <vector>

namespace platform::sheet {

struct ValueMatrix {
    int rows = 0;
    int columns = 0;
    int storedRows = 0;
    int storedColumns = 0;
    std::vector<CellValue> values; // storedRows x storedColumns
    CellValue fill;

    ValueMatrix() = default;
    // Every value stored.
    ValueMatrix(int r, int c)
        : ValueMatrix(r, c, r, c) {}
    // The top left sr x sc values stored, the rest `fill`.
    ValueMatrix(int r, int c, int sr, int sc, CellValue rest = {})
        : rows(r)
        , columns(c)
        , storedRows(sr)
        , storedColumns(sc)
        , values(std::size_t(sr) * std::size_t(sc))
        , fill(std::move(rest)) {}

    // One value.
    static ValueMatrix single(CellValue value) { return ValueMatrix(1, 1, 0, 0, std::move(value)); }

    // From 0.
    const CellValue& at(int row, int col) const {
        return row < storedRows && col < storedColumns
                   ? values[std::size_t(row) * std::size_t(storedColumns) + std::size_t(col)]
                   : fill;
    }
    // A stored value.
    CellValue& stored(int row, int col) {
        return values[std::size_t(row) * std::size_t(storedColumns) + std::size_t(col)];
    }
    double size() const { return double(rows) * double(columns); }
};

} // namespace platform::sheet
