// A POP3 session with a real dovecot on 127.0.0.1: counting and fetching, deletions that the
// server carries out only at QUIT, the refusals of connecting and logging on, TLS with
// certificates the test made, a machine without any network, a message that another client
// deleted meanwhile, and the identifiers of messages that last from session to session.
#include "platform/mail/Pop3Mailbox.h"

#include "support/MailServers.h"
#include "support/QtPrinters.h"

#include <QSet>
#include <gtest/gtest.h>
#include <sched.h>

namespace platform::mail {
namespace {

using testsupport::Pop3Server;
using testsupport::ServerTls;
using testsupport::TestCertificates;

QByteArray note(int n) {
    return "From: user@example.org\r\nSubject: note " + QByteArray::number(n) + "\r\n\r\nbody " +
           QByteArray::number(n) + "\r\n.starts with a dot\r\n";
}

TEST(Pop3Mailbox, FetchesEveryMessageAndDeletesOnlyAtQuit) {
    Pop3Server server;
    ASSERT_TRUE(server.started());
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(server.deliver(note(n)));

    Pop3Mailbox mailbox(server.address(), Pop3Server::kUser, Pop3Server::kPassword);
    ASSERT_EQ(pop3::kOk, mailbox.connect());
    ASSERT_EQ(3, mailbox.messageCount());
    for (int n = 1; n <= 3; ++n) {
        QByteArray fetched;
        ASSERT_EQ(pop3::kOk, mailbox.retrieve(n, fetched));
        EXPECT_TRUE(fetched.contains("Subject: note " + QByteArray::number(n))) << n;
        EXPECT_TRUE(fetched.contains("\r\n.starts with a dot\r\n")) << n; // dot-stuffing undone
    }
    QByteArray none;
    EXPECT_EQ(pop3::kNoSuchMessage, mailbox.retrieve(4, none));

    ASSERT_EQ(pop3::kOk, mailbox.remove(1));
    ASSERT_EQ(pop3::kOk, mailbox.remove(3));
    EXPECT_EQ(3, server.mailbox().size()); // marked, not yet deleted
    ASSERT_EQ(pop3::kOk, mailbox.quit());
    const QList<QByteArray> left = server.mailbox();
    ASSERT_EQ(1, left.size());
    EXPECT_TRUE(left.first().contains("Subject: note 2"));
    EXPECT_FALSE(mailbox.connected());
    EXPECT_EQ(pop3::kNotConnected, mailbox.remove(2));
}

// Each message keeps its identifier from session to session, whatever its number; RSET takes
// the session's marks back, and only what is marked again goes at QUIT.
TEST(Pop3Mailbox, IdentifiersLastAndMarksCanBeTakenBack) {
    Pop3Server server;
    ASSERT_TRUE(server.started());
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(server.deliver(note(n)));
    QStringList first(3);
    {
        Pop3Mailbox mailbox(server.address(), Pop3Server::kUser, Pop3Server::kPassword);
        ASSERT_EQ(pop3::kOk, mailbox.connect());
        for (int n = 1; n <= 3; ++n)
            ASSERT_EQ(pop3::kOk, mailbox.uniqueId(n, first[n - 1]));
        EXPECT_EQ(3, QSet<QString>(first.begin(), first.end()).size()) << first.join(u' ').toStdString();
        EXPECT_FALSE(first.contains(QString()));
        ASSERT_EQ(pop3::kOk, mailbox.remove(1));
        ASSERT_EQ(pop3::kOk, mailbox.remove(2));
        ASSERT_EQ(pop3::kOk, mailbox.reset());
        ASSERT_EQ(pop3::kOk, mailbox.remove(1));
        ASSERT_EQ(pop3::kOk, mailbox.quit());
    }
    ASSERT_EQ(2, server.mailbox().size());
    Pop3Mailbox again(server.address(), Pop3Server::kUser, Pop3Server::kPassword);
    ASSERT_EQ(pop3::kOk, again.connect());
    QString id;
    ASSERT_EQ(pop3::kOk, again.uniqueId(1, id));
    EXPECT_EQ(first[1], id) << "the second message is the first now, under the same identifier";
    ASSERT_EQ(pop3::kOk, again.uniqueId(2, id));
    EXPECT_EQ(first[2], id);
    EXPECT_EQ(pop3::kNoSuchMessage, again.uniqueId(3, id));
    again.quit();
}

TEST(Pop3Mailbox, RefusedConnectionsTouchNoMessage) {
    Pop3Server server;
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.deliver(note(1)));
    const struct {
        QString server;
        QString password;
        int status;
    } cases[] = {
        {server.address(), QStringLiteral("wrong"), pop3::kLogonRefused},
        {QStringLiteral("127.0.0.1:%1").arg(testsupport::unusedPort()), Pop3Server::kPassword,
         pop3::kConnectFailed},
        {QStringLiteral("no-such-host.invalid"), Pop3Server::kPassword, pop3::kHostUnknown},
        {QStringLiteral("bad host"), Pop3Server::kPassword, pop3::kHostUnknown},
    };
    for (const auto& c : cases) {
        Pop3Mailbox mailbox(c.server, Pop3Server::kUser, c.password);
        EXPECT_EQ(c.status, mailbox.connect()) << c.server.toStdString();
        EXPECT_FALSE(mailbox.connected());
        EXPECT_EQ(pop3::kNotConnected, mailbox.remove(1));
    }
    EXPECT_EQ(1, server.mailbox().size());
}

// The server offers STLS with a certificate of the test's own authority: the session runs over
// TLS when that authority is trusted; a failed check logs nothing on and touches nothing.
TEST(Pop3Mailbox, TlsIsUsedWhenOfferedAndAFailedCheckLogsNothingOn) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.made());
    const struct {
        const char* name;
        TestCertificates::Name certificate;
        bool trustAuthority;
        int status;
    } cases[] = {
        {"trusted", TestCertificates::Name::Loopback, true, pop3::kOk},
        {"unknown authority", TestCertificates::Name::Loopback, false, pop3::kUntrustedServer},
        {"other host", TestCertificates::Name::OtherHost, true, pop3::kUntrustedServer},
    };
    for (const auto& c : cases) {
        Pop3Server server(
            ServerTls{certificates.certificateFile(c.certificate), certificates.keyFile(c.certificate)});
        ASSERT_TRUE(server.started()) << c.name;
        ASSERT_TRUE(server.deliver(note(1)));
        ConnectionOptions options;
        if (c.trustAuthority)
            options.extraAuthorityFile = certificates.authorityFile();
        Pop3Mailbox mailbox(server.address(), Pop3Server::kUser, Pop3Server::kPassword, options);
        EXPECT_EQ(c.status, mailbox.connect()) << c.name << ": " << mailbox.failureText().toStdString();
        if (c.status == pop3::kOk) {
            QByteArray fetched;
            EXPECT_EQ(pop3::kOk, mailbox.retrieve(1, fetched));
            EXPECT_TRUE(fetched.contains("Subject: note 1"));
            EXPECT_EQ(pop3::kOk, mailbox.quit());
            EXPECT_TRUE(server.log().contains(", TLS")) << server.log().constData();
        } else {
            EXPECT_FALSE(mailbox.failureText().isEmpty()) << c.name;
            EXPECT_FALSE(server.log().contains("Login:")) << c.name << server.log().constData();
        }
        EXPECT_EQ(1, server.mailbox().size()) << c.name;
    }
}

// Without any network (a network namespace of its own, its loopback down), connecting says so
// rather than naming a host or a refused connection. Runs in a child process.
TEST(Pop3Mailbox, WithoutAnyNetworkTheConnectionCannotBeMadeAtAll) {
    EXPECT_EXIT(
        {
            if (unshare(CLONE_NEWNET) != 0)
                _exit(2);
            Pop3Mailbox byAddress(QStringLiteral("127.0.0.1:110"), Pop3Server::kUser, Pop3Server::kPassword);
            Pop3Mailbox byName(QStringLiteral("mail.example.org"), Pop3Server::kUser, Pop3Server::kPassword);
            _exit(byAddress.connect() == pop3::kNoNetwork && byName.connect() == pop3::kNoNetwork ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Another client deletes a message while this session is open: fetching or deleting it answers
// the status of a deleted message, the session goes on, and the others still come.
TEST(Pop3Mailbox, AMessageAnotherClientDeletedIsReportedAsDeleted) {
    Pop3Server server;
    ASSERT_TRUE(server.started());
    for (int n = 1; n <= 2; ++n)
        ASSERT_TRUE(server.deliver(note(n)));
    Pop3Mailbox ours(server.address(), Pop3Server::kUser, Pop3Server::kPassword);
    ASSERT_EQ(pop3::kOk, ours.connect());
    {
        Pop3Mailbox other(server.address(), Pop3Server::kUser, Pop3Server::kPassword);
        ASSERT_EQ(pop3::kOk, other.connect());
        ASSERT_EQ(pop3::kOk, other.remove(1));
        ASSERT_EQ(pop3::kOk, other.quit());
    }
    QByteArray fetched;
    EXPECT_EQ(pop3::kNoSuchMessage, ours.retrieve(1, fetched))
        << ours.failureText().toStdString() << server.log().constData();
    EXPECT_TRUE(fetched.isEmpty());
    EXPECT_TRUE(ours.connected());
    EXPECT_EQ(pop3::kOk, ours.retrieve(2, fetched));
    EXPECT_TRUE(fetched.contains("Subject: note 2"));
    EXPECT_EQ(pop3::kOk, ours.quit());
}

// The connection drops right after the server confirmed a DELE: the session is over. No other
// connection is opened and no further command is sent, so the server, which carries out
// deletions only at QUIT, keeps every message.
TEST(Pop3Mailbox, ADroppedConnectionEndsTheSessionWithoutAnotherOne) {
    Pop3Server server;
    ASSERT_TRUE(server.started());
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(server.deliver(note(n)));
    testsupport::Pop3Proxy proxy(server.port(), testsupport::Pop3Proxy::Mode::DropAfterDele);
    ASSERT_TRUE(proxy.started());
    {
        Pop3Mailbox mailbox(proxy.address(), Pop3Server::kUser, Pop3Server::kPassword);
        ASSERT_EQ(pop3::kOk, mailbox.connect());
        QByteArray fetched;
        ASSERT_EQ(pop3::kOk, mailbox.retrieve(1, fetched));
        EXPECT_EQ(pop3::kOk, mailbox.remove(1));
        EXPECT_EQ(pop3::kConnectionLost, mailbox.retrieve(2, fetched));
        EXPECT_FALSE(mailbox.connected());
        EXPECT_EQ(pop3::kNotConnected, mailbox.remove(2));
        EXPECT_EQ(pop3::kNotConnected, mailbox.quit());
    }
    const QStringList commands = proxy.commands();
    ASSERT_FALSE(commands.isEmpty());
    EXPECT_EQ(QStringLiteral("1 DELE 1"), commands.last()) << commands.join(QLatin1Char('|')).toStdString();
    for (const QString& command : commands)
        EXPECT_TRUE(command.startsWith(QStringLiteral("1 "))) << command.toStdString();
    EXPECT_EQ(3, server.mailbox().size());
}

} // namespace
} // namespace platform::mail
