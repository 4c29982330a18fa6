// A block of cells read in one piece, addressed from (1, 1) like the block the spreadsheet
// program returns: the values of a range, or its formulas.
#pragma once

#include "platform/sheet/CellValue.h"

#include <QString>
#include <vector>

namespace platform::sheet {

template <class T> class CellGrid {
public:
    CellGrid() = default;
    CellGrid(int rows, int columns)
        : rows_(rows)
        , columns_(columns)
        , cells_(std::size_t(rows) * std::size_t(columns)) {}

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    bool contains(int row, int col) const { return row >= 1 && row <= rows_ && col >= 1 && col <= columns_; }

    const T& at(int row, int col) const { return cells_[index(row, col)]; }
    T& at(int row, int col) { return cells_[index(row, col)]; }

private:
    std::size_t index(int row, int col) const {
        return std::size_t(row - 1) * std::size_t(columns_) + std::size_t(col - 1);
    }

    int rows_ = 0;
    int columns_ = 0;
    std::vector<T> cells_;
};

// The values of a block.
using ValueGrid = CellGrid<CellValue>;
// The formulas of a block: "=A1*2" for a formula, the constant as text, "" for an empty cell.
using FormulaGrid = CellGrid<QString>;

} // namespace platform::sheet
