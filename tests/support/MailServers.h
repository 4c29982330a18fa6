// Real mail servers on 127.0.0.1 for the tests of the mail layer and the mail subsystem: an
// SMTP server (a sink that keeps every message it accepts, or one that rejects MAIL, RCPT or
// DATA) and a POP3 server (dovecot) with one mailbox. Each test starts the servers it needs
// and they stop when the object goes, every process of them with it. Ports are chosen free at
// start, so tests that ctest runs side by side never meet on one port.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

class QProcess;

namespace testsupport {

// One server process in a process group of its own, stopped with its whole group.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts program with arguments, its output into logPath. False when it did not start.
    bool start(const QString& program, const QStringList& arguments, const QString& logPath);
    void stop();
    bool running() const;

private:
    qint64 pid_ = 0;
    std::unique_ptr<QProcess> process_;
};

class SmtpServer {
public:
    enum class Mode { Accept, RejectMail, RejectRcpt, RejectData };

    explicit SmtpServer(Mode mode = Mode::Accept);
    ~SmtpServer();

    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    // "127.0.0.1:<port>", as an Admin row names a server.
    QString address() const;
    // Every message accepted so far, in the order received, each with the envelope in two
    // added header lines X-MailFrom and X-RcptTo.
    QList<QByteArray> messages() const;
    // The envelope recipient of a message that messages() answered.
    static QString recipientOf(const QByteArray& message);

private:
    QString folder_;
    int port_ = 0;
    ServerProcess process_;
};

class Pop3Server {
public:
    static inline const QString kUser = QStringLiteral("robot");
    static inline const QString kPassword = QStringLiteral("secret");

    Pop3Server();
    ~Pop3Server();

    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    QString address() const;
    // Puts a message into the mailbox, as a delivery would; it waits there as new mail.
    bool deliver(const QByteArray& message);
    // The messages in the mailbox now (new and seen), sorted by file name.
    QList<QByteArray> mailbox() const;

private:
    QString folder_;
    int port_ = 0;
    int delivered_ = 0;
    ServerProcess process_;
};

// A port on 127.0.0.1 that nothing listens on now.
int unusedPort();

} // namespace testsupport
