// Formulas compiled once per shape. Formulas that differ only in where they stand -- =SUM(A1:H1)
// in I1 and =SUM(A2:H2) in I2, copied down a column -- have one shape: their texts are the same
// once every reference written without $ is told as a distance from the formula's cell. The
// first formula of a shape is compiled; the others take its program with those references
// moved to their own cells, so that a workbook's formulas are compiled once per shape and read
// once per cell, not once per cell and calculation. Shapes are kept for the formulas of one sheet (its
// position in the workbook, the names and tables of the workbook as they are): the owner makes new ones when
// sheets change. At most kMaxShapes are kept.
#pragma once

#include "platform/sheet/CellAddress.h"
#include "platform/sheet/formula/FormulaCompiler.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform::sheet {

class FormulaShapes {
public:
    FormulaShapes() = default;
    // Cells point into the shapes: not to be copied.
    FormulaShapes(const FormulaShapes&) = delete;
    FormulaShapes& operator=(const FormulaShapes&) = delete;

    // The program of the formula of the cell `at` of the sheet at position `sheet`. The cell's
    // shape is remembered, so that its formula is read once until the cell is written.
    FormulaProgram compile(std::string_view formula, int sheet, CellRef at,
                           const FormulaCompiler::Scope& scope, bool arrayFormula);
    // The cell was written: its formula is read again.
    void forget(CellRef at) { cells_.erase(cellKey(at)); }

    static constexpr std::size_t kMaxShapes = 20000;

private:
    struct Shape {
        FormulaProgram program;
        CellRef at;
    };
    static std::string keyOf(const std::vector<FormulaText::Token>& tokens, CellRef at, bool arrayFormula);
    // The shape's program moved to the cell; nothing when a reference would leave the sheet or
    // turn over (A$5:A5 moved above row 5), which only compiling the cell's own text gets right.
    static std::optional<FormulaProgram> moved(const Shape& shape, CellRef at);

    static std::uint64_t cellKey(CellRef at) { return (std::uint64_t(at.row) << 16) | std::uint64_t(at.col); }

    std::unordered_map<std::string, Shape> shapes_;
    std::unordered_map<std::uint64_t, const Shape*> cells_; // the shape of each cell met
};

} // namespace platform::sheet
