// Mailing user files through a real SMTP server on 127.0.0.1: the status texts of every
// failure the server or the network can cause, the send-all run with its stamps, a server that
// never answers and the wait window's Cancel, TLS with the organisation's own authority, and
// the compose path.
#include "mail/SendMail.h"

#include "MailFixture.h"
#include "core/RunGuard.h"
#include "core/frmWait.h"
#include "mail/MailConnection.h"
#include "mail/MailContext.h"
#include "mail/MailServices.h"
#include "mail/frmCompose.h"
#include "mail/frmMail.h"
#include "platform/db/Connection.h"
#include "platform/mail/MimeMessage.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/StatusLine.h"
#include "support/MailServers.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace mailtest {
namespace {

using mail::frmMail;
using testsupport::ServerTls;
using testsupport::SmtpServer;
using testsupport::TestCertificates;

void setMailOption(const QString& key, const QString& value) {
    platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"), key, value);
}

class SendMail : public MailFixture {
protected:
    void TearDown() override {
        if (frmMail* window = frmMail::loaded()) {
            window->close();
            delete window;
        }
        MailFixture::TearDown();
    }

    frmMail& openWindow() {
        mail::ShowSendMail(nullptr);
        frmMail* window = frmMail::loaded();
        EXPECT_NE(nullptr, window);
        return *window;
    }

    static void chooseTexts(frmMail& window, const QString& subject, const QString& body) {
        window.panel()->cbxFrom()->setListIndex(0);
        window.panel()->cbxSubject()->setText(subject);
        window.panel()->cbxBodyText()->setText(body);
    }
};

TEST_F(SendMail, EveryFailureIsShownWithItsStatusText) {
    SmtpServer rejectMail(SmtpServer::Mode::RejectMail), rejectRcpt(SmtpServer::Mode::RejectRcpt),
        rejectData(SmtpServer::Mode::RejectData);
    ASSERT_TRUE(rejectMail.started() && rejectRcpt.started() && rejectData.started());
    const QString file = testsupport::freshDir() + QStringLiteral("/a.xlsx");
    QFile(file).open(QIODevice::WriteOnly);
    const struct {
        const char* what;
        QString server;
        QString attachment;
        QString text;
    } cases[] = {
        {"sender refused", rejectMail.address(), file,
         QStringLiteral(
             "Error 7 has occurred.  The from address was not formatted correctly or was rejected by the "
             "SMTP mail server. Some SMTP mail servers will only accept mail from particular addresses or "
             "domains. SMTP mail servers may also reject a from address if the server can not "
             "successfully do a reverse lookup on the from address.")},
        {"recipient refused", rejectRcpt.address(), file,
         QStringLiteral(
             "Error 8 has occurred.  An error was reported in response to a recipient address. The SMTP "
             "server may refuse to handle mail for unknown recipients.")},
        {"message refused", rejectData.address(), file,
         QStringLiteral(
             "Error 4 has occurred.  An error has occurred due to a problem with the message body or "
             "attachments.")},
        {"nothing listens", QStringLiteral("127.0.0.1:%1").arg(testsupport::unusedPort()), QString(),
         QStringLiteral("Error 9 has occurred.  There was an error connecting to the SMTP mail server.")},
        {"unknown host", QStringLiteral("no-such-host.invalid"), QString(),
         QStringLiteral("Error 17 has occurred.  Could not resolve host.")},
        {"missing attachment", rejectMail.address(), file + QStringLiteral(".gone"),
         QStringLiteral(
             "Error 10 has occurred.  There was an error opening a file. If you have specified file "
             "attachments, ensure that they exist and the you have access to them.")},
    };
    for (const auto& c : cases) {
        ui().clear();
        platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Settings"),
                                     QStringLiteral("SendError"));
        EXPECT_NE(0, mail::SendSmtpMail(c.server, QStringLiteral("admin@example.org"),
                                        QStringLiteral("ann@example.org"), QStringLiteral("Budget"),
                                        QStringLiteral("body"), c.attachment))
            << c.what;
        EXPECT_EQ(QStringList{c.text}, ui().messageTexts()) << c.what;
        EXPECT_EQ(QStringLiteral("Lumivane"), ui().asked().front().title) << c.what;
        EXPECT_EQ(QStringLiteral("1"), setting("Settings", "SendError")) << c.what;
    }
    EXPECT_EQ(QStringLiteral("An unknown error has occured.  Check your network connections and try again."),
              mail::SendStatusText(23));
}

// Ann and Joanne both contain "ann"; the user of exactly the name is the recipient. Bob has
// no address, so the run ends at his row with the rows before it mailed and stamped.
TEST_F(SendMail, SendAllMailsTheContextBudgetsTickedRowsAndStampsOnlyWhatWentOut) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"), server.address());
    addStockTexts(QStringLiteral("Budget"), QStringLiteral("Please fill in."));
    addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
    addUser(QStringLiteral("Joanne"), QStringLiteral("joanne@example.org"));
    addUser(QStringLiteral("Bob"), QString());
    QByteArray content("PK\x03\x04 figures \x00\xff", 17);
    const qint64 summary = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                       QStringLiteral("Summary.xlsx"), QStringLiteral("Ann"), true, content);
    const qint64 staff = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                     QStringLiteral("Staff.xlsx"), QStringLiteral("Bob"));
    const qint64 other = addUserFile(QStringLiteral("Sales2025"), QStringLiteral("Plan.xlsx"),
                                     QStringLiteral("Summary.xlsx"), QStringLiteral("Ann"));
    ui().acceptUnscriptedMessages();

    frmMail& window = openWindow();
    ASSERT_EQ(2, window.panel()->dtSendMail()->rowCount()); // Sales2025's Summary.xlsx is not listed
    chooseTexts(window, QStringLiteral("Budget"), QStringLiteral("Please fill in."));
    window.panel()->chkAddDueDate()->setChecked(true);
    window.panel()->chkAddFN()->setChecked(true);
    const QDate due(2030, 3, 31);
    window.panel()->setDueDate(due);
    window.cmdSendMail()->click();

    EXPECT_EQ(
        QStringList{QStringLiteral("The email address for Bob is missing.  Add information in Configure.")},
        ui().messageTexts());
    const QList<QByteArray> received = server.messages();
    ASSERT_EQ(1, received.size());
    EXPECT_TRUE(received.first().contains("X-RcptTo: ann@example.org\r\n"));
    const std::optional<platform::mail::ReceivedMessage> mail =
        platform::mail::parseMessage(received.first());
    ASSERT_TRUE(mail);
    EXPECT_EQ(QStringLiteral("Budget  Due Date is ") + mail::dueDateText(due), mail->subject);
    const QString path = userFilePath(QStringLiteral("Sales"), QStringLiteral("Summary.xlsx"));
    EXPECT_EQ(QStringLiteral("Please fill in.User file is ") + path, mail->textBody.trimmed());
    ASSERT_EQ(1, mail->attachments.size());
    EXPECT_EQ(QStringLiteral("Summary.xlsx"), mail->attachments.first().name);
    EXPECT_EQ(content, mail->attachments.first().data);

    EXPECT_FALSE(userFileValue(summary, QStringLiteral("Email_Sent")).isNull());
    EXPECT_EQ(QStringLiteral("2030-03-31 00:00:00"),
              userFileValue(summary, QStringLiteral("Due_Date")).toString());
    for (qint64 untouched : {staff, other}) {
        EXPECT_TRUE(userFileValue(untouched, QStringLiteral("Email_Sent")).isNull());
        EXPECT_TRUE(userFileValue(untouched, QStringLiteral("Due_Date")).isNull());
    }
    EXPECT_EQ(nullptr, core::frmWait::loaded());
}

// Rows ticked to send of which none goes with its file: the run asks first; No mails nothing,
// Yes mails the bodies alone. With one row going with its file nothing is asked. The status
// line counts the mails that went out.
TEST_F(SendMail, TickedRowsWithoutTheirFilesAreAskedAboutFirst) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"), server.address());
    addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
    addUser(QStringLiteral("Bob"), QStringLiteral("bob@example.org"));
    const qint64 first = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                     QStringLiteral("A.xlsx"), QStringLiteral("Ann"), false);
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("B.xlsx"),
                QStringLiteral("Bob"), false);
    frmMail& window = openWindow();
    chooseTexts(window, QStringLiteral("Budget"), QStringLiteral("Please fill in."));

    ui().answerMessages({platform::ui::Answer::No});
    window.cmdSendMail()->click();
    EXPECT_EQ(QStringList{QStringLiteral("No ticked row has Mail File ticked: 2 users will be mailed without "
                                         "their user file. Send anyway?")},
              ui().messageTexts());
    EXPECT_TRUE(server.messages().isEmpty());
    EXPECT_TRUE(userFileValue(first, QStringLiteral("Email_Sent")).isNull());

    ui().clear();
    ui().answerMessages({platform::ui::Answer::Yes});
    window.cmdSendMail()->click();
    EXPECT_EQ(1, ui().messageTexts().size());
    QList<QByteArray> received = server.messages();
    ASSERT_EQ(2, received.size());
    for (const QByteArray& message : received)
        EXPECT_TRUE(platform::mail::parseMessage(message)->attachments.isEmpty());
    EXPECT_EQ(QStringLiteral("2 mails sent"), platform::ui::lastStatusLine());

    ui().clear();
    window.panel()->dtSendMail()->editCell(0, mail::SendMailPanel::kMailFile, 1);
    window.cmdSendMail()->click();
    EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'\n').toStdString();
    received = server.messages();
    ASSERT_EQ(4, received.size());
    EXPECT_EQ(1, platform::mail::parseMessage(received[2])->attachments.size());
    EXPECT_EQ(QStringLiteral("2 mails sent"), platform::ui::lastStatusLine());
}

TEST_F(SendMail, FailedMailIsNotStampedAndUntickedRowsAreSkipped) {
    SmtpServer server(SmtpServer::Mode::RejectRcpt);
    ASSERT_TRUE(server.started());
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"), server.address());
    addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
    const qint64 refused = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                       QStringLiteral("A.xlsx"), QStringLiteral("Ann"));
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("B.xlsx"), QString());
    ui().acceptUnscriptedMessages();

    frmMail& window = openWindow();
    ASSERT_EQ(2, window.panel()->dtSendMail()->rowCount());
    window.panel()->dtSendMail()->setCellValue(1, mail::SendMailPanel::kSend,
                                               0); // the row without user is skipped
    chooseTexts(window, QStringLiteral("s"), QStringLiteral("b"));
    window.cmdSendMail()->click();

    ASSERT_EQ(1, ui().messageTexts().size());
    EXPECT_TRUE(ui().messageTexts().first().startsWith(QStringLiteral("Error 8 has occurred.  ")));
    EXPECT_TRUE(userFileValue(refused, QStringLiteral("Email_Sent")).isNull());
}

// The sent stamps of a run are written in one transaction, committed before every message:
// when Bob's address is found missing, the stamps of the mails sent before are on record for
// everyone and another program may write. Two mails commit as often as one.
TEST_F(SendMail, SentStampsAreOneTransactionCommittedBeforeEveryMessage) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"), server.address());
    addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
    addUser(QStringLiteral("Cid"), QStringLiteral("cid@example.org"));
    addUser(QStringLiteral("Bob"), QString());
    const qint64 ann = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                   QStringLiteral("A.xlsx"), QStringLiteral("Ann"));
    const qint64 cid = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                   QStringLiteral("B.xlsx"), QStringLiteral("Cid"));
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("C.xlsx"),
                QStringLiteral("Bob"));
    QStringList stampedAtMessage;
    bool freeAtMessage = false;
    ui().whileAsking([&] {
        for (const qint64 id : {ann, cid})
            stampedAtMessage << (userFileValue(id, QStringLiteral("Email_Sent")).isNull() ? "unsent"
                                                                                          : "sent");
        freeAtMessage = othersCanWrite();
    });

    frmMail& window = openWindow();
    ASSERT_EQ(3, window.panel()->dtSendMail()->rowCount());
    chooseTexts(window, QStringLiteral("Budget"), QStringLiteral("Please fill in."));
    const auto commitsOfRun = [&](int rows) {
        for (int row = 0; row < 3; ++row)
            window.panel()->dtSendMail()->setCellValue(row, mail::SendMailPanel::kSend, row < rows ? 1 : 0);
        const qint64 before = platform::db::Connection::commitCount();
        window.cmdSendMail()->click();
        return platform::db::Connection::commitCount() - before;
    };
    const qint64 one = commitsOfRun(1);
    EXPECT_TRUE(ui().asked().empty());
    EXPECT_EQ(commitsOfRun(2), one);
    EXPECT_TRUE(ui().asked().empty());

    execute("UPDATE UserFileTablesData SET Email_Sent = NULL");
    commitsOfRun(3);
    EXPECT_EQ(
        ui().messageTexts(),
        QStringList{QStringLiteral("The email address for Bob is missing.  Add information in Configure.")});
    EXPECT_EQ(stampedAtMessage, (QStringList{"sent", "sent"}));
    EXPECT_TRUE(freeAtMessage);
    EXPECT_EQ(server.messages().size(), 5);
}

TEST_F(SendMail, RefusedWithoutContextOrSenderAndWhileAnotherRunIsUnderWay) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"), server.address());
    addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("A.xlsx"),
                QStringLiteral("Ann"));
    frmMail& window = openWindow();

    ui().acceptUnscriptedMessages();
    window.panel()->cbxFrom()->setListIndex(-1); // no sender chosen
    window.cmdSendMail()->click();
    {
        const core::RunGuard::Token otherRun;
        window.panel()->cbxFrom()->setListIndex(0);
        window.cmdSendMail()->click();
        window.panel()->cmdCompose()->click();
    }
    core::gOptions->BudgetNameContext = QStringLiteral("nothing");
    window.cmdSendMail()->click();
    EXPECT_EQ(
        (QStringList{QStringLiteral("Select an admin as the 'From' sender."), core::RunGuard::kRefusedText,
                     core::RunGuard::kRefusedText, QStringLiteral("Set the Budget Context.")}),
        ui().messageTexts());
    EXPECT_TRUE(server.messages().isEmpty());
}

// A server that accepts the connection and never answers: each mail is given up after the time
// set, with status 18, and the run goes on; with a long time set, the wait window's Cancel
// aborts the mail in flight (status 20) and ends the run.
TEST_F(SendMail, SilentServerIsGivenUpAfterTheSetTimeAndCancelEndsTheRunAtOnce) {
    SmtpServer silent(SmtpServer::Mode::Silent);
    ASSERT_TRUE(silent.started());
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"), silent.address());
    addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
    addUser(QStringLiteral("Bob"), QStringLiteral("bob@example.org"));
    const qint64 first = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                     QStringLiteral("A.xlsx"), QStringLiteral("Ann"));
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("B.xlsx"),
                QStringLiteral("Bob"));
    ui().acceptUnscriptedMessages();
    frmMail& window = openWindow();
    chooseTexts(window, QStringLiteral("s"), QStringLiteral("b"));

    setMailOption(mail::kMailTimeoutKey, QStringLiteral("1"));
    window.cmdSendMail()->click();
    const QString noAnswer =
        QStringLiteral("Error 18 has occurred.  Connected but server sent back bad response.");
    EXPECT_EQ((QStringList{noAnswer, noAnswer}), ui().messageTexts());

    ui().clear();
    setMailOption(mail::kMailTimeoutKey, QStringLiteral("120"));
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [] {
        if (core::frmWait* wait = core::frmWait::loaded(); wait && wait->isVisible())
            wait->cmdCancelOps()->click();
    });
    canceller.start(200);
    window.cmdSendMail()->click();
    canceller.stop();
    EXPECT_EQ(
        QStringList{QStringLiteral("Error 20 has occurred.  Cancelled as a result of calling the Cancel() "
                                   "method.")},
        ui().messageTexts());
    EXPECT_TRUE(userFileValue(first, QStringLiteral("Email_Sent")).isNull());
    EXPECT_EQ(nullptr, core::frmWait::loaded());
}

// The outgoing server offers STARTTLS with a certificate of the organisation's own authority:
// named in the settings, the mail goes over TLS; not named, nothing is sent and the message
// names the server and the reason.
TEST_F(SendMail, TlsMailNeedsTheOrganisationsAuthorityAndAFailedCheckIsNamed) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.made());
    SmtpServer server(SmtpServer::Mode::Accept,
                      ServerTls{certificates.certificateFile(TestCertificates::Name::Loopback),
                                certificates.keyFile(TestCertificates::Name::Loopback)});
    ASSERT_TRUE(server.started());
    const auto send = [&] {
        return mail::SendSmtpMail(server.address(), QStringLiteral("admin@example.org"),
                                  QStringLiteral("ann@example.org"), QStringLiteral("s"), QStringLiteral("b"),
                                  QString());
    };
    EXPECT_NE(0, send());
    ASSERT_EQ(1, ui().messageTexts().size());
    const QString refusal = ui().messageTexts().first();
    EXPECT_TRUE(refusal.startsWith(QStringLiteral("The mail server ") + server.address() +
                                   QStringLiteral(" could not be reached securely: SSL certificate problem")))
        << refusal.toStdString();
    EXPECT_TRUE(refusal.endsWith(QStringLiteral(".  Nothing was sent."))) << refusal.toStdString();
    EXPECT_EQ(QStringLiteral("1"), setting("Settings", "SendError"));
    EXPECT_TRUE(server.messages().isEmpty());

    ui().clear();
    setMailOption(mail::kMailAuthorityKey, certificates.authorityFile());
    EXPECT_EQ(0, send());
    EXPECT_TRUE(ui().messageTexts().isEmpty());
    ASSERT_EQ(1, server.messages().size());
    EXPECT_TRUE(server.messages().first().contains("X-Tls: yes\r\n"));
}

// Users whose names differ only in letter case: each row's mail goes to the user of exactly its
// name, and neither row ends the run as a lookup with two answers would.
TEST_F(SendMail, UsersWhoseNamesDifferOnlyInCaseEachGetTheirOwnMail) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"), server.address());
    addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
    addUser(QStringLiteral("ann"), QStringLiteral("ann.other@example.org"));
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("A.xlsx"),
                QStringLiteral("Ann"));
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("B.xlsx"),
                QStringLiteral("ann"));
    ui().acceptUnscriptedMessages();
    frmMail& window = openWindow();
    chooseTexts(window, QStringLiteral("s"), QStringLiteral("b"));
    window.cmdSendMail()->click();
    EXPECT_TRUE(ui().messageTexts().isEmpty()) << ui().messageTexts().join(QLatin1Char('|')).toStdString();
    QMap<QString, QString> recipients; // attachment -> envelope recipient
    for (const QByteArray& raw : server.messages()) {
        recipients.insert(platform::mail::parseMessage(raw)->attachments.value(0).name,
                          SmtpServer::recipientOf(raw));
        EXPECT_TRUE(raw.contains("X-Connection: 1\r\n")) << "a send-all run keeps one connection";
    }
    EXPECT_EQ((QMap<QString, QString>{{QStringLiteral("A.xlsx"), QStringLiteral("ann@example.org")},
                                      {QStringLiteral("B.xlsx"), QStringLiteral("ann.other@example.org")}}),
              recipients);
}

TEST_F(SendMail, ComposeSendsTheReviewedMailAndStampsIt) {
    SmtpServer server;
    ASSERT_TRUE(server.started());
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"), server.address());
    addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
    const qint64 id = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                  QStringLiteral("A.xlsx"), QStringLiteral("Ann"));
    frmMail& window = openWindow();
    chooseTexts(window, QString(), QString());
    window.panel()->chkAddFN()->setChecked(true);
    window.panel()->chkAddDueDate()->setChecked(true);
    window.panel()->setDueDate(QDate(2031, 1, 15));
    window.panel()->dtSendMail()->setCurrentCell(0, 0);

    QString shownSubject;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<mail::frmCompose*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dialog);
        shownSubject = dialog->subject();
        dialog->cmdSend()->click();
    });
    window.panel()->cmdCompose()->click();

    // The empty subject gets the due date all the same.
    EXPECT_EQ(QStringLiteral("  Due Date is ") + mail::dueDateText(QDate(2031, 1, 15)), shownSubject);
    const QList<QByteArray> received = server.messages();
    ASSERT_EQ(1, received.size());
    const auto mail = platform::mail::parseMessage(received.first());
    ASSERT_TRUE(mail);
    EXPECT_EQ(QStringLiteral("User file attachment is A.xlsx"), mail->textBody.trimmed());
    EXPECT_EQ(1, mail->attachments.size());
    EXPECT_FALSE(userFileValue(id, QStringLiteral("Email_Sent")).isNull());

    // Closed unsent: nothing goes out and nothing is stamped.
    execute(QStringLiteral("UPDATE UserFileTablesData SET Email_Sent = NULL"));
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<mail::frmCompose*>(QApplication::activeModalWidget()))
            dialog->cmdCancel()->click();
    });
    window.panel()->cmdCompose()->click();
    EXPECT_EQ(1, server.messages().size());
    EXPECT_TRUE(userFileValue(id, QStringLiteral("Email_Sent")).isNull());
}

} // namespace
} // namespace mailtest
