// Text routines; see TextRoutines.h.
#include "core/TextRoutines.h"

#include <algorithm>

namespace core {

namespace {
bool lessText(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// Quicksort with the middle element as pivot. Both tests of each inner loop are evaluated,
// and the indexes never leave low..high, so the loops stop at the range's ends.
void sortRange(QStringList& items, qsizetype low, qsizetype high) {
    const QString pivot = items[low + (high - low) / 2];
    qsizetype i = low;
    qsizetype j = high;
    while (i <= j) {
        while (lessText(items[i], pivot) && i < high)
            ++i;
        while (lessText(pivot, items[j]) && j > low)
            --j;
        if (i <= j) {
            items.swapItemsAt(i, j);
            ++i;
            --j;
        }
    }
    if (low < j)
        sortRange(items, low, j);
    if (i < high)
        sortRange(items, i, high);
}
} // namespace

void QuickSortText(QStringList& items, qsizetype low, qsizetype high) {
    low = std::max<qsizetype>(low, 0);
    high = std::min<qsizetype>(high, items.size() - 1);
    if (low >= high)
        return;
    sortRange(items, low, high);
}

std::optional<QString> ReplaceText(const std::optional<QString>& text, const QString& find,
                                   const QString& replacement, int compareMode) {
    if (!text || find.isEmpty())
        return text;
    const Qt::CaseSensitivity cs = compareMode == kCompareBinary ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString s = *text;
    qsizetype p = s.indexOf(find, 0, cs);
    while (p >= 0) {
        s.replace(p, find.size(), replacement);
        p = s.indexOf(find, p + replacement.size(), cs);
    }
    return s;
}

} // namespace core
