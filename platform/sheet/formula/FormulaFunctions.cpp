// The function table of the formula engine.
#include "platform/sheet/formula/FormulaFunctions.h"

#include <array>
#include <cctype>
#include <utility>

namespace platform::sheet {

namespace {

using Id = FormulaFunctions::Id;
using Info = FormulaFunctions::Info;

constexpr int kAny = FormulaFunctions::kMaxArgs;

constexpr std::array<std::pair<std::string_view, Info>, 111> kFunctions = {{
    {"SUM", {Id::Sum, 1, kAny}},
    {"AVERAGE", {Id::Average, 1, kAny}},
    {"MIN", {Id::Min, 1, kAny}},
    {"MAX", {Id::Max, 1, kAny}},
    {"COUNT", {Id::Count, 1, kAny}},
    {"COUNTA", {Id::CountA, 1, kAny}},
    {"ROUND", {Id::Round, 2, 2}},
    {"ROUNDUP", {Id::RoundUp, 2, 2}},
    {"ROUNDDOWN", {Id::RoundDown, 2, 2}},
    {"INT", {Id::Int, 1, 1}},
    {"ABS", {Id::Abs, 1, 1}},
    {"IF", {Id::If, 2, 3}},
    {"IFERROR", {Id::IfError, 2, 2}},
    {"AND", {Id::And, 1, kAny}},
    {"OR", {Id::Or, 1, kAny}},
    {"NOT", {Id::Not, 1, 1}},
    {"TRUE", {Id::True, 0, 0}},
    {"FALSE", {Id::False, 0, 0}},
    {"CONCATENATE", {Id::Concatenate, 1, kAny}},
    {"SUMIF", {Id::SumIf, 2, 3}},
    {"SUMIFS", {Id::SumIfs, 3, kAny}},
    {"COUNTIF", {Id::CountIf, 2, 2}},
    {"COUNTIFS", {Id::CountIfs, 2, kAny}},
    {"AVERAGEIF", {Id::AverageIf, 2, 3}},
    {"AVERAGEIFS", {Id::AverageIfs, 3, kAny}},
    {"MAXIFS", {Id::MaxIfs, 3, kAny}},
    {"MINIFS", {Id::MinIfs, 3, kAny}},
    {"COUNTBLANK", {Id::CountBlank, 1, 1}},
    {"VLOOKUP", {Id::VLookup, 3, 4}},
    {"HLOOKUP", {Id::HLookup, 3, 4}},
    {"MATCH", {Id::Match, 2, 3}},
    {"INDEX", {Id::Index, 2, 4}},
    {"XLOOKUP", {Id::XLookup, 3, 6}},
    {"CHOOSE", {Id::Choose, 2, kAny}},
    {"ROWS", {Id::Rows, 1, 1}},
    {"COLUMNS", {Id::Columns, 1, 1}},
    {"MOD", {Id::Mod, 2, 2}},
    {"POWER", {Id::Power, 2, 2}},
    {"SQRT", {Id::Sqrt, 1, 1}},
    {"SIGN", {Id::Sign, 1, 1}},
    {"TRUNC", {Id::Trunc, 1, 2}},
    {"PRODUCT", {Id::Product, 1, kAny}},
    {"SUMPRODUCT", {Id::SumProduct, 1, kAny}},
    {"LEFT", {Id::Left, 1, 2}},
    {"RIGHT", {Id::Right, 1, 2}},
    {"MID", {Id::Mid, 3, 3}},
    {"LEN", {Id::Len, 1, 1}},
    {"UPPER", {Id::Upper, 1, 1}},
    {"LOWER", {Id::Lower, 1, 1}},
    {"PROPER", {Id::Proper, 1, 1}},
    {"TRIM", {Id::Trim, 1, 1}},
    {"SUBSTITUTE", {Id::Substitute, 3, 4}},
    {"REPLACE", {Id::Replace, 4, 4}},
    {"FIND", {Id::Find, 2, 3}},
    {"SEARCH", {Id::Search, 2, 3}},
    {"VALUE", {Id::Value, 1, 1}},
    {"CONCAT", {Id::Concat, 1, kAny}},
    {"TEXTJOIN", {Id::TextJoin, 3, kAny}},
    {"REPT", {Id::Rept, 2, 2}},
    {"EXACT", {Id::Exact, 2, 2}},
    {"N", {Id::N, 1, 1}},
    {"T", {Id::T, 1, 1}},
    {"ISBLANK", {Id::IsBlank, 1, 1}},
    {"ISNUMBER", {Id::IsNumber, 1, 1}},
    {"ISTEXT", {Id::IsText, 1, 1}},
    {"ISLOGICAL", {Id::IsLogical, 1, 1}},
    {"ISERROR", {Id::IsError, 1, 1}},
    {"ISERR", {Id::IsErr, 1, 1}},
    {"ISNA", {Id::IsNa, 1, 1}},
    {"NA", {Id::Na, 0, 0}},
    {"IFNA", {Id::IfNa, 2, 2}},
    {"IFS", {Id::Ifs, 2, kAny}},
    {"SWITCH", {Id::Switch, 3, kAny}},
    {"XOR", {Id::Xor, 1, kAny}},
    {"DATE", {Id::Date, 3, 3}},
    {"YEAR", {Id::Year, 1, 1}},
    {"MONTH", {Id::Month, 1, 1}},
    {"DAY", {Id::Day, 1, 1}},
    {"EOMONTH", {Id::EoMonth, 2, 2}},
    {"EDATE", {Id::EDate, 2, 2}},
    {"DATEDIF", {Id::DateDif, 3, 3}},
    {"DAYS", {Id::Days, 2, 2}},
    {"WEEKDAY", {Id::Weekday, 1, 2}},
    {"NETWORKDAYS", {Id::NetworkDays, 2, 3}},
    {"YEARFRAC", {Id::YearFrac, 2, 3}},
    {"TODAY", {Id::Today, 0, 0}},
    {"NOW", {Id::Now, 0, 0}},
    {"CEILING", {Id::Ceiling, 2, 2}},
    {"FLOOR", {Id::Floor, 2, 2}},
    {"MROUND", {Id::MRound, 2, 2}},
    {"MEDIAN", {Id::Median, 1, kAny}},
    {"LARGE", {Id::Large, 2, 2}},
    {"SMALL", {Id::Small, 2, 2}},
    {"RANK.EQ", {Id::RankEq, 2, 3}},
    {"RANK", {Id::RankEq, 2, 3}},
    {"STDEV.S", {Id::StDevS, 1, kAny}},
    {"STDEV", {Id::StDevS, 1, kAny}},
    {"PMT", {Id::Pmt, 3, 5}},
    {"PV", {Id::Pv, 3, 5}},
    {"FV", {Id::Fv, 3, 5}},
    {"NPV", {Id::Npv, 2, kAny}},
    {"IRR", {Id::Irr, 1, 2}},
    {"RATE", {Id::Rate, 3, 6}},
    {"SUBTOTAL", {Id::Subtotal, 2, kAny}},
    {"TEXT", {Id::Text, 2, 2}},
    {"OFFSET", {Id::Offset, 3, 5}},
    {"INDIRECT", {Id::Indirect, 1, 2}},
    {"ROW", {Id::Row, 0, 1}},
    {"COLUMN", {Id::Column, 0, 1}},
}};

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

FormulaFunctions::Argument FormulaFunctions::argument(Id id, int index) {
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
    case Id::SumProduct:
    case Id::Concat:
    case Id::Median:
    case Id::StDevS:
    case Id::Rows:
    case Id::Columns:
    case Id::CountBlank:
    case Id::T:
        return Argument::Block;
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
        return block(index == 0);
    case Id::VLookup:
    case Id::HLookup:
    case Id::Match:
    case Id::RankEq:
        return block(index == 1);
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
        return true;
    default:
        return false;
    }
}

bool FormulaFunctions::calculatedEveryTime(std::string_view name) {
    const std::string_view plain = withoutPrefix(name);
    return sameName(plain, "TODAY") || sameName(plain, "NOW") || sameName(plain, "OFFSET") ||
           sameName(plain, "INDIRECT");
}

bool FormulaFunctions::hasHiddenPrecedents(std::string_view name) {
    const std::string_view plain = withoutPrefix(name);
    for (std::string_view hidden : kHidden)
        if (sameName(plain, hidden))
            return true;
    return false;
}

} // namespace platform::sheet
