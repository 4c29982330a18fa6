// Sending over SMTP to a real server on 127.0.0.1: what the server receives, and the status
// of the failures that happen before any server is reached.
#include "platform/mail/SmtpSender.h"

#include "platform/mail/MailServer.h"
#include "platform/mail/MimeMessage.h"
#include "support/MailServers.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace platform::mail {
namespace {

using testsupport::SmtpServer;

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
