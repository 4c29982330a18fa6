// The help window over the pages built into the program: contents, index and search, one page
// per window, and closing every help window with the main window.
#include "platform/ui/HelpWindow.h"

#include "MainWindowFixture.h"
#include "lumidesk/DesktopHelp.h"
#include "platform/ui/LoadedWindows.h"

#include <QLineEdit>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

using lumideskTest::MainWindowFixture;
using platform::ui::HelpWindow;

class Help : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        lumidesk::UseDesktopHelpPages();
    }
};

TEST_F(Help, EveryWindowOfTheShellHasItsPage) {
    const QStringList pages = HelpWindow::pageNames();
    for (const char* page : {"index.html", "frmMain.html", "frmAbout.html", "frmErrorsTable.html"})
        EXPECT_TRUE(pages.contains(QString::fromLatin1(page))) << page;
    for (const QString& page : pages)
        EXPECT_NE(HelpWindow::pageTitle(page), page) << page.toStdString() << " has a title";
}

TEST_F(Help, ContentsIndexAndSearch) {
    HelpWindow* help = HelpWindow::showContents();
    EXPECT_EQ(help->browser()->source().toString(), QStringLiteral("index.html"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Main window")));

    HelpWindow::showIndex();
    const QString index = help->browser()->toHtml();
    EXPECT_TRUE(index.contains(QStringLiteral("frmAbout.html")));
    EXPECT_TRUE(index.contains(QStringLiteral("frmMain.html")));

    help->search(QStringLiteral("splash"));
    EXPECT_TRUE(help->browser()->toHtml().contains(QStringLiteral("frmAbout.html")));
    help->search(QStringLiteral("splash zebra-unicorn"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("No page holds")));

    EXPECT_EQ(HelpWindow::showSearch(), help) << "one help window for the program";
    EXPECT_EQ(HelpWindow::showPage(QStringLiteral("frmMain"))->browser()->source().toString(),
              QStringLiteral("frmMain.html"));
}

TEST_F(Help, TheHelpMenuOpensItAndClosingTheMainWindowClosesIt) {
    lumidesk::frmMain* main = makeMain();
    main->show();
    main->menuItem(QStringLiteral("mnuHelpContents"))->trigger();
    ASSERT_TRUE(platform::ui::LoadedWindows::find(QStringLiteral("HelpWindow"))->isVisible());
    main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("HelpWindow")));
}

} // namespace
