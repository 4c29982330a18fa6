// See SqlText.h.
#include "platform/db/SqlText.h"

namespace platform::db {

QString quoteIdentifier(const QString& name) {
    QString inner = name;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString identifierList(const QStringList& names) {
    QStringList quoted;
    quoted.reserve(names.size());
    for (const QString& name : names)
        quoted << quoteIdentifier(name);
    return quoted.join(QStringLiteral(", "));
}

QString parameterMarks(qsizetype count) {
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

QString escapeLike(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

QString containsPattern(const QString& text) {
    return QLatin1Char('%') + escapeLike(text) + QLatin1Char('%');
}

QDateTime parseDateTime(const QString& text) {
    QDateTime value = QDateTime::fromString(text, kDateTimeFormat);
    if (!value.isValid())
        value = QDateTime::fromString(text, Qt::ISODate);
    return value;
}

} // namespace platform::db
