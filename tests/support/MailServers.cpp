// See MailServers.h. The server scripts live in tests/mailservers; the POP3 server's folder is
// made in the system's temporary folder, since dovecot runs as nobody when the tests run as root
// and every parent of its folder must let nobody through.
#include "support/MailServers.h"

#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

QString scriptPath(const QString& name) {
    const char* src = std::getenv("LUMIVANE_SOURCE_DIR");
    return QString::fromLocal8Bit(src ? src : ".") + QStringLiteral("/tests/mailservers/") + name;
}

bool listening(int port) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    return socket.waitForConnected(200);
}

bool waitFor(const std::function<bool()>& ready, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        if (ready())
            return true;
        QThread::msleep(50);
    }
    return ready();
}

// A folder in the system's temporary folder that every user may pass through.
QString openTempFolder(const QString& hint) {
    QString path = QDir::tempPath() + QStringLiteral("/lumivane-%1-XXXXXX").arg(hint);
    QByteArray pattern = path.toLocal8Bit();
    if (!mkdtemp(pattern.data()))
        return {};
    path = QString::fromLocal8Bit(pattern);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    return path;
}

QList<QByteArray> filesIn(const QStringList& folders, const QString& pattern) {
    QStringList paths;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList({pattern}, QDir::Files))
            paths << dir.filePath(name);
    }
    std::sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });
    QList<QByteArray> contents;
    for (const QString& path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            contents << file.readAll();
    }
    return contents;
}

} // namespace

// ---------------------------------------------------------------------------------------------

ServerProcess::~ServerProcess() {
    stop();
}

bool ServerProcess::start(const QString& program, const QStringList& arguments, const QString& logPath) {
    process_ = std::make_unique<QProcess>();
    process_->setStandardInputFile(QProcess::nullDevice());
    process_->setStandardOutputFile(logPath);
    process_->setProcessChannelMode(QProcess::MergedChannels);
    // A process group of its own, so that stopping reaches every process the server forks.
    process_->setChildProcessModifier([] { setpgid(0, 0); });
    process_->start(program, arguments);
    if (!process_->waitForStarted(5000))
        return false;
    pid_ = process_->processId();
    return true;
}

bool ServerProcess::running() const {
    return process_ && process_->state() == QProcess::Running;
}

void ServerProcess::stop() {
    if (!process_)
        return;
    if (pid_ > 0) {
        kill(static_cast<pid_t>(-pid_), SIGTERM);
        if (!process_->waitForFinished(1500))
            kill(static_cast<pid_t>(-pid_), SIGKILL);
        // Whatever of the group outlived its leader goes too.
        kill(static_cast<pid_t>(-pid_), SIGKILL);
        process_->waitForFinished(3000);
    }
    process_.reset();
    pid_ = 0;
}

namespace {

// A python server script that writes the port it listens on into outFolder/port once it listens;
// answers that port, or 0 when it did not start.
int startWithPortFile(ServerProcess& process, const QStringList& arguments, const QString& logPath,
                      const QString& outFolder) {
    if (!process.start(python(), arguments, logPath))
        return 0;
    const QString portFile = outFolder + QStringLiteral("/port");
    if (!waitFor([&] { return QFile::exists(portFile) || !process.running(); }, 15000))
        return 0;
    QFile file(portFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------

int unusedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const int port = probe.serverPort();
    probe.close();
    return port;
}

// ---------------------------------------------------------------------------------------------

TestCertificates::TestCertificates()
    : folder_(freshDir(QStringLiteral("certificates"))) {
    const QString openssl = QStringLiteral("openssl");
    const auto run = [&](const QStringList& args) {
        const ProgramResult result = runProgram(openssl, args, 60000);
        return result.finished && result.exitCode == 0;
    };
    const QString ca = folder_ + QStringLiteral("/ca");
    const QStringList ecKey{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    if (!run(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey +
             QStringList{QStringLiteral("-keyout"), ca + QStringLiteral(".key"), QStringLiteral("-out"),
                         ca + QStringLiteral(".pem"), QStringLiteral("-days"), QStringLiteral("2"),
                         QStringLiteral("-subj"), QStringLiteral("/CN=Lumivane Test Authority"),
                         QStringLiteral("-addext"), QStringLiteral("basicConstraints=critical,CA:TRUE"),
                         QStringLiteral("-addext"), QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")}))
        return;
    const QList<std::pair<Name, QString>> names{
        {Name::Loopback, QStringLiteral("IP:127.0.0.1,DNS:localhost")},
        {Name::OtherHost, QStringLiteral("DNS:mail.example.org")}};
    for (const auto& [name, subjectAltName] : names) {
        const QString stem = certificateFile(name).chopped(4);
        const QString extensions = stem + QStringLiteral(".ext");
        QFile ext(extensions);
        if (!ext.open(QIODevice::WriteOnly))
            return;
        ext.write("basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\nsubjectAltName=" +
                  subjectAltName.toLatin1() + '\n');
        ext.close();
        if (!run(QStringList{QStringLiteral("req")} + ecKey +
                 QStringList{QStringLiteral("-keyout"), keyFile(name), QStringLiteral("-out"),
                             stem + QStringLiteral(".csr"), QStringLiteral("-subj"),
                             QStringLiteral("/CN=Lumivane test mail server")}) ||
            !run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                  stem + QStringLiteral(".csr"), QStringLiteral("-CA"), ca + QStringLiteral(".pem"),
                  QStringLiteral("-CAkey"), ca + QStringLiteral(".key"), QStringLiteral("-CAcreateserial"),
                  QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), extensions,
                  QStringLiteral("-out"), certificateFile(name)}))
            return;
        // The servers read them as the user they run as.
        QFile::setPermissions(keyFile(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    }
    made_ = true;
}

QString TestCertificates::authorityFile() const {
    return folder_ + QStringLiteral("/ca.pem");
}

QString TestCertificates::certificateFile(Name name) const {
    return folder_ +
           (name == Name::Loopback ? QStringLiteral("/loopback.pem") : QStringLiteral("/other.pem"));
}

QString TestCertificates::keyFile(Name name) const {
    return folder_ +
           (name == Name::Loopback ? QStringLiteral("/loopback.key") : QStringLiteral("/other.key"));
}

// ---------------------------------------------------------------------------------------------

SmtpServer::SmtpServer(Mode mode, const std::optional<ServerTls>& tls)
    : folder_(freshDir(QStringLiteral("smtp"))) {
    static const char* const kModes[] = {"accept", "reject-mail", "reject-rcpt", "reject-data", "silent"};
    const QString out = folder_ + QStringLiteral("/messages");
    QStringList arguments{scriptPath(QStringLiteral("smtp_server.py")), QStringLiteral("0"), out,
                          QString::fromLatin1(kModes[static_cast<int>(mode)])};
    if (tls)
        arguments << tls->certificate << tls->key;
    port_ = startWithPortFile(process_, arguments, folder_ + QStringLiteral("/smtp.log"), out);
}

SmtpServer::~SmtpServer() {
    process_.stop();
}

QString SmtpServer::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

QString SmtpServer::recipientOf(const QByteArray& message) {
    static const QByteArray kField("X-RcptTo: ");
    const qsizetype at = message.indexOf(kField);
    if (at < 0)
        return {};
    const qsizetype from = at + kField.size();
    return QString::fromLatin1(message.mid(from, message.indexOf("\r\n", from) - from)).trimmed();
}

QList<QByteArray> SmtpServer::messages() const {
    return filesIn({folder_ + QStringLiteral("/messages")}, QStringLiteral("*.eml"));
}

// ---------------------------------------------------------------------------------------------

Pop3Server::Pop3Server(const std::optional<ServerTls>& tls)
    : folder_(openTempFolder(QStringLiteral("pop3"))) {
    if (folder_.isEmpty())
        return;
    // A port taken meanwhile by another test makes dovecot fail; a second port is tried then.
    for (int attempt = 0; attempt < 3 && port_ == 0; ++attempt) {
        const int port = unusedPort();
        QStringList arguments{folder_ + QStringLiteral("/dc"), QString::number(port)};
        if (tls)
            arguments << tls->certificate << tls->key;
        if (!process_.start(scriptPath(QStringLiteral("start_dovecot.sh")), arguments,
                            folder_ + QStringLiteral("/dovecot.out")))
            continue;
        if (waitFor([&] { return !process_.running() || listening(port); }, 15000) && process_.running())
            port_ = port;
        else
            process_.stop();
    }
}

Pop3Server::~Pop3Server() {
    process_.stop();
    if (!folder_.isEmpty())
        QDir(folder_).removeRecursively();
}

QString Pop3Server::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

bool Pop3Server::deliver(const QByteArray& message) {
    const QString maildir = folder_ + QStringLiteral("/dc/home/robot/Maildir");
    const QString name =
        QStringLiteral("%1.M%2P%3.test").arg(1700000000 + delivered_).arg(delivered_).arg(getpid());
    ++delivered_;
    QFile file(maildir + QStringLiteral("/tmp/") + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size())
        return false;
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // The server reads and moves its mail as the user it runs as.
    if (getuid() == 0) {
        const struct passwd* nobody = getpwnam("nobody");
        const QByteArray path = file.fileName().toLocal8Bit();
        if (!nobody || chown(path.constData(), nobody->pw_uid, nobody->pw_gid) != 0)
            return false;
    }
    return QFile::rename(file.fileName(), maildir + QStringLiteral("/new/") + name);
}

Pop3Proxy::Pop3Proxy(int upstreamPort, Mode mode)
    : folder_(freshDir(QStringLiteral("pop3proxy"))) {
    port_ =
        startWithPortFile(process_,
                          {scriptPath(QStringLiteral("pop3_proxy.py")), QStringLiteral("0"), folder_,
                           QString::number(upstreamPort),
                           mode == Mode::Pass ? QStringLiteral("pass") : QStringLiteral("drop-after-dele")},
                          folder_ + QStringLiteral("/proxy.log"), folder_);
}

Pop3Proxy::~Pop3Proxy() {
    process_.stop();
}

QString Pop3Proxy::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

QStringList Pop3Proxy::commands() const {
    QFile file(folder_ + QStringLiteral("/commands"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray Pop3Server::log() const {
    QFile file(folder_ + QStringLiteral("/dc/dovecot.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> Pop3Server::mailbox() const {
    const QString maildir = folder_ + QStringLiteral("/dc/home/robot/Maildir");
    return filesIn({maildir + QStringLiteral("/new"), maildir + QStringLiteral("/cur")}, QStringLiteral("*"));
}

} // namespace testsupport
