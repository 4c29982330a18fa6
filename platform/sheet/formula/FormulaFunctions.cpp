// The function table of the formula engine.
#include "platform/sheet/formula/FormulaFunctions.h"

#include <array>
#include <cctype>
#include <utility>
#include <vector>

namespace platform::sheet {

namespace {

using Id = FormulaFunctions::Id;
using Info = FormulaFunctions::Info;
using Family = FormulaFunctions::Family;

constexpr int kAny = FormulaFunctions::kMaxArgs;

constexpr std::pair<std::string_view, Info> kFunctions[] = {
    {"SUM", {Id::Sum, 1, kAny, Family::Aggregate}},
    {"AVERAGE", {Id::Average, 1, kAny, Family::Aggregate}},
    {"MIN", {Id::Min, 1, kAny, Family::Aggregate}},
    {"MAX", {Id::Max, 1, kAny, Family::Aggregate}},
    {"COUNT", {Id::Count, 1, kAny, Family::Aggregate}},
    {"COUNTA", {Id::CountA, 1, kAny, Family::Aggregate}},
    {"ROUND", {Id::Round, 2, 2, Family::Rounding}},
    {"ROUNDUP", {Id::RoundUp, 2, 2, Family::Rounding}},
    {"ROUNDDOWN", {Id::RoundDown, 2, 2, Family::Rounding}},
    {"INT", {Id::Int, 1, 1, Family::Basic}},
    {"ABS", {Id::Abs, 1, 1, Family::Basic}},
    {"IF", {Id::If, 2, 3, Family::Basic}},
    {"IFERROR", {Id::IfError, 2, 2, Family::Basic}},
    {"NOT", {Id::Not, 1, 1, Family::Basic}},
    {"TRUE", {Id::True, 0, 0, Family::Basic}},
    {"FALSE", {Id::False, 0, 0, Family::Basic}},
    {"CONCATENATE", {Id::Concatenate, 1, kAny, Family::Basic}},
    {"AND", {Id::And, 1, kAny, Family::Logical}},
    {"OR", {Id::Or, 1, kAny, Family::Logical}},
    {"XOR", {Id::Xor, 1, kAny, Family::Logical}},
    {"SUMIF", {Id::SumIf, 2, 3, Family::Conditional}},
    {"SUMIFS", {Id::SumIfs, 3, kAny, Family::Conditional}},
    {"COUNTIF", {Id::CountIf, 2, 2, Family::Conditional}},
    {"COUNTIFS", {Id::CountIfs, 2, kAny, Family::Conditional}},
    {"AVERAGEIF", {Id::AverageIf, 2, 3, Family::Conditional}},
    {"AVERAGEIFS", {Id::AverageIfs, 3, kAny, Family::Conditional}},
    {"MAXIFS", {Id::MaxIfs, 3, kAny, Family::Conditional}},
    {"MINIFS", {Id::MinIfs, 3, kAny, Family::Conditional}},
    {"COUNTBLANK", {Id::CountBlank, 1, 1, Family::Conditional}},
    {"VLOOKUP", {Id::VLookup, 3, 4, Family::Lookup}},
    {"HLOOKUP", {Id::HLookup, 3, 4, Family::Lookup}},
    {"MATCH", {Id::Match, 2, 3, Family::Lookup}},
    {"INDEX", {Id::Index, 2, 4, Family::Lookup}},
    {"XLOOKUP", {Id::XLookup, 3, 6, Family::Lookup}},
    {"XMATCH", {Id::XMatch, 2, 4, Family::Lookup}},
    {"LOOKUP", {Id::Lookup, 2, 3, Family::Lookup}},
    {"CHOOSE", {Id::Choose, 2, kAny, Family::Lookup}},
    {"ROWS", {Id::Rows, 1, 1, Family::Lookup}},
    {"COLUMNS", {Id::Columns, 1, 1, Family::Lookup}},
    {"ADDRESS", {Id::Address, 2, 5, Family::Lookup}},
    {"HYPERLINK", {Id::Hyperlink, 1, 2, Family::Lookup}},
    {"OFFSET", {Id::Offset, 3, 5, Family::Reference}},
    {"INDIRECT", {Id::Indirect, 1, 2, Family::Reference}},
    {"ROW", {Id::Row, 0, 1, Family::Reference}},
    {"COLUMN", {Id::Column, 0, 1, Family::Reference}},
    {"AREAS", {Id::Areas, 1, 1, Family::Reference}},
    {"MOD", {Id::Mod, 2, 2, Family::Math}},
    {"POWER", {Id::Power, 2, 2, Family::Math}},
    {"SQRT", {Id::Sqrt, 1, 1, Family::Math}},
    {"SIGN", {Id::Sign, 1, 1, Family::Math}},
    {"TRUNC", {Id::Trunc, 1, 2, Family::Math}},
    {"PRODUCT", {Id::Product, 1, kAny, Family::Math}},
    {"SUMPRODUCT", {Id::SumProduct, 1, kAny, Family::Math}},
    {"RADIANS", {Id::Radians, 1, 1, Family::Math}},
    {"DEGREES", {Id::Degrees, 1, 1, Family::Math}},
    {"SIN", {Id::Sin, 1, 1, Family::Math}},
    {"COS", {Id::Cos, 1, 1, Family::Math}},
    {"TAN", {Id::Tan, 1, 1, Family::Math}},
    {"ASIN", {Id::Asin, 1, 1, Family::Math}},
    {"ACOS", {Id::Acos, 1, 1, Family::Math}},
    {"ATAN", {Id::Atan, 1, 1, Family::Math}},
    {"ATAN2", {Id::Atan2, 2, 2, Family::Math}},
    {"SINH", {Id::Sinh, 1, 1, Family::Math}},
    {"COSH", {Id::Cosh, 1, 1, Family::Math}},
    {"TANH", {Id::Tanh, 1, 1, Family::Math}},
    {"ASINH", {Id::Asinh, 1, 1, Family::Math}},
    {"ACOSH", {Id::Acosh, 1, 1, Family::Math}},
    {"ATANH", {Id::Atanh, 1, 1, Family::Math}},
    {"PI", {Id::Pi, 0, 0, Family::Math}},
    {"EXP", {Id::Exp, 1, 1, Family::Math}},
    {"LN", {Id::Ln, 1, 1, Family::Math}},
    {"LOG", {Id::Log, 1, 2, Family::Math}},
    {"LOG10", {Id::Log10, 1, 1, Family::Math}},
    {"FACT", {Id::Fact, 1, 1, Family::Math}},
    {"FACTDOUBLE", {Id::FactDouble, 1, 1, Family::Math}},
    {"EVEN", {Id::Even, 1, 1, Family::Math}},
    {"ODD", {Id::Odd, 1, 1, Family::Math}},
    {"SUMSQ", {Id::SumSq, 1, kAny, Family::Math}},
    {"COMBIN", {Id::Combin, 2, 2, Family::Math}},
    {"PERMUT", {Id::Permut, 2, 2, Family::Math}},
    {"GCD", {Id::Gcd, 1, kAny, Family::Math}},
    {"LCM", {Id::Lcm, 1, kAny, Family::Math}},
    {"QUOTIENT", {Id::Quotient, 2, 2, Family::Math}},
    {"SQRTPI", {Id::SqrtPi, 1, 1, Family::Math}},
    {"CEILING.MATH", {Id::CeilingMath, 1, 3, Family::Math}},
    {"FLOOR.MATH", {Id::FloorMath, 1, 3, Family::Math}},
    {"CEILING.PRECISE", {Id::CeilingPrecise, 1, 2, Family::Math}},
    {"ISO.CEILING", {Id::CeilingPrecise, 1, 2, Family::Math}},
    {"FLOOR.PRECISE", {Id::FloorPrecise, 1, 2, Family::Math}},
    {"MMULT", {Id::MMult, 2, 2, Family::Math}},
    {"TRANSPOSE", {Id::Transpose, 1, 1, Family::Math}},
    {"MDETERM", {Id::MDeterm, 1, 1, Family::Math}},
    {"MINVERSE", {Id::MInverse, 1, 1, Family::Math}},
    {"SUMX2MY2", {Id::SumX2MY2, 2, 2, Family::Math}},
    {"SUMX2PY2", {Id::SumX2PY2, 2, 2, Family::Math}},
    {"SUMXMY2", {Id::SumXMY2, 2, 2, Family::Math}},
    {"ROMAN", {Id::Roman, 1, 2, Family::Math}},
    {"LEFT", {Id::Left, 1, 2, Family::Text}},
    {"RIGHT", {Id::Right, 1, 2, Family::Text}},
    {"MID", {Id::Mid, 3, 3, Family::Text}},
    {"LEN", {Id::Len, 1, 1, Family::Text}},
    {"UPPER", {Id::Upper, 1, 1, Family::Text}},
    {"LOWER", {Id::Lower, 1, 1, Family::Text}},
    {"PROPER", {Id::Proper, 1, 1, Family::Text}},
    {"TRIM", {Id::Trim, 1, 1, Family::Text}},
    {"SUBSTITUTE", {Id::Substitute, 3, 4, Family::Text}},
    {"REPLACE", {Id::Replace, 4, 4, Family::Text}},
    {"FIND", {Id::Find, 2, 3, Family::Text}},
    {"SEARCH", {Id::Search, 2, 3, Family::Text}},
    {"VALUE", {Id::Value, 1, 1, Family::Text}},
    {"CONCAT", {Id::Concat, 1, kAny, Family::Text}},
    {"TEXTJOIN", {Id::TextJoin, 3, kAny, Family::Text}},
    {"REPT", {Id::Rept, 2, 2, Family::Text}},
    {"EXACT", {Id::Exact, 2, 2, Family::Text}},
    {"N", {Id::N, 1, 1, Family::Text}},
    {"T", {Id::T, 1, 1, Family::Text}},
    {"TEXT", {Id::Text, 2, 2, Family::Text}},
    {"DOLLAR", {Id::Dollar, 1, 2, Family::Text}},
    {"FIXED", {Id::Fixed, 1, 3, Family::Text}},
    {"CHAR", {Id::Char, 1, 1, Family::Text}},
    {"CODE", {Id::Code, 1, 1, Family::Text}},
    {"CLEAN", {Id::Clean, 1, 1, Family::Text}},
    {"UNICHAR", {Id::UniChar, 1, 1, Family::Text}},
    {"UNICODE", {Id::Unicode, 1, 1, Family::Text}},
    {"HEX2DEC", {Id::Hex2Dec, 1, 1, Family::NumberSystems}},
    {"DEC2HEX", {Id::Dec2Hex, 1, 2, Family::NumberSystems}},
    {"BIN2DEC", {Id::Bin2Dec, 1, 1, Family::NumberSystems}},
    {"DEC2BIN", {Id::Dec2Bin, 1, 2, Family::NumberSystems}},
    {"OCT2DEC", {Id::Oct2Dec, 1, 1, Family::NumberSystems}},
    {"DEC2OCT", {Id::Dec2Oct, 1, 2, Family::NumberSystems}},
    {"HEX2BIN", {Id::Hex2Bin, 1, 2, Family::NumberSystems}},
    {"BIN2HEX", {Id::Bin2Hex, 1, 2, Family::NumberSystems}},
    {"HEX2OCT", {Id::Hex2Oct, 1, 2, Family::NumberSystems}},
    {"OCT2HEX", {Id::Oct2Hex, 1, 2, Family::NumberSystems}},
    {"BIN2OCT", {Id::Bin2Oct, 1, 2, Family::NumberSystems}},
    {"OCT2BIN", {Id::Oct2Bin, 1, 2, Family::NumberSystems}},
    {"DELTA", {Id::Delta, 1, 2, Family::NumberSystems}},
    {"GESTEP", {Id::GeStep, 1, 2, Family::NumberSystems}},
    {"ISBLANK", {Id::IsBlank, 1, 1, Family::Information}},
    {"ISNUMBER", {Id::IsNumber, 1, 1, Family::Information}},
    {"ISTEXT", {Id::IsText, 1, 1, Family::Information}},
    {"ISNONTEXT", {Id::IsNonText, 1, 1, Family::Information}},
    {"ISLOGICAL", {Id::IsLogical, 1, 1, Family::Information}},
    {"ISERROR", {Id::IsError, 1, 1, Family::Information}},
    {"ISERR", {Id::IsErr, 1, 1, Family::Information}},
    {"ISNA", {Id::IsNa, 1, 1, Family::Information}},
    {"ISREF", {Id::IsRef, 1, 1, Family::Information}},
    {"ISEVEN", {Id::IsEven, 1, 1, Family::Information}},
    {"ISODD", {Id::IsOdd, 1, 1, Family::Information}},
    {"ERROR.TYPE", {Id::ErrorType, 1, 1, Family::Information}},
    {"TYPE", {Id::Type, 1, 1, Family::Information}},
    {"NA", {Id::Na, 0, 0, Family::Information}},
    {"IFNA", {Id::IfNa, 2, 2, Family::Information}},
    {"IFS", {Id::Ifs, 2, kAny, Family::Information}},
    {"SWITCH", {Id::Switch, 3, kAny, Family::Information}},
    {"DATE", {Id::Date, 3, 3, Family::Dates}},
    {"YEAR", {Id::Year, 1, 1, Family::Dates}},
    {"MONTH", {Id::Month, 1, 1, Family::Dates}},
    {"DAY", {Id::Day, 1, 1, Family::Dates}},
    {"EOMONTH", {Id::EoMonth, 2, 2, Family::Dates}},
    {"EDATE", {Id::EDate, 2, 2, Family::Dates}},
    {"DATEDIF", {Id::DateDif, 3, 3, Family::Dates}},
    {"DAYS", {Id::Days, 2, 2, Family::Dates}},
    {"DAYS360", {Id::Days360, 2, 3, Family::Dates}},
    {"WEEKDAY", {Id::Weekday, 1, 2, Family::Dates}},
    {"WEEKNUM", {Id::WeekNum, 1, 2, Family::Dates}},
    {"ISOWEEKNUM", {Id::IsoWeekNum, 1, 1, Family::Dates}},
    {"NETWORKDAYS", {Id::NetworkDays, 2, 3, Family::Dates}},
    {"NETWORKDAYS.INTL", {Id::NetworkDaysIntl, 2, 4, Family::Dates}},
    {"WORKDAY", {Id::WorkDay, 2, 3, Family::Dates}},
    {"WORKDAY.INTL", {Id::WorkDayIntl, 2, 4, Family::Dates}},
    {"YEARFRAC", {Id::YearFrac, 2, 3, Family::Dates}},
    {"TODAY", {Id::Today, 0, 0, Family::Dates}},
    {"NOW", {Id::Now, 0, 0, Family::Dates}},
    {"TIME", {Id::Time, 3, 3, Family::Dates}},
    {"HOUR", {Id::Hour, 1, 1, Family::Dates}},
    {"MINUTE", {Id::Minute, 1, 1, Family::Dates}},
    {"SECOND", {Id::Second, 1, 1, Family::Dates}},
    {"DATEVALUE", {Id::DateValue, 1, 1, Family::Dates}},
    {"TIMEVALUE", {Id::TimeValue, 1, 1, Family::Dates}},
    {"CEILING", {Id::Ceiling, 2, 2, Family::Statistics}},
    {"FLOOR", {Id::Floor, 2, 3, Family::Statistics}},
    {"MROUND", {Id::MRound, 2, 2, Family::Statistics}},
    {"MEDIAN", {Id::Median, 1, kAny, Family::Statistics}},
    {"LARGE", {Id::Large, 2, 2, Family::Statistics}},
    {"SMALL", {Id::Small, 2, 2, Family::Statistics}},
    {"RANK.EQ", {Id::RankEq, 2, 3, Family::Statistics}},
    {"RANK", {Id::RankEq, 2, 3, Family::Statistics}},
    {"RANK.AVG", {Id::RankAvg, 2, 3, Family::Statistics}},
    {"STDEV.S", {Id::StDevS, 1, kAny, Family::Statistics}},
    {"STDEV", {Id::StDevS, 1, kAny, Family::Statistics}},
    {"STDEV.P", {Id::StDevP, 1, kAny, Family::Statistics}},
    {"STDEVP", {Id::StDevP, 1, kAny, Family::Statistics}},
    {"VAR.S", {Id::VarS, 1, kAny, Family::Statistics}},
    {"VAR", {Id::VarS, 1, kAny, Family::Statistics}},
    {"VAR.P", {Id::VarP, 1, kAny, Family::Statistics}},
    {"VARP", {Id::VarP, 1, kAny, Family::Statistics}},
    {"DEVSQ", {Id::DevSq, 1, kAny, Family::Statistics}},
    {"AVEDEV", {Id::AveDev, 1, kAny, Family::Statistics}},
    {"MODE", {Id::Mode, 1, kAny, Family::Statistics}},
    {"MODE.SNGL", {Id::Mode, 1, kAny, Family::Statistics}},
    {"AVERAGEA", {Id::AverageA, 1, kAny, Family::Statistics}},
    {"MAXA", {Id::MaxA, 1, kAny, Family::Statistics}},
    {"MINA", {Id::MinA, 1, kAny, Family::Statistics}},
    {"PERCENTILE", {Id::Percentile, 2, 2, Family::Statistics}},
    {"PERCENTILE.INC", {Id::Percentile, 2, 2, Family::Statistics}},
    {"PERCENTILE.EXC", {Id::PercentileExc, 2, 2, Family::Statistics}},
    {"QUARTILE", {Id::Quartile, 2, 2, Family::Statistics}},
    {"QUARTILE.INC", {Id::Quartile, 2, 2, Family::Statistics}},
    {"QUARTILE.EXC", {Id::QuartileExc, 2, 2, Family::Statistics}},
    {"CORREL", {Id::Correl, 2, 2, Family::Statistics}},
    {"PEARSON", {Id::Correl, 2, 2, Family::Statistics}},
    {"COVAR", {Id::CovarianceP, 2, 2, Family::Statistics}},
    {"COVARIANCE.P", {Id::CovarianceP, 2, 2, Family::Statistics}},
    {"COVARIANCE.S", {Id::CovarianceS, 2, 2, Family::Statistics}},
    {"SLOPE", {Id::Slope, 2, 2, Family::Statistics}},
    {"INTERCEPT", {Id::Intercept, 2, 2, Family::Statistics}},
    {"RSQ", {Id::Rsq, 2, 2, Family::Statistics}},
    {"FORECAST", {Id::Forecast, 3, 3, Family::Statistics}},
    {"FORECAST.LINEAR", {Id::Forecast, 3, 3, Family::Statistics}},
    {"GEOMEAN", {Id::GeoMean, 1, kAny, Family::Statistics}},
    {"HARMEAN", {Id::HarMean, 1, kAny, Family::Statistics}},
    {"SKEW", {Id::Skew, 1, kAny, Family::Statistics}},
    {"KURT", {Id::Kurt, 1, kAny, Family::Statistics}},
    {"STANDARDIZE", {Id::Standardize, 3, 3, Family::Statistics}},
    {"NORMSDIST", {Id::NormSDist, 1, 1, Family::Statistics}},
    {"NORM.S.DIST", {Id::NormSDist, 2, 2, Family::Statistics}},
    {"NORMDIST", {Id::NormDist, 4, 4, Family::Statistics}},
    {"NORM.DIST", {Id::NormDist, 4, 4, Family::Statistics}},
    {"NORMSINV", {Id::NormSInv, 1, 1, Family::Statistics}},
    {"NORM.S.INV", {Id::NormSInv, 1, 1, Family::Statistics}},
    {"NORMINV", {Id::NormInv, 3, 3, Family::Statistics}},
    {"NORM.INV", {Id::NormInv, 3, 3, Family::Statistics}},
    {"POISSON", {Id::Poisson, 3, 3, Family::Statistics}},
    {"POISSON.DIST", {Id::Poisson, 3, 3, Family::Statistics}},
    {"FREQUENCY", {Id::Frequency, 2, 2, Family::Statistics}},
    {"SUBTOTAL", {Id::Subtotal, 2, kAny, Family::Subtotal}},
    {"PMT", {Id::Pmt, 3, 5, Family::Finance}},
    {"PV", {Id::Pv, 3, 5, Family::Finance}},
    {"FV", {Id::Fv, 3, 5, Family::Finance}},
    {"NPV", {Id::Npv, 2, kAny, Family::Finance}},
    {"IRR", {Id::Irr, 1, 2, Family::Finance}},
    {"RATE", {Id::Rate, 3, 6, Family::Finance}},
    {"NPER", {Id::NPer, 3, 5, Family::Finance}},
    {"IPMT", {Id::IPmt, 4, 6, Family::Finance}},
    {"PPMT", {Id::PPmt, 4, 6, Family::Finance}},
    {"SLN", {Id::Sln, 3, 3, Family::Finance}},
    {"SYD", {Id::Syd, 4, 4, Family::Finance}},
    {"DB", {Id::Db, 4, 5, Family::Finance}},
    {"DDB", {Id::Ddb, 4, 5, Family::Finance}},
    {"EFFECT", {Id::Effect, 2, 2, Family::Finance}},
    {"NOMINAL", {Id::Nominal, 2, 2, Family::Finance}},
    {"MIRR", {Id::Mirr, 3, 3, Family::Finance}},
    {"XNPV", {Id::XNpv, 3, 3, Family::Finance}},
    {"XIRR", {Id::XIrr, 2, 3, Family::Finance}},
    {"CUMIPMT", {Id::CumIPmt, 6, 6, Family::Finance}},
    {"CUMPRINC", {Id::CumPrinc, 6, 6, Family::Finance}},
    {"COMPLEX", {Id::Complex, 2, 3, Family::Complex}},
    {"IMABS", {Id::ImAbs, 1, 1, Family::Complex}},
    {"IMAGINARY", {Id::Imaginary, 1, 1, Family::Complex}},
    {"IMARGUMENT", {Id::ImArgument, 1, 1, Family::Complex}},
    {"IMCONJUGATE", {Id::ImConjugate, 1, 1, Family::Complex}},
    {"IMREAL", {Id::ImReal, 1, 1, Family::Complex}},
    {"IMCOS", {Id::ImCos, 1, 1, Family::Complex}},
    {"IMCOSH", {Id::ImCosh, 1, 1, Family::Complex}},
    {"IMCOT", {Id::ImCot, 1, 1, Family::Complex}},
    {"IMCSC", {Id::ImCsc, 1, 1, Family::Complex}},
    {"IMCSCH", {Id::ImCsch, 1, 1, Family::Complex}},
    {"IMEXP", {Id::ImExp, 1, 1, Family::Complex}},
    {"IMLN", {Id::ImLn, 1, 1, Family::Complex}},
    {"IMLOG10", {Id::ImLog10, 1, 1, Family::Complex}},
    {"IMLOG2", {Id::ImLog2, 1, 1, Family::Complex}},
    {"IMSEC", {Id::ImSec, 1, 1, Family::Complex}},
    {"IMSECH", {Id::ImSech, 1, 1, Family::Complex}},
    {"IMSIN", {Id::ImSin, 1, 1, Family::Complex}},
    {"IMSINH", {Id::ImSinh, 1, 1, Family::Complex}},
    {"IMSQRT", {Id::ImSqrt, 1, 1, Family::Complex}},
    {"IMTAN", {Id::ImTan, 1, 1, Family::Complex}},
    {"IMDIV", {Id::ImDiv, 2, 2, Family::Complex}},
    {"IMPOWER", {Id::ImPower, 2, 2, Family::Complex}},
    {"IMSUB", {Id::ImSub, 2, 2, Family::Complex}},
    {"IMPRODUCT", {Id::ImProduct, 1, kAny, Family::Complex}},
    {"IMSUM", {Id::ImSum, 1, kAny, Family::Complex}},
};

// Functions whose result depends on cells they do not name, or on nothing in the workbook.
constexpr std::array<std::string_view, 9> kHidden = {"INDIRECT", "OFFSET", "CELL",        "INFO",     "NOW",
                                                     "TODAY",    "RAND",   "RANDBETWEEN", "RANDARRAY"};

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i]))
            return false;
    return true;
}

// A function written by a newer program carries a prefix ("_xlfn.RANDARRAY").
std::string_view withoutPrefix(std::string_view name) {
    for (std::string_view prefix : {std::string_view("_XLFN."), std::string_view("_XLWS.")})
        if (name.size() > prefix.size() && sameName(name.substr(0, prefix.size()), prefix))
            return name.substr(prefix.size());
    return name;
}

} // namespace

std::optional<Info> FormulaFunctions::find(std::string_view name) {
    for (const auto& [known, info] : kFunctions)
        if (sameName(name, known))
            return info;
    return std::nullopt;
}

std::vector<std::string_view> FormulaFunctions::names() {
    std::vector<std::string_view> out;
    for (const auto& [name, info] : kFunctions)
        out.push_back(name);
    return out;
}

FormulaFunctions::Family FormulaFunctions::familyOf(Id id) {
    // Every function's family, indexed by its id, made once from the table.
    static const std::vector<Family> families = [] {
        std::vector<Family> out;
        for (const auto& [name, info] : kFunctions) {
            if (std::size_t(info.id) >= out.size())
                out.resize(std::size_t(info.id) + 1, Family::None);
            out[std::size_t(info.id)] = info.family;
        }
        return out;
    }();
    return std::size_t(id) < families.size() ? families[std::size_t(id)] : Family::None;
}

FormulaFunctions::Argument FormulaFunctions::argument(Id id, int index) {
    // What a function evaluates as an array it reads whole.
    if (takesArray(id, index))
        return Argument::Block;
    auto block = [](bool b) { return b ? Argument::Block : Argument::Value; };
    switch (id) {
    case Id::Sum:
    case Id::Average:
    case Id::Min:
    case Id::Max:
    case Id::Count:
    case Id::CountA:
    case Id::And:
    case Id::Or:
    case Id::Xor:
    case Id::Product:
    case Id::Concat:
    case Id::Median:
    case Id::StDevS:
    case Id::StDevP:
    case Id::VarS:
    case Id::VarP:
    case Id::DevSq:
    case Id::AveDev:
    case Id::Mode:
    case Id::AverageA:
    case Id::MaxA:
    case Id::MinA:
    case Id::GeoMean:
    case Id::HarMean:
    case Id::Skew:
    case Id::Kurt:
    case Id::SumSq:
    case Id::Gcd:
    case Id::Lcm:
    case Id::Rows:
    case Id::Columns:
    case Id::CountBlank:
    case Id::T:
    case Id::Areas:
    case Id::ImSum:
    case Id::ImProduct:
        return Argument::Block;
    case Id::IsRef:
    case Id::Type:
        return Argument::Passed;
    case Id::If:
        return index == 0 ? Argument::Value : Argument::Passed;
    case Id::IfError:
    case Id::IfNa:
        return index == 0 ? Argument::Value : Argument::Passed;
    case Id::Choose:
        return index == 0 ? Argument::Value : Argument::Passed;
    case Id::Ifs:
        return index % 2 == 0 ? Argument::Value : Argument::Passed;
    case Id::Switch:
        return index == 0 || index % 2 == 1 ? Argument::Value : Argument::Passed;
    case Id::SumIf:
    case Id::AverageIf:
        return block(index == 0 || index == 2);
    case Id::SumIfs:
    case Id::AverageIfs:
    case Id::MaxIfs:
    case Id::MinIfs:
        return block(index == 0 || index % 2 == 1);
    case Id::CountIfs:
        return block(index % 2 == 0);
    case Id::CountIf:
    case Id::Index:
    case Id::Offset:
    case Id::Row:
    case Id::Column:
    case Id::Large:
    case Id::Small:
    case Id::Irr:
    case Id::Mirr:
    case Id::Percentile:
    case Id::PercentileExc:
    case Id::Quartile:
    case Id::QuartileExc:
        return block(index == 0);
    case Id::VLookup:
    case Id::HLookup:
    case Id::Match:
    case Id::XMatch:
    case Id::RankEq:
    case Id::RankAvg:
        return block(index == 1);
    case Id::XNpv:
        return block(index >= 1);
    case Id::XIrr:
        return block(index <= 1);
    case Id::WorkDay:
        return block(index == 2);
    case Id::NetworkDaysIntl:
    case Id::WorkDayIntl:
        return block(index == 3);
    case Id::XLookup:
        return index == 3 ? Argument::Passed : block(index == 1 || index == 2);
    case Id::TextJoin:
    case Id::Subtotal:
    case Id::Npv:
        return block(index >= (id == Id::TextJoin ? 2 : 1));
    case Id::NetworkDays:
        return block(index == 2);
    default:
        return Argument::Value;
    }
}

bool FormulaFunctions::takesArray(Id id, int index) {
    switch (id) {
    case Id::SumProduct:
    case Id::MMult:
    case Id::Transpose:
    case Id::SumX2MY2:
    case Id::SumX2PY2:
    case Id::SumXMY2:
    case Id::Correl:
    case Id::CovarianceP:
    case Id::CovarianceS:
    case Id::Slope:
    case Id::Intercept:
    case Id::Rsq:
    case Id::Frequency:
        return true;
    case Id::MDeterm:
    case Id::MInverse:
        return true;
    case Id::Lookup:
        return index >= 1;
    case Id::Forecast:
        return index >= 1;
    default:
        return false;
    }
}

bool FormulaFunctions::calculatedEveryTime(std::string_view name) {
    const std::string_view plain = withoutPrefix(name);
    return sameName(plain, "TODAY") || sameName(plain, "NOW") || sameName(plain, "OFFSET") ||
           sameName(plain, "INDIRECT");
}

bool FormulaFunctions::takesPlaceOnly(std::string_view name) {
    const std::string_view plain = withoutPrefix(name);
    for (std::string_view placeOnly : {"OFFSET", "ROW", "COLUMN", "ROWS", "COLUMNS", "AREAS", "ISREF"})
        if (sameName(plain, placeOnly))
            return true;
    return false;
}

bool FormulaFunctions::hasHiddenPrecedents(std::string_view name) {
    const std::string_view plain = withoutPrefix(name);
    for (std::string_view hidden : kHidden)
        if (sameName(plain, hidden))
            return true;
    return false;
}

} // namespace platform::sheet
