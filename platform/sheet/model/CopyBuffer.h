// The application's private copy buffer: a copied block taken as it was at the time of the
// copy (values, formulas and the formats of its cells, with the merged areas inside it), so
// that a paste-special of values or of formats into another workbook carries exactly that,
// even after the source was changed or closed.
#pragma once

#include "platform/sheet/CellRange.h"
#include "platform/sheet/CellValue.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/package/Styles.h"

#include <QString>
#include <vector>

namespace platform::sheet {

class Worksheet;

class CopyBuffer {
public:
    void take(const Worksheet& sheet, const CellRange& area);
    bool empty() const { return rows_ == 0; }
    void clear();
    const CellRange& area() const { return area_; }

    // Pastes at the target's first cell. Writes into locked cells of a protected sheet are
    // refused with SheetError (ProtectedCell) before anything is changed.
    void paste(Worksheet& target, CellRef at, PasteType type) const;

private:
    struct Item {
        CellValue value;
        QString formula; // "" when the cell holds no formula; else without "="
        std::uint32_t look = 0;
    };

    const Item& item(int row, int col) const {
        return items_[std::size_t(row) * std::size_t(cols_) + std::size_t(col)];
    }

    CellRange area_;
    int rows_ = 0;
    int cols_ = 0;
    std::vector<Item> items_;
    std::vector<Styles::Look> looks_;
    std::vector<CellRange> merges_; // relative to the block's first cell, from (1, 1)
};

} // namespace platform::sheet
