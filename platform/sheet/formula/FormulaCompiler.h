// Turns the text of a formula into a FormulaProgram: the references resolved to sheet
// positions and cell blocks, defined names replaced by what they stand for, operators ordered
// by the spreadsheet program's precedence (reference operators, negation, percent, power,
// multiplication and division, addition and subtraction, concatenation, comparison), the
// arguments that functions take as arrays marked to be evaluated as arrays. The whole grammar of
// formulas is read -- array constants, unions and intersections of references, "@" and spilled
// ranges -- so that a text that is no formula can be told from a formula the engine does not
// evaluate: the first is refused when it is typed, the second is compiled as not evaluable. Works on the
// tokens of FormulaText, so that references are read the same way as everywhere else in the layer.
#pragma once

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/formula/FormulaProgram.h"

#include <QString>
#include <optional>
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
        // Whether the workbook carries macros, whose functions formulas may call.
        virtual bool hasMacros() const { return false; }

        // A table of the workbook: its sheet's position, its block, its header and totals rows
        // and its columns' names (UTF-8).
        struct Table {
            int sheet = 0;
            CellRange range;
            int headerRows = 1;
            int totalsRows = 0;
            std::vector<std::string> columns;
        };
        // The table of that name (compared without regard to case); null when there is none.
        virtual const Table* table(std::string_view name) const { return nullptr; }
    };

    // Compiles the formula of a cell of the sheet at position `sheet`; an array formula (one
    // cell's or a block's) is evaluated as an array in every step.
    static FormulaProgram compile(std::string_view formula, int sheet, const Scope& scope,
                                  bool arrayFormula = false);
    // The same from the formula's tokens.
    static FormulaProgram compile(const std::vector<FormulaText::Token>& tokens, int sheet,
                                  const Scope& scope, bool arrayFormula = false);

    // Only the cell blocks the formula reads and whether it reads cells it does not name: what
    // the dependency index needs, found without compiling the whole formula.
    static void findPrecedents(std::string_view formula, int sheet, const Scope& scope,
                               std::vector<FormulaRef>& precedents, bool& hidden);

    // Why the text (without its "=") is no formula the spreadsheet program would take: its
    // grammar, a function of the engine called with too few or too many arguments, its length;
    // nothing when it is a formula.
    static std::optional<QString> syntaxProblem(std::string_view formula);

    // Names nested in names are followed this deep; deeper ones are not evaluated.
    static constexpr int kMaxNameDepth = 8;
    // The longest formula the spreadsheet program takes, in characters.
    static constexpr int kMaxLength = 8192;
};

} // namespace platform::sheet
