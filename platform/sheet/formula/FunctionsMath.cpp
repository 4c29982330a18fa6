// The math and trigonometry functions beyond the aggregates: MOD, POWER, SQRT, SIGN, TRUNC, the
// powers, logarithms and angles, factorials, combinations, GCD and LCM, the roundings to a
// multiple of the newer kind (CEILING.MATH ...), ROMAN, and those over whole arrays (PRODUCT,
// SUMPRODUCT, SUMSQ, MMULT, TRANSPOSE, MDETERM, MINVERSE, SUMX2MY2 ...), with the spreadsheet
// program's errors
// (#DIV/0! for MOD by 0, #NUM! outside a function's domain, #VALUE! for arrays of unequal size).
#include "platform/sheet/formula/EvaluatorValues.h"

#include <numbers>
#include <numeric>

namespace platform::sheet {

using namespace evaluation;

namespace {

// n! for n up to 170 (beyond, no double holds it).
std::optional<double> factorial(double n, int step = 1) {
    if (n > 170)
        return std::nullopt;
    double f = 1;
    for (double k = n; k > 1; k -= step)
        f *= k;
    return f;
}

// The nearest whole number when the value lies within rounding noise of it.
double wholeIfNear(double v) {
    const double r = std::round(v);
    return std::fabs(v - r) <= std::fabs(v) * 1e-13 ? r : v;
}

// The classic Roman numeral of 1 to 3999.
QString roman(int n) {
    static const std::pair<int, const char*> kNumerals[] = {
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
        {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
    QString out;
    for (const auto& [value, letters] : kNumerals)
        for (; n >= value; n -= value)
            out += QLatin1String(letters);
    return out;
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::math(Id id, const Operand* args, int argc, CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    switch (id) {
    case Id::Product: {
        double product = 1;
        bool any = false;
        for (int i = 0; i < argc; ++i) {
            if (args[i].ref || args[i].areas || args[i].array) {
                CellValue failure;
                forEachValueOf(args[i], [&](const CellValue& v) {
                    if (v.type == Type::Number) {
                        product *= v.number;
                        any = true;
                    } else if (v.type == Type::Error) {
                        failure = v;
                    }
                    return !isError(failure);
                });
                if (isError(failure))
                    return Operand::of(failure);
                continue;
            }
            const Number n = number(i, 1);
            if (n.failed())
                return Operand::of(n.failure);
            product *= n.value;
            any = true;
        }
        return Operand::of(numberResult(any ? product : 0));
    }
    case Id::SumProduct: {
        // Arrays of one size; texts, truth values and empty cells count 0, an error is passed on.
        if (const std::optional<double> sum = stableSumProduct(args, argc))
            return Operand::of(numberResult(*sum));
        std::vector<std::shared_ptr<const ValueMatrix>> arrays;
        for (int i = 0; i < argc; ++i) {
            if (args[i].areas || (args[i].ref && !blockOf(args[i])))
                return Operand::of(error("#VALUE!"));
            arrays.push_back(matrixOf(args[i], at));
            if (arrays.back()->rows != arrays[0]->rows || arrays.back()->columns != arrays[0]->columns)
                return Operand::of(error("#VALUE!"));
        }
        const int rows = arrays[0]->rows;
        const int columns = arrays[0]->columns;
        int storedRows = 0;
        int storedColumns = 0;
        for (const auto& m : arrays) {
            storedRows = std::max(storedRows, std::min(m->storedRows, rows));
            storedColumns = std::max(storedColumns, std::min(m->storedColumns, columns));
        }
        // Beyond every array's stored part each element is the arrays' fills.
        auto product = [&](auto&& element, double& out) -> std::optional<CellValue> {
            out = 1;
            for (const auto& m : arrays) {
                const CellValue& v = element(*m);
                if (v.type == Type::Error)
                    return v;
                out *= v.type == Type::Number ? v.number : 0;
            }
            return std::nullopt;
        };
        double sum = 0;
        double p = 0;
        for (int r = 0; r < storedRows; ++r)
            for (int c = 0; c < storedColumns; ++c) {
                if (auto failure =
                        product([&](const ValueMatrix& m) -> const CellValue& { return m.at(r, c); }, p))
                    return Operand::of(*failure);
                sum += p;
            }
        const double outside = double(rows) * columns - double(storedRows) * storedColumns;
        if (outside > 0) {
            if (auto failure = product([](const ValueMatrix& m) -> const CellValue& { return m.fill; }, p))
                return Operand::of(*failure);
            sum += p * outside;
        }
        return Operand::of(numberResult(sum));
    }
    case Id::SumSq:
    case Id::Gcd:
    case Id::Lcm: {
        CellValue failure;
        const std::vector<double> numbers = numbersOf(args, argc, at, failure);
        if (isError(failure))
            return Operand::of(failure);
        if (id == Id::SumSq) {
            double sum = 0;
            for (double v : numbers)
                sum += v * v;
            return Operand::of(numberResult(sum));
        }
        // Whole numbers from 0 to 2^53.
        double result = id == Id::Gcd ? 0 : 1;
        for (double v : numbers) {
            const double n = std::trunc(v);
            if (n < 0 || n > 9007199254740992.0)
                return Operand::of(error("#NUM!"));
            const auto a = (unsigned long long)result;
            const auto b = (unsigned long long)n;
            if (id == Id::Gcd) {
                result = double(std::gcd(a, b));
            } else {
                if (b == 0)
                    return Operand::of(CellValue::fromNumber(0));
                result = double(a / std::gcd(a, b)) * double(b);
                if (result > 9007199254740992.0)
                    return Operand::of(error("#NUM!"));
            }
        }
        return Operand::of(numberResult(result));
    }
    case Id::MMult:
    case Id::Transpose:
    case Id::MDeterm:
    case Id::MInverse:
    case Id::SumX2MY2:
    case Id::SumX2PY2:
    case Id::SumXMY2:
        return matrices(id, args, argc, at);
    default:
        break;
    }

    const Number x = number(0, 0);
    if (x.failed())
        return Operand::of(x.failure);
    const double v = x.value;
    auto domain = [](bool inside, double result) {
        return Operand::of(inside ? numberResult(result) : error("#NUM!"));
    };
    constexpr double kPi = std::numbers::pi;
    switch (id) {
    case Id::Sqrt:
        return Operand::of(x.value < 0 ? error("#NUM!") : numberResult(std::sqrt(x.value)));
    case Id::Pi:
        return Operand::of(CellValue::fromNumber(kPi));
    case Id::Radians:
        return Operand::of(numberResult(v * kPi / 180));
    case Id::Degrees:
        return Operand::of(numberResult(v * 180 / kPi));
    case Id::Sin:
    case Id::Cos:
    case Id::Tan:
        // Angles of 2^27 and more are refused.
        if (std::fabs(v) >= 134217728.0)
            return Operand::of(error("#NUM!"));
        return Operand::of(numberResult(id == Id::Sin   ? std::sin(v)
                                        : id == Id::Cos ? std::cos(v)
                                                        : std::tan(v)));
    case Id::Asin:
        return domain(std::fabs(v) <= 1, std::asin(v));
    case Id::Acos:
        return domain(std::fabs(v) <= 1, std::acos(v));
    case Id::Atan:
        return Operand::of(numberResult(std::atan(v)));
    case Id::Sinh:
        return Operand::of(numberResult(std::sinh(v)));
    case Id::Cosh:
        return Operand::of(numberResult(std::cosh(v)));
    case Id::Tanh:
        return Operand::of(numberResult(std::tanh(v)));
    case Id::Asinh:
        return Operand::of(numberResult(std::asinh(v)));
    case Id::Acosh:
        return domain(v >= 1, std::acosh(v));
    case Id::Atanh:
        return domain(std::fabs(v) < 1, std::atanh(v));
    case Id::Exp:
        return Operand::of(numberResult(std::exp(v)));
    case Id::Ln:
        return domain(v > 0, std::log(v));
    case Id::Log10:
        return domain(v > 0, std::log10(v));
    case Id::SqrtPi:
        return domain(v >= 0, std::sqrt(v * kPi));
    case Id::Fact:
    case Id::FactDouble: {
        const double n = std::trunc(v);
        if (n < (id == Id::Fact ? 0 : -1))
            return Operand::of(error("#NUM!"));
        const auto f = factorial(n, id == Id::Fact ? 1 : 2);
        return Operand::of(f ? numberResult(*f) : error("#NUM!"));
    }
    case Id::Even:
    case Id::Odd: {
        // Away from zero to the next even (odd) whole number.
        double whole = std::ceil(std::fabs(wholeIfNear(v)));
        const bool even = std::fmod(whole, 2) == 0;
        if (id == Id::Even ? !even : even)
            whole += 1;
        return Operand::of(numberResult(v < 0 ? -whole : whole));
    }
    case Id::Roman: {
        const Number form = number(1, 0);
        if (form.failed())
            return Operand::of(form.failure);
        const double n = std::trunc(v);
        if (n < 0 || n > 3999)
            return Operand::of(error("#VALUE!"));
        if (std::trunc(form.value) != 0) {
            gaveUp_ = true; // the concise forms are left to the spreadsheet program
            return Operand::of(error("#VALUE!"));
        }
        return Operand::of(CellValue::fromText(roman(int(n))));
    }
    case Id::CeilingMath:
    case Id::FloorMath:
    case Id::CeilingPrecise:
    case Id::FloorPrecise: {
        const bool newer = id == Id::CeilingMath || id == Id::FloorMath;
        const Number significance = number(1, 1);
        const Number mode = number(2, 0);
        if (significance.failed())
            return Operand::of(significance.failure);
        if (mode.failed())
            return Operand::of(mode.failure);
        const double m = std::fabs(significance.value);
        if (m == 0 || v == 0)
            return Operand::of(CellValue::fromNumber(0));
        const bool ceiling = id == Id::CeilingMath || id == Id::CeilingPrecise;
        // Toward positive (CEILING) or negative (FLOOR) infinity; the newer functions' mode
        // turns negative numbers away from zero (CEILING.MATH) or toward it (FLOOR.MATH).
        bool up = ceiling;
        if (newer && v < 0 && mode.value != 0)
            up = !ceiling;
        const double steps = wholeIfNear(v / m);
        return Operand::of(numberResult((up ? std::ceil(steps) : std::floor(steps)) * m));
    }
    default:
        break;
    }
    switch (id) {
    case Id::Sign:
        return Operand::of(CellValue::fromNumber(x.value > 0 ? 1 : x.value < 0 ? -1 : 0));
    case Id::Trunc: {
        const Number digits = number(1, 0);
        if (digits.failed())
            return Operand::of(digits.failure);
        return Operand::of(
            numberResult(roundDecimal(x.value, int(std::trunc(digits.value)), Rounding::Down)));
    }
    case Id::Log:
    case Id::Atan2:
    case Id::Combin:
    case Id::Permut:
    case Id::Quotient: {
        const Number y = number(1, id == Id::Log ? 10 : 0);
        if (y.failed())
            return Operand::of(y.failure);
        const double w = y.value;
        switch (id) {
        case Id::Log:
            if (v <= 0 || w <= 0)
                return Operand::of(error("#NUM!"));
            return Operand::of(w == 1 ? error("#DIV/0!") : numberResult(std::log(v) / std::log(w)));
        case Id::Atan2: // ATAN2(x, y): the angle of the point (x, y)
            if (v == 0 && w == 0)
                return Operand::of(error("#DIV/0!"));
            return Operand::of(numberResult(std::atan2(w, v)));
        case Id::Quotient:
            if (w == 0)
                return Operand::of(error("#DIV/0!"));
            return Operand::of(numberResult(std::trunc(wholeIfNear(v / w))));
        default: {
            const double n = std::trunc(v);
            const double k = std::trunc(w);
            if (n < 0 || k < 0 || n < k)
                return Operand::of(error("#NUM!"));
            // n! / (n-k)! (PERMUT), divided by k! for COMBIN, multiplied out step by step; more
            // picks than these give more than a number holds.
            const double picks = id == Id::Combin ? std::min(k, n - k) : k;
            if (picks > (id == Id::Combin ? 1100 : 171))
                return Operand::of(error("#NUM!"));
            double result = 1;
            for (double i = 1; i <= picks; ++i)
                result = id == Id::Combin ? result * (n - picks + i) / i : result * (n - i + 1);
            return Operand::of(numberResult(std::round(result)));
        }
        }
    }
    case Id::Mod:
    case Id::Power: {
        const Number y = number(1, 0);
        if (y.failed())
            return Operand::of(y.failure);
        if (id == Id::Power) {
            if (x.value == 0 && y.value < 0)
                return Operand::of(error("#DIV/0!"));
            if (x.value < 0 && y.value != std::trunc(y.value))
                return Operand::of(error("#NUM!"));
            return Operand::of(numberResult(std::pow(x.value, y.value)));
        }
        if (y.value == 0)
            return Operand::of(error("#DIV/0!"));
        // The remainder takes the divisor's sign: MOD(-3, 2) is 1.
        return Operand::of(numberResult(x.value - y.value * std::floor(x.value / y.value)));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

// MMULT and TRANSPOSE give arrays; SUMX2MY2, SUMX2PY2 and SUMXMY2 sum over pairs of numbers of
// two arrays of one size (other pairs are passed over).
FormulaEvaluator::Operand FormulaEvaluator::matrices(Id id, const Operand* args, int argc, CellRef at) const {
    std::vector<std::shared_ptr<const ValueMatrix>> arrays;
    for (int i = 0; i < argc; ++i) {
        if (args[i].areas || (args[i].ref && !blockOf(args[i])))
            return Operand::of(error("#VALUE!"));
        arrays.push_back(matrixOf(args[i], at));
        if (arrays.back()->size() > kMaxArrayElements) {
            gaveUp_ = true;
            return Operand::of(error("#VALUE!"));
        }
    }
    const ValueMatrix& a = *arrays[0];
    if (id == Id::MDeterm || id == Id::MInverse)
        return squareMatrix(id, a);
    if (id == Id::Transpose) {
        ValueMatrix out(a.columns, a.rows);
        for (int r = 0; r < a.rows; ++r)
            for (int c = 0; c < a.columns; ++c)
                out.stored(c, r) = a.at(r, c);
        return Operand::ofArray(std::move(out));
    }
    const ValueMatrix& b = *arrays[1];
    if (id == Id::MMult) {
        // Numbers only; the columns of the first are the rows of the second.
        if (a.columns != b.rows)
            return Operand::of(error("#VALUE!"));
        if (double(a.rows) * b.columns > kMaxArrayElements ||
            double(a.rows) * b.columns * a.columns > kMaxArrayElements * 100) {
            gaveUp_ = true;
            return Operand::of(error("#VALUE!"));
        }
        for (const ValueMatrix* m : {&a, &b})
            for (int r = 0; r < m->rows; ++r)
                for (int c = 0; c < m->columns; ++c)
                    if (m->at(r, c).type != Type::Number)
                        return Operand::of(isError(m->at(r, c)) ? m->at(r, c) : error("#VALUE!"));
        ValueMatrix out(a.rows, b.columns);
        for (int r = 0; r < a.rows; ++r)
            for (int c = 0; c < b.columns; ++c) {
                double sum = 0;
                for (int k = 0; k < a.columns; ++k)
                    sum += a.at(r, k).number * b.at(k, c).number;
                out.stored(r, c) = numberResult(sum);
            }
        return Operand::ofArray(std::move(out));
    }
    if (a.rows * a.columns != b.rows * b.columns)
        return Operand::of(error("#N/A"));
    double sum = 0;
    bool anyPair = false;
    for (int i = 0; i < a.rows * a.columns; ++i) {
        const CellValue& x = a.at(i / a.columns, i % a.columns);
        const CellValue& y = b.at(i / b.columns, i % b.columns);
        if (isError(x))
            return Operand::of(x);
        if (isError(y))
            return Operand::of(y);
        if (x.type != Type::Number || y.type != Type::Number)
            continue;
        const double p = x.number;
        const double q = y.number;
        sum += id == Id::SumX2MY2 ? p * p - q * q : id == Id::SumX2PY2 ? p * p + q * q : (p - q) * (p - q);
        anyPair = true;
    }
    // Without a single pair of numbers there is nothing to sum: #DIV/0! as in the program.
    return Operand::of(anyPair ? numberResult(sum) : error("#DIV/0!"));
}

// MDETERM and MINVERSE of a square array of numbers, by elimination with the largest pivot of
// each column: the determinant, or the inverse (#NUM! for a matrix that has none). A block or
// array that is not square, or holds anything but numbers, is #VALUE!.
FormulaEvaluator::Operand FormulaEvaluator::squareMatrix(Id id, const ValueMatrix& m) const {
    const int n = m.rows;
    if (n != m.columns || n == 0)
        return Operand::of(error("#VALUE!"));
    if (double(n) * n * n > kMaxArrayElements * 100) {
        gaveUp_ = true;
        return Operand::of(error("#VALUE!"));
    }
    std::vector<double> a(std::size_t(n) * std::size_t(n));
    std::vector<double> inverse(a.size(), 0.0);
    auto at = [n](std::vector<double>& v, int r, int c) -> double& { return v[std::size_t(r * n + c)]; };
    for (int r = 0; r < n; ++r) {
        at(inverse, r, r) = 1;
        for (int c = 0; c < n; ++c) {
            const CellValue& v = m.at(r, c);
            if (v.type != Type::Number)
                return Operand::of(isError(v) ? v : error("#VALUE!"));
            at(a, r, c) = v.number;
        }
    }
    double determinant = 1;
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(at(a, r, c)) > std::fabs(at(a, pivot, c)))
                pivot = r;
        if (at(a, pivot, c) == 0) {
            determinant = 0;
            break;
        }
        if (pivot != c) {
            for (int k = 0; k < n; ++k) {
                std::swap(at(a, pivot, k), at(a, c, k));
                std::swap(at(inverse, pivot, k), at(inverse, c, k));
            }
            determinant = -determinant;
        }
        const double p = at(a, c, c);
        determinant *= p;
        for (int k = 0; k < n; ++k) {
            at(a, c, k) /= p;
            at(inverse, c, k) /= p;
        }
        for (int r = 0; r < n; ++r) {
            const double f = at(a, r, c);
            if (r == c || f == 0)
                continue;
            for (int k = 0; k < n; ++k) {
                at(a, r, k) -= f * at(a, c, k);
                at(inverse, r, k) -= f * at(inverse, c, k);
            }
        }
    }
    if (id == Id::MDeterm)
        return Operand::of(numberResult(determinant));
    if (determinant == 0)
        return Operand::of(error("#NUM!"));
    ValueMatrix out(n, n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            out.stored(r, c) = numberResult(at(inverse, r, c));
    return Operand::ofArray(std::move(out));
}

} // namespace platform::sheet
