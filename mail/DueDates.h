// The due dates and the mail status of the budget context's user files. SetDueDateForAll
// writes the date picked in the calendar into every user file of the budget ("All" ticked in
// the send-mail window) or into the rows highlighted in its grid, and shows it there;
// ResetMailStatus clears the due date, the sent stamp and both update flags of the budget's
// user files (of the master workbook gOptions->MasterFilename names, when it names one) so that
// sending and collecting can start afresh, and refills every loaded send-mail panel. Both then run the
// user-file activity check and refresh what shows the status.
#pragma once

namespace mail {

class SendMailPanel;

// The date is the one the calendar left in gOptions->DueDate.
void SetDueDateForAll(SendMailPanel& window);
void ResetMailStatus();

} // namespace mail
