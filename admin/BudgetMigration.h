// Moving or copying one budget between the local master database of this machine and the
// network database the program is logged on to: its Budgets row and its MasterFiles,
// Worksheets and UserFileTablesData rows. Authorship decides: a budget at the target is
// replaced only by its author, a move out of the network database needs the author (and a
// grant), and a copy out of it needs a grant when the super-administrator's profile says so.
//
// Budgets are found by their exact name, ignoring case ("Sales" never takes "Sales 2004").
// On the target, the removal of a budget being replaced and the copy of the new one run in one
// transaction, committed only when the record and all its tables were copied; a move removes
// its source, in a transaction of its own, only after that commit. A failed copy therefore
// leaves both databases as they were.
#pragma once

#include <QString>

namespace platform::db {
class Connection;
}

namespace admin {

enum class MigrationMode { Copy, Move };

// How an operation ended: Finish fills both lists again, Stop leaves them as they are.
enum class MigrationEnd { Finish, Stop };

// True when exactly one budget of that name is in the database and its author (Admin_Name)
// is the given name, ignoring case. Not exactly one: "No record found.  Check the Budgets
// table Page 1 of the Budget Wizard." and false.
bool IsBudgetAuthor(const QString& author, const QString& budget, platform::db::Connection& cnn);

// True when exactly one budget of that name is in the database.
bool BudgetExistsOnce(const QString& budget, platform::db::Connection& cnn);

// ">": the budget of the local database (at localConnection) into the network database.
MigrationEnd MigrateToNetwork(const QString& budget, MigrationMode mode, const QString& localConnection);

// "<": the budget of the network database into the local database (at localConnection).
MigrationEnd MigrateToLocal(const QString& budget, MigrationMode mode, const QString& localConnection);

} // namespace admin
