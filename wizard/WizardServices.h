// What the rest of the desktop program calls of the budget setup wizard: its windows (the
// wizard, the QuickStart window), the new-budget request, the grid refresh after a change of
// the budget context, the sample budget and the small budget-record routines.
//
// The routines that act on a loaded wizard window do nothing when it is not loaded.
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace wizard {

// The form names under which the wizard windows are loaded.
inline const QString kWizardFormName = QStringLiteral("frmWizard");
inline const QString kQuickStartFormName = QStringLiteral("frmQSWizard");

// Shows frmWizard modeless, owned by owner, on the page named by gOptions.WizPageRequest
// (1 Manage Budgets, 2 new budget, 4 Create User Files, 5 Assign User Files). True when shown.
bool ShowWizard(QWidget* owner);

// Moves a loaded wizard to page 1 to 5 (its EZWiz control). False when it is not loaded.
bool SetWizardPage(int page);

// Re-reads the worksheet rows of the budget context into a loaded wizard (datWorksheetsRS).
// Does nothing when the wizard is not loaded.
void RefreshWizardWorksheets();

// Re-reads the master workbook rows of the budget context into a loaded wizard
// (datMasterFilesRS). Does nothing when the wizard is not loaded.
void RefreshWizardMasterFiles();

// Re-queries a loaded wizard's grids for the budget context; filter is a master-workbook
// name, "All" or empty. Does nothing when the wizard is not loaded.
void LoadWizardGrids(const QString& filter);

// Rebuilds a loaded wizard's caption from its page and the budget context. Does nothing when
// the wizard is not loaded.
void EZWiz_PageChanged();

// Refills a loaded wizard's master-workbook list cbxWorksheets: "All" first, then the given
// names, showing "All"; an empty list hides it. Does nothing when the wizard is not loaded.
void FillWizardMasterFileList(const QStringList& masterFiles);

// The new-budget request (flag True asks for the new-budget page). Returns the default
// author's name when the wizard was shown, else the empty text.
QString NewBudgetWizard(bool& flag);

// Replaces any earlier sample budget with the sample database's and cuts its user files.
// True when installed.
bool InstallSampleBudget();

// One row of the QuickStart window's workbook list lbxWorkbooks: the text is the workbook's
// file name, column 2 holds its full path.
struct QSWorkbookRow {
    QString fileName;
    QString fullPath;
};

// Gives the QuickStart window frmQSWizard its caption, adds the rows to its workbook list
// (after the rows it already holds) and shows it modeless, owned by owner. True when shown.
bool ShowQSWizard(QWidget* owner, const QString& caption, const QList<QSWorkbookRow>& rows);

// The QuickStart build over the rows of the QuickStart window's list.
void RunQuickStart();

} // namespace wizard
