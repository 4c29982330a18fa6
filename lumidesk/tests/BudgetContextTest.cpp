// The budget context: SetBudgetContextAndRefresh with its grant check, author refresh,
// setting and window refreshes, and the explorer tree's open action on budget, workbook and
// worksheet nodes.
#include "lumidesk/BudgetContext.h"

#include "ExplorerDbFixture.h"
#include "lumidesk/frmDataTable.h"
#include "mail/MailServices.h"
#include "mail/frmMail.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/ExplorerTree.h"
#include "support/ScriptedUi.h"
#include "wizard/GetDefaultAuthor.h"

#include <QGroupBox>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

using lumidesk::frmDataTable;
using platform::ui::Answer;

class BudgetContext : public lumidesktest::ExplorerDbFixture {
protected:
    void addSales() {
        addBudget(QStringLiteral("Sales"));
        addBudget(QStringLiteral("Sales 2"));
        addUser(QStringLiteral("Ann"), QStringLiteral("East"));
        addUserFile({QStringLiteral("s1.xlsx"), QStringLiteral("Ann"), QStringLiteral("Sales"),
                     QStringLiteral("East")});
        addUserFile({QStringLiteral("s2.xlsx"), QStringLiteral("Ann"), QStringLiteral("Sales 2"),
                     QStringLiteral("East")});
        const qint64 plan = addMasterFileOnDisk(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"));
        addWorksheet(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), plan, QStringLiteral("Sales"));
        addMasterFile(QStringLiteral("Sales"), QStringLiteral("Old.xls"));
    }

    frmDataTable* loadExplorer(testsupport::ScopedScriptedUi& ui) {
        ui->acceptUnscriptedMessages();
        auto* form = new frmDataTable;
        ui->clear();
        ui->acceptUnscriptedMessages(false);
        return form;
    }

    static QStringList gridFiles(const frmDataTable& form) {
        QStringList files;
        for (int row = 0; row < form.dtUFStatus()->rowCount(); ++row)
            files << form.dtUFStatus()->cellText(row, frmDataTable::kUserFilename);
        return files;
    }

    // The node of that text below `parent` (-1: at the top), -1 when there is none.
    static int node(const platform::ui::ExplorerTree& tree, const QString& text, int parent = -1) {
        for (int n = 0; n < tree.nodeCount(); ++n) {
            if (tree.nodeText(n) == text && tree.nodeParent(n) == parent)
                return n;
        }
        return -1;
    }
};

TEST_F(BudgetContext, LocalChangeRefreshesTheExplorerCaptionsAndGrid) {
    addSales();
    addDefaultAuthor();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Budgets Explorer - [] [Database:= Local]"));

    core::gOptions->BudgetNameContext = QStringLiteral("Sales");
    EXPECT_EQ(lumidesk::SetBudgetContextAndRefresh(), lumidesk::kContextSet);
    EXPECT_TRUE(ui->asked().empty()) << "no grant check, no author message";
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Budgets Explorer - [Sales] [Database:= Local]"));
    EXPECT_EQ(form->CorvExplorer1()->caption(), QStringLiteral("Context is  Sales"));
    EXPECT_EQ(gridFiles(*form), QStringList{QStringLiteral("s1.xlsx")});
    EXPECT_EQ(runtimeSetting("BudgetNameContext"), QStringLiteral("Sales"));
    EXPECT_EQ(core::gOptions->DefaultAdmin, QStringLiteral("Ada Author"));
}

// Without one default author the context is set and the author left empty; the author message
// shows only while the placeholder is the default, so no or several default authors (the
// sample's and the user's own) never bring it up at every context change.
TEST_F(BudgetContext, WithoutOneDefaultAuthorTheAuthorIsEmpty) {
    addSales();
    const struct {
        const char* what;
        const char* defaults; // default Admin rows
        QStringList messages;
    } cases[] = {
        {"none", "", {}},
        {"two", "('Ann', 1, 'Author'), ('Velk', 1, 'Author')", {}},
        {"the placeholder", "('<Dummy record>', 1, NULL)", {wizard::kNoAuthorText}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Admin"));
        if (*c.defaults)
            exec(QStringLiteral("INSERT INTO Admin (Admin_Name, \"Default\", RecType) VALUES ") +
                 QLatin1String(c.defaults));
        core::gOptions->DefaultAdmin = QStringLiteral("stale");
        core::gOptions->BudgetNameContext = QStringLiteral("Sales 2");
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({Answer::Ok});
        EXPECT_EQ(lumidesk::SetBudgetContextAndRefresh(), lumidesk::kContextSet);
        EXPECT_EQ(ui->messageTexts(), c.messages);
        EXPECT_EQ(core::gOptions->DefaultAdmin, QString());
        EXPECT_EQ(runtimeSetting("BudgetNameContext"), QStringLiteral("Sales 2"));
    }
}

TEST_F(BudgetContext, ARefusedGrantClearsTheContextAndRefreshesNothing) {
    addSales();
    addDefaultAuthor();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    writeSetting("Runtime", "BudgetNameContext", QStringLiteral("Before"));
    core::gOptions->DatabaseMode = QStringLiteral("Network");
    core::gOptions->BudgetNameContext = QStringLiteral("Sales");
    ui->acceptUnscriptedMessages(); // the grant check's own message
    EXPECT_EQ(lumidesk::SetBudgetContextAndRefresh(), lumidesk::kContextRefused);
    EXPECT_EQ(core::gOptions->BudgetNameContext, QString());
    EXPECT_EQ(runtimeSetting("BudgetNameContext"), QStringLiteral("Before"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Budgets Explorer - [] [Database:= Local]"))
        << "the explorer keeps its caption";
}

TEST_F(BudgetContext, TheSendMailWindowIsRefreshedOnlyWhenLoaded) {
    addSales();
    addDefaultAuthor();
    core::gOptions->BudgetNameContext = QStringLiteral("Sales");
    {
        testsupport::ScopedScriptedUi ui;
        EXPECT_EQ(lumidesk::SetBudgetContextAndRefresh(), lumidesk::kContextSet);
        EXPECT_TRUE(ui->asked().empty());
    }
    // A loaded send-mail window gets its lists refilled: the account added since it opened
    // is offered as sender.
    testsupport::ScopedScriptedUi ui;
    mail::ShowSendMail(nullptr);
    mail::frmMail* window = mail::frmMail::loaded();
    ASSERT_NE(window, nullptr);
    auto senders = [window] {
        QStringList names;
        for (int i = 0; i < window->panel()->cbxFrom()->entryCount(); ++i)
            names << window->panel()->cbxFrom()->entry(i);
        return names;
    };
    EXPECT_FALSE(senders().contains(QStringLiteral("Robot Account")));
    exec(QStringLiteral("INSERT INTO Admin (Admin_Name, RecType) VALUES ('Robot Account', 'Robot')"));
    EXPECT_EQ(lumidesk::SetBudgetContextAndRefresh(), lumidesk::kContextSet);
    EXPECT_TRUE(senders().contains(QStringLiteral("Robot Account")));
    EXPECT_TRUE(ui->asked().empty());
    window->close();
    delete window;
}

TEST_F(BudgetContext, ABudgetNodeOpensTheBudgetOfExactlyThatName) {
    addSales();
    addDefaultAuthor();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    platform::ui::ExplorerTree& tree = *form->CorvExplorer1();
    EXPECT_LT(node(tree, QStringLiteral("<Dummy record>")), 0) << "the placeholder budget is no node";
    // A node of that text all the same (a budget may not be named so) opens nothing.
    tree.addNode(QStringLiteral("<Dummy record>"));
    struct Case {
        QString node;
        QString context; // after the open action
    };
    const Case cases[] = {
        {QStringLiteral("Sales"), QStringLiteral("Sales")},
        {QStringLiteral("Sales 2"), QStringLiteral("Sales 2")},
        {QStringLiteral("<Dummy record>"), QStringLiteral("Sales 2")},
    };
    for (const Case& c : cases) {
        const int n = node(tree, c.node);
        ASSERT_GE(n, 0) << c.node.toStdString();
        form->CorvExplorer1_OpenNode(n);
        EXPECT_EQ(core::gOptions->BudgetNameContext, c.context) << c.node.toStdString();
        EXPECT_EQ(form->CorvExplorer1()->caption(), QStringLiteral("Context is  ") + c.context);
    }
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(BudgetContext, ABudgetNodeWhoseBudgetIsGoneChangesNothing) {
    addSales();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    exec(QStringLiteral("DELETE FROM Budgets WHERE Budget_Name = 'Sales 2'"));
    core::gOptions->BudgetNameContext = QStringLiteral("Sales");
    form->CorvExplorer1_OpenNode(node(*form->CorvExplorer1(), QStringLiteral("Sales 2")));
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Sales"));
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(BudgetContext, AWorkbookNodeOpensItsWorkbookOnlyWithAContext) {
    addSales();
    addDefaultAuthor();
    const QStringList& opened = opened_.paths;
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    platform::ui::ExplorerTree& tree = *form->CorvExplorer1();
    const int sales = node(tree, QStringLiteral("Sales"));
    const int plan = node(tree, QStringLiteral("Plan.xlsx"), sales);
    const int old = node(tree, QStringLiteral("Old.xls"), sales);
    const int sheet = node(tree, QStringLiteral("Sales"), plan);
    ASSERT_GE(sheet, 0);

    ui->answerMessages({Answer::Ok});
    form->CorvExplorer1_OpenNode(plan);
    EXPECT_EQ(ui->messageTexts(), QStringList{lumidesk::kSetBudgetContextText});
    EXPECT_EQ(ui->asked().front().title, QStringLiteral("Lumivane"));
    EXPECT_TRUE(opened.isEmpty());

    core::gOptions->BudgetNameContext = QStringLiteral("Sales");
    ui->clear();
    form->CorvExplorer1_OpenNode(plan);
    EXPECT_EQ(opened, QStringList{bookFolder() + QStringLiteral("/Plan.xlsx")});
    EXPECT_TRUE(ui->asked().empty());

    // A worksheet named like a budget is no budget node.
    core::gOptions->BudgetNameContext = QStringLiteral("Sales 2");
    form->CorvExplorer1_OpenNode(sheet);
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Sales 2"));

    // A workbook of the old binary format is refused with its message.
    ui->answerMessages({Answer::Ok});
    form->CorvExplorer1_OpenNode(old);
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().first().contains(QStringLiteral("save it as .xlsx first")));
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(BudgetContext, BrowseCheckOnSelectionAsksForTheNodesBudgetOnANetworkContextView) {
    addSales();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    platform::ui::ExplorerTree& tree = *form->CorvExplorer1();
    const int sales = node(tree, QStringLiteral("Sales"));
    const int plan = node(tree, QStringLiteral("Plan.xlsx"), sales);
    const int sheet = node(tree, QStringLiteral("Sales"), plan);
    const int dummy = tree.addNode(QStringLiteral("<Dummy record>"));
    // The grant check is a stand-in in this version: each question shows its message.
    const auto questions = [&](int n) {
        ui->clear();
        ui->acceptUnscriptedMessages();
        lumidesk::CheckBrowseOnNodeSelect(tree, n, false);
        return ui->messageTexts().size();
    };
    EXPECT_EQ(questions(sales), 0) << "local database: no check";
    core::gOptions->DatabaseMode = QStringLiteral("Network");
    core::gOptions->ViewMode = QStringLiteral("All");
    EXPECT_EQ(questions(sales), 0) << "the All view: no check";
    core::gOptions->ViewMode = QStringLiteral("Context");
    EXPECT_EQ(questions(sales), 1);
    EXPECT_EQ(questions(plan), 1);
    EXPECT_EQ(questions(sheet), 0);
    EXPECT_EQ(questions(dummy), 0);
    EXPECT_EQ(core::gOptions->BudgetNameContext, QString()) << "refused: no context";
}

TEST_F(BudgetContext, ResetDataTableControlsShowsTheUpdateControls) {
    writeSetting("Runtime", "ShowControls", QStringLiteral("False"));
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    ASSERT_FALSE(form->fmeUpdateControls()->isVisibleTo(form));
    lumidesk::ResetDataTableControls();
    EXPECT_TRUE(form->fmeUpdateControls()->isVisibleTo(form));
    EXPECT_TRUE(form->cbxFolderName()->isVisibleTo(form));
    EXPECT_EQ(form->dtUFStatus()->heightTwips(), frmDataTable::kGridHeightWithControlsTwips);
}

TEST(BudgetContextNames, WorkbookNamesByExtension) {
    struct Case {
        const char* name;
        bool workbook;
        bool legacy;
    };
    const Case cases[] = {
        {"Plan.xlsx", true, false}, {"Plan.XLSM", true, false}, {"Plan.xls", false, true},
        {"Plan.XLS", false, true},  {"Sales", false, false},    {"Plan.xlsx.bak", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lumidesk::IsWorkbookName(QString::fromLatin1(c.name)), c.workbook) << c.name;
        EXPECT_EQ(lumidesk::IsLegacyWorkbookName(QString::fromLatin1(c.name)), c.legacy) << c.name;
    }
}

} // namespace
