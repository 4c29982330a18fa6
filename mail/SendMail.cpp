// See SendMail.h.
#include "mail/SendMail.h"

#include "core/ErrorMessage.h"
#include "core/RunGuard.h"
#include "core/cDB2.h"
#include "core/frmWait.h"
#include "mail/MailConnection.h"
#include "mail/MailContext.h"
#include "mail/MailHooks.h"
#include "mail/MailWait.h"
#include "mail/SendMailPanel.h"
#include "mail/frmCompose.h"
#include "platform/db/CommitBatch.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/mail/SmtpSender.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/StatusLine.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QMap>
#include <optional>

namespace mail {

namespace {

using platform::db::Connection;

const QString kNoRecords = QStringLiteral("There are no records to process.");
const QString kWithoutFilesText = QStringLiteral(
    "No ticked row has Mail File ticked: %1 will be mailed without their user file. Send anyway?");

// What every mail of a run shares, read from the window once.
struct Sender {
    QString server;
    QString address;
    QString subject;
};

std::optional<Sender> senderOf(const SendMailPanel& window) {
    const platform::ui::ComboList* from = window.cbxFrom();
    const int chosen = from->listIndex();
    Sender sender{from->subItem(chosen, SendMailPanel::kFromServer),
                  from->subItem(chosen, SendMailPanel::kFromAddress), window.cbxSubject()->text()};
    if (chosen < 0 || sender.server.trimmed().isEmpty()) {
        tell(QStringLiteral("Select an admin as the 'From' sender."));
        return std::nullopt;
    }
    return sender;
}

// Two blanks stand between the subject and the words Due Date, as users know the subject.
QString withDueDate(const QString& subject, const SendMailPanel& window) {
    if (!window.chkAddDueDate()->isChecked() || !window.dueDate().isValid())
        return subject;
    return subject + QStringLiteral(" ") + QStringLiteral(" Due Date is ") + dueDateText(window.dueDate());
}

// The address of the user of exactly that name (letter case included), else of the one user of
// that name in another letter case, else of the one user whose name contains it. No value when
// no user or several users answer; the address itself may be empty.
std::optional<QString> FindRecipient(Connection& cnn, const QString& user) {
    const auto unique = [&](const QString& sql, const QString& value) -> std::optional<QString> {
        platform::db::Recordset rows = platform::db::Recordset::open(cnn, sql, {value});
        if (rows.recordCount() != 1)
            return std::nullopt;
        return rows.value(0).toString();
    };
    if (auto exact = unique(
            QStringLiteral("SELECT Email_Address FROM UsersData WHERE Users = ? COLLATE BINARY"), user))
        return exact;
    if (auto sameName = unique(
            QStringLiteral("SELECT Email_Address FROM UsersData WHERE Users = ? COLLATE NOCASE_U"), user))
        return sameName;
    return unique(QStringLiteral("SELECT Email_Address FROM UsersData WHERE Users LIKE ? ESCAPE '\\'"),
                  platform::db::containsPattern(user));
}

// Sends one mail; a failure is told (beforeTelling runs first) and noted in the settings.
template <typename BeforeTelling>
int sendMail(const platform::mail::SmtpMail& mail, platform::mail::SmtpSession* session,
             BeforeTelling beforeTelling) {
    QString failure;
    const int status = session ? session->send(mail, &failure)
                               : platform::mail::sendSmtpMail(mail, MailConnectionOptions(), &failure);
    if (status == platform::mail::smtp::kSent)
        return status;
    beforeTelling();
    if (status == platform::mail::smtp::kUntrustedServer)
        tell(UntrustedServerText(mail.server, failure) + QStringLiteral("  Nothing was sent."));
    else
        tell(QStringLiteral("Error %1 has occurred.  ").arg(status) + SendStatusText(status));
    platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Settings"),
                                QStringLiteral("SendError"), QStringLiteral("1"));
    return status;
}

void stampSent(Connection& cnn, const QVariant& userFileId, const QDate& dueDate) {
    cnn.execute(
        QStringLiteral("UPDATE UserFileTablesData SET Email_Sent = ?, Due_Date = COALESCE(?, Due_Date) "
                       "WHERE ID_UFTD = ?"),
        {QDateTime::currentDateTime(), dueDate.isValid() ? QVariant(dueDate) : QVariant(), userFileId});
}

QString missingAddressText(const QString& user) {
    return QStringLiteral("The email address for ") + user +
           QStringLiteral(" is missing.  Add information in Configure.");
}

// One row of a send-all run: false when the run must end. Its sent stamp goes into the run's
// batch, committed before every message.
bool sendRow(SendMailPanel& window, Connection& cnn, platform::db::CommitBatch& stamps, const Sender& sender,
             int row, core::frmWait& wait, int counter, platform::mail::SmtpSession& session, int& sent) {
    const auto tellCommitted = [&stamps](const QString& text) {
        stamps.commit();
        tell(text);
    };
    platform::ui::EditGrid* grid = window.dtSendMail();
    if (grid->cellValue(row, SendMailPanel::kSend).toInt() == 0)
        return true;
    const QString file = grid->cellText(row, SendMailPanel::kUserFilename);
    const QString user = grid->cellText(row, SendMailPanel::kUser);
    if (user.isEmpty()) {
        tellCommitted(
            QStringLiteral("The email regarding ") + file +
            QStringLiteral(" doesn't have a recipient.  Check that the file has been assigned to a user."));
        return false;
    }
    const std::optional<QString> recipient = FindRecipient(cnn, user);
    if (!recipient || recipient->isEmpty()) {
        tellCommitted(missingAddressText(user));
        return false;
    }
    const QString path = grid->cellText(row, SendMailPanel::kUserFilePath);
    const QString attachment = grid->cellValue(row, SendMailPanel::kMailFile).toInt() != 0 ? path : QString();
    QString body = window.cbxBodyText()->text();
    if (window.chkAddFN()->isChecked())
        body += QStringLiteral("User file is ") + path;

    wait.lblFileStatus()->setText(attachment);
    wait.lblSysOperation()->setText(QStringLiteral("Sending Email"));
    wait.CorvProgressBar1()->setMax(grid->rowCount());
    wait.CorvProgressBar1()->setValue(counter);
    const int status = sendMail({sender.server, sender.address, *recipient, sender.subject, body, attachment},
                                &session, [&stamps] { stamps.commit(); });
    if (status == platform::mail::smtp::kSent) {
        ++sent;
        stamps.begin();
        stampSent(cnn, grid->cellValue(row, SendMailPanel::kUserFileId), window.dueDate());
        if (window.dueDate().isValid())
            grid->setCellValue(row, SendMailPanel::kDueDate, dueDateText(window.dueDate()));
    }
    // Cancel pressed while the mail was on its way ends the run with it.
    return status != platform::mail::smtp::kCancelled;
}

// Rows ticked to send of which none goes with its file were most likely meant to carry it (a
// new user file starts without): asks before mailing the bodies alone. True to go on.
bool mailWithoutFilesConfirmed(const SendMailPanel& window) {
    const platform::ui::EditGrid* grid = window.dtSendMail();
    int ticked = 0;
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (grid->cellValue(row, SendMailPanel::kSend).toInt() == 0)
            continue;
        if (grid->cellValue(row, SendMailPanel::kMailFile).toInt() != 0)
            return true;
        ++ticked;
    }
    return ticked == 0 || askYesNo(kWithoutFilesText.arg(platform::ui::countOf(ticked, QStringLiteral("user"),
                                                                               QStringLiteral("users"))));
}

} // namespace

QString SendStatusText(int status) {
    static const QMap<int, QString> texts{
        {1, QStringLiteral("An unknown error has occurred.")},
        {2, QStringLiteral("An error has resulted because there was no message specified.")},
        {3, QStringLiteral("The process has run out of memory.")},
        {4, QStringLiteral("An error has occurred due to a problem with the message body or attachments.")},
        {5, QStringLiteral(
                "There was a problem initiating the conversation with the mail server. Ensure the setting "
                "of the Domain property is correct.")},
        {6, QStringLiteral("There was an error terminating the conversation with the SMTP mail server.")},
        {7, QStringLiteral(
                "The from address was not formatted correctly or was rejected by the SMTP mail server. "
                "Some SMTP mail servers will only accept mail from particular addresses or domains. SMTP "
                "mail servers may also reject a from address if the server can not successfully do a "
                "reverse lookup on the from address.")},
        {8, QStringLiteral(
                "An error was reported in response to a recipient address. The SMTP server may refuse to "
                "handle mail for unknown recipients.")},
        {9, QStringLiteral("There was an error connecting to the SMTP mail server.")},
        {10, QStringLiteral(
                 "There was an error opening a file. If you have specified file attachments, ensure that "
                 "they exist and the you have access to them.")},
        {11, QStringLiteral(
                 "There was an error reading a file. If you have specified file attachments, ensure that "
                 "they exist and the you have access to them.")},
        {12,
         QStringLiteral("There was an error writing to a file. Ensure that you have sufficient disk space.")},
        {15, QStringLiteral("No mail server specified.")},
        {16, QStringLiteral("Could not create socket.")},
        {17, QStringLiteral("Could not resolve host.")},
        {18, QStringLiteral("Connected but server sent back bad response.")},
        {19, QStringLiteral("Could not create thread.")},
        {20, QStringLiteral("Cancelled as a result of calling the Cancel() method.")},
        {21, QStringLiteral("The operation timed-out while the host was being resolved.")},
        {22, QStringLiteral("The operation timed-out while connecting.")},
        {24, QStringLiteral("ESMTP Authentication failed.")},
        {25, QStringLiteral("The selected ESMTP Authentication mode is not supported by the server.")},
        {26, QStringLiteral("ESMTP Authentication protocol error.")},
    };
    return texts.value(
        status,
        QStringLiteral("An unknown error has occured.  Check your network connections and try again."));
}

int SendSmtpMail(const QString& server, const QString& sender, const QString& recipient,
                 const QString& subject, const QString& body, const QString& attachment,
                 platform::mail::SmtpSession* session) {
    return sendMail({server, sender, recipient, subject, body, attachment}, session, [] {});
}

int ComposeMailInDialog(const QString& server, const QString& sender, const QString& recipient,
                        const QString& subject, const QString& body, const QString& attachment) {
    frmCompose dialog(sender, recipient, subject, body, attachment);
    if (dialog.exec() != frmCompose::kSend)
        return -1;
    return SendSmtpMail(server, sender, dialog.recipient(), dialog.subject(), dialog.body(), attachment);
}

void SendMailToAll(SendMailPanel& window) {
    if (core::RunGuard::refuseDuringRun())
        return;
    if (budgetContext().isEmpty()) {
        tell(QStringLiteral("Set the Budget Context."));
        return;
    }
    std::optional<Sender> sender = senderOf(window);
    if (!sender)
        return;
    if (!sender->subject.isEmpty())
        sender->subject = withDueDate(sender->subject, window);
    if (!mailWithoutFilesConfirmed(window))
        return;

    const core::RunGuard::Token running;
    int sent = 0;
    core::frmWait& wait = core::frmWait::load();
    ShowMailWait(QString(), {wait.lblBudgetFileLabel(), wait.lblFileStatus()}, Progress::Shown);
    try {
        platform::ui::EditGrid* grid = window.dtSendMail();
        if (grid->rowCount() == 0) {
            tell(kNoRecords);
        } else {
            core::cDB2 query;
            query.SetConnection();
            // One connection to the mail server for the whole run.
            platform::mail::SmtpSession session(MailConnectionOptions());
            platform::db::CommitBatch stamps(query.Cnn());
            // Between mails the events pending go through without a pause: the Cancel pressed
            // meanwhile is seen, and a run of many mails does not wait for nothing.
            for (int row = 0; row < grid->rowCount(); ++row) {
                if (!sendRow(window, query.Cnn(), stamps, *sender, row, wait, row + 1, session, sent) ||
                    core::PollCancel(0))
                    break;
            }
            stamps.commit();
            // The explorer shows the sent stamps at once.
            RefreshExplorerStatusGrid();
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
    core::frmWait::unload();
    platform::ui::showStatusLine(
        &window, platform::ui::countOf(sent, QStringLiteral("mail"), QStringLiteral("mails")) +
                     QStringLiteral(" sent"));
}

void SendMailForCurrentRow(SendMailPanel& window) {
    if (core::RunGuard::refuseDuringRun())
        return;
    const std::optional<Sender> sender = senderOf(window);
    if (!sender)
        return;
    const QString subject = withDueDate(sender->subject, window);
    platform::ui::EditGrid* grid = window.dtSendMail();
    const int row = grid->currentRow();
    if (row == platform::ui::DataGrid::kNoRow || row < 0 || row >= grid->rowCount()) {
        tell(kNoRecords);
        return;
    }
    const QString user = grid->cellText(row, SendMailPanel::kUser);
    if (user.isEmpty()) {
        tell(QStringLiteral("The email recipient name is missing."));
        return;
    }
    const core::RunGuard::Token running;
    try {
        core::cDB2 query;
        query.SetConnection();
        const std::optional<QString> recipient = FindRecipient(query.Cnn(), user);
        if (!recipient) {
            tell(missingAddressText(user));
            return;
        }
        const QString attachment = grid->cellValue(row, SendMailPanel::kMailFile).toInt() != 0
                                       ? grid->cellText(row, SendMailPanel::kUserFilePath)
                                       : QString();
        const QString body = window.chkAddFN()->isChecked()
                                 ? QStringLiteral("User file attachment is ") +
                                       grid->cellText(row, SendMailPanel::kUserFilename)
                                 : QString();
        if (ComposeMailInDialog(sender->server, sender->address, *recipient, subject, body, attachment) ==
            0) {
            stampSent(query.Cnn(), grid->cellValue(row, SendMailPanel::kUserFileId), window.dueDate());
            RefreshExplorerStatusGrid();
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace mail
