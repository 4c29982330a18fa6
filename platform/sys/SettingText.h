// Conversions between setting texts and the flags and numbers the program keeps.
// Settings hold text only: flags are read with the text-to-Boolean rule ("True"/"False"
// in any case, or a number where 0 is False and any other number True), counts and sizes
// with the text-to-integer rule; integers are written as decimal text and Booleans as
// "True" or "False". A text that is no valid flag or number gives no value, so the
// caller keeps what it had.
#pragma once

#include <QString>
#include <optional>

namespace platform::sys {

std::optional<bool> textToBool(const QString& text);

// A decimal number, surrounding blanks allowed; a fraction is rounded to the nearest
// whole number, a half to the even neighbour. No value when out of the 32-bit range.
std::optional<qint32> textToInt(const QString& text);

QString boolToText(bool value);
QString intToText(qint64 value);

} // namespace platform::sys
