// Mail messages as bytes on the wire. Outgoing: a message with a UTF-8 text body and at most
// one attachment, sent base64-encoded under the file's own name. Incoming: the sender as the
// From field gives it (and whether it gives exactly one), the verdicts of the receiving
// server, the subject, the date, the text body, every attached file with its name decoded, whichever of
// the two encodings of non-ASCII names (RFC 2231 parameters, RFC 2047 encoded words) the
// sending program used, and what else the message carries that is no named file. Built and
// parsed with GMime; the header fields that decide about the sender are read from the raw
// bytes, since a NUL in them would cut GMime's view short.
#pragma once

#include <QByteArray>
#include <QDateTime>
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

// The first field of the message that may not go into a mail: a sender or recipient that
// MailAddress.h refuses, an attachment name with control characters; None when every field may.
enum class RefusedField { None, Sender, Recipient, AttachmentName };
RefusedField refusedField(const OutgoingMessage& message);

// The message in the form SMTP carries it (CRLF line ends, headers and body). No value when a
// field is refused (refusedField). Control characters of the subject become blanks.
std::optional<QByteArray> buildMessage(const OutgoingMessage& message);

struct ReceivedAttachment {
    QString name; // decoded
    QByteArray data;
    // The name holds control characters, or an encoding of one that decoding cut the name at (a
    // "%00" of a parameter, a NUL in an encoded word): it names no file to be trusted.
    bool unsafeName = false;
};

// What the From field says about the sender: one field holding one mailbox is the only form
// whose address is taken.
enum class SenderForm { OneMailbox, NoFromField, SeveralFromFields, NotOneMailbox, ControlCharacters };

struct ReceivedMessage {
    SenderForm senderForm = SenderForm::NoFromField;
    QString senderAddress; // the one mailbox's address when senderForm is OneMailbox, else empty
    QString fromText;      // the From fields as written, control characters shown (visibleText)
    // The failed verdicts ("spf=fail", "dkim=fail", "dmarc=fail") that the topmost
    // Authentication-Results field records: the receiving server's own, added above the others.
    QStringList failedVerdicts;
    QString subject;
    QDateTime date;   // the Date field, in UTC; invalid when there is none that can be read
    QString textBody; // the first plain-text part that is no attachment
    // The named files the message carries. A part shown within the text (Content-Disposition
    // inline, or a part of a multipart/related: the logo of a signature) belongs to the body,
    // unless its name is a workbook's, as some mail programs send those inline too.
    QList<ReceivedAttachment> attachments;
    // What the message carries that no named attachment stands for, each said in a few words:
    // a non-text part without a file name, a forwarded message, a multipart without parts (a
    // missing or wrong boundary), parts nested too deep, a NUL byte anywhere in the message, a
    // file uuencoded into its text.
    QStringList unreadParts;
};

// Parses a message as RETR returns it. No value when the bytes hold no message at all.
std::optional<ReceivedMessage> parseMessage(const QByteArray& raw);
// The same for a message in a file, which is read from the disk as it is parsed, so that a
// large message is never held in memory whole; only its attachments are.
std::optional<ReceivedMessage> parseMessageFile(const QString& path);

} // namespace platform::mail
