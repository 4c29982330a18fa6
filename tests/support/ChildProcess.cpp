// See ChildProcess.h.
#include "support/ChildProcess.h"

#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <memory>
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
    return runPrograms(program, {args}, timeoutMs).front();
}

std::vector<ProgramResult> runPrograms(const QString& program, const std::vector<QStringList>& runs,
                                       int timeoutMs) {
    std::vector<std::unique_ptr<QProcess>> processes;
    std::vector<ProgramResult> results(runs.size());
    for (const QStringList& args : runs) {
        auto& process = processes.emplace_back(std::make_unique<QProcess>());
        process->setStandardInputFile(QProcess::nullDevice());
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
        process->start(program, args);
    }
    QElapsedTimer clock;
    clock.start();
    for (std::size_t i = 0; i < processes.size(); ++i) {
        QProcess& process = *processes[i];
        ProgramResult& result = results[i];
        if (!process.waitForStarted()) {
            result.err = process.errorString();
            continue;
        }
        const pid_t group = static_cast<pid_t>(process.processId());
        const int left = std::max(0, timeoutMs - int(clock.elapsed()));
        result.finished = process.state() == QProcess::NotRunning || process.waitForFinished(left);
        stopGroup(group);
        process.waitForFinished();
        if (process.exitStatus() == QProcess::NormalExit && result.finished)
            result.exitCode = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        if (!result.finished)
            result.err += QStringLiteral("\n(stopped after %1 ms)").arg(timeoutMs);
    }
    return results;
}

ProgramResult runPython(const QStringList& args, int timeoutMs) {
    return runProgram(python(), args, timeoutMs);
}

} // namespace testsupport
