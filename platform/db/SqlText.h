// Small helpers for the SQL text the program writes: names quoted as identifiers (a name
// can never become SQL), containment patterns with their wildcards escaped, and the
// text form in which dates are stored.
//
// Names are quoted here and nowhere else, and SQL is put together from quoted names by
// plain concatenation, never by QString::arg: a name such as "a%2b" would otherwise be
// taken for a place marker by a later arg() and rewritten.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace platform::db {

// The collation for names compared without regard to case, Unicode-aware ("É" = "é"):
// "WHERE Budget_Name = ? COLLATE NOCASE_U".
inline const QString kNoCaseCollation = QStringLiteral("NOCASE_U");

// The storage form of dates: "yyyy-MM-dd HH:mm:ss".
inline const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// "name" with inner double quotes doubled.
QString quoteIdentifier(const QString& name);
// The names quoted and joined by ", ".
QString identifierList(const QStringList& names);
// count parameter marks joined by ", ": "?, ?, ?".
QString parameterMarks(qsizetype count);

// The text with "\", "%" and "_" escaped by "\", for "LIKE ? ESCAPE '\'".
QString escapeLike(const QString& text);
// "%" + escapeLike(text) + "%": matches any value that contains the text.
QString containsPattern(const QString& text);

// A stored date text back as a date and time (invalid when the text is no date).
QDateTime parseDateTime(const QString& text);

} // namespace platform::db
