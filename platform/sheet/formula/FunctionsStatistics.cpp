// Rounding to a multiple and the statistical functions: CEILING, FLOOR, MROUND, MEDIAN, LARGE,
// SMALL, RANK.EQ (RANK) and STDEV.S (STDEV). Blocks give their numbers only; typed arguments
// also their truth values and texts that read as numbers.
#include "platform/sheet/formula/EvaluatorValues.h"

#include <numeric>

namespace platform::sheet {

using namespace evaluation;

std::vector<double> FormulaEvaluator::numbersOf(const Operand* args, int argc, CellRef at,
                                                CellValue& failure) const {
    std::vector<double> numbers;
    for (int i = 0; i < argc && !isError(failure); ++i) {
        if (const FormulaRef* block = blockOf(args[i])) {
            forEachValue(*block, [&](const CellValue& v) {
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
            return Operand::of(id == Id::Floor ? error("#DIV/0!") : CellValue::fromNumber(0));
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
        if (numbers.size() < 2)
            return Operand::of(error("#DIV/0!"));
        const double mean = std::accumulate(numbers.begin(), numbers.end(), 0.0) / double(numbers.size());
        double squares = 0;
        for (double v : numbers)
            squares += (v - mean) * (v - mean);
        return Operand::of(numberResult(std::sqrt(squares / double(numbers.size() - 1))));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

} // namespace platform::sheet
