// The worksheet functions the formula engine evaluates, looked up by name without regard to
// case, with the number of arguments each takes, the family of the engine that evaluates it, and
// how it takes each argument (one value, a block read whole, or handed on; evaluated as an array
// or not). Also the functions whose precedents cannot be told from the formula's text (INDIRECT,
// OFFSET, the clock, random numbers): a formula that uses one of them may change whenever any
// cell is written.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform::sheet {

class FormulaFunctions {
public:
    enum class Id : std::uint16_t {
        None,
        // aggregates and the basic ones
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
        Xor,
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
        XMatch,
        Lookup,
        Choose,
        Rows,
        Columns,
        Offset,
        Indirect,
        Row,
        Column,
        Address,
        Areas,
        Hyperlink,
        // math and trigonometry
        Mod,
        Power,
        Sqrt,
        Sign,
        Trunc,
        Product,
        SumProduct,
        Radians,
        Degrees,
        Sin,
        Cos,
        Tan,
        Asin,
        Acos,
        Atan,
        Atan2,
        Sinh,
        Cosh,
        Tanh,
        Asinh,
        Acosh,
        Atanh,
        Pi,
        Exp,
        Ln,
        Log,
        Log10,
        Fact,
        FactDouble,
        Even,
        Odd,
        SumSq,
        Combin,
        Permut,
        Gcd,
        Lcm,
        Quotient,
        SqrtPi,
        CeilingMath,
        FloorMath,
        CeilingPrecise,
        FloorPrecise,
        MMult,
        Transpose,
        MDeterm,
        MInverse,
        SumX2MY2,
        SumX2PY2,
        SumXMY2,
        Roman,
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
        Text,
        Dollar,
        Fixed,
        Char,
        Code,
        Clean,
        UniChar,
        Unicode,
        // number systems
        Hex2Dec,
        Dec2Hex,
        Bin2Dec,
        Dec2Bin,
        Oct2Dec,
        Dec2Oct,
        Hex2Bin,
        Bin2Hex,
        Hex2Oct,
        Oct2Hex,
        Bin2Oct,
        Oct2Bin,
        Delta,
        GeStep,
        // information and logic
        IsBlank,
        IsNumber,
        IsText,
        IsNonText,
        IsLogical,
        IsError,
        IsErr,
        IsNa,
        IsRef,
        IsEven,
        IsOdd,
        ErrorType,
        Type,
        Na,
        IfNa,
        Ifs,
        Switch,
        // dates
        Date,
        Year,
        Month,
        Day,
        EoMonth,
        EDate,
        DateDif,
        Days,
        Days360,
        Weekday,
        WeekNum,
        IsoWeekNum,
        NetworkDays,
        NetworkDaysIntl,
        WorkDay,
        WorkDayIntl,
        YearFrac,
        Today,
        Now,
        Time,
        Hour,
        Minute,
        Second,
        DateValue,
        TimeValue,
        // statistics
        Ceiling,
        Floor,
        MRound,
        Median,
        Large,
        Small,
        RankEq,
        RankAvg,
        StDevS,
        StDevP,
        VarS,
        VarP,
        DevSq,
        AveDev,
        Mode,
        AverageA,
        MaxA,
        MinA,
        Percentile,
        PercentileExc,
        Quartile,
        QuartileExc,
        Correl,
        CovarianceP,
        CovarianceS,
        Slope,
        Intercept,
        Rsq,
        Forecast,
        GeoMean,
        HarMean,
        Skew,
        Kurt,
        Standardize,
        NormSDist,
        NormDist,
        NormSInv,
        NormInv,
        Poisson,
        Frequency,
        Subtotal,
        // finance
        Pmt,
        Pv,
        Fv,
        Npv,
        Irr,
        Rate,
        NPer,
        IPmt,
        PPmt,
        Sln,
        Syd,
        Db,
        Ddb,
        Effect,
        Nominal,
        Mirr,
        XNpv,
        XIrr,
        CumIPmt,
        CumPrinc,
        // complex numbers
        Complex,
        ImAbs,
        Imaginary,
        ImArgument,
        ImConjugate,
        ImReal,
        ImCos,
        ImCosh,
        ImCot,
        ImCsc,
        ImCsch,
        ImExp,
        ImLn,
        ImLog10,
        ImLog2,
        ImSec,
        ImSech,
        ImSin,
        ImSinh,
        ImSqrt,
        ImTan,
        ImDiv,
        ImPower,
        ImSub,
        ImProduct,
        ImSum,
    };

    // The part of the engine that evaluates a function.
    enum class Family : std::uint8_t {
        None,
        Aggregate,
        Rounding,
        Basic,
        Logical,
        Conditional,
        Lookup,
        Reference,
        Math,
        Text,
        NumberSystems,
        Information,
        Dates,
        Statistics,
        Subtotal,
        Finance,
        Complex,
    };

    struct Info {
        Id id = Id::None;
        int minArgs = 0;
        int maxArgs = 0;
        Family family = Family::None;
    };

    // Nothing for a function the engine does not evaluate.
    static std::optional<Info> find(std::string_view name);
    // The names of every function the engine evaluates.
    static std::vector<std::string_view> names();
    static Family familyOf(Id id);

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
    // True for the functions whose first argument, a reference, gives only a place and not the
    // values of its cells (OFFSET's base, ROW's and COLUMNS' blocks): a formula naming its own
    // cell there does not read itself.
    static bool takesPlaceOnly(std::string_view name);

    static constexpr int kMaxArgs = 255;
};

} // namespace platform::sheet
