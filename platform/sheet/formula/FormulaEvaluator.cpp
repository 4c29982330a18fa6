// The formula engine's evaluation of compiled formulas.
#include "platform/sheet/formula/FormulaEvaluator.h"

#include "platform/sheet/formula/EvaluatorValues.h"
#include "platform/sheet/formula/TypedNumber.h"
#include "platform/sheet/package/SharedStrings.h"
#include "platform/sheet/package/XmlText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace platform::sheet {

using namespace evaluation;
using Op = FormulaProgram::Op;
using Id = FormulaFunctions::Id;
using Type = CellValue::Type;

FormulaEvaluator::FormulaEvaluator(std::vector<const CellStore*> stores, const SharedStrings& strings,
                                   const FormulaCompiler::Scope* scope, bool date1904,
                                   std::vector<std::vector<CellRange>> filters)
    : stores_(std::move(stores))
    , strings_(strings)
    , scope_(scope)
    , date1904_(date1904)
    , filters_(std::move(filters)) {
    for (const CellStore* store : stores_)
        formulaFree_.push_back(!store || !store->mayHoldFormulas());
}

// ---- cells -------------------------------------------------------------------------------

CellValue FormulaEvaluator::read(int sheet, int row, const CellStore::Cell& cell) const {
    if (cell.flags & (CellStore::kDirty | CellStore::kStale)) {
        unsettled_ = true;
        if (cell.flags & CellStore::kDirty)
            unsettledCells_.emplace_back(sheet, CellRef{row, cell.col});
    }
    return valueOf(sheet, cell);
}

CellValue FormulaEvaluator::valueOf(int sheet, const CellStore::Cell& cell) const {
    switch (cell.type) {
    case CellStore::Type::Number:
        return CellValue::fromNumber(cell.number);
    case CellStore::Type::Boolean:
        return CellValue::fromBoolean(cell.number != 0);
    case CellStore::Type::Shared:
        return CellValue::fromText(strings_.qtext(cell.text));
    case CellStore::Type::Inline:
        return CellValue::fromText(XmlText::toQString(stores_[std::size_t(sheet)]->text(cell.text)));
    case CellStore::Type::Error:
        return CellValue::fromError(XmlText::toQString(stores_[std::size_t(sheet)]->text(cell.text)));
    case CellStore::Type::Empty:
        break;
    }
    return {};
}

CellValue FormulaEvaluator::cellValue(int sheet, CellRef at) const {
    if (sheet < 0 || std::size_t(sheet) >= stores_.size() || !stores_[std::size_t(sheet)])
        return error("#REF!");
    const CellStore::Cell* cell = stores_[std::size_t(sheet)]->find(at);
    return cell ? read(sheet, at.row, *cell) : CellValue();
}

const FormulaRef* FormulaEvaluator::blockOf(const Operand& operand) {
    return operand.ref && operand.ref->firstSheet == operand.ref->lastSheet ? operand.ref : nullptr;
}

CellValue FormulaEvaluator::cellIn(const FormulaRef& block, int row, int col) const {
    return cellValue(block.firstSheet, {block.range.first.row + row, block.range.first.col + col});
}

std::shared_ptr<const ValueMatrix> FormulaEvaluator::valuesIn(const FormulaRef& block) const {
    const int sheet = block.firstSheet;
    const bool keep =
        sheet >= 0 && std::size_t(sheet) < formulaFree_.size() && formulaFree_[std::size_t(sheet)];
    const auto key = std::make_tuple(sheet, block.range.first.row, block.range.first.col,
                                     block.range.last.row, block.range.last.col);
    if (keep)
        if (auto found = blocks_.find(key); found != blocks_.end())
            return found->second;
    const CellRef used = usedExtent(block);
    const CellRange& r = block.range;
    auto values = std::make_shared<ValueMatrix>(r.rows(), r.columns(), used.row, used.col);
    if (used.row > 0 && used.col > 0) {
        const CellRange part(r.first, {r.first.row + used.row - 1, r.first.col + used.col - 1});
        stores_[std::size_t(sheet)]->forEachIn(part, [&](int row, const CellStore::Cell& cell) {
            values->stored(row - r.first.row, cell.col - r.first.col) = read(sheet, row, cell);
        });
    }
    if (keep)
        blocks_.emplace(key, values);
    return values;
}

const ValueIndex* FormulaEvaluator::indexOf(const FormulaRef& block, int line, bool vertical) const {
    constexpr double kSmallest = 64; // cells: fewer are read at once
    const int sheet = block.firstSheet;
    const bool stable = block.firstSheet == block.lastSheet && sheet >= 0 &&
                        std::size_t(sheet) < formulaFree_.size() && formulaFree_[std::size_t(sheet)];
    if (!stable || double(block.range.rows()) * block.range.columns() < kSmallest)
        return nullptr;
    const std::shared_ptr<const ValueMatrix> kept = valuesIn(block);
    const ValueMatrix& values = *kept;
    Indexed& indexed = indexes_[std::make_tuple(&values, line, vertical)];
    if (!indexed.index && ++indexed.uses >= 2) {
        if (line < 0)
            indexed.index = std::make_unique<ValueIndex>(
                values.storedRows * values.storedColumns,
                [&](int i) -> const CellValue& { return values.values[std::size_t(i)]; });
        else
            indexed.index = std::make_unique<ValueIndex>(
                vertical ? values.storedRows : values.storedColumns, [&](int i) -> const CellValue& {
                    return vertical ? values.at(i, line) : values.at(line, i);
                });
    }
    return indexed.index.get();
}

const std::vector<double>* FormulaEvaluator::numbersIn(const FormulaRef& block,
                                                       const ValueMatrix*& values) const {
    const int sheet = block.firstSheet;
    if (block.firstSheet != block.lastSheet || sheet < 0 || std::size_t(sheet) >= formulaFree_.size() ||
        !formulaFree_[std::size_t(sheet)])
        return nullptr;
    const std::shared_ptr<const ValueMatrix> kept = valuesIn(block);
    values = kept.get();
    std::optional<std::vector<double>>& numbers = numbers_[values];
    if (!numbers) {
        numbers.emplace();
        numbers->reserve(values->values.size());
        for (const CellValue& v : values->values) {
            if (v.type == CellValue::Type::Error) {
                numbers->clear();
                break;
            }
            numbers->push_back(v.type == CellValue::Type::Number ? v.number : 0);
        }
    }
    return numbers->size() == values->values.size() ? &*numbers : nullptr;
}

std::optional<double> FormulaEvaluator::stableSumProduct(const Operand* args, int argc) const {
    std::vector<const std::vector<double>*> numbers;
    std::vector<const ValueMatrix*> values;
    int rows = 0;
    int columns = 0;
    for (int i = 0; i < argc; ++i) {
        const FormulaRef* block = blockOf(args[i]);
        const ValueMatrix* matrix = nullptr;
        const std::vector<double>* n = block ? numbersIn(*block, matrix) : nullptr;
        if (!n || (i > 0 && (matrix->rows != values[0]->rows || matrix->columns != values[0]->columns)))
            return std::nullopt;
        rows = i == 0 ? matrix->storedRows : std::min(rows, matrix->storedRows);
        columns = i == 0 ? matrix->storedColumns : std::min(columns, matrix->storedColumns);
        numbers.push_back(n);
        values.push_back(matrix);
    }
    // Beyond any block's stored part its cells are empty: their products are 0. Where every
    // block stores rows as wide as the part summed, its numbers lie in one run.
    bool oneRun = true;
    for (const ValueMatrix* m : values)
        oneRun = oneRun && m->storedColumns == columns;
    const int runs = oneRun ? 1 : rows;
    const int length = oneRun ? rows * columns : columns;
    double sum = 0;
    std::vector<const double*> run(numbers.size());
    for (int r = 0; r < runs; ++r) {
        for (std::size_t k = 0; k < numbers.size(); ++k)
            run[k] = numbers[k]->data() + std::size_t(r) * std::size_t(values[k]->storedColumns);
        if (run.size() == 2) {
            const double* a = run[0];
            const double* b = run[1];
            for (int i = 0; i < length; ++i)
                sum += a[i] * b[i];
            continue;
        }
        for (int i = 0; i < length; ++i) {
            double p = 1;
            for (const double* numbersOfRun : run)
                p *= numbersOfRun[i];
            sum += p;
        }
    }
    return sum;
}

CellRef FormulaEvaluator::usedExtent(const FormulaRef& block) const {
    const int sheet = block.firstSheet;
    if (sheet < 0 || std::size_t(sheet) >= stores_.size() || !stores_[std::size_t(sheet)] ||
        stores_[std::size_t(sheet)]->empty())
        return {0, 0};
    if (lastUsed_.size() < stores_.size())
        lastUsed_.resize(stores_.size());
    std::optional<CellRef>& known = lastUsed_[std::size_t(sheet)];
    if (!known)
        known = stores_[std::size_t(sheet)]->lastUsed();
    const CellRef last = *known;
    const CellRange& r = block.range;
    return {std::clamp(last.row - r.first.row + 1, 0, r.rows()),
            std::clamp(last.col - r.first.col + 1, 0, r.columns())};
}

// A reference where one value is wanted: a single cell, or the cell of a one-column block in
// the formula's row (of a one-row block in its column).
CellValue FormulaEvaluator::scalar(const Operand& operand, CellRef at) const {
    if (operand.array)
        return operand.array->at(0, 0);
    if (operand.areas)
        return error("#VALUE!");
    if (!operand.ref)
        return operand.value;
    const FormulaRef& ref = *operand.ref;
    if (ref.firstSheet != ref.lastSheet)
        return error("#VALUE!");
    const CellRange& r = ref.range;
    if (r.isSingleCell())
        return cellValue(ref.firstSheet, r.first);
    if (r.columns() == 1 && at.row >= r.first.row && at.row <= r.last.row)
        return cellValue(ref.firstSheet, {at.row, r.first.col});
    if (r.rows() == 1 && at.col >= r.first.col && at.col <= r.last.col)
        return cellValue(ref.firstSheet, {r.first.row, at.col});
    return error("#VALUE!");
}

// ---- evaluation --------------------------------------------------------------------------

FormulaEvaluator::Operand FormulaEvaluator::run(const FormulaProgram& program, CellRef at, int sheet) const {
    unsettled_ = false;
    unsettledCells_.clear();
    gaveUp_ = false;
    currentSheet_ = sheet;
    std::vector<Operand> stack;
    stack.reserve(8);
    const Operand failed = Operand::of(error("#VALUE!"));
    for (const FormulaProgram::Step& step : program.steps) {
        arrayStep_ = step.array != FormulaProgram::Array::No;
        arrayFormula_ = step.array == FormulaProgram::Array::Formula;
        switch (step.op) {
        case Op::Number:
            stack.push_back(Operand::of(CellValue::fromNumber(step.number)));
            break;
        case Op::Boolean:
            stack.push_back(Operand::of(CellValue::fromBoolean(step.number != 0)));
            break;
        case Op::Text:
            stack.push_back(Operand::of(CellValue::fromText(program.texts[step.index])));
            break;
        case Op::Error:
            stack.push_back(Operand::of(CellValue::fromError(program.texts[step.index])));
            break;
        case Op::Missing: {
            Operand o;
            o.missing = true;
            stack.push_back(o);
            break;
        }
        case Op::Reference: {
            Operand o;
            o.ref = &program.refs[step.index];
            stack.push_back(o);
            break;
        }
        case Op::Array: {
            stack.push_back(Operand::ofArray(ValueMatrix(program.arrays[step.index])));
            break;
        }
        case Op::ImplicitIntersect:
            if (stack.empty())
                return failed;
            stack.back() = Operand::of(scalar(stack.back(), at));
            break;
        case Op::Spill:
            return failed;
        case Op::ThisRow: {
            // The cells of the block in the formula's row; #VALUE! outside the block's rows.
            if (stack.empty())
                return failed;
            const Operand& block = stack.back();
            if (block.ref && at.row >= block.ref->range.first.row && at.row <= block.ref->range.last.row) {
                FormulaRef row = *block.ref;
                row.range.first.row = row.range.last.row = at.row;
                stack.back() = Operand::ofReference(row);
            } else if (block.ref) {
                stack.back() = Operand::of(error("#VALUE!"));
            }
            break;
        }
        case Op::Range:
        case Op::Intersect:
        case Op::Union: {
            const std::size_t count = step.op == Op::Union ? step.argc : 2;
            if (stack.size() < count)
                return failed;
            const std::size_t base = stack.size() - count;
            Operand result = referenceOp(step.op, stack.data() + base, int(count));
            stack.resize(base);
            stack.push_back(std::move(result));
            break;
        }
        case Op::Negate:
        case Op::Percent:
            if (stack.empty())
                return failed;
            stack.back() = unaryOp(step.op, stack.back(), at);
            break;
        case Op::Call: {
            if (stack.size() < step.argc)
                return failed;
            const std::size_t base = stack.size() - step.argc;
            Operand result = call(step.function, stack.data() + base, int(step.argc), at);
            stack.resize(base);
            stack.push_back(std::move(result));
            break;
        }
        default: {
            if (stack.size() < 2)
                return failed;
            Operand result = binaryOp(step.op, stack[stack.size() - 2], stack.back(), at);
            stack.pop_back();
            stack.back() = std::move(result);
            break;
        }
        }
    }
    arrayStep_ = arrayFormula_ = false;
    if (stack.size() != 1)
        return failed;
    return std::move(stack.back());
}

CellValue FormulaEvaluator::evaluate(const FormulaProgram& program, CellRef at, int sheet) const {
    const DateSystem::Use dates(date1904_);
    const Operand result = run(program, at, sheet);
    // An array formula shows the first value of an array or a block; any other formula the one
    // value, or the cell of a block in its row or column.
    const bool arrayFormula =
        !program.steps.empty() && program.steps.back().array == FormulaProgram::Array::Formula;
    CellValue value;
    if (result.missing)
        value = CellValue();
    else if (arrayFormula && (result.ref || result.areas))
        value = matrixOf(result, at)->at(0, 0);
    else
        value = scalar(result, at);
    // A formula that shows an empty cell shows 0.
    if (value.type == Type::Empty)
        return CellValue::fromNumber(0);
    return value;
}

ValueMatrix FormulaEvaluator::evaluateBlock(const FormulaProgram& program, CellRef at, int sheet, int rows,
                                            int columns) const {
    const DateSystem::Use dates(date1904_);
    const Operand result = run(program, at, sheet);
    arrayStep_ = true;
    const std::shared_ptr<const ValueMatrix> values =
        result.missing ? std::make_shared<const ValueMatrix>(ValueMatrix::single(CellValue()))
                       : matrixOf(result, at);
    arrayStep_ = false;
    ValueMatrix out(rows, columns);
    const CellValue notAvailable = error("#N/A");
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int rr = values->rows == 1 ? 0 : r;
            const int cc = values->columns == 1 ? 0 : c;
            CellValue v = rr < values->rows && cc < values->columns ? values->at(rr, cc) : notAvailable;
            out.stored(r, c) = v.type == Type::Empty ? CellValue::fromNumber(0) : std::move(v);
        }
    }
    return out;
}

// ---- arrays ------------------------------------------------------------------------------

bool FormulaEvaluator::spreads(const Operand& operand) const {
    if (operand.array)
        return true;
    return arrayStep_ && operand.ref && operand.ref->firstSheet == operand.ref->lastSheet &&
           !operand.ref->range.isSingleCell();
}

std::shared_ptr<const ValueMatrix> FormulaEvaluator::matrixOf(const Operand& operand, CellRef at) const {
    if (operand.array)
        return operand.array;
    if (operand.ref && operand.ref->firstSheet == operand.ref->lastSheet)
        return valuesIn(*operand.ref);
    if (operand.ref || operand.areas)
        return std::make_shared<const ValueMatrix>(ValueMatrix::single(error("#VALUE!")));
    return std::make_shared<const ValueMatrix>(
        ValueMatrix::single(operand.missing ? CellValue() : operand.value));
}

std::shared_ptr<const ValueMatrix> FormulaEvaluator::tableOf(const Operand& operand) const {
    if (operand.array)
        return operand.array;
    if (const FormulaRef* block = blockOf(operand))
        return valuesIn(*block);
    return nullptr;
}

template <class F>
FormulaEvaluator::Operand
FormulaEvaluator::elementwise(const std::vector<std::shared_ptr<const ValueMatrix>>& arrays, F&& f) const {
    int rows = 1;
    int columns = 1;
    for (const auto& m : arrays) {
        if (m->rows != 1)
            rows = std::max(rows, m->rows);
        if (m->columns != 1)
            columns = std::max(columns, m->columns);
    }
    // Where every array has the result's size or is a single value, the part beyond all the
    // stored parts is one value too: the rows of a whole column below the used cells cost one
    // calculation.
    bool sameSizes = true;
    int storedRows = 0;
    int storedColumns = 0;
    for (const auto& m : arrays) {
        if (m->rows == 1 && m->columns == 1)
            continue;
        if (m->rows != rows || m->columns != columns)
            sameSizes = false;
        storedRows = std::max(storedRows, m->storedRows);
        storedColumns = std::max(storedColumns, m->storedColumns);
    }
    if (!sameSizes) {
        storedRows = rows;
        storedColumns = columns;
    }
    if (double(storedRows) * double(storedColumns) > kMaxArrayElements) {
        gaveUp_ = true;
        return Operand::of(error("#VALUE!"));
    }
    const CellValue notAvailable = error("#N/A");
    auto elementAt = [&](const ValueMatrix& m, int r, int c) -> const CellValue& {
        const int rr = m.rows == 1 ? 0 : r;
        const int cc = m.columns == 1 ? 0 : c;
        return rr < m.rows && cc < m.columns ? m.at(rr, cc) : notAvailable;
    };
    std::vector<const CellValue*> elements(arrays.size());
    ValueMatrix out(rows, columns, storedRows, storedColumns);
    for (int r = 0; r < storedRows; ++r) {
        for (int c = 0; c < storedColumns; ++c) {
            for (std::size_t k = 0; k < arrays.size(); ++k)
                elements[k] = &elementAt(*arrays[k], r, c);
            out.stored(r, c) = f(elements);
        }
    }
    if (storedRows < rows || storedColumns < columns) {
        for (std::size_t k = 0; k < arrays.size(); ++k)
            elements[k] =
                arrays[k]->rows == 1 && arrays[k]->columns == 1 ? &arrays[k]->at(0, 0) : &arrays[k]->fill;
        out.fill = f(elements);
    }
    return Operand::ofArray(std::move(out));
}

// ---- operators ---------------------------------------------------------------------------

namespace {

CellValue unaryValue(Op op, const CellValue& v) {
    const auto n = FormulaEvaluator::Number::of(v);
    if (n.failed())
        return n.failure;
    return numberResult(op == Op::Negate ? -n.value : n.value / 100);
}

CellValue binaryValue(Op op, const CellValue& left, const CellValue& right) {
    if (isError(left))
        return left;
    if (isError(right))
        return right;
    switch (op) {
    case Op::Concat: {
        QString text = textOf(left) + textOf(right);
        if (text.size() > kMaxText)
            return error("#VALUE!");
        return CellValue::fromText(std::move(text));
    }
    case Op::Equal:
        return CellValue::fromBoolean(compareValues(left, right) == 0);
    case Op::NotEqual:
        return CellValue::fromBoolean(compareValues(left, right) != 0);
    case Op::Less:
        return CellValue::fromBoolean(compareValues(left, right) < 0);
    case Op::Greater:
        return CellValue::fromBoolean(compareValues(left, right) > 0);
    case Op::LessEqual:
        return CellValue::fromBoolean(compareValues(left, right) <= 0);
    case Op::GreaterEqual:
        return CellValue::fromBoolean(compareValues(left, right) >= 0);
    default:
        break;
    }
    const auto x = FormulaEvaluator::Number::of(left);
    if (x.failed())
        return x.failure;
    const auto y = FormulaEvaluator::Number::of(right);
    if (y.failed())
        return y.failure;
    switch (op) {
    case Op::Add:
        return numberResult(x.value + y.value);
    case Op::Subtract:
        return numberResult(x.value - y.value);
    case Op::Multiply:
        return numberResult(x.value * y.value);
    case Op::Divide:
        if (y.value == 0)
            return error("#DIV/0!");
        return numberResult(x.value / y.value);
    case Op::Power:
        if (x.value == 0 && y.value == 0)
            return error("#NUM!");
        if (x.value == 0 && y.value < 0)
            return error("#DIV/0!");
        return numberResult(std::pow(x.value, y.value));
    default:
        return error("#VALUE!");
    }
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::unaryOp(Op op, const Operand& a, CellRef at) const {
    if (spreads(a))
        return elementwise({matrixOf(a, at)}, [&](const auto& e) { return unaryValue(op, *e[0]); });
    return Operand::of(unaryValue(op, scalar(a, at)));
}

FormulaEvaluator::Operand FormulaEvaluator::binaryOp(Op op, const Operand& a, const Operand& b,
                                                     CellRef at) const {
    if (spreads(a) || spreads(b)) {
        // A side that does not spread gives its one value (a block outside an array step the
        // cell in the formula's row or column).
        auto side = [&](const Operand& o) {
            return spreads(o) ? matrixOf(o, at)
                              : std::make_shared<const ValueMatrix>(ValueMatrix::single(scalar(o, at)));
        };
        return elementwise({side(a), side(b)}, [&](const auto& e) { return binaryValue(op, *e[0], *e[1]); });
    }
    return Operand::of(binaryValue(op, scalar(a, at), scalar(b, at)));
}

// The reference operators: a union of references, the cells two blocks share (#NULL! when none),
// the block spanning two references. They take references of one sheet only.
FormulaEvaluator::Operand FormulaEvaluator::referenceOp(Op op, const Operand* parts, int count) const {
    std::vector<FormulaRef> refs;
    for (int i = 0; i < count; ++i) {
        const Operand& p = parts[i];
        if (p.areas)
            refs.insert(refs.end(), p.areas->begin(), p.areas->end());
        else if (p.ref)
            refs.push_back(*p.ref);
        else
            return isError(p.value) ? Operand::of(p.value) : Operand::of(error("#VALUE!"));
    }
    if (op == Op::Union) {
        Operand o;
        o.areas = std::make_shared<const std::vector<FormulaRef>>(std::move(refs));
        return o;
    }
    if (refs.size() != 2 || refs[0].firstSheet != refs[0].lastSheet ||
        refs[1].firstSheet != refs[1].lastSheet || refs[0].firstSheet != refs[1].firstSheet)
        return Operand::of(error("#VALUE!"));
    const CellRange& x = refs[0].range;
    const CellRange& y = refs[1].range;
    FormulaRef out = refs[0];
    if (op == Op::Range) {
        out.range = CellRange({std::min(x.first.row, y.first.row), std::min(x.first.col, y.first.col)},
                              {std::max(x.last.row, y.last.row), std::max(x.last.col, y.last.col)});
        return Operand::ofReference(out);
    }
    const CellRef first{std::max(x.first.row, y.first.row), std::max(x.first.col, y.first.col)};
    const CellRef last{std::min(x.last.row, y.last.row), std::min(x.last.col, y.last.col)};
    if (first.row > last.row || first.col > last.col)
        return Operand::of(error("#NULL!"));
    out.range = CellRange(first, last);
    return Operand::ofReference(out);
}

// ---- functions ---------------------------------------------------------------------------

// A function given an array where it takes one value gives an array of its results.
FormulaEvaluator::Operand FormulaEvaluator::call(Id id, const Operand* args, int argc, CellRef at) const {
    for (int i = 0; i < argc; ++i)
        if (FormulaFunctions::argument(id, i) == FormulaFunctions::Argument::Value && spreads(args[i]))
            return lifted(id, args, argc, at);
    return dispatch(id, args, argc, at);
}

// The function once for each element of the arrays it was given where it takes one value (and
// of those it hands on): an array of the results.
FormulaEvaluator::Operand FormulaEvaluator::lifted(Id id, const Operand* args, int argc, CellRef at) const {
    // The choosing functions take arrays only in array formulas: inside SUMPRODUCT of a plain
    // formula the spreadsheet program does not evaluate their arguments as arrays, which is left
    // to it.
    if (arrayStep_ && !arrayFormula_ &&
        (id == Id::If || id == Id::IfError || id == Id::IfNa || id == Id::Ifs || id == Id::Choose ||
         id == Id::Switch)) {
        gaveUp_ = true;
        return Operand::of(error("#VALUE!"));
    }
    std::vector<int> positions;
    std::vector<std::shared_ptr<const ValueMatrix>> arrays;
    for (int i = 0; i < argc; ++i) {
        if (FormulaFunctions::argument(id, i) != FormulaFunctions::Argument::Block && spreads(args[i])) {
            positions.push_back(i);
            arrays.push_back(matrixOf(args[i], at));
        }
    }
    std::vector<Operand> one(args, args + argc);
    return elementwise(arrays, [&](const std::vector<const CellValue*>& elements) {
        for (std::size_t k = 0; k < positions.size(); ++k)
            one[std::size_t(positions[k])] = Operand::of(*elements[k]);
        const Operand result = dispatch(id, one.data(), argc, at);
        // An element is one value: a block of cells or an array there is left to the program.
        if (result.array || result.areas || (result.ref && !result.ref->isSingleCell())) {
            gaveUp_ = true;
            return error("#VALUE!");
        }
        CellValue v = scalar(result, at);
        return v.type == Type::Empty ? CellValue::fromNumber(0) : v;
    });
}

FormulaEvaluator::Operand FormulaEvaluator::dispatch(Id id, const Operand* args, int argc, CellRef at) const {
    using Family = FormulaFunctions::Family;
    switch (FormulaFunctions::familyOf(id)) {
    case Family::Aggregate:
        return aggregate(id, args, argc);
    case Family::Rounding:
        return round(id, args, at);
    case Family::Basic:
        return basic(id, args, argc, at);
    case Family::Logical:
        return logical(id, args, argc);
    case Family::Conditional:
        return conditional(id, args, argc, at);
    case Family::Lookup:
        return lookup(id, args, argc, at);
    case Family::Reference:
        return reference(id, args, argc, at);
    case Family::Math:
        return math(id, args, argc, at);
    case Family::Text:
        return text(id, args, argc, at);
    case Family::NumberSystems:
        return numberSystems(id, args, argc, at);
    case Family::Information:
        return information(id, args, argc, at);
    case Family::Dates:
        return dates(id, args, argc, at);
    case Family::Statistics:
        return statistics(id, args, argc, at);
    case Family::Subtotal:
        return subtotal(args, argc, at);
    case Family::Finance:
        return finance(id, args, argc, at);
    case Family::Complex:
        return complexNumbers(id, args, argc, at);
    case Family::None:
        break;
    }
    return Operand::of(error("#NAME?"));
}

// INT, ABS, IF, IFERROR, NOT, TRUE, FALSE and CONCATENATE.
FormulaEvaluator::Operand FormulaEvaluator::basic(Id id, const Operand* args, int argc, CellRef at) const {
    switch (id) {
    case Id::Int:
    case Id::Abs: {
        const Number n = Number::of(scalar(args[0], at));
        if (n.failed())
            return Operand::of(n.failure);
        return Operand::of(numberResult(id == Id::Int ? std::floor(n.value) : std::fabs(n.value)));
    }
    case Id::If: {
        CellValue failure;
        const bool condition = truthOf(scalar(args[0], at), failure);
        if (isError(failure))
            return Operand::of(failure);
        if (!condition && argc < 3)
            return Operand::of(CellValue::fromBoolean(false));
        const Operand& chosen = args[condition ? 1 : 2];
        if (chosen.missing)
            return Operand::of(CellValue::fromNumber(0));
        return chosen;
    }
    case Id::IfError: {
        const CellValue value = args[0].missing ? CellValue::fromNumber(0) : scalar(args[0], at);
        if (!isError(value))
            return Operand::of(value);
        return args[1].missing ? Operand::of(CellValue::fromNumber(0)) : args[1];
    }
    case Id::Not: {
        CellValue failure;
        const bool value = truthOf(scalar(args[0], at), failure);
        if (isError(failure))
            return Operand::of(failure);
        return Operand::of(CellValue::fromBoolean(!value));
    }
    case Id::True:
        return Operand::of(CellValue::fromBoolean(true));
    case Id::False:
        return Operand::of(CellValue::fromBoolean(false));
    case Id::Concatenate: {
        QString text;
        for (int i = 0; i < argc; ++i) {
            const CellValue v = args[i].missing ? CellValue() : scalar(args[i], at);
            if (isError(v))
                return Operand::of(v);
            text += textOf(v);
            if (text.size() > kMaxText)
                return Operand::of(error("#VALUE!"));
        }
        return Operand::of(CellValue::fromText(std::move(text)));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

// SUM, AVERAGE, MIN, MAX, COUNT and COUNTA. In references and arrays only numbers count
// (COUNTA: every value); typed arguments also count truth values and texts that hold numbers, and a typed
// text that holds none is #VALUE!. An error in a reference or argument is passed on (COUNT and COUNTA count
// instead).
FormulaEvaluator::Operand FormulaEvaluator::aggregate(Id id, const Operand* args, int argc) const {
    const bool counting = id == Id::Count || id == Id::CountA;
    double sum = 0;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    long long count = 0;
    CellValue failure;
    auto take = [&](double v) {
        sum += v;
        low = std::min(low, v);
        high = std::max(high, v);
        ++count;
    };
    for (int i = 0; i < argc && !isError(failure); ++i) {
        const Operand& arg = args[i];
        if (arg.ref || arg.areas || arg.array) {
            forEachValueOf(arg, [&](const CellValue& v) {
                if (v.type == Type::Number)
                    take(v.number);
                else if (id == Id::CountA)
                    ++count;
                else if (v.type == Type::Error && !counting)
                    failure = v;
                return !isError(failure);
            });
            continue;
        }
        if (arg.missing) {
            take(0);
            continue;
        }
        const CellValue& v = arg.value;
        switch (v.type) {
        case Type::Number:
        case Type::Boolean:
            take(v.number);
            break;
        case Type::Text: {
            double number = 0;
            if (numberFromText(v.text, number))
                take(number);
            else if (id == Id::CountA)
                ++count;
            else if (!counting)
                failure = error("#VALUE!");
            break;
        }
        case Type::Error:
            if (id == Id::CountA)
                ++count;
            else if (!counting)
                failure = v;
            break;
        case Type::Empty:
            break;
        }
    }
    if (isError(failure))
        return Operand::of(failure);
    switch (id) {
    case Id::Sum:
        return Operand::of(numberResult(sum));
    case Id::Average:
        if (count == 0)
            return Operand::of(error("#DIV/0!"));
        return Operand::of(numberResult(sum / double(count)));
    case Id::Min:
        return Operand::of(numberResult(count ? low : 0));
    case Id::Max:
        return Operand::of(numberResult(count ? high : 0));
    default:
        return Operand::of(CellValue::fromNumber(double(count)));
    }
}

// AND, OR and XOR (true for an odd number of true values) over truth values and numbers; texts and empty
// cells in references and arrays are passed over, a typed text is #VALUE!, and no value at all is #VALUE!.
FormulaEvaluator::Operand FormulaEvaluator::logical(Id id, const Operand* args, int argc) const {
    bool result = id == Id::And;
    bool any = false;
    CellValue failure;
    auto take = [&](bool v) {
        any = true;
        result = id == Id::And ? (result && v) : id == Id::Or ? (result || v) : (result != v);
    };
    for (int i = 0; i < argc && !isError(failure); ++i) {
        const Operand& arg = args[i];
        if (arg.ref || arg.areas || arg.array) {
            forEachValueOf(arg, [&](const CellValue& v) {
                if (v.type == Type::Number || v.type == Type::Boolean)
                    take(v.number != 0);
                else if (v.type == Type::Error)
                    failure = v;
                return !isError(failure);
            });
            continue;
        }
        if (arg.missing)
            continue;
        const CellValue& v = arg.value;
        if (v.type == Type::Empty)
            continue;
        const bool truth = truthOf(v, failure);
        if (!isError(failure))
            take(truth);
    }
    if (isError(failure))
        return Operand::of(failure);
    if (!any)
        return Operand::of(error("#VALUE!"));
    return Operand::of(CellValue::fromBoolean(result));
}

FormulaEvaluator::Operand FormulaEvaluator::round(Id id, const Operand* args, CellRef at) const {
    const Number x = Number::of(scalar(args[0], at));
    if (x.failed())
        return Operand::of(x.failure);
    const Number digits = Number::of(args[1].missing ? CellValue::fromNumber(0) : scalar(args[1], at));
    if (digits.failed())
        return Operand::of(digits.failure);
    const double places = std::clamp(std::trunc(digits.value), -400.0, 400.0);
    const Rounding rounding = id == Id::RoundUp     ? Rounding::Up
                              : id == Id::RoundDown ? Rounding::Down
                                                    : Rounding::Nearest;
    return Operand::of(numberResult(roundDecimal(x.value, int(places), rounding)));
}

double FormulaEvaluator::roundDecimal(double value, int digits, Rounding rounding) {
    if (value == 0 || !std::isfinite(value))
        return value;
    // The 15 significant digits of |value|: d.dddddddddddddde+XX.
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(value));
    char mantissa[15];
    int n = 0;
    const char* p = text;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mantissa[n++] = *p;
    const int exponent = std::atoi(p + 1);
    // Digits kept: those down to the place 10^-digits.
    const int keep = exponent + 1 + digits;
    if (keep >= 15)
        return value;
    const double sign = value < 0 ? -1 : 1;
    if (keep < 0) {
        // Every digit lies below the place rounded to.
        return rounding == Rounding::Up ? sign * std::pow(10.0, -digits) : 0.0;
    }
    long long kept = 0;
    for (int i = 0; i < keep; ++i)
        kept = kept * 10 + (mantissa[i] - '0');
    bool up = false;
    if (rounding == Rounding::Nearest)
        up = mantissa[keep] >= '5';
    else if (rounding == Rounding::Up)
        for (int i = keep; i < 15 && !up; ++i)
            up = mantissa[i] != '0';
    if (up)
        ++kept;
    // kept x 10^-digits, by one exact power of ten so that the result is the nearest double.
    const double whole = double(kept);
    if (digits >= 0)
        return sign * (whole / std::pow(10.0, digits));
    return sign * (whole * std::pow(10.0, -digits));
}

} // namespace platform::sheet
