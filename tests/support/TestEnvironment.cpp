// The temporary home, settings and data folders of every test program; see TestEnvironment.h.
#include "support/TestEnvironment.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <memory>

namespace testsupport {

namespace {
QTemporaryDir& rootDir() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/lumivane-test-XXXXXX"));
    return dir;
}
} // namespace

QString processRoot() {
    return rootDir().path();
}

QString freshDir(const QString& hint) {
    static QAtomicInt counter;
    const QString path =
        processRoot() + QStringLiteral("/%1-%2").arg(hint).arg(counter.fetchAndAddOrdered(1));
    QDir().mkpath(path);
    return path;
}

QString fixturePath(const QString& relative) {
    const char* src = std::getenv("LUMIVANE_SOURCE_DIR");
    return QString::fromLocal8Bit(src ? src : ".") + QStringLiteral("/tests/fixtures/") + relative;
}

QString python() {
    const char* py = std::getenv("LUMIVANE_PYTHON");
    return QString::fromLocal8Bit(py ? py : "/usr/bin/python3");
}

void saveScreenshot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window.show();
    QCoreApplication::processEvents();
    window.grab().save(folder + u'/' + name + QStringLiteral(".png"));
}

} // namespace testsupport
