// The add-in's help with the add-in started in-process: the Help button of each of its windows
// opens the add-in's own pages on their contents, which lead to that window's page; a closing
// window closes the help, the shut-down closes it and leaves no viewer behind, and the pages
// built into the add-in are complete (a title each, every page reached from the contents).
#include "BuildBudgetFixture.h"
#include "admin/frmConfigure.h"
#include "lumicell/AddInHelp.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "lumicell/buildbudget/frmSync.h"
#include "lumicell/frmRun.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/HelpWindow.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <functional>

namespace {

using lumicelltest::BuildBudgetFixture;
using platform::ui::HelpWindow;

class HelpTest : public BuildBudgetFixture {
protected:
    // The help window shown, if any.
    static HelpWindow* shownHelp() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* help = qobject_cast<HelpWindow*>(window); help && help->isVisible())
                return help;
        return nullptr;
    }
    static QStringList contentsLinks() {
        HelpWindow* help = HelpWindow::showContents();
        static const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)\""));
        QStringList pages;
        for (auto found = link.globalMatch(help->browser()->toHtml()); found.hasNext();)
            pages << found.next().captured(1);
        return pages;
    }
};

struct AddInWindow {
    const char* name;
    std::function<QWidget*()> open;
    const char* page;
    const char* title;
    const char* heading; // a part of the window the page tells of
    bool closingClosesHelp;
};

TEST_F(HelpTest, EachWindowsHelpOpensTheAddInsContentsWhichLeadToItsPage) {
    options().AWBSet = QStringLiteral("None"); // no workbook: every window opens without a question
    const std::vector<AddInWindow> windows = {
        {"Build Budget",
         [] {
             lumicell::BuildBudget();
             return static_cast<QWidget*>(lumicell::frmBuild::loaded());
         },
         "frmBuild.html", "Build Budget", "Create User Files", true},
        {"Sync", [] { return static_cast<QWidget*>(&lumicell::frmSync::open()); }, "frmSync.html", "Sync",
         "Clear Records", false},
        {"Run Budget",
         [] {
             lumicell::RunBudget();
             return static_cast<QWidget*>(lumicell::frmRun::loaded());
         },
         "frmRun.html", "Run Budget", "Send Users Mail", true},
        {"Configure",
         [] {
             lumicell::Configure();
             return static_cast<QWidget*>(admin::frmConfigure::loaded());
         },
         "frmConfigure.html", "Configure", "Admin Accounts", true},
    };
    for (const AddInWindow& row : windows) {
        SCOPED_TRACE(row.name);
        QWidget* window = row.open();
        ASSERT_NE(window, nullptr);
        auto* cmdHelp = window->findChild<QPushButton*>(QStringLiteral("cmdHelp"));
        ASSERT_NE(cmdHelp, nullptr);
        cmdHelp->click();
        HelpWindow* help = shownHelp();
        ASSERT_NE(help, nullptr) << "Help shows the help window";
        EXPECT_EQ(help->windowTitle(), lumicell::kAddInHelpTitle);
        EXPECT_EQ(help->browser()->source().toString(), u"index.html");
        EXPECT_EQ(help->browser()->documentTitle(), lumicell::kAddInHelpTitle);
        EXPECT_TRUE(help->browser()->toHtml().contains(QString::fromLatin1(row.page)));

        // The contents' link to the window's page.
        help->browser()->setSource(QUrl(QString::fromLatin1(row.page)));
        EXPECT_EQ(help->browser()->documentTitle(), QString::fromLatin1(row.title));
        EXPECT_TRUE(help->browser()->toPlainText().contains(QString::fromLatin1(row.heading)));
        EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();

        window->close();
        EXPECT_EQ(shownHelp() == nullptr, row.closingClosesHelp);
        HelpWindow::closeAll();
    }
}

TEST_F(HelpTest, TheShutDownClosesTheHelpAndLeavesNoViewer) {
    platform::ui::showHelpPage(QStringLiteral("frmBuild"));
    ASSERT_NE(shownHelp(), nullptr);
    lumicell::AppShutdown();
    EXPECT_EQ(shownHelp(), nullptr);
    platform::ui::showHelpPage(QStringLiteral("frmBuild"));
    EXPECT_EQ(shownHelp(), nullptr) << "no help without a started add-in";

    lumicell::OnOpenWorkBook(app_);
    platform::ui::showHelpPage(QStringLiteral("frmRun"));
    EXPECT_NE(shownHelp(), nullptr) << "a new start installs the help again";
}

TEST_F(HelpTest, EveryPageHasATitleAndIsReachedFromTheContents) {
    const QStringList pages = HelpWindow::pageNames();
    for (const char* page :
         {"index.html", "frmBuild.html", "frmSync.html", "frmRun.html", "frmConfigure.html"})
        EXPECT_TRUE(pages.contains(QString::fromLatin1(page))) << page;
    const QStringList links = contentsLinks();
    for (const QString& page : pages) {
        EXPECT_NE(HelpWindow::pageTitle(page), page) << page.toStdString() << " has a title";
        if (page != u"index.html") {
            EXPECT_TRUE(links.contains(page)) << page.toStdString() << " is in the contents";
        }
    }
    for (const QString& link : links)
        EXPECT_TRUE(pages.contains(link)) << link.toStdString() << " is a page of the add-in";
}

} // namespace
