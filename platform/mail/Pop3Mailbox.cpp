// See Pop3Mailbox.h.
#include "platform/mail/Pop3Mailbox.h"

#include "platform/mail/CurlConversation.h"
#include "platform/mail/MailServer.h"

#include <QBuffer>
#include <curl/curl.h>
#include <optional>

namespace platform::mail {

struct Pop3Mailbox::Impl {
    QString server;
    QByteArray account;
    QByteArray password;
    std::optional<QByteArray> url;
    CurlConversation conversation;
    QByteArray received; // what the server sent; what lies before `start` was read already
    qsizetype start = 0;

    // The next line the server sends, without its line end; no value when the connection is gone.
    std::optional<QByteArray> readLine() {
        qsizetype end;
        qsizetype searched = start;
        while ((end = received.indexOf('\n', searched)) < 0) {
            // What was read goes before more comes, so the buffer stays near one chunk's size.
            received.remove(0, start);
            start = 0;
            searched = received.size();
            if (!conversation.receive(received))
                return std::nullopt;
        }
        QByteArray line = received.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        return line;
    }
};

namespace {

int connectStatus(CURLcode code, bool connected) {
    if (CurlConversation::isSecurityFailure(code))
        return pop3::kUntrustedServer;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return pop3::kHostUnknown;
    case CURLE_COULDNT_CONNECT:
        return pop3::kConnectFailed;
    case CURLE_LOGIN_DENIED:
        return pop3::kLogonRefused;
    case CURLE_OPERATION_TIMEDOUT:
        return connected ? pop3::kUnknownError : pop3::kConnectTimedOut;
    default:
        return pop3::kUnknownError;
    }
}

bool isOk(const QByteArray& reply) {
    return reply.startsWith("+OK");
}

} // namespace

Pop3Mailbox::Pop3Mailbox(QString server, QString account, QString password, ConnectionOptions options)
    : impl_(new Impl{
          std::move(server), account.toUtf8(), password.toUtf8(), {}, CurlConversation(options), {}}) {
    impl_->url = serverUrl(impl_->server, "pop3", 110);
}

Pop3Mailbox::~Pop3Mailbox() {
    // A session not ended by quit() is abandoned: no QUIT reaches the server, so it keeps
    // every message.
    impl_->conversation.abandonConnection();
}

QString Pop3Mailbox::failureText() const {
    return impl_->conversation.failureText();
}

void Pop3Mailbox::lost() {
    connected_ = false;
    impl_->conversation.abandonConnection();
}

bool Pop3Mailbox::command(const QByteArray& line, QByteArray& reply) {
    impl_->conversation.noteCommand(line);
    if (!impl_->conversation.send(line + "\r\n")) {
        lost();
        return false;
    }
    const std::optional<QByteArray> answer = impl_->readLine();
    if (!answer) {
        lost();
        return false;
    }
    impl_->conversation.noteReply(*answer);
    reply = *answer;
    return true;
}

int Pop3Mailbox::connect() {
    if (!impl_->url)
        return pop3::kHostUnknown;
    CURL* curl = impl_->conversation.handle();
    if (!curl)
        return pop3::kUnknownError;
    curl_easy_setopt(curl, CURLOPT_URL, impl_->url->constData());
    curl_easy_setopt(curl, CURLOPT_USERNAME, impl_->account.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, impl_->password.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "pop3");

    const int result = impl_->conversation.connectOnly();
    if (result != CURLE_OK) {
        long osErrno = 0;
        curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osErrno);
        if ((result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_HOST) &&
            networkUnreachable(impl_->server, osErrno))
            return pop3::kNoNetwork;
        double connectTime = 0;
        curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME, &connectTime);
        return connectStatus(static_cast<CURLcode>(result), connectTime > 0);
    }
    connected_ = true;
    // "+OK <count> <octets>"
    QByteArray reply;
    if (!command("STAT", reply))
        return pop3::kUnknownError;
    const QList<QByteArray> words = reply.split(' ');
    bool ok = false;
    count_ = isOk(reply) && words.size() >= 2 ? words.at(1).toInt(&ok) : 0;
    if (!ok || count_ < 0) {
        lost();
        return pop3::kUnknownError;
    }
    return pop3::kOk;
}

// The message follows its status line up to a line that holds one dot; a line that begins with
// a dot was sent with a second one in front.
int Pop3Mailbox::retrieve(int number, QIODevice& out) {
    if (!connected_)
        return pop3::kNotConnected;
    if (number < 1 || number > count_)
        return pop3::kNoSuchMessage;
    QByteArray reply;
    if (!command("RETR " + QByteArray::number(number), reply))
        return pop3::kConnectionLost;
    if (!isOk(reply))
        return pop3::kNoSuchMessage;
    for (;;) {
        const std::optional<QByteArray> line = impl_->readLine();
        if (!line) {
            lost();
            return pop3::kConnectionLost;
        }
        if (*line == ".")
            return pop3::kOk;
        const QByteArray content = (line->startsWith('.') ? line->mid(1) : *line) + "\r\n";
        if (out.write(content) != content.size()) {
            // Nowhere to put the rest: the session cannot go on in the middle of a message.
            lost();
            return pop3::kConnectionLost;
        }
    }
}

int Pop3Mailbox::retrieve(int number, QByteArray& message) {
    message.clear();
    QBuffer buffer(&message);
    buffer.open(QIODevice::WriteOnly);
    const int status = retrieve(number, buffer);
    buffer.close();
    if (status != pop3::kOk)
        message.clear();
    return status;
}

// "+OK <number> <identifier>"; a server without the command answers "-ERR".
int Pop3Mailbox::uniqueId(int number, QString& id) {
    id.clear();
    if (!connected_)
        return pop3::kNotConnected;
    if (number < 1 || number > count_)
        return pop3::kNoSuchMessage;
    QByteArray reply;
    if (!command("UIDL " + QByteArray::number(number), reply))
        return pop3::kConnectionLost;
    const QList<QByteArray> words = reply.simplified().split(' ');
    if (isOk(reply) && words.size() >= 3 && words.at(1).toInt() == number)
        id = QString::fromLatin1(words.at(2));
    return pop3::kOk;
}

int Pop3Mailbox::reset() {
    if (!connected_)
        return pop3::kNotConnected;
    QByteArray reply;
    if (!command("RSET", reply))
        return pop3::kConnectionLost;
    return isOk(reply) ? pop3::kOk : pop3::kUnknownError;
}

int Pop3Mailbox::remove(int number) {
    if (!connected_)
        return pop3::kNotConnected;
    if (number < 1 || number > count_)
        return pop3::kNoSuchMessage;
    QByteArray reply;
    if (!command("DELE " + QByteArray::number(number), reply))
        return pop3::kConnectionLost;
    return isOk(reply) ? pop3::kOk : pop3::kNoSuchMessage;
}

int Pop3Mailbox::quit() {
    if (!connected_)
        return pop3::kNotConnected;
    QByteArray reply;
    const bool confirmed = command("QUIT", reply) && isOk(reply);
    // The server has ended the session; nothing more goes over its connection.
    lost();
    return confirmed ? pop3::kOk : pop3::kConnectionLost;
}

} // namespace platform::mail
