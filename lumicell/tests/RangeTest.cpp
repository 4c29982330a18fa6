// The Range tab: Get Data on a workbook LibreOffice made shows its first sheet's rows whose first
// column holds something; the failures show the data store library's error text; the tab is on
// only for a workbook saved in a file.
#include "WorksheetTabsFixture.h"
#include "lumicell/worksheets/LoadExcelData.h"
#include "platform/ui/BusyPointer.h"
#include "platform/ui/DataGrid.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QPushButton>

namespace {

using platform::ui::DataGrid;

class RangeTest : public lumicelltest::WorksheetTabsTest {
protected:
    DataGrid& grid() { return control<DataGrid>("DataTable1"); }
    QStringList firstColumn() {
        QStringList list;
        for (int row = 0; row < grid().rowCount(); ++row)
            list << grid().cellText(row, 0);
        return list;
    }
};

TEST_F(RangeTest, GetDataShowsTheFirstSheetsRowsWithAFirstColumn) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    EXPECT_TRUE(tabs_->isTabEnabled(2)) << "a workbook saved in a file switches the tab on";
    control<QPushButton>("cmdGetData").click();
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join(u'|').toStdString();
    EXPECT_EQ(firstColumn(), (QStringList{"Item", "Salaries", "Rent"}))
        << "rows 5 and 7 have an empty first column";
    ASSERT_EQ(grid().columnCount(), 4);
    EXPECT_EQ(grid().column(0).heading, u"F1");
    EXPECT_EQ(grid().cellValue(1, 2).toDouble(), 112);
    tabs_->setCurrentWidget(range_);
    testsupport::saveScreenshot(dialog_, QStringLiteral("lumicell-range"));
}

TEST_F(RangeTest, FailuresShowTheErrorTextAndKeepTheGrid) {
    platform::sheet::Workbook& workbook =
        open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    control<QPushButton>("cmdGetData").click();
    ASSERT_EQ(grid().rowCount(), 3);
    struct Case {
        const char* what;
        QString path;
        const char* errorText;
    };
    const Case cases[] = {
        {"a missing file", workbook.path() + QStringLiteral("/Gone.xlsx"), "Error Msg: Unable to connect"},
        {"a file that is no workbook", sheettest::copyOfFixture(QStringLiteral("not-a-workbook.xlsx")),
         "Error Msg: Unable to connect"},
        {"a name without a folder", QStringLiteral("Budget.xlsx"), "The workbook's folder cannot be taken"},
    };
    for (const Case& c : cases) {
        ui_->clear();
        lumicell::LoadExcelData(c.path);
        ASSERT_EQ(ui_->asked().size(), 1u) << c.what;
        const auto& asked = ui_->asked()[0];
        EXPECT_EQ(asked.title, u"Error loading Excel Data.") << c.what;
        EXPECT_EQ(asked.icon, platform::ui::Icon::Critical) << c.what;
        EXPECT_TRUE(asked.text.contains(QString::fromLatin1(c.errorText)))
            << c.what << ": " << asked.text.toStdString();
        EXPECT_TRUE(asked.text.contains(u"Procedure: LoadExcelData")) << c.what;
        EXPECT_EQ(grid().rowCount(), 3) << c.what << ": the grid keeps its rows";
    }
    EXPECT_EQ(platform::ui::BusyPointer::depth(), 0);
}

TEST_F(RangeTest, TheTabIsOffForAWorkbookNeverSaved) {
    open(QStringLiteral("lumicell/months.xlsx"), QStringLiteral("Budget.xlsx"));
    app_.add();
    lumicell::gOptions()->GetMFInfo(&app_);
    range_->retarget();
    EXPECT_FALSE(tabs_->isTabEnabled(2));
    range_->clearGrids();
    EXPECT_FALSE(tabs_->isTabEnabled(2));
}

TEST_F(RangeTest, TheConnectionStringNamesTheFileAndItsFolder) {
    const QString connect = lumicell::ExcelDataConnectString(QStringLiteral("/data/budgets/Plan.xlsx"));
    EXPECT_TRUE(connect.contains(u"DBQ=/data/budgets/Plan.xlsx;DefaultDir=/data/budgets;"))
        << connect.toStdString();
}

} // namespace
