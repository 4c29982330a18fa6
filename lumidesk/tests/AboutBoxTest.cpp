// The About box as splash and as Help > About: the splash timer and its closing actions, the
// main window shown afterwards, the check box and its setting, the version text and the
// system information button.
#include "lumidesk/AboutBox.h"

#include "MainWindowFixture.h"
#include "core/startup/frmAbout.h"
#include "platform/ui/LoadedWindows.h"
#include "support/ScriptedUi.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using core::frmAbout;
using lumidesk::DisplayAbout;
using lumideskTest::MainWindowFixture;

class AboutBox : public MainWindowFixture {
protected:
    static bool aboutLoaded() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmAbout"));
    }
};

TEST_F(AboutBox, TheSplashArmsItsFiveSecondTimerOnce) {
    makeMain();
    frmAbout* splash = DisplayAbout(true);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->Timer1()->isActive());
    EXPECT_EQ(splash->Timer1()->interval(), 5000);
    EXPECT_TRUE(splash->Timer1()->isSingleShot());
    EXPECT_EQ(splash->windowTitle(), QStringLiteral("About Lumivane"));
    EXPECT_EQ(splash->lblProductName()->text(), QStringLiteral("Lumivane"));
    EXPECT_FALSE(lumidesk::gMainForm->isVisible()) << "the main window waits behind the splash";
}

// Each closing action unloads the box, shows the main window and stops the timer.
TEST_F(AboutBox, EachClosingActionShowsTheMainWindow) {
    const std::vector<std::pair<const char*, std::function<void(frmAbout*)>>> actions = {
        {"timer",
         [](frmAbout* box) { QMetaObject::invokeMethod(box->Timer1(), "timeout", Qt::DirectConnection); }},
        {"key", [](frmAbout* box) { QTest::keyClick(box->cmdSysInfo(), Qt::Key_A); }},
        {"escape", [](frmAbout* box) { QTest::keyClick(box, Qt::Key_Escape); }},
        {"picture", [](frmAbout* box) { QTest::mouseClick(box->Picture1(), Qt::LeftButton); }},
        {"ok", [](frmAbout* box) { box->cmdOK()->click(); }},
        {"close box", [](frmAbout* box) { box->close(); }},
    };
    for (const auto& [name, act] : actions) {
        SCOPED_TRACE(name);
        makeMain();
        QPointer<frmAbout> splash = DisplayAbout(true);
        act(splash);
        EXPECT_FALSE(aboutLoaded());
        EXPECT_TRUE(lumidesk::gMainForm->isVisible());
        closeAllWindows();
    }
}

TEST_F(AboutBox, HelpAboutHasNoTimerAndLeavesTheMainWindowAsItWas) {
    lumidesk::frmMain* main = makeMain();
    main->show();
    main->mnuHelpAbout_Click();
    QPointer<frmAbout> box =
        qobject_cast<frmAbout*>(platform::ui::LoadedWindows::find(QStringLiteral("frmAbout")));
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->Timer1()->isActive());
    EXPECT_TRUE(box->isVisible());
    box->cmdOK()->click();
    EXPECT_FALSE(aboutLoaded());
    EXPECT_TRUE(main->isVisible());
}

TEST_F(AboutBox, TheCheckBoxWritesTheSplashSettingAndShowsIt) {
    frmAbout* box = DisplayAbout(false);
    EXPECT_FALSE(box->chkSplash()->isChecked()) << "a missing setting reads as not ticked";
    EXPECT_EQ(box->chkSplash()->text(), QStringLiteral("Do not show at startup"));
    box->chkSplash()->click();
    EXPECT_EQ(read("Options", "Splash"), QStringLiteral("1"));
    box->chkSplash()->click();
    EXPECT_EQ(read("Options", "Splash"), QStringLiteral("0"));
    box->chkSplash()->click();
    closeAllWindows();
    EXPECT_TRUE(DisplayAbout(false)->chkSplash()->isChecked()) << "the next load shows the stored choice";
}

TEST_F(AboutBox, VersionText) {
    EXPECT_EQ(frmAbout::VersionText(1, 6, 12), QStringLiteral("Version 1.6.12"));
    EXPECT_EQ(frmAbout::VersionText(2, 0, 3), QStringLiteral("Version 2.0.3"));
    EXPECT_TRUE(DisplayAbout(false)->lblVersion()->text().startsWith(QStringLiteral("Version ")));
}

TEST_F(AboutBox, SystemInformationRunsTheConfiguredCommandOrSaysItIsUnavailable) {
    frmAbout* box = DisplayAbout(false);
    testsupport::ScopedScriptedUi ui;
    box->cmdSysInfo()->click();
    write("Options", "SysInfoCommand", QStringLiteral("/nonexistent/sysinfo --all"));
    box->cmdSysInfo()->click();
    EXPECT_EQ(ui->messageTexts(),
              QStringList(2, QStringLiteral("System Information Is Unavailable At This Time")));

    const QString marker = testsupport::freshDir(QStringLiteral("sysinfo")) + QStringLiteral("/ran");
    write("Options", "SysInfoCommand", QStringLiteral("touch \"%1\"").arg(marker));
    ui->clear();
    box->cmdSysInfo()->click();
    EXPECT_TRUE(ui->asked().empty());
    for (int i = 0; i < 200 && !QFile::exists(marker); ++i)
        QTest::qWait(25);
    EXPECT_TRUE(QFile::exists(marker)) << "the configured command was started";
}

} // namespace
