// See ChildProcess.h.
#include "support/ChildProcess.h"

#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr int kGraceMs = 10000;

bool groupAlive(pid_t group) {
    return ::kill(-group, 0) == 0;
}

// Stops every process of the group: SIGTERM, a grace period, then SIGKILL.
void stopGroup(pid_t group) {
    if (group <= 0 || !groupAlive(group))
        return;
    ::kill(-group, SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (groupAlive(group) && clock.elapsed() < kGraceMs)
        QThread::msleep(20);
    if (groupAlive(group))
        ::kill(-group, SIGKILL);
}

} // namespace

ProgramResult runProgram(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start(program, args);
    ProgramResult result;
    if (!process.waitForStarted()) {
        result.err = process.errorString();
        return result;
    }
    const pid_t group = static_cast<pid_t>(process.processId());
    result.finished = process.waitForFinished(timeoutMs);
    stopGroup(group);
    process.waitForFinished();
    if (process.exitStatus() == QProcess::NormalExit && result.finished)
        result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    if (!result.finished)
        result.err += QStringLiteral("\n(stopped after %1 ms)").arg(timeoutMs);
    return result;
}

ProgramResult runPython(const QStringList& args, int timeoutMs) {
    return runProgram(python(), args, timeoutMs);
}

} // namespace testsupport
