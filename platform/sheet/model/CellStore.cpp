// Compact cell storage of one worksheet.
#include "platform/sheet/model/CellStore.h"

#include <algorithm>

namespace platform::sheet {

CellStore::CellStore() {
    attrs_.emplace_back();
}

CellStore::Row* CellStore::findRow(int row) {
    auto it =
        std::lower_bound(rows_.begin(), rows_.end(), row, [](const Row& r, int n) { return r.row < n; });
    return it != rows_.end() && it->row == row ? &*it : nullptr;
}

CellStore::Row& CellStore::obtainRow(int row) {
    if (rows_.empty() || rows_.back().row < row) {
        rows_.push_back(Row{row, 0, {}});
        return rows_.back();
    }
    auto it =
        std::lower_bound(rows_.begin(), rows_.end(), row, [](const Row& r, int n) { return r.row < n; });
    if (it != rows_.end() && it->row == row)
        return *it;
    return *rows_.insert(it, Row{row, 0, {}});
}

const CellStore::Cell* CellStore::find(CellRef at) const {
    auto rowIt =
        std::lower_bound(rows_.begin(), rows_.end(), at.row, [](const Row& r, int n) { return r.row < n; });
    if (rowIt == rows_.end() || rowIt->row != at.row)
        return nullptr;
    const auto& cells = rowIt->cells;
    auto it =
        std::lower_bound(cells.begin(), cells.end(), at.col, [](const Cell& c, int n) { return c.col < n; });
    return it != cells.end() && it->col == at.col ? &*it : nullptr;
}

CellStore::Cell& CellStore::obtain(CellRef at) {
    Row& row = obtainRow(at.row);
    auto& cells = row.cells;
    if (cells.empty() || cells.back().col < at.col) {
        Cell cell;
        cell.col = std::uint16_t(at.col);
        cells.push_back(cell);
        return cells.back();
    }
    auto it =
        std::lower_bound(cells.begin(), cells.end(), at.col, [](const Cell& c, int n) { return c.col < n; });
    if (it != cells.end() && it->col == at.col)
        return *it;
    Cell cell;
    cell.col = std::uint16_t(at.col);
    return *cells.insert(it, cell);
}

CellStore::Cell& CellStore::append(int row, int col) {
    if (!rows_.empty() && rows_.back().row == row) {
        auto& cells = rows_.back().cells;
        if (cells.empty() || cells.back().col < col) {
            Cell cell;
            cell.col = std::uint16_t(col);
            cells.push_back(cell);
            return cells.back();
        }
    }
    return obtain({row, col});
}

void CellStore::removeEmptyCell(CellRef at) {
    Row* row = findRow(at.row);
    if (!row)
        return;
    auto& cells = row->cells;
    auto it =
        std::lower_bound(cells.begin(), cells.end(), at.col, [](const Cell& c, int n) { return c.col < n; });
    if (it != cells.end() && it->col == at.col && !isUsed(*it) && !(it->flags & kExtraAttrs))
        cells.erase(it);
}

CellRef CellStore::lastUsed() const {
    CellRef last{0, 0};
    for (const Row& row : rows_) {
        for (auto it = row.cells.rbegin(); it != row.cells.rend(); ++it) {
            if (isUsed(*it)) {
                last.row = row.row;
                last.col = std::max(last.col, int(it->col));
                break;
            }
        }
    }
    return last.row == 0 ? CellRef{1, 1} : last;
}

CellRef CellStore::firstUsed() const {
    CellRef first{0, CellAddress::kMaxColumns + 1};
    for (const Row& row : rows_) {
        for (const Cell& cell : row.cells) {
            if (isUsed(cell)) {
                if (first.row == 0)
                    first.row = row.row;
                first.col = std::min(first.col, int(cell.col));
                break;
            }
        }
    }
    return first.row == 0 ? CellRef{1, 1} : first;
}

bool CellStore::empty() const {
    for (const Row& row : rows_)
        for (const Cell& cell : row.cells)
            if (isUsed(cell))
                return false;
    return true;
}

std::uint32_t CellStore::addText(std::string_view text) {
    texts_.emplace_back(std::uint32_t(textPool_.size()), std::uint32_t(text.size()));
    textPool_.append(text);
    return std::uint32_t(texts_.size() - 1);
}

std::string_view CellStore::text(std::uint32_t index) const {
    if (index >= texts_.size())
        return {};
    const auto [offset, length] = texts_[index];
    return std::string_view(textPool_).substr(offset, length);
}

std::uint32_t CellStore::addFormula(std::string_view text, std::uint32_t attrs) {
    formulas_.push_back(Formula{std::uint32_t(formulaPool_.size()), std::uint32_t(text.size()), attrs});
    formulaPool_.append(text);
    return std::uint32_t(formulas_.size());
}

std::string_view CellStore::formulaText(std::uint32_t ref) const {
    if (ref == 0 || ref > formulas_.size())
        return {};
    const Formula& f = formulas_[ref - 1];
    return std::string_view(formulaPool_).substr(f.offset, f.length);
}

std::uint32_t CellStore::formulaAttrs(std::uint32_t ref) const {
    return ref == 0 || ref > formulas_.size() ? 0 : formulas_[ref - 1].attrs;
}

void CellStore::setFormulaText(std::uint32_t ref, std::string_view text) {
    if (ref == 0 || ref > formulas_.size())
        return;
    Formula& f = formulas_[ref - 1];
    f.offset = std::uint32_t(formulaPool_.size());
    f.length = std::uint32_t(text.size());
    formulaPool_.append(text);
}

std::uint32_t CellStore::addAttrs(std::string_view attrs) {
    if (attrs.empty())
        return 0;
    const std::string key(attrs);
    const auto it = attrIndex_.find(key);
    if (it != attrIndex_.end())
        return it->second;
    attrs_.push_back(key);
    const auto index = std::uint32_t(attrs_.size() - 1);
    attrIndex_.emplace(key, index);
    return index;
}

void CellStore::setCellAttrs(CellRef at, std::uint32_t attrs) {
    if (attrs == 0)
        cellAttrs_.erase(key(at));
    else
        cellAttrs_[key(at)] = attrs;
}

void CellStore::setRichText(CellRef at, std::uint32_t text, std::string_view element) {
    richTexts_[key(at)] = {text, addText(element)};
}

std::optional<std::string_view> CellStore::richText(CellRef at, std::uint32_t text) const {
    if (richTexts_.empty())
        return std::nullopt;
    const auto it = richTexts_.find(key(at));
    if (it == richTexts_.end() || it->second.first != text)
        return std::nullopt;
    return this->text(it->second.second);
}

std::uint32_t CellStore::cellAttrs(CellRef at) const {
    const auto it = cellAttrs_.find(key(at));
    return it == cellAttrs_.end() ? 0 : it->second;
}

std::size_t CellStore::cellCount() const {
    std::size_t n = 0;
    for (const Row& row : rows_)
        n += row.cells.size();
    return n;
}

bool CellStore::rowHidden(int row) const {
    auto it =
        std::lower_bound(rows_.begin(), rows_.end(), row, [](const Row& r, int n) { return r.row < n; });
    if (it == rows_.end() || it->row != row || it->attrs == 0)
        return false;
    const std::string_view a = attrs(it->attrs);
    return a.find(" hidden=\"1\"") != std::string_view::npos ||
           a.find(" hidden=\"true\"") != std::string_view::npos;
}

} // namespace platform::sheet
