// Collecting the returned user files from the robot mailbox. GetMailPasswordAndReceive takes
// the mailbox password from the password box it is given (or the saved one, as "Save pwd"
// says), runs the collection and then the user-file activity check, which flags every user
// file whose date on disk changed for the next update run.
//
// ReceiveReturnedFiles logs on to the default robot account's POP3 mailbox and takes the
// waiting messages one at a time: fetched (into a private temporary file), processed, marked
// for deletion. An attachment replaces a user file of the budget context only when
//   - the message has exactly one From field holding exactly one address, without control
//     characters, and that address is the one of the user the file is assigned to; the From
//     field is written by the sender, so this keeps out mistakes, not forgeries;
//   - the receiving server recorded no failed SPF, DKIM or DMARC verdict in its (topmost)
//     Authentication-Results field;
//   - its name, without control characters, is that of exactly one user file of the budget
//     (letter case aside) and no other attachment of the message has the same name;
//   - its content is a workbook that opens (ReturnedFile.h).
// It is written beside the user file first and then renamed over it, so the user file is
// either the old one or the new one, never half written. A message is deleted from the server
// only when every file it carries was saved and it carries nothing else that was not (an
// unnamed or forwarded part, a multipart without parts); the others stay there and are listed
// at the end, with the reason, as plain text. The server carries the deletions out when the
// session ends (QUIT): a collection whose connection breaks deletes nothing, and the failure's
// message names the user files replaced already.
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
