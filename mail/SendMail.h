// Mailing the budget context's user files to their users. SendMailToAll mails every ticked row
// of the send-mail window's grid in one run under the wait window (Cancel ends it after the
// current mail); SendMailForCurrentRow prepares the current row's mail in the compose dialog,
// where the user reviews and sends it. Both take the sender, subject, body and the append
// options from the window they are given and the recipient's address from the users table:
// the user of exactly that name (ignoring case), else the one user whose name contains it.
//
// A user file is stamped sent (Email_Sent, and Due_Date when a due date is set) only when its
// mail went out; a failed mail shows the mail status and its text and sets Settings\SendError.
#pragma once

#include <QString>

namespace platform::mail {
class SmtpSession;
}

namespace mail {

class SendMailPanel;

void SendMailToAll(SendMailPanel& window);
void SendMailForCurrentRow(SendMailPanel& window);

// Sends one mail, over the session's connection when one is given (a send-all run keeps one for
// all its mails); a failure is shown ("Error <status> has occurred.  <text>") and noted in the
// settings. Answers the status: 0 sent.
int SendSmtpMail(const QString& server, const QString& sender, const QString& recipient,
                 const QString& subject, const QString& body, const QString& attachment,
                 platform::mail::SmtpSession* session = nullptr);

// Shows the mail in the compose dialog and sends it when the user chooses Send. Answers the
// status of the send, or -1 when the user closed the dialog without sending.
int ComposeMailInDialog(const QString& server, const QString& sender, const QString& recipient,
                        const QString& subject, const QString& body, const QString& attachment);

// The text of a mail status.
QString SendStatusText(int status);

} // namespace mail
