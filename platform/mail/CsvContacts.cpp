// See CsvContacts.h.
#include "platform/mail/CsvContacts.h"

#include "platform/mail/MailAddress.h"

namespace platform::mail {

namespace {

QList<QStringList> parseRows(const QString& text, QChar separator) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        any = true;
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == separator) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            row << field;
            rows << row;
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
        }
    }
    if (any) {
        row << field;
        rows << row;
    }
    return rows;
}

QString plain(const QString& heading) {
    QString out;
    for (QChar c : heading)
        if (c.isLetterOrNumber())
            out += c.toLower();
    return out;
}

int columnOf(const QStringList& headings, const QStringList& names) {
    for (const QString& name : names)
        for (int i = 0; i < headings.size(); ++i)
            if (plain(headings.at(i)) == name)
                return i;
    return -1;
}

QString field(const QStringList& row, int column) {
    return column >= 0 && column < row.size() ? row.at(column).trimmed() : QString();
}

} // namespace

std::optional<QList<Contact>> readCsvContacts(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
    const QChar separator = firstLine.count(QLatin1Char(';')) > firstLine.count(QLatin1Char(','))
                                ? QLatin1Char(';')
                                : QLatin1Char(',');
    QList<QStringList> rows = parseRows(text, separator);
    if (rows.isEmpty())
        return std::nullopt;
    const QStringList headings = rows.takeFirst();
    int email = -1;
    for (int i = 0; i < headings.size() && email < 0; ++i)
        if (plain(headings.at(i)).contains(QLatin1String("email")))
            email = i;
    if (email < 0)
        return std::nullopt;
    const int name = columnOf(
        headings, {QStringLiteral("name"), QStringLiteral("displayname"), QStringLiteral("fullname")});
    const int first = columnOf(headings, {QStringLiteral("firstname"), QStringLiteral("givenname")});
    const int last = columnOf(
        headings, {QStringLiteral("lastname"), QStringLiteral("surname"), QStringLiteral("familyname")});
    QList<Contact> contacts;
    for (const QStringList& row : rows) {
        if (row.size() == 1 && row.first().trimmed().isEmpty())
            continue; // a blank line
        Contact contact;
        contact.name = field(row, name);
        if (contact.name.isEmpty())
            contact.name = QStringList{field(row, first), field(row, last)}.join(QLatin1Char(' ')).trimmed();
        if (const QString address = field(row, email); !address.isEmpty())
            (isAcceptableAddress(address) ? contact.addresses : contact.refused) << address;
        contacts << contact;
    }
    return contacts;
}

} // namespace platform::mail
