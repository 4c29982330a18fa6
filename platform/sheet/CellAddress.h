// Cell addresses: a cell as row and column numbered from 1, and its two written forms, A1
// ("B3", "$B$3") and R1C1 ("R3C2", "R[1]C[-1]"), with conversion between them. Also the
// fast reading of the "r" attribute that every cell of a worksheet part carries.
#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <optional>

namespace platform::sheet {

struct CellRef {
    int row = 1;
    int col = 1;
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

enum class ReferenceStyle { A1, R1C1 };

class CellAddress {
public:
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;

    static bool isValid(CellRef cell) {
        return cell.row >= 1 && cell.row <= kMaxRows && cell.col >= 1 && cell.col <= kMaxColumns;
    }

    // "A" for 1, "AB" for 28, "XFD" for 16384.
    static QString columnName(int col);
    // Column letters (either case) to a number; 0 when they are not a column within the sheet.
    static int columnNumber(QStringView letters);

    // "B3", "$B$3", "b3"; nothing when the text is no cell of the sheet.
    static std::optional<CellRef> parseA1(QStringView text);
    static QString toA1(CellRef cell, bool rowAbsolute = false, bool colAbsolute = false);

    // "R3C2" (absolute) or "R[1]C[-1]" (relative to base); "R" or "C" alone mean base's row or
    // column. Nothing when the text is no cell.
    static std::optional<CellRef> parseR1C1(QStringView text, CellRef base = {});
    static QString toR1C1(CellRef cell, bool rowAbsolute = true, bool colAbsolute = true, CellRef base = {});

    // Reads an A1 reference without "$" from raw bytes, as worksheet parts store cell
    // positions; false when the bytes are not one.
    static bool parseA1(const char* text, std::size_t length, CellRef& cell);
    // Writes an A1 reference without "$" into out (room for 11 bytes); returns its length.
    static int writeA1(CellRef cell, char* out);
};

} // namespace platform::sheet
