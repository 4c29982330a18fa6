// Small text routines shared by every subsystem: a case-insensitive sort of a list of
// texts and a replace-every-occurrence that never re-replaces what it inserted.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace core {

// Sorts items[low..high] (inclusive) in place, ignoring letter case. Equal texts keep no
// particular order. Bounds outside the list are clamped; an empty range does nothing.
void QuickSortText(QStringList& items, qsizetype low, qsizetype high);

// Compare modes of ReplaceText.
constexpr int kCompareBinary = 0; // case-sensitive
constexpr int kCompareText = 1;   // case-insensitive

// Returns text with every occurrence of find replaced by replacement. The search goes on
// behind each inserted replacement, so a replacement that contains find is not replaced
// again. No text (Null) gives no text; an empty find gives the text unchanged.
std::optional<QString> ReplaceText(const std::optional<QString>& text, const QString& find,
                                   const QString& replacement, int compareMode);

} // namespace core
