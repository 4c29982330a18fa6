// The QuickStart build: the workbooks of the QuickStart window, one after the other, become
// master workbooks of the project's budget with every worksheet picked and cut into a user file
// under the folder "LumiWizardFiles", and their user files are registered. Afterwards the run
// offers the address import and the wizard's assignment page.
//
// The author gets an Admin row when no row has that name (ignoring case); it becomes the
// default author only when there is none yet, so a QuickStart never takes that mark from
// another author. A missing author or address, and a project name that the wizard's new-budget
// page would refuse (empty, the placeholder's, one with an apostrophe), are refused before
// anything is written. A workbook whose name a master workbook of the project's budget already
// has (from another folder) is refused as the wizard's Add refuses it. Rows written before a
// refusal or failure stay: a run is a series of steps that each leave the budget consistent,
// not one transaction.
#pragma once

#include <QString>

namespace wizard {

class frmQSWizard;

inline const QString kQuickStartFolder = QStringLiteral("LumiWizardFiles");
inline const QString kInteractiveModeText =
    QStringLiteral("The QuickStart interactive mode is not implemented yet.");
inline const QString kTrackedWorkbookText =
    QStringLiteral("This workbook is already being tracked by a budget.");
inline const QString kWorkbookMissingText = QStringLiteral("The workbook file is missing.");
inline const QString kWorkbookInUseText =
    QStringLiteral("The workbook [%1] is in use.  Close the file to continue.");
inline const QString kEnterAuthorText = QStringLiteral("Enter the Budget Author Name.");
inline const QString kEnterAddressText = QStringLiteral("Enter the Email Address.");
// The address import reads the contacts folder (platform/mail's address books).
inline const QString kAddressImportQuestion = QStringLiteral(
    "If you keep your addresses in the contacts folder, the Wizard can continue. Emails will NOT be sent!");
inline const QString kAssignmentQuestion =
    QStringLiteral("Do you want to view the User File template assignments screen?.");

// Runs the build over the window's workbook list, reading the author, address, project and mode
// from its boxes. Refused with the run guard's message while another run is under way, a
// second Start included.
void RunQuickStart(frmQSWizard& form);

// RunQuickStart() (WizardServices.h) runs it on the loaded QuickStart window, if any.

} // namespace wizard
