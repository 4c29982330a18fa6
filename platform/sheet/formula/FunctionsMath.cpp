// The arithmetic functions beyond the aggregates: MOD, POWER, SQRT, SIGN, TRUNC, PRODUCT and
// SUMPRODUCT, with the spreadsheet program's errors (#DIV/0! for MOD by 0, #NUM! for the root of
// a negative number, #VALUE! for SUMPRODUCT's blocks of unequal shape).
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
            if (const FormulaRef* block = blockOf(args[i])) {
                CellValue failure;
                forEachValue(*block, [&](const CellValue& v) {
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
        std::vector<const FormulaRef*> blocks;
        for (int i = 0; i < argc; ++i) {
            const FormulaRef* block = blockOf(args[i]);
            if (!block)
                return Operand::of(error("#VALUE!"));
            if (!blocks.empty() && (block->range.rows() != blocks[0]->range.rows() ||
                                    block->range.columns() != blocks[0]->range.columns()))
                return Operand::of(error("#VALUE!"));
            blocks.push_back(block);
        }
        int rows = 0;
        int columns = 0;
        std::vector<std::shared_ptr<const BlockValues>> values;
        for (const FormulaRef* block : blocks) {
            values.push_back(valuesIn(*block));
            rows = std::max(rows, values.back()->rows);
            columns = std::max(columns, values.back()->columns);
        }
        double sum = 0;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                double product = 1;
                for (const auto& block : values) {
                    const CellValue& v = block->at(r, c);
                    if (v.type == Type::Error)
                        return Operand::of(v);
                    product *= v.type == Type::Number ? v.number : 0; // texts and truth values count 0
                }
                sum += product;
            }
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
