// Collecting returned user files from a real POP3 server (dovecot on 127.0.0.1): the user
// file replaced whole, messages deleted only when all their files were saved, messages from
// the wrong sender or for other budgets left on the server, and the failures that leave the
// mailbox as it was.
#include "mail/CollectMail.h"

#include "MailFixture.h"
#include "admin/StringScrambling.h"
#include "core/frmWait.h"
#include "mail/MailConnection.h"
#include "platform/mail/MimeMessage.h"
#include "platform/ui/LoadedWindows.h"
#include "support/MailServers.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>
#include <sched.h>

namespace mailtest {
namespace {

using testsupport::Pop3Server;
using testsupport::ServerTls;
using testsupport::TestCertificates;

// A reply as a mail program sends it; sender may carry a display name ("Ann <ann@...>").
QByteArray reply(const QString& sender, const QString& fileName, const QByteArray& content) {
    const qsizetype open = sender.indexOf(QLatin1Char('<'));
    const QString address = open < 0 ? sender : sender.mid(open + 1).chopped(1);
    QByteArray raw = platform::mail::buildMessage({address, QStringLiteral("robot@example.org"),
                                                   QStringLiteral("RE: Budget"),
                                                   QStringLiteral("Here it is."), fileName, content})
                         .value();
    return raw.replace("From: " + address.toUtf8() + "\r\n", "From: " + sender.toUtf8() + "\r\n");
}

class CollectMail : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        if (!server_.started())
            GTEST_FAIL() << "the POP3 server did not start";
        addRobot(Pop3Server::kUser, server_.address());
        addUser(QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
        summary_ = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                               QStringLiteral("Summary.xlsx"), QStringLiteral("Ann"));
        addUserFile(QStringLiteral("Sales2025"), QStringLiteral("Plan.xlsx"), QStringLiteral("Other.xlsx"),
                    QStringLiteral("Ann"));
        password_.setText(Pop3Server::kPassword);
    }

    int collect() { return mail::GetMailPasswordAndReceive({&password_, &savePassword_}); }

    QString summaryPath() const {
        return userFilePath(QStringLiteral("Sales"), QStringLiteral("Summary.xlsx"));
    }

    Pop3Server server_;
    qint64 summary_ = 0;
    QLineEdit password_;
    QCheckBox savePassword_;
};

TEST_F(CollectMail, ReturnedFileReplacesTheUserFileWholeAndItsMessageIsDeleted) {
    const QByteArray returned = QByteArray("PK\x03\x04 returned figures ", 24).repeated(500);
    ASSERT_TRUE(server_.deliver(
        reply(QStringLiteral("Ann <ANN@example.org>"), QStringLiteral("summary.XLSX"), returned)));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();

    EXPECT_EQ(0, collect());

    EXPECT_EQ(QStringLiteral("You have 1 messages in your Inbox.  Download now?"),
              ui().messageTexts().value(0));
    EXPECT_EQ(returned, readFile(summaryPath()));
    // Nothing was left beside it: the file was written aside and renamed over the user file.
    EXPECT_EQ(QStringList{QStringLiteral("Summary.xlsx")},
              QDir(files_ + QStringLiteral("/Sales")).entryList(QDir::Files | QDir::Hidden));
    EXPECT_TRUE(server_.mailbox().isEmpty());
    EXPECT_TRUE(password_.text().isEmpty()); // not kept: "Save pwd" is not ticked
    // The activity check that ends the collection flags the replaced file for the update run.
    EXPECT_EQ(1, userFileValue(summary_, QStringLiteral("UserFile_Update")).toInt())
        << ui().messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(nullptr, core::frmWait::loaded());
}

// Only messages whose every file was saved go; the others stay and are listed.
TEST_F(CollectMail, MessagesForOtherBudgetsOrFromOtherSendersStayOnTheServer) {
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), "new")));
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Other.xlsx"), "other")));
    ASSERT_TRUE(server_.deliver(
        reply(QStringLiteral("mallory@example.org"), QStringLiteral("Summary.xlsx"), "forged")));
    ASSERT_TRUE(server_.deliver("From: ann@example.org\r\nSubject: thanks\r\n\r\nNo file.\r\n"));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();

    collect();

    EXPECT_EQ(QByteArray("new"), readFile(summaryPath()));
    EXPECT_EQ(QByteArray("original"),
              readFile(userFilePath(QStringLiteral("Sales2025"), QStringLiteral("Other.xlsx"))));
    const QList<QByteArray> left = server_.mailbox();
    ASSERT_EQ(2, left.size());
    EXPECT_TRUE(left[0].contains("ann@example.org") && left[0].contains("Other.xlsx"));
    EXPECT_TRUE(left[1].contains("mallory@example.org"));
    const QStringList reports =
        ui().messageTexts().filter(QStringLiteral("These messages were left on the mail server:"));
    ASSERT_EQ(1, reports.size());
    const QString report = reports.first();
    EXPECT_TRUE(
        report.contains(QStringLiteral("ann@example.org: Other.xlsx is no user file of the budget Sales")));
    EXPECT_TRUE(report.contains(QStringLiteral(
        "mallory@example.org: Summary.xlsx was not sent from the address of the user it is assigned to")));
}

TEST_F(CollectMail, FailuresLeaveTheMailboxAndTheUserFileAsTheyWere) {
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), "new")));
    ui().acceptUnscriptedMessages();

    password_.setText(QStringLiteral("wrong"));
    collect();
    EXPECT_EQ(QStringLiteral("Error: Bad user name or password"), ui().messageTexts().value(0));

    // A user file marked read-only keeps its content, and its message stays.
    ui().clear();
    ui().answerMessages({platform::ui::Answer::Yes});
    QFile::setPermissions(summaryPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    password_.setText(Pop3Server::kPassword);
    collect();
    EXPECT_TRUE(
        ui().messageTexts().contains(QStringLiteral("Error saving attachment Summary.xlsx Error: 13")));
    EXPECT_EQ(QByteArray("original"), readFile(summaryPath()));

    // Answering No downloads nothing.
    ui().clear();
    ui().answerMessages({platform::ui::Answer::No});
    password_.setText(Pop3Server::kPassword);
    collect();
    EXPECT_EQ(1, server_.mailbox().size());
}

TEST_F(CollectMail, PasswordComesFromTheBoxOrTheSavedSettingAsSavePwdSays) {
    ui().acceptUnscriptedMessages();
    // Ticked, nothing saved, a password typed: used, saved scrambled, the box keeps it.
    savePassword_.setChecked(true);
    EXPECT_EQ(0, collect());
    EXPECT_EQ(Pop3Server::kPassword, admin::DecodeString(setting("Runtime", "Zvalue")));
    EXPECT_NE(Pop3Server::kPassword, setting("Runtime", "Zvalue"));
    EXPECT_EQ(Pop3Server::kPassword, password_.text());
    EXPECT_TRUE(ui().messageTexts().contains(QStringLiteral("You have no messages in your Inbox.")));

    // Ticked, saved, the box empty: the saved one logs on.
    ui().clear();
    password_.clear();
    EXPECT_EQ(0, collect());
    EXPECT_TRUE(ui().messageTexts().contains(QStringLiteral("You have no messages in your Inbox.")));

    // Not ticked and the box empty: nothing happens but the request for a password.
    ui().clear();
    savePassword_.setChecked(false);
    EXPECT_EQ(1, collect());
    EXPECT_EQ(QStringList{QStringLiteral("Enter the email account password.")}, ui().messageTexts());

    // No default robot account: the configuration window opens on its accounts tab, and the
    // collection waits until it is closed.
    ui().clear();
    execute(QStringLiteral("DELETE FROM Admin"));
    password_.setText(QStringLiteral("x"));
    int shownTab = -1;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* configure = platform::ui::LoadedWindows::find(QStringLiteral("frmConfigure"))) {
            if (auto* tabs = configure->findChild<QTabWidget*>(QStringLiteral("SSTab1")))
                shownTab = tabs->currentIndex();
            configure->close();
        }
    });
    closer.start(20);
    collect();
    EXPECT_EQ(QStringLiteral("Configure the Admin User table in the Configure screen.  Add a Robot account."),
              ui().messageTexts().value(0));
    EXPECT_EQ(1, shownTab);
}

// Without any network (a network namespace of the child process's own, its loopback down) the
// connection cannot be made at all: the user is told to connect, nothing else.
TEST_F(CollectMail, WithoutANetworkTheUserIsToldToConnect) {
    ui().acceptUnscriptedMessages();
    EXPECT_EXIT(
        {
            if (unshare(CLONE_NEWNET) != 0)
                _exit(2);
            collect();
            _exit(ui().messageTexts() ==
                          QStringList{QStringLiteral("Make your Internet connection and try again.")}
                      ? 0
                      : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The mailbox's server offers STLS with a certificate of the organisation's own authority: not
// named in the settings, nothing is collected and the message names the server and the reason;
// named, the returned file comes in over TLS.
TEST_F(CollectMail, TlsMailboxNeedsTheOrganisationsAuthority) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.made());
    Pop3Server secure(ServerTls{certificates.certificateFile(TestCertificates::Name::Loopback),
                                certificates.keyFile(TestCertificates::Name::Loopback)});
    ASSERT_TRUE(secure.started());
    execute(QStringLiteral("UPDATE Admin SET Pop3_Server = ?"), {secure.address()});
    ASSERT_TRUE(
        secure.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), "new")));
    ui().acceptUnscriptedMessages();

    collect();
    ASSERT_EQ(1, ui().messageTexts().size());
    const QString refusal = ui().messageTexts().first();
    EXPECT_TRUE(refusal.startsWith(QStringLiteral("The mail server ") + secure.address() +
                                   QStringLiteral(" could not be reached securely: SSL certificate problem")))
        << refusal.toStdString();
    EXPECT_TRUE(refusal.endsWith(QStringLiteral(".  No mail was collected."))) << refusal.toStdString();
    EXPECT_EQ(QByteArray("original"), readFile(summaryPath()));
    EXPECT_FALSE(secure.log().contains("Login:"));

    ui().clear();
    ui().answerMessages({platform::ui::Answer::Yes});
    platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                mail::kMailAuthorityKey, certificates.authorityFile());
    password_.setText(Pop3Server::kPassword);
    collect();
    EXPECT_EQ(QByteArray("new"), readFile(summaryPath()));
    EXPECT_TRUE(secure.mailbox().isEmpty());
    EXPECT_TRUE(secure.log().contains(", TLS")) << secure.log().constData();
}

} // namespace
} // namespace mailtest
