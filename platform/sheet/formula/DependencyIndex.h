// Which formula cells read a given cell: the reverse of the formulas' references, so that the
// cells to recalculate after writes are found without looking at every formula. Formulas are
// filed under every cell block they read, on the sheet of the block: single cells in a sorted
// table, blocks in buckets of 256 rows of one column (a block that would fill too many buckets,
// such as a whole column, in a short list that is searched through). Entries are added in bulk
// and sorted once; entries added later are merged in before the next lookup. An entry of a
// formula that was since overwritten only costs a needless recalculation, so entries are never
// taken out; the index is built anew when sheets are added, moved or deleted.
#pragma once

#include "platform/sheet/formula/FormulaRef.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace platform::sheet {

class DependencyIndex {
public:
    // A cell as one number: its sheet's position, its row and its column.
    using CellKey = std::uint64_t;
    static CellKey key(int sheet, CellRef cell) {
        return (std::uint64_t(sheet) << 34) | (std::uint64_t(cell.row - 1) << 14) |
               std::uint64_t(cell.col - 1);
    }
    static int sheetOf(CellKey key) { return int(key >> 34); }
    static CellRef cellOf(CellKey key) { return {int((key >> 14) & 0xFFFFF) + 1, int(key & 0x3FFF) + 1}; }

    explicit DependencyIndex(int sheetCount);

    int sheetCount() const { return int(sheets_.size()); }
    // Files `dependent` under the block `range` of the sheet at `sheet`. Calls for different
    // sheets may run side by side.
    void add(int sheet, const CellRange& range, CellKey dependent);
    // Every sheet of a reference.
    void add(const FormulaRef& ref, CellKey dependent);
    // Sorts what was added since the last call; lookups need it.
    void prepare();

    // Appends the formula cells filed under the cell (duplicates possible).
    void dependents(int sheet, CellRef cell, std::vector<CellKey>& out) const;

    // A walk from many cells to the formulas that read them, in which a formula filed under a
    // block is reported once, not once for every cell of the block: once for the walk from
    // written cells, and once more for the walk from others (cells found stale before).
    class Walk {
    public:
        explicit Walk(const DependencyIndex& index)
            : index_(index) {}
        void dependents(int sheet, CellRef cell, bool fromWrite, std::vector<CellKey>& out);

    private:
        const DependencyIndex& index_;
        std::vector<std::vector<std::uint8_t>> reported_; // per sheet, per block: 1 any walk, 2 from writes
    };

private:
    struct Entries {
        std::vector<std::pair<std::uint64_t, CellKey>> singles;       // (row, column) -> formula
        std::vector<std::pair<std::uint64_t, std::uint32_t>> buckets; // (column, row block) -> block
        std::vector<std::pair<CellRange, CellKey>> blocks;
        std::vector<std::uint32_t> large; // blocks too large for buckets
        std::size_t sortedSingles = 0;
        std::size_t sortedBuckets = 0;
    };

    static void sortTail(Entries& entries);
    // Calls single(dependent) for the cell's own entries, block(index) for the blocks holding it.
    template <class Single, class Block>
    void visit(int sheet, CellRef cell, Single&& single, Block&& block) const;

    std::vector<Entries> sheets_;
};

} // namespace platform::sheet
