// What a piece of work costs in memory, measured where it cannot be mistaken for the test's own:
// a helper program does the work alone and reports the high-water mark of its resident set
// (VmHWM) as its last line, "peak <megabytes>"; the test runs it and reads the result and the
// peak. The helper includes this header for peakMegabytes() alone; the test also for runPeak().
#pragma once

#include "support/ChildProcess.h"

#include <QFile>
#include <QString>
#include <QStringList>

namespace testsupport {

// The high-water mark of this process's resident set in megabytes; -1 when /proc does not say.
inline double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

// What a helper program said, and the peak it reported (-1 when it did not end well).
struct PeakRun {
    QString said; // its output but for the peak line
    double peakMb = -1;
};

inline PeakRun runPeak(const QString& program, const QStringList& args) {
    const ProgramResult run = runProgram(program, args, 120000);
    PeakRun result;
    QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    if (run.finished && run.exitCode == 0 && !lines.isEmpty() && lines.last().startsWith(u"peak "))
        result.peakMb = lines.takeLast().mid(5).toDouble();
    result.said = lines.join(u'\n') + run.err;
    return result;
}

} // namespace testsupport
