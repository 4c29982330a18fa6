// What the rest of the desktop program calls of the mail subsystem: the send-mail window and
// its refreshes, the address-import window, fetching returned user files and resetting the
// mail status of the budget context's user files.
#pragma once

#include "mail/CollectMail.h"
#include "mail/DueDates.h"

#include <QString>

class QWidget;

namespace mail {

// The form names under which the mail windows are loaded.
inline const QString kSendMailFormName = QStringLiteral("frmMail");
inline const QString kAddAddressFormName = QStringLiteral("frmAddAddress");

// Shows the send-mail window frmMail modeless, owned by owner (bringing a loaded one forward).
// True when shown.
bool ShowSendMail(QWidget* owner);

// Refill the loaded send-mail window's grid and its sender, subject and body lists; nothing
// when it is not loaded.
void FillSendMailGrid();
void FillMailLists();

// Shows the address-import window frmAddAddress modeless, owned by owner (or without owner
// when owner is null). True when shown.
bool ShowAddAddress(QWidget* owner);

} // namespace mail
