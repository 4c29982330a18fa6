// The test helper that runs other programs: whatever the program left running in its process
// group, as the soffice wrapper leaves soffice.bin, is stopped with it, whether the program
// ended by itself or was stopped for taking too long.
#include "support/ChildProcess.h"

#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// True while the process runs (a zombie waiting to be reaped counts as ended).
bool running(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray fields = stat.readAll();
    const qsizetype close = fields.lastIndexOf(')');
    return close > 0 && fields.size() > close + 2 && fields[close + 2] != 'Z';
}

bool endsSoon(pid_t pid) {
    QElapsedTimer clock;
    clock.start();
    while (running(pid) && clock.elapsed() < 5000)
        QThread::msleep(20);
    return !running(pid);
}

pid_t pidIn(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? static_cast<pid_t>(file.readAll().trimmed().toLongLong()) : 0;
}

TEST(ChildProcess, NothingTheProgramStartedOutlivesIt) {
    struct Case {
        const char* name;
        QString script; // leaves a sleep in the background and writes its pid to $1
        int timeoutMs;
        bool finishes;
    };
    const Case cases[] = {
        {"ends and leaves a child behind", "sleep 300 & echo $! > \"$1\"", 60000, true},
        {"stopped for taking too long", "sleep 300 & echo $! > \"$1\"; wait", 500, false},
    };
    for (const Case& c : cases) {
        const QString pidFile = testsupport::freshDir() + "/child.pid";
        const testsupport::ProgramResult run =
            testsupport::runProgram("/bin/sh", {"-c", c.script, "sh", pidFile}, c.timeoutMs);
        EXPECT_EQ(run.finished, c.finishes) << c.name;
        const pid_t child = pidIn(pidFile);
        ASSERT_GT(child, 0) << c.name;
        EXPECT_TRUE(endsSoon(child)) << c.name << ": the background child still runs";
        if (running(child))
            ::kill(child, SIGKILL);
    }
}

TEST(ChildProcess, RunsStartedTogetherEachEndAndAreStoppedOnTheirOwn) {
    // Two runs at once: the first ends by itself, the second takes too long. Each leaves a
    // background child, writes its own output, and gets its own result.
    const QString folder = testsupport::freshDir();
    const QString script = QStringLiteral("sleep 300 & echo $! > \"$1\"; echo \"run $2\"; sleep \"$3\"");
    const std::vector<QStringList> runs = {
        {"-c", script, "sh", folder + "/first.pid", "first", "1"},
        {"-c", script + "; wait", "sh", folder + "/second.pid", "second", "0"},
    };
    const std::vector<testsupport::ProgramResult> results = testsupport::runPrograms("/bin/sh", runs, 3000);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results[0].finished);
    EXPECT_EQ(results[0].exitCode, 0);
    EXPECT_EQ(results[0].out, "run first\n");
    EXPECT_FALSE(results[1].finished);
    EXPECT_EQ(results[1].exitCode, -1);
    EXPECT_EQ(results[1].out, "run second\n");
    for (const char* name : {"first", "second"}) {
        const pid_t child = pidIn(folder + '/' + name + ".pid");
        ASSERT_GT(child, 0) << name;
        EXPECT_TRUE(endsSoon(child)) << name << ": the background child still runs";
        if (running(child))
            ::kill(child, SIGKILL);
    }
}

} // namespace
