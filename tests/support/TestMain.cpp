// Entry point of every test program: points the home, settings, data and runtime folders at a
// private temporary folder before anything reads them, then runs the tests inside a
// QApplication (offscreen unless the caller chose a platform).
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
void isolateFolders() {
    const QString root = testsupport::processRoot();
    for (const char* sub : {"home", "config", "data", "common", "runtime"})
        QDir().mkpath(root + '/' + sub);
    // Qt keeps sockets and locks in the runtime folder, which must belong to the user alone.
    QFile::setPermissions(root + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("XDG_RUNTIME_DIR", qPrintable(root + "/runtime"), 1);
    setenv("HOME", qPrintable(root + "/home"), 1);
    setenv("XDG_CONFIG_HOME", qPrintable(root + "/config"), 1);
    setenv("XDG_DATA_HOME", qPrintable(root + "/data"), 1);
    setenv("LUMIVANE_COMMON_FILES", qPrintable(root + "/common"), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}
} // namespace

int main(int argc, char** argv) {
    isolateFolders();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
