// Formula texts, read token by token: references (with their sheet prefixes), names,
// functions, strings, numbers and operators. What the layer does to formulas is done here on
// tokens, never by searching text: moving the relative references of a shared formula to each
// cell of its block, following a renamed sheet, marking references to a deleted sheet, turning
// references to other sheets into references to another workbook, and converting between the
// A1 and R1C1 reference styles. Formulas are UTF-8, without their leading "=".
#pragma once

#include "platform/sheet/CellAddress.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sheet {

class FormulaText {
public:
    enum class Kind {
        Space,
        String, // "text" with doubled quotes inside
        Number,
        Error,       // #REF! and the other error codes
        Operator,    // + - * / ^ & = < > % and the range colon
        Punctuation, // ( ) { } , ;
        Function,    // a name followed by "("
        Name,        // defined names, TRUE, FALSE, table references
        SheetPrefix, // Sheet1!  'My sheet'!  [1]Rates!  'C:/f/[B.xlsx]Rates'!  Jan:Mar!
        Cell,        // B3, $B$3 (or R3C2, R[1]C in R1C1 style)
        Column,      // one side of a column range: C in C:E
        Row,         // one side of a row range: 7 in 7:9
        Other,
    };

    struct Token {
        Kind kind;
        std::string text;
    };

    // What a sheet prefix says: an optional workbook (its folder and its name, or the index of
    // one of the workbook's external links), one sheet or a span of sheets.
    struct Prefix {
        std::string folder; // as written before "[", with its final separator
        std::string book;   // the text in "[...]"; empty when there is none
        std::string sheet;
        std::string lastSheet; // for Jan:Mar!, else empty
        bool hasBook = false;
    };

    static std::vector<Token> tokenize(std::string_view formula, ReferenceStyle style = ReferenceStyle::A1);
    static std::string join(const std::vector<Token>& tokens);

    // The formula of a cell that lies rows and columns away from the cell whose formula
    // `tokens` is: relative references move along; a reference moved off the sheet is #REF!.
    static std::string shifted(const std::vector<Token>& tokens, int rows, int columns);

    static Prefix parsePrefix(std::string_view prefixToken);
    static std::string formatPrefix(const Prefix& prefix);
    // The name as it stands in a formula: quoted when it needs quotes.
    static std::string quotedSheet(std::string_view name);

    // Rewrites every sheet prefix that `change` answers for; others stay. Returns the formula
    // unchanged (same text) when no prefix changed.
    static std::string mapPrefixes(std::string_view formula,
                                   const std::function<std::optional<Prefix>(const Prefix&)>& change);

    // References to sheet `oldName` (without a workbook; case-insensitive) follow the rename.
    static std::string renameSheet(std::string_view formula, std::string_view oldName,
                                   std::string_view newName);
    // References to a deleted sheet become #REF!.
    static std::string dropSheet(std::string_view formula, std::string_view name);

    // A1 <-> R1C1 for cell references; relative R1C1 parts are taken against `base`.
    // Throws SheetError (BadFormula) for a reference that cannot be converted.
    static std::string convertStyle(std::string_view formula, ReferenceStyle from, ReferenceStyle to,
                                    CellRef base = {});

    // True when the text holds no sheet prefix that mentions a workbook.
    static bool mayHoldExternal(std::string_view formula) {
        return formula.find('[') != std::string_view::npos;
    }
};

} // namespace platform::sheet
