// The lookup and reference functions: VLOOKUP, HLOOKUP, MATCH, INDEX, XLOOKUP, CHOOSE, ROWS and
// COLUMNS, on blocks of cells and on arrays. Exact matching compares texts without regard to case and takes
// the wildcards * ? ~ where the spreadsheet program does (VLOOKUP, HLOOKUP and MATCH in exact mode, XLOOKUP's
// mode 2); approximate matching takes the last value not above the one sought in data sorted ascending
// (descending for MATCH's -1), as the program's search does on sorted data.
#include "platform/sheet/formula/Criteria.h"
#include "platform/sheet/formula/EvaluatorValues.h"

#include <optional>

namespace platform::sheet {

using namespace evaluation;

namespace {

enum class Match { Exact, Wildcard, NotAbove, NotBelow };

bool sameKind(const CellValue& a, const CellValue& b) {
    auto kind = [](Type t) {
        return t == Type::Number ? 0 : t == Type::Text ? 1 : t == Type::Boolean ? 2 : 3;
    };
    return kind(a.type) == kind(b.type);
}

// The wildcard form of an exact text lookup: a criterion "=" text.
std::optional<Criterion> wildcardOf(const CellValue& sought) {
    if (sought.type != Type::Text)
        return std::nullopt;
    return Criterion(CellValue::fromText(QStringLiteral("=") + sought.text));
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::lookup(Id id, const Operand* args, int argc, CellRef at) const {
    auto value = [&](int i, CellValue whenMissing = CellValue()) {
        return i < argc && !args[i].missing ? scalar(args[i], at) : whenMissing;
    };
    auto number = [&](int i, double whenMissing) {
        return Number::of(value(i, CellValue::fromNumber(whenMissing)));
    };

    // The position (0-based) of the value sought among count cells read by cell(i); -1 if none.
    auto find = [&](const CellValue& sought, int count, auto&& cell, Match mode, bool lastFirst) {
        const std::optional<Criterion> pattern = mode == Match::Wildcard ? wildcardOf(sought) : std::nullopt;
        int best = -1;
        for (int k = 0; k < count; ++k) {
            const int i = lastFirst ? count - 1 - k : k;
            const CellValue& v = cell(i);
            if (mode == Match::Wildcard || mode == Match::Exact) {
                if (v.type == Type::Number && sought.type == Type::Number) {
                    if (nearlyEqual(v.number, sought.number))
                        return i;
                } else if (pattern ? pattern->matches(v)
                                   : (sameKind(v, sought) && compareValues(v, sought) == 0)) {
                    return i;
                }
                continue;
            }
            if (!sameKind(v, sought))
                continue;
            const int order = compareValues(v, sought);
            if (order == 0)
                return i;
            if (mode == Match::NotAbove ? order < 0 : order > 0)
                best = i;
            else if (!lastFirst)
                break; // sorted data: nothing further can qualify
        }
        return best;
    };

    switch (id) {
    case Id::Rows:
    case Id::Columns: {
        if (const FormulaRef* block = blockOf(args[0]))
            return Operand::of(
                CellValue::fromNumber(id == Id::Rows ? block->range.rows() : block->range.columns()));
        if (args[0].array)
            return Operand::of(
                CellValue::fromNumber(id == Id::Rows ? args[0].array->rows : args[0].array->columns));
        if (args[0].ref || args[0].areas)
            return Operand::of(error("#VALUE!"));
        return Operand::of(isError(args[0].value) ? args[0].value : CellValue::fromNumber(1));
    }
    case Id::Choose: {
        const Number index = number(0, 0);
        if (index.failed())
            return Operand::of(index.failure);
        const int i = int(std::trunc(index.value));
        if (i < 1 || i >= argc)
            return Operand::of(error("#VALUE!"));
        return args[i].missing ? Operand::of(CellValue::fromNumber(0)) : args[i];
    }
    case Id::VLookup:
    case Id::HLookup: {
        const CellValue sought = value(0);
        if (isError(sought))
            return Operand::of(sought);
        const auto values = tableOf(args[1]);
        if (!values)
            return Operand::of(isError(args[1].value) ? args[1].value : error("#VALUE!"));
        const Number line = number(2, 0);
        if (line.failed())
            return Operand::of(line.failure);
        CellValue failure;
        const bool approximate = argc < 4 || args[3].missing || truthOf(value(3), failure);
        if (isError(failure))
            return Operand::of(failure);
        const bool vertical = id == Id::VLookup;
        const int index = int(std::trunc(line.value));
        const int across = vertical ? values->columns : values->rows;
        if (index < 1)
            return Operand::of(error("#VALUE!"));
        if (index > across)
            return Operand::of(error("#REF!"));
        const int count = vertical ? std::min(values->storedRows, values->rows)
                                   : std::min(values->storedColumns, values->columns);
        auto keyAt = [&](int i) -> const CellValue& {
            return vertical ? values->at(i, 0) : values->at(0, i);
        };
        const int found = find(sought, count, keyAt, approximate ? Match::NotAbove : Match::Wildcard, false);
        if (found < 0)
            return Operand::of(error("#N/A"));
        return Operand::of(vertical ? values->at(found, index - 1) : values->at(index - 1, found));
    }
    case Id::Match: {
        const CellValue sought = value(0);
        if (isError(sought))
            return Operand::of(sought);
        const auto values = tableOf(args[1]);
        if (!values || (values->rows != 1 && values->columns != 1))
            return Operand::of(error("#N/A"));
        const Number type = number(2, 1);
        if (type.failed())
            return Operand::of(type.failure);
        const bool vertical = values->columns == 1;
        const int count = vertical ? std::min(values->storedRows, values->rows)
                                   : std::min(values->storedColumns, values->columns);
        auto at = [&](int i) -> const CellValue& { return vertical ? values->at(i, 0) : values->at(0, i); };
        const Match mode = type.value > 0   ? Match::NotAbove
                           : type.value < 0 ? Match::NotBelow
                                            : Match::Wildcard;
        const int found = find(sought, count, at, mode, false);
        if (found < 0)
            return Operand::of(error("#N/A"));
        return Operand::of(CellValue::fromNumber(found + 1));
    }
    case Id::Index: {
        const Number rowArg = number(1, 0);
        const Number columnArg = number(2, 0);
        const Number areaArg = number(3, 1);
        for (const Number* n : {&rowArg, &columnArg, &areaArg})
            if (n->failed())
                return Operand::of(n->failure);
        // A union gives its area by number.
        const FormulaRef* block = blockOf(args[0]);
        if (args[0].areas) {
            const int area = int(std::trunc(areaArg.value));
            if (area < 1 || area > int(args[0].areas->size()))
                return Operand::of(error("#REF!"));
            block = &(*args[0].areas)[std::size_t(area - 1)];
        }
        const std::shared_ptr<const ValueMatrix> array = block ? nullptr : args[0].array;
        if (!block && !array)
            return Operand::of(isError(args[0].value) ? args[0].value : error("#VALUE!"));
        const int rows = block ? block->range.rows() : array->rows;
        const int columns = block ? block->range.columns() : array->columns;
        int row = int(std::trunc(rowArg.value));
        int column = int(std::trunc(columnArg.value));
        // In a single row one number picks the cell along it.
        if (argc < 3 && rows == 1 && columns > 1) {
            column = row;
            row = 1;
        }
        if (row < 0 || column < 0)
            return Operand::of(error("#VALUE!"));
        if (row > rows || column > columns)
            return Operand::of(error("#REF!"));
        // Row or column 0 (or left out) is the whole column or row.
        const int top = row > 0 ? row - 1 : 0;
        const int left = column > 0 ? column - 1 : 0;
        const int height = row > 0 ? 1 : rows;
        const int width = column > 0 ? 1 : columns;
        if (block) {
            FormulaRef found = *block;
            found.range = CellRange(
                {block->range.first.row + top, block->range.first.col + left},
                {block->range.first.row + top + height - 1, block->range.first.col + left + width - 1});
            return Operand::ofReference(found);
        }
        if (height == 1 && width == 1)
            return Operand::of(array->at(top, left));
        ValueMatrix part(height, width);
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                part.stored(r, c) = array->at(top + r, left + c);
        return Operand::ofArray(std::move(part));
    }
    case Id::XLookup: {
        const CellValue sought = value(0);
        if (isError(sought))
            return Operand::of(sought);
        const auto keyValues = tableOf(args[1]);
        const auto results = tableOf(args[2]);
        if (!keyValues || !results || (keyValues->rows != 1 && keyValues->columns != 1))
            return Operand::of(error("#VALUE!"));
        const bool vertical = keyValues->columns == 1;
        const int length = vertical ? keyValues->rows : keyValues->columns;
        if ((vertical ? results->rows : results->columns) != length)
            return Operand::of(error("#VALUE!"));
        const Number matchMode = number(4, 0);
        const Number searchMode = number(5, 1);
        if (matchMode.failed())
            return Operand::of(matchMode.failure);
        if (searchMode.failed())
            return Operand::of(searchMode.failure);
        const int m = int(matchMode.value);
        const int s = int(searchMode.value);
        if (m < -1 || m > 2 || (s != 1 && s != -1))
            return Operand::of(error("#VALUE!"));
        const Match mode = m == 0    ? Match::Exact
                           : m == 2  ? Match::Wildcard
                           : m == -1 ? Match::NotAbove
                                     : Match::NotBelow;
        const int count =
            vertical ? std::min(keyValues->storedRows, length) : std::min(keyValues->storedColumns, length);
        auto keyAt = [&](int i) -> const CellValue& {
            return vertical ? keyValues->at(i, 0) : keyValues->at(0, i);
        };
        int found = -1;
        if (mode == Match::Exact || mode == Match::Wildcard) {
            found = find(sought, count, keyAt, mode, s == -1);
        } else {
            // The nearest value on the chosen side, in any order of the data.
            for (int i = 0; i < count; ++i) {
                const CellValue v = keyAt(i);
                if (!sameKind(v, sought))
                    continue;
                const int order = compareValues(v, sought);
                if (order == 0) {
                    found = i;
                    if (s == 1)
                        break;
                    continue;
                }
                const bool side = mode == Match::NotAbove ? order < 0 : order > 0;
                if (!side)
                    continue;
                if (found < 0 || compareValues(keyAt(found), sought) != 0) {
                    const int closer = found < 0 ? 1 : compareValues(v, keyAt(found));
                    if (found < 0 || (mode == Match::NotAbove ? closer > 0 : closer < 0))
                        found = i;
                }
            }
        }
        if (found < 0)
            return argc > 3 && !args[3].missing ? args[3] : Operand::of(error("#N/A"));
        return Operand::of(vertical ? results->at(found, 0) : results->at(0, found));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

} // namespace platform::sheet

namespace platform::sheet {

namespace {

// "Sheet!B5", "'My Sheet'!A1:C3", "B5", "B:B": the sheet's name (empty for none) and the address.
std::pair<QString, QString> splitSheet(const QString& text) {
    const qsizetype bang = text.lastIndexOf(u'!');
    if (bang < 0)
        return {QString(), text};
    QString sheet = text.left(bang);
    if (sheet.size() >= 2 && sheet.startsWith(u'\'') && sheet.endsWith(u'\''))
        sheet = sheet.mid(1, sheet.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return {sheet, text.mid(bang + 1)};
}

std::optional<CellRange> rangeOfR1C1(const QString& text, CellRef at) {
    const QStringList ends = text.split(u':');
    if (ends.size() > 2)
        return std::nullopt;
    const auto first = CellAddress::parseR1C1(ends[0], at);
    const auto last = ends.size() == 2 ? CellAddress::parseR1C1(ends[1], at) : first;
    if (!first || !last)
        return std::nullopt;
    return CellRange(*first, *last);
}

} // namespace

// ROW and COLUMN of a reference or of the formula's own cell; OFFSET(reference, rows, columns,
// [height], [width]) and INDIRECT(text, [A1 style]): references
// found while calculating. Their formulas are calculated again at every calculation, after the
// others; one that reads a result that is not current is not current either.
FormulaEvaluator::Operand FormulaEvaluator::reference(Id id, const Operand* args, int argc,
                                                      CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    if (id == Id::Row || id == Id::Column) {
        // The formula's own row or column, or the first of the reference; evaluated as an array,
        // those of every row or column of the block.
        CellRef cell = at;
        if (argc > 0 && !args[0].missing) {
            const FormulaRef* block = blockOf(args[0]);
            if (!block)
                return Operand::of(error("#VALUE!"));
            const CellRange& r = block->range;
            const int count = id == Id::Row ? r.rows() : r.columns();
            if (arrayStep_ && count > 1) {
                if (count > kMaxArrayElements) {
                    gaveUp_ = true;
                    return Operand::of(error("#VALUE!"));
                }
                ValueMatrix numbers(id == Id::Row ? count : 1, id == Id::Row ? 1 : count);
                for (int i = 0; i < count; ++i)
                    numbers.values[std::size_t(i)] =
                        CellValue::fromNumber(id == Id::Row ? r.first.row + i : r.first.col + i);
                return Operand::ofArray(std::move(numbers));
            }
            cell = r.first;
        }
        return Operand::of(CellValue::fromNumber(id == Id::Row ? cell.row : cell.col));
    }
    if (id == Id::Offset) {
        const FormulaRef* base = blockOf(args[0]);
        if (!base)
            return Operand::of(error("#VALUE!"));
        const Number rows = number(1, 0);
        const Number columns = number(2, 0);
        const Number height = number(3, base->range.rows());
        const Number width = number(4, base->range.columns());
        for (const Number* n : {&rows, &columns, &height, &width})
            if (n->failed())
                return Operand::of(n->failure);
        const long long top = base->range.first.row + (long long)std::trunc(rows.value);
        const long long left = base->range.first.col + (long long)std::trunc(columns.value);
        const long long h = (long long)std::trunc(height.value);
        const long long w = (long long)std::trunc(width.value);
        if (h < 1 || w < 1 || top < 1 || left < 1 || top + h - 1 > CellAddress::kMaxRows ||
            left + w - 1 > CellAddress::kMaxColumns)
            return Operand::of(error("#REF!"));
        FormulaRef found = *base;
        found.range = CellRange({int(top), int(left)}, {int(top + h - 1), int(left + w - 1)});
        return Operand::ofReference(found);
    }
    const CellValue text = scalar(args[0], at);
    if (isError(text))
        return Operand::of(text);
    CellValue failure;
    const bool a1 = argc < 2 || args[1].missing || truthOf(scalar(args[1], at), failure);
    if (isError(failure))
        return Operand::of(failure);
    const auto [sheetName, address] = splitSheet(textOf(text).trimmed());
    int sheet = currentSheet_;
    if (!sheetName.isEmpty()) {
        if (!scope_ || sheetName.contains(u'['))
            return Operand::of(error("#REF!"));
        sheet = scope_->sheetIndex(sheetName.toStdString());
        if (sheet < 0)
            return Operand::of(error("#REF!"));
    }
    const auto range = a1 ? CellRange::parse(address) : rangeOfR1C1(address, at);
    if (!range)
        return Operand::of(error("#REF!"));
    FormulaRef found;
    found.firstSheet = found.lastSheet = sheet;
    found.range = *range;
    return Operand::ofReference(found);
}

} // namespace platform::sheet
