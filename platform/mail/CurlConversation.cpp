// See CurlConversation.h. The transfer runs on a multi handle of the conversation's own, so
// that the loop can wait in short steps and ask for a cancel between them; the multi handle
// also keeps the connection between the transfers of one session.
#include "platform/mail/CurlConversation.h"

#include <QFile>
#include <cerrno>
#include <curl/curl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::mail {

namespace {

constexpr int kWaitStepMilliseconds = 30;

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

QByteArray readFile(const QString& path, bool& ok) {
    QFile file(path);
    ok = file.open(QIODevice::ReadOnly);
    return ok ? file.readAll() : QByteArray();
}

// The system's authorities (the bundle libcurl was built to use), followed by the extra file.
// No value when the extra file cannot be read.
std::optional<QByteArray> authorities(const QString& extraFile) {
    QByteArray bundle;
    bool ok = false;
    if (const char* system = curl_version_info(CURLVERSION_NOW)->cainfo)
        bundle = readFile(QFile::decodeName(system), ok);
    const QByteArray extra = readFile(extraFile, ok);
    if (!ok)
        return std::nullopt;
    return bundle + '\n' + extra;
}

// Waits until the socket is ready for events; false when the time ran out or it failed.
bool waitFor(curl_socket_t socket, short events, long seconds) {
    pollfd entry{socket, events, 0};
    int ready;
    do {
        ready = ::poll(&entry, 1, static_cast<int>(seconds * 1000));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

} // namespace

struct CurlConversation::Impl {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    ConnectionOptions options;
    bool authorityUnreadable = false;
    curl_socket_t socket = CURL_SOCKET_BAD; // the connection's socket, while it is open
    char errorText[CURL_ERROR_SIZE] = {};
    QString failure;

    QList<QByteArray> commands;
    QList<Reply> replies;
    QByteArray lastCommand;
    QByteArray pending; // a reply line split over two callbacks

    static int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        static_cast<Impl*>(self)->onText(type, QByteArray(data, static_cast<qsizetype>(size)));
        return 0;
    }

    static curl_socket_t onOpenSocket(void* data, curlsocktype, curl_sockaddr* address) {
        auto* self = static_cast<Impl*>(data);
        self->socket = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
        return self->socket;
    }

    static int onCloseSocket(void* data, curl_socket_t socket) {
        auto* self = static_cast<Impl*>(data);
        if (self->socket == socket)
            self->socket = CURL_SOCKET_BAD;
        return ::close(socket);
    }

    void onText(curl_infotype type, const QByteArray& text) {
        if (type == CURLINFO_HEADER_OUT)
            noteCommand(text);
        else if (type == CURLINFO_HEADER_IN)
            noteReplyText(text);
    }

    // One call per command line; the end of a message is sent as "\r\n.\r\n" by itself.
    void noteCommand(const QByteArray& line) {
        const QByteArray word = line.trimmed() == "." ? QByteArray(".") : commandWord(line);
        if (word.isEmpty())
            return;
        lastCommand = word;
        commands << word;
    }

    void noteReplyText(const QByteArray& text) {
        pending += text;
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(end).trimmed();
            pending.remove(0, end + 1);
            if (!line.isEmpty())
                replies << Reply{lastCommand, replyCode(line), line};
        }
    }

    void setUp() {
        curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &Impl::onDebug);
        curl_easy_setopt(easy, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
        curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &Impl::onOpenSocket);
        curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, this);
        curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &Impl::onCloseSocket);
        curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, this);
        // TLS whenever the server offers it; a failed handshake or check fails the transfer.
        curl_easy_setopt(easy, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!options.extraAuthorityFile.isEmpty()) {
            std::optional<QByteArray> bundle = authorities(options.extraAuthorityFile);
            authorityUnreadable = !bundle;
            if (bundle) {
                curl_blob blob{bundle->data(), static_cast<size_t>(bundle->size()), CURL_BLOB_COPY};
                curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
            }
        }
        // A silent server: no connection, no answer to a command, or a stalled transfer.
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, options.timeoutSeconds);
        curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, options.timeoutSeconds);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, options.timeoutSeconds);
    }
};

CurlConversation::CurlConversation(const ConnectionOptions& options)
    : impl_(std::make_unique<Impl>()) {
    initCurl();
    impl_->options = options;
    impl_->easy = curl_easy_init();
    impl_->multi = curl_multi_init();
    if (impl_->easy && impl_->multi)
        impl_->setUp();
}

CurlConversation::~CurlConversation() {
    // The multi handle goes first: it closes the connections it keeps (with QUIT where the
    // connection is still sound), which needs the easy handle no more.
    if (impl_->multi)
        curl_multi_cleanup(impl_->multi);
    if (impl_->easy)
        curl_easy_cleanup(impl_->easy);
}

CURL* CurlConversation::handle() const {
    return impl_->easy && impl_->multi ? impl_->easy : nullptr;
}

// An organisation's authority file that cannot be read ends the conversation before it starts,
// named, rather than leaving the server's certificate unchecked. 0 when there is nothing to say.
int CurlConversation::refuseUnreadableAuthority() {
    if (!impl_->authorityUnreadable)
        return CURLE_OK;
    impl_->failure = QStringLiteral("the certificate authority file %1 cannot be read")
                         .arg(impl_->options.extraAuthorityFile);
    return CURLE_SSL_CACERT_BADFILE;
}

int CurlConversation::perform() {
    CURL* easy = handle();
    if (!easy)
        return CURLE_OUT_OF_MEMORY;
    impl_->errorText[0] = '\0';
    impl_->failure.clear();
    if (const int refused = refuseUnreadableAuthority())
        return refused;
    if (curl_multi_add_handle(impl_->multi, easy) != CURLM_OK)
        return CURLE_FAILED_INIT;
    int running = 1;
    bool cancelled = false;
    while (running > 0) {
        if (curl_multi_perform(impl_->multi, &running) != CURLM_OK || running == 0)
            break;
        if (!cancelled && impl_->options.cancelled && impl_->options.cancelled()) {
            cancelled = true;
            // A transfer taken off in the middle would still wait for the server's answer to
            // the end of the message; with its connection shut it fails at once instead.
            if (impl_->socket == CURL_SOCKET_BAD)
                break;
            ::shutdown(impl_->socket, SHUT_RDWR);
            continue;
        }
        curl_multi_poll(impl_->multi, nullptr, 0, kWaitStepMilliseconds, nullptr);
    }
    CURLcode result = cancelled ? CURLE_ABORTED_BY_CALLBACK : CURLE_FAILED_INIT;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(impl_->multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy && !cancelled)
            result = message->data.result;
    }
    // Removing a transfer that has not finished closes its connection.
    curl_multi_remove_handle(impl_->multi, easy);
    impl_->failure = QString::fromUtf8(impl_->errorText).trimmed();
    if (cancelled)
        impl_->failure = QStringLiteral("cancelled");
    return result;
}

int CurlConversation::connectOnly() {
    CURL* easy = handle();
    if (!easy)
        return CURLE_OUT_OF_MEMORY;
    impl_->errorText[0] = '\0';
    if (const int refused = refuseUnreadableAuthority())
        return refused;
    curl_easy_setopt(easy, CURLOPT_CONNECT_ONLY, 1L);
    const CURLcode result = curl_easy_perform(easy);
    impl_->failure = QString::fromUtf8(impl_->errorText).trimmed();
    return result;
}

bool CurlConversation::send(const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        size_t written = 0;
        const CURLcode result = curl_easy_send(impl_->easy, bytes.constData() + sent,
                                               static_cast<size_t>(bytes.size() - sent), &written);
        if (result == CURLE_AGAIN) {
            if (!waitFor(impl_->socket, POLLOUT, impl_->options.timeoutSeconds))
                return false;
            continue;
        }
        if (result != CURLE_OK)
            return false;
        sent += static_cast<qsizetype>(written);
    }
    return true;
}

bool CurlConversation::receive(QByteArray& into) {
    char buffer[64 * 1024];
    for (;;) {
        size_t got = 0;
        const CURLcode result = curl_easy_recv(impl_->easy, buffer, sizeof buffer, &got);
        if (result == CURLE_AGAIN) {
            if (!waitFor(impl_->socket, POLLIN, impl_->options.timeoutSeconds))
                return false;
            continue;
        }
        if (result != CURLE_OK || got == 0) // an error, or the server closed the connection
            return false;
        into.append(buffer, static_cast<qsizetype>(got));
        return true;
    }
}

void CurlConversation::noteCommand(const QByteArray& line) {
    impl_->noteCommand(line);
}

void CurlConversation::noteReply(const QByteArray& line) {
    impl_->noteReplyText(line + '\n');
}

void CurlConversation::abandonConnection() {
    // Whatever libcurl still sends on it (a QUIT when it closes the connection) goes nowhere.
    if (impl_->socket != CURL_SOCKET_BAD)
        ::shutdown(impl_->socket, SHUT_RDWR);
}

QString CurlConversation::failureText() const {
    return impl_->failure;
}

bool CurlConversation::isSecurityFailure(int result) {
    switch (result) {
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_USE_SSL_FAILED:
        return true;
    default:
        return false;
    }
}

const QList<QByteArray>& CurlConversation::commands() const {
    return impl_->commands;
}

const QList<CurlConversation::Reply>& CurlConversation::replies() const {
    return impl_->replies;
}

int CurlConversation::count(const QByteArray& command) const {
    return static_cast<int>(impl_->commands.count(command));
}

CurlConversation::Reply CurlConversation::lastReply() const {
    return impl_->replies.isEmpty() ? Reply{} : impl_->replies.last();
}

} // namespace platform::mail
