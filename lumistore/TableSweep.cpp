// See TableSweep.h. The comparisons with the placeholder text use the binary collation, so a
// column declared to ignore letter case still tells "<dummy record>" from the placeholder.
#include "lumistore/TableSweep.h"

#include "lumistore/cClean.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"

namespace lumistore {

using platform::db::Connection;
using platform::db::DbError;
using platform::db::quoteIdentifier;
using platform::db::Recordset;
using platform::db::TableInfo;
using platform::db::TableType;

QStringList listedTables(Connection& connection) {
    QStringList names;
    Recordset list = Recordset::open(connection, QStringLiteral("SELECT Table_Name FROM TablesList"));
    for (; !list.eof(); list.moveNext())
        names << list.value(0).toString();
    return names;
}

bool hasExactTable(Connection& connection, const QString& name) {
    for (const TableInfo& table : connection.tables())
        if (table.type != TableType::View && table.name == name)
            return true;
    return false;
}

TableInfo requireTable(Connection& connection, const QString& name) {
    std::optional<TableInfo> table = connection.table(name);
    if (!table || table->type == TableType::View || table->columns.isEmpty())
        throw DbError(DbError::kTableMissing, QStringLiteral("The table '%1' does not exist.").arg(name));
    return *table;
}

void sweepTable(Connection& connection, const QString& table) {
    const TableInfo info = requireTable(connection, table);
    const QString name = quoteIdentifier(info.name);
    const QString first = quoteIdentifier(info.columns.first().name) + QStringLiteral(" COLLATE BINARY");
    const QVariantList placeholder{platform::sys::kPlaceholderText};

    platform::db::Transaction transaction(connection);
    const qint64 placeholders = connection
                                    .scalar(QStringLiteral("SELECT COUNT(*) FROM ") + name +
                                                QStringLiteral(" WHERE ") + first + QStringLiteral(" = ?"),
                                            placeholder)
                                    .toLongLong();
    const qint64 real =
        connection
            .scalar(QStringLiteral("SELECT COUNT(*) FROM ") + name + QStringLiteral(" WHERE ") + first +
                        QStringLiteral(" IS NULL OR ") + first + QStringLiteral(" <> ?"),
                    placeholder)
            .toLongLong();
    if (real == 0 && placeholders == 0) {
        connection.execute(QStringLiteral("INSERT INTO ") + name + QStringLiteral(" (") +
                               quoteIdentifier(info.columns.first().name) + QStringLiteral(") VALUES (?)"),
                           placeholder);
    } else if (real == 0 && placeholders > 1) {
        connection.execute(QStringLiteral("DELETE FROM ") + name + QStringLiteral(" WHERE ") + first +
                               QStringLiteral(" = ? AND rowid <> (SELECT MIN(rowid) FROM ") + name +
                               QStringLiteral(" WHERE ") + first + QStringLiteral(" = ?)"),
                           {platform::sys::kPlaceholderText, platform::sys::kPlaceholderText});
    } else if (real > 0 && placeholders > 0) {
        connection.execute(QStringLiteral("DELETE FROM ") + name + QStringLiteral(" WHERE ") + first +
                               QStringLiteral(" = ?"),
                           placeholder);
    }
    transaction.commit();
}

} // namespace lumistore
