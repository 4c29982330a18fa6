// Shift+F1 on each of the program's controls asks for the controls' information page, owned by
// the control's window; without a registered page nothing happens.
#include "platform/ui/ControlInfoPage.h"

#include "platform/ui/CheckListBox.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/ExplorerTree.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/WindowOpeners.h"

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

TEST(ControlInfoPage, ShiftF1OnAControlOpensThePageForItsWindow) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* grid = new DataGrid;
    auto* checks = new CheckListBox;
    auto* combo = new ComboList;
    auto* list = new ListBox;
    auto* tree = new ExplorerTree;
    const std::pair<const char*, QWidget*> controls[] = {
        {"grid", grid->view()}, {"check list", checks}, {"combo", combo}, {"list", list}, {"tree", tree}};
    for (const auto& [name, control] : controls)
        layout->addWidget(control == grid->view() ? grid : control);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    for (const auto& [name, control] : controls) {
        SCOPED_TRACE(name);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1, Qt::ShiftModifier);
    }
    std::vector<QWidget*> owners;
    setWindowOpener(kControlInfoPageForm, [&owners](QWidget* owner) {
        owners.push_back(owner);
        return true;
    });
    for (const auto& [name, control] : controls) {
        SCOPED_TRACE(name);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1, Qt::ShiftModifier);
    }
    setWindowOpener(kControlInfoPageForm, {});
    EXPECT_EQ(owners, std::vector<QWidget*>(std::size(controls), &window));
}

} // namespace
