// The worksheet functions the formula engine evaluates, looked up by name without regard to
// case, with the number of arguments each takes. Also the functions whose precedents cannot be
// told from the formula's text (INDIRECT, OFFSET, the clock, random numbers): a formula that
// uses one of them may change whenever any cell is written.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform::sheet {

class FormulaFunctions {
public:
    enum class Id : std::uint8_t {
        None,
        Sum,
        Average,
        Min,
        Max,
        Count,
        CountA,
        Round,
        RoundUp,
        RoundDown,
        Int,
        Abs,
        If,
        IfError,
        And,
        Or,
        Not,
        True,
        False,
        Concatenate,
        // conditional
        SumIf,
        SumIfs,
        CountIf,
        CountIfs,
        AverageIf,
        AverageIfs,
        MaxIfs,
        MinIfs,
        CountBlank,
        // lookup and reference
        VLookup,
        HLookup,
        Match,
        Index,
        XLookup,
        Choose,
        Rows,
        Columns,
        // math
        Mod,
        Power,
        Sqrt,
        Sign,
        Trunc,
        Product,
        SumProduct,
        // text
        Left,
        Right,
        Mid,
        Len,
        Upper,
        Lower,
        Proper,
        Trim,
        Substitute,
        Replace,
        Find,
        Search,
        Value,
        Concat,
        TextJoin,
        Rept,
        Exact,
        N,
        T,
        // information and logic
        IsBlank,
        IsNumber,
        IsText,
        IsLogical,
        IsError,
        IsErr,
        IsNa,
        Na,
        IfNa,
        Ifs,
        Switch,
        Xor,
        // dates
        Date,
        Year,
        Month,
        Day,
        EoMonth,
        EDate,
        DateDif,
        Days,
        Weekday,
        NetworkDays,
        YearFrac,
        Today,
        Now,
        // more arithmetic, statistics and finance
        Ceiling,
        Floor,
        MRound,
        Median,
        Large,
        Small,
        RankEq,
        StDevS,
        Pmt,
        Pv,
        Fv,
        Npv,
        Irr,
        Rate,
        Subtotal,
        Text,
        Offset,
        Indirect,
        Row,
        Column,
    };

    struct Info {
        Id id = Id::None;
        int minArgs = 0;
        int maxArgs = 0;
    };

    // Nothing for a function the engine does not evaluate.
    static std::optional<Info> find(std::string_view name);

    // How a function takes the argument at a position (from 0).
    enum class Argument : std::uint8_t {
        // One value: a block gives the cell in the formula's row or column (all its cells where
        // evaluated as an array), and an array of values makes the function give an array of
        // its results, one for each value.
        Value,
        // A block of cells or an array, read whole (SUMIF's ranges, VLOOKUP's table, every
        // argument of SUM).
        Block,
        // Handed on as it is (IF's results), also a block.
        Passed,
    };
    static Argument argument(Id id, int index);
    // True where the function evaluates the argument as an array, whatever the formula is
    // (every argument of SUMPRODUCT).
    static bool takesArray(Id id, int index);
    // True for the functions that read cells the formula does not name, or that change
    // without any cell changing.
    static bool hasHiddenPrecedents(std::string_view name);
    // True for the functions the engine evaluates whose result may change without any cell they
    // name changing: the clock (TODAY, NOW) and the references found while calculating (OFFSET,
    // INDIRECT). Formulas using them are calculated again at every calculation.
    static bool calculatedEveryTime(std::string_view name);

    static constexpr int kMaxArgs = 255;
};

} // namespace platform::sheet
