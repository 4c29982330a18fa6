// See VCardReader.h.
#include "platform/mail/VCardReader.h"

#include "platform/mail/MailAddress.h"

#include <QStringDecoder>
#include <optional>

namespace platform::mail {

namespace {

struct Property {
    QByteArray name;              // upper case, without group
    QList<QByteArray> parameters; // upper case, as written ("TYPE=WORK", "PREF", "CHARSET=UTF-8")
    QByteArray value;
};

// Joins folded lines; a quoted-printable line that ends in "=" also goes on in the next one.
QList<QByteArray> unfoldedLines(const QByteArray& text) {
    QList<QByteArray> lines;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!lines.isEmpty() && (line.startsWith(' ') || line.startsWith('\t'))) {
            lines.last() += line.mid(1);
            continue;
        }
        if (!lines.isEmpty() && lines.last().endsWith('=') &&
            lines.last().toUpper().contains("QUOTED-PRINTABLE")) {
            lines.last().chop(1);
            lines.last() += line;
            continue;
        }
        lines << line;
    }
    return lines;
}

// Splits at the separators outside double quotes.
QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator) {
    QList<QByteArray> parts{{}};
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == separator && !quoted)
            parts << QByteArray();
        else
            parts.last() += c;
    }
    return parts;
}

std::optional<Property> parseLine(const QByteArray& line) {
    // The colon that ends the name and parameters is the first one outside quotes.
    bool quoted = false;
    qsizetype colon = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            quoted = !quoted;
        else if (line.at(i) == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon <= 0)
        return std::nullopt;
    QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    QByteArray name = head.takeFirst().trimmed().toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.mid(dot + 1);
    Property property{name, {}, line.mid(colon + 1)};
    for (const QByteArray& parameter : head)
        property.parameters << parameter.trimmed().toUpper();
    return property;
}

bool hasParameter(const Property& property, const QByteArray& wanted) {
    for (const QByteArray& parameter : property.parameters) {
        if (parameter == wanted || parameter == "ENCODING=" + wanted)
            return true;
    }
    return false;
}

QByteArray parameterValue(const Property& property, const QByteArray& name) {
    for (const QByteArray& parameter : property.parameters) {
        if (parameter.startsWith(name + '='))
            return parameter.mid(name.size() + 1);
    }
    return {};
}

bool preferred(const Property& property) {
    for (const QByteArray& parameter : property.parameters) {
        if (parameter == "PREF" || parameter == "PREF=1")
            return true;
        if (parameter.startsWith("TYPE=")) {
            for (const QByteArray& type : parameter.mid(5).replace('"', "").split(','))
                if (type == "PREF")
                    return true;
        }
    }
    return false;
}

QByteArray decodeQuotedPrintable(const QByteArray& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '=' && i + 2 < text.size()) {
            bool ok = false;
            const int byte = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += static_cast<char>(byte);
                i += 2;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// 3.0 and 4.0 escape commas, semicolons, backslashes and line ends in text values.
QString unescape(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            out += (next == QLatin1Char('n') || next == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : next;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

QString textValue(const Property& property) {
    QByteArray bytes = property.value;
    if (hasParameter(property, "QUOTED-PRINTABLE"))
        bytes = decodeQuotedPrintable(bytes);
    const QByteArray charset = parameterValue(property, "CHARSET");
    QStringDecoder decoder(charset.isEmpty() ? QByteArray("UTF-8") : charset);
    const QString text = decoder.isValid() ? decoder.decode(bytes) : QString::fromUtf8(bytes);
    return unescape(text).trimmed();
}

// "Family;Given;Additional;Prefix;Suffix" as "Given Family".
QString nameFromParts(const QString& structured) {
    const QStringList parts = structured.split(QLatin1Char(';'));
    QStringList words;
    for (int index : {3, 1, 2, 0, 4}) {
        if (index < parts.size() && !parts.at(index).trimmed().isEmpty())
            words << parts.at(index).trimmed();
    }
    return words.join(QLatin1Char(' '));
}

} // namespace

QList<Contact> readVCards(const QByteArray& text) {
    QList<Contact> contacts;
    Contact card;
    bool inCard = false; // between BEGIN:VCARD and its END
    QString structuredName;
    int preferredCount = 0;
    auto finish = [&] {
        if (!inCard)
            return;
        if (card.name.isEmpty())
            card.name = nameFromParts(structuredName);
        contacts << card;
        inCard = false;
    };
    for (const QByteArray& line : unfoldedLines(text)) {
        const std::optional<Property> property = parseLine(line);
        if (!property)
            continue;
        const QByteArray value = property->value.trimmed().toUpper();
        if (property->name == "BEGIN" && value == "VCARD") {
            finish();
            card = Contact{};
            inCard = true;
            structuredName.clear();
            preferredCount = 0;
        } else if (!inCard) {
            continue;
        } else if (property->name == "END" && value == "VCARD") {
            finish();
        } else if (property->name == "FN") {
            card.name = textValue(*property);
        } else if (property->name == "N") {
            structuredName = textValue(*property);
        } else if (property->name == "EMAIL") {
            QString address = textValue(*property);
            if (address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
                address = address.mid(7);
            if (address.isEmpty())
                continue;
            if (!isAcceptableAddress(address)) {
                card.refused << address;
                continue;
            }
            // Preferred addresses go before the others, each kind in the order of the card.
            if (preferred(*property))
                card.addresses.insert(preferredCount++, address);
            else
                card.addresses << address;
        } else if ((property->name == "KIND" || property->name == "X-ADDRESSBOOKSERVER-KIND") &&
                   value == "GROUP") {
            card.group = true;
        }
    }
    finish();
    return contacts;
}

} // namespace platform::mail
