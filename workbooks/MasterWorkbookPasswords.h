// The file passwords of master workbooks. A master workbook may carry a file-open password
// and a write (write-reservation) password; the budget keeps both scrambled in its MasterFiles
// row, with MFPwdsSet saying whether they are on the file now. These routines read them, take
// them off the file and put them back at the administrator's request (the wizard's master-file
// grid), and quiet the spreadsheet application object for batch work.
//
// Every routine finds the row by the workbook's file name in the budget context (equal
// without regard to case) and acts only when exactly one row matches. Each remove or apply
// opens the workbook with its stored passwords, so applying to a file that already carries
// them does no harm, and saves it atomically: a failure leaves the file as it was.
#pragma once

#include <QString>

namespace platform::sheet {
class Application;
}

namespace workbooks {

inline const QString kOpenWithoutWriteText = QStringLiteral(
    "This master workbook is password protected for 'Open' but not 'Write' and cannot be updated.");

// True when both passwords are stored; they are then in gOptions->FOPwd and WritePwd. A
// stored open password without a write password is refused with kOpenWithoutWriteText; a
// write password alone counts as no protection (both options fields become empty). Shows
// the generic error message on a failure and answers false.
bool ReadMasterWorkbookPasswords(const QString& masterFile);

// Takes the stored passwords off the workbook file and sets MFPwdsSet False. Needs a path and
// both passwords; answers false without a word otherwise, and after the generic error message
// on a failure (MFPwdsSet then unchanged).
bool RemoveMasterWorkbookPasswords(const QString& masterFile);

// Puts the stored passwords on the workbook file and sets MFPwdsSet True. With a password
// missing it sets MFPwdsSet False and answers false. A failure shows the generic error message
// and answers false, MFPwdsSet unchanged.
bool ApplyMasterWorkbookPasswords(const QString& masterFile);

// Hides the application object and switches its alerts and screen updating off; when it was
// asking to update links, that is switched off too and the answer is true.
bool ExcelDisplayOff(platform::sheet::Application& application);

// Switches alerts and screen updating on again, and asking to update links when restoreLinks.
// Visibility stays as it is.
void ExcelDisplayOn(platform::sheet::Application& application, bool restoreLinks);

} // namespace workbooks
