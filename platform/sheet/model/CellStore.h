// The cells of one worksheet, kept compact: rows in order, each with its cells in column
// order; a cell is 24 bytes (value, text index, style, formula index, column, type). Texts of
// inline strings and formula results, formula texts and the raw attributes of rows and
// formulas live in per-sheet pools, so that reading a large sheet makes a few large
// allocations rather than one per cell. Shared texts are indices into the workbook's shared
// strings; the store does not own them.
#pragma once

#include "platform/sheet/CellAddress.h"
#include "platform/sheet/CellRange.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace platform::sheet {

class CellStore {
public:
    enum class Type : std::uint8_t {
        Empty, // no value (a formatted cell, or a formula without a calculated result)
        Number,
        Shared, // text: index into the workbook's shared strings
        Inline, // text: index into this store's texts
        Boolean,
        Error, // text: index into this store's texts ("#N/A")
    };

    // Flags of a cell.
    static constexpr std::uint8_t kStale = 1;      // a formula whose result is not current
    static constexpr std::uint8_t kExtraAttrs = 2; // the cell carries attributes the layer keeps as they are
    // Marks of a recalculation in progress, cleared when it ends.
    static constexpr std::uint8_t kDirty = 4;      // to be recalculated
    static constexpr std::uint8_t kOnPath = 8;     // being recalculated: its precedents come first
    static constexpr std::uint8_t kFromWrite = 16; // recalculated because of a written cell

    struct Cell {
        double number = 0;         // Number, Boolean (0 or 1)
        std::uint32_t text = 0;    // Shared, Inline, Error
        std::uint32_t style = 0;   // index into the workbook's cell formats
        std::uint32_t formula = 0; // 0: none; else formula index + 1
        std::uint16_t col = 0;
        Type type = Type::Empty;
        std::uint8_t flags = 0;
    };

    struct Row {
        int row = 0;
        std::uint32_t attrs = 0; // 0: none; else index into the row attribute pool
        std::vector<Cell> cells;
    };

    CellStore();

    const std::vector<Row>& rows() const { return rows_; }
    std::vector<Row>& rows() { return rows_; }

    const Cell* find(CellRef at) const;

    // Visits the stored cells of a block, top to bottom and left to right, as visit(row, cell).
    // Both searches are binary, so a small block of a large sheet costs little. A visitor that
    // answers a bool stops the walk with false; the walk answers whether it went to the end.
    template <class Visit> bool forEachIn(const CellRange& block, Visit&& visit) const {
        auto row = std::lower_bound(rows_.begin(), rows_.end(), block.first.row,
                                    [](const Row& r, int n) { return r.row < n; });
        for (; row != rows_.end() && row->row <= block.last.row; ++row) {
            auto cell = std::lower_bound(row->cells.begin(), row->cells.end(), block.first.col,
                                         [](const Cell& c, int n) { return c.col < n; });
            for (; cell != row->cells.end() && cell->col <= block.last.col; ++cell) {
                if constexpr (std::is_same_v<decltype(visit(row->row, *cell)), bool>) {
                    if (!visit(row->row, *cell))
                        return false;
                } else {
                    visit(row->row, *cell);
                }
            }
        }
        return true;
    }
    Cell* find(CellRef at) { return const_cast<Cell*>(static_cast<const CellStore*>(this)->find(at)); }
    // The cell at `at`, made (empty, unstyled) when missing.
    Cell& obtain(CellRef at);
    // Appends a cell while reading, when cells come in order; falls back to obtain().
    Cell& append(int row, int col);
    void removeEmptyCell(CellRef at);
    Row* findRow(int row);
    // False when no cell of the store has ever held a formula (the formula pool only grows).
    bool mayHoldFormulas() const { return !formulas_.empty(); }
    // Whether the row is hidden (its stored attributes say so).
    bool rowHidden(int row) const;
    Row& obtainRow(int row);

    // A cell that counts for the used range: a value, a formula or a style other than the
    // default.
    static bool isUsed(const Cell& cell) {
        return cell.type != Type::Empty || cell.formula != 0 || cell.style != 0;
    }
    // The last used row and the last used column (A1 for an empty sheet), and the first.
    CellRef lastUsed() const;
    CellRef firstUsed() const;
    bool empty() const;

    // Pools.
    std::uint32_t addText(std::string_view text);
    std::string_view text(std::uint32_t index) const;

    struct Formula {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
        std::uint32_t attrs = 0; // index into the attribute pool (0: none): t="array" ref="...", ca="1"
    };
    // Returns formula index + 1, as Cell::formula holds it.
    std::uint32_t addFormula(std::string_view text, std::uint32_t attrs = 0);
    std::string_view formulaText(std::uint32_t formulaRef) const;
    std::uint32_t formulaAttrs(std::uint32_t formulaRef) const;
    void setFormulaText(std::uint32_t formulaRef, std::string_view text);

    // Raw attribute texts (" ht=\"20\" customHeight=\"1\""), shared between equal ones.
    std::uint32_t addAttrs(std::string_view attrs);
    std::string_view attrs(std::uint32_t index) const { return attrs_[index]; }

    // Attributes of single cells the layer does not interpret (cm, vm, ph).
    void setCellAttrs(CellRef at, std::uint32_t attrs);
    std::uint32_t cellAttrs(CellRef at) const;

    // The inline string element of a cell as the file wrote it (<is> with formatted runs), kept
    // for the cell's text at `text` (a text index): written back while the cell holds that text.
    void setRichText(CellRef at, std::uint32_t text, std::string_view element);
    // The element kept for the cell, when it still holds that text.
    std::optional<std::string_view> richText(CellRef at, std::uint32_t text) const;

    std::size_t cellCount() const;

private:
    static std::uint64_t key(CellRef at) { return (std::uint64_t(at.row) << 16) | std::uint64_t(at.col); }

    std::vector<Row> rows_;
    std::string textPool_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> texts_;
    std::string formulaPool_;
    std::vector<Formula> formulas_;
    std::vector<std::string> attrs_;
    std::unordered_map<std::string, std::uint32_t> attrIndex_;
    std::unordered_map<std::uint64_t, std::uint32_t> cellAttrs_;
    std::unordered_map<std::uint64_t, std::pair<std::uint32_t, std::uint32_t>> richTexts_; // text, element
};

} // namespace platform::sheet
