// How the mail layer talks to a server, for sending and collecting alike. Every connection
// uses TLS whenever the server offers it (STARTTLS, STLS), with the server's certificate
// checked against the system's authorities and, where an organisation runs its own, the
// authority file named here; a failed check ends the connection, never a fall back to clear
// text. A server that takes longer than timeoutSeconds to accept the connection or to answer
// one command is given up. cancelled, when set, is asked every few hundredths of a second
// while a transfer runs (so the caller can let window events through); true aborts it.
#pragma once

#include <QString>
#include <functional>

namespace platform::mail {

struct ConnectionOptions {
    long timeoutSeconds = 30;
    QString extraAuthorityFile; // PEM certificates added to the system's authorities
    std::function<bool()> cancelled;
};

} // namespace platform::mail
