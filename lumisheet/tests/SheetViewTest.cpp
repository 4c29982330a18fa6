// The sheet view over the workbook layer: headings select whole columns and rows (and the event
// says so), typing is a typed entry whose dependants follow at once, cells show their number
// formats, the tabs follow the workbook's sheets, and screen updating off freezes the window.
#include "LumisheetFixture.h"
#include "platform/ui/ProgramIcons.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

namespace {

using lumisheettest::LumisheetFixture;
using platform::sheet::CellRange;
using platform::sheet::Range;
using platform::sheet::Worksheet;

class SheetViewTest : public LumisheetFixture {
protected:
    // Every selection event as "<sheet> <address>", relative as the add-in reads it.
    QStringList selections;
    void recordSelections() {
        QObject::connect(&app_, &platform::sheet::Application::sheetSelectionChange,
                         [this](Worksheet* sheet, const Range& target) {
                             selections << sheet->name() + u' ' + target.address(false, false);
                         });
    }
};

TEST_F(SheetViewTest, HeadingsSelectWholeColumnsAndRows) {
    app_.add();
    recordSelections();
    clickColumnHeading(3);
    clickRowHeading(7);
    view().setCurrentIndex(model().index(1, 1));
    EXPECT_EQ(selections, (QStringList{"Sheet1 C:C", "Sheet1 7:7", "Sheet1 B2"}));
    EXPECT_EQ(model().sheet().selectionAddress(), u"B2");
}

TEST_F(SheetViewTest, TypingIsATypedEntryAndItsDependantsFollow) {
    app_.add();
    type(1, 1, QStringLiteral("21"));
    type(1, 2, QStringLiteral("=A1*2"));
    type(1, 3, QStringLiteral("12.5%"));
    EXPECT_EQ(shown(1, 2), u"42");
    EXPECT_EQ(model().sheet().formula({1, 2}), u"=A1*2");
    EXPECT_EQ(shown(1, 3), u"12.50%");
    type(1, 1, QStringLiteral("50"));
    EXPECT_EQ(shown(1, 2), u"100") << "the dependent formula is recalculated at once";
    EXPECT_FALSE(app_.activeWorkbook()->saved());

    // The formula bar shows the current cell's formula; an entry there is a typed entry too.
    view().setCurrentIndex(model().index(0, 1));
    EXPECT_EQ(window_->nameBox()->text(), u"B1");
    EXPECT_EQ(window_->formulaBar()->text(), u"=A1*2");
    window_->formulaBar()->setText(QStringLiteral("=A1+1"));
    QTest::keyClick(window_->formulaBar(), Qt::Key_Return);
    EXPECT_EQ(shown(1, 2), u"51");

    // A formula the layer cannot read is refused in its words and changes nothing.
    ui_->answerMessages({platform::ui::Answer::Ok});
    type(2, 1, QStringLiteral("=SUM(A1"));
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_EQ(ui_->asked()[0].title, u"Lumisheet");
    EXPECT_TRUE(model().sheet().value({2, 1}).isEmpty());
}

TEST_F(SheetViewTest, TabsFollowTheSheetsAndChoosingOneActivatesIt) {
    platform::sheet::Workbook& book = app_.add();
    QTabBar* tabs = window_->activeView()->sheetTabs();
    Worksheet& added = book.addSheet(nullptr, &book.sheet(0), QStringLiteral("Plan"));
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), u"Plan");
    EXPECT_EQ(&model().sheet(), &added);
    book.renameSheet(added, QStringLiteral("Plan 2"));
    EXPECT_EQ(tabs->tabText(1), u"Plan 2");

    QStringList activations;
    QObject::connect(&app_, &platform::sheet::Application::sheetActivate,
                     [&activations](Worksheet* sheet) { activations << sheet->name(); });
    tabs->setCurrentIndex(0);
    EXPECT_EQ(activations, QStringList{"Sheet1"});
    EXPECT_EQ(&book.activeSheet(), &book.sheet(0));
    EXPECT_EQ(&model().sheet(), &book.sheet(0));

    book.deleteSheet(book.sheet(QStringLiteral("Plan 2")));
    EXPECT_EQ(tabs->count(), 1);
}

TEST_F(SheetViewTest, WorkbooksHaveTabsAndTheTitleNamesTheActiveOne) {
    platform::sheet::Workbook& first = app_.add();
    app_.add();
    EXPECT_EQ(window_->workbookTabs()->count(), 2);
    EXPECT_EQ(window_->windowTitle(), u"Book2 - Lumisheet");
    window_->workbookTabs()->setCurrentIndex(0);
    EXPECT_EQ(app_.activeWorkbook(), &first);
    EXPECT_EQ(window_->windowTitle(), u"Book1 - Lumisheet");
    app_.close(first);
    EXPECT_EQ(window_->workbookTabs()->count(), 1);
    // The window carries the program's own icon, not the toolkit's.
    const QImage own = platform::ui::programIcon(platform::ui::kLumisheetIcon).pixmap(32).toImage();
    EXPECT_FALSE(own.isNull());
    EXPECT_EQ(window_->windowIcon().pixmap(32).toImage(), own);
}

TEST_F(SheetViewTest, ScreenUpdatingOffFreezesTheWindowUntilItIsOn) {
    platform::sheet::Workbook& book = app_.add();
    app_.setScreenUpdating(false);
    EXPECT_FALSE(window_->workbookTabs()->updatesEnabled());
    app_.setEnableEvents(false); // the program's writes raise no event either
    book.sheet(0).setEntry({1, 1}, QStringLiteral("7"));
    Worksheet& work = book.addSheet(nullptr, &book.sheet(0), QStringLiteral("Work"));
    book.sheet(0).activate();
    app_.setEnableEvents(true);
    app_.setScreenUpdating(true);
    EXPECT_TRUE(window_->workbookTabs()->updatesEnabled());
    EXPECT_EQ(window_->activeView()->sheetTabs()->count(), 2);
    EXPECT_EQ(&model().sheet(), &book.sheet(0));
    EXPECT_EQ(shown(1, 1), u"7");
    EXPECT_NE(&model().sheet(), &work);
}

// The model holds the used cells and a margin: scrolling to its end, or going to a far cell,
// makes it hold more; a whole column selected by the program is shown to the model's end.
TEST_F(SheetViewTest, TheModelGrowsAsTheViewGoesFurther) {
    app_.add();
    const int first = model().rowCount();
    EXPECT_LT(first, platform::sheet::CellAddress::kMaxRows);
    QScrollBar* bar = view().verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_GT(model().rowCount(), first);

    window_->nameBox()->setText(QStringLiteral("B5000"));
    QTest::keyClick(window_->nameBox(), Qt::Key_Return);
    EXPECT_EQ(model().sheet().selectionAddress(), u"B5000");
    EXPECT_GE(model().rowCount(), 5000);
    EXPECT_EQ(view().currentIndex(), model().index(4999, 1));

    model().sheet().range(QStringLiteral("D:D")).select();
    const CellRange shown = view().selectedBlock();
    EXPECT_EQ(shown.first, (platform::sheet::CellRef{1, 4}));
    EXPECT_EQ(shown.last, (platform::sheet::CellRef{model().rowCount(), 4}));
}

} // namespace
