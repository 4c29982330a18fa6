// The errors browser on a real master database: its two views, the rows it never shows, the
// value boxes, Delete by the row's number (two rows written in the same second), and the
// messages of a click on a user file's name.
#include "core/frmErrorsTable.h"

#include "MasterDbFixture.h"
#include "core/OpenWorkbookInExcel.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/Twips.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

namespace {

using core::frmErrorsTable;

constexpr const char* kSameSecond = "2024-03-01 09:15:00";

class ErrorsBrowser : public coretest::MasterDbFixture {
protected:
    void TearDown() override {
        delete window_.data();
        coretest::MasterDbFixture::TearDown();
    }

    // One Errors row: date, budget, master file, user file, flags, cell and values.
    void addError(const QVariant& date, const QString& budget, const QString& userFile, bool missing,
                  bool corrupt, bool inUse, const QString& cell = {}, const QString& original = {},
                  const QString& changed = {}) {
        platform::db::Connection db = openMaster();
        db.execute(
            QStringLiteral("INSERT INTO Errors (Error_Date, Budget_Name, MF_Name, UF_name, File_Missing, "
                           "Corrupt_Error, File_In_Use, A1Style, MF_Value, Change_Value) "
                           "VALUES (?, ?, 'Budget.xlsx', ?, ?, ?, ?, ?, ?, ?)"),
            {date, budget, userFile, int(missing), int(corrupt), int(inUse), cell, original, changed});
    }

    QStringList storedUserFiles() {
        platform::db::Connection db = openMaster();
        QStringList names;
        auto rows =
            platform::db::Recordset::open(db, QStringLiteral("SELECT UF_name FROM Errors ORDER BY ID"));
        for (; !rows.eof(); rows.moveNext())
            names << rows.value(0).toString();
        return names;
    }

    frmErrorsTable& open() {
        window_ = new frmErrorsTable;
        window_->show();
        return *window_;
    }

    QStringList shownUserFiles() const {
        QStringList names;
        for (int row = 0; row < window_->dtErrors()->rowCount(); ++row)
            names << window_->dtErrors()->cellText(row, frmErrorsTable::kUFName);
        return names;
    }

    // The columns hidden now, among the ten the user can see.
    QList<int> hiddenColumns() const {
        QList<int> hidden;
        for (int column = 0; column < frmErrorsTable::kRowId; ++column)
            if (window_->dtErrors()->isColumnHidden(column))
                hidden << column;
        return hidden;
    }

    QPointer<frmErrorsTable> window_;
};

TEST_F(ErrorsBrowser, OpensOnAnEmptyTableInTheErrorsView) {
    frmErrorsTable& window = open();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Errors Table"));
    EXPECT_EQ(core::gOptions->ActiveForm, &window);
    EXPECT_EQ(window.dtErrors()->rowCount(), 0);
    EXPECT_EQ(window.cbxMode()->text(), QStringLiteral("Errors"));
    EXPECT_EQ(window.cbxMode()->entryCount(), 2);
    EXPECT_EQ(window.dtErrors()->columnCount(), 11);
    EXPECT_TRUE(window.dtErrors()->isColumnHidden(frmErrorsTable::kRowId));
    EXPECT_EQ(hiddenColumns(), (QList<int>{7, 8, 9}));
    EXPECT_EQ(window.dtErrors()->heightTwips(), 3495);
    EXPECT_EQ(window.tbxOrigValue()->text(), QString());
    EXPECT_EQ(window.tbxChangedValue()->text(), QString());
    EXPECT_EQ(window.tbxOrigValue()->toolTip(), QStringLiteral("Double click on value in upper table."));
}

TEST_F(ErrorsBrowser, TheTwoViewsShowTheirColumnsAndKeepTheSelectedRow) {
    addError(QString::fromLatin1(kSameSecond), QStringLiteral("Plan"), QStringLiteral("gone.xlsx"), true,
             false, false);
    addError(QVariant(), QStringLiteral("Plan"), QStringLiteral("undated.xlsx"), true, false, false);
    addError(QStringLiteral("2024-03-02 10:00:00"), QStringLiteral("Plan"), QStringLiteral("cells.xlsx"),
             false, true, false, QStringLiteral("B7"), QStringLiteral("100"), QStringLiteral("120"));
    frmErrorsTable& window = open();
    EXPECT_EQ(shownUserFiles(), (QStringList{QStringLiteral("gone.xlsx"), QStringLiteral("cells.xlsx")}))
        << "rows without a date are never shown";
    EXPECT_EQ(window.dtErrors()->cellValue(0, frmErrorsTable::kFileMissing).toInt(), 1);

    window.dtErrors()->setCurrentCell(1, 0);
    addError(QStringLiteral("2024-03-03 08:00:00"), QStringLiteral("Plan"), QStringLiteral("later.xlsx"),
             false, false, true);
    window.cbxMode()->setText(QStringLiteral("Corruption"));
    EXPECT_EQ(hiddenColumns(), (QList<int>{4, 6}));
    EXPECT_EQ(window.dtErrors()->heightTwips(), 2000);
    EXPECT_EQ(window.dtErrors()->currentRow(), 1);
    EXPECT_EQ(shownUserFiles().size(), 3) << "a view change reads the table again";

    window.cbxMode()->setText(QStringLiteral("Errors"));
    EXPECT_EQ(hiddenColumns(), (QList<int>{7, 8, 9}));
    EXPECT_EQ(window.dtErrors()->heightTwips(), 3495);

    // A click on a "Corrupt File" cell switches to the corruption view.
    window.dtErrors_Click(1, frmErrorsTable::kCorruptFile);
    EXPECT_EQ(window.cbxMode()->text(), QStringLiteral("Corruption"));
    EXPECT_EQ(hiddenColumns(), (QList<int>{4, 6}));
}

// Every column of both views shows its texts whole: dates, file names, cells and values are
// never cut. With LUMIDESK_SCREENSHOT_DIR set, the browser is saved there in each view.
TEST_F(ErrorsBrowser, EveryColumnShowsItsTextsWhole) {
    addError(QStringLiteral("2024-03-02 10:00:00"), QStringLiteral("Operating Budget 2025"),
             QStringLiteral("Northern Region Sales.xlsx"), true, true, true, QStringLiteral("AB1234"),
             QStringLiteral("123456789.125"), QStringLiteral("987654321.5"));
    frmErrorsTable& window = open();
    const platform::ui::DataGrid& grid = *window.dtErrors();
    const QFontMetrics metrics = grid.view()->fontMetrics();
    for (const QString& view : {QStringLiteral("Errors"), QStringLiteral("Corruption")}) {
        window.cbxMode()->setText(view);
        for (int column = 0; column < frmErrorsTable::kRowId; ++column) {
            if (grid.isColumnHidden(column))
                continue;
            const QString text = grid.cellText(0, column);
            const QString heading = grid.column(column).heading;
            EXPECT_GT(grid.view()->columnWidth(column),
                      std::max(metrics.horizontalAdvance(text), metrics.horizontalAdvance(heading)))
                << view.toStdString() << ": " << heading.toStdString();
        }
        testsupport::saveScreenshot(window, QStringLiteral("errors-table-") + view.toLower());
    }
}

TEST_F(ErrorsBrowser, TheValueBoxesFollowTheRow) {
    addError(QStringLiteral("2024-03-02 10:00:00"), QStringLiteral("Plan"), QStringLiteral("cells.xlsx"),
             false, true, false, QStringLiteral("B7"), QStringLiteral("100"), QStringLiteral("120"));
    addError(QStringLiteral("2024-03-02 10:00:01"), QStringLiteral("Plan"), QStringLiteral("more.xlsx"),
             false, true, false, QStringLiteral("C9"), QStringLiteral("7"), QStringLiteral("8"));
    frmErrorsTable& window = open();
    EXPECT_EQ(window.tbxOrigValue()->text(), QStringLiteral("100")) << "row 0 at load";
    EXPECT_EQ(window.tbxChangedValue()->text(), QStringLiteral("120"));

    window.dtErrors_Click(1, frmErrorsTable::kOrigValue);
    EXPECT_EQ(window.tbxOrigValue()->text(), QStringLiteral("7"));
    EXPECT_EQ(window.tbxChangedValue()->text(), QStringLiteral("8"));

    window.dtErrors_RowColChange(0);
    EXPECT_EQ(window.tbxOrigValue()->text(), QStringLiteral("100"));
    window.dtErrors_RowColChange(2);
    EXPECT_EQ(window.tbxOrigValue()->text(), QString()) << "past the last row";
    EXPECT_EQ(window.tbxChangedValue()->text(), QString());
}

TEST_F(ErrorsBrowser, DeleteRemovesTheSelectedRowByItsNumberEvenWhenTwoShareTheirDate) {
    addError(QString::fromLatin1(kSameSecond), QStringLiteral("Plan"), QStringLiteral("first.xlsx"), true,
             false, false);
    addError(QString::fromLatin1(kSameSecond), QStringLiteral("Plan"), QStringLiteral("second.xlsx"), false,
             false, true);
    testsupport::ScopedScriptedUi ui;
    frmErrorsTable& window = open();
    ASSERT_EQ(shownUserFiles(), (QStringList{QStringLiteral("first.xlsx"), QStringLiteral("second.xlsx")}));

    window.dtErrors()->setCurrentCell(1, 0);
    window.cmdDeleteErrors()->click();
    EXPECT_EQ(shownUserFiles(), QStringList{QStringLiteral("first.xlsx")});
    EXPECT_EQ(storedUserFiles(), QStringList{QStringLiteral("first.xlsx")});

    // The last row: the grid and both boxes end empty.
    window.dtErrors()->setCurrentCell(0, 0);
    window.cmdDeleteErrors()->click();
    EXPECT_EQ(window.dtErrors()->rowCount(), 0);
    EXPECT_TRUE(storedUserFiles().isEmpty());
    EXPECT_EQ(window.tbxOrigValue()->text(), QString());
    EXPECT_EQ(window.tbxChangedValue()->text(), QString());
    EXPECT_TRUE(ui->asked().empty()) << "no confirmation, no error";
}

TEST_F(ErrorsBrowser, DeleteLeavesARowWithoutBudgetAlone) {
    addError(QString::fromLatin1(kSameSecond), QString(), QStringLiteral("nobudget.xlsx"), true, false,
             false);
    frmErrorsTable& window = open();
    window.dtErrors()->setCurrentCell(0, 0);
    window.cmdDeleteErrors()->click();
    EXPECT_EQ(shownUserFiles(), QStringList{QStringLiteral("nobudget.xlsx")});
    EXPECT_EQ(storedUserFiles(), QStringList{QStringLiteral("nobudget.xlsx")});
}

TEST_F(ErrorsBrowser, UserFileClickNeedsTheRowsBudgetAsContext) {
    addError(QString::fromLatin1(kSameSecond), QStringLiteral("Plan"), QStringLiteral("gone.xlsx"), true,
             false, false);
    testsupport::ScopedScriptedUi ui;
    QStringList opened;
    core::setWorkbookOpener([&opened](const QString& name) { opened << name; });
    frmErrorsTable& window = open();
    for (const char* context : {"", "Nothing", "Other", "plan", "Plan"}) {
        core::gOptions->BudgetNameContext = QString::fromLatin1(context);
        window.dtErrors_Click(0, frmErrorsTable::kUFName);
    }
    core::setWorkbookOpener({});
    EXPECT_EQ(ui->messageTexts(), (QStringList{QStringLiteral("Set the Budget Context."),
                                               QStringLiteral("Set the Budget Context."),
                                               QStringLiteral("Set the correct budget context."),
                                               QStringLiteral("Set the correct budget context.")}));
    EXPECT_EQ(opened, QStringList{QStringLiteral("gone.xlsx")}) << "opened only in its own budget";
    for (const auto& asked : ui->asked())
        EXPECT_EQ(asked.title, QStringLiteral("Lumivane"));
}

TEST_F(ErrorsBrowser, CloseUnloadsTheWindow) {
    frmErrorsTable& window = open();
    window.cmdCloseErrors()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.isNull());
}

} // namespace
