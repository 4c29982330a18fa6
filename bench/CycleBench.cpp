// The whole budget cycle for 100 users: the budget "Bench" of 10 master workbooks of 10 sheets
// (made by make_update_masters.py) in a fresh master database, an author, a robot account and
// 100 users configured, the 100 user files cut and each assigned to its user, mailed through a
// real SMTP server on 127.0.0.1, changed by their users (10 cells each, with the workbook layer)
// and mailed back into the robot's POP3 mailbox (dovecot), collected, and merged in accept mode.
// Every step goes through the routines the windows call; questions are answered by a script.
// bench/run.sh runs it for 100, 1,000 and 10,000 users (10, 100 and 1,000 masters).
//   cycle_bench FOLDER [MASTERS]   (FOLDER holds M0.xlsx ... M<MASTERS-1>.xlsx, 10 by default, of
//                                   10 sheets each: one user for each sheet; the run works below it)
// prints "seconds=<whole cycle>" and the seconds of each step; LUMIVANE_SOURCE_DIR must lead to
// the sources (the mail servers' scripts).
#include "bench/BenchBudget.h"
#include "mail/CollectMail.h"
#include "mail/MailServices.h"
#include "mail/frmMail.h"
#include "platform/db/Transaction.h"
#include "platform/mail/MimeMessage.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/ComboList.h"
#include "support/MailServers.h"
#include "wizard/SyncUserFileTable.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/UpdateRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>

namespace {

using namespace bench;
using Clock = std::chrono::steady_clock;

// The number of master workbooks, 10 sheets and so 10 users each.
int gMasters = kMasters;
int users() {
    return gMasters * kSheets;
}
constexpr int kChangedCells = 10;

QString userName(int u) {
    return QStringLiteral("User%1").arg(u, 4, 10, QLatin1Char('0'));
}
QString userAddress(int u) {
    return userName(u).toLower() + QStringLiteral("@example.org");
}

platform::db::Connection openMaster() {
    platform::db::Connection cnn;
    cnn.open(core::gCnn->LumiCnn());
    return cnn;
}

// The administrator's set-up rows go in as one import would: in one transaction, so the step
// measures the rows and not one disk sync for each of them.
void configure(const testsupport::SmtpServer& smtp, const testsupport::Pop3Server& pop3) {
    platform::db::Connection cnn = openMaster();
    platform::db::Transaction rows(cnn);
    const auto execute = [&cnn](const QString& sql, const QVariantList& params = {}) {
        cnn.execute(sql, params);
    };
    for (const char* table : {"Admin", "UsersData", "Subject", "BodyText"})
        execute(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table));
    execute(QStringLiteral(
                "INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, RecType, \"Default\") "
                "VALUES ('Budget Office', 'office@example.org', ?, 'Author', 1)"),
            {smtp.address()});
    execute(QStringLiteral(
                "INSERT INTO Admin (Admin_Name, Admin_Email_Address, Pop3_Server, Pop3_Account, RecType, "
                "Default_Robot) VALUES ('Robot', 'robot@example.org', ?, ?, 'Robot', 1)"),
            {pop3.address(), testsupport::Pop3Server::kUser});
    for (int u = 0; u < users(); ++u)
        execute(QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES (?, ?)"),
                {userName(u), userAddress(u)});
    execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('Budget')"));
    execute(QStringLiteral("INSERT INTO BodyText (Body_Text) VALUES ('Please fill in.')"));
    rows.commit();
}

// The cut of every master, the register rows, and user file M<m>S<s> assigned to user 10m+s.
bool cutAndAssign() {
    for (int m = 0; m < gMasters; ++m)
        if (workbooks::CreateUserFiles(masterName(m), true, false, false) != workbooks::kCutFinished)
            return false;
    wizard::SyncUserFileTable();
    platform::db::Connection cnn = openMaster();
    platform::db::Transaction assignments(cnn);
    for (int m = 0; m < gMasters; ++m)
        for (int s = 0; s < kSheets; ++s)
            cnn.execute(QStringLiteral("UPDATE UserFileTablesData SET Users = ?, Attachment = 1 "
                                       "WHERE User_Filename = ? COLLATE NOCASE_U "
                                       "AND Budget_Name = 'Bench' COLLATE NOCASE_U"),
                        {userName(m * kSheets + s), sheetName(m, s) + QStringLiteral(".xlsx")});
    assignments.commit();
    return true;
}

bool sendAll() {
    if (!mail::ShowSendMail(nullptr) || !mail::frmMail::loaded())
        return false;
    mail::frmMail& window = *mail::frmMail::loaded();
    window.panel()->cbxFrom()->setListIndex(0);
    window.panel()->cbxSubject()->setText(QStringLiteral("Budget"));
    window.panel()->cbxBodyText()->setText(QStringLiteral("Please fill in."));
    window.panel()->chkAddDueDate()->setChecked(true);
    window.panel()->setDueDate(QDate::currentDate().addDays(14));
    window.cmdSendMail()->click();
    window.close();
    delete &window;
    return true;
}

// Each user opens the attachment, changes 10 input cells, saves and mails it back.
bool playUsers(const testsupport::SmtpServer& smtp, testsupport::Pop3Server& pop3, const QString& folder) {
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> row(1, 100);
    std::uniform_int_distribution<int> column(1, 8);
    QDir().mkpath(folder);
    int returned = 0;
    for (const QByteArray& raw : smtp.messages()) {
        const auto message = platform::mail::parseMessage(raw);
        if (!message || message->attachments.size() != 1)
            return false;
        const QString path = folder + u'/' + message->attachments.first().name;
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(message->attachments.first().data) < 0)
            return false;
        out.close();
        std::unique_ptr<platform::sheet::Workbook> book = platform::sheet::Workbook::open(path);
        for (int k = 0; k < kChangedCells; ++k)
            book->activeSheet().setEntry({row(rng), column(rng)}, QString::number(5000 + k));
        book->save();
        book->close();
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return false;
        if (!pop3.deliver(platform::mail::buildMessage({testsupport::SmtpServer::recipientOf(raw),
                                                        QStringLiteral("robot@example.org"),
                                                        QStringLiteral("RE: Budget"), QStringLiteral("Done."),
                                                        message->attachments.first().name, in.readAll()})
                              .value_or(QByteArray())))
            return false;
        ++returned;
    }
    return returned == users();
}

void collect() {
    QLineEdit password;
    QCheckBox savePassword;
    password.setText(testsupport::Pop3Server::kPassword);
    mail::GetMailPasswordAndReceive({&password, &savePassword});
}

qint64 count(const QString& condition) {
    return openMaster()
        .scalar(QStringLiteral("SELECT COUNT(*) FROM UserFileTablesData WHERE Budget_Name = 'Bench' AND ") +
                condition)
        .toLongLong();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: cycle_bench FOLDER [MASTERS]\n");
        return 2;
    }
    if (argc == 3)
        gMasters = std::max(1, std::atoi(argv[2]));
    const QString folder = prepareRun(argv[1]);
    qputenv("XDG_CONFIG_HOME", (folder + QStringLiteral("/config")).toLocal8Bit());
    QApplication app(argc, argv);
    testsupport::SmtpServer smtp;
    testsupport::Pop3Server pop3;
    if (!smtp.started() || !pop3.started()) {
        std::fprintf(stderr, "the mail servers did not start\n");
        return 1;
    }
    copyFolder(folder + QStringLiteral("/masters"), folder + QStringLiteral("/run"));
    auto* script = new ScriptUi;
    platform::ui::installUi(std::unique_ptr<platform::ui::Ui>(script));

    // Each step's seconds; the wait for the clock's next second before the collection (so that
    // the returned files are newer than their cut) is not counted.
    std::map<std::string, double> steps;
    auto step = [&steps](const char* name, auto&& work) {
        const auto start = Clock::now();
        const bool ok = work();
        steps[name] = std::chrono::duration<double>(Clock::now() - start).count();
        if (!ok)
            std::fprintf(stderr, "the step %s failed\n", name);
        return ok;
    };
    const bool ok = step("configure",
                         [&] {
                             makeBudget(folder, gMasters);
                             configure(smtp, pop3);
                             return true;
                         }) &&
                    step("cut", cutAndAssign) && step("send", sendAll) &&
                    step("users", [&] { return playUsers(smtp, pop3, folder + QStringLiteral("/users")); }) &&
                    [] {
                        const qint64 now = QDateTime::currentSecsSinceEpoch();
                        while (QDateTime::currentSecsSinceEpoch() == now)
                            QThread::msleep(20);
                        return true;
                    }() &&
                    step("collect",
                         [] {
                             collect();
                             return true;
                         }) &&
                    step("update", [] {
                        workbooks::UpdateMasterFilesCommand(
                            {QStringLiteral("Bench"), {}, QStringLiteral("Accept changes")});
                        return true;
                    });
    if (!ok)
        return 1;
    // The cycle did the work: every file mailed, returned and merged.
    const qint64 sent = count(QStringLiteral("Email_Sent IS NOT NULL"));
    const qint64 waiting = count(QStringLiteral("UserFile_Update = 1"));
    const qint64 files = count(QStringLiteral("1"));
    if (sent != users() || waiting != 0 || files != users() || !pop3.mailbox().isEmpty()) {
        std::fprintf(stderr, "%lld of %lld files mailed, %lld left waiting, %lld messages left\n", sent,
                     files, waiting, qint64(pop3.mailbox().size()));
        return 1;
    }
    double total = 0;
    for (const auto& [name, seconds] : steps)
        total += seconds;
    std::printf("seconds=%.3f", total);
    for (const char* name : {"configure", "cut", "send", "users", "collect", "update"})
        std::printf(" %s=%.3f", name, steps[name]);
    std::printf(" asked=%d\n", script->asked);
    return 0;
}
