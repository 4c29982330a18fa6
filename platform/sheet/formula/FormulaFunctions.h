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
    // True when the argument at that position (from 0) is a block of cells the function reads
    // cell by cell (SUMIF's ranges, VLOOKUP's table, every argument of SUMPRODUCT, ...).
    static bool takesBlock(Id id, int argument);
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
