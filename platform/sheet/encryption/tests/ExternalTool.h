// Runs Debian's python (which sees python3-olefile, python3-msoffcrypto-tool and python3-uno) on a
// script for the tests that check our files with independent programs.
#pragma once

#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QString>
#include <QStringList>

namespace encryptiontest {

struct ToolResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline ToolResult runPython(const QStringList& arguments, int timeoutMs = 300000) {
    const testsupport::ProgramResult run = testsupport::runPython(arguments, timeoutMs);
    return {run.exitCode, run.out, run.finished ? run.err : QStringLiteral("timed out")};
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace encryptiontest
