// Keeps a workbook's formula results current. Writes are only noted; the work is done when
// results are next needed -- a cell read, a copy, a save -- so that many writes cost one
// recalculation. Then the formula cells that depend on the written cells, directly or through
// other formulas, are found with a dependency index (built from every formula the first time,
// and kept up to date with the formulas written since) and evaluated, each after the formula
// cells it reads, in reading order; a cell that OFFSET or INDIRECT reaches is evaluated when it is
// found, before the formula that found it. An array formula over a block fills every cell of the
// block, and the formulas that read those cells come after it. A formula the engine cannot
// evaluate -- a function it does not evaluate, a reference to another workbook, a data table, a
// circular reference (also one closed through OFFSET or INDIRECT), or one that reads such a cell
// -- keeps its last result in memory, is listed as stale and is saved without a result, so
// that every spreadsheet program calculates it on opening. Formulas that a file holds without a result are
// calculated at the first calculation, without rewriting their sheet for it.
#pragma once

#include "platform/sheet/CellAddress.h"
#include "platform/sheet/CellRange.h"
#include "platform/sheet/formula/DependencyIndex.h"
#include "platform/sheet/formula/FormulaShapes.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::sheet {

class CellStore;
class Workbook;
class Worksheet;
struct StaleCell;

class Recalculator {
public:
    explicit Recalculator(Workbook& workbook);
    ~Recalculator();
    Recalculator(const Recalculator&) = delete;
    Recalculator& operator=(const Recalculator&) = delete;

    // A cell was written (a value, a formula, or emptied).
    void cellWritten(Worksheet& sheet, CellRef cell);
    // Sheets were added, copied, moved or renamed.
    void sheetsChanged();
    // The sheet is about to be deleted.
    void sheetRemoved(Worksheet& sheet);

    bool pending() const { return pending_; }
    // Brings every result up to date; nothing to do unless cells were written since.
    void calculate();
    // The formula cells whose results could not be brought up to date, in tab order, row by
    // row. Calculates first.
    std::vector<StaleCell> staleCells();
    // The first of the entries that, once the entries are written into the sheet, would read its
    // own result through its references and the formulas they reach: a circular reference.
    // An entry is a cell with its formula text (without "=") or with an empty text for a
    // constant. References found only at calculation (OFFSET, INDIRECT) are not followed.
    std::optional<CellRef> circularReference(Worksheet& sheet,
                                             const std::vector<std::pair<CellRef, std::string>>& entries);

private:
    class Scope;
    struct Frame;
    class Pass;
    using CellKey = DependencyIndex::CellKey;
    struct Seed {
        CellKey key;
        bool written;
    };
    // The block an array formula fills beyond its own cell.
    struct ArrayBlock {
        CellKey formula;
        int sheet;
        CellRange block;
    };

    static CellStore* storeOf(Worksheet* sheet);
    void dropIndex();
    void run();
    void findStale(const std::vector<Worksheet*>& sheets);
    std::vector<Seed> collectSeeds(const std::vector<Worksheet*>& sheets);
    void buildIndex(const std::vector<Worksheet*>& sheets, const Scope& scope);
    void addWrittenFormulas(const std::vector<Seed>& seeds, const std::vector<Worksheet*>& sheets,
                            const Scope& scope);
    std::vector<CellKey> markDirty(std::vector<Seed> seeds, const std::vector<Worksheet*>& sheets);
    void evaluate(const std::vector<CellKey>& dirty, const std::vector<Worksheet*>& sheets,
                  const Scope& scope);
    void clearMarks(const std::vector<CellKey>& dirty, const std::vector<Worksheet*>& sheets);
    const ArrayBlock* arrayBlockOf(CellKey formula) const;
    FormulaShapes& shapesOf(int sheet);

    Workbook& workbook_;
    std::vector<std::pair<Worksheet*, CellRef>> written_;
    std::vector<std::pair<Worksheet*, CellRef>> stale_;
    std::unique_ptr<DependencyIndex> index_;
    std::vector<std::unique_ptr<FormulaShapes>> shapes_; // per sheet position, with the index
    std::vector<Worksheet*> indexSheets_;                // the sheets by position when the index was built
    std::vector<CellKey> hidden_;                        // formula cells that read cells they do not name
    std::vector<ArrayBlock> arrayBlocks_;
    std::unordered_map<CellKey, std::size_t> arrayBlockIndex_; // by formula cell
    bool pending_ = true; // the first time, the sheets are searched for stale cells
    bool rescan_ = true;
    bool running_ = false;
};

} // namespace platform::sheet
