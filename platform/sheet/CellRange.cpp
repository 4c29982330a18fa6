// Rectangular cell blocks and their addresses.
#include "platform/sheet/CellRange.h"

#include <algorithm>

namespace platform::sheet {

namespace {

bool allLetters(QStringView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
}

bool allDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QStringView stripDollar(QStringView text) {
    return text.startsWith(u'$') ? text.mid(1) : text;
}

} // namespace

CellRange::CellRange(CellRef a, CellRef b)
    : first{std::min(a.row, b.row), std::min(a.col, b.col)}
    , last{std::max(a.row, b.row), std::max(a.col, b.col)} {}

std::optional<CellRange> CellRange::parse(QStringView text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0) {
        const auto cell = CellAddress::parseA1(text);
        if (!cell)
            return std::nullopt;
        return CellRange(*cell);
    }
    const QStringView left = stripDollar(text.left(colon));
    const QStringView right = stripDollar(text.mid(colon + 1));
    if (allLetters(left) && allLetters(right)) {
        const int a = CellAddress::columnNumber(left);
        const int b = CellAddress::columnNumber(right);
        if (a == 0 || b == 0)
            return std::nullopt;
        return CellRange({1, a}, {CellAddress::kMaxRows, b});
    }
    if (allDigits(left) && allDigits(right)) {
        const int a = left.toInt();
        const int b = right.toInt();
        if (a < 1 || b < 1 || a > CellAddress::kMaxRows || b > CellAddress::kMaxRows)
            return std::nullopt;
        return CellRange({a, 1}, {b, CellAddress::kMaxColumns});
    }
    const auto a = CellAddress::parseA1(text.left(colon));
    const auto b = CellAddress::parseA1(text.mid(colon + 1));
    if (!a || !b)
        return std::nullopt;
    return CellRange(*a, *b);
}

QString CellRange::address(bool rowAbsolute, bool colAbsolute, ReferenceStyle style, CellRef base) const {
    const QString rowMark = rowAbsolute ? QStringLiteral("$") : QString();
    const QString colMark = colAbsolute ? QStringLiteral("$") : QString();
    if (style == ReferenceStyle::A1) {
        if (isWholeColumns())
            return colMark + CellAddress::columnName(first.col) + u':' + colMark +
                   CellAddress::columnName(last.col);
        if (isWholeRows())
            return rowMark + QString::number(first.row) + u':' + rowMark + QString::number(last.row);
        const QString a = CellAddress::toA1(first, rowAbsolute, colAbsolute);
        return isSingleCell() ? a : a + u':' + CellAddress::toA1(last, rowAbsolute, colAbsolute);
    }
    auto rowPart = [&](int row) {
        return rowAbsolute
                   ? QStringLiteral("R%1").arg(row)
                   : (row == base.row ? QStringLiteral("R") : QStringLiteral("R[%1]").arg(row - base.row));
    };
    auto colPart = [&](int col) {
        return colAbsolute
                   ? QStringLiteral("C%1").arg(col)
                   : (col == base.col ? QStringLiteral("C") : QStringLiteral("C[%1]").arg(col - base.col));
    };
    if (isWholeColumns())
        return colPart(first.col) + u':' + colPart(last.col);
    if (isWholeRows())
        return rowPart(first.row) + u':' + rowPart(last.row);
    const QString a = rowPart(first.row) + colPart(first.col);
    return isSingleCell() ? a : a + u':' + rowPart(last.row) + colPart(last.col);
}

} // namespace platform::sheet
