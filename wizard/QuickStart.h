// The QuickStart build: the workbooks of the QuickStart window, one after the other, become
// master workbooks of the project's budget with every worksheet picked and cut into a user file
// under the folder "LumiWizardFiles", and their user files are registered. Afterwards the run
// offers the address import and the wizard's assignment page.
//
// The author gets an Admin row when no row has that name (ignoring case); it becomes the
// default author only when there is none yet, so a QuickStart never takes that mark from
// another author. An empty project name, or the placeholder's, is refused before anything is
// written. Rows written before a refusal or failure stay: a run is a series of steps that each
// leave the budget consistent, not one transaction.
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
inline const QString kAddressImportQuestion =
    QStringLiteral("If you use Microsoft Outlook, the Wizard can continue. Emails will NOT be sent!");
inline const QString kAssignmentQuestion =
    QStringLiteral("Do you want to view the User File template assignments screen?.");

// Runs the build over the window's workbook list, reading the author, address, project and mode
// from its boxes. Refused with the run guard's message while another run is under way, a
// second Start included.
void RunQuickStart(frmQSWizard& form);

// RunQuickStart() (WizardServices.h) runs it on the loaded QuickStart window, if any.

} // namespace wizard
