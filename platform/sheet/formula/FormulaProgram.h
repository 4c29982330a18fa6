// A formula made ready to evaluate: its steps in postfix order (operands are pushed, operators
// and functions take their arguments from the top), the texts, references and array constants
// the steps use, and whether the engine can evaluate it at all. A formula that holds something
// the engine does not evaluate (a function of the spreadsheet program it does not evaluate, a
// reference to another workbook, a spilled range, a table the workbook does not have) is compiled
// all the same, so that its
// precedents are known; it is then marked not evaluable, and its cell is stale. Steps evaluated
// as arrays -- every step of an array formula, and the arguments of the functions that take
// arrays (SUMPRODUCT's) -- read a block of cells as all its values where other steps take the
// one cell in the formula's row or column.
#pragma once

#include "platform/sheet/formula/FormulaFunctions.h"
#include "platform/sheet/formula/FormulaRef.h"
#include "platform/sheet/formula/ValueMatrix.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace platform::sheet {

struct FormulaProgram {
    enum class Op : std::uint8_t {
        Number,    // number
        Text,      // texts[index]
        Boolean,   // number 0 or 1
        Error,     // texts[index], an error code
        Missing,   // an argument left out: IF(A1,,2)
        Reference, // refs[index]
        Array,     // arrays[index], an array constant {1,2;3,4}
        Negate,
        Percent,
        Add,
        Subtract,
        Multiply,
        Divide,
        Power,
        Concat,
        Equal,
        NotEqual,
        Less,
        Greater,
        LessEqual,
        GreaterEqual,
        Range,             // the block spanning two references: A1:INDEX(B:B,5)
        Intersect,         // the cells two references share: A1:C3 B2:D4
        Union,             // several references as one: (A1:A3,C1:C3), argc of them
        Spill,             // the block a formula spills into: B2#
        ImplicitIntersect, // @A1:A3: the one cell of the formula's row or column
        ThisRow,           // Budget[@Qty]: the cells of a table's block in the formula's row
        Call,              // function with argc arguments
    };

    // How a step is evaluated: as an array because a function takes it as one (SUMPRODUCT's
    // arguments), or because it belongs to an array formula.
    enum class Array : std::uint8_t { No, Argument, Formula };

    struct Step {
        Op op = Op::Number;
        FormulaFunctions::Id function = FormulaFunctions::Id::None;
        Array array = Array::No;
        std::uint16_t argc = 0;
        std::uint32_t index = 0;
        double number = 0;
    };

    std::vector<Step> steps;
    std::vector<QString> texts;
    std::vector<FormulaRef> refs;
    std::vector<ValueMatrix> arrays;
    // Every cell block the formula reads, also through defined names, and also in the parts
    // the engine does not evaluate.
    std::vector<FormulaRef> precedents;
    bool evaluable = true;
    // The formula reads cells it does not name (INDIRECT, a table column) or changes by itself
    // (NOW): it may change whenever anything is written.
    bool hiddenPrecedents = false;

    // Which corners of each reference (refs, precedents) move with the formula's cell: the parts
    // written without $ in the formula's own text (not those of names or tables), so that
    // formulas of one shape share a program whose references are moved to each cell.
    static constexpr std::uint8_t kFirstRow = 1, kFirstColumn = 2, kLastRow = 4, kLastColumn = 8;
    std::vector<std::uint8_t> refMoves;
    std::vector<std::uint8_t> precedentMoves;
};

} // namespace platform::sheet
