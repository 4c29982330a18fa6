// The memory of collecting 10 returned user files of about 30 MB of mail each from the robot's
// POP3 mailbox (dovecot on 127.0.0.1): the messages are fetched, processed and marked one at a
// time, so the peak stays near what one message needs, whatever their number.
//   collect_bench FOLDER     (FOLDER holds big.xlsx, made by make_big_reply.py)
// prints "messages=10 message_mb=<size of one mail> peak_mb=<peak resident memory above the start
// of the collection> seconds=<t>"; LUMIVANE_SOURCE_DIR must lead to the sources.
#include "bench/BenchBudget.h"
#include "mail/CollectMail.h"
#include "platform/mail/MimeMessage.h"
#include "support/MailServers.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <chrono>
#include <fstream>
#include <malloc.h>
#include <string>

namespace {

using namespace bench;

constexpr int kMessages = 10;

// A field of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
    return 0;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void configure(const testsupport::Pop3Server& pop3, const QString& folder) {
    platform::db::Connection cnn;
    cnn.open(core::gCnn->LumiCnn());
    for (const char* table : {"Admin", "UsersData", "Worksheets", "UserFileTablesData"})
        cnn.execute(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table));
    cnn.execute(
        QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Pop3_Server, Pop3_Account, "
                       "RecType, Default_Robot) VALUES ('Robot', 'robot@example.org', ?, ?, 'Robot', 1)"),
        {pop3.address(), testsupport::Pop3Server::kUser});
    QDir().mkpath(folder + QStringLiteral("/files"));
    for (int i = 0; i < kMessages; ++i) {
        const QString file = QStringLiteral("Big%1.xlsx").arg(i);
        const QString user = QStringLiteral("User%1").arg(i);
        QFile original(folder + QStringLiteral("/files/") + file);
        original.open(QIODevice::WriteOnly);
        original.write("original");
        original.close();
        cnn.execute(QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES (?, ?)"),
                    {user, user.toLower() + QStringLiteral("@example.org")});
        cnn.execute(
            QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, User_Filename, UFNPath, "
                           "Master_File, Budget_Name) VALUES (?, 1, ?, ?, 'M.xlsx', 'Bench')"),
            {file, file, original.fileName()});
        cnn.execute(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, "
                                   "Master_File, Budget_Name) VALUES (?, ?, 1, 'M.xlsx', 'Bench')"),
                    {file, user});
    }
}

// Ten replies, each carrying the big workbook under the user file name of its sender.
bool deliverAll(testsupport::Pop3Server& pop3, const QString& bigFile, qsizetype& messageSize) {
    QFile big(bigFile);
    if (!big.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "big.xlsx is missing\n");
        return false;
    }
    const QByteArray content = big.readAll();
    for (int i = 0; i < kMessages; ++i) {
        const QByteArray message =
            platform::mail::buildMessage({QStringLiteral("user%1@example.org").arg(i),
                                          QStringLiteral("robot@example.org"), QStringLiteral("RE: Budget"),
                                          QStringLiteral("Done."), QStringLiteral("Big%1.xlsx").arg(i),
                                          content})
                .value_or(QByteArray());
        messageSize = message.size();
        if (!pop3.deliver(message))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: collect_bench FOLDER\n");
        return 2;
    }
    const QString folder = prepareRun(argv[1]);
    qputenv("XDG_CONFIG_HOME", (folder + QStringLiteral("/config")).toLocal8Bit());
    QApplication app(argc, argv);
    testsupport::Pop3Server pop3;
    if (!pop3.started()) {
        std::fprintf(stderr, "the POP3 server did not start\n");
        return 1;
    }
    // A failure ends the run through here, so that the server stops with its object.
    try {
        makeBudget(folder);
        configure(pop3, folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "the run could not be set up: %s\n", error.what());
        return 1;
    }
    platform::ui::installUi(std::make_unique<ScriptUi>());
    qsizetype messageSize = 0;
    if (!deliverAll(pop3, folder + QStringLiteral("/big.xlsx"), messageSize))
        return 1;
    // What the delivery used is given back before the collection is measured.
    malloc_trim(0);

    QLineEdit password;
    QCheckBox savePassword;
    password.setText(testsupport::Pop3Server::kPassword);
    const double start = statusMegabytes("VmRSS");
    resetPeak();
    const auto began = std::chrono::steady_clock::now();
    mail::GetMailPasswordAndReceive({&password, &savePassword});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    const double peak = statusMegabytes("VmHWM");
    if (!pop3.mailbox().isEmpty()) {
        std::fprintf(stderr, "%lld messages were left on the server\n", qint64(pop3.mailbox().size()));
        return 1;
    }
    std::printf("messages=%d message_mb=%.1f peak_mb=%.1f seconds=%.2f\n", kMessages,
                double(messageSize) / (1024 * 1024), peak - start, seconds);
    return 0;
}
