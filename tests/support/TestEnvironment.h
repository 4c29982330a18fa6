// Test isolation: every test program runs with its own temporary home, settings and data
// folders, so no test reads or writes the real user's files.
#pragma once

#include <QString>

class QWidget;

namespace testsupport {

// The temporary folder made for this test process; removed when the process ends.
QString processRoot();

// A fresh, empty folder below processRoot() for one test.
QString freshDir(const QString& hint = QStringLiteral("t"));

// Path of a file in the source tree's tests/fixtures folder.
QString fixturePath(const QString& relative);

// With LUMIDESK_SCREENSHOT_DIR set, shows the window, lets it paint and saves it there as
// <name>.png, to be looked at (and for the README's pictures); does nothing otherwise.
void saveScreenshot(QWidget& window, const QString& name);

// Debian's python interpreter that sees the python3-* test packages.
QString python();

} // namespace testsupport
