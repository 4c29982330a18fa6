// Sends one mail over SMTP: a UTF-8 text body and at most one attached file, from a sender to
// one recipient, through the server named as "host[:port]" (port 25 by default). Answers the
// status numbers the program's callers know from the mail component it stands in for: 0 sent,
// otherwise what went wrong, taken from what really happened on the wire: the server refused
// the sender (7), a recipient (8) or the message (4); nothing listens there (9); the host name
// is unknown (17); connecting took too long (22); the server accepted the connection but gave
// no sensible answer in time (18); the caller cancelled the mail in flight (20). Found before
// any connection is made: the file to attach is missing (10); a sender (7) or recipient (8)
// that may not go into a mail (MailAddress.h). The attachment goes out under its file's name
// with control characters replaced. A server whose TLS fails (ConnectionOptions.h) gives
// kUntrustedServer, with libcurl's reason in failure.
#pragma once

#include "platform/mail/ConnectionOptions.h"

#include <QString>
#include <memory>

namespace platform::mail {

class CurlConversation;

namespace smtp {
constexpr int kSent = 0;
constexpr int kUnknownError = 1;
constexpr int kOutOfMemory = 3;
constexpr int kMessageRejected = 4;    // the server refused DATA or the message after it
constexpr int kConversationFailed = 5; // the greeting or EHLO/HELO failed
constexpr int kSenderRejected = 7;     // MAIL FROM refused
constexpr int kRecipientRejected = 8;  // RCPT TO refused
constexpr int kConnectFailed = 9;      // nothing accepts connections there
constexpr int kAttachmentMissing = 10; // the file to attach does not exist
constexpr int kAttachmentUnreadable = 11;
constexpr int kNoServer = 15;
constexpr int kHostUnknown = 17; // the host name cannot be resolved (or is no host name)
constexpr int kBadResponse = 18; // connected, but the server's answers made no sense or never came
constexpr int kCancelled = 20;
constexpr int kConnectTimedOut = 22;
// The layer's own, beyond the component's: TLS could not be set up with the server or its
// certificate failed the check.
constexpr int kUntrustedServer = 100;
} // namespace smtp

struct SmtpMail {
    QString server; // "host" or "host:port"
    QString sender;
    QString recipient;
    QString subject;
    QString body;
    QString attachmentPath; // empty: no attachment
};

// Mails sent one after the other over one connection, each in a transaction of its own with
// its own status: a send-all run connects (and sets up TLS) once. A refused or failed mail
// leaves the session usable; where the server closed the connection, the next mail connects
// again. The connection ends with the session.
class SmtpSession {
public:
    explicit SmtpSession(const ConnectionOptions& options = {});
    ~SmtpSession();
    SmtpSession(const SmtpSession&) = delete;
    SmtpSession& operator=(const SmtpSession&) = delete;

    // failure, when given, receives libcurl's explanation of a failure on the wire.
    int send(const SmtpMail& mail, QString* failure = nullptr);

private:
    std::unique_ptr<CurlConversation> conversation_;
};

// One mail in a session of its own.
int sendSmtpMail(const SmtpMail& mail, const ConnectionOptions& options = {}, QString* failure = nullptr);

} // namespace platform::mail
