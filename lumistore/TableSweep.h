// Internal: the placeholder rule on one table, and the table lookups the clean-up work
// shares. A placeholder row is a row whose first column (by position) holds exactly
// "<Dummy record>"; every other row, an empty or Null first column and the text in other
// letter case included, is a real row.
#pragma once

#include "platform/db/Schema.h"

#include <QString>
#include <QStringList>

namespace platform::db {
class Connection;
}

namespace lumistore {

// The names in the database's TablesList, in the engine's order.
QStringList listedTables(platform::db::Connection& connection);

// True when the database has a table (not a view) of exactly that name.
bool hasExactTable(platform::db::Connection& connection, const QString& name);

// The table of that name (as the engine finds it, without regard to case); raises the
// engine's missing-table error when there is none.
platform::db::TableInfo requireTable(platform::db::Connection& connection, const QString& name);

// Applies the placeholder rule to the table in one transaction: without real rows it keeps
// exactly one placeholder row (adding one, or deleting the extra ones); with real rows it
// keeps none.
void sweepTable(platform::db::Connection& connection, const QString& table);

} // namespace lumistore
