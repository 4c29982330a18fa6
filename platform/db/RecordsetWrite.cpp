// Writing the rows of a recordset back to their tables; see RecordsetImpl.h for how a row
// is known again.
//
// An edited row is written table by table, all in one transaction: the changed columns of
// each table with "UPDATE t SET ... WHERE rowid = ? AND <every column of t IS its value as
// read>". When the row id no longer leads to that row (the rows were renumbered by a
// compaction or brought back by a restore), the row is looked up by its image alone and
// written there. When no row holds the image any more, someone changed or deleted it since
// it was read: the write is refused as a conflict and nothing is written. After a write the
// row is read back by its row id, so AutoNumber values, defaults and the new image show.
#include "platform/db/ConnectionState.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/RecordsetImpl.h"
#include "platform/db/SqlText.h"

#include <algorithm>

namespace platform::db {

namespace {

// The columns qualified by their table, "t"."c1", "t"."c2": the engine takes a quoted name
// that names no column for a text literal, unless the name is qualified.
QString qualifiedColumns(const QString& table, const QStringList& columns, const QString& separator,
                         const QString& after = {}) {
    const QString prefix = quoteIdentifier(table) + QLatin1Char('.');
    QStringList terms;
    for (const QString& column : columns)
        terms << prefix + quoteIdentifier(column) + after;
    return terms.join(separator);
}

// "t"."c1" IS ? COLLATE BINARY AND ...: the row holds exactly the values of the image,
// letter case included (a column's own collation may ignore case).
QString imageCondition(const QString& table, const QStringList& columns, const QVariantList& image,
                       QVariantList& params) {
    for (qsizetype c = 0; c < columns.size(); ++c)
        params << image.value(c);
    return qualifiedColumns(table, columns, QStringLiteral(" AND "), QStringLiteral(" IS ? COLLATE BINARY"));
}

// A column named in the statement is no longer in its table (another administrator's
// connection removed it since the rows were read).
bool isMissingColumn(const DbError& failure) {
    return failure.number() == DbError::kCommandError &&
           failure.description().startsWith(QLatin1String("no such column"));
}

} // namespace

DbError Recordset::Impl::conflict(int table) const {
    return DbError(DbError::kRowConflict,
                   QStringLiteral("The row of '") + tables[table].name +
                       QStringLiteral("' was changed or deleted by another user since it was read; "
                                      "nothing was written."));
}

// The edits of one base table, by column (a column shown twice takes its last edit).
std::vector<std::pair<QString, QVariant>> Recordset::Impl::editsOf(int table) const {
    std::vector<std::pair<QString, QVariant>> result;
    for (const auto& [index, value] : edits) {
        if (fieldTable[index] != table)
            continue;
        const QString& column = fields[index].baseColumn;
        auto it = std::find_if(result.begin(), result.end(), [&](const auto& e) {
            return e.first.compare(column, Qt::CaseInsensitive) == 0;
        });
        if (it != result.end())
            it->second = value;
        else
            result.emplace_back(column, value);
    }
    return result;
}

// Gives a CHECK failure of a write the name of the field whose value is too long.
DbError Recordset::Impl::explain(const DbError& failure, int table) const {
    if (failure.nativeError() != SQLITE_CONSTRAINT_CHECK || failure.number() == DbError::kValueTooLong)
        return failure;
    for (const auto& [index, value] : edits) {
        if (fieldTable[index] != table || fields[index].size <= 0)
            continue;
        if (value.toString().size() > fields[index].size) {
            return DbError(DbError::kValueTooLong,
                           QStringLiteral("The value is too long for the field '%1' (at most %2 characters).")
                               .arg(fields[index].name, QString::number(fields[index].size)),
                           failure.nativeError());
        }
    }
    return failure;
}

// Reads the row of a table back into the snapshot by its row id: its image, and the fields
// that show its columns.
void Recordset::Impl::refresh(sqlite3* db, int table, Row& row) const {
    const QStringList& columns = tables[table].columns;
    if (columns.isEmpty() || !row.keys[table])
        return;
    engine::Statement read(db, QStringLiteral("SELECT ") +
                                   qualifiedColumns(tables[table].name, columns, QStringLiteral(", ")) +
                                   QStringLiteral(" FROM ") + quoteIdentifier(tables[table].name) +
                                   QStringLiteral(" WHERE rowid = ?"));
    read.bind({*row.keys[table]});
    if (!read.step())
        return;
    QVariantList image;
    for (int c = 0; c < columns.size(); ++c)
        image << read.value(c);
    for (int i = 0; i < fields.size(); ++i) {
        if (fieldTable[i] != table)
            continue;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (columns[c].compare(fields[i].baseColumn, Qt::CaseInsensitive) == 0)
                row.values[i] = image[c];
        }
    }
    row.images[table] = std::move(image);
}

// Forgets the columns that are gone from the table, in every row's image.
void Recordset::Impl::dropMissingColumns(sqlite3* db, int table, Row& row) {
    const QStringList present = engine::columnNames(db, tables[table].name);
    const bool inSnapshot = &row >= rows.data() && &row < rows.data() + rows.size();
    QStringList& columns = tables[table].columns;
    for (qsizetype c = columns.size() - 1; c >= 0; --c) {
        if (present.contains(columns[c], Qt::CaseInsensitive))
            continue;
        columns.removeAt(c);
        for (Row& each : rows) {
            if (c < each.images[table].size())
                each.images[table].removeAt(c);
        }
        if (!inSnapshot && c < row.images[table].size())
            row.images[table].removeAt(c); // the copy being written
    }
}

// Runs head ("UPDATE t SET ..." or "DELETE FROM t") on the row the snapshot row stands for,
// with values bound to head's marks; returns the rows changed (0: the row is gone).
qint64 Recordset::Impl::writeByIdentity(sqlite3* db, int table, Row& row, const QString& head,
                                        const QVariantList& values) {
    for (int attempt = 0;; ++attempt) {
        try {
            QVariantList params = values;
            params << *row.keys[table];
            const QString identity =
                QStringLiteral(" WHERE rowid = ? AND ") +
                imageCondition(tables[table].name, tables[table].columns, row.images[table], params);
            if (const qint64 changed = engine::exec(db, head + identity, params); changed > 0)
                return changed;
            QVariantList find;
            const QVariant moved = engine::scalar(
                db,
                QStringLiteral("SELECT rowid FROM ") + quoteIdentifier(tables[table].name) +
                    QStringLiteral(" WHERE ") +
                    imageCondition(tables[table].name, tables[table].columns, row.images[table], find) +
                    QStringLiteral(" LIMIT 1"),
                find);
            if (!moved.isValid())
                return 0;
            row.keys[table] = moved.toLongLong();
            params[values.size()] = *row.keys[table];
            return engine::exec(db, head + identity, params);
        } catch (const DbError& failure) {
            if (attempt > 0 || !isMissingColumn(failure))
                throw;
            dropMissingColumns(db, table, row);
        }
    }
}

void Recordset::Impl::insertRow(sqlite3* db, int table, Row& row) {
    const auto changes = editsOf(table);
    const QString name = quoteIdentifier(tables[table].name);
    QString sql;
    QVariantList params;
    if (changes.empty()) {
        sql = QStringLiteral("INSERT INTO ") + name + QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList columns;
        for (const auto& [column, value] : changes) {
            columns << column;
            params << value;
        }
        sql = QStringLiteral("INSERT INTO ") + name + QStringLiteral(" (") + identifierList(columns) +
              QStringLiteral(") VALUES (") + parameterMarks(columns.size()) + QLatin1Char(')');
    }
    try {
        engine::exec(db, sql, params);
    } catch (const DbError& failure) {
        throw explain(failure, table);
    }
    row.keys[table] = sqlite3_last_insert_rowid(db);
}

void Recordset::Impl::updateRow(sqlite3* db, int table, Row& row) {
    const auto changes = editsOf(table);
    if (changes.empty())
        return;
    if (!row.keys[table]) {
        throw DbError(DbError::kReadOnly, QStringLiteral("This row has no row of '") + tables[table].name +
                                              QStringLiteral("' to update."));
    }
    QStringList sets;
    QVariantList values;
    for (const auto& [column, value] : changes) {
        sets << quoteIdentifier(column) + QStringLiteral(" = ?");
        values << value;
    }
    const QString head = QStringLiteral("UPDATE ") + quoteIdentifier(tables[table].name) +
                         QStringLiteral(" SET ") + sets.join(QStringLiteral(", "));
    qint64 changed = 0;
    try {
        changed = writeByIdentity(db, table, row, head, values);
    } catch (const DbError& failure) {
        throw explain(failure, table);
    }
    if (changed == 0)
        throw conflict(table);
}

void Recordset::Impl::save() {
    if (!adding && edits.empty())
        return;
    Row& row = current();
    Row written = row; // the snapshot changes only when every table was written
    sqlite3* db = connection->handle();
    atomically(*connection, [&] {
        if (adding) {
            bool any = false;
            for (int t = 0; t < tables.size(); ++t) {
                if (tables[t].writable && !editsOf(t).empty()) {
                    insertRow(db, t, written);
                    any = true;
                }
            }
            if (!any) {
                const auto first =
                    std::find_if(tables.begin(), tables.end(), [](const BaseTable& b) { return b.writable; });
                insertRow(db, static_cast<int>(first - tables.begin()), written);
            }
        } else {
            for (int t = 0; t < tables.size(); ++t)
                updateRow(db, t, written);
        }
        for (int t = 0; t < tables.size(); ++t)
            refresh(db, t, written);
    });
    row = std::move(written);
    edits.clear();
    adding = false;
}

void Recordset::Impl::deleteRow(Row& row) {
    int table = -1;
    for (int t = 0; t < tables.size(); ++t) {
        if (table >= 0 || !tables[t].writable) {
            throw DbError(
                DbError::kReadOnly,
                QStringLiteral(
                    "Rows of a query over several tables cannot be deleted; delete from one table."));
        }
        table = t;
    }
    if (!row.keys[table])
        throw conflict(table);
    sqlite3* db = connection->handle();
    const QString head = QStringLiteral("DELETE FROM ") + quoteIdentifier(tables[table].name);
    if (writeByIdentity(db, table, row, head, {}) == 0)
        throw conflict(table);
    edits.clear();
    row.deleted = true;
    ++deletedCount;
}

} // namespace platform::db
