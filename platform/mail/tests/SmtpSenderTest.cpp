// Sending over SMTP to a real server on 127.0.0.1: what the server receives, the status of the
// failures that happen before any server is reached, TLS with certificates the test made, a
// server that never answers, and a mail cancelled on its way.
#include "platform/mail/SmtpSender.h"

#include "platform/mail/MailServer.h"
#include "platform/mail/MimeMessage.h"
#include "support/MailServers.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace platform::mail {
namespace {

using testsupport::ServerTls;
using testsupport::SmtpServer;
using testsupport::TestCertificates;

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

// Every byte value, so that an encoding that drops or alters one shows.
QByteArray binaryContent() {
    QByteArray bytes;
    for (int round = 0; round < 40; ++round)
        for (int value = 0; value < 256; ++value)
            bytes += static_cast<char>(value);
    bytes += "\r\n.\r\n..\n.";
    return bytes;
}

TEST(SmtpSender, MailArrivesWithItsTextsAndOneByteIdenticalAttachment) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    const QByteArray content = binaryContent();
    const QString path = writeFile(testsupport::freshDir() + QStringLiteral("/Prévision été.xlsx"), content);

    const SmtpMail mail{server.address(),
                        QStringLiteral("admin@example.org"),
                        QStringLiteral("ann@example.org"),
                        QStringLiteral("Budget  Due Date is 31/03/2025 – Zürich"),
                        QStringLiteral("Please fill in.User file is ") + path,
                        path};
    ASSERT_EQ(smtp::kSent, sendSmtpMail(mail));

    const QList<QByteArray> received = server.messages();
    ASSERT_EQ(1, received.size());
    EXPECT_TRUE(
        received.first().startsWith("X-MailFrom: admin@example.org\r\nX-RcptTo: ann@example.org\r\n"));
    const std::optional<ReceivedMessage> parsed = parseMessage(received.first());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(QStringLiteral("admin@example.org"), parsed->senderAddress);
    EXPECT_EQ(mail.subject, parsed->subject);
    EXPECT_EQ(mail.body, parsed->textBody.trimmed());
    ASSERT_EQ(1, parsed->attachments.size());
    EXPECT_EQ(QStringLiteral("Prévision été.xlsx"), parsed->attachments.first().name);
    EXPECT_EQ(content, parsed->attachments.first().data);
}

TEST(SmtpSender, MailWithoutAttachmentCarriesOnlyItsText) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    ASSERT_EQ(smtp::kSent, sendSmtpMail({server.address(),
                                         QStringLiteral("a@example.org"),
                                         QStringLiteral("b@example.org"),
                                         QString(),
                                         QStringLiteral("Hello"),
                                         {}}));
    const QList<QByteArray> received = server.messages();
    ASSERT_EQ(1, received.size());
    const std::optional<ReceivedMessage> parsed = parseMessage(received.first());
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->attachments.isEmpty());
    EXPECT_EQ(QStringLiteral("Hello"), parsed->textBody.trimmed());
}

// A session sends its mails over one connection, each in its own transaction with its own
// status: a refused recipient fails that mail alone (libcurl gives up that connection, and the
// next mail connects again); a mail outside the session connects anew.
TEST(SmtpSender, ASessionSendsItsMailsOverOneConnectionEachWithItsOwnStatus) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    const auto mailTo = [&](const char* recipient) {
        return SmtpMail{
            server.address(),         QStringLiteral("admin@example.org"), QString::fromLatin1(recipient),
            QStringLiteral("Budget"), QStringLiteral("Please fill in."),   {}};
    };
    {
        SmtpSession session;
        EXPECT_EQ(smtp::kSent, session.send(mailTo("ann@example.org")));
        EXPECT_EQ(smtp::kSent, session.send(mailTo("bob@example.org")));
        EXPECT_EQ(smtp::kSent, session.send(mailTo("cy@example.org")));
        EXPECT_EQ(smtp::kRecipientRejected, session.send(mailTo("refused@example.org")));
        EXPECT_EQ(smtp::kSent, session.send(mailTo("dan@example.org")));
    }
    EXPECT_EQ(smtp::kSent, sendSmtpMail(mailTo("eve@example.org")));

    QStringList received;
    for (const QByteArray& message : server.messages()) {
        const qsizetype at = message.indexOf("X-Connection: ") + 14;
        received << SmtpServer::recipientOf(message) + QStringLiteral(" on ") +
                        QString::fromLatin1(message.mid(at, message.indexOf("\r\n", at) - at));
    }
    ASSERT_EQ(received.size(), 5);
    EXPECT_EQ(received.mid(0, 3),
              (QStringList{"ann@example.org on 1", "bob@example.org on 1", "cy@example.org on 1"}));
    EXPECT_TRUE(received[3].startsWith(QStringLiteral("dan@example.org on "))) << received[3].toStdString();
    EXPECT_NE(received[4], QStringLiteral("eve@example.org on 1"));
}

// Failures found before any connection: the server, listening, must see nothing.
TEST(SmtpSender, RefusesBeforeConnectingWhenTheAttachmentOrServerIsMissing) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    const QString missing = testsupport::freshDir() + QStringLiteral("/gone.xlsx");
    const struct {
        QString server;
        QString attachment;
        int status;
    } cases[] = {
        {server.address(), missing, smtp::kAttachmentMissing},
        {server.address(), testsupport::freshDir(), smtp::kAttachmentMissing}, // a folder is no file
        {QString(), QString(), smtp::kNoServer},
        {QStringLiteral("  "), QString(), smtp::kNoServer},
        {QStringLiteral("127.0.0.1/x@evil"), QString(), smtp::kHostUnknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.status,
                  sendSmtpMail({c.server, QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                                QStringLiteral("s"), QStringLiteral("b"), c.attachment}))
            << c.server.toStdString() << " " << c.attachment.toStdString();
    }
    EXPECT_TRUE(server.messages().isEmpty());
}

// A line break in an address would put a command line of its own into the conversation.
TEST(SmtpSender, InjectedSenderOrRecipientIsRefusedBeforeAnythingGoesOnTheWire) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    const QString good = QStringLiteral("ann@example.org");
    const QString injected = QStringLiteral("ann@example.org>\r\nRCPT TO:<leak@evil.example");
    const struct {
        QString sender;
        QString recipient;
        int status;
    } cases[] = {
        {injected, good, smtp::kSenderRejected},
        {QStringLiteral("admin@example.org\nRSET"), good, smtp::kSenderRejected},
        {good, injected, smtp::kRecipientRejected},
        {good, QStringLiteral("Ann <ann@example.org>"), smtp::kRecipientRejected},
        {good, QString(), smtp::kRecipientRejected},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            c.status,
            sendSmtpMail(
                {server.address(), c.sender, c.recipient, QStringLiteral("s"), QStringLiteral("b"), {}}))
            << c.sender.toStdString() << " " << c.recipient.toStdString();
    EXPECT_TRUE(server.messages().isEmpty());
}

// Linux file names may hold line breaks; the attachment's header must not.
TEST(SmtpSender, AttachmentNameWithALineBreakGoesOutWithoutIt) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    const QString path =
        writeFile(testsupport::freshDir() + QStringLiteral("/Sales\r\nX-Injected: yes.xlsx"), "figures");
    ASSERT_EQ(
        smtp::kSent,
        sendSmtpMail({server.address(), QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                      QStringLiteral("Budget\r\nBcc: x@evil"), QStringLiteral("b"), path}));
    const QList<QByteArray> received = server.messages();
    ASSERT_EQ(1, received.size());
    EXPECT_FALSE(received.first().contains("\nX-Injected")) << received.first().constData();
    EXPECT_FALSE(received.first().contains("\nBcc:")) << received.first().constData();
    const std::optional<ReceivedMessage> parsed = parseMessage(received.first());
    ASSERT_TRUE(parsed);
    ASSERT_EQ(1, parsed->attachments.size());
    EXPECT_EQ(QStringLiteral("Sales__X-Injected: yes.xlsx"), parsed->attachments.first().name);
    EXPECT_EQ(QByteArray("figures"), parsed->attachments.first().data);
    EXPECT_EQ(QStringLiteral("Budget  Bcc: x@evil"), parsed->subject);
}

// The server offers STARTTLS with a certificate of the test's own authority: the mail goes over
// TLS when that authority is trusted, and not at all when the check fails.
TEST(SmtpSender, TlsIsUsedWhenOfferedAndAFailedCheckSendsNothing) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.made());
    const QString authority = certificates.authorityFile();
    const struct {
        const char* name;
        TestCertificates::Name certificate;
        QString authorityFile;
        int status;
        const char* reason; // part of libcurl's explanation
    } cases[] = {
        {"trusted", TestCertificates::Name::Loopback, authority, smtp::kSent, ""},
        {"unknown authority", TestCertificates::Name::Loopback, QString(), smtp::kUntrustedServer,
         "certificate"},
        {"other host", TestCertificates::Name::OtherHost, authority, smtp::kUntrustedServer, "127.0.0.1"},
        {"unreadable authority file", TestCertificates::Name::Loopback,
         authority + QStringLiteral(".missing"), smtp::kUntrustedServer, ".missing"},
    };
    for (const auto& c : cases) {
        SmtpServer server(SmtpServer::Mode::Accept, ServerTls{certificates.certificateFile(c.certificate),
                                                              certificates.keyFile(c.certificate)});
        ASSERT_TRUE(server.started()) << c.name;
        ConnectionOptions options;
        options.extraAuthorityFile = c.authorityFile;
        QString failure;
        EXPECT_EQ(c.status, sendSmtpMail({server.address(),
                                          QStringLiteral("a@example.org"),
                                          QStringLiteral("b@example.org"),
                                          QStringLiteral("s"),
                                          QStringLiteral("b"),
                                          {}},
                                         options, &failure))
            << c.name << ": " << failure.toStdString();
        EXPECT_TRUE(failure.contains(QString::fromLatin1(c.reason)))
            << c.name << ": " << failure.toStdString();
        const QList<QByteArray> received = server.messages();
        if (c.status == smtp::kSent) {
            ASSERT_EQ(1, received.size()) << c.name;
            EXPECT_TRUE(received.first().contains("X-Tls: yes\r\n")) << c.name;
        } else {
            EXPECT_TRUE(received.isEmpty()) << c.name;
        }
    }
}

// A server that accepts the connection and never says a word is given up after the time set;
// Cancel aborts the mail long before that.
TEST(SmtpSender, SilentServerIsGivenUpAndCancelAbortsTheMailInFlight) {
    SmtpServer silent(SmtpServer::Mode::Silent);
    ASSERT_TRUE(silent.started());
    const SmtpMail mail{silent.address(),
                        QStringLiteral("a@example.org"),
                        QStringLiteral("b@example.org"),
                        QStringLiteral("s"),
                        QStringLiteral("b"),
                        {}};
    ConnectionOptions quick;
    quick.timeoutSeconds = 1;
    EXPECT_EQ(smtp::kBadResponse, sendSmtpMail(mail, quick));

    ConnectionOptions patient;
    patient.timeoutSeconds = 60;
    int polls = 0;
    patient.cancelled = [&polls] { return ++polls == 5; };
    EXPECT_EQ(smtp::kCancelled, sendSmtpMail(mail, patient));
    EXPECT_EQ(5, polls);
}

TEST(MailServerText, GivesTheUrlOrNothing) {
    const struct {
        const char* text;
        std::optional<QByteArray> url;
    } cases[] = {
        {"mail.example.org", QByteArray("smtp://mail.example.org:25/")},
        {" mail.example.org:2525 ", QByteArray("smtp://mail.example.org:2525/")},
        {"127.0.0.1:1025", QByteArray("smtp://127.0.0.1:1025/")},
        {"[::1]:26", QByteArray("smtp://[::1]:26/")},
        {"", std::nullopt},
        {"host:0", std::nullopt},
        {"host:70000", std::nullopt},
        {"host:", std::nullopt},
        {"user@host", std::nullopt},
        {"host/path", std::nullopt},
        {"host?x", std::nullopt},
        {"-host", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.url, serverUrl(QString::fromLatin1(c.text), "smtp", 25)) << c.text;
}

} // namespace
} // namespace platform::mail
