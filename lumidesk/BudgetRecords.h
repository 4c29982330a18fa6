// The record operations of the Budgets Explorer's module that other windows call: creating a
// budget with its first master workbook for the QuickStart build, renaming a budget from the
// explorer tree, and storing imported e-mail addresses as users.
//
// Budget names are matched by exact equality ignoring case: a budget is only "there" when one
// of that very name exists, whatever other names contain it. A budget name is the key by
// which MasterFiles, Worksheets, UserFileTablesData and Errors refer to a budget, so a rename
// carries the new name to all of them and to the budget context, in one transaction.
//
// Each operation works through a query object of its own, shows its failures in the
// program's error message and leaves the database as it was when it fails.
#pragma once

#include <QString>
#include <QtGlobal>

namespace platform::ui {
class ExplorerTree;
}

namespace lumidesk {

// Results of the budget operations.
inline constexpr qint32 kRecordDone = 0;
inline constexpr qint32 kRecordCancelled = 1; // cancelled or refused; nothing written
inline constexpr qint32 kRecordFailed = -99;  // an error, shown; nothing written

// gOptions.QuickStartMode that asks for the budget name in a dialog.
inline const QString kInteractiveMode = QStringLiteral("Interactive");
inline const QString kBudgetNamePrompt = QStringLiteral("Enter the budget name.");
inline const QString kProposedBudgetName = QStringLiteral("WizardProject");

// The QuickStart window and the boxes read from it, and the address window and its grid.
inline const QString kProjectNameBox = QStringLiteral("tbxProjectName");
inline const QString kAuthorNameBox = QStringLiteral("tbxAuthorName");
inline const QString kAddressGrid = QStringLiteral("dtTarget");

// The explorer tree of the active window, whose budget nodes can be renamed.
inline const QString kExplorerTreeName = QStringLiteral("CorvExplorer1");

// The name typed in the budget-name dialog with every apostrophe removed.
QString CleanBudgetName(const QString& typed);

// Creates the budget of a QuickStart build (unless it exists) and adds the master workbook
// masterFile in folder to it; the budget becomes gOptions.BudgetNameContext (no window is
// refreshed, no setting written).
//
// gOptions.QuickStartMode "Interactive": the name is asked for ("Enter the budget name.",
// proposing "WizardProject"), apostrophes removed, and asked again while a budget of that
// name exists; the new budget's author is gOptions.DefaultAdmin. Otherwise the name and the
// author are the QuickStart window's boxes tbxProjectName and tbxAuthorName: a budget of that
// name takes the author (no budget is added), else a new budget is added.
//
// kRecordDone; kRecordCancelled when the dialog was cancelled or answered empty, or the
// QuickStart window gives no name; kRecordFailed after the error message.
qint32 CreateBudgetRecord(const QString& masterFile, const QString& folder);

// Before a label edit of the explorer tree: true when the node may be renamed, that is when
// it is a budget node (top level) naming a stored budget. Workbook and worksheet nodes, the
// placeholder and "HOME" may not.
bool BudgetExists(const platform::ui::ExplorerTree& tree, int node);

// Renames the budget oldName to newName in every table that refers to it and in the budget
// context (and its setting), in one transaction. Refused, with a message, when newName is
// empty or names another budget; refused silently when no budget is called oldName. The
// caller, the Budgets Explorer, rebuilds itself afterwards whatever the result, so that the
// tree shows the stored names again.
qint32 RenameBudgetFromExplorer(const QString& oldName, const QString& newName);

// Texts of the refusals.
inline const QString kEmptyBudgetNameText = QStringLiteral("A budget name cannot be empty.");
QString BudgetNameInUseText(const QString& name);

// Adds a UsersData row for every row of the address window's grid dtTarget (column 0 the
// user's name, column 1 the address) whose name is not there yet (compared without regard to
// case, as the users grid compares); an existing user's address is left as it is and rows
// without a name are passed over. Rows whose address may not go into a mail are left out and
// named in one message. All rows are written in one transaction. Nothing happens when the
// address window is not loaded.
void AddAddressesToUsersData();

// The address book read by the QuickStart build: "Contacts" of the contacts folder.
inline const QString kQuickStartAddressBook = QStringLiteral("Contacts");

// The QuickStart build's address import: loads the address window without showing it, reads
// the contacts folder's kQuickStartAddressBook, moves all its addresses to the target grid
// with user names made from the addresses (rows without a name would never be stored), waits
// a second, stores them through AddAddressesToUsersData and unloads the window (one the user
// had open is used and left open).
void ImportContactAddresses();

} // namespace lumidesk
