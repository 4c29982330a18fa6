// The file system view: master workbooks with their worksheets and user files, read-only,
// each level under a heading row of its own columns.
#include "lumidesk/frmFilesTables.h"

#include "ExplorerDbFixture.h"
#include "lumidesk/frmMain.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

using lumidesk::frmFilesTables;

class FileSystemView : public lumidesktest::ExplorerDbFixture {};

TEST_F(FileSystemView, ShowsWorkbooksWorksheetsAndUserFilesReadOnly) {
    addBudget(QStringLiteral("North"));
    addBudget(QStringLiteral("South"));
    const qint64 north = addMasterFile(QStringLiteral("North"), QStringLiteral("Plan.xlsx"));
    addMasterFile(QStringLiteral("South"), QStringLiteral("Plan.xlsx"));
    addWorksheet(QStringLiteral("North"), QStringLiteral("Plan.xlsx"), north, QStringLiteral("Sales"),
                 QStringLiteral("Sales.xlsx"), QStringLiteral("East"));
    addWorksheet(QStringLiteral("North"), QStringLiteral("Plan.xlsx"), 0, QStringLiteral("Costs"));
    addUser(QStringLiteral("Ann"), QStringLiteral("East"));
    addUserFile({QStringLiteral("Sales.xlsx"),
                 QStringLiteral("Ann"),
                 QStringLiteral("North"),
                 QStringLiteral("East"),
                 {},
                 {},
                 1,
                 0});

    testsupport::ScopedScriptedUi ui;
    auto* form = new frmFilesTables;
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Budgets File System View"));
    EXPECT_EQ(form->cmdClose()->text(), QStringLiteral("Close"));
    const QTreeWidget& grid = *form->dtFilesTables();
    EXPECT_EQ(grid.toolTip(), frmFilesTables::kHint);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid.headerItem()->text(0), QStringLiteral("Master_File"));

    // The placeholder row, then North's and South's Plan.xlsx.
    ASSERT_EQ(grid.topLevelItemCount(), 3);
    const QTreeWidgetItem* northPlan = grid.topLevelItem(1);
    EXPECT_EQ(northPlan->text(0), QStringLiteral("Plan.xlsx"));
    EXPECT_EQ(grid.topLevelItem(2)->childCount(), 0) << "South's workbook has no worksheets";
    // A heading row, then the two worksheets (the unlinked one too).
    ASSERT_EQ(northPlan->childCount(), 3);
    EXPECT_EQ(northPlan->child(0)->text(0), QStringLiteral("Worksheet_Name"));
    EXPECT_FALSE(northPlan->child(0)->flags() & Qt::ItemIsSelectable);
    EXPECT_EQ(northPlan->child(1)->text(0), QStringLiteral("Costs"));
    const QTreeWidgetItem* sales = northPlan->child(2);
    EXPECT_EQ(sales->text(0), QStringLiteral("Sales"));
    ASSERT_EQ(sales->childCount(), 2);
    EXPECT_EQ(sales->child(0)->text(1), QStringLiteral("Users"));
    const QTreeWidgetItem* userFile = sales->child(1);
    EXPECT_EQ(userFile->text(0), QStringLiteral("Sales.xlsx"));
    EXPECT_EQ(userFile->text(1), QStringLiteral("Ann"));
    EXPECT_EQ(userFile->checkState(5), Qt::Checked) << "UserFile_Update as a check mark";
    EXPECT_FALSE(userFile->flags() & Qt::ItemIsEditable);

    form->cmdClose()->click();
    EXPECT_EQ(frmFilesTables::loaded(), nullptr);
}

TEST_F(FileSystemView, OpensInsideTheMainWindowAndCloseTakesItsChildWindow) {
    auto main = std::make_unique<lumidesk::frmMain>();
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    frmFilesTables* form = frmFilesTables::Display();
    ASSERT_EQ(main->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(main->mdiArea()->subWindowList().first()->widget(), form);
    EXPECT_EQ(frmFilesTables::Display(), form) << "one instance";
    EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1);
    form->cmdClose()->click();
    QApplication::processEvents();
    EXPECT_EQ(frmFilesTables::loaded(), nullptr);
    EXPECT_TRUE(main->mdiArea()->subWindowList().isEmpty());
}

TEST_F(FileSystemView, AFailedReadIsReportedAndTheWindowStays) {
    exec(QStringLiteral("DROP VIEW MasterFilesView"));
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({platform::ui::Answer::Ok});
    auto* form = new frmFilesTables;
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().first().startsWith(QStringLiteral("Error ")));
    EXPECT_EQ(form->dtFilesTables()->topLevelItemCount(), 0);
    EXPECT_EQ(frmFilesTables::loaded(), form);
}

} // namespace
