// The editing grid: the change procedure after typed edits (once the editor has closed, so
// it may refill the rows), ticks and picks; edits written by the program as the user's;
// the text kept before an edit; rows added for typing; the context menu the main window
// lends; the record counter.
#include "platform/ui/EditGrid.h"

#include "platform/ui/EventPump.h"
#include "platform/ui/MenuHost.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

using namespace platform::ui;

namespace {

using Cell = std::pair<int, int>;

// The view commits a finished edit from its event queue, and the grid then runs the change
// procedure from the queue once the editor has closed.
void settle() {
    for (int round = 0; round < 3; ++round)
        EventPump::processPending();
}

DataGridColumn column(const QString& heading, ColumnKind kind = ColumnKind::Text) {
    DataGridColumn c;
    c.heading = heading;
    c.kind = kind;
    return c;
}

class EditGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setColumns(
            {column("Users"), column("Default", ColumnKind::Check), column("Folder_Name", ColumnKind::List)});
        grid.setColumnList(2, "North\tSouth\tWest");
        fill();
        // As a window's change procedure: note the cell, then refill the grid from "the table".
        grid.setChangeProcedure([this](int row, int column) {
            changes.push_back({row, column});
            storedText = grid.cellText(row, column);
            fill();
        });
        grid.resize(480, 200);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    void fill() {
        grid.resetRows();
        grid.appendRow({"Ann", 1, "North"});
        grid.appendRow({"Bob", 0, "South"});
        grid.appendRow({"Cy", 0, ""});
    }

    template <class Editor> Editor* openEditor(int row, int col) {
        grid.setCurrentCell(row, col);
        grid.editCurrentCell();
        return grid.view()->viewport()->findChild<Editor*>();
    }

    EditGrid grid;
    std::vector<Cell> changes;
    QString storedText;
};

} // namespace

TEST_F(EditGridTest, ATypedEditRunsTheChangeProcedureOnceTheEditorHasClosed) {
    auto* editor = openEditor<QLineEdit>(1, 0);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(grid.beforeEditValue(), "Bob");
    EXPECT_EQ(Cell(grid.beforeEditRow(), grid.beforeEditColumn()), Cell(1, 0));
    editor->selectAll();
    QTest::keyClicks(editor, "Bo'b");
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(changes, (std::vector<Cell>{{1, 0}}));
    EXPECT_EQ(storedText, "Bo'b");
    EXPECT_EQ(grid.view()->indexWidget(grid.view()->model()->index(1, 0)), nullptr);
    EXPECT_EQ(grid.cellText(1, 0), "Bob") << "the procedure refilled the rows under the closed editor";

    // An edit given up with Escape stores nothing.
    editor = openEditor<QLineEdit>(2, 0);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "x");
    QTest::keyClick(editor, Qt::Key_Escape);
    settle();
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(EditGridTest, ATickAndAPickFromTheListCompleteTheirEditAtOnce) {
    grid.view()->setFocus();
    grid.setCurrentCell(2, 1);
    QTest::keyClick(grid.view(), Qt::Key_Space);
    EXPECT_EQ(changes, (std::vector<Cell>{{2, 1}}));
    EXPECT_EQ(storedText, "1");
    EXPECT_EQ(grid.beforeEditValue(), "0");

    auto* combo = openEditor<QComboBox>(1, 2);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(grid.beforeEditValue(), "South");
    QTest::keyClick(combo, Qt::Key_Down); // picks the next entry, "West"
    settle();
    EXPECT_EQ(changes, (std::vector<Cell>{{2, 1}, {1, 2}}));
    EXPECT_EQ(storedText, "West");
    EXPECT_EQ(grid.view()->indexWidget(grid.view()->model()->index(1, 2)), nullptr)
        << "the pick closed the list";
}

TEST_F(EditGridTest, EditCellIsAnEditAsTheUsersEvenWhenTheValueIsTheSame) {
    std::vector<Cell> hooks;
    QObject::connect(&grid, &DataGrid::beforeEdit, [&](int r, int c) { hooks.push_back({r, c}); });
    EXPECT_TRUE(grid.editCell(0, 0, "Anne"));
    EXPECT_EQ(grid.beforeEditValue(), "Ann");
    EXPECT_EQ(storedText, "Anne");
    EXPECT_TRUE(grid.editCell(2, 2, QString())); // the cell was empty already
    EXPECT_EQ(changes, (std::vector<Cell>{{0, 0}, {2, 2}}));
    EXPECT_EQ(hooks, (std::vector<Cell>{{0, 0}, {2, 2}}));

    for (const Cell& outside : {Cell(3, 0), Cell(-3, 0), Cell(0, 3), Cell(0, -1)})
        EXPECT_FALSE(grid.editCell(outside.first, outside.second, "x"));
    EXPECT_EQ(changes.size(), 2u);
}

TEST_F(EditGridTest, ARowAddedForTypingHasItsRequiredCellsSetApartAndTheCursorInItsCell) {
    grid.setChangeProcedure([this](int row, int column) {
        changes.push_back({row, column});
        storedText = grid.cellText(row, column);
    });
    const int row = grid.addRowForTyping(0, {0, 2});
    EXPECT_EQ(row, 3);
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_TRUE(grid.isRequiredCell(3, 0));
    EXPECT_FALSE(grid.isRequiredCell(3, 1));
    EXPECT_TRUE(grid.isRequiredCell(3, 2));
    EXPECT_EQ(grid.cellValue(3, 1), QVariant(0)) << "a new check cell holds 0, not nothing";
    EXPECT_EQ(Cell(grid.currentRow(), grid.currentColumn()), Cell(3, 0));
    EXPECT_EQ(grid.beforeEditValue(), "") << "the new cell was empty when its edit began";

    auto* editor = grid.view()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "the cell is open for typing";
    QTest::keyClicks(editor, "Dee");
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(changes, (std::vector<Cell>{{3, 0}}));
    EXPECT_EQ(storedText, "Dee");

    grid.removeRow(0);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.cellText(2, 0), "Dee");
}

TEST_F(EditGridTest, ARightClickPopsUpTheHostsMenuOverTheCellClicked) {
    QWidget host;
    QMenu menu(&host);
    menu.setObjectName("mnuEdit");
    menu.addAction("&Copy");
    const QRect cell = grid.view()->visualRect(grid.view()->model()->index(2, 2));

    // No host yet, then a host but no menu name: no menu.
    grid.setContextMenuName("mnuEdit");
    QTest::mouseClick(grid.view()->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_FALSE(menu.isVisible());
    setMenuHost(&host);
    grid.setContextMenuName({});
    QTest::mouseClick(grid.view()->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_FALSE(menu.isVisible());

    grid.setContextMenuName("mnuEdit");
    grid.setCurrentCell(0, 0);
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_FALSE(menu.isVisible()) << "only the right button";
    grid.setCurrentCell(0, 0);
    QTest::mousePress(grid.view()->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(Cell(grid.currentRow(), grid.currentColumn()), Cell(2, 2));
    menu.hide();
    setMenuHost(nullptr);
    EXPECT_EQ(hostMenu("mnuEdit"), nullptr);
}

TEST_F(EditGridTest, TheRecordCounterFollowsTheCurrentRow) {
    QLabel counter;
    grid.setCurrentCell(0, 0);
    grid.setRecordCounter(&counter, "Budgets Record: ");
    EXPECT_EQ(counter.text(), "Budgets Record: 1");
    grid.setCurrentCell(2, 1);
    EXPECT_EQ(counter.text(), "Budgets Record: 3");
    grid.removeRow(0);
    EXPECT_EQ(counter.text(), QString("Budgets Record: %1").arg(grid.currentRow() + 1));
    grid.resetRows();
    EXPECT_EQ(counter.text(), "Budgets Record: ");
    grid.appendRow({"Eve"});
    grid.setCurrentCell(0, 0);
    EXPECT_EQ(counter.text(), "Budgets Record: 1");
}
