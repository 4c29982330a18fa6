// Evaluates a compiled formula the way a spreadsheet program does: numbers, texts, truth values
// and error values; empty cells read as 0 or "" as the operation needs; texts that hold a
// number take part in arithmetic, other texts give #VALUE!; comparisons order numbers before
// texts before truth values and compare texts without regard to case; division by zero gives
// #DIV/0!, a reference to a sheet that is gone #REF!; a block used where one value is wanted
// gives the cell in the formula's own row or column, but in the steps evaluated as arrays,
// where it gives all its values. Arrays (constants, and blocks evaluated as arrays) go through
// operators and functions element by element: a single value, row or column is repeated to the
// other side's size, elements beyond a side's size are #N/A. References are joined (union),
// cut (intersection) and spanned (A1:INDEX(...)). The functions are those of FormulaFunctions,
// with the spreadsheet program's treatment of texts, truth values and empty cells in references
// and in typed arguments. Cells are read from the sheets' cell stores; the caller makes sure
// that every formula cell read has a current result.
#pragma once

#include "platform/sheet/CellValue.h"
#include "platform/sheet/formula/FormulaCompiler.h"
#include "platform/sheet/formula/FormulaProgram.h"
#include "platform/sheet/formula/ValueIndex.h"
#include "platform/sheet/formula/ValueMatrix.h"
#include "platform/sheet/model/CellStore.h"

#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace platform::sheet {

class SharedStrings;

class FormulaEvaluator {
public:
    // One store per sheet position; null for a sheet without cells. The values of blocks on a
    // sheet that holds no formula cannot change while the evaluator lives: they are read once and
    // kept for every formula that reads the same block.
    // With a scope, INDIRECT finds the sheets a text names. Dates count in the 1904 date system
    // when date1904 is set. The rows hidden within a sheet's filtered blocks (one list per
    // sheet) are filtered: SUBTOTAL 1 to 11 pass over them.
    FormulaEvaluator(std::vector<const CellStore*> stores, const SharedStrings& strings,
                     const FormulaCompiler::Scope* scope = nullptr, bool date1904 = false,
                     std::vector<std::vector<CellRange>> filters = {});

    // Whether the last evaluation read a formula cell whose result is not current (a formula
    // calculated every time may read cells its precedents do not name): its result is then not
    // current either.
    bool readUnsettled() const { return unsettled_; }
    // The cells among those still to be recalculated that the last evaluation read (sheet
    // position and cell): once they are current, it can be evaluated again.
    const std::vector<std::pair<int, CellRef>>& unsettledCells() const { return unsettledCells_; }
    // Whether the last evaluation met something the engine does not evaluate the way the
    // spreadsheet program does (an array of blocks, an array too large to hold): its result is
    // then left to the program.
    bool gaveUp() const { return gaveUp_; }

    // The result of the program for the cell `at` of the sheet at position `sheet`.
    CellValue evaluate(const FormulaProgram& program, CellRef at, int sheet) const;
    // The results of an array formula over a block of rows x columns whose top left cell is
    // `at`: an array result fills it (a single value, row or column repeated), #N/A where the
    // array has no element.
    ValueMatrix evaluateBlock(const FormulaProgram& program, CellRef at, int sheet, int rows,
                              int columns) const;

    // Whether the sheet at that position holds formula cells.
    bool sheetHoldsFormulas(int sheet) const {
        return sheet >= 0 && std::size_t(sheet) < formulaFree_.size() && !formulaFree_[std::size_t(sheet)];
    }

    // The value a stored cell holds.
    CellValue valueOf(int sheet, const CellStore::Cell& cell) const;

    // The number rounded to `digits` decimal places (negative: to tens, hundreds, ...), taken
    // as the 15 significant digits the spreadsheet program shows: 2.345 rounds to 2.35.
    enum class Rounding { Nearest, Up, Down };
    static double roundDecimal(double value, int digits, Rounding rounding);

    // The most elements an array may have; a larger one is left to the spreadsheet program.
    static constexpr double kMaxArrayElements = 4'000'000;

    // A value read as a number (shared by the function families).
    struct Number;

private:
    struct Operand;

    // A cell read by the formula: its value, noting a result that is not current.
    CellValue read(int sheet, int row, const CellStore::Cell& cell) const;
    CellValue cellValue(int sheet, CellRef cell) const;
    CellValue scalar(const Operand& operand, CellRef at) const;
    template <class F> void forEachValue(const FormulaRef& ref, F&& visit) const;
    // Visits the values a function reads from an argument taken whole: the filled cells of its
    // blocks (of a union too), every element of an array, or the one value.
    template <class F> void forEachValueOf(const Operand& operand, F&& visit) const;

    Operand run(const FormulaProgram& program, CellRef at, int sheet) const;
    Operand unaryOp(FormulaProgram::Op op, const Operand& a, CellRef at) const;
    Operand binaryOp(FormulaProgram::Op op, const Operand& a, const Operand& b, CellRef at) const;
    Operand referenceOp(FormulaProgram::Op op, const Operand* parts, int count) const;
    Operand call(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand dispatch(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand lifted(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand aggregate(FormulaFunctions::Id id, const Operand* args, int argc) const;
    Operand basic(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand logical(FormulaFunctions::Id id, const Operand* args, int argc) const;
    Operand round(FormulaFunctions::Id id, const Operand* args, CellRef at) const;
    // The function families, each in a file of its own (FunctionsConditional.cpp, ...).
    Operand conditional(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand lookup(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand lookupVector(const Operand* args, int argc, CellRef at) const;
    Operand address(const Operand* args, int argc, CellRef at) const;
    Operand math(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand matrices(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand squareMatrix(FormulaFunctions::Id id, const ValueMatrix& m) const;
    Operand complexNumbers(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand text(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand numberSystems(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand information(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand dates(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand workdays(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand statistics(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand floorWithMode(double x, double multiple, const Number& mode) const;
    Operand aggregateA(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand frequency(const Operand* args, CellRef at) const;
    Operand distribution(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand finance(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand cashFlows(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand depreciation(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand reference(FormulaFunctions::Id id, const Operand* args, int argc, CellRef at) const;
    Operand subtotal(const Operand* args, int argc, CellRef at) const;
    // Whether the row of the sheet is hidden by one of its filters.
    bool rowFiltered(int sheet, int row) const;
    // The numbers of the arguments as the statistical functions take them: every number of a
    // block (texts, truth values and empty cells passed over), typed numbers, truth values and
    // texts that read as numbers; an error is answered in failure.
    std::vector<double> numbersOf(const Operand* args, int argc, CellRef at, CellValue& failure) const;

    // Blocks read cell by cell: the reference of an operand when it names cells of one sheet,
    // the value at an offset from its top left cell, and how many of its rows and columns can
    // hold a value (those beyond the sheet's last used cell are empty).
    static const FormulaRef* blockOf(const Operand& operand);
    std::shared_ptr<const ValueMatrix> valuesIn(const FormulaRef& block) const;
    // The values valuesIn gives for the block, filed by value: the whole block (its stored cells
    // numbered row by row: line -1) or one of its columns (rows). Only for a block that cannot
    // change while the evaluator lives, and from its second use on: one formula reads faster
    // cell by cell. Null otherwise.
    const ValueIndex* indexOf(const FormulaRef& block, int line = -1, bool vertical = true) const;
    // The numbers of such a block, row by row over the stored part of its values (anything but a
    // number as 0), read once per calculation; null for another block and for one holding an
    // error. Its values (whose storedColumns number the rows) in `values`.
    const std::vector<double>* numbersIn(const FormulaRef& block, const ValueMatrix*& values) const;
    // SUMPRODUCT of blocks that cannot change and hold no error, from their numbers; nothing
    // for other arguments.
    std::optional<double> stableSumProduct(const Operand* args, int argc) const;
    CellValue cellIn(const FormulaRef& block, int row, int col) const;
    CellRef usedExtent(const FormulaRef& block) const;

    // Arrays: whether an operand goes through an operation element by element (an array, or a
    // block in a step evaluated as an array), and its values as an array (a single value as a
    // one-element array; a union or a span of sheets as #VALUE!).
    bool spreads(const Operand& operand) const;
    std::shared_ptr<const ValueMatrix> matrixOf(const Operand& operand, CellRef at) const;
    // The values of a block of cells or an array that a function reads whole; null for
    // anything else.
    std::shared_ptr<const ValueMatrix> tableOf(const Operand& operand) const;
    // Applies f to the elements at the same place of the arrays, each repeated to the size of
    // the largest where it is a single value, row or column.
    template <class F>
    Operand elementwise(const std::vector<std::shared_ptr<const ValueMatrix>>& arrays, F&& f) const;

    std::vector<const CellStore*> stores_;
    const SharedStrings& strings_;
    const FormulaCompiler::Scope* scope_;
    bool date1904_;
    std::vector<bool> formulaFree_; // per sheet: holds no formula
    std::vector<std::vector<CellRange>> filters_;
    mutable bool unsettled_ = false;
    mutable std::vector<std::pair<int, CellRef>> unsettledCells_;
    mutable bool gaveUp_ = false;
    mutable bool arrayStep_ = false;    // the step being evaluated is evaluated as an array
    mutable bool arrayFormula_ = false; // ... because it belongs to an array formula
    mutable int currentSheet_ = 0;      // of the formula being evaluated
    mutable std::map<std::tuple<int, int, int, int, int>, std::shared_ptr<const ValueMatrix>> blocks_;
    mutable std::vector<std::optional<CellRef>> lastUsed_; // per sheet, read once
    struct Indexed {
        int uses = 0;
        std::unique_ptr<ValueIndex> index;
    };
    mutable std::map<std::tuple<const ValueMatrix*, int, bool>, Indexed> indexes_;
    mutable std::map<const ValueMatrix*, std::optional<std::vector<double>>> numbers_;
};

} // namespace platform::sheet
