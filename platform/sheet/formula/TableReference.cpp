// Reading and resolving references to tables.
#include "platform/sheet/formula/TableReference.h"

#include "platform/sheet/package/XmlText.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::sheet {

namespace {

using Table = FormulaCompiler::Scope::Table;

bool sameText(std::string_view a, std::string_view b) {
    return XmlText::toQString(a).compare(XmlText::toQString(b), Qt::CaseInsensitive) == 0;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// A column's name with its apostrophe escapes taken out.
std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\'' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

// What the brackets name: rows and a span of columns.
struct Parts {
    bool all = false;
    bool headers = false;
    bool data = false;
    bool totals = false;
    bool thisRow = false;
    std::string firstColumn; // empty: every column
    std::string lastColumn;
};

// "#Totals", "#This Row", ...: false for no such item.
bool addItem(std::string_view item, Parts& parts) {
    if (sameText(item, "#All"))
        parts.all = true;
    else if (sameText(item, "#Data"))
        parts.data = true;
    else if (sameText(item, "#Headers"))
        parts.headers = true;
    else if (sameText(item, "#Totals"))
        parts.totals = true;
    else if (sameText(item, "#This Row"))
        parts.thisRow = true;
    else
        return false;
    return true;
}

// The bracketed pieces of a list: "[#Totals],[Qty]:[Price]" -> "#Totals", "Qty", ":", "Price".
std::optional<std::vector<std::string>> pieces(std::string_view text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == ' ' || c == ',') {
            ++i;
        } else if (c == ':') {
            out.emplace_back(":");
            ++i;
        } else if (c == '[') {
            std::size_t k = i + 1;
            while (k < text.size() && text[k] != ']')
                k += text[k] == '\'' ? 2 : 1;
            if (k >= text.size())
                return std::nullopt;
            out.emplace_back(text.substr(i + 1, k - i - 1));
            i = k + 1;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// What is inside the outer brackets.
std::optional<Parts> partsOf(std::string_view inner) {
    Parts parts;
    inner = trimmed(inner);
    if (inner.empty())
        return parts;
    if (inner.front() == '@') {
        parts.thisRow = true;
        inner = trimmed(inner.substr(1));
        if (inner.empty())
            return parts;
        if (inner.front() != '[') {
            parts.firstColumn = parts.lastColumn = unescaped(inner);
            return parts;
        }
    } else if (inner.front() == '#') {
        return addItem(inner, parts) ? std::optional(parts) : std::nullopt;
    } else if (inner.front() != '[') {
        parts.firstColumn = parts.lastColumn = unescaped(inner);
        return parts;
    }
    const auto list = pieces(inner);
    if (!list)
        return std::nullopt;
    for (std::size_t i = 0; i < list->size(); ++i) {
        const std::string& piece = (*list)[i];
        if (!piece.empty() && piece.front() == '#') {
            if (!addItem(trimmed(piece), parts))
                return std::nullopt;
        } else if (piece != ":") {
            if (!parts.firstColumn.empty())
                return std::nullopt;
            parts.firstColumn = parts.lastColumn = unescaped(piece);
            if (i + 2 < list->size() && (*list)[i + 1] == ":") {
                parts.lastColumn = unescaped((*list)[i + 2]);
                i += 2;
            }
        }
    }
    return parts;
}

int columnOf(const Table& table, const std::string& name) {
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (sameText(table.columns[i], name))
            return int(i);
    return -1;
}

} // namespace

TableReference TableReference::resolve(std::string_view text, const FormulaCompiler::Scope& scope) {
    TableReference out;
    const std::size_t bracket = text.find('[');
    const Table* table = scope.table(text.substr(0, bracket));
    if (!table)
        return out; // no such table, or the one the formula stands in ([@Qty]): not resolved here
    out.outcome = Outcome::Invalid;
    std::optional<Parts> parts = Parts{};
    if (bracket != std::string_view::npos) {
        if (text.back() != ']')
            return out;
        parts = partsOf(text.substr(bracket + 1, text.size() - bracket - 2));
    }
    if (!parts)
        return out;
    // The rows: header, data and totals in that order, a run of them; data alone by default.
    const int headerFirst = table->range.first.row;
    const int dataFirst = headerFirst + table->headerRows;
    const int totalsFirst = table->range.last.row - table->totalsRows + 1;
    const bool any = parts->all || parts->headers || parts->data || parts->totals;
    if (parts->thisRow && any)
        return out;
    const bool headers = parts->all || parts->headers;
    const bool totals = parts->all || parts->totals;
    const bool data = parts->all || parts->data || !any || (headers && totals);
    if (headers && totals && !parts->all)
        return out;
    const int first = headers ? headerFirst : data ? dataFirst : totalsFirst;
    const int last = totals ? table->range.last.row : data ? totalsFirst - 1 : dataFirst - 1;
    if ((headers && table->headerRows == 0 && !parts->all) ||
        (totals && table->totalsRows == 0 && !parts->all) || first > last)
        return out;
    // The columns: one, a span, or every one.
    int left = 0;
    int right = int(table->columns.size()) - 1;
    if (!parts->firstColumn.empty()) {
        left = columnOf(*table, parts->firstColumn);
        right = columnOf(*table, parts->lastColumn);
        if (left < 0 || right < 0)
            return out;
        if (left > right)
            std::swap(left, right);
    }
    const int column = table->range.first.col;
    out.outcome = Outcome::Block;
    out.thisRow = parts->thisRow;
    out.ref =
        FormulaRef{table->sheet, table->sheet, CellRange({first, column + left}, {last, column + right})};
    return out;
}

} // namespace platform::sheet
