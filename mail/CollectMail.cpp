// See CollectMail.h.
#include "mail/CollectMail.h"

#include "admin/AdminServices.h"
#include "admin/StringScrambling.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/RunGuard.h"
#include "core/SystemOps.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "mail/MailConnection.h"
#include "mail/MailContext.h"
#include "mail/MailHooks.h"
#include "mail/MailWait.h"
#include "mail/ReturnedFile.h"
#include "platform/db/Recordset.h"
#include "platform/mail/MailAddress.h"
#include "platform/mail/MimeMessage.h"
#include "platform/mail/Pop3Mailbox.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Ui.h"
#include "workbooks/WorkbookServices.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryFile>
#include <optional>

namespace mail {

namespace {

using platform::db::Connection;
using platform::db::Recordset;
using platform::mail::ReceivedAttachment;
using platform::mail::ReceivedMessage;

const QString kEnterPassword = QStringLiteral("Enter the email account password.");

QString connectText(int status) {
    static const QMap<int, QString> texts{
        {1, QStringLiteral("Error connecting to host")},
        {2, QStringLiteral("Error: Bad user name")},
        {3, QStringLiteral("Error: A pending operation is in progress")},
        {4, QStringLiteral("Error: Bad user name or password")},
        {6, QStringLiteral("Error: Already connected to a mail server")},
        {7, QStringLiteral("Error: The operation was canceled")},
        {11, QStringLiteral("Error: Could not resolve host")},
        {12, QStringLiteral("Error: Timed out while trying to resolve host")},
        {13, QStringLiteral("Error: Timed out while trying to connect to host")},
        {128, QStringLiteral("Error: Could not create thread")},
        {1024, QStringLiteral("Error: No authorization mode")},
    };
    return texts.value(status, QStringLiteral("An unknown error has occurred"));
}

// The message for a connection that failed: the component's, the collection's own when no network can
// be reached at all, or the one that names the server whose TLS failed.
QString connectFailureText(int status, const QString& server, const QString& reason) {
    if (status == platform::mail::pop3::kNoNetwork)
        return QStringLiteral("Make your Internet connection and try again.");
    if (status == platform::mail::pop3::kUntrustedServer)
        return UntrustedServerText(server, reason) + QStringLiteral("  No mail was collected.");
    return connectText(status);
}

QString downloadText(int status) {
    static const QMap<int, QString> texts{
        {3, QStringLiteral("Error: In progress")},
        {5, QStringLiteral("Error parsing message")},
        {7, QStringLiteral("Error: Cancelled")},
        {8, QStringLiteral("Error: Connection lost")},
        {9, QStringLiteral("Error: Exception")},
        {16, QStringLiteral("Error: Not connected")},
        {18, QStringLiteral("Error: Invalid Session")},
        {21, QStringLiteral("Error: Message deleted")},
        {128, QStringLiteral("Error: Could not create thread")},
        {512, QStringLiteral("Error: Out of memory")},
    };
    return texts.value(status, QStringLiteral("An unknown error has occurred"));
}

struct RobotAccount {
    QString account;
    QString server;
};

// The default robot account, or no value after the message that says what is missing.
std::optional<RobotAccount> robotAccount(Connection& cnn) {
    Recordset robot =
        Recordset::open(cnn,
                        QStringLiteral("SELECT Pop3_Account, Pop3_Server FROM Admin "
                                       "WHERE RecType = ? COLLATE NOCASE_U AND Default_Robot = 1"),
                        {QStringLiteral("Robot")});
    if (robot.recordCount() != 1) {
        tell(QStringLiteral("Configure the Admin User table in the Configure screen.  Add a Robot account."));
        admin::ShowConfigureModal(nullptr, 1);
        return std::nullopt;
    }
    const RobotAccount found{robot.value(0).toString().trimmed(), robot.value(1).toString().trimmed()};
    if (found.account.isEmpty()) {
        tell(QStringLiteral("The POP mail account data in Admin is missing.  Go to Configure - Admin."));
        return std::nullopt;
    }
    if (found.server.isEmpty()) {
        tell(QStringLiteral(
            "The Incoming Mail (POP server) data in Budget Authors is missing.  Go To Configure - "
            "Budget Authors."));
        return std::nullopt;
    }
    return found;
}

// Texts from the mail shown to the user: on one line, and no longer than the box can hold.
QString shown(const QString& text, qsizetype length = 200) {
    const QString visible = platform::mail::visibleText(text);
    return visible.size() > length ? visible.left(length) + QStringLiteral("...") : visible;
}

// A box whose text holds what the mail brought: shown as plain text.
void showPlain(const QString& text, const QString& title = core::appTitle()) {
    platform::ui::Message message;
    message.text = text;
    message.title = title;
    message.plainText = true;
    platform::ui::ui().message(message);
}

QString senderFormText(platform::mail::SenderForm form) {
    using platform::mail::SenderForm;
    switch (form) {
    case SenderForm::NoFromField:
        return QStringLiteral("the message has no From field");
    case SenderForm::SeveralFromFields:
        return QStringLiteral("the message has more than one From field");
    case SenderForm::NotOneMailbox:
        return QStringLiteral("the From field does not hold exactly one address");
    case SenderForm::ControlCharacters:
        return QStringLiteral("the From field holds control characters");
    case SenderForm::OneMailbox:
        break;
    }
    return {};
}

// Names of returned files are compared letter case aside, by the lower-case mapping of each
// letter alone: "SALES.xlsx" is "Sales.xlsx". A letter outside ASCII whose lower case is an
// ASCII letter is a look-alike ("\u017Fales.xlsx", the Kelvin sign for "k") and keeps its form.
QString nameKey(const QString& name) {
    QString key;
    key.reserve(name.size());
    for (const QChar c : name) {
        const QChar lower = c.toLower();
        key += (c.unicode() > 0x7F && lower.unicode() <= 0x7F) ? c : lower;
    }
    return key;
}

// Where an attachment may go: the one user file of the budget context of that name.
struct Target {
    QString userFile;
    QString path;
};

class Collection {
public:
    Collection(Connection& cnn, QString context)
        : cnn_(cnn)
        , context_(std::move(context)) {}

    // Processes one message; answers whether it may be deleted. Sets stopped() when the run
    // must end after it.
    bool process(const ReceivedMessage& message, int number);
    bool stopped() const { return stopped_; }
    void leave(const QString& who, const QString& reason) { left_ << who + QStringLiteral(": ") + reason; }
    const QStringList& left() const { return left_; }

    // Ends the run with a message that also names the user files replaced already.
    void fail(const QString& text) const;

private:
    std::optional<Target> targetOf(const ReceivedAttachment& attachment, const QString& sender,
                                   QString& reason);
    bool save(const ReceivedAttachment& attachment, const Target& target);
    // Whether the attachments of the message are fit to be saved, each on its own.
    bool namesAreSound(const ReceivedMessage& message, const QString& who);
    void view(const ReceivedMessage& message) const;

    Connection& cnn_;
    QString context_;
    QStringList left_;
    QStringList replaced_;
    bool stopped_ = false;
};

void Collection::fail(const QString& text) const {
    if (replaced_.isEmpty()) {
        showPlain(text);
        return;
    }
    showPlain(text + QStringLiteral("\n\nUser files replaced already by this collection: ") +
              replaced_.join(QStringLiteral(", ")) +
              QStringLiteral(".  Their messages may still be on the mail server."));
}

std::optional<Target> Collection::targetOf(const ReceivedAttachment& attachment, const QString& sender,
                                           QString& reason) {
    const QString master = core::gOptions ? core::gOptions->MasterFilename : QString();
    Recordset rows =
        Recordset::open(cnn_,
                        QStringLiteral("SELECT User_Filename, UFNPath, Master_File FROM Worksheets "
                                       "WHERE User_Filename = ? COLLATE NOCASE_U "
                                       "AND Budget_Name = ? COLLATE NOCASE_U "
                                       "AND (? = '' OR Master_File = ? COLLATE NOCASE_U)"),
                        {attachment.name, context_, master, master});
    QList<QStringList> matches;
    for (; !rows.eof(); rows.moveNext())
        if (nameKey(rows.value(0).toString()) == nameKey(attachment.name))
            matches << QStringList{rows.value(0).toString(), rows.value(1).toString(),
                                   rows.value(2).toString()};
    const QString name = shown(attachment.name);
    if (matches.size() != 1) {
        reason = name + (matches.isEmpty()
                             ? QStringLiteral(" is no user file of the budget ") + context_
                             : QStringLiteral(" names several user files of the budget ") + context_);
        return std::nullopt;
    }
    const Target target{matches.first().at(0), matches.first().at(1)};
    // A file that worksheets of two budgets record belongs to neither.
    if (cnn_.scalar(QStringLiteral("SELECT COUNT(*) FROM Worksheets WHERE UFNPath = ?"), {target.path})
            .toLongLong() > 1) {
        reason = name + QStringLiteral(" is the user file of worksheets of more than one budget");
        return std::nullopt;
    }
    // Only the user the file is assigned to may replace it.
    const QVariant assigned = cnn_.scalar(
        QStringLiteral("SELECT count(*) FROM UserFileTablesData f JOIN UsersData u ON u.Users = f.Users "
                       "WHERE f.User_Filename = ? COLLATE NOCASE_U AND f.Budget_Name = ? COLLATE NOCASE_U "
                       "AND f.Master_File = ? COLLATE NOCASE_U AND u.Email_Address = ? COLLATE NOCASE_U"),
        {target.userFile, context_, matches.first().at(2), sender});
    if (sender.isEmpty() || assigned.toLongLong() == 0) {
        reason = name + QStringLiteral(" was not sent from the address of the user it is assigned to");
        return std::nullopt;
    }
    return target;
}

// Writes beside the user file, then renames over it. A user file marked read-only is kept.
bool Collection::save(const ReceivedAttachment& attachment, const Target& target) {
    const QFileInfo existing(target.path);
    int status = 0;
    QSaveFile file(target.path);
    if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner)) {
        status = QFileDevice::PermissionsError;
    } else if (!file.open(QIODevice::WriteOnly) || file.write(attachment.data) != attachment.data.size() ||
               !file.commit()) {
        status = file.error() != QFileDevice::NoError ? file.error() : QFileDevice::WriteError;
    }
    if (status != 0) {
        fail(QStringLiteral("Error saving attachment ") + shown(attachment.name) +
             QStringLiteral(" Error: ") + QString::number(status));
        return false;
    }
    if (existing.exists())
        QFile::setPermissions(target.path, existing.permissions());
    return true;
}

// A name with control characters names no file to trust; two attachments of one name (letter
// case aside) would replace one user file, the last silently: neither is saved.
bool Collection::namesAreSound(const ReceivedMessage& message, const QString& who) {
    QMap<QString, int> seen;
    for (const ReceivedAttachment& attachment : message.attachments)
        ++seen[nameKey(attachment.name)];
    bool sound = true;
    QSet<QString> reported;
    for (const ReceivedAttachment& attachment : message.attachments) {
        if (attachment.unsafeName) {
            leave(who, shown(attachment.name) + QStringLiteral(" holds control characters"));
            sound = false;
        } else if (seen.value(nameKey(attachment.name)) > 1 && !reported.contains(nameKey(attachment.name))) {
            reported.insert(nameKey(attachment.name));
            leave(who, QStringLiteral("%1 attachments name the user file %2")
                           .arg(seen.value(nameKey(attachment.name)))
                           .arg(shown(attachment.name)));
            sound = false;
        }
    }
    return sound;
}

void Collection::view(const ReceivedMessage& message) const {
    QStringList files;
    for (const ReceivedAttachment& attachment : message.attachments)
        files << shown(attachment.name, 100);
    const QString body = message.textBody.size() > 4000 ? message.textBody.left(4000) + QStringLiteral("...")
                                                        : message.textBody;
    showPlain(QStringLiteral("From: ") + shown(message.fromText) + QStringLiteral("\nSubject: ") +
                  shown(message.subject) + QStringLiteral("\nAttachments: ") +
                  files.join(QStringLiteral(", ")) + QStringLiteral("\n\n") + body,
              QStringLiteral("View message"));
}

bool Collection::process(const ReceivedMessage& message, int number) {
    using platform::mail::SenderForm;
    const QString who = message.senderForm == SenderForm::OneMailbox ? message.senderAddress
                        : message.fromText.isEmpty() ? QStringLiteral("message %1").arg(number)
                                                     : shown(message.fromText);
    if (core::gOptions && core::gOptions->EmailReplys)
        view(message);
    if (message.senderForm != SenderForm::OneMailbox) {
        leave(who, senderFormText(message.senderForm));
        return false;
    }
    if (!message.failedVerdicts.isEmpty()) {
        leave(who, QStringLiteral("the receiving mail server recorded ") +
                       message.failedVerdicts.join(QStringLiteral(", ")));
        return false;
    }
    bool allSaved = true;
    for (const QString& part : message.unreadParts) {
        leave(who, QStringLiteral("the message carries ") + part + QStringLiteral(", which was not saved"));
        allSaved = false;
    }
    if (!namesAreSound(message, who))
        return false;
    for (const ReceivedAttachment& attachment : message.attachments) {
        QString reason;
        const std::optional<Target> target = targetOf(attachment, message.senderAddress, reason);
        if (!target) {
            leave(who, reason);
            allSaved = false;
            continue;
        }
        if (target->path.trimmed().isEmpty()) {
            fail(QStringLiteral("Path information for [") + target->userFile +
                 QStringLiteral("] is missing."));
            stopped_ = true;
            return false;
        }
        if (const QString refusal = ReturnedFileRefusal(attachment.data, shown(attachment.name));
            !refusal.isEmpty()) {
            leave(who, refusal);
            allSaved = false;
            continue;
        }
        if (!save(attachment, *target)) {
            stopped_ = true;
            return false;
        }
        replaced_ << target->userFile;
    }
    return allSaved;
}

// Fetches the message into a private temporary file and reads it from there.
std::optional<ReceivedMessage> fetch(platform::mail::Pop3Mailbox& mailbox, int number, int& status) {
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/lumivane-mail-XXXXXX"));
    if (!file.open()) {
        status = platform::mail::pop3::kUnknownError;
        return std::nullopt;
    }
    status = mailbox.retrieve(number, file);
    if (status != platform::mail::pop3::kOk || !file.flush())
        return std::nullopt;
    return platform::mail::parseMessageFile(file.fileName());
}

// One message at a time: fetched, processed, marked for deletion; the server deletes at the end.
void runSession(platform::mail::Pop3Mailbox& mailbox, Connection& cnn) {
    using namespace platform::mail;
    const int count = mailbox.messageCount();
    if (count == 0) {
        tell(QStringLiteral("You have no messages in your Inbox."));
        return;
    }
    if (!askYesNo(QStringLiteral("You have %1 messages in your Inbox.  Download now?").arg(count)))
        return;
    Collection collection(cnn, budgetContext());
    for (int number = 1; number <= count && !collection.stopped(); ++number) {
        ShowMailWait(QStringLiteral("Downloading email messages and file attachments."), {},
                     Progress::Hidden);
        int status = pop3::kOk;
        const std::optional<ReceivedMessage> message = fetch(mailbox, number, status);
        if (status == pop3::kNoSuchMessage) {
            collection.leave(QStringLiteral("message %1").arg(number), downloadText(status));
            continue;
        }
        if (status != pop3::kOk) {
            // The session is gone and its deletions with it.
            collection.fail(downloadText(status));
            return;
        }
        if (!message) {
            collection.leave(QStringLiteral("message %1").arg(number),
                             QStringLiteral("the message could not be read"));
            continue;
        }
        ShowMailWait(QStringLiteral("Saving attachments and deleting messages."), {}, Progress::Hidden);
        if (!collection.process(*message, number))
            continue;
        if (mailbox.remove(number) == pop3::kConnectionLost) {
            collection.fail(QStringLiteral("Unable to delete email message."));
            return;
        }
    }
    if (mailbox.quit() != pop3::kOk) {
        collection.fail(QStringLiteral("Unable to delete email message."));
        return;
    }
    if (!collection.left().isEmpty())
        showPlain(QStringLiteral("These messages were left on the mail server:\n") +
                  collection.left().join(QLatin1Char('\n')));
}

} // namespace

void ReceiveReturnedFiles(const QString& password) {
    const core::RunGuard::Token running;
    try {
        core::cDB2 query;
        query.SetConnection();
        const std::optional<RobotAccount> robot = robotAccount(query.Cnn());
        if (!robot)
            return;
        // The collection is not cancelled from the wait window.
        platform::mail::ConnectionOptions options = MailConnectionOptions();
        options.cancelled = nullptr;
        platform::mail::Pop3Mailbox mailbox(robot->server, robot->account, password, options);
        core::SetBusyPointer(11);
        const int status = mailbox.connect();
        core::SetBusyPointer(0);
        if (status != platform::mail::pop3::kOk) {
            tell(connectFailureText(status, robot->server, mailbox.failureText()));
            return;
        }
        runSession(mailbox, query.Cnn());
        if (mailbox.connected())
            mailbox.quit();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
    core::frmWait::unload();
}

int GetMailPasswordAndReceive(const PasswordView& view) {
    if (core::RunGuard::refuseDuringRun())
        return 0;
    const QString typed = view.password ? view.password->text() : QString();
    const bool keep = view.savePassword && view.savePassword->isChecked();
    const QString saved = admin::DecodeString(runtimeSetting(QStringLiteral("Zvalue"), QString()));
    QString password;
    if (keep && !saved.isEmpty()) {
        password = typed.isEmpty() || typed == saved ? saved : typed;
    } else if (typed.isEmpty()) {
        tell(kEnterPassword);
        return 1;
    } else {
        password = typed;
        if (!keep)
            view.password->clear();
    }
    if (keep && password != saved)
        writeRuntimeSetting(QStringLiteral("Zvalue"), admin::EncodeString(password));

    ReceiveReturnedFiles(password);
    workbooks::CheckUserFilesExist(true, 0);
    // The explorer shows the collected files' flags at once, as after an update run.
    try {
        RefreshExplorerStatusGrid();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
    return 0;
}

} // namespace mail
