// A POP3 session with a real dovecot on 127.0.0.1: counting and fetching, deletions that the
// server carries out only at QUIT, and the refusals of connecting and logging on.
#include "platform/mail/Pop3Mailbox.h"

#include "support/MailServers.h"

#include <gtest/gtest.h>

namespace platform::mail {
namespace {

using testsupport::Pop3Server;

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

} // namespace
} // namespace platform::mail
