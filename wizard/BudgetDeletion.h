// Deleting the rows that depend on a budget: its user files, worksheets and master workbooks.
// The wizard's budget deletion, the sample-budget installer and the migration between
// databases call it; each deletes the Budgets row itself afterwards.
#pragma once

#include <QString>

namespace platform::db {
class Connection;
}

namespace wizard {

// Deletes, in the database of cnn, the rows of UserFileTablesData, Worksheets and MasterFiles
// whose Budget_Name is the budget's (compared exactly, ignoring case), all or nothing: inside
// the caller's transaction when one is open, else in one of its own. The Budgets row itself is
// the caller's to delete. False, with nothing deleted, for an empty name or the placeholder;
// false after showing the error message when the database refused.
bool DeleteBudgetData(const QString& budget, platform::db::Connection& cnn);

// The budget itself: its dependent rows as above and then its Budgets row, all or nothing in
// the same way; an emptied Budgets table gets its placeholder row back. False as above.
bool DeleteBudget(const QString& budget, platform::db::Connection& cnn);

} // namespace wizard
