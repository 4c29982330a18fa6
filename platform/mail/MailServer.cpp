// See MailServer.h.
#include "platform/mail/MailServer.h"

#include <QRegularExpression>

namespace platform::mail {

std::optional<QByteArray> serverUrl(const QString& server, const char* scheme, int defaultPort) {
    // A host name or IPv4 address, or an IPv6 address in brackets; then an optional port.
    static const QRegularExpression form(QStringLiteral(
        R"(^(\[[0-9A-Fa-f:.]+\]|[A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?)(?::([0-9]{1,5}))?$)"));
    const QRegularExpressionMatch match = form.match(server.trimmed());
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

} // namespace platform::mail
