// See MailServer.h.
#include "platform/mail/MailServer.h"

#include <QRegularExpression>
#include <cerrno>
#include <netdb.h>

namespace platform::mail {

namespace {

// A host name or IPv4 address, or an IPv6 address in brackets; then an optional port.
QRegularExpressionMatch parse(const QString& server) {
    static const QRegularExpression form(QStringLiteral(
        R"(^(\[[0-9A-Fa-f:.]+\]|[A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?)(?::([0-9]{1,5}))?$)"));
    return form.match(server.trimmed());
}

} // namespace

std::optional<QByteArray> serverUrl(const QString& server, const char* scheme, int defaultPort) {
    const QRegularExpressionMatch match = parse(server);
    if (!match.hasMatch())
        return std::nullopt;
    int port = defaultPort;
    if (match.hasCaptured(2)) {
        port = match.captured(2).toInt();
        if (port < 1 || port > 65535)
            return std::nullopt;
    }
    return QByteArray(scheme) + "://" + match.captured(1).toLatin1() + ':' + QByteArray::number(port) + '/';
}

std::optional<QString> serverHost(const QString& server) {
    const QRegularExpressionMatch match = parse(server);
    if (!match.hasMatch())
        return std::nullopt;
    QString host = match.captured(1);
    if (host.startsWith(QLatin1Char('[')))
        host = host.mid(1, host.size() - 2);
    return host;
}

bool networkUnreachable(const QString& server, long connectErrno) {
    if (connectErrno == ENETUNREACH)
        return true;
    const std::optional<QString> host = serverHost(server);
    if (!host)
        return false;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(host->toLatin1().constData(), nullptr, nullptr, &found);
    if (found)
        freeaddrinfo(found);
    return status == EAI_AGAIN;
}

} // namespace platform::mail
