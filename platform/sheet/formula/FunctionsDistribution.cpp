// The statistical functions of pairs of numbers -- CORREL (PEARSON), COVARIANCE.P (COVAR),
// COVARIANCE.S, SLOPE, INTERCEPT, RSQ, FORECAST (FORECAST.LINEAR) -- and of the normal
// distribution: STANDARDIZE, NORM.S.DIST (NORMSDIST), NORM.DIST (NORMDIST), NORM.S.INV
// (NORMSINV), NORM.INV (NORMINV); and POISSON.DIST (POISSON). Pairs come from two blocks or arrays
// of one size; a pair in which either value is no number is passed over.
#include "platform/sheet/formula/EvaluatorValues.h"

#include <numbers>

namespace platform::sheet {

using namespace evaluation;

namespace {

// The value of the standard normal distribution's cumulative function at z.
double normalCdf(double z) {
    return 0.5 * std::erfc(-z / std::numbers::sqrt2);
}

double normalDensity(double z) {
    return std::exp(-z * z / 2) / std::sqrt(2 * std::numbers::pi);
}

// The z whose cumulative value is p (0 < p < 1): a rational first guess, then Halley's steps on
// the cumulative function to the precision of a double.
double normalQuantile(double p) {
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,  -2.759285104469687e+02,
                               1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                               6.680131188771972e+01, -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                               -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
    const double low = 0.02425;
    double z = 0;
    if (p < low || p > 1 - low) {
        const double q = std::sqrt(-2 * std::log(p < low ? p : 1 - p));
        z = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
        if (p > 1 - low)
            z = -z;
    } else {
        const double q = p - 0.5;
        const double r = q * q;
        z = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
            (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    }
    for (int step = 0; step < 3; ++step) {
        const double e = normalCdf(z) - p;
        const double u = e / normalDensity(z);
        z -= u / (1 + z * u / 2);
    }
    return z;
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::distribution(Id id, const Operand* args, int argc,
                                                         CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    auto truth = [&](int i, CellValue& failure) {
        return i < argc && !args[i].missing && truthOf(scalar(args[i], at), failure);
    };

    if (id == Id::Standardize || id == Id::NormSDist || id == Id::NormDist || id == Id::NormSInv ||
        id == Id::NormInv) {
        // The value, then the mean and the standard deviation where the function takes them.
        const bool standard = id == Id::NormSDist || id == Id::NormSInv;
        const Number x = number(0, 0);
        const Number mean = standard ? Number::of(CellValue::fromNumber(0)) : number(1, 0);
        const Number sd = standard ? Number::of(CellValue::fromNumber(1)) : number(2, 1);
        for (const Number* n : {&x, &mean, &sd})
            if (n->failed())
                return Operand::of(n->failure);
        if (sd.value <= 0)
            return Operand::of(error("#NUM!"));
        if (id == Id::Standardize)
            return Operand::of(numberResult((x.value - mean.value) / sd.value));
        if (id == Id::NormSInv || id == Id::NormInv) {
            if (x.value <= 0 || x.value >= 1)
                return Operand::of(error("#NUM!"));
            return Operand::of(numberResult(mean.value + sd.value * normalQuantile(x.value)));
        }
        // NORMSDIST is cumulative; NORM.S.DIST and NORM.DIST say so in their last argument.
        CellValue failure;
        const bool cumulative =
            (id == Id::NormSDist && argc == 1) || truth(id == Id::NormSDist ? 1 : 3, failure);
        if (isError(failure))
            return Operand::of(failure);
        const double z = (x.value - mean.value) / sd.value;
        return Operand::of(numberResult(cumulative ? normalCdf(z) : normalDensity(z) / sd.value));
    }

    if (id == Id::Poisson) {
        // POISSON(x, mean, cumulative): x cut to a whole number; the terms summed in logs so
        // that large counts and means stay within a double.
        const Number x = number(0, 0);
        const Number mean = number(1, 0);
        for (const Number* n : {&x, &mean})
            if (n->failed())
                return Operand::of(n->failure);
        CellValue failure;
        const bool cumulative = truth(2, failure);
        if (isError(failure))
            return Operand::of(failure);
        const double k = std::trunc(x.value);
        if (k < 0 || mean.value < 0)
            return Operand::of(error("#NUM!"));
        auto term = [&](double i) {
            return mean.value == 0 ? (i == 0 ? 1.0 : 0.0)
                                   : std::exp(i * std::log(mean.value) - mean.value - std::lgamma(i + 1));
        };
        if (!cumulative)
            return Operand::of(numberResult(term(k)));
        // Terms further than 40 standard deviations from the mean add nothing a double holds.
        const double spread = 40 * std::sqrt(mean.value) + 100;
        if (k > mean.value + spread)
            return Operand::of(CellValue::fromNumber(1));
        const double from = std::max(0.0, std::floor(mean.value - spread));
        if (k - from > 1e7) {
            gaveUp_ = true;
            return Operand::of(error("#NUM!"));
        }
        double sum = 0;
        for (double i = from; i <= k; ++i)
            sum += term(i);
        return Operand::of(numberResult(std::min(sum, 1.0)));
    }

    // Pairs: FORECAST(x, known y, known x), the others (y, x) or (first, second).
    const int first = id == Id::Forecast ? 1 : 0;
    const auto ys = tableOf(args[first]);
    const auto xs = tableOf(args[first + 1]);
    if (!ys || !xs)
        return Operand::of(error("#VALUE!"));
    if (ys->rows * ys->columns != xs->rows * xs->columns)
        return Operand::of(error("#N/A"));
    std::vector<std::pair<double, double>> pairs;
    const int count = ys->rows * ys->columns;
    for (int i = 0; i < count; ++i) {
        const CellValue& y = ys->at(i / ys->columns, i % ys->columns);
        const CellValue& x = xs->at(i / xs->columns, i % xs->columns);
        if (isError(y))
            return Operand::of(y);
        if (isError(x))
            return Operand::of(x);
        if (y.type == Type::Number && x.type == Type::Number)
            pairs.emplace_back(y.number, x.number);
    }
    const double n = double(pairs.size());
    if (n < (id == Id::CovarianceS ? 2 : 1) || (id != Id::CovarianceP && id != Id::CovarianceS && n < 2))
        return Operand::of(error("#DIV/0!"));
    double meanY = 0;
    double meanX = 0;
    for (const auto& [y, x] : pairs) {
        meanY += y;
        meanX += x;
    }
    meanY /= n;
    meanX /= n;
    double sxy = 0;
    double sxx = 0;
    double syy = 0;
    for (const auto& [y, x] : pairs) {
        sxy += (x - meanX) * (y - meanY);
        sxx += (x - meanX) * (x - meanX);
        syy += (y - meanY) * (y - meanY);
    }
    switch (id) {
    case Id::CovarianceP:
        return Operand::of(numberResult(sxy / n));
    case Id::CovarianceS:
        return Operand::of(numberResult(sxy / (n - 1)));
    case Id::Correl:
    case Id::Rsq:
        if (sxx == 0 || syy == 0)
            return Operand::of(error("#DIV/0!"));
        return Operand::of(
            numberResult(id == Id::Correl ? sxy / std::sqrt(sxx * syy) : sxy * sxy / (sxx * syy)));
    default:
        break;
    }
    if (sxx == 0)
        return Operand::of(error("#DIV/0!"));
    const double slope = sxy / sxx;
    if (id == Id::Slope)
        return Operand::of(numberResult(slope));
    if (id == Id::Intercept)
        return Operand::of(numberResult(meanY - slope * meanX));
    const Number x = number(0, 0);
    if (x.failed())
        return Operand::of(x.failure);
    return Operand::of(numberResult(meanY - slope * meanX + slope * x.value));
}

} // namespace platform::sheet
