// The arithmetic functions beyond the aggregates: MOD, POWER, SQRT, SIGN, TRUNC, PRODUCT and
// SUMPRODUCT, with the spreadsheet program's errors (#DIV/0! for MOD by 0, #NUM! for the root of
// a negative number, #VALUE! for SUMPRODUCT's arrays of unequal size).
#include "platform/sheet/formula/EvaluatorValues.h"

namespace platform::sheet {

using namespace evaluation;

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
    default:
        break;
    }

    const Number x = number(0, 0);
    if (x.failed())
        return Operand::of(x.failure);
    switch (id) {
    case Id::Sqrt:
        return Operand::of(x.value < 0 ? error("#NUM!") : numberResult(std::sqrt(x.value)));
    case Id::Sign:
        return Operand::of(CellValue::fromNumber(x.value > 0 ? 1 : x.value < 0 ? -1 : 0));
    case Id::Trunc: {
        const Number digits = number(1, 0);
        if (digits.failed())
            return Operand::of(digits.failure);
        return Operand::of(
            numberResult(roundDecimal(x.value, int(std::trunc(digits.value)), Rounding::Down)));
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

} // namespace platform::sheet
