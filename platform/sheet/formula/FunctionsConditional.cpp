// The conditional functions: SUMIF, SUMIFS, COUNTIF, COUNTIFS, AVERAGEIF, AVERAGEIFS, MAXIFS,
// MINIFS and COUNTBLANK. Criteria ranges are read cell by cell beside the range they select from;
// cells beyond a sheet's last used cell are empty and are counted without being read. Where a
// criteria range is indexed for the calculation (a large block that cannot change), only the
// cells its index finds for the criterion are tried.
#include "platform/sheet/formula/Criteria.h"
#include "platform/sheet/formula/EvaluatorValues.h"

#include <algorithm>
#include <iterator>
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

// The cells (numbered row by row in `columns`) that the indexes of criteria ranges give: those
// of the range whose index finds the fewest, kept where the equal texts other indexes find hold
// them too. `settled` marks the conditions whose criteria these cells need not be tried on.
struct Candidates {
    std::vector<int> positions;
    int columns = 1;
    std::vector<bool> settled;
};

// What the index of a condition's range finds for its criterion.
struct Found {
    const ValueIndex* index = nullptr;
    Criterion::Lookup lookup;
    std::size_t count = 0;
    bool exact = false; // exactly the matching cells
};

template <class IndexOf>
std::optional<Candidates> fewestCandidates(const std::vector<Condition>& conditions, IndexOf&& indexOf) {
    std::vector<Found> found(conditions.size());
    std::optional<std::size_t> fewest;
    for (std::size_t i = 0; i < conditions.size(); ++i) {
        const std::optional<Criterion::Lookup> lookup = conditions[i].criterion.lookup();
        Found& f = found[i];
        f.index = lookup ? indexOf(*conditions[i].block) : nullptr;
        if (!f.index)
            continue;
        f.lookup = *lookup;
        f.count = lookup->text ? f.index->texts(lookup->equal).size()
                               : f.index->countNumbers(lookup->number, lookup->side, lookup->numericTexts);
        f.exact = lookup->text && f.index->textsExact(lookup->equal);
        if (!fewest || f.count < found[*fewest].count)
            fewest = i;
    }
    if (!fewest)
        return std::nullopt;
    const Found& chosen = found[*fewest];
    const int columns = std::max(conditions[*fewest].values->storedColumns, 1);
    Candidates out{chosen.lookup.text ? chosen.index->texts(chosen.lookup.equal)
                                      : chosen.index->numbers(chosen.lookup.number, chosen.lookup.side,
                                                              chosen.lookup.numericTexts),
                   columns, std::vector<bool>(conditions.size(), false)};
    out.settled[*fewest] = chosen.exact;
    // Other ranges of the same width whose equal texts are exact: the cells both hold.
    for (std::size_t i = 0; i < conditions.size(); ++i) {
        if (i == *fewest || !found[i].exact || std::max(conditions[i].values->storedColumns, 1) != columns)
            continue;
        const std::vector<int>& other = found[i].index->texts(found[i].lookup.equal);
        std::vector<int> both;
        std::set_intersection(out.positions.begin(), out.positions.end(), other.begin(), other.end(),
                              std::back_inserter(both));
        out.positions = std::move(both);
        out.settled[i] = true;
    }
    return out;
}

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
    CellValue failure;
    // One cell of the ranges: taken when every criterion matches; false on an error to pass on.
    std::vector<bool> settled(conditions.size(), false);
    auto visit = [&](int r, int c) {
        for (std::size_t i = 0; i < conditions.size(); ++i)
            if (!settled[i] && !conditions[i].criterion.matches(conditions[i].values->at(r, c)))
                return true;
        if (counting) {
            ++count;
            return true;
        }
        const CellValue& v = taken->at(r, c);
        if (v.type == Type::Error) {
            failure = v;
            return false;
        }
        if (v.type == Type::Number) {
            sum += v.number;
            ++count;
            low = std::min(low, v.number);
            high = std::max(high, v.number);
        }
        return true;
    };
    if (const auto candidates =
            fewestCandidates(conditions, [&](const FormulaRef& block) { return indexOf(block); })) {
        // Only the cells the indexes of criteria ranges give are tried, in the order of reading.
        settled = candidates->settled;
        for (int p : candidates->positions)
            if (!visit(p / candidates->columns, p % candidates->columns))
                break;
    } else {
        for (int r = 0; r < usedRows && !isError(failure); ++r)
            for (int c = 0; c < usedColumns; ++c)
                if (!visit(r, c))
                    break;
    }
    if (isError(failure))
        return Operand::of(failure);
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
