// Listing a master workbook's worksheets into the Worksheets table of its budget, right after
// the workbook was registered (the wizard's Add) or in the QuickStart build (the automatic
// form, in which every listed sheet is picked for a user file).
//
// The workbook is read in memory, read-only: the listing never writes the master file. An
// encrypted or write-reserved workbook asks for its two passwords (the workbook-password
// dialog), checks that they open it and stores them scrambled; a sheet protected with a
// password asks for that password and stores it scrambled. Chart sheets are not listed. A
// sheet already listed for this workbook is passed over, and a sheet name that another master
// workbook of the budget already uses is refused with a message.
#pragma once

#include "wizard/SheetRegistration.h"

#include <QString>
#include <QtGlobal>

namespace wizard {

inline const QString kMasterFileNotFoundText = QStringLiteral("The query didn't find the master file.");
inline const QString kSheetPasswordPrompt =
    QStringLiteral("%1 is protected.  To add it to Lumivane, enter the Password or unprotect it.");
inline const QString kSheetPasswordTitle = QStringLiteral("Provide worksheet password");
inline const QString kWrongWorkbookPasswordsText =
    QStringLiteral("The passwords do not open the workbook '%1'. Enter them again.");
inline const QString kUnreadableMasterText =
    QStringLiteral("The workbook '%1' cannot be opened and was not added to the budget. %2");
// The folder of the user files of the sheets that the automatic form picks.
inline const QString kAutomaticFolder = QStringLiteral("LumiWizardFiles");

// Lists the sheets of the budget context's master workbook of that file name (equal ignoring
// case; exactly one MasterFiles row must match, else kMasterFileNotFoundText is shown).
// automatic: the QuickStart form (new rows picked, unprotected ones filed under
// kAutomaticFolder, the wizard's master-file grid not refreshed).
void LoadMasterWorkbookSheets(const QString& fileName, bool automatic);

// The same for the MasterFiles row of that key, as the Add has it in hand. The password
// dialog cancelled, or a workbook that cannot be opened, deletes that row again (the latter
// after telling the user why); no sheet rows are written then.
void LoadMasterWorkbookSheetsOfRow(qint64 masterFileId, bool automatic);

// Sets Process_Date of the budget context's first MasterFiles row of that file name (equal
// ignoring case) to now. A failure shows the generic error message.
void StampMasterFileProcessDate(const QString& fileName);

} // namespace wizard
