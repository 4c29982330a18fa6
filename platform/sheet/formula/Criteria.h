// The criteria of the conditional functions (SUMIF, COUNTIFS, ...) as a spreadsheet program reads
// them: a value matches equal cells; a text may begin with a comparison ("=", "<>", "<", ">",
// "<=", ">="); what follows is compared as a number when it reads as one (a typed entry's way:
// "1,000", "50%", "1/31/2026"), as a truth value for TRUE or FALSE, else as text without regard to
// case, where "=" and "<>" take the wildcards * and ? (~ escapes them). "=" alone (or an empty
// criterion) matches empty cells, "<>" alone every cell that is not empty.
#pragma once

#include "platform/sheet/CellValue.h"
#include "platform/sheet/formula/ValueIndex.h"

#include <QRegularExpression>
#include <optional>

namespace platform::sheet {

class Criterion {
public:
    explicit Criterion(const CellValue& criterion);

    bool matches(const CellValue& cell) const;

    // Where a ValueIndex finds every cell the criterion may match: numbers (near one, or on one
    // side of it), or texts equal to one. Nothing where every cell must be tried (a criterion
    // that matches empty cells, "not equal", truth values, errors, wildcards, texts compared by
    // order).
    struct Lookup {
        bool text = false;
        double number = 0;
        ValueIndex::Side side = ValueIndex::Side::Near;
        bool numericTexts = false; // "=5" matches the text "5" too
        QString equal;
    };
    std::optional<Lookup> lookup() const;

private:
    enum class Compare { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };
    enum class Kind { Empty, Number, Boolean, Text, Error };

    bool compares(int order) const;

    Compare compare_ = Compare::Equal;
    Kind kind_ = Kind::Empty;
    double number_ = 0;
    QString text_;
    QRegularExpression pattern_; // for "=" and "<>" on texts with wildcards
    bool wildcard_ = false;
};

} // namespace platform::sheet
