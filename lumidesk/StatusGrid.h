// The routines of the Budgets Explorer's status grid: the user files of the budget context
// with their mail, update, lock-out and due-date state (the queries are in
// StatusGridQueries.h). They work on the loaded explorer; each does nothing when it is not
// loaded.
//
// - Which query the grid shows: the context query in the update mode "All Folders", the
//   folder query with the folder list's text otherwise. On a network database in the
//   Context view and without a budget context, the queries of the load, the folder filter
//   and the update-mode change filter on the placeholder name "HOME", so that no ordinary
//   budget shows.
// - The folder list holds each folder of the context's user files once, in the order of
//   first appearance in the unfiltered query.
// - With the option Options\ColorCells on, four columns are coloured: UserFile_Update
//   (green when set, red otherwise), LockedOut (red when set, green otherwise), Email_Sent
//   (yellow when empty, green otherwise) and Due_Date (white when empty, green otherwise).
// - A click on the LockedOut heading locks every listed file out, the next releases them
//   all; the listed files are those of the budget context only. The change is written in one
//   transaction: a failure is reported, nothing is changed, and the grid is read again.
#pragma once

#include "lumidesk/StatusGridQueries.h"

#include <QColor>
#include <QString>
#include <QtGlobal>

namespace lumidesk {

class frmDataTable;

// Messages of the grid's clicks.
inline const QString kCompleteWizardText = QStringLiteral("Complete the BudgetWizard to view records here.");
inline const QString kAssignOnPage5Text = QStringLiteral(
    "You can change template assignments on Page 5 ('Assign User Files') of the BudgetWizard.");
inline const QString kSelectOnPage4Text =
    QStringLiteral("Select or unselect this worksheet on Page 4 ('Create User Files') of the BudgetWizard.");
inline const QString kDueDateText = QStringLiteral("Set the Due Date on the Send Mail screen.");
inline const QString kNotImplementedText = QStringLiteral("Not implemented yet.");

// Cell colours.
inline const QColor kGreen{0, 255, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kYellow{255, 255, 0};
inline const QColor kWhite{255, 255, 255};

// Modes of ToggleLockoutCell.
constexpr int kLockoutRelease = 0;
constexpr int kLockoutSet = 1;
constexpr int kLockoutRecolour = 2;

// The query the explorer's load shows.
StatusQuery LoadStatusQuery(const frmDataTable& form);

// Makes the query the grid's source, re-reads it and redraws the grid; a failure is thrown.
void ShowStatusQuery(frmDataTable& form, const StatusQuery& query);

// Re-reads the grid for the current update mode and recolours it. Failures are the caller's.
void RefreshStatusGrid();

// Colours the grid's cells when Options\ColorCells is on.
void ColorStatusGrid();

// The folder list's change handler: the folder query with the list's text.
void FilterStatusByFolder();

// The update-mode list's change handler.
void ChangeUpdateMode();

// Refills the folder list for the budget context (hidden in "All Folders" mode) and shows
// the folder saved in Runtime\FolderName.
void FillFolderCombo();

// Adds a folder name to the folder list unless it holds it already (counter 0: the first
// row, added without a look).
void AddFolderComboItem(qint16 counter, const QString& name);

// The grid's click handler; kind 1 is a click on a column's heading.
void StatusGridCellClick(int row, int column, int kind);

// Releases (0), locks out (1) or recolours (2) the lock-out column of every listed row.
// False when it failed; the failure was reported and the grid read again.
bool ToggleLockoutCell(int mode);

} // namespace lumidesk
