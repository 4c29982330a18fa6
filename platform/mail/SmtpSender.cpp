// See SmtpSender.h. libcurl carries the SMTP conversation, and keeps its connection for the
// session's next mail; the conversation log tells which command a refusal answered, since
// libcurl reports every refusal as the same error.
#include "platform/mail/SmtpSender.h"

#include "platform/mail/CurlConversation.h"
#include "platform/mail/MailAddress.h"
#include "platform/mail/MailServer.h"
#include "platform/mail/MimeMessage.h"

#include <QFile>
#include <QFileInfo>
#include <curl/curl.h>
#include <memory>

namespace platform::mail {

namespace {

struct Upload {
    QByteArray bytes;
    qsizetype sent = 0;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* data) {
    auto* upload = static_cast<Upload*>(data);
    const qsizetype room = static_cast<qsizetype>(size * count);
    const qsizetype chunk = std::min(room, upload->bytes.size() - upload->sent);
    memcpy(buffer, upload->bytes.constData() + upload->sent, static_cast<size_t>(chunk));
    upload->sent += chunk;
    return static_cast<size_t>(chunk);
}

// The status of a failed transfer, from the first refusal among the replies to it.
int refusalStatus(const QList<CurlConversation::Reply>& replies) {
    for (const CurlConversation::Reply& reply : replies) {
        if (reply.code < 400)
            continue;
        if (reply.command == "MAIL")
            return smtp::kSenderRejected;
        if (reply.command == "RCPT")
            return smtp::kRecipientRejected;
        if (reply.command == "DATA" || reply.command == ".")
            return smtp::kMessageRejected;
        if (reply.command.isEmpty() || reply.command == "EHLO" || reply.command == "HELO")
            return smtp::kConversationFailed;
    }
    return -1;
}

int failureStatus(int code, const QList<CurlConversation::Reply>& replies, bool connected) {
    if (code == CURLE_ABORTED_BY_CALLBACK)
        return smtp::kCancelled;
    const int refused = refusalStatus(replies);
    if (refused >= 0)
        return refused;
    if (CurlConversation::isSecurityFailure(code))
        return smtp::kUntrustedServer;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return smtp::kHostUnknown;
    case CURLE_COULDNT_CONNECT:
        return smtp::kConnectFailed;
    case CURLE_OPERATION_TIMEDOUT:
        return connected ? smtp::kBadResponse : smtp::kConnectTimedOut;
    case CURLE_OUT_OF_MEMORY:
        return smtp::kOutOfMemory;
    case CURLE_WEIRD_SERVER_REPLY:
        return smtp::kBadResponse;
    default:
        return connected ? smtp::kBadResponse : smtp::kUnknownError;
    }
}

} // namespace

SmtpSession::SmtpSession(const ConnectionOptions& options)
    : conversation_(std::make_unique<CurlConversation>(options)) {}

SmtpSession::~SmtpSession() = default;

int sendSmtpMail(const SmtpMail& mail, const ConnectionOptions& options, QString* failure) {
    SmtpSession session(options);
    return session.send(mail, failure);
}

int SmtpSession::send(const SmtpMail& mail, QString* failure) {
    if (mail.server.trimmed().isEmpty())
        return smtp::kNoServer;
    OutgoingMessage message{mail.sender, mail.recipient, mail.subject, mail.body, {}, {}};
    switch (refusedField(message)) {
    case RefusedField::Sender:
        return smtp::kSenderRejected;
    case RefusedField::Recipient:
        return smtp::kRecipientRejected;
    default:
        break;
    }
    if (!mail.attachmentPath.isEmpty()) {
        QFile file(mail.attachmentPath);
        if (!QFileInfo(file).isFile())
            return smtp::kAttachmentMissing;
        if (!file.open(QIODevice::ReadOnly))
            return smtp::kAttachmentUnreadable;
        message.attachment = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return smtp::kAttachmentUnreadable;
        // A Linux file name may hold line breaks; the mail's header may not.
        message.attachmentName = withoutControlCharacters(QFileInfo(mail.attachmentPath).fileName());
    }
    const std::optional<QByteArray> url = serverUrl(mail.server, "smtp", 25);
    if (!url)
        return smtp::kHostUnknown;
    const std::optional<QByteArray> built = buildMessage(message);
    if (!built)
        return smtp::kMessageRejected;

    CurlConversation& conversation = *conversation_;
    CURL* curl = conversation.handle();
    if (!curl)
        return smtp::kOutOfMemory;
    Upload upload{*built, 0};
    const QByteArray from = '<' + mail.sender.toUtf8() + '>';
    const QByteArray to = '<' + mail.recipient.toUtf8() + '>';
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> recipients(
        curl_slist_append(nullptr, to.constData()), &curl_slist_free_all);
    curl_easy_setopt(curl, CURLOPT_URL, url->constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(upload.bytes.size()));
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp");

    // The handle keeps its connection from one mail to the next: the replies of this mail are
    // those after the ones before it.
    const qsizetype earlier = conversation.replies().size();
    const int result = conversation.perform();
    // The list and the upload end with this mail; the handle, which lives on, lets go of them.
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    if (result == CURLE_OK)
        return smtp::kSent;
    if (failure)
        *failure = conversation.failureText();
    const QList<CurlConversation::Reply> replies = conversation.replies().mid(earlier);
    double connectTime = 0;
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME, &connectTime);
    return failureStatus(result, replies, connectTime > 0 || !replies.isEmpty());
}

} // namespace platform::mail
