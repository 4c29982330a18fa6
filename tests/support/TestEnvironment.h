// Test isolation: every test program runs with its own temporary home, settings and data
// folders, so no test reads or writes the real user's files.
#pragma once

#include <QString>

namespace testsupport {

// The temporary folder made for this test process; removed when the process ends.
QString processRoot();

// A fresh, empty folder below processRoot() for one test.
QString freshDir(const QString& hint = QStringLiteral("t"));

// Path of a file in the source tree's tests/fixtures folder.
QString fixturePath(const QString& relative);

// Debian's python interpreter that sees the python3-* test packages.
QString python();

} // namespace testsupport
