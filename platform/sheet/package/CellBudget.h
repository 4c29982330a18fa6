// How much one workbook's parts may hold once read: its cells (every cell element of its
// worksheets, and every row that carries attributes of its own), the elements of the parts read
// whole into a tree (shared strings, styles, the workbook part, relationships, and what stands
// around a worksheet's cells), and the text of its shared formulas copied into each cell that
// refers to one, and its sheets. The readers of a workbook's parts, which run side by side, take from one
// budget as they go; a workbook that needs more is refused (SheetError TooLarge) as soon as it does, so that
// what a read holds stays bounded whatever the file claims. A cell costs the layer about 24 bytes: a
// worksheet of a million cells takes 24 MB, and the limit lets a workbook hold ten such sheets. An element
// read into a tree costs more, and real workbooks hold few of them: a million different shared texts come to
// four million. A sheet costs more still, and a workbook of a few hundred is a large one.
#pragma once

#include "platform/sheet/package/ZipReader.h"

#include <atomic>
#include <cstdint>
#include <string_view>

namespace platform::sheet {

class CellBudget {
public:
#ifdef LUMIVANE_FUZZ_LIMITS
    static constexpr std::uint64_t kMaxCells = 1'000'000;
    static constexpr std::uint64_t kMaxElements = 800'000;
    static constexpr std::uint64_t kMaxSheets = 1'000;
#else
    static constexpr std::uint64_t kMaxCells = 10'000'000;
    static constexpr std::uint64_t kMaxElements = 8'000'000;
    static constexpr std::uint64_t kMaxSheets = 10'000;
#endif
    // Shared formulas copied into their cells may not come to more text than the whole package
    // may unpack to.
    static constexpr std::uint64_t kMaxFormulaBytes = ZipReader::kMaxUnpackedSize;

    struct Limits {
        std::uint64_t cells = kMaxCells;
        std::uint64_t elements = kMaxElements;
        std::uint64_t formulaBytes = kMaxFormulaBytes;
        std::uint64_t sheets = kMaxSheets;
    };

    CellBudget()
        : CellBudget(Limits{}) {}
    explicit CellBudget(const Limits& limits)
        : limits_(limits) {}
    CellBudget(const CellBudget&) = delete;
    CellBudget& operator=(const CellBudget&) = delete;

    struct Counts {
        std::uint64_t cells = 0;
        std::uint64_t elements = 0;
        std::uint64_t formulaBytes = 0;
        std::uint64_t sheets = 0;
    };
    // Takes what was read from the part; throws SheetError (TooLarge) naming the part once the
    // workbook holds more than the budget. Safe to call from several threads.
    void take(const Counts& counts, std::string_view partName);
    // Takes the elements of a part about to be read whole, counted by their "<".
    void takeElements(std::string_view xml, std::string_view partName);

private:
    const Limits limits_;
    std::atomic<std::uint64_t> cells_{0};
    std::atomic<std::uint64_t> elements_{0};
    std::atomic<std::uint64_t> formulaBytes_{0};
    std::atomic<std::uint64_t> sheets_{0};
};

// What a reader takes from a budget, gathered and handed over a few thousand cells at a time, so
// that readers running side by side do not contend for the budget at every cell. Without a
// budget it counts nothing.
class CellTally {
public:
    CellTally(CellBudget* budget, std::string_view partName)
        : budget_(budget)
        , partName_(partName) {}

    void addCells(std::uint64_t cells) { add({cells, 0, 0, 0}); }
    void addElements(std::uint64_t elements) { add({0, elements, 0, 0}); }
    void addFormulaBytes(std::uint64_t bytes) { add({0, 0, bytes, 0}); }
    // Hands over what was gathered; also at the end of a part.
    void flush();

private:
    static constexpr std::uint64_t kBatch = 4096;
    static constexpr std::uint64_t kBatchBytes = std::uint64_t(1) << 20;

    void add(const CellBudget::Counts& more) {
        counts_.cells += more.cells;
        counts_.elements += more.elements;
        counts_.formulaBytes += more.formulaBytes;
        counts_.sheets += more.sheets;
        if (counts_.cells + counts_.elements >= kBatch || counts_.formulaBytes >= kBatchBytes)
            flush();
    }

    CellBudget* budget_;
    std::string_view partName_;
    CellBudget::Counts counts_;
};

} // namespace platform::sheet
