// See CollectMail.h.
#include "mail/CollectMail.h"

#include "admin/AdminServices.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/ErrorsTable.h"
#include "core/RunGuard.h"
#include "core/StringScrambling.h"
#include "core/SystemOps.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "mail/CollectedMessages.h"
#include "mail/MailConnection.h"
#include "mail/MailContext.h"
#include "mail/MailHooks.h"
#include "mail/MailWait.h"
#include "mail/ReturnedFile.h"
#include "platform/db/CommitBatch.h"
#include "platform/db/Recordset.h"
#include "platform/mail/MailAddress.h"
#include "platform/mail/MimeMessage.h"
#include "platform/mail/Pop3Mailbox.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Ui.h"
#include "workbooks/SharedUserFile.h"
#include "workbooks/UserFileStamp.h"
#include "workbooks/WorkbookServices.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QMap>
#include <QSaveFile>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <map>
#include <optional>
#include <unistd.h>
#include <utility>

namespace mail {

namespace {

using platform::db::Connection;
using platform::db::Recordset;
using platform::mail::ReceivedAttachment;
using platform::mail::ReceivedMessage;

const QString kEnterPassword = QStringLiteral("Enter the email account password.");
const QString kDiskFullText = QStringLiteral(
    "Error saving attachment %1: the disk that holds %2 is full.  Make room on it and get the mail again; "
    "the message stays on the mail server.");

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

// Where an attachment may go: the one user file of the budget context of that name, with the
// worksheet row it belongs to.
struct Target {
    QString userFile;
    QString path;
    QString masterFile;
    QString worksheet;
};

// Why an answer that lost to a newer one stays, in the same words at every collection.
QString passedOverText(const QString& name, const QDateTime& date) {
    return QStringLiteral("%1 is an older answer (%2) than another that replaced the user file")
        .arg(name, date.isValid() ? date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                  : QStringLiteral("no date"));
}

class Collection {
public:
    Collection(Connection& cnn, platform::db::CommitBatch& batch, platform::mail::Pop3Mailbox& mailbox,
               CollectedMessages& memory, QString context)
        : cnn_(cnn)
        , batch_(batch)
        , mailbox_(mailbox)
        , memory_(memory)
        , context_(std::move(context)) {}

    // Takes one message: its files saved over the user files they answer, and the message
    // marked for deletion when nothing of it stays. Sets stopped() when the run must end after it.
    void take(const ReceivedMessage& message, int number, const QString& id);
    // A message that could not be taken at all.
    void leave(int number, const QString& who, const QString& id, const QString& reason) {
        Kept& kept = kept_[number];
        kept.who = who;
        kept.id = id;
        kept.reasons << reason;
    }
    bool stopped() const { return stopped_; }

    // Ends the run with a message that also names the user files replaced already.
    void fail(const QString& text) const;
    // After the session ended with the server's confirmation: forgets what the server no longer
    // holds (when every message was seen) and lists the messages left there (those reported
    // before for the same reasons only counted).
    void finish();

private:
    // The answer a user file took in this collection.
    struct Answer {
        int number = 0;
        QString id;
        QString who;
        QDateTime date;
        QString fileName; // the attached file's name, once it answers a user file
    };
    struct Kept {
        QString who;
        QString id;
        QStringList reasons;
    };

    // Whether the attachment replaces its user file now; false after the reason it stays was noted.
    bool takeAttachment(const ReceivedMessage& message, const ReceivedAttachment& attachment,
                        const Answer& answer);
    std::optional<Target> targetOf(const ReceivedAttachment& attachment, const QString& sender,
                                   QString& reason);
    bool sentByAssignedUser(const Target& target, const QString& sender);
    QString stampRefusal(const ReceivedMessage& message, const ReturnedFileCheck& check, const Target& target,
                         const QString& name);
    // Whether this answer is to replace the user file rather than the one taken before in this
    // collection; the one that loses stays on the server.
    bool winsOver(const Answer& answer, const Target& target, const QString& name);
    void passOver(const Answer& older, const Target& target, const QString& name);
    bool save(const ReceivedAttachment& attachment, const Target& target);
    // Whether the attachments of the message are fit to be saved, each on its own.
    bool namesAreSound(const ReceivedMessage& message, const Answer& answer);
    void view(const ReceivedMessage& message) const;
    void mark(int number);
    void unmark(int number);

    Connection& cnn_;
    // What the collection remembers of the messages, written in one transaction that is
    // committed before every message box and every errors row (written through the errors
    // table's own connection).
    platform::db::CommitBatch& batch_;
    platform::mail::Pop3Mailbox& mailbox_;
    CollectedMessages& memory_;
    QString context_;
    std::map<int, Kept> kept_;
    QHash<QString, Answer> taken_; // by user file path
    QList<int> marked_;
    QSet<int> passedOver_;  // messages whose every file was saved, but another answer won
    QSet<QString> staying_; // the identifiers of the messages left on the server
    QStringList replaced_;
    bool stopped_ = false;
};

void Collection::fail(const QString& text) const {
    batch_.commit();
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
    Recordset rows = Recordset::open(
        cnn_,
        QStringLiteral("SELECT User_Filename, UFNPath, Master_File, Worksheet_Name FROM Worksheets "
                       "WHERE User_Filename = ? COLLATE NOCASE_U "
                       "AND Budget_Name = ? COLLATE NOCASE_U "
                       "AND (? = '' OR Master_File = ? COLLATE NOCASE_U)"),
        {attachment.name, context_, master, master});
    QList<Target> matches;
    for (; !rows.eof(); rows.moveNext())
        if (nameKey(rows.value(0).toString()) == nameKey(attachment.name))
            matches << Target{rows.value(0).toString(), rows.value(1).toString(), rows.value(2).toString(),
                              rows.value(3).toString()};
    const QString name = shown(attachment.name);
    if (matches.size() != 1) {
        reason = name + (matches.isEmpty()
                             ? QStringLiteral(" is no user file of the budget ") + context_
                             : QStringLiteral(" names several user files of the budget ") + context_);
        return std::nullopt;
    }
    const Target& target = matches.first();
    // A file that worksheets of two budgets record belongs to neither (SharedUserFile.h).
    if (workbooks::OtherBudgetRecordingUserFile(cnn_, target.path, context_)) {
        reason = name + QStringLiteral(" is the user file of worksheets of more than one budget");
        return std::nullopt;
    }
    if (!sentByAssignedUser(target, sender)) {
        reason = name + QStringLiteral(" was not sent from the address of the user it is assigned to");
        return std::nullopt;
    }
    return target;
}

// Only the user the file is assigned to may replace it. Addresses are compared as file names
// are: letter case aside, but a look-alike letter ("\u017Fam" for "sam") is not its likeness.
bool Collection::sentByAssignedUser(const Target& target, const QString& sender) {
    if (sender.isEmpty())
        return false;
    Recordset users = Recordset::open(
        cnn_,
        QStringLiteral(
            "SELECT u.Email_Address FROM UserFileTablesData f JOIN UsersData u ON u.Users = f.Users "
            "WHERE f.User_Filename = ? COLLATE NOCASE_U AND f.Budget_Name = ? COLLATE NOCASE_U "
            "AND f.Master_File = ? COLLATE NOCASE_U"),
        {target.userFile, context_, target.masterFile});
    for (; !users.eof(); users.moveNext())
        if (nameKey(users.value(0).toString().trimmed()) == nameKey(sender))
            return true;
    return false;
}

// A workbook stamped for another user file (another budget's sheet of the same name, another
// sheet, an earlier cut) is refused, with an errors row; one without a stamp is taken by its name.
QString Collection::stampRefusal(const ReceivedMessage& message, const ReturnedFileCheck& check,
                                 const Target& target, const QString& name) {
    if (!check.stamp)
        return {};
    const QString mismatch = workbooks::StampMismatch(
        name, *check.stamp,
        workbooks::StampOfRow(cnn_, context_, target.masterFile, target.worksheet, target.path));
    if (!mismatch.isEmpty()) {
        batch_.commit();
        core::LogUserFileError(target.userFile, target.masterFile, mismatch, context_, message.date);
    }
    return mismatch;
}

bool Collection::winsOver(const Answer& answer, const Target& target, const QString& name) {
    const auto earlier = taken_.constFind(target.path);
    if (earlier == taken_.constEnd())
        return true;
    // The newer by its Date field wins; of two equally dated, the one delivered later.
    const bool older = earlier->date.isValid() && (!answer.date.isValid() || answer.date < earlier->date);
    if (older) {
        passOver(answer, target, name);
        return false;
    }
    passOver(*earlier, target, name);
    return true;
}

// The answer that lost stays on the server, never to replace the user file: not in this
// collection (its message is no longer marked for deletion), nor in a later one.
void Collection::passOver(const Answer& older, const Target& target, const QString& name) {
    batch_.begin();
    memory_.remember(older.id, older.fileName, target.path, CollectedMessages::Taken::PassedOver);
    leave(older.number, older.who, older.id, passedOverText(name, older.date));
    passedOver_.insert(older.number);
    unmark(older.number);
}

// Writes beside the user file, then renames over it. A user file marked read-only is kept; a
// disk that is full is said as such.
bool Collection::save(const ReceivedAttachment& attachment, const Target& target) {
    const QFileInfo existing(target.path);
    int status = 0;
    int failure = 0;
    QSaveFile file(target.path);
    if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner)) {
        status = QFileDevice::PermissionsError;
    } else if (!file.open(QIODevice::WriteOnly) || file.write(attachment.data) != attachment.data.size() ||
               !file.flush() || ::fsync(file.handle()) != 0 || !file.commit()) {
        // The bytes are on the disk before the rename puts them in place: a write that the
        // disk refused is seen here, never taken for a saved file.
        failure = errno;
        status = file.error() != QFileDevice::NoError ? file.error() : QFileDevice::WriteError;
    }
    if (status != 0) {
        const QString folder = QFileInfo(target.path).absolutePath();
        const QStorageInfo disk(folder);
        if (failure == ENOSPC || failure == EDQUOT ||
            (disk.isValid() && disk.bytesAvailable() < attachment.data.size()))
            fail(kDiskFullText.arg(shown(attachment.name), folder));
        else
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
bool Collection::namesAreSound(const ReceivedMessage& message, const Answer& answer) {
    QMap<QString, int> seen;
    for (const ReceivedAttachment& attachment : message.attachments)
        ++seen[nameKey(attachment.name)];
    bool sound = true;
    QSet<QString> reported;
    for (const ReceivedAttachment& attachment : message.attachments) {
        if (attachment.unsafeName) {
            leave(answer.number, answer.who, answer.id,
                  shown(attachment.name) + QStringLiteral(" holds control characters"));
            sound = false;
        } else if (seen.value(nameKey(attachment.name)) > 1 && !reported.contains(nameKey(attachment.name))) {
            reported.insert(nameKey(attachment.name));
            leave(answer.number, answer.who, answer.id,
                  QStringLiteral("%1 attachments name the user file %2")
                      .arg(seen.value(nameKey(attachment.name)))
                      .arg(shown(attachment.name)));
            sound = false;
        }
    }
    return sound;
}

void Collection::view(const ReceivedMessage& message) const {
    batch_.commit();
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

void Collection::mark(int number) {
    if (mailbox_.remove(number) == platform::mail::pop3::kConnectionLost) {
        fail(QStringLiteral("Unable to delete email message."));
        stopped_ = true;
        return;
    }
    marked_ << number;
}

// POP3 takes back a session's marks only all at once: the others are marked again.
void Collection::unmark(int number) {
    if (!marked_.removeOne(number))
        return;
    if (mailbox_.reset() != platform::mail::pop3::kOk) {
        fail(QStringLiteral("Unable to delete email message."));
        stopped_ = true;
        return;
    }
    const QList<int> again = std::exchange(marked_, {});
    for (const int other : again) {
        mark(other);
        if (stopped_)
            return;
    }
}

bool Collection::takeAttachment(const ReceivedMessage& message, const ReceivedAttachment& attachment,
                                const Answer& answer) {
    const QString name = shown(attachment.name);
    // A file of a message kept on the server is taken once, whichever budget is in context.
    switch (memory_.taken(answer.id, attachment.name)) {
    case CollectedMessages::Taken::Applied:
        return true;
    case CollectedMessages::Taken::PassedOver:
        leave(answer.number, answer.who, answer.id, passedOverText(name, answer.date));
        return false;
    case CollectedMessages::Taken::No:
        break;
    }
    QString reason;
    const std::optional<Target> target = targetOf(attachment, message.senderAddress, reason);
    if (!target) {
        leave(answer.number, answer.who, answer.id, reason);
        return false;
    }
    if (target->path.trimmed().isEmpty()) {
        fail(QStringLiteral("Path information for [") + target->userFile + QStringLiteral("] is missing."));
        stopped_ = true;
        return false;
    }
    const ReturnedFileCheck check = CheckReturnedFile(attachment.data, name);
    if (!check.refusal.isEmpty()) {
        leave(answer.number, answer.who, answer.id, check.refusal);
        return false;
    }
    if (const QString refusal = stampRefusal(message, check, *target, name); !refusal.isEmpty()) {
        leave(answer.number, answer.who, answer.id, refusal);
        return false;
    }
    Answer mine = answer;
    mine.fileName = attachment.name;
    if (!winsOver(mine, *target, name))
        return false;
    if (!save(attachment, *target)) {
        stopped_ = true;
        return false;
    }
    batch_.begin();
    memory_.remember(answer.id, attachment.name, target->path, CollectedMessages::Taken::Applied);
    taken_.insert(target->path, mine);
    if (!replaced_.contains(target->userFile))
        replaced_ << target->userFile;
    return true;
}

void Collection::take(const ReceivedMessage& message, int number, const QString& id) {
    using platform::mail::SenderForm;
    const QString who = message.senderForm == SenderForm::OneMailbox ? message.senderAddress
                        : message.fromText.isEmpty() ? QStringLiteral("message %1").arg(number)
                                                     : shown(message.fromText);
    const Answer answer{number, id, who, message.date, {}};
    if (core::gOptions && core::gOptions->EmailReplys)
        view(message);
    if (message.senderForm != SenderForm::OneMailbox) {
        leave(number, who, id, senderFormText(message.senderForm));
        return;
    }
    if (!message.failedVerdicts.isEmpty()) {
        leave(number, who, id,
              QStringLiteral("the receiving mail server recorded ") +
                  message.failedVerdicts.join(QStringLiteral(", ")));
        return;
    }
    for (const QString& part : message.unreadParts)
        leave(number, who, id,
              QStringLiteral("the message carries ") + part + QStringLiteral(", which was not saved"));
    if (!namesAreSound(message, answer))
        return;
    for (const ReceivedAttachment& attachment : message.attachments) {
        takeAttachment(message, attachment, answer);
        if (stopped_)
            return;
    }
    if (!kept_.count(number) && !passedOver_.contains(number))
        mark(number);
}

void Collection::finish() {
    QSet<QString> onServer;
    QStringList listed;
    int earlier = 0;
    for (const auto& [number, kept] : kept_) {
        if (!kept.id.isEmpty())
            onServer.insert(kept.id);
        if (!kept.id.isEmpty() && memory_.reportedBefore(kept.id, kept.reasons)) {
            ++earlier;
            continue;
        }
        for (const QString& reason : kept.reasons)
            listed << kept.who + QStringLiteral(": ") + reason;
        if (!kept.id.isEmpty())
            memory_.noteReported(kept.id, kept.reasons);
    }
    // A run that stopped early has not seen every message the server holds.
    if (!stopped_)
        memory_.keepOnly(onServer);
    if (listed.isEmpty() && earlier == 0)
        return;
    if (earlier > 0)
        listed << (earlier == 1 ? QStringLiteral("1 message kept from earlier collections")
                                : QStringLiteral("%1 messages kept from earlier collections").arg(earlier));
    showPlain(QStringLiteral("These messages were left on the mail server:\n") +
              listed.join(QLatin1Char('\n')));
}

// Fetches the message into a private temporary file and reads it from there. Its identifier
// is the one the server keeps for it, or -- from a server that keeps none -- a digest of it.
std::optional<ReceivedMessage> fetch(platform::mail::Pop3Mailbox& mailbox, int number, int& status,
                                     QString& id) {
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/lumivane-mail-XXXXXX"));
    if (!file.open()) {
        status = platform::mail::pop3::kUnknownError;
        return std::nullopt;
    }
    status = mailbox.uniqueId(number, id);
    if (status != platform::mail::pop3::kOk)
        return std::nullopt;
    status = mailbox.retrieve(number, file);
    if (status != platform::mail::pop3::kOk || !file.flush())
        return std::nullopt;
    if (id.isEmpty()) {
        QCryptographicHash digest(QCryptographicHash::Sha256);
        file.seek(0);
        digest.addData(&file);
        id = QStringLiteral("sha256:") + QString::fromLatin1(digest.result().toHex());
    }
    return platform::mail::parseMessageFile(file.fileName());
}

// One message at a time: fetched, taken, marked for deletion; the server deletes at the end.
void runSession(platform::mail::Pop3Mailbox& mailbox, Connection& cnn, const RobotAccount& robot) {
    using namespace platform::mail;
    const int count = mailbox.messageCount();
    if (count == 0) {
        tell(QStringLiteral("You have no messages in your Inbox."));
        return;
    }
    if (!askYesNo(QStringLiteral("You have %1 messages in your Inbox.  Download now?").arg(count)))
        return;
    CollectedMessages memory(cnn, robot.server, robot.account);
    platform::db::CommitBatch batch(cnn);
    Collection collection(cnn, batch, mailbox, memory, budgetContext());
    for (int number = 1; number <= count && !collection.stopped(); ++number) {
        ShowMailWait(QStringLiteral("Downloading email messages and file attachments."), {},
                     Progress::Hidden);
        int status = pop3::kOk;
        QString id;
        const std::optional<ReceivedMessage> message = fetch(mailbox, number, status, id);
        if (status == pop3::kNoSuchMessage) {
            collection.leave(number, QStringLiteral("message %1").arg(number), id, downloadText(status));
            continue;
        }
        if (status != pop3::kOk) {
            // The session is gone and its deletions with it.
            collection.fail(downloadText(status));
            return;
        }
        if (!message) {
            collection.leave(number, QStringLiteral("message %1").arg(number), id,
                             QStringLiteral("the message could not be read"));
            continue;
        }
        ShowMailWait(QStringLiteral("Saving attachments and deleting messages."), {}, Progress::Hidden);
        collection.take(*message, number, id);
    }
    if (!mailbox.connected())
        return; // the failure was told; the server keeps every message
    // What was remembered of the messages is on disk before the server deletes any of them.
    batch.commit();
    if (mailbox.quit() != pop3::kOk) {
        collection.fail(QStringLiteral("Unable to delete email message."));
        return;
    }
    collection.finish();
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
        runSession(mailbox, query.Cnn(), *robot);
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
    const QString saved = core::DecodeString(runtimeSetting(QStringLiteral("Zvalue"), QString()));
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
        writeRuntimeSetting(QStringLiteral("Zvalue"), core::EncodeString(password));

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
