// Pictures of the shell's windows at the size of a 1024 x 768 screen, for a person to look
// at: the main window with its toolbar, the About box and the help window. Each is drawn
// offscreen and checked for its parts; with LUMIDESK_SCREENSHOT_DIR set the pictures are
// also saved there as PNG files.
#include "MainWindowFixture.h"
#include "core/cOptions.h"
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
#include <QScreen>
#include <QTest>
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

// The send-mail window opened from the main window's menu lands on the main window's client
// area, inside the screen; the picture is of the whole screen.
TEST_F(ShellScreens, SendMailWindowOnTheScreen) {
    execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Active) VALUES ('Plan', 1)"));
    execute(QStringLiteral(
        "INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, RecType, \"Default\") "
        "VALUES ('Velk', 'robot@example.org', '127.0.0.1:2525', 'Author', 1)"));
    execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('Budget 2026')"));
    execute(
        QStringLiteral("INSERT INTO BodyText (Body_Text) VALUES ('Please fill in your sheet and reply.')"));
    for (const char* sheet : {"Sales", "Costs", "Staff", "Summary"}) {
        const QString name = QString::fromLatin1(sheet);
        execute(QStringLiteral(
                    "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, Select_By_User, "
                    "User_Filename, UFNPath, UF_Create_Date) VALUES ('%1', 'Budget.xlsx', 'Plan', 1, "
                    "'%1.xlsx', '/home/budgets/Plan/North/%1.xlsx', '2026-01-15 09:30:00')")
                    .arg(name));
        execute(QStringLiteral(
                    "INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Master_File, "
                    "Budget_Name, Attachment) VALUES ('%1.xlsx', 'User of %1', 1, 'Budget.xlsx', "
                    "'Plan', 1)")
                    .arg(name));
    }
    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    lumidesk::frmMain* main = makeMain();
    main->setGeometry(QRect(QPoint(40, 30), QSize(960, 700)));
    main->show();
    QCoreApplication::processEvents();
    main->menuItem(QStringLiteral("mnuSendMail"))->trigger();
    QWidget* window = platform::ui::LoadedWindows::find(QStringLiteral("frmMail"));
    ASSERT_NE(window, nullptr);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    const QRect screen = main->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->frameGeometry()));
    EXPECT_EQ(window->parentWidget(), main);
    EXPECT_EQ(window->frameGeometry().top(), main->geometry().top())
        << "on the main window, not the screen's top";

    const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window->raise();
    QTest::qWait(300);
    EXPECT_TRUE(main->screen()->grabWindow(0).save(folder + QStringLiteral("/send-mail-on-screen.png")));
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
