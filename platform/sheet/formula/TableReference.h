// A reference to the cells of a table, as a formula writes it: the table's name alone (its data
// rows), or followed by brackets naming rows -- #All, #Data, #Headers, #Totals, #This Row (or @),
// alone or Headers with Data, Data with Totals -- and a column or a span of columns:
// Budget[Amount], Budget[[#Totals],[Amount]], Budget[[#Headers],[#Data],[Qty]:[Price]],
// Budget[@Qty], Budget[#All], Budget[]. Names compare without regard to case; an apostrophe takes
// the next character of a column's name as it is. Resolved against the tables the workbook has.
#pragma once

#include "platform/sheet/formula/FormulaCompiler.h"

#include <string_view>

namespace platform::sheet {

struct TableReference {
    enum class Outcome {
        Block,   // the cells are in ref (with thisRow: the formula's row of them)
        Unknown, // no table of that name, or a reference to the table the formula stands in
        Invalid, // rows or columns the table does not have: #REF!
    };
    Outcome outcome = Outcome::Unknown;
    FormulaRef ref;
    bool thisRow = false;

    // The reference a name token of a formula makes ("Budget[Amount]", "Budget"): Unknown when it
    // names no table.
    static TableReference resolve(std::string_view text, const FormulaCompiler::Scope& scope);
};

} // namespace platform::sheet
