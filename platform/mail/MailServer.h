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

// The host of a server text (an IPv6 address without its brackets); no value as above.
std::optional<QString> serverHost(const QString& server);

// Whether the machine can reach a network at all, judged after a connection to server failed:
// the connection's error number said the network is unreachable, or the host name cannot be
// looked up because no name server can be reached (as opposed to a name that does not exist).
bool networkUnreachable(const QString& server, long connectErrno);

} // namespace platform::mail
