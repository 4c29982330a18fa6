// The explorer tree asks its window before the user's click or key takes or opens a node;
// a refused node leaves the selection as it was.
#include "platform/ui/ExplorerTree.h"

#include "platform/ui/EventPump.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <set>
#include <vector>

using platform::ui::EventPump;
using platform::ui::ExplorerRequest;
using platform::ui::ExplorerTree;

namespace {

class ExplorerTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        budgetA = tree.addNode("Budget A");
        workbook = tree.addNode("plan.xlsx", budgetA);
        sheet = tree.addNode("Sales", workbook);
        budgetB = tree.addNode("Budget B");
        tree.expandAll();
        tree.setCaption("Context is  Budget A");
        QObject::connect(&tree, &ExplorerTree::permissionRequested, [this](ExplorerRequest* request) {
            asked.push_back(request->node);
            request->cancel = refused.contains(request->node);
        });
        QObject::connect(&tree, &ExplorerTree::nodeSelecting,
                         [this](ExplorerRequest* request) { selecting.push_back(request->node); });
        QObject::connect(&tree, &ExplorerTree::nodeOpened, [this](int node) { opened.push_back(node); });
        QObject::connect(&tree, &ExplorerTree::nodeSelected, [this](int node) { selected.push_back(node); });
        tree.resize(300, 200);
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
        tree.setCurrentNode(budgetA); // by program: nobody is asked
        selected.clear();
    }

    // A press and a release with the events between them let through, as a real click.
    void click(int node) {
        const auto items = tree.findItems(tree.nodeText(node), Qt::MatchExactly | Qt::MatchRecursive);
        const QPoint at = tree.visualItemRect(items.at(0)).center();
        QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, at);
        EventPump::processPending();
        QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, at);
        EventPump::processPending();
    }

    ExplorerTree tree;
    int budgetA = -1, workbook = -1, sheet = -1, budgetB = -1;
    std::set<int> refused;
    std::vector<int> asked, selecting, selected, opened;
};

} // namespace

TEST_F(ExplorerTreeTest, ACancelledPermissionRequestLeavesTheSelectionUnchanged) {
    EXPECT_TRUE(asked.empty());
    refused = {budgetB};
    click(budgetB);
    EXPECT_EQ(asked, std::vector<int>{budgetB}); // asked once for the whole click
    EXPECT_TRUE(selecting.empty());
    EXPECT_TRUE(selected.empty());
    EXPECT_EQ(tree.currentNode(), budgetA);
    ASSERT_EQ(tree.selectedItems().size(), 1);
    EXPECT_EQ(tree.selectedItems()[0]->text(0), "Budget A");

    // From the keyboard the same: Down from the budget would take the refused workbook.
    refused = {workbook};
    asked.clear();
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(asked, std::vector<int>{workbook});
    EXPECT_EQ(tree.currentNode(), budgetA);

    refused.clear();
    asked.clear();
    click(budgetB);
    EXPECT_EQ(asked, std::vector<int>{budgetB});
    EXPECT_EQ(selecting, std::vector<int>{budgetB});
    EXPECT_EQ(selected, std::vector<int>{budgetB});
    EXPECT_EQ(tree.currentNode(), budgetB);
}

TEST_F(ExplorerTreeTest, OpeningANodeIsAskedAboutToo) {
    refused = {sheet};
    tree.setCurrentNode(sheet);
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Return);
    EXPECT_TRUE(opened.empty());
    refused.clear();
    QTest::keyClick(&tree, Qt::Key_Return);
    EXPECT_EQ(opened, std::vector<int>{sheet});
}

TEST_F(ExplorerTreeTest, LabelEditsCanBeRefusedAndReportTheEditedNode) {
    tree.setLabelEditing(true);
    bool refuseEdit = true;
    std::vector<int> edited;
    QObject::connect(&tree, &ExplorerTree::beforeLabelEdit,
                     [&](ExplorerRequest* request) { request->cancel = refuseEdit; });
    QObject::connect(&tree, &ExplorerTree::labelEdited, [&](int node) { edited.push_back(node); });
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_F2);
    EXPECT_EQ(tree.viewport()->findChild<QLineEdit*>(), nullptr);

    refuseEdit = false;
    QTest::keyClick(&tree, Qt::Key_F2);
    auto* editor = tree.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Budget C");
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits from its event queue; the label is reported once the editor has closed.
    EventPump::processPending();
    EventPump::processPending();
    EXPECT_EQ(edited, std::vector<int>{budgetA});
    EXPECT_EQ(tree.nodeText(tree.currentNode()), "Budget C");
}

// A window whose answer to a new label rebuilds the tree hears of the label once the editor has
// closed: the view closes the editor once and does not warn.
TEST_F(ExplorerTreeTest, AnEditedLabelReachesTheWindowOnceItsEditorHasClosed) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    tree.setLabelEditing(true);
    bool editorOpen = true;
    QObject::connect(&tree, &ExplorerTree::labelEdited, [&](int) {
        const auto* editing = tree.viewport()->findChild<QLineEdit*>();
        editorOpen = editing && editing->isVisible();
        tree.clearNodes(); // as a window that builds the tree anew with the stored names
    });
    tree.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&tree));
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_F2);
    auto* editor = tree.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "Budget C");
    QTest::keyClick(editor, Qt::Key_Return);
    for (int round = 0; round < 3; ++round)
        EventPump::processPending();
    qInstallMessageHandler(previous);
    EXPECT_FALSE(editorOpen);
    EXPECT_TRUE(warnings.filter(QStringLiteral("editor")).isEmpty()) << warnings.join(u'\n').toStdString();
}

TEST_F(ExplorerTreeTest, NodesAreNumberedInTheOrderAdded) {
    EXPECT_EQ(tree.nodeCount(), 4);
    EXPECT_EQ(tree.nodeParent(sheet), workbook);
    EXPECT_EQ(tree.nodeParent(budgetB), -1);
    EXPECT_EQ(tree.findNode("budget b"), budgetB);
    EXPECT_EQ(tree.findNode("budget b", Qt::CaseSensitive), -1);
    EXPECT_EQ(tree.nodeText(9), "");
    EXPECT_EQ(tree.caption(), "Context is  Budget A");
    tree.clearNodes();
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_EQ(tree.currentNode(), -1);
}
