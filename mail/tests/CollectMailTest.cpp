// Collecting returned user files from a real POP3 server (dovecot on 127.0.0.1): the user
// file replaced whole, messages deleted only when all their files were saved, messages from
// the wrong sender or for other budgets left on the server, and the failures that leave the
// mailbox as it was.
#include "mail/CollectMail.h"

#include "MailFixture.h"
#include "core/StringScrambling.h"
#include "core/frmWait.h"
#include "mail/MailConnection.h"
#include "platform/mail/MimeMessage.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/LoadedWindows.h"
#include "support/MailServers.h"
#include "workbooks/UserFileStamp.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

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
public:
    // Returned user files as users' spreadsheet programs save them.
    static QByteArray newFile() { return fixtureWorkbook(QStringLiteral("basic.xlsx")); }
    static QByteArray otherFile() { return fixtureWorkbook(QStringLiteral("functions.xlsx")); }

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
    const QByteArray returned = fixtureWorkbook(QStringLiteral("libreoffice.xlsx"));
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
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), newFile())));
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Other.xlsx"), otherFile())));
    ASSERT_TRUE(server_.deliver(
        reply(QStringLiteral("mallory@example.org"), QStringLiteral("Summary.xlsx"), newFile())));
    ASSERT_TRUE(server_.deliver("From: ann@example.org\r\nSubject: thanks\r\n\r\nNo file.\r\n"));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();

    collect();

    EXPECT_EQ(newFile(), readFile(summaryPath()));
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
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), newFile())));
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
    EXPECT_EQ(Pop3Server::kPassword, core::DecodeString(setting("Runtime", "Zvalue")));
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

// Worksheets of two budgets that record one user file (their masters share a folder, a folder
// name and a sheet name): a returned file belongs to neither and stays on the server.
TEST_F(CollectMail, AFileThatWorksheetsOfTwoBudgetsRecordIsNotReplaced) {
    openMaster().execute(
        QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, UF_Create_Date, "
                       "User_Filename, UFNPath, Master_File, Budget_Name) VALUES ('Summary', 1, "
                       "'2024-01-01 00:00:00', 'Summary.xlsx', ?, 'Plan.xlsx', 'Other')"),
        {summaryPath()});
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), "new")));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();

    collect();

    EXPECT_EQ(QByteArray("original"), readFile(summaryPath()));
    EXPECT_EQ(1, server_.mailbox().size());
    EXPECT_EQ(
        1, ui().messageTexts()
               .filter(QStringLiteral("Summary.xlsx is the user file of worksheets of more than one budget"))
               .size())
        << ui().messageTexts().join(QLatin1Char('|')).toStdString();
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
        secure.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), newFile())));
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
    EXPECT_EQ(newFile(), readFile(summaryPath()));
    EXPECT_TRUE(secure.mailbox().isEmpty());
    EXPECT_TRUE(secure.log().contains(", TLS")) << secure.log().constData();
}

// The connection drops after the first message was saved and marked: the collection ends with
// the status of a lost connection, says which user file it replaced already, and the server,
// never told QUIT, keeps both messages.
TEST_F(CollectMail, ADroppedConnectionEndsTheCollectionAndNamesWhatWasReplaced) {
    testsupport::Pop3Proxy proxy(server_.port(), testsupport::Pop3Proxy::Mode::DropAfterDele);
    ASSERT_TRUE(proxy.started());
    execute(QStringLiteral("UPDATE Admin SET Pop3_Server = ?"), {proxy.address()});
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("Staff.xlsx"),
                QStringLiteral("Ann"));
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), newFile())));
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Staff.xlsx"), otherFile())));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();
    collect();
    EXPECT_TRUE(ui().messageTexts().contains(QStringLiteral(
        "Error: Connection lost\n\nUser files replaced already by this collection: Summary.xlsx.  Their "
        "messages may still be on the mail server.")))
        << ui().messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(newFile(), readFile(summaryPath()));
    EXPECT_EQ(QByteArray("original"),
              readFile(userFilePath(QStringLiteral("Sales"), QStringLiteral("Staff.xlsx"))));
    EXPECT_EQ(2, server_.mailbox().size());
    EXPECT_EQ(QStringLiteral("1 DELE 1"), proxy.commands().value(proxy.commands().size() - 1));
}

// With "show replies" on, each message is shown before its files are saved: as plain text, its
// fields on one line each and cut to a length a box can show.
// What the collection remembers of its messages is written in one transaction, committed before
// every box it shows: with the replies viewed, at the second message's box the first message's
// file is remembered for everyone, and another program may write at every box.
TEST_F(CollectMail, WhatTheCollectionRemembersIsCommittedBeforeEveryBox) {
    core::gOptions->EmailReplys = true;
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("Staff.xlsx"),
                QStringLiteral("Ann"));
    for (const char* file : {"Summary.xlsx", "Staff.xlsx"})
        ASSERT_TRUE(
            server_.deliver(reply(QStringLiteral("ann@example.org"), QString::fromLatin1(file), newFile())));
    QList<qint64> rememberedAtBox;
    QList<bool> freeAtBox;
    ui().whileAsking([&] {
        rememberedAtBox << scalar(QStringLiteral("SELECT COUNT(*) FROM CollectedMessages")).toLongLong();
        freeAtBox << othersCanWrite();
    });
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();
    collect();
    EXPECT_EQ(ui().messageTexts().size(), 3) << ui().messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(rememberedAtBox, (QList<qint64>{0, 0, 1})) << "asked, first viewed, second viewed";
    EXPECT_EQ(freeAtBox, (QList<bool>{true, true, true}));
    EXPECT_TRUE(server_.mailbox().isEmpty());
}

TEST_F(CollectMail, AViewedMessageIsPlainTextCutToSize) {
    core::gOptions->EmailReplys = true;
    const QByteArray subject = QByteArray(1 << 20, 'S');
    ASSERT_TRUE(server_.deliver("From: \"<b>Ann</b>\"@evil.example\r\nSubject: " + subject +
                                "\r\n\r\n<a href=\"http://evil.example\">Click</a>\r\n"));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();
    collect();
    const auto viewed = std::find_if(ui().asked().begin(), ui().asked().end(), [](const auto& asked) {
        return asked.title == QStringLiteral("View message");
    });
    ASSERT_NE(viewed, ui().asked().end());
    EXPECT_TRUE(viewed->plainText);
    EXPECT_LT(viewed->text.size(), 1000);
    EXPECT_TRUE(viewed->text.startsWith(QStringLiteral("From: \"<b>Ann</b>\"@evil.example\nSubject: SSS")));
    EXPECT_EQ(1, server_.mailbox().size()) << "a sender that is no user's address keeps its message";
}

// ---- Crafted messages ------------------------------------------------------------------

QByteArray base64Lines(const QByteArray& data) {
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        lines += encoded.mid(at, 76) + "\r\n";
    return lines;
}

QByteArray filePart(const QByteArray& name, const QByteArray& data, const QByteArray& encoding = "base64") {
    return "Content-Type: application/vnd.openxmlformats-officedocument.spreadsheetml.sheet; name=\"" + name +
           "\"\r\nContent-Disposition: attachment; filename=\"" + name +
           "\"\r\nContent-Transfer-Encoding: " + encoding + "\r\n\r\n" + base64Lines(data);
}

QByteArray multipart(const QList<QByteArray>& parts, const QByteArray& boundary = "b1") {
    QByteArray body = "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    for (const QByteArray& part : parts)
        body += "--b1\r\n" + part + "\r\n";
    return body + "--b1--\r\n";
}

QByteArray textPart() {
    return "Content-Type: text/plain; charset=utf-8\r\n\r\nHere it is.\r\n";
}

// A message from Ann (unless the top fields say otherwise), its subject naming the case.
QByteArray crafted(const char* name, const QByteArray& body,
                   const QByteArray& top = "From: Ann <ann@example.org>\r\n") {
    return top + "To: robot@example.org\r\nSubject: case " + name + "\r\nMIME-Version: 1.0\r\n" + body;
}

struct CraftedCase {
    const char* name;
    QString userFile; // the case's own user file (another case's, when shared)
    QByteArray bytes; // what the user file holds afterwards; empty: as it was
    bool stays;       // the message stays on the server
    QByteArray message;
    QString user = QStringLiteral("Ann"); // the user the file is assigned to
    bool shared = false;                  // the user file is an earlier case's
};

// A workbook stamped as the user file of a worksheet row of the fixture (whose sheet is named as
// its file): the budget, Plan.xlsx, the sheet, the cut.
QByteArray stampedBook(const QByteArray& book, const QString& budget, const QString& sheet,
                       const QString& cut = {}) {
    std::unique_ptr<platform::sheet::Workbook> workbook =
        platform::sheet::Workbook::openBytes(book, QStringLiteral("Stamped.xlsx"));
    workbooks::WriteUserFileStamp(*workbook, {budget, QStringLiteral("Plan.xlsx"), sheet, cut});
    return workbook->toBytes();
}

// Every crafted message goes into one mailbox and one collection: each case's user file holds
// what the case says afterwards (what the message carried, or its bytes as they were), and
// only a message whose every file was saved leaves the server.
TEST_F(CollectMail, CraftedMessagesReplaceNothingAndStayOnTheServer) {
    const QByteArray book = newFile();
    const QByteArray other = otherFile();
    const QByteArray encrypted = fixtureWorkbook(QStringLiteral("encrypted.xlsx"));
    const QByteArray cut = base64Lines(book).left(base64Lines(book).size() * 2 / 3);
    QByteArray junk = base64Lines(book);
    junk.insert(junk.size() / 2, "QUJD");
    QByteArray nested = filePart("Deep.xlsx", book);
    for (int level = 0; level < 40; ++level)
        nested = "Content-Type: multipart/mixed; boundary=\"n" + QByteArray::number(level) + "\"\r\n\r\n--n" +
                 QByteArray::number(level) + "\r\n" + nested + "\r\n--n" + QByteArray::number(level) +
                 "--\r\n";
    const QByteArray forwarded = "Content-Type: message/rfc822\r\n\r\n" +
                                 crafted("inner", multipart({textPart(), filePart("Fwd.xlsx", book)}));
    const QByteArray attachmentHeaders =
        "Content-Type: application/vnd.openxmlformats-officedocument.spreadsheetml.sheet\r\n"
        "Content-Transfer-Encoding: base64\r\n";
    // A reply whose signature carries the sender's logo, as mail programs send it.
    const QByteArray signature = "Content-Type: multipart/related; boundary=\"r1\"\r\n\r\n--r1\r\n"
                                 "Content-Type: text/html; charset=utf-8\r\n\r\n<p>Here it is.<img "
                                 "src=\"cid:logo@ann\"></p>\r\n--r1\r\nContent-Type: image/png; "
                                 "name=\"image001.png\"\r\nContent-ID: <logo@ann>\r\nContent-Disposition: "
                                 "inline; filename=\"image001.png\"\r\nContent-Transfer-Encoding: "
                                 "base64\r\n\r\niVBORw0KGgo=\r\n--r1--\r\n";
    const QByteArray unnamedPicture = "Content-Type: image/gif\r\nContent-Disposition: inline\r\n"
                                      "Content-Transfer-Encoding: base64\r\n\r\nR0lGODlh\r\n";
    const auto dated = [](const char* date) {
        return QByteArray("From: Ann <ann@example.org>\r\nDate: ") + date + "\r\n";
    };
    const QByteArray uuencoded = "Content-Type: text/plain\r\n\r\nHere it is:\r\n\r\nbegin 644 Uu.xlsx\r\n"
                                 "M4$L#!!0````(`$YA4%K7\r\n`\r\nend\r\n";
    const QByteArray stampedHere = stampedBook(book, QStringLiteral("Sales"), QStringLiteral("Stamped.xlsx"));
    const QByteArray stampedElsewhere =
        stampedBook(book, QStringLiteral("Other"), QStringLiteral("Foreign.xlsx"), QStringLiteral("c1"));
    const CraftedCase cases[] = {
        {"sound reply", QStringLiteral("Sound.xlsx"), book, false,
         crafted("sound reply", multipart({textPart(), filePart("Sound.xlsx", book)}))},
        {"encrypted workbook", QStringLiteral("Locked.xlsx"), encrypted, false,
         crafted("encrypted workbook", multipart({filePart("Locked.xlsx", encrypted)}))},
        {"truncated base64",
         QStringLiteral("Cut.xlsx"),
         {},
         true,
         crafted("truncated base64",
                 multipart({textPart(), filePart("Cut.xlsx", {}).replace("\r\n\r\n", "\r\n\r\n" + cut)}))},
        {"empty file",
         QStringLiteral("Empty.xlsx"),
         {},
         true,
         crafted("empty file", multipart({filePart("Empty.xlsx", {})}))},
        {"text named xlsx",
         QStringLiteral("Text.xlsx"),
         {},
         true,
         crafted("text named xlsx", multipart({filePart("Text.xlsx", "Figures: 1, 2, 3\r\n")}))},
        {"base64 with junk",
         QStringLiteral("Junk.xlsx"),
         {},
         true,
         crafted("base64 with junk",
                 multipart({filePart("Junk.xlsx", {}).replace("\r\n\r\n", "\r\n\r\n" + junk)}))},
        {"unknown transfer encoding",
         QStringLiteral("Odd.xlsx"),
         {},
         true,
         crafted("unknown transfer encoding", multipart({filePart("Odd.xlsx", book, "x-unknown")}))},
        {"no boundary",
         QStringLiteral("NoBoundary.xlsx"),
         {},
         true,
         crafted("no boundary",
                 multipart({filePart("NoBoundary.xlsx", book)}).replace("; boundary=\"b1\"", ""))},
        {"wrong boundary",
         QStringLiteral("Wrong.xlsx"),
         {},
         true,
         crafted("wrong boundary", multipart({filePart("Wrong.xlsx", book)}, "zz"))},
        {"unnamed part",
         QStringLiteral("Unnamed.xlsx"),
         {},
         true,
         crafted("unnamed part", multipart({textPart(), attachmentHeaders + "\r\n" + base64Lines(book)}))},
        {"forwarded workbook",
         QStringLiteral("Fwd.xlsx"),
         {},
         true,
         crafted("forwarded workbook", multipart({textPart(), forwarded}))},
        {"very deep nesting", QStringLiteral("Deep.xlsx"), {}, true, crafted("very deep nesting", nested)},
        {"duplicate names",
         QStringLiteral("Twice.xlsx"),
         {},
         true,
         crafted("duplicate names",
                 multipart({filePart("Twice.xlsx", book), filePart("TWICE.xlsx", other)}))},
        {"from with two addresses",
         QStringLiteral("Two.xlsx"),
         {},
         true,
         crafted("from with two addresses", multipart({filePart("Two.xlsx", book)}),
                 "From: ann@example.org, Mallory <mallory@evil.example>\r\n")},
        {"two from fields",
         QStringLiteral("TwoFields.xlsx"),
         {},
         true,
         crafted("two from fields", multipart({filePart("TwoFields.xlsx", book)}),
                 "From: ann@example.org\r\nFrom: mallory@evil.example\r\n")},
        {"failed dmarc verdict",
         QStringLiteral("Dmarc.xlsx"),
         {},
         true,
         crafted("failed dmarc verdict", multipart({filePart("Dmarc.xlsx", book)}),
                 "Authentication-Results: mx.example.org; spf=pass smtp.mailfrom=example.org;\r\n"
                 " dkim=none (no signature); dmarc=fail (p=reject) header.from=example.org\r\n"
                 "From: Ann <ann@example.org>\r\n")},
        {"nul in a name",
         QStringLiteral("Nul.xlsx"),
         {},
         true,
         crafted("nul in a name",
                 multipart({filePart("Nul.xlsx", book)
                                .replace("filename=\"Nul.xlsx\"", "filename*=UTF-8''Nul.xlsx%00.txt")
                                .replace("name=\"Nul.xlsx\"", "name=\"Nul.txt\"")}))},
        {"long s",
         QStringLiteral("Sales.xlsx"),
         {},
         true,
         crafted("long s", multipart({filePart("\xC5\xBF"
                                               "ales.xlsx",
                                               book)}))},
        {"kelvin sign",
         QStringLiteral("Kpi.xlsx"),
         {},
         true,
         crafted("kelvin sign", multipart({filePart("\xE2\x84\xAA"
                                                    "pi.xlsx",
                                                    book)}))},
        {"long s in the sender",
         QStringLiteral("Sams.xlsx"),
         {},
         true,
         crafted("long s in the sender", multipart({filePart("Sams.xlsx", book)}),
                 "From: \xC5\xBF"
                 "am@example.org\r\n"),
         QStringLiteral("Sam")},
        {"a signature's logo", QStringLiteral("Logo.xlsx"), book, false,
         crafted("a signature's logo", multipart({signature, filePart("Logo.xlsx", book)}))},
        {"an unnamed picture within the text", QStringLiteral("Picture.xlsx"), book, false,
         crafted("an unnamed picture within the text",
                 multipart({textPart(), unnamedPicture, filePart("Picture.xlsx", book)}))},
        {"uuencoded workbook", QStringLiteral("Uu.xlsx"), {}, true, crafted("uuencoded workbook", uuencoded)},
        {"stamped for this user file", QStringLiteral("Stamped.xlsx"), stampedHere, false,
         crafted("stamped for this user file", multipart({filePart("Stamped.xlsx", stampedHere)}))},
        {"stamped for another budget",
         QStringLiteral("Foreign.xlsx"),
         {},
         true,
         crafted("stamped for another budget", multipart({filePart("Foreign.xlsx", stampedElsewhere)}))},
        {"newer answer delivered first", QStringLiteral("Dated.xlsx"), other, false,
         crafted("newer answer delivered first", multipart({filePart("Dated.xlsx", other)}),
                 dated("Wed, 05 Mar 2025 16:00:00 +0000"))},
        {"older answer delivered last", QStringLiteral("Dated.xlsx"), other, true,
         crafted("older answer delivered last", multipart({filePart("Dated.xlsx", book)}),
                 dated("Wed, 05 Mar 2025 09:00:00 +0000")),
         QStringLiteral("Ann"), true},
        {"older answer delivered first", QStringLiteral("Redated.xlsx"), other, true,
         crafted("older answer delivered first", multipart({filePart("Redated.xlsx", book)}),
                 dated("Wed, 05 Mar 2025 09:00:00 +0000"))},
        {"newer answer delivered last", QStringLiteral("Redated.xlsx"), other, false,
         crafted("newer answer delivered last", multipart({filePart("Redated.xlsx", other)}),
                 dated("Wed, 05 Mar 2025 16:00:00 +0000")),
         QStringLiteral("Ann"), true},
    };
    addUser(QStringLiteral("Sam"), QStringLiteral("sam@example.org"));
    for (const CraftedCase& c : cases) {
        if (!c.shared)
            addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), c.userFile, c.user);
        ASSERT_TRUE(server_.deliver(c.message)) << c.name;
    }
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();
    collect();

    const QList<QByteArray> left = server_.mailbox();
    for (const CraftedCase& c : cases) {
        const QByteArray now = readFile(userFilePath(QStringLiteral("Sales"), c.userFile));
        EXPECT_EQ(c.bytes.isEmpty() ? QByteArray("original") : c.bytes, now) << c.name;
        const bool stays = std::any_of(left.begin(), left.end(), [&](const QByteArray& message) {
            return message.contains(QByteArray("Subject: case ") + c.name + "\r\n");
        });
        EXPECT_EQ(c.stays, stays) << c.name;
    }
    const QStringList reports =
        ui().messageTexts().filter(QStringLiteral("These messages were left on the mail server:"));
    ASSERT_EQ(1, reports.size());
    const QString report = reports.first();
    for (const char* reason :
         {"Text.xlsx is no workbook that opens", "Empty.xlsx is empty",
          "2 attachments name the user file Twice.xlsx", "the From field does not hold exactly one address",
          "the message has more than one From field", "the receiving mail server recorded dmarc=fail",
          "holds control characters", "a forwarded message, which was not saved",
          "without a file name, which was not saved", "without parts, which was not saved",
          "nested more than",
          "\xC5\xBF"
          "am@example.org: Sams.xlsx was not sent from the address of the user it is assigned to",
          "the message carries the file Uu.xlsx uuencoded into its text, which was not saved",
          "Foreign.xlsx was cut from the sheet 'Foreign.xlsx' of Plan.xlsx in the budget 'Other' (cut c1), "
          "not "
          "from the sheet 'Foreign.xlsx' of Plan.xlsx in the budget 'Sales'",
          "Dated.xlsx is an older answer (", "Redated.xlsx is an older answer ("})
        EXPECT_TRUE(report.contains(QString::fromUtf8(reason))) << reason << "\n" << report.toStdString();
    EXPECT_EQ(2, report.count(QStringLiteral("than another that replaced the user file")));
    EXPECT_FALSE(report.contains(QStringLiteral("image001.png"))) << report.toStdString();
    EXPECT_TRUE(ui().asked().back().plainText);
    // The refused stamp has its errors row.
    EXPECT_EQ(1, scalar(QStringLiteral("SELECT COUNT(*) FROM Errors WHERE UF_name = 'Foreign.xlsx' AND "
                                       "UFPassArrayFailed = 1 AND Budget_Name = 'Sales'"))
                     .toInt());
}

// A message kept on the server -- it answers this budget and another one -- replaces its user
// file once: the correction that came after it stays in place at every later collection, the
// kept message is listed once and counted after that, and once the other budget takes its other
// file the message leaves the server and is forgotten.
TEST_F(CollectMail, AMessageKeptOnTheServerReplacesItsUserFileOnce) {
    const QByteArray first = newFile();
    const QByteArray correction = otherFile();
    const auto on = [](const char* time) {
        return QByteArray("From: Ann <ann@example.org>\r\nDate: Mon, 03 Mar 2025 ") + time + " +0000\r\n";
    };
    ASSERT_TRUE(server_.deliver(
        crafted("both budgets",
                multipart({textPart(), filePart("Summary.xlsx", first), filePart("Other.xlsx", first)}),
                on("10:00:00"))));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();
    collect();
    EXPECT_EQ(first, readFile(summaryPath()));
    EXPECT_EQ(1, server_.mailbox().size());
    EXPECT_EQ(ui().messageTexts().filter(QStringLiteral("These messages")),
              QStringList{QStringLiteral("These messages were left on the mail server:\nann@example.org: "
                                         "Other.xlsx is no user file of the budget Sales")});

    ASSERT_TRUE(server_.deliver(crafted(
        "correction", multipart({textPart(), filePart("Summary.xlsx", correction)}), on("11:00:00"))));
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ui().clear();
        ui().answerMessages({platform::ui::Answer::Yes});
        ui().acceptUnscriptedMessages();
        password_.setText(Pop3Server::kPassword);
        collect();
        EXPECT_EQ(correction, readFile(summaryPath())) << ui().messageTexts().join(u'|').toStdString();
        EXPECT_EQ(1, server_.mailbox().size());
        EXPECT_EQ(
            ui().messageTexts().filter(QStringLiteral("These messages")),
            QStringList{QStringLiteral(
                "These messages were left on the mail server:\n1 message kept from earlier collections")});
    }

    core::gOptions->BudgetNameContext = QStringLiteral("Sales2025");
    ui().clear();
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();
    password_.setText(Pop3Server::kPassword);
    collect();
    EXPECT_EQ(first, readFile(userFilePath(QStringLiteral("Sales2025"), QStringLiteral("Other.xlsx"))));
    EXPECT_EQ(correction, readFile(summaryPath()));
    EXPECT_TRUE(server_.mailbox().isEmpty());
    EXPECT_TRUE(ui().messageTexts().filter(QStringLiteral("These messages")).isEmpty());
    EXPECT_EQ(0, scalar(QStringLiteral("SELECT COUNT(*) FROM CollectedMessages")).toInt());
    EXPECT_EQ(0, scalar(QStringLiteral("SELECT COUNT(*) FROM ReportedMessages")).toInt());
}

// A failure names each user file the collection replaced once, however many answers replaced it.
TEST_F(CollectMail, AFailureNamesEachReplacedUserFileOnce) {
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("Staff.xlsx"),
                QStringLiteral("Ann"));
    QFile::setPermissions(userFilePath(QStringLiteral("Sales"), QStringLiteral("Staff.xlsx")),
                          QFile::ReadOwner);
    for (int answer = 0; answer < 3; ++answer)
        ASSERT_TRUE(server_.deliver(
            reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), newFile())));
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Staff.xlsx"), newFile())));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();
    collect();
    EXPECT_TRUE(ui().messageTexts().contains(
        QStringLiteral("Error saving attachment Staff.xlsx Error: 13\n\nUser files replaced already by this "
                       "collection: Summary.xlsx.  Their messages may still be on the mail server.")))
        << ui().messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(newFile(), readFile(summaryPath()));
}

// True when a child process may mount a small file system of its own (a container without the
// right to do so cannot fill a disk for the test below).
bool canMountPrivateFileSystem(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder); // the child only makes system calls
    const pid_t child = fork();
    if (child == 0) {
        const bool mounted = unshare(CLONE_NEWNS) == 0 &&
                             mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                             mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") == 0;
        _exit(mounted ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A user file on a disk that is full (a small file system of the child process's own over the
// budget's folder): the collection says so, the user file keeps its bytes, the message stays.
TEST_F(CollectMail, AFullDiskIsSaidAndTheMessageStays) {
    if (!canMountPrivateFileSystem(files_ + QStringLiteral("/Sales")))
        GTEST_SKIP() << "this machine lets no process mount a file system of its own";
    ASSERT_TRUE(
        server_.deliver(reply(QStringLiteral("ann@example.org"), QStringLiteral("Summary.xlsx"), newFile())));
    ui().answerMessages({platform::ui::Answer::Yes});
    ui().acceptUnscriptedMessages();
    const QString folder = files_ + QStringLiteral("/Sales");
    EXPECT_EXIT(
        {
            if (unshare(CLONE_NEWNS) != 0 ||
                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") != 0)
                _exit(2);
            QFile original(summaryPath());
            original.open(QIODevice::WriteOnly);
            original.write("original");
            original.close();
            QFile filler(folder + QStringLiteral("/filler"));
            filler.open(QIODevice::WriteOnly);
            while (filler.write(QByteArray(512, 'x')) == 512 && filler.flush()) {
            }
            filler.close();
            collect();
            const QString said =
                QStringLiteral("Error saving attachment Summary.xlsx: the disk that holds %1 is "
                               "full.  Make room on it and get the mail again; the message stays "
                               "on the mail server.")
                    .arg(folder);
            _exit(ui().messageTexts().contains(said) && readFile(summaryPath()) == "original" &&
                          server_.mailbox().size() == 1
                      ? 0
                      : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace mailtest
