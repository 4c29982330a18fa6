// The budget context: the one budget the windows of the desktop program work on
// (gOptions.BudgetNameContext; empty or "Nothing" when none). SetBudgetContextAndRefresh
// makes the budget the caller stored there the context and brings every loaded window in
// step with it: the Budgets Explorer (folder list, status grid, captions), the wizard's
// master-workbook list and grids, and the send-mail window. On a network database the
// logged-on administrator's grant for the budget is checked first.
//
// The explorer tree leads to it: opening a budget node makes that budget the context
// (the budget whose name equals the node's, not every budget containing it), opening a
// master-workbook node opens that workbook for the user.
#pragma once

#include <QString>
#include <QtGlobal>

namespace platform::ui {
class ExplorerTree;
}

namespace lumidesk {

inline const QString kSetBudgetContextText = QStringLiteral("Set the Budget Context.");
inline const QString kNothingContext = QStringLiteral("Nothing");
inline const QString kHomeNodeName = QStringLiteral("HOME");

// Results of SetBudgetContextAndRefresh.
constexpr qint32 kContextSet = 0;
constexpr qint32 kContextRefused = 1; // refused by the grant check, or failed (reported)

// True when a budget is the context: neither empty nor "Nothing".
bool HasBudgetContext();

// Makes gOptions.BudgetNameContext the budget context and refreshes the loaded windows.
qint32 SetBudgetContextAndRefresh();

// The tree's open action: a budget node becomes the context, a master-workbook node opens
// its workbook (with a context only).
void OpenExplorerNode(platform::ui::ExplorerTree& tree, int node);

// The tree's node-selecting notification: on a network database in the Context view, the
// browse check of the node's budget.
void CheckBrowseOnNodeSelect(platform::ui::ExplorerTree& tree, int node, bool unused);

// Shows the loaded explorer's update controls with the grid at its designed height.
void ResetDataTableControls();

// True for a name whose extension is .xlsx or .xlsm (any case).
bool IsWorkbookName(const QString& name);
// True for a name of the old binary format (.xls, any case).
bool IsLegacyWorkbookName(const QString& name);
// The message for a workbook of the old binary format.
QString LegacyWorkbookText(const QString& name);

} // namespace lumidesk
