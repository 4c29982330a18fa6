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
#include "mail/MailWait.h"
#include "platform/db/Recordset.h"
#include "platform/mail/MimeMessage.h"
#include "platform/mail/Pop3Mailbox.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Ui.h"
#include "workbooks/WorkbookServices.h"

#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QSaveFile>
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
    bool process(const ReceivedMessage& message);
    bool stopped() const { return stopped_; }
    void leave(const QString& sender, const QString& reason) {
        left_ << sender + QStringLiteral(": ") + reason;
    }
    const QStringList& left() const { return left_; }

private:
    std::optional<Target> targetOf(const ReceivedAttachment& attachment, const QString& sender,
                                   QString& reason);
    bool save(const ReceivedAttachment& attachment, const Target& target);

    Connection& cnn_;
    QString context_;
    QStringList left_;
    bool stopped_ = false;
};

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
    if (rows.recordCount() != 1) {
        reason =
            attachment.name + (rows.recordCount() == 0
                                   ? QStringLiteral(" is no user file of the budget ") + context_
                                   : QStringLiteral(" names several user files of the budget ") + context_);
        return std::nullopt;
    }
    const Target target{rows.value(0).toString(), rows.value(1).toString()};
    // Only the user the file is assigned to may replace it.
    const QVariant assigned = cnn_.scalar(
        QStringLiteral("SELECT count(*) FROM UserFileTablesData f JOIN UsersData u ON u.Users = f.Users "
                       "WHERE f.User_Filename = ? COLLATE NOCASE_U AND f.Budget_Name = ? COLLATE NOCASE_U "
                       "AND f.Master_File = ? COLLATE NOCASE_U AND u.Email_Address = ? COLLATE NOCASE_U"),
        {target.userFile, context_, rows.value(2).toString(), sender});
    if (sender.isEmpty() || assigned.toLongLong() == 0) {
        reason =
            attachment.name + QStringLiteral(" was not sent from the address of the user it is assigned to");
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
        tell(QStringLiteral("Error saving attachment ") + attachment.name + QStringLiteral(" Error: ") +
             QString::number(status));
        return false;
    }
    if (existing.exists())
        QFile::setPermissions(target.path, existing.permissions());
    return true;
}

bool Collection::process(const ReceivedMessage& message) {
    if (core::gOptions && core::gOptions->EmailReplys) {
        QStringList files;
        for (const ReceivedAttachment& attachment : message.attachments)
            files << attachment.name;
        platform::ui::msgBox(QStringLiteral("From: ") + message.senderAddress +
                                 QStringLiteral("\nSubject: ") + message.subject +
                                 QStringLiteral("\nAttachments: ") + files.join(QStringLiteral(", ")) +
                                 QStringLiteral("\n\n") + message.textBody,
                             platform::ui::Buttons::Ok, QStringLiteral("View message"));
    }
    bool allSaved = true;
    for (const ReceivedAttachment& attachment : message.attachments) {
        if (attachment.name.isEmpty())
            continue;
        QString reason;
        const std::optional<Target> target = targetOf(attachment, message.senderAddress, reason);
        if (!target) {
            leave(message.senderAddress, reason);
            allSaved = false;
            continue;
        }
        if (target->path.trimmed().isEmpty()) {
            tell(QStringLiteral("Path information for [") + target->userFile +
                 QStringLiteral("] is missing."));
            stopped_ = true;
            return false;
        }
        if (!save(attachment, *target)) {
            stopped_ = true;
            return false;
        }
    }
    return allSaved;
}

// Fetches every message; false after the download message when one could not be fetched.
bool download(platform::mail::Pop3Mailbox& mailbox, QList<QByteArray>& messages) {
    for (int number = 1; number <= mailbox.messageCount(); ++number) {
        QByteArray raw;
        const int status = mailbox.retrieve(number, raw);
        if (status != platform::mail::pop3::kOk) {
            tell(downloadText(status));
            return false;
        }
        messages << raw;
    }
    return true;
}

void processAll(platform::mail::Pop3Mailbox& mailbox, const QList<QByteArray>& messages,
                Collection& collection) {
    for (int number = 1; number <= messages.size() && !collection.stopped(); ++number) {
        const std::optional<ReceivedMessage> message = platform::mail::parseMessage(messages.at(number - 1));
        if (!message) {
            collection.leave(QStringLiteral("message %1").arg(number),
                             QStringLiteral("the message could not be read"));
            continue;
        }
        if (!collection.process(*message))
            continue;
        if (mailbox.remove(number) != platform::mail::pop3::kOk) {
            tell(QStringLiteral("Unable to delete email message."));
            return;
        }
    }
}

void runSession(platform::mail::Pop3Mailbox& mailbox, Connection& cnn) {
    const int count = mailbox.messageCount();
    if (count == 0) {
        tell(QStringLiteral("You have no messages in your Inbox."));
        return;
    }
    if (!askYesNo(QStringLiteral("You have %1 messages in your Inbox.  Download now?").arg(count)))
        return;
    ShowMailWait(QStringLiteral("Downloading email messages and file attachments."), {}, Progress::Hidden);
    QList<QByteArray> messages;
    if (!download(mailbox, messages))
        return;
    ShowMailWait(QStringLiteral("Saving attachments and deleting messages."), {}, Progress::Hidden);
    Collection collection(cnn, budgetContext());
    processAll(mailbox, messages, collection);
    if (mailbox.quit() != platform::mail::pop3::kOk) {
        tell(QStringLiteral("Unable to delete email message."));
        return;
    }
    if (!collection.left().isEmpty()) {
        tell(QStringLiteral("These messages were left on the mail server:\n") +
             collection.left().join(QLatin1Char('\n')));
    }
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
    return 0;
}

} // namespace mail
