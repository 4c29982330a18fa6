// One session with a POP3 mailbox over one connection: log on and count the waiting messages
// (STAT), fetch a message (RETR), mark one for deletion (DELE) and end the session (QUIT).
// The server carries out the deletions only at QUIT: a session that ends any other way (a lost
// connection, a program that stops) leaves every message where it was. A session that libcurl
// had to open a second connection for is reported as lost rather than logged on again, since
// the marks of the first connection died with it.
#pragma once

#include <QByteArray>
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
constexpr int kNoSuchMessage = 21;
} // namespace pop3

struct Pop3Options {
    long connectTimeoutSeconds = 30;
    long totalTimeoutSeconds = 300;
};

class Pop3Mailbox {
public:
    // server "host" or "host:port" (port 110 by default).
    Pop3Mailbox(QString server, QString account, QString password, Pop3Options options = {});
    ~Pop3Mailbox();
    Pop3Mailbox(const Pop3Mailbox&) = delete;
    Pop3Mailbox& operator=(const Pop3Mailbox&) = delete;

    // Connects, logs on and counts the messages. One of the pop3 codes.
    int connect();
    bool connected() const { return connected_; }
    // The number of messages waiting when the session began.
    int messageCount() const { return count_; }

    // Message numbers count from 1.
    int retrieve(int number, QByteArray& message);
    int remove(int number);
    // Ends the session; the server then deletes the messages marked. kOk when it confirmed.
    int quit();

private:
    struct Impl;
    int perform(const QByteArray& path, const char* command, QByteArray* body);

    std::unique_ptr<Impl> impl_;
    bool connected_ = false;
    int count_ = 0;
};

} // namespace platform::mail
