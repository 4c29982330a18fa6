// The financial functions of budget workbooks: PMT, PV, FV, NPV, IRR and RATE, with the
// spreadsheet program's signs (money paid out is negative) and its iteration for IRR and RATE
// (Newton's method from the guess, #NUM! when it does not settle).
#include "platform/sheet/formula/EvaluatorValues.h"

namespace platform::sheet {

using namespace evaluation;

namespace {

// The future value of the annuity: pv growing at rate for nper periods plus payments of pmt at
// the end (type 0) or start (type 1) of each period, plus fv; zero at the right rate.
double annuity(double rate, double nper, double pmt, double pv, double fv, double type) {
    if (rate == 0)
        return pv + pmt * nper + fv;
    const double growth = std::pow(1 + rate, nper);
    return pv * growth + pmt * (1 + rate * type) * (growth - 1) / rate + fv;
}

// Newton's method on f from guess; nothing when it does not settle within the program's 20
// steps to 1e-7 (the program gives #NUM! then).
template <class F> std::optional<double> solve(F&& f, double guess) {
    double x = guess;
    for (int step = 0; step < 50; ++step) {
        const double y = f(x);
        const double h = std::max(1e-7, std::fabs(x) * 1e-7);
        const double slope = (f(x + h) - y) / h;
        if (!std::isfinite(y) || !std::isfinite(slope) || slope == 0)
            return std::nullopt;
        const double next = x - y / slope;
        if (std::fabs(next - x) < 1e-10)
            return next;
        x = next;
        if (x <= -1)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::finance(Id id, const Operand* args, int argc, CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    if (id == Id::Npv || id == Id::Irr) {
        CellValue failure;
        const Number rate = id == Id::Npv ? number(0, 0) : number(1, 0.1);
        if (rate.failed())
            return Operand::of(rate.failure);
        const std::vector<double> flows =
            id == Id::Npv ? numbersOf(args + 1, argc - 1, at, failure) : numbersOf(args, 1, at, failure);
        if (isError(failure))
            return Operand::of(failure);
        auto presentValue = [&](double r) {
            double sum = 0;
            for (std::size_t i = 0; i < flows.size(); ++i)
                sum += flows[i] / std::pow(1 + r, double(i + (id == Id::Npv ? 1 : 0)));
            return sum;
        };
        if (id == Id::Npv)
            return Operand::of(rate.value == -1 ? error("#DIV/0!") : numberResult(presentValue(rate.value)));
        const bool positive = std::any_of(flows.begin(), flows.end(), [](double v) { return v > 0; });
        const bool negative = std::any_of(flows.begin(), flows.end(), [](double v) { return v < 0; });
        if (!positive || !negative)
            return Operand::of(error("#NUM!"));
        const auto irr = solve(presentValue, rate.value);
        return Operand::of(irr ? numberResult(*irr) : error("#NUM!"));
    }

    // PMT(rate, nper, pv, [fv], [type]), PV(rate, nper, pmt, ...), FV(rate, nper, pmt, [pv], ...),
    // RATE(nper, pmt, pv, [fv], [type], [guess]).
    Number n[6] = {number(0, 0), number(1, 0), number(2, 0), number(3, 0), number(4, 0), number(5, 0.1)};
    for (const Number& x : n)
        if (x.failed())
            return Operand::of(x.failure);
    const double type = n[4].value != 0 ? 1 : 0;
    switch (id) {
    case Id::Pmt: {
        const double rate = n[0].value, nper = n[1].value, pv = n[2].value, fv = n[3].value;
        if (nper == 0)
            return Operand::of(error("#NUM!"));
        if (rate == 0)
            return Operand::of(numberResult(-(pv + fv) / nper));
        const double growth = std::pow(1 + rate, nper);
        return Operand::of(numberResult(-(pv * growth + fv) * rate / ((1 + rate * type) * (growth - 1))));
    }
    case Id::Pv: {
        const double rate = n[0].value, nper = n[1].value, pmt = n[2].value, fv = n[3].value;
        if (rate == 0)
            return Operand::of(numberResult(-(pmt * nper + fv)));
        const double growth = std::pow(1 + rate, nper);
        return Operand::of(numberResult(-(fv + pmt * (1 + rate * type) * (growth - 1) / rate) / growth));
    }
    case Id::Fv: {
        const double rate = n[0].value, nper = n[1].value, pmt = n[2].value, pv = n[3].value;
        return Operand::of(numberResult(-annuity(rate, nper, pmt, pv, 0, type)));
    }
    case Id::Rate: {
        const double nper = n[0].value, pmt = n[1].value, pv = n[2].value, fv = n[3].value;
        if (nper <= 0)
            return Operand::of(error("#NUM!"));
        const auto rate = solve([&](double r) { return annuity(r, nper, pmt, pv, fv, type); }, n[5].value);
        return Operand::of(rate ? numberResult(*rate) : error("#NUM!"));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

} // namespace platform::sheet
