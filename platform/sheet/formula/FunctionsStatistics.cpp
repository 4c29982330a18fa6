// Rounding to a multiple and the statistical functions: CEILING, FLOOR, MROUND, MEDIAN, LARGE,
// SMALL, RANK.EQ (RANK), STDEV.S (STDEV) and SUBTOTAL. Blocks give their numbers only; typed arguments
// also their truth values and texts that read as numbers.
#include "platform/sheet/formula/EvaluatorValues.h"

#include <numeric>

namespace platform::sheet {

using namespace evaluation;

namespace {

// Whether a stored formula is itself a subtotal, which SUBTOTAL passes over.
bool isSubtotal(std::string_view formula) {
    std::string upper;
    for (char c : formula.substr(0, 32))
        upper += char(std::toupper(static_cast<unsigned char>(c)));
    return upper.find("SUBTOTAL(") != std::string::npos || upper.find("AGGREGATE(") != std::string::npos;
}

// Variance of the numbers, of a sample (n - 1) or of the whole population (n).
std::optional<double> variance(const std::vector<double>& v, bool sample) {
    const double n = double(v.size());
    if (n < (sample ? 2 : 1))
        return std::nullopt;
    const double mean = std::accumulate(v.begin(), v.end(), 0.0) / n;
    double squares = 0;
    for (double x : v)
        squares += (x - mean) * (x - mean);
    return squares / (sample ? n - 1 : n);
}

} // namespace

std::vector<double> FormulaEvaluator::numbersOf(const Operand* args, int argc, CellRef at,
                                                CellValue& failure) const {
    std::vector<double> numbers;
    for (int i = 0; i < argc && !isError(failure); ++i) {
        if (args[i].ref || args[i].areas || args[i].array) {
            forEachValueOf(args[i], [&](const CellValue& v) {
                if (v.type == Type::Number)
                    numbers.push_back(v.number);
                else if (v.type == Type::Error)
                    failure = v;
                return !isError(failure);
            });
            continue;
        }
        if (args[i].missing)
            continue;
        const Number n = Number::of(scalar(args[i], at));
        if (n.failed())
            failure = n.failure;
        else
            numbers.push_back(n.value);
    }
    return numbers;
}

FormulaEvaluator::Operand FormulaEvaluator::statistics(Id id, const Operand* args, int argc,
                                                       CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    switch (id) {
    case Id::Ceiling:
    case Id::Floor:
    case Id::MRound: {
        const Number x = number(0, 0);
        const Number m = number(1, 0);
        if (x.failed())
            return Operand::of(x.failure);
        if (m.failed())
            return Operand::of(m.failure);
        if (m.value == 0)
            return Operand::of(id == Id::Floor && x.value != 0 ? error("#DIV/0!") : CellValue::fromNumber(0));
        if (x.value > 0 && m.value < 0)
            return Operand::of(error("#NUM!"));
        if (id == Id::MRound && x.value < 0 && m.value > 0)
            return Operand::of(error("#NUM!"));
        const double steps = x.value / m.value;
        // Steps within the program's 15 digits of a whole number are whole.
        const double near = std::round(steps);
        const double whole = std::fabs(steps - near) < 1e-12 ? near : steps;
        double result = 0;
        if (id == Id::MRound)
            result = std::round(whole) * m.value; // halves away from zero
        else if (x.value < 0 && m.value < 0)
            result = (id == Id::Ceiling ? std::ceil(whole) : std::floor(whole)) *
                     m.value; // away from / toward zero
        else
            result = (id == Id::Ceiling ? std::ceil(whole) : std::floor(whole)) * m.value;
        return Operand::of(numberResult(result));
    }
    default:
        break;
    }

    CellValue failure;
    const int valueArgs = id == Id::Large || id == Id::Small ? 1 : id == Id::RankEq ? 0 : argc;
    if (id == Id::RankEq) {
        const Number x = number(0, 0);
        if (x.failed())
            return Operand::of(x.failure);
        const FormulaRef* block = blockOf(args[1]);
        if (!block)
            return Operand::of(error("#VALUE!"));
        const std::vector<double> numbers = numbersOf(args + 1, 1, at, failure);
        if (isError(failure))
            return Operand::of(failure);
        const Number order = number(2, 0);
        if (order.failed())
            return Operand::of(order.failure);
        const bool ascending = order.value != 0;
        if (std::find(numbers.begin(), numbers.end(), x.value) == numbers.end())
            return Operand::of(error("#N/A"));
        const auto before = std::count_if(numbers.begin(), numbers.end(),
                                          [&](double v) { return ascending ? v < x.value : v > x.value; });
        return Operand::of(CellValue::fromNumber(double(before + 1)));
    }
    std::vector<double> numbers = numbersOf(args, valueArgs, at, failure);
    if (isError(failure))
        return Operand::of(failure);
    switch (id) {
    case Id::Median: {
        if (numbers.empty())
            return Operand::of(error("#NUM!"));
        std::sort(numbers.begin(), numbers.end());
        const std::size_t n = numbers.size();
        return Operand::of(numberResult(n % 2 ? numbers[n / 2] : (numbers[n / 2 - 1] + numbers[n / 2]) / 2));
    }
    case Id::Large:
    case Id::Small: {
        const Number k = number(1, 0);
        if (k.failed())
            return Operand::of(k.failure);
        const double position = std::ceil(k.value);
        if (position < 1 || position > double(numbers.size()))
            return Operand::of(error("#NUM!"));
        std::sort(numbers.begin(), numbers.end());
        const std::size_t i = std::size_t(position) - 1;
        return Operand::of(
            CellValue::fromNumber(id == Id::Small ? numbers[i] : numbers[numbers.size() - 1 - i]));
    }
    case Id::StDevS: {
        const auto v = variance(numbers, true);
        return Operand::of(v ? numberResult(std::sqrt(*v)) : error("#DIV/0!"));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

// SUBTOTAL(function, blocks...): 1 AVERAGE, 2 COUNT, 3 COUNTA, 4 MAX, 5 MIN, 6 PRODUCT, 7 STDEV,
// 8 STDEVP, 9 SUM, 10 VAR, 11 VARP over the blocks, passing over cells that hold subtotals;
// 101 to 111 the same without hidden rows.
FormulaEvaluator::Operand FormulaEvaluator::subtotal(const Operand* args, int argc, CellRef at) const {
    const Number which = Number::of(scalar(args[0], at));
    if (which.failed())
        return Operand::of(which.failure);
    const int code = int(std::trunc(which.value));
    const bool skipHidden = code > 100;
    const int function = skipHidden ? code - 100 : code;
    if (function < 1 || function > 11)
        return Operand::of(error("#VALUE!"));
    std::vector<double> numbers;
    double filled = 0;
    for (int i = 1; i < argc; ++i) {
        const FormulaRef* block = blockOf(args[i]);
        if (!block)
            return Operand::of(error("#VALUE!"));
        const int sheet = block->firstSheet;
        if (sheet < 0 || std::size_t(sheet) >= stores_.size() || !stores_[std::size_t(sheet)])
            continue;
        const CellStore& store = *stores_[std::size_t(sheet)];
        CellValue failure;
        store.forEachIn(block->range, [&](int row, const CellStore::Cell& cell) {
            if (cell.type == CellStore::Type::Empty || (skipHidden && store.rowHidden(row)) ||
                (cell.formula && isSubtotal(store.formulaText(cell.formula))))
                return true;
            const CellValue v = valueOf(sheet, cell);
            if (v.type == Type::Error && function != 2 && function != 3) {
                failure = v;
                return false;
            }
            ++filled;
            if (v.type == Type::Number)
                numbers.push_back(v.number);
            return true;
        });
        if (isError(failure))
            return Operand::of(failure);
    }
    const double count = double(numbers.size());
    const double sum = std::accumulate(numbers.begin(), numbers.end(), 0.0);
    switch (function) {
    case 1:
        return Operand::of(count == 0 ? error("#DIV/0!") : numberResult(sum / count));
    case 2:
        return Operand::of(CellValue::fromNumber(count));
    case 3:
        return Operand::of(CellValue::fromNumber(filled));
    case 4:
        return Operand::of(numberResult(count == 0 ? 0 : *std::max_element(numbers.begin(), numbers.end())));
    case 5:
        return Operand::of(numberResult(count == 0 ? 0 : *std::min_element(numbers.begin(), numbers.end())));
    case 6:
        return Operand::of(numberResult(
            count == 0 ? 0 : std::accumulate(numbers.begin(), numbers.end(), 1.0, std::multiplies<>())));
    case 9:
        return Operand::of(numberResult(sum));
    default: {
        const auto v = variance(numbers, function == 7 || function == 10);
        if (!v)
            return Operand::of(error("#DIV/0!"));
        return Operand::of(numberResult(function == 7 || function == 8 ? std::sqrt(*v) : *v));
    }
    }
}

} // namespace platform::sheet
