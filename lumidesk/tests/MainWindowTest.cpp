// The main window: its display class and window place by the settings, its load from the
// settings (each bad value read as its default), the budget items of Edit > Set Budget
// Context, the network menu states, the status text, workbooks dropped onto it, and its
// closing.
#include "MainWindowFixture.h"
#include "lumidesk/MainWindowPlace.h"
#include "lumidesk/frmMain.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/ProgramIcons.h"
#include "platform/ui/Twips.h"
#include "support/ScriptedUi.h"
#include "wizard/frmQSWizard.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using lumideskTest::MainWindowFixture;
using platform::ui::Twips;

class MainWindow : public MainWindowFixture {};

// Screen widths against the class stored before: what is written and what the options hold.
TEST_F(MainWindow, DisplayClassTable) {
    struct Row {
        int width;
        const char* storedClass; // nullptr: none stored yet
        const char* storedResize;
        const char* resolution; // written afterwards
        const char* scrollbars; // "<none>" when not written
        const char* resize;
        bool scrollBarsField;
        bool resizeField;
    };
    const Row rows[] = {
        {1024, nullptr, nullptr, "1024", "0", "0", false, false},
        {800, "1024", nullptr, "800", "1", "0", true, false},
        {1280, nullptr, nullptr, "Other", "<none>", "<none>", false, false},
        {1280, nullptr, "1", "Other", "<none>", "1", false, false},
        {1024, "1024", nullptr, "1024", "<none>", "<none>", true,
         true}, // same class: nothing written, fields kept
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width);
        QFile::remove(platform::sys::settingsFilePath(platform::sys::kDesktopApplication));
        if (row.storedClass)
            write("Options", "Resolution", QString::fromLatin1(row.storedClass));
        if (row.storedResize)
            write("Options", "Resize", QString::fromLatin1(row.storedResize));
        core::gOptions->ScrollBars = true;
        core::gOptions->Resize = true;
        lumidesk::ApplyDisplayClass(row.width);
        EXPECT_EQ(read("Options", "Resolution"), QString::fromLatin1(row.resolution));
        EXPECT_EQ(read("Options", "ScrollBars"), QString::fromLatin1(row.scrollbars));
        EXPECT_EQ(read("Options", "Resize"), QString::fromLatin1(row.resize));
        EXPECT_EQ(core::gOptions->ScrollBars, row.scrollBarsField);
        EXPECT_EQ(core::gOptions->Resize, row.resizeField);
    }
}

TEST_F(MainWindow, ALoadOnAnotherClassTakesTheStoredResizeAfterwards) {
    // The class of this screen is stored already, so the load's first step writes nothing.
    const QScreen* screen = QGuiApplication::primaryScreen();
    write("Options", "Resolution", lumidesk::DisplayClassFor(screen->geometry().width()));
    write("Options", "Resize", QStringLiteral("1"));
    core::gOptions->Resize = false;
    makeMain();
    EXPECT_TRUE(core::gOptions->Resize) << "a stored Resize of 1 sets the field after the display class";
}

TEST_F(MainWindow, WindowPlaceTable) {
    struct Row {
        const char* width;
        const char* height;
        int expectedWidth;
        int expectedHeight;
    };
    const Row rows[] = {
        {nullptr, nullptr, 12780, 10140},
        {"12600", "9700", 12540, 9600},
        {"12601", "9701", 12601, 9701},
        {"wide", "tall", 12780, 10140}, // unreadable values read as their defaults
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width ? row.width : "none");
        QFile::remove(platform::sys::settingsFilePath(platform::sys::kDesktopApplication));
        if (row.width) {
            write("Runtime", "MainWidth", QString::fromLatin1(row.width));
            write("Runtime", "MainHeight", QString::fromLatin1(row.height));
        }
        const lumidesk::WindowPlace place = lumidesk::StoredWindowPlace();
        EXPECT_EQ(place.left, 1440);
        EXPECT_EQ(place.top, 1785);
        EXPECT_EQ(place.width, row.expectedWidth);
        EXPECT_EQ(place.height, row.expectedHeight);
    }
    write("Runtime", "MainLeft", QStringLiteral("-300"));
    write("Runtime", "MainTop", QStringLiteral("99999"));
    EXPECT_EQ(lumidesk::StoredWindowPlace().left, -300) << "left and top are taken as stored";
    EXPECT_EQ(lumidesk::StoredWindowPlace().top, 99999);
}

TEST_F(MainWindow, LoadWithoutSettingsGivesTheDesignState) {
    lumidesk::frmMain* main = makeMain();
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Lumivane"));
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuViewToolbar"))->isChecked());
    EXPECT_TRUE(main->tbToolBar()->isHidden());
    EXPECT_TRUE(main->menuItem(QStringLiteral("mnuShowControls"))->isChecked());
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuFind"))->isEnabled());
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuSAConfig"))->isEnabled());
    EXPECT_TRUE(main->menuItem(QStringLiteral("mnuCompactDatabase"))->isEnabled());
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuOpen"))->isVisible());
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuEditCut"))->isEnabled());
    EXPECT_EQ(main->menuItem(QStringLiteral("mnuClrUsersData"))->text(),
              QStringLiteral("Clear &Users Table Data  "));
    EXPECT_EQ(main->menuItem(QStringLiteral("mnuHelpAbout"))->text(), QStringLiteral("&About "));
    EXPECT_EQ(main->statusText(), QStringLiteral("You are working local."));
    EXPECT_EQ(main->size(), Twips::size(12780, 10140));
    EXPECT_FALSE(main->menuBar()->actions().contains(
        main->menu(QStringLiteral("mnuRtMseMenufrmConfig"))->menuAction()))
        << "the context menus never show in the menu bar";
}

TEST_F(MainWindow, LoadTakesEverySettingAndReadsABadOneAsItsDefault) {
    write("Runtime", "ShowToolbar", QStringLiteral("True"));
    write("Runtime", "ShowControls", QStringLiteral("maybe")); // no flag: its default, True
    write("Runtime", "SaveMailPW", QStringLiteral("1"));
    write("Options", "ToolbarPictures", QStringLiteral("0"));
    write("Runtime", "MainWidth", QStringLiteral("lots")); // no number: its default
    lumidesk::frmMain* main = makeMain();
    EXPECT_TRUE(main->menuItem(QStringLiteral("mnuViewToolbar"))->isChecked());
    EXPECT_FALSE(main->tbToolBar()->isHidden());
    EXPECT_TRUE(main->menuItem(QStringLiteral("mnuShowControls"))->isChecked());
    EXPECT_TRUE(core::gOptions->SaveMailPW);
    EXPECT_EQ(main->width(), Twips::toPixels(12780));
    main->show();
    EXPECT_FALSE(main->picQuickStart()->isVisible())
        << "pictures off hides both, even with the toolbar shown";
    EXPECT_FALSE(main->picLoadSample()->isVisible());
    EXPECT_FALSE(main->picQuickStart()->isEnabled());
    EXPECT_EQ(main->statusText(), QStringLiteral("You are working local."))
        << "the load ran to its last step";
}

TEST_F(MainWindow, ShowToolbarAndShowUpdateControlsAreSavedAsTrueOrFalse) {
    lumidesk::frmMain* main = makeMain();
    main->menuItem(QStringLiteral("mnuViewToolbar"))->trigger();
    EXPECT_EQ(read("Runtime", "ShowToolbar"), QStringLiteral("True"));
    EXPECT_FALSE(main->tbToolBar()->isHidden());
    main->menuItem(QStringLiteral("mnuViewToolbar"))->trigger();
    EXPECT_EQ(read("Runtime", "ShowToolbar"), QStringLiteral("False"));
    EXPECT_TRUE(main->tbToolBar()->isHidden());

    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    main->menuItem(QStringLiteral("mnuShowControls"))->trigger();
    EXPECT_EQ(read("Runtime", "ShowControls"), QStringLiteral("False"));
}

// View > Show Toolbar on a window already shown lays the toolbar out at once: the two picture
// buttons sit at their places inside it, not behind the overflow button, and stay so when the
// window is made larger (maximised) or smaller again. Every button has a picture from the icon
// theme or the program's own, and both programs' windows carry the program's icon.
TEST_F(MainWindow, TheToolbarShownFromTheMenuIsLaidOutAtOnce) {
    lumidesk::frmMain* main = makeMain();
    main->resize(1024, 700);
    main->show();
    QCoreApplication::processEvents();
    main->menuItem(QStringLiteral("mnuViewToolbar"))->trigger();
    QToolBar* bar = main->tbToolBar();
    QToolButton* overflow = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(overflow, nullptr);
    for (const int width : {1024, 1280, 1000}) {
        SCOPED_TRACE(width);
        main->resize(width, 700);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        EXPECT_FALSE(overflow->isVisible()) << "nothing sits behind the overflow button";
        for (QPushButton* picture : {main->picQuickStart(), main->picLoadSample()})
            EXPECT_TRUE(picture->isVisible()) << picture->objectName().toStdString();
        EXPECT_EQ(main->picQuickStart()->mapTo(bar, QPoint(0, 0)).x(), platform::ui::Twips::toPixels(9600));
    }
    const std::pair<const char*, const char*> pictures[] = {
        {"New", "document-new"},
        {"Open", "document-open"},
        {"Save As", "document-save-as"},
        {"Save", "document-save"},
        {"Print", "document-print"},
        {"Cut", "edit-cut"},
        {"Copy", "edit-copy"},
        {"Paste", "edit-paste"},
        {"SetupFilesWizard", "tools-wizard"},
        {"SetupSystemWizard", "system-run"},
        {"DataTable", "x-office-spreadsheet"},
        {"UpdateMF", "view-refresh"},
        {"MasterFiles", "folder"},
        {"Mail", "mail-send"},
        {"GetMail", "mail-receive"},
        {"Configure", "preferences-system"},
        {"Errors", "dialog-warning"},
    };
    for (const auto& [key, name] : pictures) {
        const QImage shown = main->toolbarButton(QString::fromLatin1(key))->icon().pixmap(16).toImage();
        EXPECT_TRUE(platform::ui::hasOwnDrawing(QString::fromLatin1(name))) << name;
        EXPECT_EQ(shown, platform::ui::themeIcon(QString::fromLatin1(name)).pixmap(16).toImage()) << key;
    }
    const QImage own = platform::ui::programIcon(platform::ui::kLumideskIcon).pixmap(32).toImage();
    EXPECT_FALSE(own.isNull());
    EXPECT_EQ(main->windowIcon().pixmap(32).toImage(), own);
}

// Budget items: one per budget in query order, the placeholder skipped, each carrying its
// own budget's name ("&" shown as itself); choosing one makes that budget the context.
TEST_F(MainWindow, BudgetItemsCarryTheirBudgetsNames) {
    execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('R&D 2025'), ('Sales')"));
    lumidesk::frmMain* main = makeMain();
    const QList<QAction*> items = main->budgetItems();
    ASSERT_EQ(items.size(), 2);
    QStringList names;
    for (QAction* item : items)
        names << item->data().toString();
    EXPECT_TRUE(names.contains(QStringLiteral("R&D 2025")) && names.contains(QStringLiteral("Sales")));
    for (QAction* item : items)
        EXPECT_EQ(item->text(),
                  QString(item->data().toString()).replace(QStringLiteral("&"), QStringLiteral("&&")));
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuBudgets"))->isVisible()) << "the template is hidden";
    const QList<QAction*> menu = main->menu(QStringLiteral("mnuSetBudContext"))->actions();
    EXPECT_EQ(menu.indexOf(items[0]) + 1, menu.indexOf(items[1]));
    EXPECT_EQ(menu.last()->objectName(), QStringLiteral("mnuNothing"));

    // The rows change after the load: the items keep the budgets they were made for.
    execute(QStringLiteral("DELETE FROM Budgets WHERE Budget_Name = '<Dummy record>'"));
    execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Aardvark')"));
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    main->mnuBudgets_Click(2);
    EXPECT_EQ(core::gOptions->BudgetNameContext, items[1]->data().toString());
    main->mnuBudgets_Click(0);
    EXPECT_EQ(core::gOptions->BudgetNameContext, items[1]->data().toString())
        << "the template changes nothing";
    main->mnuNothing_Click();
    EXPECT_TRUE(core::gOptions->BudgetNameContext.isEmpty());
}

TEST_F(MainWindow, OnlyThePlaceholderOrAFailedQueryGivesNoBudgetItems) {
    lumidesk::frmMain* main = makeMain();
    EXPECT_TRUE(main->budgetItems().isEmpty());
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuBudgets"))->isVisible()) << "only Nothing shows";
    closeAllWindows();

    execute(QStringLiteral("DROP TABLE Budgets"));
    testsupport::ScopedScriptedUi ui;
    main = makeMain();
    EXPECT_TRUE(main->budgetItems().isEmpty());
    EXPECT_TRUE(main->menuItem(QStringLiteral("mnuBudgets"))->isVisible())
        << "the template keeps its design state";
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(main->statusText(), QStringLiteral("You are working local."))
        << "the load goes on after the query";
}

TEST_F(MainWindow, NetworkMenusFollowTheLogonOfTheStartup) {
    struct Row {
        bool netMenus;
        bool superAdmin;
        const char* logon;
        const char* makeNetDB;
        bool saConfig;
        bool upkeep;
    };
    const Row rows[] = {
        {false, false, "&Logon", "&Make network database", false, true},
        {true, true, "&Log off LumiNet", "&Remove network database", true, true},
        {true, false, "&Log off LumiNet", "&Make network database", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.superAdmin);
        core::gOptions->NetMenus = row.netMenus;
        core::gOptions->SAAuth = row.superAdmin;
        core::gOptions->DatabaseMode = row.netMenus ? QStringLiteral("Network") : QStringLiteral("Local");
        core::gOptions->LumiAdminUserName = QStringLiteral("Ann");
        // A bad setting earlier in the load does not keep the states from being set.
        write("Runtime", "ShowToolbar", QStringLiteral("sometimes"));
        lumidesk::frmMain* main = makeMain();
        EXPECT_EQ(main->menuItem(QStringLiteral("mnuLogon"))->text(), QString::fromLatin1(row.logon));
        EXPECT_EQ(main->menuItem(QStringLiteral("mnuMakeNetDB"))->text(), QString::fromLatin1(row.makeNetDB));
        EXPECT_EQ(main->menuItem(QStringLiteral("mnuSAConfig"))->isEnabled(), row.saConfig);
        EXPECT_EQ(main->menuItem(QStringLiteral("mnuCompactDatabase"))->isEnabled(), row.upkeep);
        EXPECT_EQ(main->menuItem(QStringLiteral("mnuSystemClean"))->isEnabled(), row.upkeep);
        EXPECT_EQ(main->statusText(), row.netMenus ? QStringLiteral("Ann is logged on to LumiNet.")
                                                   : QStringLiteral("You are working local."));
        closeAllWindows();
    }
}

TEST_F(MainWindow, TheFileSystemViewIsRefusedInTheContextView) {
    core::gOptions->ViewMode = QStringLiteral("Context");
    lumidesk::frmMain* main = makeMain();
    testsupport::ScopedScriptedUi ui;
    main->mnuMasterFilesView_Click();
    main->tbToolBar_ButtonClick(QStringLiteral("MasterFiles"));
    EXPECT_EQ(ui->messageTexts(),
              QStringList(2, QStringLiteral("This view has been turned off by the SuperAdmin User.")));
}

// Workbooks among dropped files go to the QuickStart window in drop order; the old format is
// refused with a message, other files are skipped.
TEST_F(MainWindow, DroppedFiles) {
    lumidesk::frmMain* main = makeMain();
    EXPECT_TRUE(main->acceptDrops());
    const QString folder = testsupport::freshDir(QStringLiteral("drops"));
    auto url = [&folder](const char* name) {
        return QUrl::fromLocalFile(folder + QLatin1Char('/') + QLatin1String(name));
    };
    testsupport::ScopedScriptedUi ui;
    main->dropFiles({url("notes.txt"), url("Plan.XLSX"), url("Old.xls"), url("Cost.xlsm")});
    EXPECT_EQ(
        ui->messageTexts(),
        QStringList{QStringLiteral("The workbook 'Old.xls' is in the old binary format (.xls). Open it in a "
                                   "spreadsheet program and save it as .xlsx first.")});
    const wizard::frmQSWizard* quickStart = wizard::frmQSWizard::loaded();
    ASSERT_NE(quickStart, nullptr);
    EXPECT_EQ(quickStart->parentWidget(), main) << "owned by the main window";
    EXPECT_EQ(quickStart->windowTitle(), QStringLiteral("QuickStart Wizard"));
    const platform::ui::ListBox* books = quickStart->lbxWorkbooks();
    ASSERT_EQ(books->listCount(), 2);
    for (int row : {0, 1}) {
        const char* name = row == 0 ? "Plan.XLSX" : "Cost.xlsm";
        EXPECT_EQ(books->subItem(row, wizard::frmQSWizard::kWorkbookName), QLatin1String(name));
        EXPECT_EQ(books->subItem(row, wizard::frmQSWizard::kWorkbookPath), url(name).toLocalFile());
    }
    ui->clear();
    main->dropFiles({url("notes.txt"), url("readme.md")});
    EXPECT_TRUE(ui->asked().empty()) << "nothing to take, nothing said";
}

// Whatever the drag source proposes, a drop is taken as a copy, so the source never deletes the
// dropped file; a drag that offers no copy is refused.
TEST_F(MainWindow, DropsAreTakenAsCopiesOnly) {
    lumidesk::frmMain* main = makeMain();
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(testsupport::freshDir(QStringLiteral("drag")) + QStringLiteral("/a.txt"))});
    const struct {
        const char* what;
        Qt::DropActions offered;
        Qt::DropAction proposed;
        bool accepted;
    } cases[] = {
        {"copy or move, move proposed", Qt::CopyAction | Qt::MoveAction, Qt::MoveAction, true},
        {"copy only", Qt::CopyAction, Qt::CopyAction, true},
        {"move only", Qt::MoveAction, Qt::MoveAction, false},
    };
    for (const auto& c : cases) {
        QDragEnterEvent enter(QPoint(5, 5), c.offered, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setDropAction(c.proposed);
        QCoreApplication::sendEvent(main, &enter);
        EXPECT_EQ(c.accepted, enter.isAccepted()) << c.what;
        QDropEvent drop(QPointF(5, 5), c.offered, &data, Qt::LeftButton, Qt::NoModifier);
        drop.setDropAction(c.proposed);
        QCoreApplication::sendEvent(main, &drop);
        EXPECT_EQ(c.accepted, drop.isAccepted()) << c.what;
        if (c.accepted) {
            EXPECT_EQ(Qt::CopyAction, enter.dropAction()) << c.what;
            EXPECT_EQ(Qt::CopyAction, drop.dropAction()) << c.what;
        }
    }
}

TEST_F(MainWindow, ClosingSavesThePlaceUnlessMinimized) {
    lumidesk::frmMain* main = makeMain();
    main->show();
    main->setGeometry(30, 40, 700, 650);
    main->close();
    EXPECT_EQ(read("Runtime", "MainWidth"), QString::number(Twips::fromPixels(700)));
    EXPECT_EQ(read("Runtime", "MainHeight"), QString::number(Twips::fromPixels(650)));
    EXPECT_EQ(read("Runtime", "MainLeft"), QString::number(Twips::fromPixels(main->frameGeometry().x())));
    EXPECT_EQ(core::gOptions->ActiveForm, nullptr);
    closeAllWindows();

    QFile::remove(platform::sys::settingsFilePath(platform::sys::kDesktopApplication));
    main = makeMain();
    main->showMinimized();
    main->close();
    EXPECT_EQ(read("Runtime", "MainWidth"), QStringLiteral("<none>"));
}

TEST_F(MainWindow, WindowCommandsArrangeTheChildWindows) {
    lumidesk::frmMain* main = makeMain();
    main->show();
    for (int i = 0; i < 2; ++i) {
        auto* child = new QWidget;
        child->setWindowTitle(QStringLiteral("Child %1").arg(i));
        main->addChildWindow(child)->show();
    }
    const QList<QMdiSubWindow*> windows = main->mdiArea()->subWindowList();
    const QRect area = main->mdiArea()->viewport()->rect();
    main->mnuWindowTileHorizontal_Click();
    EXPECT_EQ(windows[0]->width(), area.width());
    EXPECT_EQ(windows[1]->y(), windows[0]->height());
    main->mnuWindowTileVertical_Click();
    EXPECT_EQ(windows[0]->height(), area.height());
    EXPECT_EQ(windows[1]->x(), windows[0]->width());
    main->mnuWindowCascade_Click();
    EXPECT_GT(windows[1]->y(), windows[0]->y());
}

} // namespace
