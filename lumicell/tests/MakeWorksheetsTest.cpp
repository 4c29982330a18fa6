// The Make Worksheets tab on workbooks LibreOffice made: the grid of sheets and used ranges, the
// copies of a template under new names with the failures that must not rename anything, the
// lists and their buttons, the two layouts, Del WS, and the summary sheet whose formulas
// LibreOffice computes from the saved workbook.
#include "lumicell/worksheets/MakeWorksheets.h"

#include "WorksheetTabsFixture.h"
#include "platform/sheet/SheetError.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/DataGrid.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidgetItem>

namespace {

using lumicell::kSheetColumn;
using lumicell::kTickColumn;
using platform::sheet::Workbook;
using platform::ui::CheckListBox;
using platform::ui::DataGrid;

class MakeWorksheetsTest : public lumicelltest::WorksheetTabsTest {
protected:
    DataGrid& grid() { return control<DataGrid>("dtWSMake"); }
    CheckListBox& list(const char* name) { return control<CheckListBox>(name); }

    void tick(const QString& sheet) {
        for (int row = 0; row < grid().rowCount(); ++row)
            if (grid().cellText(row, kSheetColumn) == sheet)
                grid().setCellValue(row, kTickColumn, 1);
    }
    QStringList gridSheets() {
        QStringList names;
        for (int row = 0; row < grid().rowCount(); ++row)
            names << grid().cellText(row, kSheetColumn);
        return names;
    }
    // Names typed through Add, each ticked as Add ticks it.
    void addNames(const QStringList& names) {
        for (const QString& name : names) {
            ui_->answerTexts({name});
            control<QPushButton>("cmdAddNew").click();
        }
    }
    void summaryMode(const QStringList& rows, const QStringList& columns) {
        control<QPushButton>("cmdSummary").click();
        for (const QString& row : rows)
            make_->addSummaryPick(true, row);
        for (const QString& column : columns)
            make_->addSummaryPick(false, column);
    }
    // A user's click on an entry's check mark.
    static void userToggles(CheckListBox& list, int position) {
        QTreeWidgetItem* item = list.topLevelItem(position);
        item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

TEST_F(MakeWorksheetsTest, TheGridListsEveryWorksheetUntickedWithItsUsedRange) {
    Workbook& workbook = open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    workbook.addSheet(nullptr, &workbook.sheet(2), QStringLiteral("Empty"));
    workbook.sheet(1).setVisibility(platform::sheet::Worksheet::Visibility::Hidden);
    lumicell::LoadMakeWorksheetsGrid();
    ASSERT_EQ(grid().rowCount(), 4);
    const char* expected[][2] = {{"Jan", "A1:D20"}, {"Feb", "A1:D20"}, {"Mar", "A1:D20"}, {"Empty", "A1:A1"}};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(grid().cellValue(row, kTickColumn).toInt(), 0);
        EXPECT_EQ(grid().cellText(row, kSheetColumn), QString::fromLatin1(expected[row][0]));
        EXPECT_EQ(grid().cellText(row, lumicell::kRangeColumn), QString::fromLatin1(expected[row][1]));
    }
    EXPECT_TRUE(app_.screenUpdating());
}

TEST_F(MakeWorksheetsTest, TickedNamesAreCopiedFromTheUpperTickedSheetInReverseOrder) {
    Workbook& workbook = open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    tick(QStringLiteral("Feb"));
    tick(QStringLiteral("Mar"));
    addNames({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    userToggles(list("lbxWSNames"), 2);
    ASSERT_FALSE(list("lbxWSNames").isItemChecked(2));
    EXPECT_TRUE(make_->runOk());
    EXPECT_EQ(sheetNames(), (QStringList{"Jan", "Feb", "B", "A", "Mar"}));
    EXPECT_EQ(workbook.sheet(QStringLiteral("A")).value({12, 3}).number, 212) << "a copy of the template";
    EXPECT_EQ(list("lbxWSNames").listCount(), 0);
    EXPECT_EQ(gridSheets(), sheetNames()) << "the grid is loaded again";
    EXPECT_TRUE(ui_->messageTexts().isEmpty()) << ui_->messageTexts().join(u'|').toStdString();
    EXPECT_EQ(core::frmWait::loaded(), nullptr);
    EXPECT_TRUE(app_.screenUpdating());
}

TEST_F(MakeWorksheetsTest, MakeIsRefusedWithoutATemplateOrWithoutNames) {
    struct Case {
        const char* what;
        bool tickTemplate;
        QStringList names;
        QString message;
    };
    const Case cases[] = {
        {"no ticked sheet", false, {QStringLiteral("New")}, lumicell::kSelectTemplateText},
        {"no names", true, {}, lumicell::kNoNewNamesText},
    };
    for (const Case& c : cases) {
        open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
        if (c.tickTemplate)
            tick(QStringLiteral("Jan"));
        addNames(c.names);
        ui_->clear();
        make_->runOk();
        EXPECT_EQ(ui_->messageTexts(), QStringList{c.message}) << c.what;
        EXPECT_EQ(ui_->asked().front().title, u"LumivaneXL") << c.what;
        EXPECT_EQ(sheetNames(), (QStringList{"Jan", "Feb", "Mar"})) << c.what;
        EXPECT_EQ(list("lbxWSNames").listCount(), c.names.size()) << c.what << ": the names stay";
        EXPECT_EQ(core::frmWait::loaded(), nullptr) << c.what;
        control<QPushButton>("cmdClear").click();
        app_.closeAll();
    }
}

TEST_F(MakeWorksheetsTest, ANameTakenAlreadyGivesTheGenericMessageAndTheLaterNamesAreStillMade) {
    Workbook& workbook = open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    tick(QStringLiteral("Jan"));
    addNames({QStringLiteral("Feb"), QStringLiteral("Apr")});
    make_->runOk();
    ASSERT_EQ(ui_->messageTexts().size(), 1);
    EXPECT_TRUE(ui_->messageTexts()[0].startsWith(u"Error 1004 has occured. "))
        << ui_->messageTexts()[0].toStdString();
    EXPECT_EQ(ui_->asked().back().title, u"LumivaneXL");
    // The copy for "Feb" keeps the name it was given; Feb itself is untouched; Apr is made.
    EXPECT_EQ(sheetNames().size(), 5);
    EXPECT_EQ(sheetNames()[0], u"Jan");
    EXPECT_EQ(sheetNames()[1], u"Apr");
    EXPECT_EQ(workbook.sheet(QStringLiteral("Feb")).value({12, 3}).number, 212);
    EXPECT_EQ(workbook.sheet(2).value({12, 3}).number, 112) << workbook.sheet(2).name().toStdString();
}

TEST_F(MakeWorksheetsTest, ACopyThatFailsRenamesNoSheet) {
    Workbook& workbook = open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    tick(QStringLiteral("Jan"));
    workbook.renameSheet(workbook.sheet(QStringLiteral("Jan")),
                         QStringLiteral("January")); // since the grid was filled
    addNames({QStringLiteral("New"), QStringLiteral("Newer")});
    make_->runOk();
    EXPECT_EQ(ui_->messageTexts().size(), 2) << "one generic message per name";
    EXPECT_TRUE(ui_->messageTexts()[0].startsWith(u"Error 9 has occured. "));
    EXPECT_EQ(sheetNames(), (QStringList{"January", "Feb", "Mar"}));
}

TEST_F(MakeWorksheetsTest, TheNameListsButtons) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    CheckListBox& names = list("lbxWSNames");
    ui_->answerTexts({QString()});
    control<QPushButton>("cmdAddNew").click();
    EXPECT_EQ(names.listCount(), 0) << "an empty answer adds nothing";
    EXPECT_EQ(ui_->asked().back().text, u"Enter the worksheet name.");
    EXPECT_EQ(ui_->asked().back().title, u"LumivaneXL");
    addNames({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    EXPECT_TRUE(names.isItemChecked(2)) << "a new name comes ticked";
    names.topLevelItem(1)->setSelected(true);
    names.topLevelItem(2)->setSelected(true);
    control<QPushButton>("cmdDelItem").click();
    EXPECT_EQ(names.subItem(0), u"One");
    EXPECT_EQ(names.subItem(1), u"Three") << "Del removes the first selected name only";
    summaryMode({QStringLiteral("12"), QStringLiteral("20")}, {QStringLiteral("C")});
    userToggles(list("lbxRows"), 0);
    EXPECT_EQ(list("lbxRows").listCount(), 1) << "a row entry whose check mark is cleared goes";
    EXPECT_EQ(list("lbxRows").subItem(0), u"20");
    control<QPushButton>("cmdClear").click();
    EXPECT_EQ(list("lbxRows").listCount() + list("lbxCols").listCount(), 0);
    EXPECT_EQ(names.listCount(), 2) << "Clr in summary mode leaves the names";
    control<QPushButton>("cmdReturn").click();
    control<QPushButton>("cmdClear").click();
    EXPECT_EQ(names.listCount(), 0);
}

TEST_F(MakeWorksheetsTest, EachModeShowsItsControlsInstructionAndCaption) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    dialog_.show();
    QCoreApplication::processEvents();
    struct Mode {
        const char* button;
        bool summary;
        const char* caption;
        const char* task;
        const char* gridTip;
    };
    const Mode modes[] = {
        {"cmdSummary", true, "Build Worksheets - Make Summary Worksheet",
         "Identify summary rows and columns.  Click Make to write formulas.",
         "Select worksheets included in summary totals."},
        {"cmdReturn", false, "Build Worksheets - Make Worksheets",
         "Select a template and add new names.  Click Make to make worksheets.", "Select copy template."},
    };
    for (const Mode& m : modes) {
        control<QPushButton>(m.button).click();
        EXPECT_EQ(lumicell::gOptions()->FormBldWSBig, m.summary);
        EXPECT_EQ(dialog_.windowTitle(), QString::fromLatin1(m.caption));
        EXPECT_EQ(control<QLabel>("lblTaskDefine").text(), QString::fromLatin1(m.task));
        EXPECT_EQ(grid().toolTip(), QString::fromLatin1(m.gridTip));
        for (const char* name : {"lbxWSNames", "cmdAddNew", "cmdSummary", "cmdDelete"})
            EXPECT_EQ(dialog_.findChild<QWidget*>(QString::fromLatin1(name))->isVisible(), !m.summary)
                << name;
        for (const char* name : {"cmdReturn", "lbxRows", "lbxCols"})
            EXPECT_EQ(dialog_.findChild<QWidget*>(QString::fromLatin1(name))->isVisible(), m.summary) << name;
        for (const char* name : {"cmdClear", "cmdDelItem"})
            EXPECT_TRUE(dialog_.findChild<QWidget*>(QString::fromLatin1(name))->isVisible()) << name;
    }
    // The mode buttons ran the layout, which gives the dialog its design size; the dialog runs it
    // again on every resize, so a resize by hand is undone.
    const QSize placed = dialog_.size();
    dialog_.resize(placed + QSize(300, 200));
    QCoreApplication::processEvents();
    make_->layOut();
    EXPECT_EQ(dialog_.size(), placed) << "a resize by hand is undone";
}

TEST_F(MakeWorksheetsTest, AllAndTheHeaderDoubleClickTickOrClearEveryRow) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    auto ticks = [this] {
        QList<int> values;
        for (int row = 0; row < grid().rowCount(); ++row)
            values << grid().cellValue(row, kTickColumn).toInt();
        return values;
    };
    control<QCheckBox>("chkAllBW").click();
    EXPECT_EQ(ticks(), (QList<int>{1, 1, 1}));
    emit grid().cellDoubleClicked(-1, kTickColumn, platform::ui::ClickArea::Heading);
    EXPECT_EQ(ticks(), (QList<int>{0, 0, 0}));
    EXPECT_FALSE(control<QCheckBox>("chkAllBW").isChecked());
    emit grid().cellDoubleClicked(-1, kTickColumn, platform::ui::ClickArea::Heading);
    EXPECT_EQ(ticks(), (QList<int>{1, 1, 1}));
}

TEST_F(MakeWorksheetsTest, DelWSDeletesTheTickedSheetsWithoutAskingAndStopsAtAFailure) {
    Workbook& workbook = open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    control<QPushButton>("cmdDelete").click();
    EXPECT_EQ(sheetNames(), (QStringList{"Jan", "Feb", "Mar"})) << "nothing ticked, nothing deleted";
    tick(QStringLiteral("Jan"));
    tick(QStringLiteral("Feb"));
    tick(QStringLiteral("Mar"));
    workbook.renameSheet(workbook.sheet(QStringLiteral("Feb")), QStringLiteral("February"));
    control<QPushButton>("cmdDelete").click();
    ASSERT_EQ(ui_->messageTexts().size(), 1);
    EXPECT_TRUE(ui_->messageTexts()[0].startsWith(u"Error 9 has occured. "));
    EXPECT_EQ(ui_->asked()[0].title, u"Lumicell");
    EXPECT_EQ(sheetNames(), (QStringList{"February", "Mar"}))
        << "Jan went before the failure, Mar was not reached";
    EXPECT_EQ(gridSheets(), sheetNames());
    EXPECT_TRUE(app_.displayAlerts());
    EXPECT_TRUE(app_.screenUpdating());
}

// --- the summary sheet --------------------------------------------------------------------------

TEST_F(MakeWorksheetsTest, SummaryFormulasAddTheTickedSheetsAndLibreOfficeShowsTheSums) {
    Workbook& workbook = open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    tick(QStringLiteral("Jan"));
    tick(QStringLiteral("Feb"));
    summaryMode({QStringLiteral("12"), QStringLiteral("20")}, {QStringLiteral("C"), QStringLiteral("D")});
    ui_->answerTexts({lumicell::kDefaultHeader});
    EXPECT_TRUE(make_->runOk());
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_EQ(ui_->asked()[0].text, u"Write a header for the Summary Worksheet to A1.");
    EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
    EXPECT_EQ(ui_->asked()[0].defaultText, u"Automated Summary Worksheet prepared by LumivaneXL");
    EXPECT_EQ(sheetNames(), (QStringList{"Jan", "Feb", "Mar", "Budgetsum"}));
    EXPECT_TRUE(lumicell::gOptions()->FormBldWSBig) << "the tab stays in summary mode";
    platform::sheet::Worksheet& summary = workbook.sheet(QStringLiteral("Budgetsum"));
    EXPECT_EQ(summary.formula({12, 3}), u"=+'Jan'!C12+'Feb'!C12");
    for (const char* cell : {"D12", "C20", "D20"})
        EXPECT_EQ(summary.range(QString::fromLatin1(cell)).formula(),
                  QStringLiteral("=+'Jan'!%1+'Feb'!%1").arg(QString::fromLatin1(cell)));
    EXPECT_EQ(summary.text({1, 1}), lumicell::kDefaultHeader);
    EXPECT_TRUE(summary.isBold({1, 1}));
    EXPECT_EQ(gridSheets().last(), u"Budgetsum");
    workbook.save();
    const QStringList shown = sheettest::convertWithLibreOffice(workbook.fullName(), 4);
    ASSERT_GE(shown.size(), 20);
    EXPECT_EQ(sheettest::csvFields(shown[11]).mid(2, 2), (QStringList{"324", "325"}));
    EXPECT_EQ(sheettest::csvFields(shown[19]).mid(2, 2), (QStringList{"340", "341"}));

    // A second run reuses the sheet; a ticked summary sheet is never added into itself.
    tick(QStringLiteral("Mar"));
    tick(QStringLiteral("Budgetsum"));
    ui_->answerTexts({std::nullopt});
    EXPECT_TRUE(make_->runOk());
    EXPECT_EQ(sheetNames(), (QStringList{"Jan", "Feb", "Mar", "Budgetsum"}));
    EXPECT_EQ(summary.formula({20, 4}), u"=+'Jan'!D20+'Feb'!D20+'Mar'!D20");
    EXPECT_EQ(summary.text({1, 1}), lumicell::kDefaultHeader) << "no header answer, A1 as it was";
    EXPECT_EQ(list("lbxRows").listCount(), 2) << "the picks stay";
}

TEST_F(MakeWorksheetsTest, SummaryRefusalsWriteNothing) {
    struct Case {
        const char* what;
        QStringList rows;
        QStringList columns;
        bool tickSheet;
        QString message;
    };
    const Case cases[] = {
        {"no row picked", {}, {QStringLiteral("C")}, true, lumicell::kSelectPairsText},
        {"one row, two columns",
         {QStringLiteral("12")},
         {QStringLiteral("C"), QStringLiteral("D")},
         true,
         lumicell::kUnequalPairsText},
        {"no sheet ticked",
         {QStringLiteral("12")},
         {QStringLiteral("C")},
         false,
         lumicell::kSelectSheetsToSumText},
    };
    for (const Case& c : cases) {
        open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
        if (c.tickSheet)
            tick(QStringLiteral("Jan"));
        summaryMode(c.rows, c.columns);
        ui_->clear();
        make_->runOk();
        EXPECT_EQ(ui_->messageTexts(), QStringList{c.message}) << c.what;
        EXPECT_EQ(ui_->asked().front().title, u"LumivaneXL") << c.what;
        EXPECT_EQ(sheetNames(), (QStringList{"Jan", "Feb", "Mar"})) << c.what;
        control<QPushButton>("cmdClear").click();
        app_.closeAll();
    }
}

TEST_F(MakeWorksheetsTest, WithNoSheetsListedTheSummarySheetIsAddedAndTheUserSentBack) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    make_->clearGrids();
    summaryMode({QStringLiteral("12")}, {QStringLiteral("C")});
    make_->runOk();
    EXPECT_EQ(ui_->messageTexts(), QStringList{lumicell::kGoBackText});
    EXPECT_EQ(sheetNames(), (QStringList{"Jan", "Feb", "Mar", "Budgetsum"}))
        << "the added summary sheet stays";
    EXPECT_TRUE(app_.activeWorkbook()->sheet(QStringLiteral("Budgetsum")).formula({12, 3}).isEmpty());
}

TEST_F(MakeWorksheetsTest, SheetNamesWithAnApostropheAreQuotedInTheFormula) {
    EXPECT_EQ(
        lumicell::SummaryFormula({QStringLiteral("Bob's"), QStringLiteral("Jan")}, QStringLiteral("C12")),
        u"=+'Bob''s'!C12+'Jan'!C12");
}

TEST_F(MakeWorksheetsTest, Pictures) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    tick(QStringLiteral("Jan"));
    addNames({QStringLiteral("Apr"), QStringLiteral("May")});
    testsupport::saveScreenshot(dialog_, QStringLiteral("lumicell-make-worksheets"));
    summaryMode({QStringLiteral("12"), QStringLiteral("20")}, {QStringLiteral("C"), QStringLiteral("D")});
    tick(QStringLiteral("Feb"));
    testsupport::saveScreenshot(dialog_, QStringLiteral("lumicell-make-summary"));
    EXPECT_EQ(list("lbxCols").listCount(), 2);
}

} // namespace
