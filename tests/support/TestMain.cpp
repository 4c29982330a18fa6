// Entry point of every test program: points the home, settings and data folders at a
// private temporary folder before anything reads them, then runs the tests inside a
// QApplication (offscreen unless the caller chose a platform).
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
void isolateFolders() {
    const QString root = testsupport::processRoot();
    for (const char* sub : {"home", "config", "data", "common"})
        QDir().mkpath(root + '/' + sub);
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
