// Budget permissions of the network database. Budgets has its 14 standard columns and then one
// grant column per administrator account, named like the account; a cell holds the account's
// grant token for that budget (its user identifier, scrambled anew at every writing) or is
// empty. SetBudgetContext is the check the rest of the program makes before a budget becomes
// the context on the network database; the super-administrator console grants, revokes and
// shows the cells in its budget grid.
//
// Budgets are found by their exact name, ignoring case; grant columns by the account's name,
// ignoring case, and only among the columns after the standard ones.
#pragma once

#include <QString>

namespace platform::ui {
class DataGrid;
}

namespace admin {

// The number of standard columns of Budgets, before the grant columns.
constexpr int kBudgetsStandardColumnCount = 14;

// True when the administrator (the logged-on one, gOptions.LumiAdminUserName) holds a valid
// grant for the budget: the grant is then written anew and the budget becomes the context
// (as the caller spelled it). A refusal shows "You do not have permission to browse this
// budget." for mode 1, "You do not have permissions for this budget." for any other mode; a
// budget that does not exist gives false without a message.
bool SetBudgetContext(const QString& budget, const QString& administrator, int& mode);

// Fills the console's budget grid: "Budget Name", "Budget Date", "Budget Author" and one
// column per grant column, a cell reading "Granted" (or, with showEncoding, the stored token).
void FillPermissionsGrid(platform::ui::DataGrid& grid, bool showEncoding);

// Grants the account of the cell's column the budget of the cell's row (super-administrator
// only), and shows it in the cell.
void GrantBudgetPermission(platform::ui::DataGrid& grid, int row, int column, bool showEncoding);

// Takes the grant of the cell away (super-administrator only): the cell is stored empty.
void RevokeBudgetPermission(platform::ui::DataGrid& grid, int row, int column);

} // namespace admin
