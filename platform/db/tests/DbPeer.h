// The second program of the two-process tests (tests/peer/DbPeer.cpp), driven a command at a
// time: ask() sends a command and waits for its one-line answer, send() and answer() split
// the two for a command that waits on this process. The program is stopped when the object
// goes, killed if it does not end on its own.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace dbtest {

class DbPeer {
public:
    // How long an answer may take before the test gives up on it (a hang, not a speed goal).
    static constexpr int kPatienceMs = 60000;

    DbPeer() {
        process_.setProgram(QStringLiteral(LV_DB_PEER));
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        EXPECT_TRUE(process_.waitForStarted()) << "the peer program did not start";
    }
    ~DbPeer() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.write("quit\n");
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    DbPeer(const DbPeer&) = delete;
    DbPeer& operator=(const DbPeer&) = delete;

    void send(const QStringList& words) {
        process_.write((words.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8());
        process_.waitForBytesWritten();
    }
    // The next answer line, or "" when none came in time.
    QString answer(int patienceMs = kPatienceMs) {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(patienceMs))
                return {};
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    QString ask(const QStringList& words) {
        send(words);
        return answer();
    }
    // Ends the program at once, as a crash or kill -9 would.
    void kill() {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

} // namespace dbtest
