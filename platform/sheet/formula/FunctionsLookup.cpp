// The lookup and reference functions: VLOOKUP, HLOOKUP, MATCH, INDEX, XLOOKUP, XMATCH, LOOKUP,
// CHOOSE, ROWS, COLUMNS, ADDRESS and HYPERLINK, on blocks of cells and on arrays; and ROW, COLUMN,
// AREAS, OFFSET and INDIRECT. Exact matching compares texts without regard to case and takes
// the wildcards * ? ~ where the spreadsheet program does (VLOOKUP, HLOOKUP and MATCH in exact mode, XLOOKUP's
// mode 2); approximate matching takes the last value not above the one sought in data sorted ascending
// (descending for MATCH's -1), as the program's search does on sorted data. Exact searches in a
// large block that cannot change during the calculation go through an index of its keys.
#include "platform/sheet/FormulaText.h"
#include "platform/sheet/formula/Criteria.h"
#include "platform/sheet/formula/EvaluatorValues.h"
#include "platform/sheet/package/XmlText.h"

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

// The position of the value nearest to the one sought on one side (below it or above it) in data
// of any order, an equal one first; -1 for none.
template <class KeyAt>
int nearest(const CellValue& sought, int count, KeyAt&& keyAt, bool below, bool lastFirst) {
    int found = -1;
    for (int k = 0; k < count; ++k) {
        const int i = lastFirst ? count - 1 - k : k;
        const CellValue& v = keyAt(i);
        if (!sameKind(v, sought))
            continue;
        const int order = compareValues(v, sought);
        if (order == 0)
            return i;
        if (below ? order > 0 : order < 0)
            continue;
        if (found < 0 || (below ? compareValues(v, keyAt(found)) > 0 : compareValues(v, keyAt(found)) < 0))
            found = i;
    }
    return found;
}

// A binary search in data sorted ascending (descending): an equal value, else with match mode -1
// (1) the next smaller (larger) one; -1 for none.
template <class KeyAt>
int binarySearch(const CellValue& sought, int count, KeyAt&& keyAt, int matchMode, bool descending) {
    int low = 0;
    int high = count - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        int order = compareValues(keyAt(middle), sought);
        if (descending)
            order = -order;
        if (order == 0)
            return middle;
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    // high is the last value before the one sought, low the first after it.
    if (matchMode == -1)
        return descending ? (low < count ? low : -1) : high;
    if (matchMode == 1)
        return descending ? high : (low < count ? low : -1);
    return -1;
}

// The program's search for the last key not above the one sought, which halves the keys as if
// they were sorted, whatever their order: a key at the middle that is not above the one sought
// moves the search after it, else before it. A key of another kind (or an error) at the middle
// gives way to the nearest key of the sought kind after it within the part searched, else before
// it. The position found; -1 for none.
template <class KeyAt> int halvingSearch(const CellValue& sought, int count, KeyAt&& keyAt) {
    auto comparable = [&](int i) {
        const CellValue& v = keyAt(i);
        return v.type != Type::Error && sameKind(v, sought);
    };
    int low = 0;
    int high = count - 1;
    int found = -1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        int probe = middle;
        while (probe <= high && !comparable(probe))
            ++probe;
        if (probe > high) {
            probe = middle - 1;
            while (probe >= low && !comparable(probe))
                --probe;
            if (probe < low)
                break;
        }
        if (compareValues(keyAt(probe), sought) <= 0) {
            found = probe;
            low = probe + 1;
        } else {
            high = probe - 1;
        }
    }
    return found;
}

// The cells of an index that may equal the value sought: numbers near it, or texts equal to it
// without regard to case -- for a text that the wildcard form of the search takes as nothing
// else (no wildcards, no number, truth value or error). Null where the cells must be read one
// by one.
const std::vector<int>* indexedCandidates(const ValueIndex* index, const CellValue& sought,
                                          std::vector<int>& numbers) {
    if (!index)
        return nullptr;
    if (sought.type == Type::Number) {
        numbers = index->numbers(sought.number, ValueIndex::Side::Near, false);
        return &numbers;
    }
    double number = 0;
    const QString& text = sought.text;
    if (sought.type != Type::Text || text.isEmpty() || text.startsWith(u'#') || text.contains(u'*') ||
        text.contains(u'?') || text.contains(u'~') || evaluation::numberFromText(text, number) ||
        text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
        text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return nullptr;
    return &index->texts(text);
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

    // The index of the first column (row) of a block of keys, where the calculation keeps one.
    auto keyIndex = [&](const Operand& keys, bool vertical) {
        const FormulaRef* block = blockOf(keys);
        return block ? indexOf(*block, 0, vertical) : nullptr;
    };
    // The position (0-based) of the value sought among count cells read by cell(i); -1 if none.
    // An exact search in an indexed line tries only the cells the index gives.
    auto find = [&](const CellValue& sought, int count, auto&& cell, Match mode, bool lastFirst,
                    const ValueIndex* index = nullptr) {
        const std::optional<Criterion> pattern = mode == Match::Wildcard ? wildcardOf(sought) : std::nullopt;
        auto equal = [&](const CellValue& v) {
            if (v.type == Type::Number && sought.type == Type::Number)
                return nearlyEqual(v.number, sought.number);
            return pattern ? pattern->matches(v) : (sameKind(v, sought) && compareValues(v, sought) == 0);
        };
        const bool exact = mode == Match::Wildcard || mode == Match::Exact;
        std::vector<int> numbers;
        if (const std::vector<int>* candidates =
                exact ? indexedCandidates(index, sought, numbers) : nullptr) {
            for (std::size_t k = 0; k < candidates->size(); ++k) {
                const int i = (*candidates)[lastFirst ? candidates->size() - 1 - k : k];
                if (i < count && equal(cell(i)))
                    return i;
            }
            return -1;
        }
        int best = -1;
        for (int k = 0; k < count; ++k) {
            const int i = lastFirst ? count - 1 - k : k;
            const CellValue& v = cell(i);
            if (exact) {
                if (equal(v))
                    return i;
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
        const ValueIndex* keys = approximate ? nullptr : keyIndex(args[1], vertical);
        const int found =
            find(sought, count, keyAt, approximate ? Match::NotAbove : Match::Wildcard, false, keys);
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
        const int found = find(sought, count, at, mode, false, keyIndex(args[1], vertical));
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
    case Id::XLookup:
    case Id::XMatch: {
        // XLOOKUP(sought, keys, results, [if none], [match mode], [search mode]);
        // XMATCH(sought, keys, [match mode], [search mode]).
        const CellValue sought = value(0);
        if (isError(sought))
            return Operand::of(sought);
        const auto keyValues = tableOf(args[1]);
        const auto results = id == Id::XLookup ? tableOf(args[2]) : keyValues;
        if (!keyValues || !results || (keyValues->rows != 1 && keyValues->columns != 1))
            return Operand::of(error("#VALUE!"));
        const bool vertical = keyValues->columns == 1 && (keyValues->rows > 1 || results->rows == 1);
        const int length = vertical ? keyValues->rows : keyValues->columns;
        if ((vertical ? results->rows : results->columns) != length)
            return Operand::of(error("#VALUE!"));
        const int modes = id == Id::XLookup ? 4 : 2;
        const Number matchMode = number(modes, 0);
        const Number searchMode = number(modes + 1, 1);
        if (matchMode.failed())
            return Operand::of(matchMode.failure);
        if (searchMode.failed())
            return Operand::of(searchMode.failure);
        const int m = int(matchMode.value);
        const int s = int(searchMode.value);
        if (m < -1 || m > 2 || (s != 1 && s != -1 && s != 2 && s != -2) || (m == 2 && std::abs(s) == 2))
            return Operand::of(error("#VALUE!"));
        const int count =
            vertical ? std::min(keyValues->storedRows, length) : std::min(keyValues->storedColumns, length);
        auto keyAt = [&](int i) -> const CellValue& {
            return vertical ? keyValues->at(i, 0) : keyValues->at(0, i);
        };
        const int found = std::abs(s) == 2 ? binarySearch(sought, count, keyAt, m, s < 0)
                          : m == 0 || m == 2
                              ? find(sought, count, keyAt, m == 0 ? Match::Exact : Match::Wildcard, s == -1,
                                     keyIndex(args[1], vertical))
                              : nearest(sought, count, keyAt, m < 0, s == -1);
        if (found < 0)
            return id == Id::XLookup && argc > 3 && !args[3].missing ? args[3] : Operand::of(error("#N/A"));
        if (id == Id::XMatch)
            return Operand::of(CellValue::fromNumber(found + 1));
        // A block of results gives the whole row (column) found.
        const int across = vertical ? results->columns : results->rows;
        if (across == 1)
            return Operand::of(vertical ? results->at(found, 0) : results->at(0, found));
        ValueMatrix line(vertical ? 1 : across, vertical ? across : 1);
        for (int k = 0; k < across; ++k)
            line.stored(vertical ? 0 : k, vertical ? k : 0) =
                vertical ? results->at(found, k) : results->at(k, found);
        return Operand::ofArray(std::move(line));
    }
    case Id::Lookup:
        return lookupVector(args, argc, at);
    case Id::Address:
        return address(args, argc, at);
    case Id::Hyperlink: {
        // The name shown for the link, else the link itself.
        const CellValue shown = value(argc > 1 && !args[1].missing ? 1 : 0);
        return Operand::of(shown.type == Type::Empty ? CellValue::fromNumber(0) : shown);
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

// LOOKUP(sought, keys, [results]) or LOOKUP(sought, table): the key the program's halving search
// finds (in sorted keys the last one not above the one sought), and the result at its place: in
// the results (a block of cells reaches beyond its end),
// or in the table's last row or column (the table searched along its first row when it is wider
// than tall, else its first column).
FormulaEvaluator::Operand FormulaEvaluator::lookupVector(const Operand* args, int argc, CellRef at) const {
    const CellValue sought = scalar(args[0], at);
    if (isError(sought))
        return Operand::of(sought);
    const auto keys = tableOf(args[1]);
    if (!keys)
        return Operand::of(isError(args[1].value) ? args[1].value : error("#VALUE!"));
    const bool table = argc < 3 || args[2].missing;
    const bool alongRow = keys->columns > keys->rows;
    const int length = alongRow ? keys->columns : keys->rows;
    const int stored = alongRow ? std::min(keys->storedColumns, length) : std::min(keys->storedRows, length);
    auto keyAt = [&](int i) -> const CellValue& { return alongRow ? keys->at(0, i) : keys->at(i, 0); };
    const int found = halvingSearch(sought, stored, keyAt);
    if (found < 0)
        return Operand::of(error("#N/A"));
    if (table)
        return Operand::of(alongRow ? keys->at(keys->rows - 1, found) : keys->at(found, keys->columns - 1));
    if (const FormulaRef* block = blockOf(args[2])) {
        const bool row = block->range.rows() == 1 && block->range.columns() > 1;
        return Operand::of(cellIn(*block, row ? 0 : found, row ? found : 0));
    }
    const auto results = tableOf(args[2]);
    if (!results)
        return Operand::of(isError(args[2].value) ? args[2].value : error("#VALUE!"));
    const bool row = results->rows == 1 && results->columns > 1;
    if (found >= (row ? results->columns : results->rows))
        return Operand::of(error("#N/A"));
    return Operand::of(row ? results->at(0, found) : results->at(found, 0));
}

namespace {

// The sheet before an address, quoted where its name needs it. A name that holds brackets, as
// one naming a workbook does ("[Book1]Sheet1"), is always quoted: the writers of workbooks give
// "'[Book1]Sheet1'!R2C3".
QString sheetPrefix(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("!");
    if (name.contains(u'[') || name.contains(u']'))
        return u'\'' + QString(name).replace(u'\'', QStringLiteral("''")) + QStringLiteral("'!");
    return XmlText::toQString(FormulaText::quotedSheet(XmlText::toUtf8(name))) + u'!';
}

} // namespace

// ADDRESS(row, column, [kind], [A1 style], [sheet]): kind 1 $A$1, 2 A$1, 3 $A1, 4 A1.
FormulaEvaluator::Operand FormulaEvaluator::address(const Operand* args, int argc, CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    const Number row = number(0, 0);
    const Number column = number(1, 0);
    const Number kind = number(2, 1);
    for (const Number* n : {&row, &column, &kind})
        if (n->failed())
            return Operand::of(n->failure);
    CellValue failure;
    const bool a1 = argc < 4 || args[3].missing || truthOf(scalar(args[3], at), failure);
    if (isError(failure))
        return Operand::of(failure);
    const int r = int(std::clamp(std::trunc(row.value), -1.0, double(CellAddress::kMaxRows) + 1));
    const int c = int(std::clamp(std::trunc(column.value), -1.0, double(CellAddress::kMaxColumns) + 1));
    const int k = int(std::trunc(kind.value));
    if (r < 1 || r > CellAddress::kMaxRows || c < 1 || c > CellAddress::kMaxColumns || k < 1 || k > 4)
        return Operand::of(error("#VALUE!"));
    const bool rowAbsolute = k == 1 || k == 2;
    const bool columnAbsolute = k == 1 || k == 3;
    QString text;
    if (a1) {
        text = CellAddress::toA1({r, c}, rowAbsolute, columnAbsolute);
    } else {
        text = (rowAbsolute ? QStringLiteral("R%1").arg(r) : QStringLiteral("R[%1]").arg(r)) +
               (columnAbsolute ? QStringLiteral("C%1").arg(c) : QStringLiteral("C[%1]").arg(c));
    }
    if (argc > 4 && !args[4].missing) {
        const CellValue sheet = scalar(args[4], at);
        if (isError(sheet))
            return Operand::of(sheet);
        text.prepend(sheetPrefix(textOf(sheet)));
    }
    return Operand::of(CellValue::fromText(text));
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
    if (id == Id::Areas) {
        if (args[0].areas)
            return Operand::of(CellValue::fromNumber(double(args[0].areas->size())));
        return Operand::of(args[0].ref ? CellValue::fromNumber(1) : error("#VALUE!"));
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
