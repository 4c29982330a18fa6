// Copying one budget from one master database into another: its Budgets row
// (CopyBudgetRecord), then its MasterFiles, Worksheets and UserFileTablesData rows
// (CopyBudgetTables), which also re-links the copied worksheets to the keys that the target
// gave the copied master workbooks. The migration between the local and the network database
// is built on the two.
//
// Rows are copied column by column position, never by name: the two databases hold each table
// with its columns in the same order (newer schemas only append columns). Key columns (names
// beginning with "ID_") are left for the target to number. Budget names are matched exactly,
// ignoring case: copying "Sales" never takes a row of "SalesX".
//
// Each call is all or nothing on the target. When the caller holds a transaction on the target
// connection, a call runs inside it (as a savepoint, taken back on failure); otherwise in a
// transaction of its own. A caller that must not leave a budget row without its tables opens
// one transaction on the target around both calls (and around the removal of a budget it
// replaces), and commits only when both answered true:
//
//     platform::db::Transaction transaction(target);
//     if (CopyBudgetRecord(row, source, target) && CopyBudgetTables(row, source, target))
//         transaction.commit(); // and only now may the source be deleted
#pragma once

#include <QString>

namespace platform::db {
class Connection;
class Recordset;
} // namespace platform::db

namespace wizard {

inline const QString kBudgetRecordNotFoundText = QStringLiteral("The budget record was not found.");
// The standard columns of a Budgets row; a network database appends grant columns behind them.
inline constexpr int kStandardBudgetColumns = 14;

// Adds sourceRow's budget (a recordset holding exactly that one Budgets row) to the Budgets
// table of target, its 14 standard columns by position. When gOptions->LocalToNet is set (the
// target is the network database) the new row also carries the grant of the logged-on
// administrator: gOptions->LumiAUID in the grant column named gOptions->LumiAdminUserName.
// source is not used; the row is read from sourceRow.
//
// False, with nothing written, when sourceRow does not hold exactly one budget (after the
// message kBudgetRecordNotFoundText), when target already has a budget of that name, when a
// copy to the network database finds no grant column of the logged-on administrator, and after
// the program's error message for a failure. True when the row was added.
bool CopyBudgetRecord(platform::db::Recordset& sourceRow, platform::db::Connection& source,
                      platform::db::Connection& target);

// Copies the UserFileTablesData, Worksheets and MasterFiles rows of the budget named in the
// first column of sourceRow's current row from source into target, then re-links the copied
// worksheets to the copied master workbooks. True when all of it was copied; false after the
// program's error message, with nothing written.
bool CopyBudgetTables(platform::db::Recordset& sourceRow, platform::db::Connection& source,
                      platform::db::Connection& target);

} // namespace wizard
