// Mail messages as bytes on the wire. Outgoing: a message with a UTF-8 text body and at most
// one attachment, sent base64-encoded under the file's own name. Incoming: the sender, the
// subject, the text body and every attached file with its name decoded, whichever of the two
// encodings of non-ASCII names (RFC 2231 parameters, RFC 2047 encoded words) the sending
// program used. Built and parsed with GMime.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace platform::mail {

struct OutgoingMessage {
    QString sender;    // address
    QString recipient; // address
    QString subject;
    QString body;
    QString attachmentName; // empty: no attachment
    QByteArray attachment;
};

// The message in the form SMTP carries it (CRLF line ends, headers and body). No value when a
// field may not go into a mail: a sender or recipient that MailAddress.h refuses, an
// attachment name with control characters. Control characters of the subject become blanks.
std::optional<QByteArray> buildMessage(const OutgoingMessage& message);

struct ReceivedAttachment {
    QString name; // decoded; empty when the part names no file
    QByteArray data;
};

struct ReceivedMessage {
    QString senderAddress; // the first address of From, empty when there is none
    QString subject;
    QString textBody; // the first plain-text part that is no attachment
    QList<ReceivedAttachment> attachments;
};

// Parses a message as RETR returns it. No value when the bytes hold no message at all.
std::optional<ReceivedMessage> parseMessage(const QByteArray& raw);

} // namespace platform::mail
