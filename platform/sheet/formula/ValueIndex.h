// The values of a block that cannot change during one calculation (a block of a sheet without
// formulas) filed by value, so that the conditional functions and the exact lookups find the
// cells a criterion or a sought value may match without reading every cell: numbers in order,
// texts by their case-folded form. An index is made from the values of a whole block (cells
// numbered row by row) or of one of its rows or columns. It gives candidates -- every cell that
// may match, possibly a few more -- which the caller checks with its own rule, so that the
// functions' results stay exactly those of reading every cell.
#pragma once

#include "platform/sheet/formula/ValueMatrix.h"

#include <QHash>
#include <QString>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::sheet {

class ValueIndex {
public:
    // The `count` values value(i), i from 0.
    template <class ValueAt> ValueIndex(int count, ValueAt&& value) {
        for (int i = 0; i < count; ++i)
            add(value(i), i);
        finish();
    }

    // The positions, ascending, of the numbers within `tolerance` of `number` or on the side
    // asked: below (above) takes every number up to (from) it, tolerance included. With
    // numericTexts, also texts that read as such numbers.
    enum class Side { Near, Below, Above };
    std::vector<int> numbers(double number, Side side, bool numericTexts) const;
    // How many positions numbers() gives, found without collecting them.
    std::size_t countNumbers(double number, Side side, bool numericTexts) const;
    // The positions, ascending, of the texts equal to the text without regard to case.
    const std::vector<int>& texts(const QString& text) const;
    // Whether those positions are exactly the texts equal to it (plain ASCII letters on both
    // sides, whose case folding is that of every comparison): they need no second look.
    bool textsExact(const QString& text) const;

    // How far two numbers the functions take as equal may lie apart, relative to their size.
    static constexpr double kTolerance = 1e-14;

private:
    using Numbers = std::vector<std::pair<double, int>>;
    void add(const CellValue& value, int position);
    void finish();
    using Span = std::pair<Numbers::const_iterator, Numbers::const_iterator>;
    static Span span(const Numbers& sorted, double number, Side side);

    Numbers numbers_;      // numbers by value
    Numbers numericTexts_; // texts that read as numbers, by that number
    struct TextHash {
        std::size_t operator()(const QString& text) const { return qHash(text); }
    };
    struct Texts {
        std::vector<int> positions;
        bool ascii = true;
    };
    std::unordered_map<QString, Texts, TextHash> texts_;
};

} // namespace platform::sheet
