// One session with a POP3 mailbox over one connection: log on and count the waiting messages
// (STAT), fetch a message (RETR), read its lasting identifier (UIDL), mark one for deletion
// (DELE), take the marks back (RSET) and end the session (QUIT).
// The server carries out the deletions only at QUIT: a session that ends any other way (a lost
// connection, a mailbox object destroyed without quit(), a program that stops) leaves every
// message where it was. The session never opens a second connection: when the server drops
// the first one, every later command fails with kNotConnected and nothing is sent, since the
// marks of the first connection died with it and another client may have renumbered the
// mailbox meanwhile. A command the server refuses (a message another client deleted) leaves
// the session open.
//
// libcurl connects, sets up TLS whenever the server offers STLS (ConnectionOptions.h) and logs
// on; the commands after that are this class's own, over libcurl's connection.
#pragma once

#include "platform/mail/ConnectionOptions.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>

namespace platform::mail {

namespace pop3 {
constexpr int kOk = 0;
// Connecting and logging on, as the mail component's Connect reports them.
constexpr int kConnectFailed = 1;
constexpr int kLogonRefused = 4;
constexpr int kHostUnknown = 11;
constexpr int kConnectTimedOut = 13;
constexpr int kUnknownError = 255;
// Fetching and deleting, as its download reports them.
constexpr int kConnectionLost = 8;
constexpr int kNotConnected = 16;
constexpr int kNoSuchMessage = 21; // also a message that another client deleted meanwhile
// The layer's own, beyond the component's: no network can be reached at all; the server's
// TLS could not be set up or its certificate failed the check (failureText() says why).
constexpr int kNoNetwork = 100;
constexpr int kUntrustedServer = 101;
} // namespace pop3

class Pop3Mailbox {
public:
    // server "host" or "host:port" (port 110 by default).
    Pop3Mailbox(QString server, QString account, QString password, ConnectionOptions options = {});
    ~Pop3Mailbox();
    Pop3Mailbox(const Pop3Mailbox&) = delete;
    Pop3Mailbox& operator=(const Pop3Mailbox&) = delete;

    // Connects, logs on and counts the messages. One of the pop3 codes.
    int connect();
    bool connected() const { return connected_; }
    // The number of messages waiting when the session began.
    int messageCount() const { return count_; }

    // Message numbers count from 1. The message goes to out as it arrives (so a large one
    // need not be held in memory), or into message; out is left at the end of what was written.
    int retrieve(int number, QIODevice& out);
    int retrieve(int number, QByteArray& message);
    // The message's identifier that the server keeps for it across sessions (UIDL); id is
    // left empty, with kOk, when the server keeps none.
    int uniqueId(int number, QString& id);
    int remove(int number);
    // Takes back every mark for deletion of the session (RSET).
    int reset();
    // Ends the session; the server then deletes the messages marked. kOk when it confirmed.
    int quit();

    // libcurl's explanation of the last failure.
    QString failureText() const;

private:
    struct Impl;
    // Sends a command and reads its status line; false when the connection is gone (the
    // session is then over).
    bool command(const QByteArray& line, QByteArray& reply);
    void lost();

    std::unique_ptr<Impl> impl_;
    bool connected_ = false;
    int count_ = 0;
};

} // namespace platform::mail
