// Reading the shape of a query; see QueryShape.h.
#include "platform/db/QueryShape.h"

#include "platform/db/SqlTokens.h"

namespace platform::db {

namespace {

using sql::Token;

bool isAggregate(const Token& t) {
    return t.is("COUNT") || t.is("SUM") || t.is("AVG") || t.is("MIN") || t.is("MAX") || t.is("TOTAL") ||
           t.is("GROUP_CONCAT");
}

// Words that end a table reference in a FROM clause (and so are no alias).
bool endsReference(const Token& t) {
    for (const char* word : {"ON",      "USING",   "JOIN",  "LEFT",   "RIGHT",     "INNER",  "OUTER",
                             "CROSS",   "NATURAL", "WHERE", "GROUP",  "ORDER",     "LIMIT",  "HAVING",
                             "INDEXED", "NOT",     "UNION", "EXCEPT", "INTERSECT", "WINDOW", "FULL"}) {
        if (t.is(word))
            return true;
    }
    return false;
}

bool endsFromClause(const Token& t) {
    return t.depth == 0 &&
           (t.is("WHERE") || t.is("GROUP") || t.is("ORDER") || t.is("LIMIT") || t.is("HAVING") ||
            t.is("WINDOW") || t.is("UNION") || t.is("EXCEPT") || t.is("INTERSECT"));
}

void readTables(const QList<Token>& tokens, qsizetype from, QueryShape& shape) {
    bool expectTable = true;
    for (qsizetype i = from + 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (endsFromClause(t))
            return;
        if (t.depth > 0)
            continue;
        if (t.is("JOIN") || t.isSymbol(',')) {
            expectTable = true;
            continue;
        }
        if (!expectTable)
            continue;
        expectTable = false;
        QueryShape::TableRef ref;
        qsizetype next = i + 1;
        if (t.isSymbol('(')) {
            // A subquery or a parenthesised join: skip to its closing parenthesis.
            while (next < tokens.size() && !(tokens[next].isSymbol(')') && tokens[next].depth == 0))
                ++next;
            ++next;
            ref.derived = true;
        } else if (t.isName()) {
            ref.table = t.text;
            if (next + 1 < tokens.size() && tokens[next].isSymbol('.') && tokens[next + 1].isName()) {
                ref.derived = t.text.compare(QLatin1String("main"), Qt::CaseInsensitive) != 0;
                ref.table = tokens[next + 1].text;
                next += 2;
            }
        } else {
            ref.derived = true;
        }
        ref.qualifier = ref.table;
        if (next < tokens.size() && tokens[next].is("AS") && next + 1 < tokens.size()) {
            ref.qualifier = tokens[next + 1].text;
            next += 2;
        } else if (next < tokens.size() && tokens[next].isName() && !endsReference(tokens[next])) {
            ref.qualifier = tokens[next].text;
            ++next;
        }
        shape.tables.push_back(ref);
        i = next - 1;
    }
}

} // namespace

QueryShape QueryShape::of(const QString& sql) {
    QueryShape shape;
    const QList<Token> tokens = sql::tokenize(sql);
    if (tokens.isEmpty() || !tokens.front().is("SELECT")) {
        shape.readOnlyReason = QStringLiteral("it is not a plain SELECT");
        return shape;
    }
    shape.isSelect = true;
    qsizetype from = -1;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.depth != 0)
            continue;
        if (t.is("DISTINCT") || t.is("GROUP") || t.is("HAVING") || t.is("WINDOW")) {
            shape.readOnlyReason = QStringLiteral("it uses %1").arg(t.text.toUpper());
        } else if (t.is("UNION") || t.is("EXCEPT") || t.is("INTERSECT") || t.is("VALUES")) {
            shape.readOnlyReason = QStringLiteral("it combines several queries");
        } else if (from < 0 && isAggregate(t) && i + 1 < tokens.size() && tokens[i + 1].isSymbol('(')) {
            shape.readOnlyReason = QStringLiteral("it computes aggregates");
        } else if (from < 0 && t.is("FROM")) {
            from = i;
        }
    }
    if (from < 0) {
        if (shape.readOnlyReason.isEmpty())
            shape.readOnlyReason = QStringLiteral("it reads no table");
        return shape;
    }
    shape.fromPosition = tokens[from].begin;
    readTables(tokens, from, shape);
    return shape;
}

} // namespace platform::db
