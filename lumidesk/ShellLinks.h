// The windows and routines of the Budgets Explorer, the file system view and the print and
// find windows as the main window's commands reach them: show a window (loading it when
// needed), close it, and the budget-context and status-grid routines, which the main window's
// commands run with the Explorer loaded (loading it, and so showing it, when it was closed).
#pragma once

#include <QtGlobal>

class QWidget;

namespace lumidesk::links {

// The Budgets Explorer frmDataTable: shown modeless as a child window of the main window.
void ShowBudgetsExplorer();
// Unloads it when it is loaded.
void CloseBudgetsExplorer();
// The file system view frmFilesTables, shown modeless.
void ShowFileSystemView();
// The print window frmPrint, shown modeless.
void ShowPrint();
// Edit > Find's window frmFind, shown modeless, owned by owner.
void ShowFind(QWidget* owner);
// Makes gOptions.BudgetNameContext the budget context and refreshes the loaded windows;
// 0 done, 1 refused.
qint32 SetBudgetContextAndRefresh();
// Shows the Budgets Explorer's update controls (loading the Explorer when needed).
void ResetDataTableControls();
// Re-reads the Budgets Explorer's status grid (loading the Explorer when needed).
void RefreshStatusGrid();

} // namespace lumidesk::links
