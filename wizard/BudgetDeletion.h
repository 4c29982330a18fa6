// Deleting the rows that depend on a budget (its user files, worksheets and master workbooks).
// The wizard's deletions are not built yet; the migration between databases calls this one.
// Until it is built it tells the user that it is not available and deletes nothing.
#pragma once

#include <QString>

namespace platform::db {
class Connection;
}

namespace wizard {

// Deletes the budget's rows of UserFileTablesData, Worksheets and MasterFiles in the database
// of cnn; the Budgets row itself is the caller's to delete. False, with nothing deleted, when it
// could not.
bool DeleteBudgetData(const QString& budget, platform::db::Connection& cnn);

} // namespace wizard
