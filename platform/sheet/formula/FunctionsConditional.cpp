// The conditional functions: SUMIF, SUMIFS, COUNTIF, COUNTIFS, AVERAGEIF, AVERAGEIFS, MAXIFS,
// MINIFS and COUNTBLANK. Criteria ranges are read cell by cell beside the range they select from;
// cells beyond a sheet's last used cell are empty and are counted without being read.
#include "platform/sheet/formula/Criteria.h"
#include "platform/sheet/formula/EvaluatorValues.h"

#include <limits>
#include <vector>

namespace platform::sheet {

using namespace evaluation;

namespace {

// One criteria range with its criterion and its values.
struct Condition {
    const FormulaRef* block;
    Criterion criterion;
    std::shared_ptr<const ValueMatrix> values = {};
};

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::conditional(Id id, const Operand* args, int argc,
                                                        CellRef at) const {
    if (id == Id::CountBlank) {
        const FormulaRef* block = blockOf(args[0]);
        if (!block)
            return Operand::of(error("#VALUE!"));
        double filled = 0;
        forEachValue(*block, [&](const CellValue& v) {
            if (!(v.type == Type::Text && v.text.isEmpty()))
                ++filled;
            return true;
        });
        return Operand::of(
            CellValue::fromNumber(double(block->range.rows()) * block->range.columns() - filled));
    }

    // The range values are taken from (none when counting) and the criteria pairs.
    const bool counting = id == Id::CountIf || id == Id::CountIfs;
    const bool single = id == Id::SumIf || id == Id::CountIf || id == Id::AverageIf;
    const FormulaRef* valuesBlock = nullptr;
    std::vector<Condition> conditions;
    auto criterionAt = [&](int i) { return Criterion(args[i].missing ? CellValue() : scalar(args[i], at)); };
    if (single) {
        const FormulaRef* range = blockOf(args[0]);
        if (!range)
            return Operand::of(error("#VALUE!"));
        conditions.push_back({range, criterionAt(1)});
        if (!counting)
            valuesBlock = argc > 2 && !args[2].missing ? blockOf(args[2]) : range;
        if (!counting && !valuesBlock)
            return Operand::of(error("#VALUE!"));
    } else {
        const int first = counting ? 0 : 1;
        if ((argc - first) % 2 != 0)
            return Operand::of(error("#VALUE!"));
        if (!counting && !(valuesBlock = blockOf(args[0])))
            return Operand::of(error("#VALUE!"));
        for (int i = first; i < argc; i += 2) {
            const FormulaRef* range = blockOf(args[i]);
            if (!range)
                return Operand::of(error("#VALUE!"));
            conditions.push_back({range, criterionAt(i + 1)});
        }
    }

    // Every range has the shape of the first criteria range; SUMIF's value range takes it from
    // its top left cell, the other functions want equal shapes.
    const CellRange& shape = conditions.front().block->range;
    const int rows = shape.rows();
    const int columns = shape.columns();
    for (const Condition& c : conditions)
        if (c.block->range.rows() != rows || c.block->range.columns() != columns)
            return Operand::of(error("#VALUE!"));
    if (valuesBlock && !single &&
        (valuesBlock->range.rows() != rows || valuesBlock->range.columns() != columns))
        return Operand::of(error("#VALUE!"));

    // Only the rows and columns where some range can hold a value are read.
    int usedRows = 0;
    int usedColumns = 0;
    auto widen = [&](const FormulaRef& block) {
        const CellRef used = usedExtent(block);
        usedRows = std::max(usedRows, std::min(used.row, rows));
        usedColumns = std::max(usedColumns, std::min(used.col, columns));
    };
    for (const Condition& c : conditions)
        widen(*c.block);
    if (valuesBlock)
        widen(*valuesBlock);

    for (Condition& condition : conditions)
        condition.values = valuesIn(*condition.block);
    // SUMIF's value range takes the shape of its criteria range from its top left cell.
    FormulaRef valuesShape;
    std::shared_ptr<const ValueMatrix> taken;
    if (valuesBlock) {
        valuesShape = *valuesBlock;
        valuesShape.range.last = {valuesBlock->range.first.row + rows - 1,
                                  valuesBlock->range.first.col + columns - 1};
        taken = valuesIn(valuesShape);
    }
    double sum = 0;
    double count = 0;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int r = 0; r < usedRows; ++r) {
        for (int c = 0; c < usedColumns; ++c) {
            bool all = true;
            for (const Condition& condition : conditions)
                if (!(all = condition.criterion.matches(condition.values->at(r, c))))
                    break;
            if (!all)
                continue;
            if (counting) {
                ++count;
                continue;
            }
            const CellValue& v = taken->at(r, c);
            if (v.type == Type::Error)
                return Operand::of(v);
            if (v.type != Type::Number)
                continue;
            sum += v.number;
            ++count;
            low = std::min(low, v.number);
            high = std::max(high, v.number);
        }
    }
    if (counting) {
        // The empty cells outside the used area match when every criterion takes an empty cell.
        const double outside = double(rows) * columns - double(usedRows) * usedColumns;
        bool emptyMatches = outside > 0;
        for (const Condition& condition : conditions)
            emptyMatches = emptyMatches && condition.criterion.matches(CellValue());
        return Operand::of(CellValue::fromNumber(count + (emptyMatches ? outside : 0)));
    }
    switch (id) {
    case Id::AverageIf:
    case Id::AverageIfs:
        return Operand::of(count == 0 ? error("#DIV/0!") : numberResult(sum / count));
    case Id::MaxIfs:
        return Operand::of(numberResult(count == 0 ? 0 : high));
    case Id::MinIfs:
        return Operand::of(numberResult(count == 0 ? 0 : low));
    default:
        return Operand::of(numberResult(sum));
    }
}

} // namespace platform::sheet
