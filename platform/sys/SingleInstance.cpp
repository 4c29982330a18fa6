// See SingleInstance.h.
#include "platform/sys/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace platform::sys {

namespace {

constexpr int kConnectMilliseconds = 1000;
const QByteArray kActivateRequest = QByteArrayLiteral("activate\n");

} // namespace

SingleInstance::SingleInstance(const QString& key)
    : name_(serverName(key)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& key) {
    const QByteArray digest = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("lumivane-") + QString::fromLatin1(digest.left(20));
}

bool SingleInstance::isAnswering() const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectMilliseconds))
        return false;
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::activateRunning() const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectMilliseconds))
        return false;
    socket.write(kActivateRequest);
    const bool written = socket.waitForBytesWritten(kConnectMilliseconds);
    socket.disconnectFromServer();
    return written;
}

bool SingleInstance::claim() {
    if (isAnswering())
        return false;
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // Nobody answered, so the socket file is a leftover of a crashed instance.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) {
            server_.reset();
            // Another start may have claimed the name in between: then it is the running one.
            return !isAnswering();
        }
    }
    acceptRequests();
    return true;
}

void SingleInstance::acceptRequests() {
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            // The request may already be buffered when the connection is taken.
            auto readRequest = [this, socket] {
                if (socket->readAll().contains(kActivateRequest.trimmed()) && handler_)
                    handler_();
            };
            QObject::connect(socket, &QLocalSocket::readyRead, socket, readRequest);
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->bytesAvailable() > 0)
                readRequest();
        }
    });
}

} // namespace platform::sys
