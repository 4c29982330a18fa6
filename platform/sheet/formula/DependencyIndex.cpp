// The reverse index of formula references.
#include "platform/sheet/formula/DependencyIndex.h"

#include "platform/sheet/model/Parallel.h"

#include <algorithm>

namespace platform::sheet {

namespace {

constexpr int kRowBlockShift = 8; // buckets of 256 rows
constexpr long long kMaxBucketsPerBlock = 64;

std::uint64_t cellKey(CellRef cell) {
    return (std::uint64_t(cell.row - 1) << 14) | std::uint64_t(cell.col - 1);
}

std::uint64_t bucketKey(int col, int rowBlock) {
    return (std::uint64_t(col - 1) << 13) | std::uint64_t(rowBlock);
}

template <class T> void sortAndMerge(std::vector<T>& items, std::size_t& sorted) {
    if (sorted == items.size())
        return;
    const auto middle = items.begin() + std::ptrdiff_t(sorted);
    std::sort(middle, items.end());
    std::inplace_merge(items.begin(), middle, items.end());
    sorted = items.size();
}

} // namespace

DependencyIndex::DependencyIndex(int sheetCount)
    : sheets_(std::size_t(std::max(sheetCount, 0))) {}

void DependencyIndex::add(int sheet, const CellRange& range, CellKey dependent) {
    if (sheet < 0 || sheet >= int(sheets_.size()))
        return;
    Entries& e = sheets_[std::size_t(sheet)];
    if (range.isSingleCell()) {
        e.singles.emplace_back(cellKey(range.first), dependent);
        return;
    }
    const auto index = std::uint32_t(e.blocks.size());
    e.blocks.emplace_back(range, dependent);
    const int firstBlock = (range.first.row - 1) >> kRowBlockShift;
    const int lastBlock = (range.last.row - 1) >> kRowBlockShift;
    const long long buckets = (long long)(lastBlock - firstBlock + 1) * range.columns();
    if (buckets > kMaxBucketsPerBlock) {
        e.large.push_back(index);
        return;
    }
    for (int col = range.first.col; col <= range.last.col; ++col)
        for (int block = firstBlock; block <= lastBlock; ++block)
            e.buckets.emplace_back(bucketKey(col, block), index);
}

void DependencyIndex::add(const FormulaRef& ref, CellKey dependent) {
    for (int sheet = ref.firstSheet; sheet <= ref.lastSheet; ++sheet)
        add(sheet, ref.range, dependent);
}

void DependencyIndex::sortTail(Entries& entries) {
    sortAndMerge(entries.singles, entries.sortedSingles);
    sortAndMerge(entries.buckets, entries.sortedBuckets);
}

void DependencyIndex::prepare() {
    runParallel(sheets_.size(), [this](std::size_t i) { sortTail(sheets_[i]); });
}

template <class Single, class Block>
void DependencyIndex::visit(int sheet, CellRef cell, Single&& single, Block&& block) const {
    if (sheet < 0 || sheet >= int(sheets_.size()))
        return;
    const Entries& e = sheets_[std::size_t(sheet)];
    const std::uint64_t key = cellKey(cell);
    auto it = std::lower_bound(e.singles.begin(), e.singles.end(), std::make_pair(key, CellKey(0)));
    for (; it != e.singles.end() && it->first == key; ++it)
        single(it->second);
    const std::uint64_t bucket = bucketKey(cell.col, (cell.row - 1) >> kRowBlockShift);
    auto b = std::lower_bound(e.buckets.begin(), e.buckets.end(), std::make_pair(bucket, std::uint32_t(0)));
    for (; b != e.buckets.end() && b->first == bucket; ++b)
        if (e.blocks[b->second].first.contains(cell))
            block(b->second);
    for (std::uint32_t index : e.large)
        if (e.blocks[index].first.contains(cell))
            block(index);
}

void DependencyIndex::dependents(int sheet, CellRef cell, std::vector<CellKey>& out) const {
    const auto add = [&](CellKey dependent) { out.push_back(dependent); };
    visit(sheet, cell, add,
          [&](std::uint32_t index) { add(sheets_[std::size_t(sheet)].blocks[index].second); });
}

void DependencyIndex::Walk::dependents(int sheet, CellRef cell, bool fromWrite, std::vector<CellKey>& out) {
    if (sheet < 0 || sheet >= int(index_.sheets_.size()))
        return;
    const Entries& e = index_.sheets_[std::size_t(sheet)];
    if (reported_.size() < index_.sheets_.size())
        reported_.resize(index_.sheets_.size());
    std::vector<std::uint8_t>& reported = reported_[std::size_t(sheet)];
    if (reported.size() < e.blocks.size())
        reported.resize(e.blocks.size(), 0);
    const std::uint8_t mark = fromWrite ? 2 : 1;
    index_.visit(
        sheet, cell, [&](CellKey dependent) { out.push_back(dependent); },
        [&](std::uint32_t index) {
            if (reported[index] & mark)
                return;
            reported[index] |= fromWrite ? 3 : 1;
            out.push_back(e.blocks[index].second);
        });
}

} // namespace platform::sheet
