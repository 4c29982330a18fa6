// How the mail runs connect, as the desktop program's settings say (section Options):
// MailTimeoutSeconds, how long a server may take to accept the connection or to answer one
// command (30 by default), and MailAuthorityFile, a PEM file with an organisation's own
// certificate authority, trusted beside the system's. While the wait window is up, its Cancel
// aborts the mail in flight.
#pragma once

#include "platform/mail/ConnectionOptions.h"

#include <QString>

namespace mail {

inline const QString kMailTimeoutKey = QStringLiteral("MailTimeoutSeconds");
inline const QString kMailAuthorityKey = QStringLiteral("MailAuthorityFile");

platform::mail::ConnectionOptions MailConnectionOptions();

// The message for a server whose TLS failed: it names the server and libcurl's reason.
QString UntrustedServerText(const QString& server, const QString& reason);

} // namespace mail
