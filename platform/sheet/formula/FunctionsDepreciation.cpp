// The depreciation of an asset: SLN (straight line), SYD (sum of the years' digits), DB (fixed
// declining balance, its rate rounded to three decimals, the first and an extra last period
// shortened by the months of the first year) and DDB (declining balance at a factor of the
// straight rate, never below the salvage value). Lives and periods outside the asset's life are
// #NUM!.
#include "platform/sheet/formula/EvaluatorValues.h"

namespace platform::sheet {

using namespace evaluation;

FormulaEvaluator::Operand FormulaEvaluator::depreciation(Id id, const Operand* args, int argc,
                                                         CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    Number n[5] = {number(0, 0), number(1, 0), number(2, 0), number(3, 0), number(4, id == Id::Db ? 12 : 2)};
    for (const Number& x : n)
        if (x.failed())
            return Operand::of(x.failure);
    const double cost = n[0].value, salvage = n[1].value, life = n[2].value, period = n[3].value;
    switch (id) {
    case Id::Sln:
        if (life == 0)
            return Operand::of(error("#DIV/0!"));
        return Operand::of(numberResult((cost - salvage) / life));
    case Id::Syd:
        if (life <= 0 || period <= 0 || period > life || salvage < 0)
            return Operand::of(error("#NUM!"));
        return Operand::of(numberResult((cost - salvage) * (life - period + 1) * 2 / (life * (life + 1))));
    case Id::Db: {
        const double months = std::trunc(n[4].value);
        const double last = std::trunc(life) + (months < 12 ? 1 : 0);
        if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || months < 1 || months > 12 || period > last)
            return Operand::of(error("#NUM!"));
        if (cost == 0)
            return Operand::of(CellValue::fromNumber(0));
        const double rate = roundDecimal(1 - std::pow(salvage / cost, 1 / life), 3, Rounding::Nearest);
        // The first year takes its months' share; each later period the rate of what is left;
        // a last, extra period the months the first year did not have.
        const double first = cost * rate * months / 12;
        const double p = std::trunc(period);
        if (p == 1)
            return Operand::of(numberResult(first));
        const double left = (cost - first) * std::pow(1 - rate, p - 2); // before period p
        const double share = p == last && months < 12 ? (12 - months) / 12 : 1;
        return Operand::of(numberResult(left * rate * share));
    }
    case Id::Ddb: {
        const double factor = n[4].value;
        if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || period > life || factor <= 0)
            return Operand::of(error("#NUM!"));
        const double rate = std::min(factor / life, 1.0);
        const double value = cost * std::pow(1 - rate, period - 1); // the book value before the period
        return Operand::of(numberResult(std::max(0.0, std::min(value * rate, value - salvage))));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

} // namespace platform::sheet
