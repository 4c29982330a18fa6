// Pictures of the shell's windows at the size of a 1024 x 768 screen, for a person to look
// at: the main window with its toolbar, the About box and the help window. Each is drawn
// offscreen and checked for its parts; with LUMIDESK_SCREENSHOT_DIR set the pictures are
// also saved there as PNG files.
#include "MainWindowFixture.h"
#include "core/startup/frmAbout.h"
#include "lumidesk/AboutBox.h"
#include "lumidesk/DesktopHelp.h"
#include "platform/ui/HelpWindow.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Twips.h"
#include "support/ScriptedUi.h"

#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

using lumideskTest::MainWindowFixture;

class ShellScreens : public MainWindowFixture {
protected:
    static void save(QWidget& window, const QString& name) {
        const QImage picture = window.grab().toImage();
        EXPECT_FALSE(picture.isNull());
        const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        EXPECT_TRUE(picture.save(folder + QLatin1Char('/') + name)) << name.toStdString();
    }
};

TEST_F(ShellScreens, MainWindowWithItsToolbar) {
    execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Forecast Q3'), ('R&D 2025')"));
    write("Runtime", "ShowToolbar", QStringLiteral("True"));
    lumidesk::frmMain* main = makeMain();
    main->resize(1024, 740);
    main->show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(main->picQuickStart()->isVisible());
    EXPECT_EQ(main->picQuickStart()->mapTo(main->tbToolBar(), QPoint(0, 0)).x(),
              platform::ui::Twips::toPixels(9600))
        << "the QuickStart picture sits at its place in the toolbar";
    EXPECT_EQ(main->budgetItems().size(), 2);
    save(*main, QStringLiteral("main-window.png"));
}

TEST_F(ShellScreens, AboutBoxAndSplash) {
    makeMain();
    core::frmAbout* splash = lumidesk::DisplayAbout(true);
    EXPECT_TRUE(splash->isVisible());
    save(*splash, QStringLiteral("splash.png"));
    splash->cmdOK()->click();
    core::frmAbout* about = lumidesk::DisplayAbout(false);
    save(*about, QStringLiteral("about.png"));
}

TEST_F(ShellScreens, HelpWindow) {
    lumidesk::UseDesktopHelpPages();
    platform::ui::HelpWindow* help = platform::ui::HelpWindow::showPage(QStringLiteral("frmMain"));
    help->resize(800, 600);
    QCoreApplication::processEvents();
    save(*help, QStringLiteral("help-main.png"));
    platform::ui::HelpWindow::showIndex();
    save(*help, QStringLiteral("help-index.png"));
}

} // namespace
