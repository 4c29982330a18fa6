// The base of the add-in's in-process fixtures: a data folder of the test's own with a copy of
// the master database the build made (AddInFolders.h), the scripted dialog service, and the
// spreadsheet program's Application with a main window. startAddIn starts the add-in on it as
// the program does when a workbook opens; every test ends with the add-in shut down, its
// windows closed, the wait window unloaded and the program's workbooks closed.
#pragma once

#include "AddInFolders.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "platform/sheet/Application.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace lumicelltest {

class AddInFixture : public ::testing::Test {
protected:
    void SetUp() override {
        AddInFolders::copyBuiltMaster(folders_.masterPath());
        app_.setMainWindow(&host_);
    }

    void TearDown() override {
        if (lumicell::gOptions())
            lumicell::AppShutdown();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != &host_)
                window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        core::frmWait::unload();
        app_.closeAll();
    }

    // The add-in started on the program's Application, without its splash window.
    void startAddIn() {
        writeSetting(platform::sys::kAddInApplication, "Options", "Splash", QStringLiteral("1"));
        lumicell::OnOpenWorkBook(app_);
    }

    AddInFolders folders_;
    testsupport::ScopedScriptedUi ui_;
    QWidget host_;
    platform::sheet::Application app_;
};

} // namespace lumicelltest
