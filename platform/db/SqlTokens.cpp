// The SQL tokenizer; see SqlTokens.h.
#include "platform/db/SqlTokens.h"

#include <QRegularExpression>

namespace platform::db::sql {

bool Token::is(const char* keyword) const {
    return kind == Word && text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

bool Token::isName(const QString& name) const {
    return isName() && text.compare(name, Qt::CaseInsensitive) == 0;
}

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Reads a quoted run starting at pos (the opening quote), a doubled closing quote standing
// for one; returns the inner text and leaves pos after the closing quote.
QString readQuoted(const QString& sql, qsizetype& pos, QChar close) {
    QString text;
    ++pos;
    while (pos < sql.size()) {
        if (sql[pos] == close) {
            if (close != QLatin1Char(']') && pos + 1 < sql.size() && sql[pos + 1] == close) {
                text += close;
                pos += 2;
                continue;
            }
            ++pos;
            return text;
        }
        text += sql[pos++];
    }
    return text;
}

} // namespace

QList<Token> tokenize(const QString& sql) {
    QList<Token> tokens;
    int depth = 0;
    qsizetype pos = 0;
    while (pos < sql.size()) {
        const QChar c = sql[pos];
        if (c.isSpace()) {
            ++pos;
            continue;
        }
        if (c == QLatin1Char('-') && pos + 1 < sql.size() && sql[pos + 1] == QLatin1Char('-')) {
            while (pos < sql.size() && sql[pos] != QLatin1Char('\n'))
                ++pos;
            continue;
        }
        if (c == QLatin1Char('/') && pos + 1 < sql.size() && sql[pos + 1] == QLatin1Char('*')) {
            const qsizetype close = sql.indexOf(QLatin1String("*/"), pos + 2);
            pos = close < 0 ? sql.size() : close + 2;
            continue;
        }
        Token token;
        token.begin = pos;
        if (c == QLatin1Char('\'')) {
            token.kind = Token::String;
            token.text = readQuoted(sql, pos, c);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`')) {
            token.kind = Token::QuotedName;
            token.text = readQuoted(sql, pos, c);
        } else if (c == QLatin1Char('[')) {
            token.kind = Token::QuotedName;
            token.text = readQuoted(sql, pos, QLatin1Char(']'));
        } else if (c.isDigit()) {
            token.kind = Token::Number;
            while (pos < sql.size() && (isWordChar(sql[pos]) || sql[pos] == QLatin1Char('.')))
                ++pos;
            token.text = sql.mid(token.begin, pos - token.begin);
        } else if (isWordChar(c)) {
            token.kind = Token::Word;
            while (pos < sql.size() && isWordChar(sql[pos]))
                ++pos;
            token.text = sql.mid(token.begin, pos - token.begin);
        } else if (c == QLatin1Char('?') || c == QLatin1Char(':') || c == QLatin1Char('@')) {
            token.kind = Token::Parameter;
            ++pos;
            while (pos < sql.size() && isWordChar(sql[pos]))
                ++pos;
            token.text = sql.mid(token.begin, pos - token.begin);
        } else {
            token.kind = Token::Symbol;
            token.text = c;
            ++pos;
            if (c == QLatin1Char(')'))
                --depth;
        }
        token.end = pos;
        token.depth = depth;
        if (token.kind == Token::Symbol && c == QLatin1Char('('))
            ++depth;
        tokens.push_back(token);
    }
    return tokens;
}

std::optional<TableDefinition> splitCreateTable(const QString& sql) {
    const QList<Token> tokens = tokenize(sql);
    qsizetype open = -1;
    qsizetype close = -1;
    QList<qsizetype> commas;
    for (const Token& t : tokens) {
        if (open < 0) {
            if (t.isSymbol('(') && t.depth == 0)
                open = t.begin;
            continue;
        }
        if (t.isSymbol(')') && t.depth == 0) {
            close = t.begin;
            break;
        }
        if (t.isSymbol(',') && t.depth == 1)
            commas.push_back(t.begin);
    }
    if (open < 0 || close < 0)
        return std::nullopt;
    TableDefinition definition;
    definition.head = sql.left(open).trimmed();
    definition.tail = sql.mid(close + 1).trimmed();
    qsizetype start = open + 1;
    commas.push_back(close);
    for (qsizetype comma : commas) {
        definition.parts.push_back(sql.mid(start, comma - start).trimmed());
        start = comma + 1;
    }
    return definition;
}

int declaredSize(const QString& declaredType) {
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)"));
    const auto match = size.match(declaredType);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool isTableConstraint(const QString& part) {
    const QList<Token> tokens = tokenize(part);
    if (tokens.isEmpty())
        return false;
    const Token& first = tokens.front();
    return first.is("CONSTRAINT") || first.is("PRIMARY") || first.is("UNIQUE") || first.is("CHECK") ||
           first.is("FOREIGN");
}

QString definedColumn(const QString& part) {
    const QList<Token> tokens = tokenize(part);
    return tokens.isEmpty() ? QString() : tokens.front().text;
}

QString columnRules(const QString& part) {
    const QList<Token> tokens = tokenize(part);
    return tokens.isEmpty() ? QString() : part.mid(tokens.front().end);
}

bool mentions(const QString& text, const QString& name) {
    const QList<Token> tokens = tokenize(text);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        // A bare word before "(" is a function ("length(...)"), not a column.
        const bool call =
            tokens[i].kind == Token::Word && i + 1 < tokens.size() && tokens[i + 1].isSymbol('(');
        if (tokens[i].isName(name) && !call)
            return true;
    }
    return false;
}

} // namespace platform::db::sql
