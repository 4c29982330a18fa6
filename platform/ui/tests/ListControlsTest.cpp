// The list controls: a program-set text raises the change notification as a user's choice
// does; filling a list changes nothing shown; check marks and selections by position.
#include "platform/ui/CheckListBox.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/ProgressBar.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

void fillModes(ComboList& list) {
    for (const char* mode : {"All Folders", "Folder Name", "By WB Sequence", "By Folder Sequence"})
        list.addEntry(mode);
}

} // namespace

TEST(ComboList, AProgramSetTextChoosesTheEntryAndRaisesTheChange) {
    for (const auto style : {ComboList::Style::DropDownCombo, ComboList::Style::DropDownList}) {
        ComboList list(nullptr, style);
        int changes = 0;
        QObject::connect(&list, &ComboList::changed, [&] { ++changes; });
        fillModes(list);
        EXPECT_EQ(changes, 0); // filling is no change
        EXPECT_EQ(list.text(), "");
        EXPECT_EQ(list.listIndex(), -1);

        list.setText("folder name"); // matched without regard to case
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(list.text(), "Folder Name");
        EXPECT_EQ(list.listIndex(), 1);

        list.setListIndex(0);
        EXPECT_EQ(changes, 2);
        EXPECT_EQ(list.text(), "All Folders");

        list.setText("North"); // no such entry
        EXPECT_EQ(changes, 3);
        EXPECT_EQ(list.listIndex(), -1);
        EXPECT_EQ(list.text(), style == ComboList::Style::DropDownCombo ? "North" : "");
    }
}

TEST(ComboList, TheUsersPickAndTypingRaiseTheChange) {
    ComboList list;
    fillModes(list);
    list.setText("All Folders");
    int changes = 0;
    QObject::connect(&list, &ComboList::changed, [&] { ++changes; });
    QTest::keyClick(&list, Qt::Key_Down); // the next entry, chosen from the keyboard
    EXPECT_EQ(list.text(), "Folder Name");
    EXPECT_EQ(changes, 1);
    list.lineEdit()->selectAll();
    QTest::keyClicks(list.lineEdit(), "By");
    EXPECT_EQ(changes, 3); // each typed letter
    EXPECT_EQ(list.text(), "By");
}

TEST(ComboList, EntriesAndSubItemsAreReadByPosition) {
    ComboList list;
    list.setColumnHeadings({"Document Name", "Print Title"});
    list.addEntry("Errors table", {"Errors"});
    list.addEntry("Worksheets table", {"Worksheets"});
    list.setText("Worksheets table");
    list.insertEntry(0, "FolderNames table", {"Folders"});
    EXPECT_EQ(list.listIndex(), 2); // the chosen entry stays chosen
    EXPECT_EQ(list.entryCount(), 3);
    EXPECT_EQ(list.entry(0), "FolderNames table");
    EXPECT_EQ(list.subItem(2, 1), "Worksheets");
    EXPECT_EQ(list.entry(3), ""); // past the last entry
    EXPECT_EQ(list.subItem(0, 5), "");
    list.clearEntries();
    EXPECT_EQ(list.entryCount(), 0);
    EXPECT_EQ(list.entry(0), "");
}

TEST(CheckListBox, ChecksByProgramAreSilentAndTheUsersTickIsReported) {
    CheckListBox box;
    for (const char* name : {"North", "South", "West"})
        box.setItemChecked(box.addEntry(name, {"author"}), true);
    std::vector<int> ticks;
    QObject::connect(&box, &CheckListBox::itemCheckChanged, [&](int at) { ticks.push_back(at); });
    box.setItemChecked(1, false);
    EXPECT_TRUE(ticks.empty());
    EXPECT_EQ(box.listCount(), 3);
    EXPECT_EQ(box.subItem(2, 1), "author");

    box.setCurrentItem(box.topLevelItem(1));
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_EQ(ticks, std::vector<int>{1});
    EXPECT_TRUE(box.isItemChecked(1));

    box.removeEntry(0);
    EXPECT_EQ(box.subItem(0), "South");
    EXPECT_EQ(box.subItem(5), "");
    EXPECT_FALSE(box.isItemChecked(5));
    box.clearItems();
    EXPECT_EQ(box.listCount(), 0);
}

TEST(CheckListBox, AProgramSetTextSelectsTheEntryAndRaisesTheChange) {
    CheckListBox box;
    for (const char* name : {"Sales", "Costs", "Staff"})
        box.addEntry(name);
    box.resize(200, 120);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    int changes = 0;
    std::vector<int> clicked;
    QObject::connect(&box, &CheckListBox::changed, [&] { ++changes; });
    QObject::connect(&box, &CheckListBox::entryClicked, [&](int at) { clicked.push_back(at); });
    box.setText("Sales");
    box.setText("Staff");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(box.firstSelected(), 2);
    EXPECT_FALSE(box.isEntrySelected(0));
    EXPECT_EQ(box.text(), "Staff");

    const QRect costs = box.visualItemRect(box.topLevelItem(1));
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, costs.center() + QPoint(30, 0));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(clicked, std::vector<int>{1});
    EXPECT_EQ(box.text(), "Costs");
}

TEST(ProgressBar, ValuesStayInRangeAndAnEmptyRangeShowsAnEmptyBar) {
    ProgressBar bar;
    auto* inner = bar.findChild<QProgressBar*>();
    ASSERT_NE(inner, nullptr);
    bar.setMax(0);
    bar.setValue(0);
    EXPECT_GT(inner->maximum(), inner->minimum()); // no busy animation
    EXPECT_EQ(inner->value(), inner->minimum());

    bar.setMax(4);
    bar.setValue(9);
    EXPECT_EQ(inner->value(), inner->maximum());
    bar.setValue(2);
    EXPECT_EQ(inner->value() * 2, inner->maximum());

    bar.setDisplay(false);
    EXPECT_EQ(inner->value(), inner->minimum());
    EXPECT_FALSE(inner->isTextVisible());
    EXPECT_EQ(bar.value(), 2);
}
