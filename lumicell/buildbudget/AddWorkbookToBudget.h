// Whether the active workbook is a master file of a budget, and its registration when it is
// new: the add-in works on the active workbook only once the MasterFiles table knows it (by
// its file name and folder, both compared exactly), and its budget is then the budget context.
// A workbook new to the system is offered for registration under a budget the administrator
// names; a typed part of an existing budget's name completes to that budget, whose own name is
// registered. A workbook of the same name registered for the budget from another folder can be
// tracked from this folder instead. Every value is a bound parameter.
#pragma once

#include <QString>

namespace lumicell {

inline const QString kCorruptRecordText = QStringLiteral("This record is corrupt. Repeat the operation.");
inline const QString kNewWorkbookQuestion = QStringLiteral(
    "This Excel file is new to Lumivane.  Add it to a budget?\nThis will not write data to the workbook.");
inline const QString kBudgetNamePrompt = QStringLiteral("Enter the budget name.");
inline const QString kDefaultBudgetName = QStringLiteral("DefaultProject");
inline const QString kTrackQuestion =
    QStringLiteral("A file with this name already exists in this budget.\nTrack this one instead?");
// A workbook open read-only, with the reason (Workbook::readOnlyReasonText).
inline const QString kReadOnlyRegistrationText =
    QStringLiteral("The workbook '%1' is open read-only (%2), so it cannot be added to a budget.");
// The author of a budget made from the add-in, and the context after a corrupt row was removed.
inline const QString kAddInAuthor = QStringLiteral("LumiXL");
inline const QString kNoContext = QStringLiteral("Nothing");

// True when the workbook (file name and folder) is, or has just been made, a master file of a
// budget; BudgetNameContext then names that budget. A new registration also reads the options
// again (ReadValues) and sets NewBudgetFile. False when the workbook stays unregistered:
// declined, cancelled, refused (a workbook open read-only is never registered), a corrupt row
// removed (context "Nothing"), or a failure (after the generic error message).
bool AddWorkbookToBudget(const QString& WBName, const QString& WBPath);

} // namespace lumicell
