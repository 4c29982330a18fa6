// What the rest of the desktop program calls of the mail subsystem: the send-mail window and
// its refreshes, the address-import window, fetching returned user files and resetting the
// mail status of the budget context's user files.
//
// The mail subsystem is not built yet. Until it is, each routine tells the user that it is not
// available and answers with its failure value; nothing is sent, fetched or reset.
#pragma once

#include <QString>

class QWidget;

namespace mail {

// The form names under which the mail windows would be loaded.
inline const QString kSendMailFormName = QStringLiteral("frmMail");
inline const QString kAddAddressFormName = QStringLiteral("frmAddAddress");

// Shows the send-mail window frmMail modeless, owned by owner. True when shown.
bool ShowSendMail(QWidget* owner);

// Refill the loaded send-mail window's grid and its sender, subject and body lists.
void FillSendMailGrid();
void FillMailLists();

// Shows the address-import window frmAddAddress modeless, owned by owner (or without owner
// when owner is null). True when shown.
bool ShowAddAddress(QWidget* owner);

// Fetches the returned user files with the password of the active window's password box.
// 1: no password (nothing fetched), 0: fetched.
int GetMailPasswordAndReceive();

// Clears the due dates, sent dates and flags of the budget context's user files.
void ResetMailStatus();

} // namespace mail
