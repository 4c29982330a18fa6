// Text forms of cell values.
#include "platform/sheet/CellValue.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace platform::sheet {

QString CellValue::numberText(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (value == 0)
        return QStringLiteral("0");
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return QString::fromLatin1(buffer);
}

bool CellValue::isErrorCode(QStringView text) {
    static const std::array<QStringView, 8> codes = {u"#NULL!", u"#DIV/0!", u"#VALUE!", u"#REF!",
                                                     u"#NAME?", u"#NUM!",   u"#N/A",    u"#GETTING_DATA"};
    for (QStringView code : codes)
        if (text.compare(code, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString CellValue::toText() const {
    switch (type) {
    case Type::Empty:
        return QString();
    case Type::Number:
        return numberText(number);
    case Type::Text:
    case Type::Error:
        return text;
    case Type::Boolean:
        return boolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    }
    return QString();
}

} // namespace platform::sheet
