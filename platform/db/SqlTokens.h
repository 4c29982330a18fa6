// Internal: a small tokenizer of SQL text, enough to find the shape of a query (its select
// list, FROM clause and the keywords that make it read-only) and the column definitions of a
// CREATE TABLE statement. Comments are skipped; quoted names lose their quotes.
#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace platform::db::sql {

struct Token {
    enum Kind { Word, QuotedName, String, Number, Symbol, Parameter };
    Kind kind = Word;
    QString text;        // the name without its quotes for QuotedName; the literal for the others
    qsizetype begin = 0; // where the token starts in the text
    qsizetype end = 0;   // just after it
    int depth = 0;       // parentheses open around it

    bool isName() const { return kind == Word || kind == QuotedName; }
    bool is(const char* keyword) const; // a bare word, compared without regard to case
    bool isSymbol(char symbol) const {
        return kind == Symbol && text.size() == 1 && text[0] == QLatin1Char(symbol);
    }
    bool isName(const QString& name) const; // a name equal to name without regard to case
};

QList<Token> tokenize(const QString& sql);

// A CREATE TABLE statement split at the top-level commas of its parenthesised body.
struct TableDefinition {
    QString head;         // up to and without the opening parenthesis
    QList<QString> parts; // column definitions and table constraints, trimmed
    QString tail;         // after the closing parenthesis
};
std::optional<TableDefinition> splitCreateTable(const QString& sql);

// The n of a declared type "VARCHAR(n)" (CHAR, TEXT alike), 0 when the type has no size.
int declaredSize(const QString& declaredType);

// True for a part of a table definition that is a table constraint, not a column.
bool isTableConstraint(const QString& part);
// The column a column definition defines.
QString definedColumn(const QString& part);
// The rest of a column definition after its name: type, constraints and rules.
QString columnRules(const QString& part);
// True when the text refers to the name anywhere (as a name token, not a function called).
bool mentions(const QString& text, const QString& name);

} // namespace platform::db::sql
