// Conversions between setting texts and flags and numbers; see SettingText.h.
#include "platform/sys/SettingText.h"

#include <cmath>
#include <limits>

namespace platform::sys {

namespace {
std::optional<double> number(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
} // namespace

std::optional<bool> textToBool(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto value = number(trimmed))
        return *value != 0.0;
    return std::nullopt;
}

std::optional<qint32> textToInt(const QString& text) {
    const auto value = number(text);
    if (!value)
        return std::nullopt;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double rounded = std::nearbyint(*value);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

QString boolToText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString intToText(qint64 value) {
    return QString::number(value);
}

} // namespace platform::sys
