// One sheet of a workbook: a worksheet with its cells, or a chart sheet (listed among the
// sheets, kept as it is). Cells are read as values and formulas, one by one or a block at a
// time; writes keep the cell's format and are refused for locked cells of a protected sheet.
// Sheet protection, activation and selection live here; adding, copying, moving, renaming and
// deleting sheets are the workbook's, which owns its sheets. The sheet's state (its part, its
// cells, its place in the package) lives in the layer's own Impl, so that callers do not depend
// on it.
#pragma once

#include "platform/sheet/CellGrid.h"
#include "platform/sheet/CellRange.h"
#include "platform/sheet/CellValue.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform::sheet {

class Range;
class Workbook;

class Worksheet {
public:
    enum class Kind { Worksheet, Chart, Other };
    enum class Visibility { Visible, Hidden, VeryHidden };

    ~Worksheet();
    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    Workbook& workbook() const;
    const QString& name() const;
    Kind kind() const;
    Visibility visibility() const;
    // Hiding the last visible sheet is refused.
    void setVisibility(Visibility visibility);
    // Position among the workbook's sheets, from 0.
    int index() const;

    // Cells, from (1, 1). A chart sheet has none.
    CellValue value(CellRef cell) const;
    // The formula as the spreadsheet program gives it: "=B1*2" for a formula (references to
    // other workbooks in their shown form), the constant as text, "" for an empty cell.
    QString formula(CellRef cell) const;
    bool hasFormula(CellRef cell) const;
    // The text the cell shows: its value written in the cell's number format ("12.50%",
    // "1/31/2026", "$1,200.00"), TRUE or FALSE, the error code; "" for an empty cell.
    QString text(CellRef cell) const;
    // A formula cell whose result could not be brought up to date: it holds its last result,
    // and is saved without one, so that every spreadsheet program calculates it on opening.
    bool isStale(CellRef cell) const;
    // The stale cells of a block, row by row: what a copy of its values would carry unchanged.
    std::vector<CellRef> staleCells(const CellRange& block) const;

    // A typed entry as the user would type it ("=A1*2", "12.5", "TRUE", "text"). A formula that
    // cannot be read is refused with SheetError (BadFormula) and nothing is stored.
    void setEntry(CellRef cell, const QString& typed);
    // A value; a text value is read as a typed entry, as the spreadsheet program does.
    void setValue(CellRef cell, const CellValue& value);
    // Empties the cells of a block, keeping their formats.
    void clearContents(const CellRange& block);

    // The last used cell: the last used row and the last used column (A1 when empty).
    CellRef lastCell() const;
    // The block from A1 to the last used cell.
    CellRange usedBlock() const { return CellRange({1, 1}, lastCell()); }
    // A block read in one piece; a block of more than kMaxBlockCells cells is refused with
    // SheetError (BadAddress) rather than exhausting memory.
    static constexpr qint64 kMaxBlockCells = 50'000'000;
    ValueGrid values(const CellRange& block) const;
    FormulaGrid formulas(const CellRange& block) const;
    // The cells of a block that hold a value or a formula, row by row, each with its value and
    // its formula (as formula() gives it): a read that costs what the block holds, however far
    // it spans.
    void forEachHeldCell(const CellRange& block,
                         const std::function<void(CellRef, const CellValue&, const QString&)>& visit) const;

    Range range(const QString& address);
    Range cells(int row, int col);

    // Formats.
    void setBold(const CellRange& block, bool bold);
    bool isBold(CellRef cell) const;
    std::uint32_t styleIndex(CellRef cell) const;
    std::vector<CellRange> mergedCells() const;
    void setMergedCells(const std::vector<CellRange>& ranges);

    // Protection. protect() with an empty password protects without one; unprotect() with a
    // wrong password throws SheetError (WrongPassword).
    bool isProtected() const;
    bool hasPassword() const;
    bool verifyPassword(const QString& password) const;
    void protect(const QString& password);
    void unprotect(const QString& password);
    // Whether a write into the cell would be taken (not a locked cell of a protected sheet).
    bool canWrite(CellRef cell) const;

    // Activation and selection; they raise the application's events in their order.
    void activate();
    void select(const CellRange& block);
    const CellRange& selection() const;
    // The selection's address as the spreadsheet program gives it ("B2:D4", "C:C", "7:7").
    QString selectionAddress(bool rowAbsolute = false, bool colAbsolute = false) const;

    // The layer's own state of the sheet (platform/sheet/model/WorksheetImpl.h).
    class Impl;

private:
    explicit Worksheet(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> d_;
};

} // namespace platform::sheet
