// Real mail servers on 127.0.0.1 for the tests of the mail layer and the mail subsystem: an
// SMTP server (a sink that keeps every message it accepts, one that rejects MAIL, RCPT or
// DATA, or one that accepts connections and never answers) and a POP3 server (dovecot) with
// one mailbox, each with TLS on (STARTTLS, STLS) when given a certificate that the test made.
// Each test starts the servers it needs and they stop when the object goes, every process of
// them with it. Ports are chosen free at start, so tests that ctest runs side by side never
// meet on one port.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

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

// A certificate authority of the test's own and server certificates it signed, made with the
// openssl command in a fresh folder: one for 127.0.0.1 (and localhost), one for another host
// name. The servers' certificates are trusted only by a client that adds authorityFile().
class TestCertificates {
public:
    enum class Name { Loopback, OtherHost };

    TestCertificates();
    bool made() const { return made_; }
    QString authorityFile() const;
    QString certificateFile(Name name) const;
    QString keyFile(Name name) const;

private:
    QString folder_;
    bool made_ = false;
};

// The certificate and key a server offers TLS with.
struct ServerTls {
    QString certificate;
    QString key;
};

class SmtpServer {
public:
    enum class Mode { Accept, RejectMail, RejectRcpt, RejectData, Silent };

    explicit SmtpServer(Mode mode = Mode::Accept, const std::optional<ServerTls>& tls = std::nullopt);
    ~SmtpServer();

    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    // "127.0.0.1:<port>", as an Admin row names a server.
    QString address() const;
    // Every message accepted so far, in the order received, each with the envelope in two
    // added header lines X-MailFrom and X-RcptTo, and X-Tls: yes or no.
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

    explicit Pop3Server(const std::optional<ServerTls>& tls = std::nullopt);
    ~Pop3Server();

    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    QString address() const;
    // Puts a message into the mailbox, as a delivery would; it waits there as new mail.
    bool deliver(const QByteArray& message);
    // The messages in the mailbox now (new and seen), sorted by file name.
    QList<QByteArray> mailbox() const;
    // The server's log: one "pop3-login: Login" line per logon, ending in ", TLS, ..." when
    // the session ran over TLS.
    QByteArray log() const;

private:
    QString folder_;
    int port_ = 0;
    int delivered_ = 0;
    ServerProcess process_;
};

// A proxy in front of a POP3 server that notes every client command and can drop the
// connection (both sides) once the server's answer to a DELE has reached the client.
class Pop3Proxy {
public:
    enum class Mode { Pass, DropAfterDele };

    Pop3Proxy(int upstreamPort, Mode mode);
    ~Pop3Proxy();

    bool started() const { return port_ > 0; }
    QString address() const;
    // The client commands in order, each as "<connection number> <command line>".
    QStringList commands() const;

private:
    QString folder_;
    int port_ = 0;
    ServerProcess process_;
};

// A port on 127.0.0.1 that nothing listens on now.
int unusedPort();

} // namespace testsupport
