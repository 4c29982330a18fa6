// The layer's own state of one sheet, behind the Worksheet callers use: its place in the
// package (sheet number, relationship, part name), its part with the cell store, whether it is
// to be written again, and the cell operations the rest of the layer builds on (reading a
// stored cell as a value or a formula, storing constants, formulas and results). Only the
// layer includes this header.
#pragma once

#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/model/CellStore.h"
#include "platform/sheet/package/TablePart.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::sheet {

class WorksheetPart;

class Worksheet::Impl {
public:
    // A new sheet of the workbook, without a part yet.
    static std::unique_ptr<Worksheet> make(Workbook& workbook, Kind kind);
    static Impl& of(const Worksheet& sheet) { return *sheet.d_; }

    Impl(Workbook& workbook, Kind kind);
    ~Impl();

    Workbook::Impl& book() const;

    // The part, refused (WrongSheetKind) for a sheet without cells or a closed workbook.
    WorksheetPart& sheetPart() const;
    CellStore& store() const;
    // The cells of a worksheet; null for a chart sheet.
    CellStore* cellStore() const;
    void requireCells() const;
    void requireWritable(CellRef cell) const;

    CellValue valueOf(const CellStore::Cell& cell) const;
    QString formulaOf(const CellStore::Cell& cell) const;
    CellStore::Cell& cellForWrite(CellRef cell);
    void setConstant(CellStore::Cell& cell, const CellValue& value);
    void setFormulaText(CellStore::Cell& cell, const QString& formula);
    // A cell was written: the sheet is written again and the workbook hears of it.
    void written(CellRef cell);
    // A formula's result in its cell.
    static void storeResult(CellStore& store, CellStore::Cell& cell, const CellValue& value);
    // Results changed: the sheet is written again at the next save.
    void markCellsChanged() { dirty = true; }
    // A change that is not a cell write (formats, protection, merged cells).
    void markChanged();

    // The blocks of the sheet's filters that filter something (its own and its tables'): the
    // rows they hide are filtered, not hidden by hand.
    std::vector<CellRange> filteredBlocks() const;

    // The application's change event for a block of this sheet, when the workbook has one.
    void raiseChange(const CellRange& block);

    // Writes without raising events, for block writes that raise one event at the end.
    void writeValue(CellRef cell, const CellValue& value);
    void writeEntry(CellRef cell, const QString& typed);

    Workbook* workbook;
    Worksheet* self = nullptr;
    Kind kind;
    QString name;
    Visibility visibility = Visibility::Visible;
    unsigned sheetId = 0;
    std::string relId;
    std::string partName;
    std::unique_ptr<WorksheetPart> part;
    std::vector<TablePart> tables; // as read from the file, for the formulas that refer to them
    bool dirty = false;
    bool unread = false; // a worksheet whose cells a look at another one left unread
    CellRange selection{CellRef{1, 1}};
};

// The layer's state behind a sheet.
inline Worksheet::Impl& impl(const Worksheet& sheet) {
    return Worksheet::Impl::of(sheet);
}

} // namespace platform::sheet
