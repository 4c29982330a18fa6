// See CurlConversation.h.
#include "platform/mail/CurlConversation.h"

#include <curl/curl.h>
#include <mutex>

namespace platform::mail {

namespace {

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QByteArray commandWord(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    const qsizetype space = trimmed.indexOf(' ');
    return (space < 0 ? trimmed : trimmed.left(space)).toUpper();
}

int replyCode(const QByteArray& line) {
    if (line.startsWith("+OK"))
        return 1;
    if (line.startsWith("-ERR"))
        return -1;
    bool ok = false;
    const int code = line.left(3).toInt(&ok);
    return ok ? code : 0;
}

} // namespace

CurlConversation::CurlConversation() {
    initCurl();
    handle_ = curl_easy_init();
    if (!handle_)
        return;
    curl_easy_setopt(handle_, CURLOPT_DEBUGFUNCTION, &CurlConversation::onDebug);
    curl_easy_setopt(handle_, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(handle_, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
}

CurlConversation::~CurlConversation() {
    if (handle_)
        curl_easy_cleanup(handle_);
}

int CurlConversation::count(const QByteArray& command) const {
    return static_cast<int>(commands_.count(command));
}

CurlConversation::Reply CurlConversation::lastReply() const {
    return replies_.isEmpty() ? Reply{} : replies_.last();
}

void CurlConversation::clear() {
    commands_.clear();
    replies_.clear();
    lastCommand_.clear();
    pending_.clear();
}

int CurlConversation::onDebug(CURL*, int type, char* data, size_t size, void* self) {
    static_cast<CurlConversation*>(self)->onText(type, QByteArray(data, static_cast<qsizetype>(size)));
    return 0;
}

void CurlConversation::onText(int type, const QByteArray& text) {
    if (type == CURLINFO_HEADER_OUT) {
        // One callback per command line; the end of a message is sent as "\r\n.\r\n" by itself.
        const QByteArray word = text.trimmed() == "." ? QByteArray(".") : commandWord(text);
        if (word.isEmpty())
            return;
        lastCommand_ = word;
        commands_ << word;
        return;
    }
    if (type != CURLINFO_HEADER_IN)
        return;
    pending_ += text;
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(end).trimmed();
        pending_.remove(0, end + 1);
        if (!line.isEmpty())
            replies_ << Reply{lastCommand_, replyCode(line), line};
    }
}

} // namespace platform::mail
