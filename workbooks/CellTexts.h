// A sheet as a table of cell texts, addressed from (1, 1), as the cell comparison reads it: its
// extent (rows and columns) and the texts of the cells that hold one, each with the kind of value
// behind it; every other cell within the extent is empty (""). Kept sparse, so that a table costs
// what its sheet holds, not what its extent spans.
#pragma once

#include <QString>
#include <QtGlobal>
#include <unordered_map>

namespace workbooks {

class CellTexts {
public:
    // The value behind a cell's text: a text (a constant, not a formula), an error value, or
    // anything else (a number, a truth value, a formula).
    enum class Kind : quint8 { Other, Text, Error };

    CellTexts() = default;
    CellTexts(int rows, int columns)
        : rows_(rows)
        , columns_(columns) {}

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    bool contains(int row, int column) const {
        return row >= 1 && row <= rows_ && column >= 1 && column <= columns_;
    }

    // The cell's text; "" for a cell that holds none.
    const QString& at(int row, int column) const;
    // The cell's text for writing, made empty when the cell holds none.
    QString& at(int row, int column) { return cells_[key(row, column)].text; }
    void set(int row, int column, QString text, Kind kind) {
        cells_[key(row, column)] = Entry{std::move(text), kind};
    }
    Kind kindAt(int row, int column) const;

private:
    struct Entry {
        QString text;
        Kind kind = Kind::Other;
    };
    static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }

    int rows_ = 0;
    int columns_ = 0;
    std::unordered_map<quint64, Entry> cells_;
};

} // namespace workbooks
