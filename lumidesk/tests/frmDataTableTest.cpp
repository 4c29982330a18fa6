// The Budgets Explorer window: what its load reads and shows, what its unload saves, the tree
// built from the stored views, and the label edits and permission questions of the tree.
#include "lumidesk/frmDataTable.h"

#include "ExplorerDbFixture.h"
#include "core/FormUnload.h"
#include "core/StringScrambling.h"
#include "lumidesk/DataEnvironment2.h"
#include "lumidesk/frmMain.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/ExplorerRequest.h"
#include "platform/ui/ExplorerTree.h"
#include "platform/ui/Twips.h"
#include "support/ScriptedUi.h"
#include "wizard/UsersDataHasRecords.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <gtest/gtest.h>

namespace {

using lumidesk::frmDataTable;

class BudgetsExplorer : public lumidesktest::ExplorerDbFixture {
protected:
    frmDataTable* load(testsupport::ScopedScriptedUi& ui) {
        ui->acceptUnscriptedMessages();
        auto* form = new frmDataTable;
        loadMessages_ = ui->messageTexts();
        ui->clear();
        ui->acceptUnscriptedMessages(false);
        return form;
    }

    static QStringList treeLines(const platform::ui::ExplorerTree& tree) {
        QStringList lines;
        for (int node = 0; node < tree.nodeCount(); ++node) {
            int depth = 0;
            for (int parent = tree.nodeParent(node); parent >= 0; parent = tree.nodeParent(parent))
                ++depth;
            lines << QString(depth * 2, QLatin1Char(' ')) + tree.nodeText(node);
        }
        return lines;
    }

    QStringList loadMessages_;
};

TEST_F(BudgetsExplorer, LoadShowsTheUpdateControlsUnlessSwitchedOff) {
    struct Case {
        const char* setting; // nullptr: absent
        bool shown;
        int gridTwips;
    };
    const Case cases[] = {{nullptr, true, frmDataTable::kGridHeightWithControlsTwips},
                          {"True", true, frmDataTable::kGridHeightWithControlsTwips},
                          {"False", false, frmDataTable::kGridHeightWithoutControlsTwips}};
    for (const Case& c : cases) {
        if (c.setting)
            writeSetting("Runtime", "ShowControls", QString::fromLatin1(c.setting));
        testsupport::ScopedScriptedUi ui;
        frmDataTable* form = load(ui);
        EXPECT_EQ(form->fmeUpdateControls()->isVisibleTo(form), c.shown)
            << (c.setting ? c.setting : "absent");
        EXPECT_EQ(form->cmdUpdateMF()->isVisibleTo(form), c.shown);
        EXPECT_EQ(form->dtUFStatus()->heightTwips(), c.gridTwips);
        EXPECT_TRUE(core::gOptions->DataTableIsRunning);
        EXPECT_EQ(core::gOptions->ActiveForm, form);
        delete form;
        EXPECT_FALSE(core::gOptions->DataTableIsRunning);
    }
}

// Without the resizer option the status grid grows with the window (the tree and the frames
// take the width, the grid the height) and the update controls stay below it; a window
// smaller than designed keeps the design places.
TEST_F(BudgetsExplorer, TheStatusGridGrowsWithTheWindow) {
    core::gOptions->Resize = false;
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = load(ui);
    form->show();
    const QSize design = form->size();
    const QRect grid = form->dtUFStatus()->geometry();
    const QRect tree = form->CorvExplorer1()->geometry();
    const QRect controls = form->fmeUpdateControls()->geometry();

    form->resize(design + QSize(300, 200));
    EXPECT_EQ(form->dtUFStatus()->size(), grid.size() + QSize(300, 200));
    EXPECT_EQ(form->CorvExplorer1()->size(), tree.size() + QSize(300, 0));
    EXPECT_EQ(form->fmeUpdateControls()->geometry(), controls.translated(0, 200).adjusted(0, 0, 300, 0));
    EXPECT_TRUE(form->fmeUserFiles()->geometry().bottom() < form->fmeUpdateControls()->geometry().top());
    EXPECT_TRUE(form->rect().contains(form->fmeUpdateControls()->geometry()));

    form->resize(design - QSize(100, 100));
    EXPECT_EQ(form->dtUFStatus()->height(),
              platform::ui::Twips::toPixels(frmDataTable::kGridHeightWithControlsTwips));
    EXPECT_EQ(form->dtUFStatus()->width(), grid.width());
    EXPECT_TRUE(form->fmeUserFiles()->geometry().bottom() < form->fmeUpdateControls()->geometry().top());
}

TEST_F(BudgetsExplorer, LoadRunsTheActivityCheckAndTellsWhenThereAreNoUsers) {
    // A built user file written since its cut: the load's activity check flags it.
    const QString folder = testsupport::freshDir(QStringLiteral("masters")) + QStringLiteral("/North");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/Sales.xlsx"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    exec(QStringLiteral(
             "INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Budget_Name, "
             "User_Filename, UFNPath, UF_Create_Date, UF_Modified_Date) VALUES ('Sales', 1, 'North', "
             "'Plan', 'Sales.xlsx', ?, '2024-01-02 03:04:05', '2024-01-02 03:04:05')"),
         {file.fileName()});
    exec(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Select_By_User, Budget_Name, "
                        "Folder_Name) VALUES ('Sales.xlsx', 1, 'Plan', 'North')"));
    exec(QStringLiteral("DELETE FROM UsersData"));
    testsupport::ScopedScriptedUi ui;
    load(ui);
    EXPECT_EQ(loadMessages_, QStringList{wizard::kNoUsersText});
    platform::db::Connection cnn = openMaster();
    EXPECT_EQ(cnn.scalar(QStringLiteral("SELECT UserFile_Update FROM UserFileTablesData "
                                        "WHERE User_Filename = 'Sales.xlsx'"))
                  .toInt(),
              1);
}

TEST_F(BudgetsExplorer, UpdateModeIsRestoredExceptTheSequenceModes) {
    struct Case {
        QString saved;
        QString shown;
    };
    const Case cases[] = {{frmDataTable::kFolderNameMode, frmDataTable::kFolderNameMode},
                          {frmDataTable::kByFolderSequence, frmDataTable::kAllFolders},
                          {QStringLiteral("by wb sequence"), frmDataTable::kAllFolders},
                          {QStringLiteral("Nonsense"), frmDataTable::kAllFolders}};
    for (const Case& c : cases) {
        writeSetting("Runtime", "UpdateObject", c.saved);
        testsupport::ScopedScriptedUi ui;
        frmDataTable* form = load(ui);
        EXPECT_EQ(form->cbxUpdateMode()->text(), c.shown) << c.saved.toStdString();
        EXPECT_TRUE(loadMessages_.filter(QStringLiteral("Not implemented")).isEmpty());
        EXPECT_EQ(form->cbxChgeDataMode()->text(), QStringLiteral("Accept changes"));
        EXPECT_EQ(form->cbxChgeDataMode()->entryCount(), 3);
        delete form;
    }
}

TEST_F(BudgetsExplorer, UnloadSavesTheListsAndTheToggleState) {
    addBudget(QStringLiteral("Sales"));
    addUser(QStringLiteral("Ann"), QStringLiteral("East"));
    addUserFile(
        {QStringLiteral("a.xlsx"), QStringLiteral("Ann"), QStringLiteral("Sales"), QStringLiteral("Grp")});
    core::gOptions->BudgetNameContext = QStringLiteral("Sales");
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = load(ui);
    form->cbxUpdateMode()->setText(frmDataTable::kFolderNameMode);
    form->cbxFolderName()->setText(QStringLiteral("Grp"));
    form->dtUFStatus_CellClick(-1, frmDataTable::kLockedOut, 1);

    QMainWindow main;
    main.setObjectName(QStringLiteral("frmMain"));
    auto* find = new QAction(QStringLiteral("&Find"), &main);
    find->setObjectName(QStringLiteral("mnuFind"));
    find->setEnabled(true);

    form->close();
    delete form;
    EXPECT_EQ(runtimeSetting("UpdateObject"), frmDataTable::kFolderNameMode);
    EXPECT_EQ(runtimeSetting("FolderName"), QStringLiteral("Grp"));
    EXPECT_EQ(runtimeSetting("LockedOut"), QStringLiteral("1"));
    EXPECT_EQ(runtimeSetting("SaveMailPW"), QStringLiteral("0"));
    EXPECT_FALSE(find->isEnabled()) << "Edit > Find goes off with the explorer";
    EXPECT_EQ(lumidesk::frmDataTable::loaded(), nullptr);
    EXPECT_FALSE(lumidesk::DataEnvironment2::exists());
}

TEST_F(BudgetsExplorer, SavePasswordKeepsTheScrambledPasswordAndUntickingRemovesIt) {
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = load(ui);
    EXPECT_FALSE(form->chkSavePW()->isChecked());
    EXPECT_FALSE(core::gOptions->SaveMailPW);
    form->chkSavePW()->setChecked(true);
    form->tbxPassword()->setText(QStringLiteral("mailbox pw"));
    delete form;
    const QString stored = runtimeSetting("Zvalue");
    EXPECT_NE(stored, QStringLiteral("mailbox pw")) << "kept scrambled";
    EXPECT_EQ(core::DecodeString(stored), QStringLiteral("mailbox pw"));
    EXPECT_EQ(runtimeSetting("SaveMailPW"), QStringLiteral("1"));

    // Loaded again the box is ticked; an empty password box keeps the saved password.
    form = load(ui);
    EXPECT_TRUE(form->chkSavePW()->isChecked());
    EXPECT_TRUE(core::gOptions->SaveMailPW);
    delete form;
    EXPECT_EQ(core::DecodeString(runtimeSetting("Zvalue")), QStringLiteral("mailbox pw"));

    // Unticked: the saved password goes.
    form = load(ui);
    form->chkSavePW()->setChecked(false);
    form->tbxPassword()->setText(QStringLiteral("typed"));
    delete form;
    EXPECT_EQ(runtimeSetting("Zvalue"), QStringLiteral("<absent>"));
    EXPECT_EQ(runtimeSetting("SaveMailPW"), QStringLiteral("0"));
}

TEST_F(BudgetsExplorer, ButtonsGoThroughTheirServices) {
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = load(ui);
    ui->acceptUnscriptedMessages();
    form->cmdClearDueDate()->click();
    EXPECT_EQ(runtimeSetting("RefreshDataTable"), QStringLiteral("1"));
    form->cmdGetMail()->click();
    form->cmdUpdateMF()->click();
    const QStringList texts = ui->messageTexts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0], QStringLiteral("Set the Budget Context."));
    EXPECT_EQ(texts[1], QStringLiteral("Enter the email account password."));
    EXPECT_EQ(texts[2], QStringLiteral("Set the Budget Context.")) << "the update run needs a context";
    EXPECT_FALSE(core::gOptions->FrmWaitBig);
}

TEST_F(BudgetsExplorer, TreeShowsBudgetsWorkbooksAndWorksheets) {
    addBudget(QStringLiteral("North"));
    addBudget(QStringLiteral("South"));
    const qint64 north = addMasterFile(QStringLiteral("North"), QStringLiteral("Plan.xlsx"));
    const qint64 south = addMasterFile(QStringLiteral("South"), QStringLiteral("Plan.xlsx"));
    addWorksheet(QStringLiteral("North"), QStringLiteral("Plan.xlsx"), north, QStringLiteral("N1"));
    addWorksheet(QStringLiteral("North"), QStringLiteral("Plan.xlsx"), 0, QStringLiteral("N2"));
    addWorksheet(QStringLiteral("South"), QStringLiteral("Plan.xlsx"), south, QStringLiteral("S1"));
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = load(ui);
    const platform::ui::ExplorerTree& tree = *form->CorvExplorer1();
    // The placeholder rows of the tables (the shipped database has one in each) are no nodes.
    EXPECT_EQ(treeLines(tree),
              (QStringList{QStringLiteral("North"), QStringLiteral("  Plan.xlsx"), QStringLiteral("    N1"),
                           QStringLiteral("    N2"), QStringLiteral("South"), QStringLiteral("  Plan.xlsx"),
                           QStringLiteral("    S1")}));
    EXPECT_EQ(form->NodeBudget(6), QStringLiteral("South"));
    EXPECT_EQ(form->NodeLevel(6), 2);
    EXPECT_EQ(tree.caption(), QStringLiteral("Context is  "));

    // The tree's source follows the selection to the node's budget.
    const_cast<platform::ui::ExplorerTree&>(tree).setCurrentNode(5);
    EXPECT_EQ(lumidesk::DataEnvironment2::instance().CurrentValue(QStringLiteral("Budget_Name")).toString(),
              QStringLiteral("South"));
}

TEST_F(BudgetsExplorer, OnlyStoredBudgetNodesMayBeRenamed) {
    addBudget(QStringLiteral("North"));
    addMasterFile(QStringLiteral("North"), QStringLiteral("Plan.xlsx"));
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = load(ui);
    struct Case {
        int node;
        bool allowed;
    };
    // 0 North, 1 Plan.xlsx.
    for (const Case c : {Case{0, true}, Case{1, false}}) {
        platform::ui::ExplorerRequest request{c.node};
        form->CorvExplorer1_CheckBudgetName(&request);
        EXPECT_EQ(!request.cancel, c.allowed) << c.node;
    }
}

TEST_F(BudgetsExplorer, RenamingABudgetNodeRenamesTheBudgetAndBuildsTheExplorerAgain) {
    addBudget(QStringLiteral("North"));
    addBudget(QStringLiteral("South"));
    const qint64 id = addMasterFile(QStringLiteral("North"), QStringLiteral("Plan.xlsx"));
    addWorksheet(QStringLiteral("North"), QStringLiteral("Plan.xlsx"), id, QStringLiteral("Sheet1"));
    core::gOptions->BudgetNameContext = QStringLiteral("North");
    // Once as a window of its own, once inside the main window.
    for (const bool inMain : {false, true}) {
        SCOPED_TRACE(inMain ? "in the main window" : "on its own");
        std::unique_ptr<lumidesk::frmMain> main;
        if (inMain)
            main = std::make_unique<lumidesk::frmMain>();
        testsupport::ScopedScriptedUi ui;
        ui->acceptUnscriptedMessages();
        frmDataTable* form = frmDataTable::Display();
        if (inMain) {
            ASSERT_EQ(main->mdiArea()->subWindowList().size(), 1);
            EXPECT_EQ(main->mdiArea()->subWindowList().first()->widget(), form);
        }
        platform::ui::ExplorerTree& tree = *form->CorvExplorer1();
        const QString from = inMain ? QStringLiteral("East") : QStringLiteral("North");
        const QString to = inMain ? QStringLiteral("West") : QStringLiteral("East");
        const int node = tree.findNode(from);
        ASSERT_GE(node, 0);
        // The user's edit of the label, then the tree's notification.
        tree.setCurrentNode(node);
        tree.currentItem()->setText(0, to);
        form->CorvExplorer1_NodeRenamed(node);
        QApplication::processEvents();
        QApplication::processEvents();

        EXPECT_EQ(
            column(QStringLiteral("SELECT Budget_Name FROM Worksheets WHERE Worksheet_Name = 'Sheet1'")),
            QStringList{to});
        EXPECT_EQ(core::gOptions->BudgetNameContext, to);
        frmDataTable* again = frmDataTable::loaded();
        ASSERT_NE(again, nullptr);
        EXPECT_NE(again, form);
        EXPECT_GE(again->CorvExplorer1()->findNode(to), 0);
        EXPECT_EQ(again->CorvExplorer1()->findNode(from), -1);
        if (inMain) {
            EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1) << "the old child window went";
            EXPECT_EQ(main->mdiArea()->subWindowList().first()->widget(), again);
        }
        delete again;
    }
}

TEST_F(BudgetsExplorer, UnloadedByNameItLeavesNoEmptyChildWindow) {
    auto main = std::make_unique<lumidesk::frmMain>();
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    frmDataTable::Display();
    ASSERT_EQ(main->mdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(core::UnloadForm(frmDataTable::kFormName));
    QApplication::processEvents();
    EXPECT_EQ(frmDataTable::loaded(), nullptr);
    EXPECT_TRUE(main->mdiArea()->subWindowList().isEmpty());
}

TEST_F(BudgetsExplorer, NetworkContextViewStartsOnHomeAndAsksForGrants) {
    addBudget(QStringLiteral("North"));
    addMasterFile(QStringLiteral("North"), QStringLiteral("Plan.xlsx"));
    core::gOptions->DatabaseMode = QStringLiteral("Network");
    core::gOptions->ViewMode = QStringLiteral("Context");
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = load(ui);
    platform::ui::ExplorerTree& tree = *form->CorvExplorer1();
    const int home = tree.findNode(QStringLiteral("HOME"));
    ASSERT_GE(home, 0);
    EXPECT_EQ(tree.currentNode(), home);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Budgets Explorer - [] [Database:= Network]"));

    // A workbook node and HOME are refused without a question; a budget node asks the grant
    // check, which refuses in this version with its own message.
    for (int node : {tree.findNode(QStringLiteral("Plan.xlsx")), home}) {
        platform::ui::ExplorerRequest request{node};
        form->CorvExplorer1_CheckPermission(&request);
        EXPECT_TRUE(request.cancel);
    }
    EXPECT_TRUE(ui->asked().empty());
    ui->acceptUnscriptedMessages();
    platform::ui::ExplorerRequest budget{tree.findNode(QStringLiteral("North"))};
    form->CorvExplorer1_CheckPermission(&budget);
    EXPECT_TRUE(budget.cancel);
    EXPECT_EQ(ui->messageTexts().size(), 1);

    // In the local database nothing is asked.
    core::gOptions->DatabaseMode = QStringLiteral("Local");
    platform::ui::ExplorerRequest local{tree.findNode(QStringLiteral("Plan.xlsx"))};
    form->CorvExplorer1_CheckPermission(&local);
    EXPECT_FALSE(local.cancel);
}

} // namespace
