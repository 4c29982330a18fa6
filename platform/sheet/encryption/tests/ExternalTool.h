// Runs Debian's python (which sees python3-olefile, python3-msoffcrypto-tool and python3-uno) on a
// script for the tests that check our files with independent programs.
#pragma once

#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace encryptiontest {

struct ToolResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline ToolResult runPython(const QStringList& arguments, int timeoutMs = 300000) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(testsupport::python(), arguments);
    ToolResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("timed out");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
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
