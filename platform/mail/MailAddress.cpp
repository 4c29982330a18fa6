// See MailAddress.h.
#include "platform/mail/MailAddress.h"

namespace platform::mail {

bool isControlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

bool hasControlCharacters(const QString& text) {
    for (const QChar c : text)
        if (isControlCharacter(c))
            return true;
    return false;
}

bool isAcceptableAddress(const QString& address) {
    if (address.trimmed().isEmpty() || hasControlCharacters(address))
        return false;
    return !address.contains(QLatin1Char('<')) && !address.contains(QLatin1Char('>'));
}

QString visibleText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (!isControlCharacter(c)) {
            out += c;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\\n");
        } else if (c == QLatin1Char('\r')) {
            out += QLatin1String("\\r");
        } else if (c == QLatin1Char('\t')) {
            out += QLatin1String("\\t");
        } else {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        }
    }
    return out;
}

QString withoutControlCharacters(const QString& name) {
    QString out = name;
    for (QChar& c : out)
        if (isControlCharacter(c))
            c = QLatin1Char('_');
    return out;
}

} // namespace platform::mail
