// Re-links the worksheets of a budget to the keys of their master workbooks. Each worksheet
// row points to its master workbook by key (MasterFiles_ID), and a database fills its own
// keys: after a migration from a previous database, or a copy of a budget into another
// database, the master-workbook rows carry new keys. Each worksheet row then takes the key of
// the master-workbook row of its own budget with the same file name. The start-up's
// replacement offer runs RelinkAllBudgets after the migration; the budget copy between
// databases runs RelinkMasterFileIds on the copy.
#pragma once

#include <QString>

namespace platform::db {
class Connection;
}

namespace wizard {

// Gives every worksheet of budget in the database of cnn the key of its master workbook: the
// MasterFiles row of that budget whose Master_File equals the worksheet's (budget and file
// names matched exactly, ignoring case, so "Sales" never touches "Sales 2" and "Plan.xlsx"
// never "Plan 2.xlsx"). Worksheets whose master workbook has no row keep their key. Runs on
// the caller's connection and inside its transaction when one is open; failures are raised.
void RelinkMasterFileIds(const QString& budget, platform::db::Connection& cnn);

// The same for every budget of the master database in use. No result: a failure shows the
// program's error message and ends the re-linking, leaving every worksheet as it was (the
// whole re-linking is one transaction).
void RelinkAllBudgets();

} // namespace wizard
