// A mail server as the Admin table names it: "host" or "host:port" (an IPv6 address in
// brackets, "[::1]:2525"). Turned into the URL libcurl connects to, after checking that the text
// is a host name and nothing that would change the URL's meaning (a path, a user, a query).
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform::mail {

// The URL "<scheme>://<host>:<port>/" for a server text, the default port when it names none.
// No value for an empty or malformed text.
std::optional<QByteArray> serverUrl(const QString& server, const char* scheme, int defaultPort);

} // namespace platform::mail
