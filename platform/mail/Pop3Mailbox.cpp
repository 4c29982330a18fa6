// See Pop3Mailbox.h. libcurl keeps the connection of an easy handle open between transfers,
// so every command of the session goes through the one handle; the conversation log shows
// whether libcurl logged on more than once, which would mean a second connection.
#include "platform/mail/Pop3Mailbox.h"

#include "platform/mail/CurlConversation.h"
#include "platform/mail/MailServer.h"

#include <curl/curl.h>
#include <optional>

namespace platform::mail {

struct Pop3Mailbox::Impl {
    QString server;
    QByteArray account;
    QByteArray password;
    Pop3Options options;
    std::optional<QByteArray> url;
    CurlConversation conversation;

    int logons() const {
        return conversation.count("USER") + conversation.count("AUTH") + conversation.count("APOP");
    }
};

namespace {

size_t collectBody(char* data, size_t size, size_t count, void* target) {
    static_cast<QByteArray*>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

size_t discardBody(char*, size_t size, size_t count, void*) {
    return size * count;
}

int connectStatus(CURLcode code, bool connected) {
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

} // namespace

Pop3Mailbox::Pop3Mailbox(QString server, QString account, QString password, Pop3Options options)
    : impl_(new Impl{std::move(server), account.toUtf8(), password.toUtf8(), options, {}, {}}) {
    impl_->url = serverUrl(impl_->server, "pop3", 110);
}

Pop3Mailbox::~Pop3Mailbox() = default;

int Pop3Mailbox::perform(const QByteArray& path, const char* command, QByteArray* body) {
    CURL* curl = impl_->conversation.handle();
    const QByteArray url = *impl_->url + path;
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, command);
    curl_easy_setopt(curl, CURLOPT_NOBODY, body ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, body ? &collectBody : &discardBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, body);
    const int logonsBefore = impl_->logons();
    const CURLcode result = curl_easy_perform(curl);
    if (connected_ && impl_->logons() != logonsBefore) {
        // The connection of the session was gone and libcurl made another one.
        connected_ = false;
        return pop3::kConnectionLost;
    }
    return static_cast<int>(result);
}

int Pop3Mailbox::connect() {
    if (!impl_->url)
        return pop3::kHostUnknown;
    CURL* curl = impl_->conversation.handle();
    if (!curl)
        return pop3::kUnknownError;
    curl_easy_setopt(curl, CURLOPT_USERNAME, impl_->account.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, impl_->password.constData());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, impl_->options.connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, impl_->options.totalTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "pop3");

    const int result = perform({}, "STAT", nullptr);
    if (result != CURLE_OK) {
        double connectTime = 0;
        curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME, &connectTime);
        return connectStatus(static_cast<CURLcode>(result), connectTime > 0);
    }
    // "+OK <count> <octets>"
    const QList<QByteArray> words = impl_->conversation.lastReply().text.split(' ');
    bool ok = false;
    count_ = words.size() >= 2 ? words.at(1).toInt(&ok) : 0;
    if (!ok)
        return pop3::kUnknownError;
    connected_ = true;
    return pop3::kOk;
}

int Pop3Mailbox::retrieve(int number, QByteArray& message) {
    if (!connected_)
        return pop3::kNotConnected;
    if (number < 1 || number > count_)
        return pop3::kNoSuchMessage;
    message.clear();
    const int result = perform(QByteArray::number(number), nullptr, &message);
    if (result == pop3::kConnectionLost)
        return result;
    return result == CURLE_OK ? pop3::kOk : pop3::kConnectionLost;
}

int Pop3Mailbox::remove(int number) {
    if (!connected_)
        return pop3::kNotConnected;
    if (number < 1 || number > count_)
        return pop3::kNoSuchMessage;
    const int result = perform(QByteArray::number(number), "DELE", nullptr);
    if (result == pop3::kConnectionLost)
        return result;
    return result == CURLE_OK ? pop3::kOk : pop3::kNoSuchMessage;
}

int Pop3Mailbox::quit() {
    if (!connected_)
        return pop3::kNotConnected;
    const int result = perform({}, "QUIT", nullptr);
    connected_ = false;
    if (result != CURLE_OK || impl_->conversation.lastReply().code != 1)
        return pop3::kConnectionLost;
    // The server has closed its end; the handle must not try to use the connection again.
    curl_easy_setopt(impl_->conversation.handle(), CURLOPT_FORBID_REUSE, 1L);
    return pop3::kOk;
}

} // namespace platform::mail
