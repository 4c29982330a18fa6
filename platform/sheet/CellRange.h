// A rectangular block of cells (first and last cell, both included) and its address in the
// forms a spreadsheet program gives: "B2:D4", "C5", whole columns "C:C", whole rows "7:7",
// absolute or relative, A1 or R1C1.
#pragma once

#include "platform/sheet/CellAddress.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace platform::sheet {

struct CellRange {
    CellRef first;
    CellRef last;

    CellRange() = default;
    CellRange(CellRef one)
        : first(one)
        , last(one) {}
    CellRange(CellRef a, CellRef b);

    int rows() const { return last.row - first.row + 1; }
    int columns() const { return last.col - first.col + 1; }
    bool contains(CellRef cell) const {
        return cell.row >= first.row && cell.row <= last.row && cell.col >= first.col && cell.col <= last.col;
    }
    bool isSingleCell() const { return first == last; }
    bool isWholeColumns() const { return first.row == 1 && last.row == CellAddress::kMaxRows; }
    bool isWholeRows() const { return first.col == 1 && last.col == CellAddress::kMaxColumns; }

    // "A1", "A1:B2", "$A$1:$B$2", "C:C", "C:E", "7:7", "3:5" (letters in either case);
    // nothing when the text is no range of the sheet.
    static std::optional<CellRange> parse(QStringView text);

    // The address as the spreadsheet program writes it: a single cell alone, whole columns and
    // rows by their letters or numbers, else "first:last". In R1C1 style relative parts are
    // taken against base.
    QString address(bool rowAbsolute = true, bool colAbsolute = true,
                    ReferenceStyle style = ReferenceStyle::A1, CellRef base = {}) const;

    friend bool operator==(const CellRange&, const CellRange&) = default;
};

} // namespace platform::sheet
