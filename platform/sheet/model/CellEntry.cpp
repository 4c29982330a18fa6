// Typed entries: formula, number (with its look), truth value, error value or text.
#include "platform/sheet/model/CellEntry.h"

namespace platform::sheet {

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
    if (const auto number = TypedNumber::parse(typed)) {
        entry.value = CellValue::fromNumber(number->value);
        entry.look = number->look;
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
