// The recordset snapshot and its write-back; see Recordset.h.
//
// Reading: the query is prepared once as written to learn where each result column comes
// from (table and column). For every table of the FROM clause whose columns appear, the row
// id is selected as well, appended to the select list under a hidden name, so each row of
// the snapshot knows the row of every table it shows. Writing: the changed columns of one
// table are written with "UPDATE t SET ... WHERE rowid = ? AND <every column of t in the
// snapshot> IS <the value read>"; no row changed means someone changed or deleted it since,
// and the write is refused as a conflict. After a write the row is read back by its row id,
// so AutoNumber values and defaults show at once.
#include "platform/db/Recordset.h"

#include "platform/db/ConnectionState.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/QueryShape.h"
#include "platform/db/SqlText.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace platform::db {

namespace {

const QString kHiddenKey = QStringLiteral("__lv_rowid_%1");

int sizeOf(const QString& declaredType) {
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)"));
    const auto match = size.match(declaredType);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString text16(const void* text) {
    return text ? QString::fromUtf16(static_cast<const char16_t*>(text)) : QString();
}

DbError noCurrentRow() {
    return DbError(DbError::kNoCurrentRow,
                   QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

} // namespace

struct Recordset::Impl {
    struct BaseTable {
        QString name;
        QString qualifier;
        bool writable = false;
    };
    struct Row {
        QVariantList values;
        std::vector<std::optional<qint64>> keys; // the row id in each base table
        bool deleted = false;
    };

    std::shared_ptr<ConnectionState> connection;
    QList<Field> fields;
    QList<int> fieldTable; // index into tables, -1 for an expression
    QList<BaseTable> tables;
    QString readOnlyReason;
    std::vector<Row> rows;
    qsizetype pos = 0; // -1 before the first row, rows.size() after the last
    std::map<int, QVariant> edits;
    bool adding = false;
    qsizetype posBeforeAdd = 0;

    qsizetype size() const { return static_cast<qsizetype>(rows.size()); }
    int liveCount() const {
        return static_cast<int>(
            std::count_if(rows.begin(), rows.end(), [](const Row& r) { return !r.deleted; }));
    }
    // A deleted row stays current until the next move: there the recordset is at neither end,
    // even when it was the last row left.
    bool onDeletedRow() const { return pos >= 0 && pos < size() && rows[pos].deleted; }
    bool bof() const { return pos < 0 || (liveCount() == 0 && !onDeletedRow()); }
    bool eof() const { return pos >= size() || (liveCount() == 0 && !onDeletedRow()); }

    Row& current() {
        if (pos < 0 || pos >= size())
            throw noCurrentRow();
        if (rows[pos].deleted)
            throw DbError(DbError::kDeletedRow, QStringLiteral("The current row has been deleted."));
        return rows[pos];
    }

    int checkedIndex(int index) const {
        if (index < 0 || index >= fields.size()) {
            throw DbError(
                DbError::kItemNotFound,
                QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                               "name or ordinal (%1).")
                    .arg(index));
        }
        return index;
    }

    int indexOf(const QString& name) const {
        for (int i = 0; i < fields.size(); ++i) {
            if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        for (int i = 0; i < fields.size(); ++i) {
            const QString qualified = fields[i].baseTable + QLatin1Char('.') + fields[i].baseColumn;
            if (!fields[i].baseTable.isEmpty() && qualified.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    int checkedName(const QString& name) const {
        const int index = indexOf(name);
        if (index < 0) {
            throw DbError(
                DbError::kItemNotFound,
                QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                               "name or ordinal (%1).")
                    .arg(name));
        }
        return index;
    }

    void checkWritable(int index) const {
        if (!readOnlyReason.isEmpty()) {
            throw DbError(DbError::kReadOnly,
                          QStringLiteral("The recordset cannot be updated: %1.").arg(readOnlyReason));
        }
        const int table = fieldTable[index];
        if (table < 0 || !tables[table].writable) {
            throw DbError(DbError::kReadOnly,
                          QStringLiteral("The field '%1' cannot be updated.").arg(fields[index].name));
        }
    }

    void checkAnyWritable() const {
        if (!readOnlyReason.isEmpty()) {
            throw DbError(DbError::kReadOnly,
                          QStringLiteral("The recordset cannot be updated: %1.").arg(readOnlyReason));
        }
    }

    // The columns of a base table shown in the snapshot, each once, with the first field
    // that shows it.
    std::vector<std::pair<QString, int>> columnsOf(int table) const {
        std::vector<std::pair<QString, int>> columns;
        for (int i = 0; i < fields.size(); ++i) {
            if (fieldTable[i] != table)
                continue;
            const bool seen = std::any_of(columns.begin(), columns.end(), [&](const auto& c) {
                return c.first.compare(fields[i].baseColumn, Qt::CaseInsensitive) == 0;
            });
            if (!seen)
                columns.emplace_back(fields[i].baseColumn, i);
        }
        return columns;
    }

    // The edits of one base table, by column (a column shown twice takes its last edit).
    std::vector<std::pair<QString, QVariant>> editsOf(int table) const {
        std::vector<std::pair<QString, QVariant>> result;
        for (const auto& [index, value] : edits) {
            if (fieldTable[index] != table)
                continue;
            auto it = std::find_if(result.begin(), result.end(), [&](const auto& e) {
                return e.first.compare(fields[index].baseColumn, Qt::CaseInsensitive) == 0;
            });
            if (it != result.end())
                it->second = value;
            else
                result.emplace_back(fields[index].baseColumn, value);
        }
        return result;
    }

    // Gives a CHECK failure of a write the name of the field whose value is too long.
    DbError explain(const DbError& failure, int table) const {
        if (failure.nativeError() != SQLITE_CONSTRAINT_CHECK || failure.number() == DbError::kValueTooLong)
            return failure;
        for (const auto& [index, value] : edits) {
            if (fieldTable[index] != table || fields[index].size <= 0)
                continue;
            if (value.toString().size() > fields[index].size) {
                return DbError(
                    DbError::kValueTooLong,
                    QStringLiteral("The value is too long for the field '%1' (at most %2 characters).")
                        .arg(fields[index].name)
                        .arg(fields[index].size),
                    failure.nativeError());
            }
        }
        return failure;
    }

    // "c1 IS ? AND c2 IS ?" over the table's columns, with their values as read.
    QString unchangedCondition(int table, const Row& row, QVariantList& params) const {
        QStringList terms;
        for (const auto& [column, index] : columnsOf(table)) {
            terms << quoteIdentifier(column) + QStringLiteral(" IS ?");
            params << row.values[index];
        }
        return terms.isEmpty() ? QString() : QStringLiteral(" AND ") + terms.join(QStringLiteral(" AND "));
    }

    // Reads the row of a table back into the snapshot by its row id.
    void refresh(sqlite3* db, int table, Row& row) const {
        const auto columns = columnsOf(table);
        if (columns.empty() || !row.keys[table])
            return;
        QStringList names;
        for (const auto& column : columns)
            names << quoteIdentifier(column.first);
        engine::Statement read(
            db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                    .arg(names.join(QStringLiteral(", ")), quoteIdentifier(tables[table].name)));
        read.bind({*row.keys[table]});
        if (!read.step())
            return;
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            const QVariant value = read.value(c);
            for (int i = 0; i < fields.size(); ++i) {
                if (fieldTable[i] == table &&
                    fields[i].baseColumn.compare(columns[c].first, Qt::CaseInsensitive) == 0) {
                    row.values[i] = value;
                }
            }
        }
    }

    void insertRow(sqlite3* db, int table, Row& row) {
        const auto changes = editsOf(table);
        QString sql;
        QVariantList params;
        if (changes.empty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(tables[table].name));
        } else {
            QStringList names;
            QStringList marks;
            for (const auto& [column, value] : changes) {
                names << quoteIdentifier(column);
                marks << QStringLiteral("?");
                params << value;
            }
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoteIdentifier(tables[table].name), names.join(QStringLiteral(", ")),
                           marks.join(QStringLiteral(", ")));
        }
        try {
            engine::exec(db, sql, params);
        } catch (const DbError& failure) {
            throw explain(failure, table);
        }
        row.keys[table] = sqlite3_last_insert_rowid(db);
    }

    void updateRow(sqlite3* db, int table, const Row& row) const {
        const auto changes = editsOf(table);
        if (changes.empty())
            return;
        if (!row.keys[table]) {
            throw DbError(DbError::kReadOnly,
                          QStringLiteral("This row has no row of '%1' to update.").arg(tables[table].name));
        }
        QStringList sets;
        QVariantList params;
        for (const auto& [column, value] : changes) {
            sets << quoteIdentifier(column) + QStringLiteral(" = ?");
            params << value;
        }
        params << *row.keys[table];
        QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                          .arg(quoteIdentifier(tables[table].name), sets.join(QStringLiteral(", ")));
        sql += unchangedCondition(table, row, params);
        qint64 changed = 0;
        try {
            changed = engine::exec(db, sql, params);
        } catch (const DbError& failure) {
            throw explain(failure, table);
        }
        if (changed == 0)
            throw conflict(table);
    }

    DbError conflict(int table) const {
        return DbError(
            DbError::kRowConflict,
            QStringLiteral("The row of '%1' was changed or deleted by another user since it was read; "
                           "nothing was written.")
                .arg(tables[table].name));
    }

    void save() {
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
                    const auto first = std::find_if(tables.begin(), tables.end(),
                                                    [](const BaseTable& b) { return b.writable; });
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

    void savePending() {
        if (adding || !edits.empty())
            save();
    }

    qsizetype nextLive(qsizetype from) const {
        for (qsizetype i = from + 1; i < size(); ++i) {
            if (!rows[i].deleted)
                return i;
        }
        return size();
    }
    qsizetype previousLive(qsizetype from) const {
        for (qsizetype i = std::min(from, size()) - 1; i >= 0; --i) {
            if (!rows[i].deleted)
                return i;
        }
        return -1;
    }
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

namespace {

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
            field.size = sizeOf(field.declaredType);
            for (int t = 0; t < d.tables.size(); ++t) {
                if (d.tables[t].name == table)
                    tableIndex = t;
            }
            if (tableIndex < 0) {
                d.tables.push_back({table, QString(), false});
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
// table (not a view or subquery). Returns the query with their row ids appended to the
// select list, or "" when no table can be written.
QString withRowIds(sqlite3* db, const QueryShape& shape, const QString& sql, Recordset::Impl& d) {
    if (!d.readOnlyReason.isEmpty())
        return {};
    for (const auto& ref : shape.tables) {
        if (ref.derived) {
            d.readOnlyReason = QStringLiteral("it reads from a subquery");
            return {};
        }
        const QVariant type = engine::scalar(
            db,
            QStringLiteral(
                "SELECT type FROM sqlite_master WHERE name = ? COLLATE NOCASE AND type IN ('table', 'view')"),
            {ref.table});
        if (type.toString() == QLatin1String("view")) {
            d.readOnlyReason = QStringLiteral("it reads from a view");
            return {};
        }
    }
    QStringList keys;
    for (int t = 0; t < d.tables.size(); ++t) {
        const QueryShape::TableRef* match = nullptr;
        int count = 0;
        for (const auto& ref : shape.tables) {
            if (ref.table.compare(d.tables[t].name, Qt::CaseInsensitive) == 0) {
                match = &ref;
                ++count;
            }
        }
        if (count != 1)
            continue;
        d.tables[t].writable = true;
        d.tables[t].qualifier = match->qualifier;
        keys << QStringLiteral("%1.rowid AS %2").arg(quoteIdentifier(match->qualifier), kHiddenKey.arg(t));
    }
    if (keys.isEmpty())
        return {};
    return sql.left(shape.fromPosition).trimmed() + QStringLiteral(", ") + keys.join(QStringLiteral(", ")) +
           QLatin1Char(' ') + sql.mid(shape.fromPosition);
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

    // The statement that is run: the query with the row ids of its writable tables, when the
    // engine agrees that each added column is the row id of its table.
    std::optional<engine::Statement> keyed;
    const QString withKeys = withRowIds(db, shape, sql, *d);
    if (!withKeys.isEmpty()) {
        bool matches = false;
        try {
            keyed.emplace(db, withKeys);
            matches = keyed->columnCount() > count;
            for (int c = count, t = 0; matches && c < keyed->columnCount(); ++c) {
                while (!d->tables[t].writable)
                    ++t;
                matches = text16(sqlite3_column_table_name16(keyed->get(), c)) == d->tables[t].name;
                ++t;
            }
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
        for (int c = 0; c < count; ++c)
            row.values << run.value(c);
        for (int c = count, t = 0; c < run.columnCount(); ++c, ++t) {
            while (!d->tables[t].writable)
                ++t;
            const QVariant key = run.value(c);
            if (key.isValid())
                row.keys[t] = key.toLongLong();
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
        throw DbError(DbError::kTableMissing, QStringLiteral("The table '%1' does not exist.").arg(table));
    if (info->type == TableType::View)
        throw DbError(DbError::kReadOnly,
                      QStringLiteral("Rows cannot be added to the view '%1'.").arg(table));
    auto d = std::make_unique<Impl>();
    d->connection = connection.state_;
    d->tables.push_back({info->name, info->name, true});
    for (const ColumnInfo& column : info->columns) {
        d->fields.push_back({column.name, info->name, column.name, column.declaredType, column.size});
        d->fieldTable.push_back(0);
    }
    d->pos = 0;
    Recordset result;
    result.d_ = std::move(d);
    return result;
}

namespace {
Recordset::Impl& opened(const std::unique_ptr<Recordset::Impl>& d) {
    if (!d)
        throw DbError(DbError::kObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
    return *d;
}
} // namespace

bool Recordset::isOpen() const {
    return d_ != nullptr;
}
void Recordset::close() {
    d_.reset();
}
bool Recordset::isReadOnly() const {
    const Impl& d = opened(d_);
    return !d.readOnlyReason.isEmpty();
}

int Recordset::fieldCount() const {
    return static_cast<int>(opened(d_).fields.size());
}
const Recordset::Field& Recordset::field(int index) const {
    const Impl& d = opened(d_);
    return d.fields[d.checkedIndex(index)];
}
QString Recordset::fieldName(int index) const {
    return field(index).name;
}
QStringList Recordset::fieldNames() const {
    QStringList names;
    for (const Field& f : opened(d_).fields)
        names << f.name;
    return names;
}
int Recordset::fieldIndex(const QString& name) const {
    return opened(d_).indexOf(name);
}

QVariant Recordset::value(int index) const {
    Impl& d = opened(d_);
    d.checkedIndex(index);
    const Impl::Row& row = d.current();
    const auto edit = d.edits.find(index);
    return edit != d.edits.end() ? edit->second : row.values[index];
}
QVariant Recordset::value(const QString& name) const {
    return value(opened(d_).checkedName(name));
}
bool Recordset::isNull(int index) const {
    const QVariant v = value(index);
    return !v.isValid() || v.isNull();
}
bool Recordset::isNull(const QString& name) const {
    return isNull(opened(d_).checkedName(name));
}

void Recordset::setValue(int index, const QVariant& value) {
    Impl& d = opened(d_);
    d.checkedIndex(index);
    d.checkWritable(index);
    d.current();
    d.edits[index] = value;
}
void Recordset::setValue(const QString& name, const QVariant& value) {
    setValue(opened(d_).checkedName(name), value);
}

bool Recordset::bof() const {
    return opened(d_).bof();
}
bool Recordset::eof() const {
    return opened(d_).eof();
}

void Recordset::moveFirst() {
    Impl& d = opened(d_);
    d.savePending();
    d.pos = d.nextLive(-1);
}
void Recordset::moveLast() {
    Impl& d = opened(d_);
    d.savePending();
    const qsizetype last = d.previousLive(d.size());
    d.pos = last < 0 ? d.size() : last;
}
void Recordset::moveNext() {
    Impl& d = opened(d_);
    if (d.eof())
        throw noCurrentRow();
    d.savePending();
    d.pos = d.nextLive(d.pos);
}
void Recordset::movePrevious() {
    Impl& d = opened(d_);
    if (d.bof())
        throw noCurrentRow();
    d.savePending();
    d.pos = d.previousLive(d.pos);
}
void Recordset::move(int n) {
    Impl& d = opened(d_);
    if (n == 0)
        return;
    if ((n > 0 && d.eof()) || (n < 0 && d.bof()))
        throw noCurrentRow();
    d.savePending();
    for (int i = 0; i < std::abs(n); ++i) {
        d.pos = n > 0 ? d.nextLive(d.pos) : d.previousLive(d.pos);
        if (d.pos < 0 || d.pos >= d.size())
            break;
    }
}

int Recordset::recordCount() const {
    return opened(d_).liveCount();
}

int Recordset::absolutePosition() const {
    const Impl& d = opened(d_);
    if (d.pos < 0)
        return kPosBof;
    if (d.pos >= d.size())
        return kPosEof;
    if (d.rows[d.pos].deleted)
        return kPosUnknown;
    int position = 0;
    for (qsizetype i = 0; i <= d.pos; ++i) {
        if (!d.rows[i].deleted)
            ++position;
    }
    return position;
}

void Recordset::addNew() {
    Impl& d = opened(d_);
    d.checkAnyWritable();
    d.savePending();
    Impl::Row row;
    for (int i = 0; i < d.fields.size(); ++i)
        row.values << QVariant();
    row.keys.resize(d.tables.size());
    d.posBeforeAdd = d.pos;
    d.rows.push_back(std::move(row));
    d.pos = d.size() - 1;
    d.adding = true;
}

void Recordset::update() {
    Impl& d = opened(d_);
    d.current();
    d.save();
}

void Recordset::cancelUpdate() {
    Impl& d = opened(d_);
    d.edits.clear();
    if (d.adding) {
        d.rows.pop_back();
        d.pos = std::min(d.posBeforeAdd, d.size());
        d.adding = false;
    }
}

bool Recordset::editPending() const {
    const Impl& d = opened(d_);
    return d.adding || !d.edits.empty();
}

void Recordset::deleteCurrent() {
    Impl& d = opened(d_);
    d.checkAnyWritable();
    Impl::Row& row = d.current();
    if (d.adding) {
        cancelUpdate();
        return;
    }
    int table = -1;
    for (int t = 0; t < d.tables.size(); ++t) {
        if (table >= 0 || !d.tables[t].writable) {
            throw DbError(
                DbError::kReadOnly,
                QStringLiteral(
                    "Rows of a query over several tables cannot be deleted; delete from one table."));
        }
        table = t;
    }
    if (!row.keys[table])
        throw d.conflict(table);
    sqlite3* db = d.connection->handle();
    QVariantList params{*row.keys[table]};
    QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdentifier(d.tables[table].name));
    sql += d.unchangedCondition(table, row, params);
    if (engine::exec(db, sql, params) == 0)
        throw d.conflict(table);
    d.edits.clear();
    row.deleted = true;
}

} // namespace platform::db
