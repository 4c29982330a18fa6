// See SummaryPick.h.
#include "lumicell/SummaryPick.h"

#include <QStringList>
#include <algorithm>

namespace lumicell {

std::optional<SummaryPick> SummaryPickOf(const QString& relativeAddress) {
    const QStringList parts = relativeAddress.split(u':');
    if (parts.size() != 2 || parts[0] != parts[1])
        return std::nullopt;
    const QString& part = parts[0];
    if (part.isEmpty() || part.size() > 3)
        return std::nullopt;
    const bool letters =
        std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
    const bool digits = std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit(); });
    if (!letters && !digits)
        return std::nullopt;
    return SummaryPick{digits, part};
}

} // namespace lumicell
