// Recalculation of the formulas that depend on written cells.
#include "platform/sheet/formula/Recalculator.h"

#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/formula/FormulaCompiler.h"
#include "platform/sheet/formula/FormulaEvaluator.h"
#include "platform/sheet/model/Parallel.h"
#include "platform/sheet/model/WorkbookImpl.h"
#include "platform/sheet/model/WorksheetImpl.h"
#include "platform/sheet/package/SharedStrings.h"
#include "platform/sheet/package/WorkbookPart.h"
#include "platform/sheet/package/WorksheetPart.h"
#include "platform/sheet/package/XmlText.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace platform::sheet {

namespace {

using Cell = CellStore::Cell;
constexpr std::uint8_t kMarks = CellStore::kDirty | CellStore::kOnPath | CellStore::kFromWrite;

// Sheet and defined names compare without regard to case: both sides are folded the same way.
std::string folded(std::string_view name) {
    std::string out(name);
    bool ascii = true;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
        else if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return ascii ? out : XmlText::toUtf8(XmlText::toQString(name).toUpper());
}

// The value of one attribute in a formula's raw attributes (` t="array" ref="C1:C3"`).
std::string_view formulaAttribute(std::string_view attrs, std::string_view name) {
    std::string key;
    key.reserve(name.size() + 3);
    key.append(" ").append(name).append("=\"");
    const std::size_t at = attrs.find(key);
    if (at == std::string_view::npos)
        return {};
    const std::size_t from = at + key.size();
    const std::size_t to = attrs.find('"', from);
    return to == std::string_view::npos ? std::string_view() : attrs.substr(from, to - from);
}

// What kind of formula a cell holds: a data table (evaluated by the spreadsheet program only),
// an array formula with the block it fills, or a plain one.
struct FormulaKind {
    bool dataTable = false;
    bool array = false;
    CellRange block;
};

FormulaKind kindOf(const CellStore& store, const Cell& cell, CellRef at) {
    FormulaKind kind;
    kind.block = CellRange(at);
    const std::uint32_t attrs = store.formulaAttrs(cell.formula);
    if (!attrs)
        return kind;
    const std::string_view text = store.attrs(attrs);
    const std::string_view type = formulaAttribute(text, "t");
    kind.dataTable = type == "dataTable";
    kind.array = type == "array";
    if (kind.array) {
        const auto block = CellRange::parse(QString::fromLatin1(formulaAttribute(text, "ref")));
        if (block && block->first == at)
            kind.block = *block;
    }
    return kind;
}

bool overlaps(const CellRange& a, const CellRange& b) {
    return a.first.row <= b.last.row && b.first.row <= a.last.row && a.first.col <= b.last.col &&
           b.first.col <= a.last.col;
}

// The results of an array formula in the cells of its block (cells made where missing; a cell
// with a formula of its own is left alone); whether any changed.
bool storeBlock(CellStore& store, const CellRange& block, const ValueMatrix& results,
                const FormulaEvaluator& evaluator, int sheet) {
    bool changed = false;
    for (int r = 0; r < block.rows(); ++r) {
        for (int c = 0; c < block.columns(); ++c) {
            const CellRef at{block.first.row + r, block.first.col + c};
            Cell* cell = store.find(at);
            if (cell && cell->formula && r + c > 0)
                continue;
            if (!cell)
                cell = &store.obtain(at);
            const CellValue& result = results.at(r, c);
            if (evaluator.valueOf(sheet, *cell) == result)
                continue;
            Worksheet::Impl::storeResult(store, *cell, result);
            changed = true;
        }
    }
    return changed;
}

} // namespace

// ---- names as the workbook defines them -----------------------------------------------------

class Recalculator::Scope : public FormulaCompiler::Scope {
public:
    Scope(const std::vector<Worksheet*>& sheets, const WorkbookPart& part, bool macros)
        : macros_(macros) {
        for (std::size_t i = 0; i < sheets.size(); ++i)
            if (sheets[i]->kind() == Worksheet::Kind::Worksheet)
                sheets_.emplace(folded(XmlText::toUtf8(sheets[i]->name())), int(i));
        for (const WorkbookPart::DefinedName& d : part.definedNames) {
            const std::string local = d.attribute("localSheetId");
            const int sheet = local.empty() ? -1 : std::atoi(local.c_str());
            names_[folded(d.attribute("name"))].emplace_back(sheet, d.text);
        }
        for (std::size_t i = 0; i < sheets.size(); ++i)
            for (const TablePart& t : impl(*sheets[i]).tables)
                tables_.emplace(folded(t.name),
                                Table{int(i), t.range, t.headerRows, t.totalsRows, t.columns});
    }

    const Table* table(std::string_view name) const override {
        if (tables_.empty() || name.empty())
            return nullptr;
        const auto it = tables_.find(folded(name));
        return it == tables_.end() ? nullptr : &it->second;
    }

    int sheetIndex(std::string_view name) const override {
        const auto it = sheets_.find(folded(name));
        return it == sheets_.end() ? -1 : it->second;
    }

    const std::string* definedName(std::string_view name, int sheet) const override {
        const auto it = names_.find(folded(name));
        if (it == names_.end())
            return nullptr;
        const std::string* global = nullptr;
        for (const auto& [scope, text] : it->second) {
            if (scope == sheet)
                return &text;
            if (scope < 0)
                global = &text;
        }
        return global;
    }

    bool hasMacros() const override { return macros_; }

private:
    bool macros_;
    std::unordered_map<std::string, int> sheets_;
    std::unordered_map<std::string, std::vector<std::pair<int, std::string>>> names_;
    std::unordered_map<std::string, Table> tables_;
};

// One formula cell on the way through the evaluation: first its dirty precedents are taken
// care of, then it is evaluated.
struct Recalculator::Frame {
    explicit Frame(CellKey cell)
        : key(cell) {}

    CellKey key = 0;
    bool expanded = false;
    bool circular = false;
    std::optional<FormulaProgram> program;
    CellRange block; // the cells it fills: its own, or an array formula's block
};

Recalculator::Recalculator(Workbook& workbook)
    : workbook_(workbook) {}

CellStore* Recalculator::storeOf(Worksheet* sheet) {
    return sheet ? impl(*sheet).cellStore() : nullptr;
}

Recalculator::~Recalculator() = default;

void Recalculator::cellWritten(Worksheet& sheet, CellRef cell) {
    written_.emplace_back(&sheet, cell);
    pending_ = true;
}

void Recalculator::sheetsChanged() {
    dropIndex();
    pending_ = true;
}

void Recalculator::dropIndex() {
    index_.reset();
    shapes_.clear();
    indexSheets_.clear();
    hidden_.clear();
    arrayBlocks_.clear();
    arrayBlockIndex_.clear();
    rescan_ = true; // a copied sheet brings its stale cells along
}

void Recalculator::sheetRemoved(Worksheet& sheet) {
    auto onSheet = [&](const std::pair<Worksheet*, CellRef>& entry) { return entry.first == &sheet; };
    written_.erase(std::remove_if(written_.begin(), written_.end(), onSheet), written_.end());
    stale_.erase(std::remove_if(stale_.begin(), stale_.end(), onSheet), stale_.end());
    sheetsChanged();
}

void Recalculator::calculate() {
    if (!pending_ || running_ || workbook_.isClosed())
        return;
    running_ = true;
    pending_ = false;
    try {
        run();
    } catch (...) {
        running_ = false;
        pending_ = true;
        throw;
    }
    running_ = false;
}

std::vector<StaleCell> Recalculator::staleCells() {
    calculate();
    std::vector<std::pair<int, std::pair<Worksheet*, CellRef>>> sorted;
    for (const auto& entry : stale_) {
        const CellStore* store = storeOf(entry.first);
        const Cell* cell = store ? store->find(entry.second) : nullptr;
        if (cell && cell->formula && (cell->flags & CellStore::kStale))
            sorted.emplace_back(workbook_.indexOf(*entry.first), entry);
    }
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        const CellRef x = a.second.second;
        const CellRef y = b.second.second;
        return x.row != y.row ? x.row < y.row : x.col < y.col;
    });
    std::vector<StaleCell> out;
    for (const auto& [index, entry] : sorted)
        if (out.empty() || out.back().sheet != entry.first || !(out.back().cell == entry.second))
            out.push_back(StaleCell{entry.first, entry.second});
    return out;
}

// ---- one recalculation ------------------------------------------------------------------------

void Recalculator::run() {
    std::vector<Worksheet*> sheets;
    for (int i = 0; i < workbook_.sheetCount(); ++i)
        sheets.push_back(&workbook_.sheet(i));
    if (index_ && indexSheets_ != sheets)
        dropIndex();
    if (rescan_)
        findStale(sheets);
    // Results change through writes only; formulas without a result (as some writers save
    // them) are calculated the first time.
    if (written_.empty() && stale_.empty())
        return;
    std::vector<Seed> seeds = collectSeeds(sheets);
    const Scope scope(sheets, *impl(workbook_).workbookPart, workbook_.hasMacroProject());
    if (!index_)
        buildIndex(sheets, scope);
    else
        addWrittenFormulas(seeds, sheets, scope);
    for (CellKey key : hidden_)
        seeds.push_back(Seed{key, true});
    std::vector<CellKey> dirty = markDirty(std::move(seeds), sheets);
    // Formulas calculated every time come last, so that the cells OFFSET and INDIRECT find are
    // current when they read them, as far as no formula reads them in turn.
    const std::unordered_set<CellKey> everyTime(hidden_.begin(), hidden_.end());
    std::stable_partition(dirty.begin(), dirty.end(), [&](CellKey key) { return !everyTime.count(key); });
    try {
        evaluate(dirty, sheets, scope);
    } catch (...) {
        clearMarks(dirty, sheets);
        throw;
    }
}

// Formula cells that hold no current result: those a file holds without a result (the first
// time), and those a copied sheet brings along.
void Recalculator::findStale(const std::vector<Worksheet*>& sheets) {
    rescan_ = false;
    for (Worksheet* sheet : sheets) {
        const CellStore* store = storeOf(sheet);
        if (!store)
            continue;
        for (const CellStore::Row& row : store->rows())
            for (const Cell& cell : row.cells)
                if (cell.formula && (cell.flags & CellStore::kStale))
                    stale_.emplace_back(sheet, CellRef{row.row, cell.col});
    }
}

// The written cells, and the cells found stale before: they may be current now.
std::vector<Recalculator::Seed> Recalculator::collectSeeds(const std::vector<Worksheet*>& sheets) {
    std::unordered_map<const Worksheet*, int> position;
    for (std::size_t i = 0; i < sheets.size(); ++i)
        position.emplace(sheets[i], int(i));
    std::vector<Seed> seeds;
    auto add = [&](const std::vector<std::pair<Worksheet*, CellRef>>& cells, bool written) {
        for (const auto& [sheet, cell] : cells) {
            const auto it = position.find(sheet);
            if (it == position.end() || !CellAddress::isValid(cell))
                continue;
            seeds.push_back(Seed{DependencyIndex::key(it->second, cell), written});
            if (written) // its formula, if it has one, is read again
                shapesOf(it->second).forget(cell);
        }
    };
    add(written_, true);
    add(stale_, false);
    written_.clear();
    stale_.clear();
    // A cell written many times is looked at once.
    std::sort(seeds.begin(), seeds.end(), [](const Seed& a, const Seed& b) {
        return a.key != b.key ? a.key < b.key : a.written > b.written;
    });
    seeds.erase(
        std::unique(seeds.begin(), seeds.end(), [](const Seed& a, const Seed& b) { return a.key == b.key; }),
        seeds.end());
    return seeds;
}

void Recalculator::buildIndex(const std::vector<Worksheet*>& sheets, const Scope& scope) {
    struct Entry {
        CellRange range;
        CellKey dependent;
    };
    const std::size_t count = sheets.size();
    // Per sheet read: the entries it makes, per sheet referred to.
    std::vector<std::vector<std::vector<Entry>>> entries(count, std::vector<std::vector<Entry>>(count));
    std::vector<std::vector<CellKey>> hidden(count);
    std::vector<std::vector<ArrayBlock>> blocks(count);
    shapes_.clear();
    for (std::size_t s = 0; s < count; ++s)
        shapesOf(int(s));
    // Each formula is compiled through its sheet's shapes, which the evaluation takes its
    // programs from too: a shape is read once.
    runParallel(count, [&](std::size_t s) {
        const CellStore* store = storeOf(sheets[s]);
        if (!store)
            return;
        for (const CellStore::Row& row : store->rows()) {
            for (const Cell& cell : row.cells) {
                if (!cell.formula)
                    continue;
                const CellRef at{row.row, cell.col};
                const CellKey key = DependencyIndex::key(int(s), at);
                const FormulaKind kind = kindOf(*store, cell, at);
                const FormulaProgram program =
                    shapes_[s]->compile(store->formulaText(cell.formula), int(s), at, scope, kind.array);
                for (const FormulaRef& ref : program.precedents)
                    for (int t = std::max(ref.firstSheet, 0); t <= ref.lastSheet && t < int(count); ++t)
                        entries[s][std::size_t(t)].push_back(Entry{ref.range, key});
                if (program.hiddenPrecedents)
                    hidden[s].push_back(key);
                if (kind.array && !kind.block.isSingleCell())
                    blocks[s].push_back(ArrayBlock{key, int(s), kind.block});
            }
        }
    });
    index_ = std::make_unique<DependencyIndex>(int(count));
    indexSheets_ = sheets;
    runParallel(count, [&](std::size_t t) {
        for (std::size_t s = 0; s < count; ++s)
            for (const Entry& e : entries[s][t])
                index_->add(int(t), e.range, e.dependent);
    });
    index_->prepare();
    hidden_.clear();
    for (const auto& keys : hidden)
        hidden_.insert(hidden_.end(), keys.begin(), keys.end());
    arrayBlocks_.clear();
    arrayBlockIndex_.clear();
    for (const auto& onSheet : blocks)
        for (const ArrayBlock& b : onSheet) {
            arrayBlockIndex_.emplace(b.formula, arrayBlocks_.size());
            arrayBlocks_.push_back(b);
        }
}

FormulaShapes& Recalculator::shapesOf(int sheet) {
    while (shapes_.size() <= std::size_t(sheet))
        shapes_.push_back(std::make_unique<FormulaShapes>());
    return *shapes_[std::size_t(sheet)];
}

const Recalculator::ArrayBlock* Recalculator::arrayBlockOf(CellKey formula) const {
    const auto it = arrayBlockIndex_.find(formula);
    return it == arrayBlockIndex_.end() ? nullptr : &arrayBlocks_[it->second];
}

// Formulas written since the index was built are filed under their references.
void Recalculator::addWrittenFormulas(const std::vector<Seed>& seeds, const std::vector<Worksheet*>& sheets,
                                      const Scope& scope) {
    for (const Seed& seed : seeds) {
        if (!seed.written)
            continue;
        const int sheet = DependencyIndex::sheetOf(seed.key);
        const CellStore* store = storeOf(sheets[std::size_t(sheet)]);
        const CellRef at = DependencyIndex::cellOf(seed.key);
        const Cell* cell = store ? store->find(at) : nullptr;
        if (!cell || !cell->formula)
            continue;
        const FormulaProgram program = shapesOf(sheet).compile(store->formulaText(cell->formula), sheet, at,
                                                               scope, kindOf(*store, *cell, at).array);
        for (const FormulaRef& ref : program.precedents)
            index_->add(ref, seed.key);
        if (program.hiddenPrecedents)
            hidden_.push_back(seed.key);
    }
    index_->prepare();
}

// Marks the formula cells to recalculate: the seeds that are formulas, and every formula cell
// that reads one of the seeds, directly or through other formulas. Cells reached from a written
// cell are marked as such, so that their sheets are saved with the new results.
std::vector<Recalculator::CellKey> Recalculator::markDirty(std::vector<Seed> queue,
                                                           const std::vector<Worksheet*>& sheets) {
    std::vector<CellKey> dirty;
    std::vector<CellKey> found;
    DependencyIndex::Walk walk(*index_);
    const std::size_t seedCount = queue.size();
    for (std::size_t q = 0; q < queue.size(); ++q) {
        const Seed seed = queue[q];
        const int sheet = DependencyIndex::sheetOf(seed.key);
        const CellRef at = DependencyIndex::cellOf(seed.key);
        CellStore* store = storeOf(sheets[std::size_t(sheet)]);
        Cell* cell = store ? store->find(at) : nullptr;
        bool spread = false;
        if (cell && cell->formula) {
            if (!(cell->flags & CellStore::kDirty)) {
                cell->flags |= CellStore::kDirty;
                dirty.push_back(seed.key);
                spread = true;
            }
            if (seed.written && !(cell->flags & CellStore::kFromWrite)) {
                cell->flags |= CellStore::kFromWrite;
                spread = true;
            }
        } else {
            spread = q < seedCount && seed.written; // a written value, or a cell emptied
        }
        if (!spread)
            continue;
        found.clear();
        walk.dependents(sheet, at, seed.written, found);
        // The readers of the cells an array formula fills depend on it too.
        if (const ArrayBlock* block = cell && cell->formula ? arrayBlockOf(seed.key) : nullptr)
            for (int r = block->block.first.row; r <= block->block.last.row; ++r)
                for (int c = block->block.first.col; c <= block->block.last.col; ++c)
                    walk.dependents(sheet, {r, c}, seed.written, found);
        for (CellKey key : found)
            queue.push_back(Seed{key, seed.written});
    }
    return dirty;
}

// One evaluation of the dirty formula cells, depth first: a cell's dirty precedents are
// evaluated before it, in reading order. A cell that reads a dirty cell through a reference found
// only at evaluation (OFFSET, INDIRECT) waits: that cell is evaluated first and the reader again
// after it -- unless the cell is on the way to the reader, which makes a circular reference.
class Recalculator::Pass {
public:
    Pass(Recalculator& owner, const std::vector<Worksheet*>& sheets, const Scope& scope)
        : owner_(owner)
        , sheets_(sheets)
        , scope_(scope)
        , evaluator_(storesOf(sheets), *impl(owner.workbook_).strings, &scope,
                     impl(owner.workbook_).workbookPart->date1904, filtersOf(sheets)) {}

    void run(const std::vector<CellKey>& dirty) {
        for (CellKey root : dirty) {
            stack_.emplace_back(root);
            while (!stack_.empty()) {
                Frame& frame = stack_.back();
                Cell* cell = cellAt(frame.key);
                if (!cell || !(cell->flags & CellStore::kDirty))
                    stack_.pop_back();
                else if (!frame.expanded)
                    expand(stack_.size() - 1, *cell);
                else if (settle(stack_.size() - 1))
                    stack_.pop_back();
            }
        }
    }

private:
    static std::vector<const CellStore*> storesOf(const std::vector<Worksheet*>& sheets) {
        std::vector<const CellStore*> stores;
        for (Worksheet* sheet : sheets)
            stores.push_back(Recalculator::storeOf(sheet));
        return stores;
    }

    static std::vector<std::vector<CellRange>> filtersOf(const std::vector<Worksheet*>& sheets) {
        std::vector<std::vector<CellRange>> filters;
        for (Worksheet* sheet : sheets)
            filters.push_back(impl(*sheet).filteredBlocks());
        return filters;
    }

    Cell* cellAt(CellKey key) const {
        CellStore* store = storeOf(sheets_[std::size_t(DependencyIndex::sheetOf(key))]);
        return store ? store->find(DependencyIndex::cellOf(key)) : nullptr;
    }

    // Visits the formula cells within the blocks the program names (sheets without formula
    // cells have none: their blocks are not walked), in reading order.
    template <class F> void forEachPrecedent(const FormulaProgram& program, F&& visit) const {
        for (const FormulaRef& ref : program.precedents) {
            for (int s = std::max(ref.firstSheet, 0); s <= ref.lastSheet && s < int(sheets_.size()); ++s) {
                CellStore* store = storeOf(sheets_[std::size_t(s)]);
                if (!store || !evaluator_.sheetHoldsFormulas(s))
                    continue;
                std::as_const(*store).forEachIn(ref.range, [&](int row, const Cell& cell) {
                    if (cell.formula)
                        visit(DependencyIndex::key(s, {row, cell.col}), cell);
                });
                // The cells an array formula fills are read through its formula cell.
                for (const ArrayBlock& b : owner_.arrayBlocks_)
                    if (b.sheet == s && overlaps(b.block, ref.range))
                        if (const Cell* formulaCell = cellAt(b.formula))
                            visit(b.formula, *formulaCell);
            }
        }
    }

    // Compiles the cell's formula and puts the dirty formula cells it names above it, the first
    // one read on top; one that is being worked on already reads this one: a circular reference.
    void expand(std::size_t top, Cell& cell) {
        const CellKey key = stack_[top].key;
        const int sheet = DependencyIndex::sheetOf(key);
        CellStore& store = *storeOf(sheets_[std::size_t(sheet)]);
        stack_[top].expanded = true;
        cell.flags |= CellStore::kOnPath;
        const FormulaKind kind = kindOf(store, cell, DependencyIndex::cellOf(key));
        FormulaProgram program = owner_.shapesOf(sheet).compile(
            store.formulaText(cell.formula), sheet, DependencyIndex::cellOf(key), scope_, kind.array);
        // A data table, or an array formula over a block too large to hold, is left to the
        // spreadsheet program.
        if (kind.dataTable ||
            double(kind.block.rows()) * kind.block.columns() > FormulaEvaluator::kMaxArrayElements)
            program.evaluable = false;
        bool circular = false;
        std::vector<CellKey> needed;
        forEachPrecedent(program, [&](CellKey precedent, const Cell& c) {
            if (!(c.flags & CellStore::kDirty))
                return;
            if (c.flags & CellStore::kOnPath)
                circular = true;
            else
                needed.push_back(precedent);
        });
        stack_[top].block = kind.block;
        stack_[top].circular = circular;
        stack_[top].program = std::move(program);
        for (auto it = needed.rbegin(); it != needed.rend(); ++it)
            stack_.emplace_back(*it);
    }

    // Whether a cell it names is not current (or is the cell itself).
    bool readsUnsettled(const FormulaProgram& program, CellKey key) const {
        bool unsettled = false;
        forEachPrecedent(program, [&](CellKey precedent, const Cell& c) {
            if (precedent == key || (c.flags & (CellStore::kDirty | CellStore::kStale)))
                unsettled = true;
        });
        return unsettled;
    }

    // After an evaluation that read dirty cells through references found at evaluation: puts
    // them above the frame, the first one read on top, so that it is evaluated again after
    // them. False when it cannot be: one of them is on the way to it (a circular reference), or
    // it read only cells that stay stale.
    bool waitForUnsettled() {
        std::vector<CellKey> needed;
        for (const auto& [sheet, at] : evaluator_.unsettledCells()) {
            const CellKey key = DependencyIndex::key(sheet, at);
            const Cell* c = cellAt(key);
            if (!c || !(c->flags & CellStore::kDirty))
                continue;
            if (c->flags & CellStore::kOnPath)
                return false;
            needed.push_back(key);
        }
        for (auto it = needed.rbegin(); it != needed.rend(); ++it)
            stack_.emplace_back(*it);
        return !needed.empty();
    }

    // Evaluates the formula of the frame at `top` and stores its result, or marks it stale;
    // false when it waits for cells put above it.
    bool settle(std::size_t top) {
        const CellKey key = stack_[top].key;
        const int sheet = DependencyIndex::sheetOf(key);
        const CellRef at = DependencyIndex::cellOf(key);
        Worksheet* worksheet = sheets_[std::size_t(sheet)];
        CellStore& store = *storeOf(worksheet);
        const Frame& frame = stack_[top];
        bool stale = frame.circular || !frame.program->evaluable || readsUnsettled(*frame.program, key);
        bool changed = false;
        if (!stale) {
            const bool single = frame.block.isSingleCell();
            CellValue result;
            ValueMatrix results;
            if (single)
                result = evaluator_.evaluate(*frame.program, at, sheet);
            else
                results = evaluator_.evaluateBlock(*frame.program, at, sheet, frame.block.rows(),
                                                   frame.block.columns());
            if (evaluator_.gaveUp()) {
                // It met what only the spreadsheet program evaluates.
                stale = true;
            } else if (evaluator_.readUnsettled()) {
                if (waitForUnsettled())
                    return false;
                stale = true;
            } else if (single) {
                Cell& cell = *store.find(at);
                changed = !(evaluator_.valueOf(sheet, cell) == result);
                if (changed)
                    Worksheet::Impl::storeResult(store, cell, result);
            } else {
                changed = storeBlock(store, stack_[top].block, results, evaluator_, sheet);
            }
        }
        Cell& cell = *store.find(at); // storing a block may have made cells of its row
        if (stale) {
            // Its result in the file is no longer current: the sheet is written again, without it.
            if (!(cell.flags & CellStore::kStale))
                impl(*worksheet).markCellsChanged();
            cell.flags |= CellStore::kStale;
            owner_.stale_.emplace_back(worksheet, at);
        } else {
            cell.flags &= std::uint8_t(~CellStore::kStale);
        }
        if (changed && (cell.flags & CellStore::kFromWrite))
            impl(*worksheet).markCellsChanged();
        cell.flags &= std::uint8_t(~kMarks);
        return true;
    }

    Recalculator& owner_;
    const std::vector<Worksheet*>& sheets_;
    const Scope& scope_;
    const FormulaEvaluator evaluator_;
    std::vector<Frame> stack_;
};

void Recalculator::evaluate(const std::vector<CellKey>& dirty, const std::vector<Worksheet*>& sheets,
                            const Scope& scope) {
    Pass(*this, sheets, scope).run(dirty);
}

void Recalculator::clearMarks(const std::vector<CellKey>& dirty, const std::vector<Worksheet*>& sheets) {
    for (CellKey key : dirty) {
        CellStore* store = storeOf(sheets[std::size_t(DependencyIndex::sheetOf(key))]);
        if (Cell* cell = store ? store->find(DependencyIndex::cellOf(key)) : nullptr)
            cell->flags &= std::uint8_t(~kMarks);
    }
}

// ---- circular references of formulas about to be written ----------------------------------

std::optional<CellRef>
Recalculator::circularReference(Worksheet& target,
                                const std::vector<std::pair<CellRef, std::string>>& entries) {
    std::vector<Worksheet*> sheets;
    for (int i = 0; i < workbook_.sheetCount(); ++i)
        sheets.push_back(&workbook_.sheet(i));
    const int targetSheet = workbook_.indexOf(target);
    const Scope scope(sheets, *impl(workbook_).workbookPart, workbook_.hasMacroProject());

    // The cells as they will be: the entries over the formulas the sheets hold now.
    std::unordered_map<CellKey, const std::string*> written;
    for (const auto& [cell, text] : entries)
        written[DependencyIndex::key(targetSheet, cell)] = &text;
    auto formulaOf = [&](CellKey key) -> std::string_view {
        if (const auto it = written.find(key); it != written.end())
            return *it->second;
        const CellStore* store = storeOf(sheets[std::size_t(DependencyIndex::sheetOf(key))]);
        const Cell* cell = store ? store->find(DependencyIndex::cellOf(key)) : nullptr;
        return cell && cell->formula ? store->formulaText(cell->formula) : std::string_view();
    };
    // The formula cells a formula reads.
    std::vector<FormulaRef> refs;
    auto forEachFormulaRead = [&](std::string_view formula, int sheet, auto&& visit) {
        refs.clear();
        bool hidden = false;
        FormulaCompiler::findPrecedents(formula, sheet, scope, refs, hidden);
        for (const FormulaRef& ref : refs) {
            for (int s = std::max(ref.firstSheet, 0); s <= ref.lastSheet && s < int(sheets.size()); ++s) {
                if (const CellStore* store = storeOf(sheets[std::size_t(s)]))
                    store->forEachIn(ref.range, [&](int row, const Cell& cell) {
                        const CellKey key = DependencyIndex::key(s, {row, cell.col});
                        if (cell.formula && !written.count(key))
                            visit(key);
                    });
                for (const auto& [key, text] : written)
                    if (!text->empty() && DependencyIndex::sheetOf(key) == s &&
                        ref.range.contains(DependencyIndex::cellOf(key)))
                        visit(key);
            }
        }
    };

    for (const auto& [cell, text] : entries) {
        if (text.empty())
            continue;
        const CellKey start = DependencyIndex::key(targetSheet, cell);
        std::unordered_set<CellKey> seen{start};
        std::vector<CellKey> pending{start};
        bool circular = false;
        while (!pending.empty() && !circular) {
            const CellKey key = pending.back();
            pending.pop_back();
            const std::string formula(formulaOf(key));
            forEachFormulaRead(formula, DependencyIndex::sheetOf(key), [&](CellKey read) {
                if (read == start)
                    circular = true;
                else if (seen.insert(read).second)
                    pending.push_back(read);
            });
        }
        if (circular)
            return cell;
    }
    return std::nullopt;
}

} // namespace platform::sheet
