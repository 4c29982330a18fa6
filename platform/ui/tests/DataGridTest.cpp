// The data grid: its events (a change told apart by origin, heading clicks), rows, cells,
// selection, requery, colours and printing to PDF.
#include "platform/ui/DataGrid.h"

#include "platform/ui/EventPump.h"
#include "platform/ui/Twips.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using namespace platform::ui;

namespace {

struct Change {
    int row;
    int column;
    ChangeOrigin origin;
    bool operator==(const Change&) const = default;
};

struct Click {
    int row;
    int column;
    ClickArea area;
    bool operator==(const Click&) const = default;
};

DataGridColumn column(const QString& heading, ColumnKind kind = ColumnKind::Text, bool hidden = false) {
    DataGridColumn c;
    c.field = heading;
    c.heading = heading;
    c.kind = kind;
    c.hidden = hidden;
    return c;
}

QString pdfText(const QString& path) {
    QProcess run;
    run.start("pdftotext", {"-layout", path, "-"});
    if (!run.waitForFinished(30000) || run.exitCode() != 0)
        return "pdftotext failed: " + QString::fromUtf8(run.readAllStandardError());
    return QString::fromUtf8(run.readAllStandardOutput());
}

class DataGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setColumns({column("Worksheet_Name"), column("Select", ColumnKind::Check),
                         column("Folder_Name", ColumnKind::List),
                         column("WS_Password", ColumnKind::Text, true)});
        grid.setColumnList(2, "North\tSouth\tWest");
        grid.appendRow({"Sales", true, "North", "hush-1"});
        grid.appendRow({"Costs", false, "South", "hush-2"});
        grid.appendRow({"Staff", 0, "", "hush-3"});
        QObject::connect(&grid, &DataGrid::cellChanged, [this](int r, int c, ChangeOrigin o) {
            changes.push_back({r, c, o});
        });
        QObject::connect(&grid, &DataGrid::cellClicked, [this](int r, int c, ClickArea a) {
            clicks.push_back({r, c, a});
        });
        grid.resize(640, 240);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    QLineEdit* openTextEditor(int row, int col) {
        grid.setCurrentCell(row, col);
        grid.editCurrentCell();
        return grid.view()->viewport()->findChild<QLineEdit*>();
    }

    DataGrid grid;
    std::vector<Change> changes;
    std::vector<Click> clicks;
};

} // namespace

TEST_F(DataGridTest, ChangeAfterAUserEditAndAfterAProgramWriteTellsWhichItWas) {
    std::vector<std::pair<int, int>> beforeEdits;
    QObject::connect(&grid, &DataGrid::beforeEdit, [&](int r, int c) { beforeEdits.push_back({r, c}); });

    QLineEdit* editor = openTextEditor(1, 0);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "Costs");
    EXPECT_EQ(beforeEdits, (std::vector<std::pair<int, int>>{{1, 0}}));
    editor->selectAll();
    QTest::keyClicks(editor, "Payroll");
    EXPECT_TRUE(changes.empty()); // nothing until the edit is completed
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits a finished edit from its event queue, and the grid tells of it once the
    // editor has closed.
    EventPump::processPending();
    EventPump::processPending();
    EXPECT_EQ(grid.cellValue(1, 0).toString(), "Payroll");

    grid.setCellValue(2, 0, "Rent");
    grid.setCellValue(2, 0, "Rent"); // the same value again is no change
    EXPECT_EQ(changes, (std::vector<Change>{{1, 0, ChangeOrigin::User}, {2, 0, ChangeOrigin::Program}}));
}

// A window whose handler refills the rows as a typed edit reaches it: the window hears of the
// edit once the view has closed the editor, so the editor is closed once and the view does not
// warn ("closeEditor called with an editor that does not belong to this view").
TEST_F(DataGridTest, ATypedEditReachesTheWindowOnceItsEditorHasClosed) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    bool editorOpenInHandler = true;
    QObject::connect(&grid, &DataGrid::cellChanged, [&](int r, int c, ChangeOrigin o) {
        if (o != ChangeOrigin::User)
            return;
        editorOpenInHandler = grid.view()->indexWidget(grid.view()->model()->index(r, c)) != nullptr;
        grid.resetRows(); // as a window that reads its rows again after storing the edit
        grid.appendRow({"Payroll", true, "North", "hush-1"});
    });
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    QLineEdit* editor = openTextEditor(1, 0);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "Payroll");
    QTest::keyClick(editor, Qt::Key_Return);
    for (int round = 0; round < 3; ++round)
        EventPump::processPending();
    qInstallMessageHandler(previous);
    EXPECT_EQ(changes, (std::vector<Change>{{1, 0, ChangeOrigin::User}}));
    EXPECT_FALSE(editorOpenInHandler);
    EXPECT_TRUE(warnings.filter(QStringLiteral("editor")).isEmpty()) << warnings.join(u'\n').toStdString();
    EXPECT_EQ(grid.rowCount(), 1);
}

TEST_F(DataGridTest, AHandlerWritingACellDuringAUserChangeRaisesAProgramChange) {
    // As a window that takes a tick back: the user's change, then the program's.
    QObject::connect(&grid, &DataGrid::cellChanged, [&](int r, int c, ChangeOrigin o) {
        if (o == ChangeOrigin::User && c == 1)
            grid.setCellValue(r, 1, false);
    });
    grid.view()->setFocus();
    grid.setCurrentCell(1, 1);
    QTest::keyClick(grid.view(), Qt::Key_Space); // ticks the check cell
    EXPECT_EQ(changes, (std::vector<Change>{{1, 1, ChangeOrigin::User}, {1, 1, ChangeOrigin::Program}}));
    EXPECT_EQ(grid.cellValue(1, 1).toInt(), 0);
}

TEST_F(DataGridTest, CheckCellsHoldOneOrZero) {
    EXPECT_EQ(grid.cellValue(0, 1), QVariant(1));
    EXPECT_EQ(grid.cellValue(1, 1), QVariant(0)); // appended as False: shown clear
    grid.view()->setFocus();
    grid.setCurrentCell(2, 1);
    QTest::keyClick(grid.view(), Qt::Key_Space);
    EXPECT_EQ(grid.cellValue(2, 1), QVariant(1));
    EXPECT_EQ(changes, (std::vector<Change>{{2, 1, ChangeOrigin::User}}));
}

TEST_F(DataGridTest, DropDownColumnsOfferTheirTabSeparatedList) {
    EXPECT_EQ(grid.columnList(2), "North\tSouth\tWest");
    grid.setCurrentCell(2, 2);
    grid.editCurrentCell();
    auto* combo = grid.view()->viewport()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), "West");
    combo->setCurrentIndex(2);
    QTest::keyClick(combo, Qt::Key_Return);
    EventPump::processPending();
    EventPump::processPending();
    EXPECT_EQ(grid.cellText(2, 2), "West");
    EXPECT_EQ(changes, (std::vector<Change>{{2, 2, ChangeOrigin::User}}));
}

// Typing on a cell that holds text opens its editor with the first key and replaces the text,
// in a drop-down column as in a text column.
TEST_F(DataGridTest, TypingOnACellReplacesItsText) {
    struct Case {
        int row;
        int column;
        const char* typed;
    };
    for (const Case& c : {Case{0, 0, "Rates"}, Case{1, 2, "Carol"}, Case{0, 2, "East"}}) {
        SCOPED_TRACE(c.typed);
        grid.view()->setFocus();
        grid.setCurrentCell(c.row, c.column);
        const QString typed = QString::fromLatin1(c.typed);
        QTest::keyClick(grid.view(), typed.at(0).toLatin1()); // opens the editor
        QWidget* editor = grid.view()->indexWidget(grid.view()->model()->index(c.row, c.column));
        ASSERT_NE(editor, nullptr);
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            line = combo->lineEdit();
        ASSERT_NE(line, nullptr);
        QTest::keyClicks(line, typed.mid(1));
        QTest::keyClick(line, Qt::Key_Return);
        EventPump::processPending();
        EXPECT_EQ(grid.cellText(c.row, c.column), typed);
    }
}

TEST_F(DataGridTest, HeadingClickReportsTheHeadingAreaAndKeepsTheHighlightedRows) {
    grid.setRowSelection(RowSelection::MultipleRows);
    grid.selectRange(0, 1, true);
    grid.setCurrentCell(1, 0);
    QHeaderView* header = grid.view()->horizontalHeader();
    const QPoint onHeading(header->sectionViewportPosition(2) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onHeading);
    ASSERT_EQ(clicks, (std::vector<Click>{{-1, 2, ClickArea::Heading}}));
    EXPECT_EQ(grid.selectedRows(), (QList<int>{0, 1}));
    EXPECT_EQ(grid.currentRow(), 1);

    std::vector<std::tuple<int, int, int>> presses;
    QObject::connect(&grid, &DataGrid::mousePressed,
                     [&](int button, int r, int c) { presses.emplace_back(button, r, c); });
    const QRect cell = grid.view()->visualRect(grid.view()->model()->index(2, 0));
    QTest::mouseClick(grid.view()->viewport(), Qt::RightButton, {}, cell.center());
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(presses, (std::vector<std::tuple<int, int, int>>{{2, 2, 0}, {1, 2, 0}}));
    EXPECT_EQ(clicks.back(), (Click{2, 0, ClickArea::Cell}));
}

TEST_F(DataGridTest, RowsAreResetAppendedAndRemovedByIndex) {
    grid.removeRow(0);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cellText(0, 0), "Costs");
    grid.appendRow({"Short"}); // missing values stay empty, a check cell clear
    EXPECT_EQ(grid.cellText(2, 0), "Short");
    EXPECT_TRUE(grid.cellValue(2, 2).isNull());
    EXPECT_EQ(grid.cellValue(2, 1), QVariant(0));
    // Addresses outside the grid read empty and are not written.
    grid.setCellValue(7, 0, "nowhere");
    grid.setCellValue(0, 9, "nowhere");
    EXPECT_TRUE(grid.cellValue(7, 0).isNull());
    EXPECT_TRUE(changes.empty());

    grid.resetRows();
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.currentRow(), DataGrid::kNoRow);
}

TEST_F(DataGridTest, OneRowOrSeveralRowsAreHighlighted) {
    grid.setRowSelection(RowSelection::MultipleRows);
    grid.selectRange(0, 0, true);
    grid.selectRange(2, 2, true);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{0, 2}));
    grid.selectRange(0, 0, false);
    EXPECT_FALSE(grid.isRowSelected(0));
    EXPECT_TRUE(grid.isRowSelected(2));

    grid.setRowSelection(RowSelection::SingleRow);
    grid.selectRange(1, 1, true);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{1}));
    grid.selectRange(5, 9, true); // beyond the last row: nothing changes
    EXPECT_EQ(grid.selectedRows(), (QList<int>{1}));
}

TEST_F(DataGridTest, RequeryTakesFieldsByNameAndAFailedQueryKeepsTheRows) {
    int runs = 0;
    grid.setSource([&]() -> std::optional<DataGridRows> {
        if (++runs == 2)
            return std::nullopt;
        return DataGridRows{{"ws_password", "Extra", "WORKSHEET_NAME", "Select"},
                            {{"p", "x", "Budget", -1}, {"q", "y", "Totals", 0}}};
    });
    grid.setCellBackground(0, 0, Qt::red);
    ASSERT_TRUE(grid.requery());
    ASSERT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cellText(0, 0), "Budget");
    EXPECT_EQ(grid.cellValue(0, 1), QVariant(1));
    EXPECT_TRUE(grid.cellValue(0, 2).isNull()); // no such field in the source
    EXPECT_EQ(grid.cellText(1, 3), "q");
    EXPECT_TRUE(grid.isColumnHidden(3)); // columns keep their settings
    EXPECT_FALSE(grid.cellBackground(0, 0).isValid());
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_TRUE(changes.empty()); // a requery is no edit

    EXPECT_FALSE(grid.requery());
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cellText(1, 0), "Totals");
}

TEST(DataGrid, AGridWithoutColumnsTakesTheSourcesFields) {
    DataGrid grid;
    EXPECT_FALSE(grid.requery()); // no source yet
    grid.setSource([] { return std::optional(DataGridRows{{"A", "B"}, {{1, 2}}}); });
    ASSERT_TRUE(grid.requery());
    EXPECT_EQ(grid.columnCount(), 2);
    EXPECT_EQ(grid.column(1).heading, "B");
    EXPECT_EQ(grid.cellText(0, 1), "2");
}

TEST_F(DataGridTest, PrintingToPdfLeavesHiddenColumnsOut) {
    const QString folder = testsupport::freshDir("pdf");
    GridPrintOptions options{"Worksheets table", "Budget worksheets", true, true};
    const QString skipped = folder + "/skipped.pdf";
    ASSERT_TRUE(grid.printToPdf(skipped, options));
    if (const QString keep = qEnvironmentVariable("LUMIVANE_SNAPSHOT_DIR"); !keep.isEmpty())
        QFile::copy(skipped, keep + "/datagrid.pdf");
    const QString text = pdfText(skipped);
    for (const char* shown :
         {"Budget worksheets", "Worksheet_Name", "Folder_Name", "Sales", "Staff", "South"})
        EXPECT_TRUE(text.contains(shown)) << shown << "\n" << text.toStdString();
    for (const char* hidden : {"WS_Password", "hush-1", "hush-3"})
        EXPECT_FALSE(text.contains(hidden)) << hidden;

    options.skipHidden = false;
    const QString all = folder + "/all.pdf";
    ASSERT_TRUE(grid.printToPdf(all, options));
    const QString allText = pdfText(all);
    EXPECT_TRUE(allText.contains("WS_Password"));
    EXPECT_TRUE(allText.contains("hush-2"));

    EXPECT_FALSE(grid.printToPdf(folder + "/no/such/folder/x.pdf", options));
}

TEST_F(DataGridTest, AWideGridNotFittedContinuesOnFurtherPages) {
    for (int i = 0; i < 6; ++i) {
        DataGridColumn wide = column(QString("Wide%1").arg(i));
        wide.widthTwips = 4000;
        grid.appendColumn(wide);
        grid.setCellValue(0, 4 + i, QString("v%1").arg(i));
    }
    const QString path = testsupport::freshDir("wide") + "/wide.pdf";
    ASSERT_TRUE(grid.printToPdf(path, {"Wide", "Wide grid", false, true}));
    const QString text = pdfText(path);
    EXPECT_GT(text.count('\f'), 1) << "more than one page";
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(text.contains(QString("v%1").arg(i))) << i; // no column lost off the edge
}

TEST_F(DataGridTest, CellColoursShowInTheGrid) {
    grid.setRedraw(false);
    grid.setCellBackground(0, 0, QColor(0, 255, 0));
    grid.setCellBackground(1, 2, QColor(255, 255, 0));
    grid.setRedraw(true);
    EXPECT_EQ(grid.cellBackground(0, 0), QColor(0, 255, 0));
    const QImage image = grid.view()->viewport()->grab().toImage();
    const QRect cell = grid.view()->visualRect(grid.view()->model()->index(1, 2));
    EXPECT_EQ(QColor(image.pixel(cell.topLeft() + QPoint(2, 2))), QColor(255, 255, 0));
    // A look at the grid: set LUMIVANE_SNAPSHOT_DIR to keep a picture of it.
    const QString snapshots = qEnvironmentVariable("LUMIVANE_SNAPSHOT_DIR");
    if (!snapshots.isEmpty())
        grid.grab().save(snapshots + "/datagrid.png");
}

TEST(DataGrid, ColumnsNarrowerThanTheirHeadingsAreWidenedAndOthersKept) {
    DataGrid grid;
    DataGridColumn narrow;
    narrow.heading = "Incoming Mail";
    narrow.widthTwips = 150;
    DataGridColumn wide;
    wide.heading = "Id";
    wide.widthTwips = 3000;
    grid.setColumns({narrow, wide});
    grid.fitColumnsToHeadings();
    QHeaderView* header = grid.view()->horizontalHeader();
    EXPECT_GT(grid.view()->columnWidth(0), header->fontMetrics().horizontalAdvance("Incoming Mail"));
    EXPECT_EQ(grid.view()->columnWidth(1), Twips::toPixels(3000));
}

// Columns are widened to their texts (heading or cells), never narrowed, at most to the limit;
// hidden columns are left as they are.
TEST(DataGrid, ColumnsAreWidenedToTheirContents) {
    DataGrid grid;
    DataGridColumn date = column("Due_Date");
    date.widthTwips = 300;
    DataGridColumn wide = column("Id");
    wide.widthTwips = 3000;
    DataGridColumn hidden = column("Key", ColumnKind::Text, true);
    DataGridColumn longText = column("Note");
    longText.widthTwips = 300;
    grid.setColumns({date, wide, hidden, longText});
    grid.appendRow({"2031-03-31 00:00:00", "7", "a very long hidden key", QString(400, QLatin1Char('x'))});
    grid.fitColumnsToContents();
    const QFontMetrics metrics = grid.view()->fontMetrics();
    EXPECT_GT(grid.view()->columnWidth(0), metrics.horizontalAdvance("2031-03-31 00:00:00"));
    EXPECT_EQ(grid.view()->columnWidth(1), Twips::toPixels(3000));
    EXPECT_EQ(grid.view()->columnWidth(3), Twips::toPixels(DataGrid::kFitLimitTwips));
    EXPECT_TRUE(grid.view()->isColumnHidden(2));
}

// A double click on a heading reports the heading's area (1) and no row; one on a cell its row,
// column and the cell's area (0).
TEST_F(DataGridTest, DoubleClicksTellTheHeadingFromACell) {
    std::vector<Click> doubles;
    QObject::connect(&grid, &DataGrid::cellDoubleClicked, [&doubles](int r, int c, ClickArea a) {
        doubles.push_back({r, c, a});
    });
    const QRect cell = grid.view()->visualRect(grid.view()->model()->index(2, 0));
    // The first click of the two, then the second, as the window system sends them.
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid.view()->viewport(), Qt::LeftButton, {}, cell.center());
    QHeaderView* header = grid.view()->horizontalHeader();
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                       QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(doubles, (std::vector<Click>{{2, 0, ClickArea::Cell}, {-1, 1, ClickArea::Heading}}));
    EXPECT_EQ(int(doubles.back().area), 1);
}
