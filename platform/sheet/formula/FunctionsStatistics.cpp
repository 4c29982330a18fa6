// Rounding to a multiple and the statistical functions of lists of numbers: CEILING, FLOOR,
// MROUND, MEDIAN, LARGE, SMALL, RANK.EQ (RANK), RANK.AVG (also over a union of blocks), the
// standard deviations and variances,
// DEVSQ, AVEDEV, MODE, AVERAGEA, MAXA, MINA, PERCENTILE and QUARTILE (both kinds), GEOMEAN,
// HARMEAN, SKEW, KURT, FREQUENCY and SUBTOTAL. Blocks and arrays give their numbers only (the
// functions ending in A also their truth values, and texts as 0); typed arguments also their
// truth values and texts that read as numbers. The functions of pairs of numbers and of the
// normal distribution are in FunctionsDistribution.cpp.
#include "platform/sheet/formula/EvaluatorValues.h"

#include <numeric>
#include <unordered_map>

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

// Steps within the program's 15 digits of a whole number are whole.
double wholeSteps(double steps) {
    const double near = std::round(steps);
    return std::fabs(steps - near) < 1e-12 ? near : steps;
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

bool FormulaEvaluator::rowFiltered(int sheet, int row) const {
    if (sheet < 0 || std::size_t(sheet) >= filters_.size())
        return false;
    for (const CellRange& block : filters_[std::size_t(sheet)])
        if (row > block.first.row && row <= block.last.row)
            return stores_[std::size_t(sheet)]->rowHidden(row);
    return false;
}

// FLOOR with a third argument, a mode, as the writers that give it one calculate it: the number
// and the multiple of one sign (#VALUE! else), rounded down to a multiple; a negative number away
// from zero, or toward zero where the mode is not 0.
FormulaEvaluator::Operand FormulaEvaluator::floorWithMode(double x, double multiple,
                                                          const Number& mode) const {
    if (mode.failed())
        return Operand::of(mode.failure);
    if (x == 0)
        return Operand::of(CellValue::fromNumber(0));
    if ((x < 0) != (multiple < 0))
        return Operand::of(error("#VALUE!"));
    const double steps = wholeSteps(x / multiple);
    const bool towardZero = x > 0 || mode.value != 0;
    return Operand::of(numberResult((towardZero ? std::floor(steps) : std::ceil(steps)) * multiple));
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
        if (id == Id::Floor && argc > 2)
            return floorWithMode(x.value, m.value, number(2, 0));
        if (x.value > 0 && m.value < 0)
            return Operand::of(error("#NUM!"));
        if (id == Id::MRound && x.value < 0 && m.value > 0)
            return Operand::of(error("#NUM!"));
        const double whole = wholeSteps(x.value / m.value);
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

    switch (id) {
    case Id::Correl:
    case Id::CovarianceP:
    case Id::CovarianceS:
    case Id::Slope:
    case Id::Intercept:
    case Id::Rsq:
    case Id::Forecast:
    case Id::Standardize:
    case Id::NormSDist:
    case Id::NormDist:
    case Id::NormSInv:
    case Id::NormInv:
    case Id::Poisson:
        return distribution(id, args, argc, at);
    case Id::AverageA:
    case Id::MaxA:
    case Id::MinA:
        return aggregateA(id, args, argc, at);
    case Id::Frequency:
        return frequency(args, at);
    default:
        break;
    }

    CellValue failure;
    const bool oneList = id == Id::Large || id == Id::Small || id == Id::Percentile ||
                         id == Id::PercentileExc || id == Id::Quartile || id == Id::QuartileExc;
    const int valueArgs = oneList ? 1 : id == Id::RankEq || id == Id::RankAvg ? 0 : argc;
    if (id == Id::RankEq || id == Id::RankAvg) {
        const Number x = number(0, 0);
        if (x.failed())
            return Operand::of(x.failure);
        // The numbers of a block of cells or of a union of blocks.
        if (!blockOf(args[1]) && !args[1].areas)
            return Operand::of(error("#VALUE!"));
        const std::vector<double> numbers = numbersOf(args + 1, 1, at, failure);
        if (isError(failure))
            return Operand::of(failure);
        const Number order = number(2, 0);
        if (order.failed())
            return Operand::of(order.failure);
        const bool ascending = order.value != 0;
        const auto ties = std::count(numbers.begin(), numbers.end(), x.value);
        if (ties == 0)
            return Operand::of(error("#N/A"));
        const auto before = std::count_if(numbers.begin(), numbers.end(),
                                          [&](double v) { return ascending ? v < x.value : v > x.value; });
        // RANK.AVG gives tied numbers the average of the ranks they take.
        const double rank = id == Id::RankAvg ? double(before) + (double(ties) + 1) / 2 : double(before + 1);
        return Operand::of(CellValue::fromNumber(rank));
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
    case Id::StDevS:
    case Id::StDevP:
    case Id::VarS:
    case Id::VarP: {
        const bool sample = id == Id::StDevS || id == Id::VarS;
        const auto v = variance(numbers, sample);
        if (!v)
            return Operand::of(error("#DIV/0!"));
        return Operand::of(numberResult(id == Id::StDevS || id == Id::StDevP ? std::sqrt(*v) : *v));
    }
    case Id::DevSq:
    case Id::AveDev: {
        if (numbers.empty())
            return Operand::of(error("#NUM!"));
        const double mean = std::accumulate(numbers.begin(), numbers.end(), 0.0) / double(numbers.size());
        double sum = 0;
        for (double x : numbers)
            sum += id == Id::DevSq ? (x - mean) * (x - mean) : std::fabs(x - mean);
        return Operand::of(numberResult(id == Id::DevSq ? sum : sum / double(numbers.size())));
    }
    case Id::Mode: {
        // The number met most often; of several, the one met first. None twice: #N/A; no
        // number at all (a single empty cell): #VALUE!.
        if (numbers.empty())
            return Operand::of(error("#VALUE!"));
        std::unordered_map<double, std::size_t> counts;
        for (double x : numbers)
            ++counts[x];
        double best = 0;
        std::size_t bestCount = 1;
        for (double x : numbers) {
            const std::size_t count = counts[x];
            if (count > bestCount) {
                bestCount = count;
                best = x;
            }
        }
        return Operand::of(bestCount > 1 ? CellValue::fromNumber(best) : error("#N/A"));
    }
    case Id::GeoMean:
    case Id::HarMean: {
        if (numbers.empty() || std::any_of(numbers.begin(), numbers.end(), [](double x) { return x <= 0; }))
            return Operand::of(error("#NUM!"));
        double sum = 0;
        for (double x : numbers)
            sum += id == Id::GeoMean ? std::log(x) : 1 / x;
        const double n = double(numbers.size());
        return Operand::of(numberResult(id == Id::GeoMean ? std::exp(sum / n) : n / sum));
    }
    case Id::Skew:
    case Id::Kurt: {
        const double n = double(numbers.size());
        const auto v = variance(numbers, true);
        if (n < (id == Id::Skew ? 3 : 4) || !v || *v == 0)
            return Operand::of(error("#DIV/0!"));
        const double mean = std::accumulate(numbers.begin(), numbers.end(), 0.0) / n;
        const double sd = std::sqrt(*v);
        double sum = 0;
        for (double x : numbers)
            sum += std::pow((x - mean) / sd, id == Id::Skew ? 3 : 4);
        if (id == Id::Skew)
            return Operand::of(numberResult(n / ((n - 1) * (n - 2)) * sum));
        return Operand::of(numberResult(n * (n + 1) / ((n - 1) * (n - 2) * (n - 3)) * sum -
                                        3 * (n - 1) * (n - 1) / ((n - 2) * (n - 3))));
    }
    case Id::Percentile:
    case Id::PercentileExc:
    case Id::Quartile:
    case Id::QuartileExc: {
        const Number k = number(1, 0);
        if (k.failed())
            return Operand::of(k.failure);
        double fraction = k.value;
        if (id == Id::Quartile || id == Id::QuartileExc) {
            const double quart = std::trunc(k.value);
            if (quart < (id == Id::Quartile ? 0 : 1) || quart > (id == Id::Quartile ? 4 : 3))
                return Operand::of(error("#NUM!"));
            fraction = quart / 4;
        }
        const bool exclusive = id == Id::PercentileExc || id == Id::QuartileExc;
        const double n = double(numbers.size());
        if (numbers.empty() || fraction < 0 || fraction > 1 ||
            (exclusive && (fraction <= 0 || fraction >= 1)))
            return Operand::of(error("#NUM!"));
        // The position among the sorted numbers (from 0), between two of them interpolated.
        const double position = exclusive ? fraction * (n + 1) - 1 : fraction * (n - 1);
        if (position < 0 || position > n - 1)
            return Operand::of(error("#NUM!"));
        std::sort(numbers.begin(), numbers.end());
        const auto below = std::size_t(std::floor(position));
        const double rest = position - double(below);
        const double low = numbers[below];
        const double high = below + 1 < numbers.size() ? numbers[below + 1] : low;
        return Operand::of(numberResult(low + rest * (high - low)));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

// AVERAGEA, MAXA and MINA: blocks and arrays give their numbers, truth values (1, 0) and texts
// (0); typed arguments numbers, truth values and texts that read as numbers (another text is
// #VALUE!).
FormulaEvaluator::Operand FormulaEvaluator::aggregateA(Id id, const Operand* args, int argc,
                                                       CellRef at) const {
    std::vector<double> numbers;
    CellValue failure;
    for (int i = 0; i < argc && !isError(failure); ++i) {
        if (args[i].ref || args[i].areas || args[i].array) {
            forEachValueOf(args[i], [&](const CellValue& v) {
                if (v.type == Type::Error)
                    failure = v;
                else
                    numbers.push_back(v.type == Type::Text ? 0 : v.number);
                return !isError(failure);
            });
        } else if (!args[i].missing) {
            const Number n = Number::of(scalar(args[i], at));
            if (n.failed())
                failure = n.failure;
            else
                numbers.push_back(n.value);
        }
    }
    if (isError(failure))
        return Operand::of(failure);
    if (id == Id::AverageA)
        return Operand::of(numbers.empty()
                               ? error("#DIV/0!")
                               : numberResult(std::accumulate(numbers.begin(), numbers.end(), 0.0) /
                                              double(numbers.size())));
    if (numbers.empty())
        return Operand::of(CellValue::fromNumber(0));
    return Operand::of(numberResult(id == Id::MaxA ? *std::max_element(numbers.begin(), numbers.end())
                                                   : *std::min_element(numbers.begin(), numbers.end())));
}

// FREQUENCY(data, bins): how many numbers of the data fall at or below each bin and above the
// bin below it, and above the highest bin: a column one longer than the bins.
FormulaEvaluator::Operand FormulaEvaluator::frequency(const Operand* args, CellRef at) const {
    CellValue failure;
    const std::vector<double> data = numbersOf(args, 1, at, failure);
    const std::vector<double> bins = numbersOf(args + 1, 1, at, failure);
    if (isError(failure))
        return Operand::of(failure);
    std::vector<std::size_t> order(bins.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return bins[a] < bins[b]; });
    std::vector<double> sorted;
    for (std::size_t k : order)
        sorted.push_back(bins[k]);
    ValueMatrix counts(int(bins.size()) + 1, 1);
    for (CellValue& c : counts.values)
        c = CellValue::fromNumber(0);
    for (double x : data) {
        // The first bin, in ascending order, not below the number.
        const auto k = std::size_t(std::lower_bound(sorted.begin(), sorted.end(), x) - sorted.begin());
        counts.values[k < order.size() ? order[k] : bins.size()].number += 1;
    }
    return Operand::ofArray(std::move(counts));
}

// SUBTOTAL(function, blocks...): 1 AVERAGE, 2 COUNT, 3 COUNTA, 4 MAX, 5 MIN, 6 PRODUCT, 7 STDEV,
// 8 STDEVP, 9 SUM, 10 VAR, 11 VARP over the blocks, passing over cells that hold subtotals and
// rows a filter hides; 101 to 111 the same without any hidden row.
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
            if (cell.type == CellStore::Type::Empty ||
                (skipHidden ? store.rowHidden(row) : rowFiltered(sheet, row)) ||
                (cell.formula && isSubtotal(store.formulaText(cell.formula))))
                return true;
            const CellValue v = read(sheet, row, cell);
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
