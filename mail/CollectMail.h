// Collecting the returned user files from the robot mailbox. GetMailPasswordAndReceive takes
// the mailbox password from the password box it is given (or the saved one, as "Save pwd"
// says), runs the collection and then the user-file activity check, which flags every user
// file whose date on disk changed for the next update run.
//
// ReceiveReturnedFiles logs on to the default robot account's POP3 mailbox and fetches every
// waiting message. An attachment replaces a user file of the budget context when its name is
// that of exactly one user file of the budget and the message comes from the address of the
// user that file is assigned to; it is written beside the user file first and then renamed
// over it, so the user file is either the old one or the new one, never half written. A
// message is deleted from the server only when every file it carries was saved; the others
// stay there and are listed at the end, with the reason. The server carries the deletions out
// when the session ends (QUIT), so a collection that breaks off deletes nothing of what it has
// not processed.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>

namespace mail {

// The password box and its "Save pwd" check box (the Budgets Explorer's).
struct PasswordView {
    QPointer<QLineEdit> password;
    QPointer<QAbstractButton> savePassword;
};

// 1 when no password was to be had ("Enter the email account password." was shown and nothing
// else done), 0 otherwise.
int GetMailPasswordAndReceive(const PasswordView& view);

void ReceiveReturnedFiles(const QString& password);

} // namespace mail
