// Turns the text of a formula into a FormulaProgram: the references resolved to sheet
// positions and cell blocks, defined names replaced by what they stand for, operators ordered
// by the spreadsheet program's precedence (negation, percent, power, multiplication and
// division, addition and subtraction, concatenation, comparison). Works on the tokens of
// FormulaText, so that references are read the same way as everywhere else in the layer.
#pragma once

#include "platform/sheet/formula/FormulaProgram.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform::sheet {

class FormulaCompiler {
public:
    // What the names in a formula mean in the workbook being calculated.
    class Scope {
    public:
        virtual ~Scope() = default;
        // The position of the worksheet of that name (UTF-8, compared without regard to case);
        // -1 when there is no worksheet of that name.
        virtual int sheetIndex(std::string_view name) const = 0;
        // The text of the defined name as seen from the sheet at position `sheet`, without its
        // "="; null when there is no such name.
        virtual const std::string* definedName(std::string_view name, int sheet) const = 0;
    };

    // Compiles the formula of a cell of the sheet at position `sheet`.
    static FormulaProgram compile(std::string_view formula, int sheet, const Scope& scope);

    // Only the cell blocks the formula reads and whether it reads cells it does not name: what
    // the dependency index needs, found without compiling the whole formula.
    static void findPrecedents(std::string_view formula, int sheet, const Scope& scope,
                               std::vector<FormulaRef>& precedents, bool& hidden);

    // Names nested in names are followed this deep; deeper ones are not evaluated.
    static constexpr int kMaxNameDepth = 8;
};

} // namespace platform::sheet
