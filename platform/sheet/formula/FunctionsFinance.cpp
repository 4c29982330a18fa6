// The financial functions of budget workbooks: PMT, PV, FV, NPER, RATE, IPMT, PPMT, CUMIPMT,
// CUMPRINC, EFFECT, NOMINAL, and of cash flows NPV, IRR, MIRR, XNPV and XIRR, with the
// spreadsheet program's signs (money paid out is negative) and its iteration for IRR, XIRR and
// RATE (Newton's method from the guess, #NUM! when it does not settle). The depreciations are in
// FunctionsDepreciation.cpp.
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

// The payment of each period that pays pv off to fv in nper periods.
double payment(double rate, double nper, double pv, double fv, double type) {
    if (rate == 0)
        return -(pv + fv) / nper;
    const double growth = std::pow(1 + rate, nper);
    return -(pv * growth + fv) * rate / ((1 + rate * type) * (growth - 1));
}

// The interest part of the payment of period `per` (from 1): the interest on the balance
// after the periods before; nothing in the first period of payments at the start.
double interestPart(double rate, double per, double nper, double pv, double fv, double type) {
    const double pmt = payment(rate, nper, pv, fv, type);
    if (type == 1 && per == 1)
        return 0;
    const double interest = -annuity(rate, per - 1, pmt, pv, 0, type) * rate;
    return type == 1 ? interest / (1 + rate) : interest;
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::finance(Id id, const Operand* args, int argc, CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    switch (id) {
    case Id::Sln:
    case Id::Syd:
    case Id::Db:
    case Id::Ddb:
        return depreciation(id, args, argc, at);
    case Id::Mirr:
    case Id::XNpv:
    case Id::XIrr:
        return cashFlows(id, args, argc, at);
    case Id::IPmt:
    case Id::PPmt:
    case Id::CumIPmt:
    case Id::CumPrinc: {
        // IPMT and PPMT (rate, per, nper, pv, [fv], [type]); CUMIPMT and CUMPRINC (rate, nper, pv,
        // start, end, type) over the periods start to end.
        Number n[6] = {number(0, 0), number(1, 0), number(2, 0), number(3, 0), number(4, 0), number(5, 0)};
        for (const Number& x : n)
            if (x.failed())
                return Operand::of(x.failure);
        const double rate = n[0].value;
        if (id == Id::IPmt || id == Id::PPmt) {
            const double per = n[1].value, nper = n[2].value, pv = n[3].value, fv = n[4].value;
            const double type = n[5].value != 0 ? 1 : 0;
            if (per < 1 || per >= nper + 1)
                return Operand::of(error("#NUM!"));
            const double interest = interestPart(rate, per, nper, pv, fv, type);
            return Operand::of(
                numberResult(id == Id::IPmt ? interest : payment(rate, nper, pv, fv, type) - interest));
        }
        const double nper = n[1].value, pv = n[2].value;
        const double first = std::trunc(n[3].value), last = std::trunc(n[4].value), type = n[5].value;
        if (rate <= 0 || nper <= 0 || pv <= 0 || first < 1 || last < first || last > nper ||
            (type != 0 && type != 1))
            return Operand::of(error("#NUM!"));
        if (last - first > 1e6) {
            gaveUp_ = true;
            return Operand::of(error("#NUM!"));
        }
        double sum = 0;
        for (double per = first; per <= last; ++per) {
            const double interest = interestPart(rate, per, nper, pv, 0, type);
            sum += id == Id::CumIPmt ? interest : payment(rate, nper, pv, 0, type) - interest;
        }
        return Operand::of(numberResult(sum));
    }
    default:
        break;
    }
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
        return Operand::of(numberResult(payment(rate, nper, pv, fv, type)));
    }
    case Id::NPer: {
        // NPER(rate, pmt, pv, [fv], [type]): the periods that pay pv off to fv.
        const double rate = n[0].value, pmt = n[1].value, pv = n[2].value, fv = n[3].value;
        if (rate == 0)
            return Operand::of(pmt == 0 ? error("#NUM!") : numberResult(-(pv + fv) / pmt));
        const double paid = pmt * (1 + rate * type);
        const double ratio = (paid - fv * rate) / (paid + pv * rate);
        if (!(ratio > 0) || rate <= -1)
            return Operand::of(error("#NUM!"));
        return Operand::of(numberResult(std::log(ratio) / std::log1p(rate)));
    }
    case Id::Effect:
    case Id::Nominal: {
        const double rate = n[0].value;
        const double periods = std::trunc(n[1].value);
        if (rate <= 0 || periods < 1)
            return Operand::of(error("#NUM!"));
        if (id == Id::Effect)
            return Operand::of(numberResult(std::pow(1 + rate / periods, periods) - 1));
        return Operand::of(numberResult(periods * (std::pow(1 + rate, 1 / periods) - 1)));
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

// MIRR(values, finance rate, reinvestment rate); XNPV(rate, values, dates) and XIRR(values,
// dates, [guess]): cash flows on dates, discounted by days over 365 from the first date.
FormulaEvaluator::Operand FormulaEvaluator::cashFlows(Id id, const Operand* args, int argc,
                                                      CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    CellValue failure;
    if (id == Id::Mirr) {
        const std::vector<double> flows = numbersOf(args, 1, at, failure);
        const Number financeRate = number(1, 0);
        const Number reinvestRate = number(2, 0);
        if (isError(failure))
            return Operand::of(failure);
        for (const Number* n : {&financeRate, &reinvestRate})
            if (n->failed())
                return Operand::of(n->failure);
        const double n = double(flows.size());
        double paidIn = 0;  // the negative flows' value now, at the finance rate
        double paidOut = 0; // the positive flows' value at the end, at the reinvestment rate
        for (std::size_t i = 0; i < flows.size(); ++i) {
            if (flows[i] < 0)
                paidIn += flows[i] / std::pow(1 + financeRate.value, double(i));
            else
                paidOut += flows[i] * std::pow(1 + reinvestRate.value, n - 1 - double(i));
        }
        if (paidIn == 0 || paidOut == 0 || n < 2)
            return Operand::of(error("#DIV/0!"));
        return Operand::of(numberResult(std::pow(-paidOut / paidIn, 1 / (n - 1)) - 1));
    }
    const int valuesArg = id == Id::XNpv ? 1 : 0;
    const std::vector<double> flows = numbersOf(args + valuesArg, 1, at, failure);
    const std::vector<double> days = numbersOf(args + valuesArg + 1, 1, at, failure);
    if (isError(failure))
        return Operand::of(failure);
    if (flows.size() != days.size() || flows.empty())
        return Operand::of(error("#NUM!"));
    for (double d : days)
        if (std::floor(d) < std::floor(days[0]))
            return Operand::of(error("#NUM!"));
    auto presentValue = [&](double r) {
        double sum = 0;
        for (std::size_t i = 0; i < flows.size(); ++i)
            sum += flows[i] / std::pow(1 + r, (std::floor(days[i]) - std::floor(days[0])) / 365);
        return sum;
    };
    if (id == Id::XNpv) {
        const Number rate = number(0, 0);
        if (rate.failed())
            return Operand::of(rate.failure);
        if (rate.value <= -1)
            return Operand::of(error("#NUM!"));
        return Operand::of(numberResult(presentValue(rate.value)));
    }
    const Number guess = number(2, 0.1);
    if (guess.failed())
        return Operand::of(guess.failure);
    const bool positive = std::any_of(flows.begin(), flows.end(), [](double v) { return v > 0; });
    const bool negative = std::any_of(flows.begin(), flows.end(), [](double v) { return v < 0; });
    if (!positive || !negative)
        return Operand::of(error("#NUM!"));
    const auto rate = solve(presentValue, guess.value);
    return Operand::of(rate ? numberResult(*rate) : error("#NUM!"));
}

} // namespace platform::sheet
