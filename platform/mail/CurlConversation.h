// One libcurl handle with everything the mail layer's connections share, and what libcurl
// said to the server and what the server answered, line by line (libcurl's debug callback).
// libcurl folds many different refusals into one error code (a rejected sender, recipient or
// message all end as one "send failed"); the conversation tells which command the server
// refused.
//
// The handle is set up as ConnectionOptions says: TLS when offered, the certificate checked,
// the time-outs. A transfer runs in a loop of short waits that asks the cancel callback
// between them.
//
// A protocol whose session must outlive a refused command (POP3: libcurl ends the session
// with a QUIT, which carries out the deletions, at the first -ERR, and connects and logs on
// again, silently, when the server dropped the connection) is spoken by the caller itself:
// libcurl connects, sets up TLS and logs on (connectOnly), and the caller sends its commands
// and reads the answers over that one connection, which is never replaced.
//
// Also the one place that initialises libcurl.
#pragma once

#include "platform/mail/ConnectionOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

typedef void CURL;

namespace platform::mail {

class CurlConversation {
public:
    struct Reply {
        QByteArray command; // the command it answers, upper case ("MAIL", "RCPT", "DATA", "." for the
                            // end of a message, "" for the greeting)
        int code = 0;       // SMTP: the three-digit code; POP3: 1 for +OK, -1 for -ERR
        QByteArray text;    // the whole line, without its line end
    };

    explicit CurlConversation(const ConnectionOptions& options = {});
    ~CurlConversation();
    CurlConversation(const CurlConversation&) = delete;
    CurlConversation& operator=(const CurlConversation&) = delete;

    // The easy handle, set up for the options; null when libcurl could not make one.
    CURL* handle() const;

    // Runs the transfer set up on the handle; answers libcurl's result (a CURLcode). A
    // cancelled transfer answers CURLE_ABORTED_BY_CALLBACK; an authority file that cannot be
    // read CURLE_SSL_CACERT_BADFILE, before anything is sent.
    int perform();

    // Runs libcurl up to an established, secured and logged-on connection and keeps it open
    // for send() and receive(); answers libcurl's result.
    int connectOnly();
    // Sends all of bytes; false when the connection is gone or takes no data in time.
    bool send(const QByteArray& bytes);
    // Appends what the server sends next to into; false when the connection is gone or the
    // server sent nothing in time.
    bool receive(QByteArray& into);
    // Notes a line the caller sent or received, for commands() and replies().
    void noteCommand(const QByteArray& line);
    void noteReply(const QByteArray& line);

    // Shuts the connection without a word to the server: whatever libcurl still sends on it
    // (the QUIT with which it closes a POP3 connection, which would carry out the deletions)
    // goes nowhere.
    void abandonConnection();

    // libcurl's explanation of the last failure ("SSL certificate problem: ...").
    QString failureText() const;
    // True when the result is a failure to set up or check TLS.
    static bool isSecurityFailure(int result);

    // The command words sent so far, in order ("EHLO", "MAIL", "USER", "RETR", ...).
    const QList<QByteArray>& commands() const;
    const QList<Reply>& replies() const;
    // How often the given command word was sent.
    int count(const QByteArray& command) const;
    // The last reply, or a reply with code 0 when the server said nothing.
    Reply lastReply() const;

private:
    int refuseUnreadableAuthority();

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform::mail
