// A master database of the test's own (MasterDbFixture), settings of the desktop program
// started afresh, and helpers to make the main window and read its settings.
#pragma once

#include "core/tests/MasterDbFixture.h"
#include "lumidesk/frmMain.h"
#include "platform/sys/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <memory>

namespace lumideskTest {

class MainWindowFixture : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        QFile::remove(platform::sys::settingsFilePath(platform::sys::kDesktopApplication));
        QFile::remove(platform::sys::settingsFilePath(platform::sys::kAddInApplication));
        MasterDbFixture::SetUp();
        core::gOptions->DatabaseMode = QStringLiteral("Local");
    }
    void TearDown() override {
        closeAllWindows();
        MasterDbFixture::TearDown();
    }

    static void closeAllWindows() {
        QList<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!window->parentWidget())
                windows << window;
        for (const QPointer<QWidget>& window : windows)
            if (window)
                window->close();
        for (const QPointer<QWidget>& window : windows)
            delete window.data();
        lumidesk::gMainForm = nullptr;
    }

    // A main window made as the start-up makes it (its load runs), not shown.
    lumidesk::frmMain* makeMain() {
        lumidesk::gMainForm = new lumidesk::frmMain;
        return lumidesk::gMainForm;
    }

    static void write(const char* section, const char* key, const QString& value) {
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QString::fromLatin1(section),
                                    QString::fromLatin1(key), value);
    }
    static QString read(const char* section, const char* key) {
        return platform::sys::readSetting(platform::sys::kDesktopApplication, QString::fromLatin1(section),
                                          QString::fromLatin1(key), QStringLiteral("<none>"));
    }

    // Runs SQL on the test's master database.
    void execute(const QString& sql) {
        platform::db::Connection cnn = openMaster();
        cnn.execute(sql);
    }
};

} // namespace lumideskTest
