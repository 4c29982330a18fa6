// Running a recordset's query and taking its rows; see Recordset.h and RecordsetImpl.h.
//
// The query is prepared once as written to learn where each result column comes from (table
// and column). Every table of the FROM clause that shows a column and appears there once, as
// a table, can be written to: for it the query is run again with hidden columns appended to
// its select list, the table's row id and every column of the table the query does not show,
// so that each row of the snapshot carries its row identity (row id and row image) in every
// table it can be written to.
#include "platform/db/ConnectionState.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/QueryShape.h"
#include "platform/db/RecordsetImpl.h"
#include "platform/db/SqlText.h"
#include "platform/db/SqlTokens.h"

#include <algorithm>

namespace platform::db {

namespace {

QString text16(const void* text) {
    return text ? QString::fromUtf16(static_cast<const char16_t*>(text)) : QString();
}

// Where the row identity of each writable table is found in a result row: its row id and,
// for every column of the table, the result column that holds it.
struct IdentitySource {
    int key = -1;
    std::vector<int> image;
};

// Reads the fields of a prepared query and the base tables they come from.
void describeFields(sqlite3_stmt* stmt, int count, Recordset::Impl& d) {
    for (int i = 0; i < count; ++i) {
        Recordset::Field field;
        field.name = text16(sqlite3_column_name16(stmt, i));
        const QString database = text16(sqlite3_column_database_name16(stmt, i));
        const QString table = text16(sqlite3_column_table_name16(stmt, i));
        int tableIndex = -1;
        if (!table.isEmpty() && database == QLatin1String("main")) {
            field.baseTable = table;
            field.baseColumn = text16(sqlite3_column_origin_name16(stmt, i));
            field.declaredType = text16(sqlite3_column_decltype16(stmt, i));
            field.size = sql::declaredSize(field.declaredType);
            for (int t = 0; t < d.tables.size(); ++t) {
                if (d.tables[t].name == table)
                    tableIndex = t;
            }
            if (tableIndex < 0) {
                d.tables.push_back({table, QString(), false, {}});
                tableIndex = static_cast<int>(d.tables.size() - 1);
            }
        }
        d.fields.push_back(field);
        d.fieldTable.push_back(tableIndex);
    }
    // A name shown twice (a join of tables with a column of the same name) is told apart by
    // its table: "Budgets.Budget_Name".
    QList<bool> shared;
    for (int i = 0; i < d.fields.size(); ++i) {
        bool twice = false;
        for (int j = 0; j < d.fields.size(); ++j)
            twice = twice || (i != j && d.fields[i].name.compare(d.fields[j].name, Qt::CaseInsensitive) == 0);
        shared << (twice && !d.fields[i].baseTable.isEmpty());
    }
    for (int i = 0; i < d.fields.size(); ++i) {
        if (shared[i])
            d.fields[i].name = d.fields[i].baseTable + QLatin1Char('.') + d.fields[i].baseColumn;
    }
}

// Decides which base tables can be written: each must appear once in the FROM clause as a
// table (not a view or subquery).
void findWritableTables(sqlite3* db, const QueryShape& shape, Recordset::Impl& d) {
    if (!d.readOnlyReason.isEmpty())
        return;
    for (const auto& ref : shape.tables) {
        if (ref.derived) {
            d.readOnlyReason = QStringLiteral("it reads from a subquery");
            return;
        }
        const QVariant type = engine::scalar(
            db,
            QStringLiteral(
                "SELECT type FROM sqlite_master WHERE name = ? COLLATE NOCASE AND type IN ('table', 'view')"),
            {ref.table});
        if (type.toString() == QLatin1String("view")) {
            d.readOnlyReason = QStringLiteral("it reads from a view");
            return;
        }
    }
    for (auto& table : d.tables) {
        const QueryShape::TableRef* match = nullptr;
        int count = 0;
        for (const auto& ref : shape.tables) {
            if (ref.table.compare(table.name, Qt::CaseInsensitive) == 0) {
                match = &ref;
                ++count;
            }
        }
        if (count != 1)
            continue;
        table.writable = true;
        table.qualifier = match->qualifier;
        table.columns = engine::columnNames(db, table.name);
    }
}

// The query with the hidden identity columns of the writable tables appended to its select
// list ("" when there is none), and where each table's identity is found in its rows.
QString withIdentity(const QueryShape& shape, const QString& sql, int count, const Recordset::Impl& d,
                     std::vector<IdentitySource>& sources) {
    QStringList hidden;
    int next = count;
    sources.assign(d.tables.size(), {});
    for (int t = 0; t < d.tables.size(); ++t) {
        const Recordset::Impl::BaseTable& table = d.tables[t];
        if (!table.writable)
            continue;
        const QString qualifier = quoteIdentifier(table.qualifier) + QLatin1Char('.');
        hidden << qualifier + QStringLiteral("rowid AS __lv_rowid_") + QString::number(t);
        sources[t].key = next++;
        for (int c = 0; c < table.columns.size(); ++c) {
            int shown = -1;
            for (int i = 0; i < d.fields.size() && shown < 0; ++i) {
                if (d.fieldTable[i] == t &&
                    d.fields[i].baseColumn.compare(table.columns[c], Qt::CaseInsensitive) == 0)
                    shown = i;
            }
            if (shown < 0) {
                hidden << qualifier + quoteIdentifier(table.columns[c]) + QStringLiteral(" AS __lv_image_") +
                              QString::number(t) + QLatin1Char('_') + QString::number(c);
                shown = next++;
            }
            sources[t].image.push_back(shown);
        }
    }
    if (hidden.isEmpty())
        return {};
    return sql.left(shape.fromPosition).trimmed() + QStringLiteral(", ") + hidden.join(QStringLiteral(", ")) +
           QLatin1Char(' ') + sql.mid(shape.fromPosition);
}

// True when the engine agrees that every hidden column is what it was added for.
bool identityMatches(sqlite3_stmt* stmt, const Recordset::Impl& d,
                     const std::vector<IdentitySource>& sources) {
    for (int t = 0; t < d.tables.size(); ++t) {
        if (!d.tables[t].writable)
            continue;
        const auto fromTable = [&](int column) {
            return column < sqlite3_column_count(stmt) &&
                   text16(sqlite3_column_table_name16(stmt, column)) == d.tables[t].name;
        };
        if (!fromTable(sources[t].key))
            return false;
        for (int c = 0; c < d.tables[t].columns.size(); ++c) {
            const int column = sources[t].image[c];
            if (!fromTable(column) || text16(sqlite3_column_origin_name16(stmt, column))
                                              .compare(d.tables[t].columns[c], Qt::CaseInsensitive) != 0)
                return false;
        }
    }
    return true;
}

} // namespace

Recordset Recordset::open(Connection& connection, const QString& sql, const QVariantList& params) {
    ConnectionState& state = connection.live();
    sqlite3* db = state.handle();
    auto d = std::make_unique<Impl>();
    d->connection = connection.state_;

    const QueryShape shape = QueryShape::of(sql);
    d->readOnlyReason = shape.readOnlyReason;
    engine::Statement plain(db, sql);
    const int count = plain.columnCount();
    if (count == 0)
        throw DbError(DbError::kCommandError, QStringLiteral("The command does not return rows."));
    describeFields(plain.get(), count, *d);
    findWritableTables(db, shape, *d);

    // The statement that is run: the query with the identity of its writable tables.
    std::optional<engine::Statement> keyed;
    std::vector<IdentitySource> sources;
    const QString withKeys = withIdentity(shape, sql, count, *d, sources);
    if (!withKeys.isEmpty()) {
        bool matches = false;
        try {
            keyed.emplace(db, withKeys);
            matches = identityMatches(keyed->get(), *d, sources);
        } catch (const DbError&) {
            matches = false;
        }
        if (!matches) {
            keyed.reset();
            for (auto& table : d->tables)
                table.writable = false;
        }
    }
    if (d->readOnlyReason.isEmpty() && std::none_of(d->tables.begin(), d->tables.end(),
                                                    [](const Impl::BaseTable& t) { return t.writable; })) {
        d->readOnlyReason = QStringLiteral("its rows cannot be matched to the rows of a table");
    }

    engine::Statement& run = keyed ? *keyed : plain;
    run.bind(params);
    while (run.step()) {
        Impl::Row row;
        row.keys.resize(d->tables.size());
        row.images.resize(d->tables.size());
        for (int c = 0; c < count; ++c)
            row.values << run.value(c);
        for (int t = 0; keyed && t < d->tables.size(); ++t) {
            if (!d->tables[t].writable)
                continue;
            const QVariant key = run.value(sources[t].key);
            if (key.isValid())
                row.keys[t] = key.toLongLong();
            for (const int column : sources[t].image)
                row.images[t] << (column < count ? row.values[column] : run.value(column));
        }
        d->rows.push_back(std::move(row));
    }
    d->pos = 0; // the first row, or EOF when there is none
    Recordset result;
    result.d_ = std::move(d);
    return result;
}

Recordset Recordset::forAppend(Connection& connection, const QString& table) {
    connection.live();
    const auto info = connection.table(table);
    if (!info)
        throw DbError(DbError::kTableMissing,
                      QStringLiteral("The table '") + table + QStringLiteral("' does not exist."));
    if (info->type == TableType::View)
        throw DbError(DbError::kReadOnly,
                      QStringLiteral("Rows cannot be added to the view '") + table + QStringLiteral("'."));
    auto d = std::make_unique<Impl>();
    d->connection = connection.state_;
    d->tables.push_back({info->name, info->name, true, {}});
    for (const ColumnInfo& column : info->columns) {
        d->fields.push_back({column.name, info->name, column.name, column.declaredType, column.size});
        d->fieldTable.push_back(0);
        d->tables[0].columns << column.name;
    }
    d->pos = 0;
    Recordset result;
    result.d_ = std::move(d);
    return result;
}

} // namespace platform::db
