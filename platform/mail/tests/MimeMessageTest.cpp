// Reading the messages users send back: attachment names in both encodings that mail
// programs use for names outside ASCII, attachments in every transfer encoding, messages
// without a file, and parts shown within the text; and building outgoing ones, a field that may
// not go into a mail refused.
#include "platform/mail/MimeMessage.h"

#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace platform::mail {
namespace {

QByteArray message(const QByteArray& attachmentHeaders, const QByteArray& encodedBody) {
    return "From: \"Ann Smith\" <ann@example.org>\r\n"
           "To: robot@example.org\r\n"
           "Subject: =?UTF-8?Q?Budget_r=C3=A9ponse?=\r\n"
           "MIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=\"b1\"\r\n"
           "\r\n"
           "--b1\r\n"
           "Content-Type: text/plain; charset=utf-8\r\n"
           "\r\n"
           "Here it is.\r\n"
           "--b1\r\n" +
           attachmentHeaders + "\r\n" + encodedBody +
           "\r\n"
           "--b1--\r\n";
}

TEST(ReceivedMessage, AttachmentNamesAreDecodedWhicheverWayTheyWereWritten) {
    const struct {
        const char* form;
        QByteArray headers;
        QString name;
    } cases[] = {
        {"plain",
         "Content-Type: application/octet-stream; name=\"Sales.xlsx\"\r\n"
         "Content-Disposition: attachment; filename=\"Sales.xlsx\"\r\n",
         QStringLiteral("Sales.xlsx")},
        {"rfc2231",
         "Content-Type: application/octet-stream\r\n"
         "Content-Disposition: attachment; filename*=UTF-8''Pr%C3%A9vision%20%C3%A9t%C3%A9.xlsx\r\n",
         QStringLiteral("Prévision été.xlsx")},
        {"rfc2231 continued",
         "Content-Type: application/octet-stream\r\n"
         "Content-Disposition: attachment;\r\n"
         " filename*0*=UTF-8''Pr%C3%A9vision;\r\n"
         " filename*1*=%20%C3%A9t%C3%A9.xlsx\r\n",
         QStringLiteral("Prévision été.xlsx")},
        {"rfc2047 in name",
         "Content-Type: application/octet-stream; name=\"=?UTF-8?B?UHLDqXZpc2lvbiDDqXTDqS54bHN4?=\"\r\n"
         "Content-Disposition: attachment\r\n",
         QStringLiteral("Prévision été.xlsx")},
        {"rfc2047 in filename",
         "Content-Type: application/octet-stream\r\n"
         "Content-Disposition: attachment; filename=\"=?ISO-8859-1?Q?Z=FCrich.xlsx?=\"\r\n",
         QStringLiteral("Zürich.xlsx")},
    };
    for (const auto& c : cases) {
        const std::optional<ReceivedMessage> parsed =
            parseMessage(message(c.headers + "Content-Transfer-Encoding: base64\r\n", "AAEC/w=="));
        ASSERT_TRUE(parsed) << c.form;
        ASSERT_EQ(1, parsed->attachments.size()) << c.form;
        EXPECT_EQ(c.name, parsed->attachments.first().name) << c.form;
        EXPECT_EQ(QByteArray("\x00\x01\x02\xff", 4), parsed->attachments.first().data) << c.form;
        EXPECT_EQ(QStringLiteral("ann@example.org"), parsed->senderAddress) << c.form;
        EXPECT_EQ(QStringLiteral("Budget réponse"), parsed->subject) << c.form;
        EXPECT_EQ(QStringLiteral("Here it is."), parsed->textBody.trimmed()) << c.form;
    }
}

TEST(ReceivedMessage, ContentIsDecodedFromEachTransferEncoding) {
    const struct {
        QByteArray encoding;
        QByteArray body;
    } cases[] = {
        {"base64", "QSw9Qg0K"},
        {"quoted-printable", "A,=3DB=0D=0A"},
        {"7bit", "A,=B\r\n"},
    };
    for (const auto& c : cases) {
        const std::optional<ReceivedMessage> parsed = parseMessage(
            message("Content-Type: text/csv; name=\"a.csv\"\r\nContent-Disposition: attachment\r\n"
                    "Content-Transfer-Encoding: " +
                        c.encoding + "\r\n",
                    c.body));
        ASSERT_TRUE(parsed);
        ASSERT_EQ(1, parsed->attachments.size()) << c.encoding.constData();
        EXPECT_TRUE(parsed->attachments.first().data.startsWith("A,=B")) << c.encoding.constData();
    }
}

TEST(ReceivedMessage, MessagesWithoutFilesAndFilesWithoutMultipart) {
    const std::optional<ReceivedMessage> text =
        parseMessage("From: b@example.org\r\nSubject: hi\r\n\r\nNo file here.\r\n");
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->attachments.isEmpty());
    EXPECT_EQ(QStringLiteral("No file here."), text->textBody.trimmed());

    const std::optional<ReceivedMessage> bare =
        parseMessage("From: c@example.org\r\nMIME-Version: 1.0\r\n"
                     "Content-Type: application/octet-stream; name=\"Only.xlsx\"\r\n"
                     "Content-Disposition: attachment; filename=\"Only.xlsx\"\r\n"
                     "Content-Transfer-Encoding: base64\r\n\r\nUEsDBA==\r\n");
    ASSERT_TRUE(bare);
    ASSERT_EQ(1, bare->attachments.size());
    EXPECT_EQ(QStringLiteral("Only.xlsx"), bare->attachments.first().name);
    EXPECT_EQ(QByteArray("PK\x03\x04"), bare->attachments.first().data);
}

// What a mail program shows within the text -- the logo of a signature in a multipart/related,
// a picture sent inline -- belongs to the body; a workbook is a file however it was sent; a file
// uuencoded into the text is said; the Date field is read in UTC.
TEST(ReceivedMessage, PartsShownWithinTheTextBelongToTheBody) {
    const QByteArray workbook =
        "Content-Type: application/vnd.openxmlformats-officedocument.spreadsheetml.sheet; "
        "name=\"Sales.xlsx\"\r\nContent-Disposition: %1; filename=\"Sales.xlsx\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\nUEsDBA==\r\n";
    const QByteArray logo = "Content-Type: image/png; name=\"image001.png\"\r\nContent-ID: <logo@x>\r\n"
                            "%1Content-Transfer-Encoding: base64\r\n\r\niVBORw0KGgo=\r\n";
    const auto mixed = [](const QList<QByteArray>& parts) {
        QByteArray body = "From: ann@example.org\r\nDate: Tue, 04 Mar 2025 10:15:00 +0100\r\n"
                          "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"m\"\r\n\r\n";
        for (const QByteArray& part : parts)
            body += "--m\r\n" + part + "\r\n";
        return body + "--m--\r\n";
    };
    const QByteArray related =
        "Content-Type: multipart/related; boundary=\"r\"\r\n\r\n--r\r\n"
        "Content-Type: text/html; charset=utf-8\r\n\r\n<p>Here it is.<img src=\"cid:logo@x\"></p>\r\n"
        "--r\r\n" +
        QByteArray(logo).replace("%1", "") + "\r\n--r\r\n" +
        QByteArray(logo).replace("%1", "").replace("name=\"image001.png\"", "x=1") + "\r\n--r--\r\n";
    const struct {
        const char* name;
        QByteArray raw;
        QStringList files;
        QStringList unread;
    } cases[] = {
        {"a signature's logos in a multipart/related, the workbook beside them",
         mixed({related, QByteArray(workbook).replace("%1", "attachment")}),
         {"Sales.xlsx"},
         {}},
        {"a picture sent inline",
         mixed({"Content-Type: text/plain\r\n\r\nHi\r\n",
                QByteArray(logo).replace("%1", "Content-Disposition: inline\r\n"),
                QByteArray(workbook).replace("%1", "attachment")}),
         {"Sales.xlsx"},
         {}},
        {"a workbook sent inline", mixed({QByteArray(workbook).replace("%1", "inline")}), {"Sales.xlsx"}, {}},
        {"a picture sent as a file",
         mixed({QByteArray(logo).replace("%1", "Content-Disposition: attachment\r\n")}),
         {"image001.png"},
         {}},
        {"a workbook uuencoded into the text",
         mixed({"Content-Type: text/plain\r\n\r\nHere:\r\nbegin 644 Sales.xlsx\r\nM4$L#!`\r\n`\r\nend\r\n"}),
         {},
         {"the file Sales.xlsx uuencoded into its text"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<ReceivedMessage> parsed = parseMessage(c.raw);
        ASSERT_TRUE(parsed);
        QStringList files;
        for (const ReceivedAttachment& attachment : parsed->attachments)
            files << attachment.name;
        EXPECT_EQ(files, c.files);
        EXPECT_EQ(parsed->unreadParts, c.unread);
        EXPECT_EQ(parsed->date, QDateTime(QDate(2025, 3, 4), QTime(9, 15), Qt::UTC));
    }
    EXPECT_FALSE(parseMessage("From: b@example.org\r\n\r\nNo date.\r\n")->date.isValid());
}

TEST(OutgoingMessage, BuiltMessageReadsBackAsWritten) {
    const OutgoingMessage out{QStringLiteral("admin@example.org"),
                              QStringLiteral("ann@example.org"),
                              QStringLiteral("Budget  Due Date is 2025-03-31"),
                              QStringLiteral("Zeile ä\nzwei"),
                              QStringLiteral("Plan ü.xlsm"),
                              QByteArray("\x00PK\xff", 4)};
    const QByteArray wire = buildMessage(out).value_or(QByteArray());
    ASSERT_FALSE(wire.isEmpty());
    // Lines end in CRLF throughout, and no line is longer than SMTP allows.
    for (const QByteArray& line : wire.split('\n')) {
        EXPECT_LE(line.size(), 998);
        if (!line.isEmpty()) {
            EXPECT_TRUE(line.endsWith('\r')) << line.constData();
        }
    }
    const std::optional<ReceivedMessage> back = parseMessage(wire);
    ASSERT_TRUE(back);
    EXPECT_EQ(out.subject, back->subject);
    EXPECT_EQ(out.body, back->textBody.trimmed().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    ASSERT_EQ(1, back->attachments.size());
    EXPECT_EQ(out.attachmentName, back->attachments.first().name);
    EXPECT_EQ(out.attachment, back->attachments.first().data);
}

// A field that may not go into a mail is named (the first of them, in the order the envelope
// takes them), and no message is built of it.
TEST(OutgoingMessage, ARefusedFieldIsNamedAndNothingIsBuilt) {
    const QString good = QStringLiteral("ann@example.org");
    const struct {
        const char* name;
        QString sender;
        QString recipient;
        QString attachmentName;
        RefusedField refused;
    } cases[] = {
        {"every field may go", good, good, QStringLiteral("Sales.xlsx"), RefusedField::None},
        {"no attachment", good, good, QString(), RefusedField::None},
        {"a line break in the sender", QStringLiteral("admin@example.org\r\nRCPT TO:<x@y>"), good, QString(),
         RefusedField::Sender},
        {"an angle bracket in the recipient", good, QStringLiteral("ann@example.org>"), QString(),
         RefusedField::Recipient},
        {"an empty recipient", good, QString(), QString(), RefusedField::Recipient},
        {"both addresses refused: the sender first", QStringLiteral("<a@b>"), QStringLiteral("c\n@d"),
         QString(), RefusedField::Sender},
        {"a line break in the attachment's name", good, good, QStringLiteral("Sales\n.xlsx"),
         RefusedField::AttachmentName},
    };
    for (const auto& c : cases) {
        const OutgoingMessage out{c.sender,
                                  c.recipient,
                                  QStringLiteral("Budget"),
                                  QStringLiteral("Text"),
                                  c.attachmentName,
                                  c.attachmentName.isEmpty() ? QByteArray() : QByteArray("x")};
        EXPECT_EQ(refusedField(out), c.refused) << c.name;
        EXPECT_EQ(buildMessage(out).has_value(), c.refused == RefusedField::None) << c.name;
    }
}

// The sender is taken only from exactly one From field holding exactly one mailbox; the verdicts
// only from the topmost Authentication-Results field, comments aside.
TEST(ReceivedMessage, SenderAndVerdictsComeOnlyFromTheirOneTrustedForm) {
    const struct {
        const char* name;
        QByteArray top;
        SenderForm form;
        const char* address;
        QStringList verdicts;
    } cases[] = {
        {"one mailbox", "From: Ann <Ann@Example.org>\r\n", SenderForm::OneMailbox, "Ann@Example.org", {}},
        {"no from", "Sender: ann@example.org\r\n", SenderForm::NoFromField, "", {}},
        {"two fields",
         "From: ann@example.org\r\nFROM: eve@evil.example\r\n",
         SenderForm::SeveralFromFields,
         "",
         {}},
        {"two mailboxes", "From: ann@example.org, eve@evil.example\r\n", SenderForm::NotOneMailbox, "", {}},
        {"group", "From: team: ann@example.org;\r\n", SenderForm::NotOneMailbox, "", {}},
        {"nul",
         QByteArray("From: ann@example.org\0.evil.example\r\n", 37),
         SenderForm::ControlCharacters,
         "",
         {}},
        {"folded", "From: Ann\r\n <ann@example.org>\r\n", SenderForm::OneMailbox, "ann@example.org", {}},
        {"failed verdicts",
         "Authentication-Results: mx.example.org; spf=fail smtp.mailfrom=x (dkim=fail in a comment);\r\n"
         " dmarc=FAIL header.from=example.org\r\nAuthentication-Results: forged.example; dkim=fail\r\n"
         "From: ann@example.org\r\n",
         SenderForm::OneMailbox,
         "ann@example.org",
         {QStringLiteral("spf=fail"), QStringLiteral("dmarc=fail")}},
        {"passes",
         "Authentication-Results: mx.example.org; spf=pass; dkim=pass; dmarc=pass\r\nFrom: "
         "ann@example.org\r\n",
         SenderForm::OneMailbox,
         "ann@example.org",
         {}},
    };
    for (const auto& c : cases) {
        const std::optional<ReceivedMessage> parsed = parseMessage(c.top + "Subject: s\r\n\r\nbody\r\n");
        ASSERT_TRUE(parsed) << c.name;
        EXPECT_EQ(c.form, parsed->senderForm) << c.name;
        EXPECT_EQ(QString::fromLatin1(c.address), parsed->senderAddress) << c.name;
        EXPECT_EQ(c.verdicts, parsed->failedVerdicts) << c.name;
    }
}

// The sender is the one the MIME parser reads from the header: a header ends where the parser
// ends it (a blank line of a bare line feed too), and a line the parser takes for no field
// ("\rFrom:", "From\v:") gives no sender, whether the message comes as bytes or as the file the
// collection fetches it into.
TEST(ReceivedMessage, TheSenderIsTheOneTheParserReads) {
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"from after a line of a lone carriage return",
         QByteArray::fromBase64("U3ViamVjdDogcw0KDUZyb206IGJvc3NAY29ycC5leGFtcGxlDQoNCmhpDQo=")},
        {"from after a blank line of a bare line feed",
         QByteArray::fromBase64(
             "U3ViamVjdDogcwpDb250ZW50LVR5cGU6IHRleHQvcGxhaW4KCkZyb206IGJvc3NAY29ycC5leGFtcGxlCg0KaGVsbG8K")},
        {"from after an empty header",
         QByteArray::fromBase64("DQpGcm9tOiBib3NzQGNvcnAuZXhhbXBsZQ0KDQpoaQ0K")},
        {"vertical tab before the colon", "Subject: s\r\nFrom\v: boss@corp.example\r\n\r\nhi\r\n"},
        {"vertical tab before the name", "Subject: s\r\n\vFrom: boss@corp.example\r\n\r\nhi\r\n"},
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const auto& c : cases) {
        const QString path = folder.filePath(QStringLiteral("message.eml"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        for (const std::optional<ReceivedMessage>& parsed : {parseMessage(c.bytes), parseMessageFile(path)}) {
            ASSERT_TRUE(parsed) << c.name;
            EXPECT_EQ(parsed->senderForm, SenderForm::NoFromField) << c.name;
            EXPECT_EQ(parsed->senderAddress, QString()) << c.name;
        }
    }
    // A From field right after the fields the parser hands to the body part is still the sender.
    const QByteArray plain = "Content-Type: text/plain\r\nFrom: ann@example.org\r\nMIME-Version: 1.0\r\n"
                             "Content-Transfer-Encoding: 7bit\r\n\r\nhi\r\n";
    const std::optional<ReceivedMessage> parsed = parseMessage(plain);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->senderForm, SenderForm::OneMailbox);
    EXPECT_EQ(parsed->senderAddress, QStringLiteral("ann@example.org"));
}

} // namespace
} // namespace platform::mail
