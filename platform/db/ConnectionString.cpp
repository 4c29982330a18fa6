// Parsing and writing of connection strings; see ConnectionString.h.
#include "platform/db/ConnectionString.h"

#include <QStringList>

namespace platform::db {

namespace {

bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Reads a value starting at pos (just after "="); leaves pos on the ";" that ends it (or
// at the end). A value opening with a quote runs to the matching quote; a doubled quote
// inside stands for one.
QString readValue(const QString& text, qsizetype& pos) {
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    if (pos < text.size() && (text[pos] == QLatin1Char('"') || text[pos] == QLatin1Char('\''))) {
        const QChar quote = text[pos++];
        QString value;
        while (pos < text.size()) {
            if (text[pos] == quote) {
                if (pos + 1 < text.size() && text[pos + 1] == quote) {
                    value += quote;
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            value += text[pos++];
        }
        // Anything between the closing quote and the next ";" is ignored.
        while (pos < text.size() && text[pos] != QLatin1Char(';'))
            ++pos;
        return value;
    }
    const qsizetype start = pos;
    while (pos < text.size() && text[pos] != QLatin1Char(';'))
        ++pos;
    return text.mid(start, pos - start).trimmed();
}

bool needsQuotes(const QString& value) {
    if (value.isEmpty())
        return false;
    if (isSpace(value.front()) || isSpace(value.back()))
        return true;
    for (QChar c : value) {
        if (c == QLatin1Char(';') || c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('='))
            return true;
    }
    return false;
}

QString quoted(const QString& value) {
    if (!needsQuotes(value))
        return value;
    if (value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    QString inner = value;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text) {
    ConnectionString result;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), pos);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), pos);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without "=": skip it.
            if (semi < 0)
                break;
            pos = semi + 1;
            continue;
        }
        const QString key = text.mid(pos, eq - pos).trimmed();
        pos = eq + 1;
        const QString value = readValue(text, pos);
        if (!key.isEmpty())
            result.set(key, value);
        if (pos < text.size())
            ++pos; // the ";"
    }
    return result;
}

int ConnectionString::indexOf(const QString& key) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].first.compare(key, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString ConnectionString::value(const QString& key) const {
    const int i = indexOf(key);
    return i < 0 ? QString() : entries_[i].second;
}

bool ConnectionString::contains(const QString& key) const {
    return indexOf(key) >= 0;
}

void ConnectionString::set(const QString& key, const QString& value) {
    const int i = indexOf(key);
    if (i < 0)
        entries_.emplace_back(key, value);
    else
        entries_[i].second = value;
}

QString ConnectionString::toString() const {
    QStringList parts;
    for (const auto& [key, value] : entries_)
        parts << key + QLatin1Char('=') + quoted(value);
    return parts.join(QLatin1Char(';'));
}

QString ConnectionString::databasePath() const {
    if (!value(kDataSource).isEmpty())
        return value(kDataSource);
    if (!value(kDbq).isEmpty())
        return value(kDbq);
    return parse(value(kExtendedProperties)).value(kDbq);
}

QString ConnectionString::password() const {
    if (contains(kDatabasePassword))
        return value(kDatabasePassword);
    return value(kPwd);
}

} // namespace platform::db
