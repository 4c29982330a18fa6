// A demonstration budget shown in the Budgets Explorer and the file system view at the size of
// a 1024x768 screen: the budget has two master workbooks, its status grid is coloured, and
// the file system view opens its levels. With LUMIDESK_SCREENSHOT_DIR set, the two windows
// are also saved there as PNG pictures to look at.
#include "ExplorerDbFixture.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/StatusGrid.h"
#include "lumidesk/frmDataTable.h"
#include "lumidesk/frmFilesTables.h"
#include "lumidesk/frmMain.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/ExplorerTree.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

using lumidesk::frmDataTable;
using lumidesktest::UserFileRow;

const QString kBudget = QStringLiteral("Budget 2025");
const QSize kScreen{1024, 768};

class ExplorerScreens : public lumidesktest::ExplorerDbFixture {
protected:
    void addDemoBudget() {
        addDefaultAuthor();
        addBudget(kBudget);
        addBudget(QStringLiteral("Forecast Q3"));
        const qint64 operations =
            addMasterFile(kBudget, QStringLiteral("Operations.xlsx"), QStringLiteral("/srv/budgets"));
        const qint64 headcount =
            addMasterFile(kBudget, QStringLiteral("Headcount.xlsx"), QStringLiteral("/srv/budgets"));
        const qint64 forecast = addMasterFile(QStringLiteral("Forecast Q3"), QStringLiteral("Plan.xlsx"),
                                              QStringLiteral("/srv/forecast"));
        const struct {
            qint64 id;
            const char* file;
            const char* sheet;
            const char* folder;
        } sheets[] = {
            {operations, "Operations.xlsx", "Sales East", "Sales"},
            {operations, "Operations.xlsx", "Sales West", "Sales"},
            {operations, "Operations.xlsx", "Marketing", "Marketing"},
            {headcount, "Headcount.xlsx", "Engineering", "Engineering"},
            {headcount, "Headcount.xlsx", "Support", "Support"},
        };
        for (const auto& s : sheets)
            addWorksheet(kBudget, QString::fromLatin1(s.file), s.id, QString::fromLatin1(s.sheet),
                         QString::fromLatin1(s.sheet) + QStringLiteral(".xlsx"),
                         QString::fromLatin1(s.folder));
        addWorksheet(QStringLiteral("Forecast Q3"), QStringLiteral("Plan.xlsx"), forecast,
                     QStringLiteral("Summary"));
        addUser(QStringLiteral("Ann Archer"), QStringLiteral("Sales"));
        addUser(QStringLiteral("Ben Brook"), QStringLiteral("Sales"));
        addUser(QStringLiteral("Cleo Chen"), QStringLiteral("Marketing"));
        addUser(QStringLiteral("Dev Dutta"), QStringLiteral("Engineering"));
        addUser(QStringLiteral("Eve Ellis"), QStringLiteral("Support"));
        const QString sent = QStringLiteral("2025-03-03 09:15:00");
        const QString due = QStringLiteral("2025-03-31");
        const UserFileRow files[] = {
            {QStringLiteral("Sales East.xlsx"), QStringLiteral("Ann Archer"), kBudget,
             QStringLiteral("Sales"), sent, due, 1, 0, QStringLiteral("Operations.xlsx")},
            {QStringLiteral("Sales West.xlsx"), QStringLiteral("Ben Brook"), kBudget, QStringLiteral("Sales"),
             sent, due, 0, 0, QStringLiteral("Operations.xlsx")},
            {QStringLiteral("Marketing.xlsx"),
             QStringLiteral("Cleo Chen"),
             kBudget,
             QStringLiteral("Marketing"),
             {},
             {},
             0,
             0,
             QStringLiteral("Operations.xlsx")},
            {QStringLiteral("Engineering.xlsx"), QStringLiteral("Dev Dutta"), kBudget,
             QStringLiteral("Engineering"), sent, due, 1, 1, QStringLiteral("Headcount.xlsx")},
            {QStringLiteral("Support.xlsx"),
             QStringLiteral("Eve Ellis"),
             kBudget,
             QStringLiteral("Support"),
             sent,
             {},
             0,
             0,
             QStringLiteral("Headcount.xlsx")},
        };
        for (const UserFileRow& row : files)
            addUserFile(row);
    }

    static void save(QWidget& window, const QString& name) {
        const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        window.show();
        window.raise();
        QApplication::processEvents();
        EXPECT_TRUE(window.grab().save(folder + '/' + name)) << name.toStdString();
    }
};

TEST_F(ExplorerScreens, ExplorerWithTwoWorkbooksAndAColouredGrid) {
    addDemoBudget();
    writeSetting("Options", "ColorCells", QStringLiteral("1"));
    core::gOptions->Resize = true;
    core::gOptions->ScrollBars = true;
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    auto* form = new frmDataTable;
    form->resize(kScreen);
    core::gOptions->BudgetNameContext = kBudget;
    ASSERT_EQ(lumidesk::SetBudgetContextAndRefresh(), lumidesk::kContextSet);

    platform::ui::ExplorerTree& tree = *form->CorvExplorer1();
    const int budget = tree.findNode(kBudget);
    ASSERT_GE(budget, 0);
    int workbooks = 0;
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (tree.nodeParent(node) == budget)
            ++workbooks;
    }
    EXPECT_EQ(workbooks, 2);
    tree.expandAll();
    tree.setCurrentNode(budget);

    const platform::ui::DataGrid& grid = *form->dtUFStatus();
    ASSERT_EQ(grid.rowCount(), 5);
    EXPECT_EQ(grid.cellText(0, frmDataTable::kUserFilename), QStringLiteral("Engineering.xlsx"));
    EXPECT_EQ(grid.cellBackground(0, frmDataTable::kLockedOut), lumidesk::kRed);
    EXPECT_EQ(grid.cellBackground(1, frmDataTable::kEmailSent), lumidesk::kYellow);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Budgets Explorer - [Budget 2025] [Database:= Local]"));
    save(*form, QStringLiteral("explorer.png"));
}

TEST_F(ExplorerScreens, ExplorerInsideTheMainWindow) {
    addDemoBudget();
    writeSetting("Options", "ColorCells", QStringLiteral("1"));
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    auto main = std::make_unique<lumidesk::frmMain>();
    main->resize(kScreen);
    core::gOptions->ScrollBars = false; // whatever the main window's load read
    core::gOptions->BudgetNameContext = kBudget;
    ASSERT_EQ(lumidesk::SetBudgetContextAndRefresh(), lumidesk::kContextSet);
    frmDataTable* form = frmDataTable::Display();
    form->Form_Activate(); // maximised inside the main window (no ScrollBars option)
    ASSERT_EQ(main->mdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(main->mdiArea()->subWindowList().first()->isMaximized());
    EXPECT_EQ(form->dtUFStatus()->rowCount(), 5);
    form->CorvExplorer1()->expandAll();
    save(*main, QStringLiteral("explorer-in-main.png"));
}

TEST_F(ExplorerScreens, FileSystemViewOfTheDemoBudget) {
    addDemoBudget();
    core::gOptions->Resize = true;
    core::gOptions->ScrollBars = true;
    testsupport::ScopedScriptedUi ui;
    auto* form = new lumidesk::frmFilesTables;
    form->resize(kScreen);
    QTreeWidget& grid = *form->dtFilesTables();
    // The placeholder row, the demo budget's two workbooks, then Forecast Q3's.
    ASSERT_EQ(grid.topLevelItemCount(), 4);
    QTreeWidgetItem* operations = grid.topLevelItem(2);
    EXPECT_EQ(operations->text(0), QStringLiteral("Operations.xlsx"));
    grid.expandItem(operations);
    grid.expandItem(operations->child(2));
    EXPECT_EQ(operations->child(2)->child(1)->text(1), QStringLiteral("Ann Archer"));
    EXPECT_TRUE(ui->asked().empty());
    save(*form, QStringLiteral("filesystemview.png"));
}

} // namespace
