// Typed entries: formula, number, truth value, error value or text.
#include "platform/sheet/model/CellEntry.h"

#include <QLocale>
#include <cmath>

namespace platform::sheet {

namespace {

// Plain decimal numbers as typed in the US convention: optional sign, digits with an optional
// decimal point, an optional exponent, blanks around. Thousands separators are not taken.
bool parseNumber(const QString& text, double& value) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (QChar c : trimmed) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || u == '.' || u == '-' || u == '+' || u == 'e' || u == 'E'))
            return false;
    }
    bool ok = false;
    value = QLocale::c().toDouble(trimmed, &ok);
    return ok && std::isfinite(value);
}

} // namespace

CellEntry CellEntry::parse(const QString& typed) {
    CellEntry entry;
    if (typed.isEmpty())
        return entry;
    if (typed.size() > 1 && typed.startsWith(u'=')) {
        entry.isFormula = true;
        entry.formula = typed.mid(1);
        return entry;
    }
    if (typed.startsWith(u'\'')) {
        entry.value = CellValue::fromText(typed.mid(1));
        return entry;
    }
    double number = 0;
    if (parseNumber(typed, number)) {
        entry.value = CellValue::fromNumber(number);
        return entry;
    }
    const QString trimmed = typed.trimmed();
    if (trimmed.compare(u"TRUE", Qt::CaseInsensitive) == 0 ||
        trimmed.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
        entry.value = CellValue::fromBoolean(trimmed.compare(u"TRUE", Qt::CaseInsensitive) == 0);
        return entry;
    }
    if (CellValue::isErrorCode(trimmed)) {
        entry.value = CellValue::fromError(trimmed.toUpper());
        return entry;
    }
    entry.value = CellValue::fromText(typed);
    return entry;
}

} // namespace platform::sheet
