// The schema work of a connection: listing tables and views with their columns, creating a
// table in the project's column convention, adding a column at the end and dropping one by
// rebuilding its table.
#include "platform/db/Connection.h"
#include "platform/db/ConnectionState.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/SqlText.h"
#include "platform/db/SqlTokens.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace platform::db {

namespace {

// Whether the definition of the column in the CREATE TABLE text carries AUTOINCREMENT.
bool isAutoIncrement(const QString& createSql, const QString& column) {
    const auto definition = sql::splitCreateTable(createSql);
    if (!definition)
        return false;
    for (const QString& part : definition->parts) {
        if (sql::isTableConstraint(part) ||
            sql::definedColumn(part).compare(column, Qt::CaseInsensitive) != 0)
            continue;
        for (const sql::Token& t : sql::tokenize(part)) {
            if (t.is("AUTOINCREMENT"))
                return true;
        }
    }
    return false;
}

// A column definition "name INTEGER PRIMARY KEY ...", whose column is the row id itself.
bool isRowIdAlias(const QString& part) {
    const QList<sql::Token> tokens = sql::tokenize(part);
    if (tokens.size() < 4 || !tokens[1].is("INTEGER"))
        return false;
    return std::any_of(tokens.begin(), tokens.end(), [](const sql::Token& t) { return t.is("PRIMARY"); });
}

QList<ColumnInfo> readColumns(sqlite3* db, const QString& table, const QString& createSql) {
    QList<ColumnInfo> columns;
    engine::Statement info(db,
                           QStringLiteral("PRAGMA table_info(") + quoteIdentifier(table) + QLatin1Char(')'));
    while (info.step()) {
        ColumnInfo column;
        column.name = info.value(1).toString();
        column.declaredType = info.value(2).toString();
        column.size = sql::declaredSize(column.declaredType);
        column.primaryKey = info.value(5).toLongLong() > 0;
        column.nullable = info.value(3).toLongLong() == 0 && !column.primaryKey;
        column.autoIncrement = column.primaryKey && isAutoIncrement(createSql, column.name);
        columns.push_back(column);
    }
    return columns;
}

QString columnDefinition(const ColumnSpec& spec) {
    const QString name = quoteIdentifier(spec.name);
    const QString notNull = spec.nullable ? QString() : QStringLiteral(" NOT NULL");
    switch (spec.kind) {
    case ColumnKind::AutoNumber:
        return name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnKind::Text: {
        const QString size = QString::number(spec.size);
        return name + QStringLiteral(" VARCHAR(") + size + QLatin1Char(')') + notNull +
               QStringLiteral(" CONSTRAINT ") + quoteIdentifier(QStringLiteral("size:") + spec.name) +
               QStringLiteral(" CHECK (length(") + name + QStringLiteral(") <= ") + size + QLatin1Char(')');
    }
    case ColumnKind::Long:
        return name + QStringLiteral(" INTEGER") + notNull;
    case ColumnKind::Double:
        return name + QStringLiteral(" REAL") + notNull;
    case ColumnKind::YesNo:
        return name + QStringLiteral(" YESNO NOT NULL DEFAULT 0 CONSTRAINT ") +
               quoteIdentifier(QStringLiteral("yesno:") + spec.name) + QStringLiteral(" CHECK (") + name +
               QStringLiteral(" IN (0, 1))");
    case ColumnKind::Date:
        return name + QStringLiteral(" DATETIME") + notNull;
    case ColumnKind::Memo:
        return name + QStringLiteral(" TEXT") + notNull;
    }
    return name;
}

void checkSpec(const ColumnSpec& spec) {
    if (spec.name.trimmed().isEmpty())
        throw DbError(DbError::kInvalidOperation, QStringLiteral("A column needs a name."));
    if (spec.kind == ColumnKind::Text && spec.size < 1) {
        throw DbError(DbError::kInvalidOperation, QStringLiteral("The text column '") + spec.name +
                                                      QStringLiteral("' needs a size of at least 1."));
    }
}

QString createSqlOf(sqlite3* db, const QString& table) {
    const QVariant text = engine::scalar(
        db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
        {table});
    if (!text.isValid())
        throw DbError(DbError::kTableMissing, QStringLiteral("The table '%1' does not exist.").arg(table));
    return text.toString();
}

} // namespace

namespace {

// Tables and views (the engine's own tables left out) in the order they were made, all of
// them or the one of a name.
QList<TableInfo> listTables(sqlite3* db, const std::optional<QString>& name) {
    QString sql = QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE type IN ('table', 'view') "
                                 "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
    QVariantList params;
    if (name) {
        sql += QStringLiteral(" AND name = ? COLLATE NOCASE");
        params << *name;
    }
    engine::Statement list(db, sql + QStringLiteral(" ORDER BY rowid"));
    list.bind(params);
    QList<TableInfo> result;
    while (list.step()) {
        TableInfo table;
        table.type = list.value(0).toString() == QLatin1String("view") ? TableType::View : TableType::Table;
        table.name = list.value(1).toString();
        table.columns = readColumns(db, table.name, list.value(2).toString());
        result.push_back(table);
    }
    return result;
}

} // namespace

QList<TableInfo> Connection::tables() const {
    return listTables(live().handle(), std::nullopt);
}

std::optional<TableInfo> Connection::table(const QString& name) const {
    const QList<TableInfo> found = listTables(live().handle(), name);
    if (found.isEmpty())
        return std::nullopt;
    return found.front();
}

void Connection::createTable(const QString& name, const QList<ColumnSpec>& columns) {
    if (name.trimmed().isEmpty() || columns.isEmpty())
        throw DbError(DbError::kInvalidOperation,
                      QStringLiteral("A table needs a name and at least one column."));
    QStringList parts;
    QStringList keys;
    for (const ColumnSpec& spec : columns) {
        checkSpec(spec);
        parts << columnDefinition(spec);
        if (spec.primaryKey && spec.kind != ColumnKind::AutoNumber)
            keys << spec.name;
    }
    if (!keys.isEmpty())
        parts << QStringLiteral("CONSTRAINT \"PrimaryKey\" PRIMARY KEY (") + identifierList(keys) +
                     QLatin1Char(')');
    execute(QStringLiteral("CREATE TABLE ") + quoteIdentifier(name) + QStringLiteral(" (") +
            parts.join(QStringLiteral(", ")) + QLatin1Char(')'));
}

void Connection::addColumn(const QString& table, const ColumnSpec& column) {
    checkSpec(column);
    if (column.kind == ColumnKind::AutoNumber || column.primaryKey) {
        throw DbError(DbError::kInvalidOperation,
                      QStringLiteral("A key column cannot be added to the existing table '") + table +
                          QStringLiteral("'."));
    }
    createSqlOf(live().handle(), table); // kTableMissing for a missing table
    execute(QStringLiteral("ALTER TABLE ") + quoteIdentifier(table) + QStringLiteral(" ADD COLUMN ") +
            columnDefinition(column));
}

void Connection::dropTable(const QString& name) {
    execute(QStringLiteral("DROP TABLE ") + quoteIdentifier(name));
}

void Connection::dropColumn(const QString& table, const QString& column) {
    ConnectionState& state = live();
    sqlite3* db = state.handle();
    const QString createSql = createSqlOf(db, table);
    const auto definition = sql::splitCreateTable(createSql);
    if (!definition)
        throw DbError(DbError::kGeneral,
                      QStringLiteral("The definition of '") + table + QStringLiteral("' cannot be read."));

    QStringList kept;
    QStringList keptNames;
    bool found = false;
    for (const QString& part : definition->parts) {
        if (sql::isTableConstraint(part)) {
            if (sql::mentions(part, column)) {
                throw DbError(
                    DbError::kInvalidOperation,
                    QStringLiteral("The column '%1' is part of a key or rule of '%2'.").arg(column, table));
            }
            kept << part;
            continue;
        }
        const QString name = sql::definedColumn(part);
        if (name.compare(column, Qt::CaseInsensitive) == 0) {
            found = true;
            continue;
        }
        if (sql::mentions(sql::columnRules(part), column)) {
            throw DbError(DbError::kInvalidOperation,
                          QStringLiteral("The column '%1' is used by a rule of '%2'.").arg(column, name));
        }
        kept << part;
        keptNames << name;
    }
    if (!found) {
        throw DbError(DbError::kItemNotFound,
                      QStringLiteral("The table '%1' has no column '%2'.").arg(table, column));
    }
    if (keptNames.isEmpty())
        throw DbError(DbError::kInvalidOperation,
                      QStringLiteral("The last column of a table cannot be dropped."));

    // The table's real name as stored, its indexes and triggers, and its AutoNumber counter.
    const QString realName =
        engine::scalar(
            db,
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
            {table})
            .toString();
    QStringList extras;
    {
        engine::Statement others(
            db, QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name = ? AND type IN "
                               "('index', 'trigger') AND sql IS NOT NULL ORDER BY rowid"));
        others.bind({realName});
        while (others.step()) {
            const QString text = others.value(0).toString();
            if (text.startsWith(QLatin1String("CREATE TRIGGER"), Qt::CaseInsensitive) &&
                sql::mentions(text, column)) {
                throw DbError(
                    DbError::kInvalidOperation,
                    QStringLiteral("The column '%1' is used by a trigger of '%2'.").arg(column, table));
            }
            if (!sql::mentions(text, column))
                extras << text;
        }
    }
    const bool hasSequence =
        engine::scalar(db,
                       QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_sequence'"))
            .toLongLong() > 0;
    const QVariant sequence =
        hasSequence
            ? engine::scalar(db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), {realName})
            : QVariant();
    // Rows keep their row ids, unless an INTEGER PRIMARY KEY column carries them already.
    bool keyColumnKept = false;
    for (const QString& part : kept) {
        if (!sql::isTableConstraint(part) && isRowIdAlias(part))
            keyColumnKept = true;
    }
    const QString columnsText = identifierList(keptNames);
    const QString copyColumns = keyColumnKept ? columnsText : QStringLiteral("rowid, ") + columnsText;
    const QString temporary = quoteIdentifier(QStringLiteral("lv_rebuild_") + realName);
    const QString quotedName = quoteIdentifier(realName);

    atomically(state, [&] {
        engine::exec(db, QStringLiteral("CREATE TABLE ") + temporary + QStringLiteral(" (") +
                             kept.join(QStringLiteral(", ")) + QLatin1Char(')') +
                             (definition->tail.isEmpty() ? QString() : QLatin1Char(' ') + definition->tail));
        engine::exec(db, QStringLiteral("INSERT INTO ") + temporary + QStringLiteral(" (") + copyColumns +
                             QStringLiteral(") SELECT ") + copyColumns + QStringLiteral(" FROM ") +
                             quotedName);
        engine::exec(db, QStringLiteral("DROP TABLE ") + quotedName);
        engine::exec(db,
                     QStringLiteral("ALTER TABLE ") + temporary + QStringLiteral(" RENAME TO ") + quotedName);
        if (sequence.isValid()) {
            engine::exec(db, QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?) WHERE name = ?"),
                         {sequence, realName});
        }
        for (const QString& text : extras)
            engine::exec(db, text);
    });
}

} // namespace platform::db
