// Runs another program for a test and makes sure that nothing it started outlives it: the
// program runs in a process group of its own, and when it has ended (or taken too long) the
// whole group is stopped, SIGTERM first, then SIGKILL. The group matters for LibreOffice,
// whose soffice wrapper leaves soffice.bin running when only the wrapper is stopped.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace testsupport {

struct ProgramResult {
    bool finished = false; // ended by itself within the time given
    int exitCode = -1;     // -1 unless it ended normally
    QString out;
    QString err;
};

// Runs program with args, no input, for at most timeoutMs.
ProgramResult runProgram(const QString& program, const QStringList& args, int timeoutMs = 300000);

// Runs program once for each list of args, all at the same time, each for at most timeoutMs from
// their common start; the results in the order of the runs.
std::vector<ProgramResult> runPrograms(const QString& program, const std::vector<QStringList>& runs,
                                       int timeoutMs = 300000);

// Runs Debian's python (testsupport::python()) on a script file or "-c" text with args.
ProgramResult runPython(const QStringList& args, int timeoutMs = 300000);

} // namespace testsupport
