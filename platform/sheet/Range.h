// A block of cells of one worksheet, the way callers address cells: its address in the forms
// the spreadsheet program gives, its values and formulas read in one piece, writes to every
// cell of it (raising one change event), selection, copy and paste-special through the
// application's copy buffer.
#pragma once

#include "platform/sheet/CellGrid.h"
#include "platform/sheet/CellRange.h"

#include <QString>

namespace platform::sheet {

class Worksheet;

enum class PasteType { All, Values, Formats };

class Range {
public:
    Range(Worksheet& sheet, const CellRange& area)
        : sheet_(&sheet)
        , area_(area) {}

    Worksheet& worksheet() const { return *sheet_; }
    const CellRange& area() const { return area_; }
    int row() const { return area_.first.row; }
    int column() const { return area_.first.col; }
    int rows() const { return area_.rows(); }
    int columns() const { return area_.columns(); }

    // "$B$2:$D$4" by default; relative parts without "$"; R1C1 style against base.
    QString address(bool rowAbsolute = true, bool colAbsolute = true,
                    ReferenceStyle style = ReferenceStyle::A1, CellRef base = {}) const {
        return area_.address(rowAbsolute, colAbsolute, style, base);
    }

    // The first cell's value and formula.
    CellValue value() const;
    QString formula() const;
    // The whole block.
    ValueGrid values() const;
    FormulaGrid formulas() const;

    // Every cell gets the value (a text is read as a typed entry) or the typed entry.
    void setValue(const CellValue& value) const;
    void setEntry(const QString& typed) const;
    void clearContents() const;

    // A cell of the block, counted from (1, 1) at its first cell.
    Range cell(int row, int col) const;

    void select() const;
    void setBold(bool bold) const;

    // Into the application's copy buffer, and from it into this block's first cell.
    void copy() const;
    void pasteSpecial(PasteType type = PasteType::All) const;

private:
    Worksheet* sheet_;
    CellRange area_;
};

} // namespace platform::sheet
