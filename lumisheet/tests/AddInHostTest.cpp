// The real liblumicell.so loaded by the spreadsheet program's host side, as the program loads it:
// the program and the add-in share one Application (the add-in's event sink listens to the
// program's own), one dialog service (the add-in's questions reach the test's scripted one) and
// one settings store and edition; a command called before OnOpenWorkBook comes back as an
// automation error that the program shows; a second entry object sees the same add-in.
#include "lumisheet/AddInHost.h"

#include "SheetTestSupport.h"
#include "lumicell/tests/AddInFolders.h"
#include "lumisheet/MainWindow.h"
#include "lumisheet/SheetModel.h"
#include "lumisheet/SheetView.h"
#include "lumisheet/WorkbookFiles.h"
#include "lumisheet/WorkbookView.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sys/Edition.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/LoadedWindows.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLibrary>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using lumicelltest::AddInFolders;
using platform::ui::Answer;

// The program's Application, which can tell how many receivers its events have.
class ObservedApplication : public platform::sheet::Application {
public:
    int listenersOfWorkbookActivate() const {
        return receivers(SIGNAL(workbookActivate(platform::sheet::Workbook*)));
    }
};

class AddInHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddInFolders::copyBuiltMaster(folders_.masterPath());
        lumicelltest::writeSetting(platform::sys::kAddInApplication, "Options", "Splash",
                                   QStringLiteral("1"));
        ASSERT_TRUE(host_.load(QStringLiteral(LUMICELL_LIBRARY)));
        window_ = std::make_unique<lumisheet::MainWindow>(app_, &host_);
    }
    void TearDown() override {
        host_.shutDown();
        window_.reset();
    }

    AddInFolders folders_;
    testsupport::ScopedScriptedUi ui_;
    ObservedApplication app_;
    lumisheet::AddInHost host_;
    std::unique_ptr<lumisheet::MainWindow> window_;
};

TEST_F(AddInHostTest, TheProgramAndTheAddInShareTheLayers) {
    const int programsOwn = app_.listenersOfWorkbookActivate(); // the window follows the workbooks
    ASSERT_TRUE(host_.start(app_));
    EXPECT_EQ(app_.listenersOfWorkbookActivate(), programsOwn + 1)
        << "the add-in's sink is connected to the program's Application";
    EXPECT_EQ(platform::sys::edition().messageTitle, u"LumivaneXL") << "the add-in set the process's edition";
    EXPECT_EQ(lumicelltest::setting(platform::sys::kAddInApplication, "Runtime", "ReplaceDB"), u"1")
        << "the add-in wrote to the one settings store";
    app_.add(); // an event the program raises; the add-in's handler runs inside the library

    // The add-in's messages come to the dialog service the program installed: the Build Budget
    // command offers to register a workbook file new to the system.
    const QString path = testsupport::freshDir(QStringLiteral("shared")) + QStringLiteral("/New.xlsx");
    platform::sheet::Workbook::create(QStringLiteral("New.xlsx"))->saveAs(path);
    ASSERT_NE(lumisheet::OpenWorkbook(app_, path), nullptr);
    ui_->answerMessages({Answer::No});
    EXPECT_TRUE(host_.buildBudget());
    EXPECT_EQ(ui_->messageTexts(),
              QStringList{"This Excel file is new to Lumivane.  Add it to a budget?\nThis will "
                          "not write data to the workbook."});
    EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");

    // A second start replaces the sink: still one of the add-in's.
    ASSERT_TRUE(host_.start(app_));
    EXPECT_EQ(app_.listenersOfWorkbookActivate(), programsOwn + 1);
    ASSERT_TRUE(host_.shutDown());
    EXPECT_EQ(app_.listenersOfWorkbookActivate(), programsOwn);
}

// The add-in's About box, from the program's add-in menu, is owned by the program's window.
TEST_F(AddInHostTest, TheAddInMenuOffersTheFourCommands) {
    ASSERT_TRUE(host_.start(app_));
    ASSERT_NE(window_->addInMenu(), nullptr);
    QStringList items;
    for (QAction* action : window_->addInMenu()->actions())
        if (!action->isSeparator())
            items << action->text();
    EXPECT_EQ(items,
              (QStringList{"&Build Budget...", "&Run Budget...", "&Configure...", "&About Lumivane..."}));
    window_->findChild<QAction*>(QStringLiteral("mnuAboutBudget"))->trigger();
    QWidget* box = platform::ui::LoadedWindows::find(QStringLiteral("frmAbout"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), window_.get());
}

TEST_F(AddInHostTest, ACommandBeforeTheStartComesBackAsAnAutomationErrorThatTheProgramShows) {
    ui_->answerMessages({Answer::Ok});
    EXPECT_FALSE(host_.configure());
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_TRUE(
        ui_->asked()[0].text.startsWith(u"The add-in stopped with an automation error.\n\nError 91: "))
        << ui_->asked()[0].text.toStdString();
    EXPECT_EQ(ui_->asked()[0].title, u"Lumisheet");
}

// Every entry object works on the add-in's one context.
TEST_F(AddInHostTest, ASecondEntryObjectSeesTheSameAddIn) {
    ASSERT_TRUE(host_.start(app_));
    QLibrary library(QStringLiteral(LUMICELL_LIBRARY));
    auto create =
        reinterpret_cast<lumicell::CreateBridgeFunction>(library.resolve(lumicell::kEntryPointName));
    ASSERT_NE(create, nullptr);
    std::unique_ptr<lumicell::cBridge> second(create());
    EXPECT_FALSE(second->AboutBudget().failed()) << "started through the first entry object";
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmAbout")));
    EXPECT_FALSE(second->AppShutdown().failed());
    EXPECT_EQ(second->Configure().number, 91);
    // The program's own entry object finds the add-in shut down too.
    EXPECT_FALSE(host_.shutDown());
    EXPECT_TRUE(ui_->messageTexts().value(0).contains(u"Error 91: "))
        << ui_->messageTexts().join(u'|').toStdString();
}

// A budget workbook saved by LibreOffice (the sample budget's Employee.xlsx) shows in the program
// as LibreOffice shows it, cell for cell; with LUMIDESK_SCREENSHOT_DIR set the program with its
// add-in menu and the add-in's About box are saved there as pictures.
TEST_F(AddInHostTest, ABudgetWorkbookShowsAsLibreOfficeShowsIt) {
    const QString path = testsupport::freshDir(QStringLiteral("budget")) + QStringLiteral("/Employee.xlsx");
    ASSERT_TRUE(QFile::copy(
        qEnvironmentVariable("LUMIVANE_SOURCE_DIR") + QStringLiteral("/wizard/samples/Employee.xlsx"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    window_->resize(900, 520);
    window_->show();
    ASSERT_TRUE(host_.start(app_));
    ASSERT_NE(lumisheet::OpenWorkbook(app_, path), nullptr);
    lumisheet::SheetModel* model = window_->activeView()->shownModel();
    ASSERT_NE(model, nullptr);
    const QStringList lines = sheettest::shownByLibreOffice(path, 1);
    ASSERT_FALSE(lines.isEmpty());
    for (int row = 0; row < lines.size(); ++row) {
        const QStringList fields = sheettest::csvFields(lines[row]);
        for (int col = 0; col < fields.size(); ++col)
            EXPECT_EQ(model->index(row, col).data().toString(), fields[col])
                << "row " << row + 1 << ", column " << col + 1;
    }

    const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window_->activeView()->sheetView()->setCurrentIndex(model->index(3, 2));
    QTest::qWait(200);
    window_->grab().save(folder + QStringLiteral("/lumisheet.png"));
    QMenu* menu = window_->addInMenu();
    menu->popup(window_->mapToGlobal(window_->menuBar()->actionGeometry(menu->menuAction()).bottomLeft()));
    QTest::qWait(300);
    const QRect area = window_->frameGeometry().united(menu->geometry());
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(folder + QStringLiteral("/lumisheet-addin-menu.png"));
    menu->hide();
    ASSERT_TRUE(host_.about());
    QWidget* box = platform::ui::LoadedWindows::find(QStringLiteral("frmAbout"));
    ASSERT_NE(box, nullptr);
    QTest::qWait(300);
    box->grab().save(folder + QStringLiteral("/lumicell-about.png"));
}

// The Build Budget dialog over LibreOffice's Budget.xlsx open in the program, through the real
// library: the workbook new to the system is registered under a budget through the dialog's
// questions; the dialog belongs to the program's window and lists the workbook's sheets; two of
// them picked with folders typed in part are cut beside the workbook, which stays unchanged, and
// LibreOffice reads the user files; a user typed in part is assigned. With
// LUMIDESK_SCREENSHOT_DIR set the tabs are saved there as pictures (build-budget-<tab>.png) and
// the program with the dialog (lumisheet-build-budget.png).
TEST_F(AddInHostTest, TheBuildBudgetDialogOverABudgetWorkbook) {
    const QString folder = testsupport::freshDir(QStringLiteral("budget"));
    const QString path = folder + QStringLiteral("/Budget.xlsx");
    ASSERT_TRUE(QFile::copy(testsupport::fixturePath(QStringLiteral("budget/Budget.xlsx")), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    // Folder names and users in the master database (a plain database file), as the desktop
    // program's configuration would leave them.
    sheettest::runPython(
        QStringLiteral("import sqlite3, sys\ndb = sqlite3.connect(sys.argv[1])\n"
                       "db.execute(\"INSERT INTO FolderNames (Folder_Name) VALUES ('North'), ('South')\")\n"
                       "db.execute(\"INSERT INTO UsersData (Users) VALUES ('Smith'), ('Jones')\")\n"
                       "db.commit()\n"),
        {folders_.masterPath()});
    window_->resize(900, 560);
    window_->show();
    ASSERT_TRUE(host_.start(app_));
    platform::sheet::Workbook* master = lumisheet::OpenWorkbook(app_, path);
    ASSERT_NE(master, nullptr);
    ui_->answerMessages({Answer::Yes});
    ui_->answerTexts({QStringLiteral("Sales")});
    ASSERT_TRUE(host_.buildBudget());
    ASSERT_EQ(ui_->asked().size(), 2u) << ui_->messageTexts().join('|').toStdString();
    QWidget* dialog = platform::ui::LoadedWindows::find(QStringLiteral("frmBuild"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), window_.get());
    EXPECT_EQ(dialog->windowTitle(), u"Build Budget - Create User Files [Context: Sales]");
    auto* tabs = dialog->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    auto* sheets = dialog->findChild<platform::ui::EditGrid*>(QStringLiteral("dtCUF"));
    auto* assign = dialog->findChild<platform::ui::EditGrid*>(QStringLiteral("dtUFAssign"));
    auto* make = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    ASSERT_TRUE(tabs && sheets && assign && make);
    EXPECT_EQ(tabs->currentIndex(), 2);
    const auto column = [](const platform::ui::DataGrid& grid, int col) {
        QStringList texts;
        for (int row = 0; row < grid.rowCount(); ++row)
            texts << grid.cellText(row, col);
        return texts;
    };
    EXPECT_EQ(column(*sheets, 1), (QStringList{"Sales", "Costs", "Rates", "Summary"}));

    for (const auto& [row, typed] : {std::pair{0, "Nor"}, {1, "Sou"}}) {
        sheets->editCell(row, 0, 1);
        sheets->editCell(row, 2, QString::fromLatin1(typed));
    }
    EXPECT_EQ(column(*sheets, 2), (QStringList{"North", "South", "", ""}));
    make->click();
    EXPECT_EQ(ui_->asked().size(), 2u) << ui_->messageTexts().join('|').toStdString();
    EXPECT_EQ(sheettest::shownByLibreOffice(folder + QStringLiteral("/North/Sales.xlsx"), 1).value(4),
              u"Total,600,630,1230,");
    EXPECT_EQ(sheettest::shownByLibreOffice(folder + QStringLiteral("/South/Costs.xlsx"), 1).value(4),
              u"Total,75,82,157");
    EXPECT_TRUE(master->saved()) << "the open master is unchanged";
    auto* status = dialog->findChild<QLabel*>(QStringLiteral("lblStatus"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), u"2 user files cut");
    EXPECT_EQ(column(*sheets, 1), (QStringList{"Costs", "Rates", "Sales", "Summary"})) << "the database view";
    EXPECT_EQ(column(*sheets, 4).filter(QStringLiteral(".xlsx")).size(), 2);

    tabs->setCurrentIndex(3);
    EXPECT_EQ(column(*assign, 0), (QStringList{"Sales.xlsx", "Costs.xlsx"}));
    assign->editCell(0, 2, QStringLiteral("Jo"));
    EXPECT_EQ(assign->cellText(0, 2), u"Jones");

    const QString shots = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
    if (shots.isEmpty())
        return;
    QDir().mkpath(shots);
    for (int tab = 0; tab < tabs->count(); ++tab) {
        if (!tabs->isTabEnabled(tab))
            continue;
        tabs->setCurrentIndex(tab);
        QTest::qWait(200);
        dialog->grab().save(shots + QStringLiteral("/build-budget-%1.png").arg(tab));
    }
    tabs->setCurrentIndex(2);
    QTest::qWait(200);
    const QRect area = window_->frameGeometry().united(dialog->frameGeometry());
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(shots + QStringLiteral("/lumisheet-build-budget.png"));
}

} // namespace
