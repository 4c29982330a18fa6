// The administrator accounts of the network database, on the "Database Users" tab of the
// super-administrator console: the accounts grid, adding, storing and deleting accounts.
//
// An account is a row of AdminUsers (name, scrambled password, scrambled user identifier,
// e-mail, and for the super-administrator the scrambled super-administrator identifier) and a
// grant column of Budgets named like it. Storing a row derives the identifiers again from the
// name and password; a new password either carries the account's grants over to the new
// identifier or clears them, as the super-administrator answers. Each store and each delete
// changes AdminUsers and Budgets in one transaction.
//
// The grid shows passwords scrambled (a double click on one shows it plain for five seconds).
// A password cell holds a newly typed password when the user typed into it since the grid
// was filled, and the stored scrambled one otherwise.
#pragma once

#include <QSet>
#include <QString>
#include <functional>

namespace platform::ui {
class DataGrid;
class EditGrid;
} // namespace platform::ui

namespace admin {

// Grid columns.
constexpr int kAccountName = 0;
constexpr int kAccountPassword = 1;
constexpr int kAccountId = 2;
constexpr int kAccountEmail = 3;
constexpr int kAccountSaId = 4; // caption only

// Fills the accounts grid from AdminUsers; with showPassword, the password of the account at
// that row shows plain.
void FillAdminUsersGrid(platform::ui::DataGrid& grid, bool showPassword, int row);

// What storing and deleting need of the console besides the accounts grid.
struct AccountsContext {
    platform::ui::DataGrid& grid;
    QSet<int>& typedPasswords;               // rows whose password cell the user typed into
    std::function<void()> refillPermissions; // the budget grid of the console
};

// "Add": starts add mode (gOptions.AddRecord) and appends an empty row, unless the last row
// has no name yet ("Enter a value before the next 'Add'.").
void AddAdminUserRow(platform::ui::EditGrid& grid);

// A completed cell edit of row: stores the row once its name, password and e-mail are filled.
void StoreAdminUserRow(const AccountsContext& context, int row);

// "Delete": deletes the account of the grid's current row with its grant column, except the
// logged-on super-administrator's own ("You can't delete the Super-Admin User account.").
void DeleteAdminUserRow(const AccountsContext& context);

// A double click on a password cell: that password shows plain for five seconds.
void RevealPassword(platform::ui::DataGrid& grid, int row, int column);

} // namespace admin
