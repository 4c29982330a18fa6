// The Budgets Explorer's status grid on real database files: its three queries, the folder
// list, the cell colours, the lock-out toggle and the messages of its cell clicks.
#include "lumidesk/StatusGrid.h"

#include "ExplorerDbFixture.h"
#include "core/DataControl.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/StatusGridQueries.h"
#include "lumidesk/frmDataTable.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "support/ScriptedUi.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

using lumidesk::frmDataTable;
using lumidesktest::UserFileRow;

const QString kSales = QStringLiteral("Sales");
const QString kSales2 = QStringLiteral("Sales 2");

class StatusGrid : public lumidesktest::ExplorerDbFixture {
protected:
    // Sales: four user files in folders B, A, B, B (ordered by file name), one locked out, one
    // mailed with a due date, the last one assigned to a name that is no user. Sales 2: one
    // file in folder C.
    void addSalesBudgets() {
        addBudget(kSales);
        addBudget(kSales2);
        addUser(QStringLiteral("Ann"), QStringLiteral("UserFolderA"));
        addUser(QStringLiteral("Bob"), QStringLiteral("UserFolderB"));
        addUserFile({QStringLiteral("a.xlsx"), QStringLiteral("Ann"), kSales, QStringLiteral("B")});
        addUserFile({QStringLiteral("b.xlsx"), QStringLiteral("Bob"), kSales, QStringLiteral("A"),
                     QStringLiteral("2024-03-01 10:00:00"), QStringLiteral("2024-03-31"), 1, 1});
        addUserFile({QStringLiteral("c.xlsx"), QStringLiteral("bob"), kSales, QStringLiteral("B")});
        addUserFile({QStringLiteral("d.xlsx"), QStringLiteral("Ann"), kSales2, QStringLiteral("C")});
        // A name typed on the assignment page that is no user: listed as it is stored.
        addUserFile({QStringLiteral("e.xlsx"), QStringLiteral("Nobody"), kSales, QStringLiteral("B")});
    }

    // Loads the explorer with the context set and forgets the messages of the load.
    frmDataTable* loadExplorer(testsupport::ScopedScriptedUi& ui, const QString& context = kSales) {
        core::gOptions->BudgetNameContext = context;
        ui->acceptUnscriptedMessages();
        auto* form = new frmDataTable;
        ui->clear();
        ui->acceptUnscriptedMessages(false);
        return form;
    }

    static QStringList gridColumn(const frmDataTable& form, int column) {
        QStringList cells;
        for (int row = 0; row < form.dtUFStatus()->rowCount(); ++row)
            cells << form.dtUFStatus()->cellText(row, column);
        return cells;
    }

    static QStringList folderList(const frmDataTable& form) {
        QStringList entries;
        for (int entry = 0; entry < form.cbxFolderName()->entryCount(); ++entry)
            entries << form.cbxFolderName()->entry(entry);
        return entries;
    }

    QStringList lockouts(const QString& budget) {
        return column(
            QStringLiteral("SELECT Lockout_User_Updates FROM UserFileTablesData WHERE Budget_Name = ? "
                           "ORDER BY User_Filename"),
            {budget});
    }
};

// Rows of a query as "file|user|folder", through a data control as the grid reads them.
QStringList queryRows(const lumidesk::StatusQuery& query) {
    core::DataControl control(QStringLiteral("datTest"), nullptr);
    control.setConnectionString(core::gCnn->LumiCnn());
    control.setRecordSource(query.sql, query.params);
    control.Refresh();
    QStringList rows;
    platform::db::Recordset& rs = control.Recordset();
    for (; !rs.eof(); rs.moveNext())
        rows << rs.value(QStringLiteral("User_Filename")).toString() + '|' +
                    rs.value(QStringLiteral("Users")).toString() + '|' +
                    rs.value(QStringLiteral("Folder_Name")).toString();
    return rows;
}

TEST_F(StatusGrid, TheThreeQueriesSelectByWholeNamesAndTakeTheirFolder) {
    addSalesBudgets();
    struct Case {
        const char* what;
        lumidesk::StatusQuery query;
        QStringList rows;
    };
    const Case cases[] = {
        {"unfiltered: every budget, the file's folder",
         lumidesk::UnfilteredStatusQuery(),
         {"a.xlsx|Ann|B", "b.xlsx|Bob|A", "c.xlsx|bob|B", "d.xlsx|Ann|C", "e.xlsx|Nobody|B"}},
        {"context Sales: not Sales 2, the user's folder",
         lumidesk::ContextStatusQuery(kSales),
         {"a.xlsx|Ann|UserFolderA", "b.xlsx|Bob|UserFolderB", "c.xlsx|bob|UserFolderB", "e.xlsx|Nobody|"}},
        {"context in other letters",
         lumidesk::ContextStatusQuery(QStringLiteral("SALES 2")),
         {"d.xlsx|Ann|UserFolderA"}},
        {"part of a name matches nothing", lumidesk::ContextStatusQuery(QStringLiteral("Sale")), {}},
        {"no context: every budget",
         lumidesk::ContextStatusQuery({}),
         {"a.xlsx|Ann|UserFolderA", "b.xlsx|Bob|UserFolderB", "c.xlsx|bob|UserFolderB",
          "d.xlsx|Ann|UserFolderA", "e.xlsx|Nobody|"}},
        {"folder B of Sales, the file's folder",
         lumidesk::FolderStatusQuery(kSales, QStringLiteral("B")),
         {"a.xlsx|Ann|B", "c.xlsx|bob|B", "e.xlsx|Nobody|B"}},
        {"folder C is not Sales'", lumidesk::FolderStatusQuery(kSales, QStringLiteral("C")), {}},
        {"no folder: every folder of Sales",
         lumidesk::FolderStatusQuery(kSales, {}),
         {"a.xlsx|Ann|B", "b.xlsx|Bob|A", "c.xlsx|bob|B", "e.xlsx|Nobody|B"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(queryRows(c.query), c.rows) << c.what;
}

TEST_F(StatusGrid, FolderListHoldsEachFolderOnceInOrderOfFirstAppearance) {
    addSalesBudgets();
    writeSetting("Runtime", "UpdateObject", frmDataTable::kFolderNameMode);
    writeSetting("Runtime", "FolderName", QStringLiteral("A"));
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    EXPECT_EQ(form->cbxUpdateMode()->text(), frmDataTable::kFolderNameMode);
    EXPECT_EQ(folderList(*form), (QStringList{QStringLiteral("B"), QStringLiteral("A")}));
    EXPECT_TRUE(form->cbxFolderName()->isVisibleTo(form));
    // The saved folder is chosen, and the grid shows that folder's files.
    EXPECT_EQ(form->cbxFolderName()->text(), QStringLiteral("A"));
    EXPECT_EQ(gridColumn(*form, frmDataTable::kUserFilename), QStringList{QStringLiteral("b.xlsx")});

    form->cbxFolderName()->setText(QStringLiteral("B"));
    EXPECT_EQ(gridColumn(*form, frmDataTable::kUserFilename),
              (QStringList{QStringLiteral("a.xlsx"), QStringLiteral("c.xlsx"), QStringLiteral("e.xlsx")}));

    // Back to all folders: the list hides and the grid lists the whole context.
    form->cbxUpdateMode()->setText(frmDataTable::kAllFolders);
    EXPECT_FALSE(form->cbxFolderName()->isVisibleTo(form));
    EXPECT_EQ(gridColumn(*form, frmDataTable::kUserFilename).size(), 4);
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(StatusGrid, SequenceModesAreNotImplementedAndKeepTheRows) {
    addSalesBudgets();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    ASSERT_EQ(form->dtUFStatus()->rowCount(), 4);
    for (const QString& mode : {frmDataTable::kByWBSequence, frmDataTable::kByFolderSequence}) {
        ui->clear();
        ui->answerMessages({platform::ui::Answer::Ok});
        form->cbxUpdateMode()->setText(mode);
        EXPECT_EQ(ui->messageTexts(), QStringList{lumidesk::kNotImplementedText});
        EXPECT_EQ(ui->asked().front().title, QStringLiteral("Lumivane"));
        EXPECT_EQ(form->dtUFStatus()->rowCount(), 4);
    }
}

TEST_F(StatusGrid, ColoursFollowTheTableWhenColouringIsOn) {
    addSalesBudgets();
    writeSetting("Options", "ColorCells", QStringLiteral("1"));
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    const platform::ui::DataGrid& grid = *form->dtUFStatus();
    ASSERT_EQ(gridColumn(*form, frmDataTable::kUserFilename).first(), QStringLiteral("a.xlsx"));
    struct Case {
        int row;
        int column;
        QColor colour;
    };
    const Case cases[] = {
        // a.xlsx: not mailed, no due date, not updated, not locked out.
        {0, frmDataTable::kEmailSent, lumidesk::kYellow},
        {0, frmDataTable::kUserFileUpdate, lumidesk::kRed},
        {0, frmDataTable::kLockedOut, lumidesk::kGreen},
        {0, frmDataTable::kDueDate, lumidesk::kWhite},
        // b.xlsx: mailed, due, updated, locked out.
        {1, frmDataTable::kEmailSent, lumidesk::kGreen},
        {1, frmDataTable::kUserFileUpdate, lumidesk::kGreen},
        {1, frmDataTable::kLockedOut, lumidesk::kRed},
        {1, frmDataTable::kDueDate, lumidesk::kGreen},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid.cellBackground(c.row, c.column), c.colour) << c.row << "," << c.column;
    EXPECT_FALSE(grid.cellBackground(0, frmDataTable::kUsers).isValid()) << "other columns keep no colour";
}

TEST_F(StatusGrid, WithoutTheColourOptionNoCellIsColouredAndTogglesChangeDataOnly) {
    addSalesBudgets();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    form->dtUFStatus_CellClick(-1, frmDataTable::kLockedOut, 1);
    EXPECT_EQ(lockouts(kSales), (QStringList{"1", "1", "1", "1"}));
    for (int row = 0; row < form->dtUFStatus()->rowCount(); ++row) {
        for (int column = 0; column < frmDataTable::kBudgetName; ++column)
            EXPECT_FALSE(form->dtUFStatus()->cellBackground(row, column).isValid()) << row << "," << column;
    }
}

TEST_F(StatusGrid, LockoutHeadingLocksAllListedFilesThenReleasesThemAndLeavesOtherBudgets) {
    addSalesBudgets();
    writeSetting("Options", "ColorCells", QStringLiteral("True"));
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    ASSERT_EQ(form->dtUFStatus()->rowCount(), 4);
    ASSERT_FALSE(form->chkLockedOutState()->isChecked());
    // e.xlsx, whose user is no user, is listed and toggled with the others.
    const QStringList before{"0", "1", "0", "0"};
    ASSERT_EQ(lockouts(kSales), before);

    form->dtUFStatus_CellClick(-1, frmDataTable::kLockedOut, 1);
    EXPECT_EQ(lockouts(kSales), (QStringList{"1", "1", "1", "1"}));
    EXPECT_EQ(gridColumn(*form, frmDataTable::kLockedOut), (QStringList{"1", "1", "1", "1"}));
    EXPECT_TRUE(form->chkLockedOutState()->isChecked());
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(form->dtUFStatus()->cellBackground(row, frmDataTable::kLockedOut), lumidesk::kRed);

    form->dtUFStatus_CellClick(-1, frmDataTable::kLockedOut, 1);
    EXPECT_EQ(lockouts(kSales), (QStringList{"0", "0", "0", "0"}));
    EXPECT_EQ(gridColumn(*form, frmDataTable::kLockedOut), (QStringList{"0", "0", "0", "0"}));
    EXPECT_FALSE(form->chkLockedOutState()->isChecked());
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(form->dtUFStatus()->cellBackground(row, frmDataTable::kLockedOut), lumidesk::kGreen);

    EXPECT_EQ(lockouts(kSales2), QStringList{"0"});
    EXPECT_TRUE(ui->asked().empty());

    // A click in a LockedOut cell (not the heading) toggles nothing.
    form->dtUFStatus_CellClick(0, frmDataTable::kLockedOut, 0);
    EXPECT_EQ(lockouts(kSales), (QStringList{"0", "0", "0", "0"}));
}

TEST_F(StatusGrid, AFailedToggleIsReportedChangesNothingAndShowsTheDatabaseAgain) {
    addSalesBudgets();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    // Another administrator changes the third listed file after the grid was read: its write
    // meets the changed row, and the toggle must not leave the first two locked out.
    exec(QStringLiteral(
        "UPDATE UserFileTablesData SET Due_Date = '2025-01-01' WHERE User_Filename = 'c.xlsx'"));
    ui->answerMessages({platform::ui::Answer::Ok});
    form->dtUFStatus_CellClick(-1, frmDataTable::kLockedOut, 1);

    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().first().startsWith(QStringLiteral("Error ")))
        << ui->messageTexts().first().toStdString();
    EXPECT_TRUE(ui->messageTexts().first().contains(QStringLiteral(" has occured. ")));
    EXPECT_EQ(lockouts(kSales), (QStringList{"0", "1", "0", "0"}));
    EXPECT_FALSE(form->chkLockedOutState()->isChecked()) << "the toggle state stays with the data";
    // Read again: the grid shows the other administrator's change and the unchanged lock-outs.
    EXPECT_EQ(gridColumn(*form, frmDataTable::kDueDate).at(2), QStringLiteral("2025-01-01"));
    EXPECT_EQ(gridColumn(*form, frmDataTable::kLockedOut), (QStringList{"0", "1", "0", "0"}));

    // The next click works on the fresh rows.
    form->dtUFStatus_CellClick(-1, frmDataTable::kLockedOut, 1);
    EXPECT_EQ(lockouts(kSales), (QStringList{"1", "1", "1", "1"}));
}

TEST_F(StatusGrid, EditingOneLockoutCellSavesThatRow) {
    addSalesBudgets();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    platform::ui::DataGrid& grid = *form->dtUFStatus();
    grid.setCellValue(0, frmDataTable::kLockedOut, 1); // as the user's tick
    form->dtUFStatus_Change(0, frmDataTable::kLockedOut);
    EXPECT_EQ(lockouts(kSales), (QStringList{"1", "1", "0", "0"}));
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(StatusGrid, CellClicksShowTheirMessages) {
    addSalesBudgets();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    struct Case {
        int row;
        int column;
        int kind;
        QString message; // empty: none
    };
    const Case cases[] = {
        {0, frmDataTable::kUsers, 0, lumidesk::kAssignOnPage5Text},
        {0, frmDataTable::kSelected, 0, lumidesk::kSelectOnPage4Text},
        {0, frmDataTable::kEmailSent, 0, {}},
        {2, frmDataTable::kDueDate, 0, lumidesk::kDueDateText},
        {0, frmDataTable::kBudgetName, 0, {}},
        {0, frmDataTable::kUserFileUpdate, 0, {}},
        {-1, frmDataTable::kUserFilename, 0, {}},
    };
    for (const Case& c : cases) {
        ui->clear();
        if (!c.message.isEmpty())
            ui->answerMessages({platform::ui::Answer::Ok});
        form->dtUFStatus_CellClick(c.row, c.column, c.kind);
        EXPECT_EQ(ui->messageTexts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message})
            << c.column;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(ui->asked().front().title, QStringLiteral("Lumivane"));
        }
    }
}

TEST_F(StatusGrid, AUserFileClickOpensTheFileOnlyWithAContext) {
    addSalesBudgets();
    const QString path = addBuiltUserFile(kSales, QStringLiteral("b.xlsx"));
    addBuiltUserFile(kSales2, QStringLiteral("b.xlsx")); // another budget's file of that name
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);

    form->dtUFStatus_CellClick(1, frmDataTable::kUserFilename, 0);
    EXPECT_EQ(opened_.paths, QStringList{path});
    EXPECT_TRUE(ui->asked().empty());

    for (const QString& none : {QString(), QStringLiteral("Nothing")}) {
        core::gOptions->BudgetNameContext = none;
        ui->clear();
        ui->answerMessages({platform::ui::Answer::Ok});
        form->dtUFStatus_CellClick(0, frmDataTable::kUserFilename, 0);
        EXPECT_EQ(ui->messageTexts(), QStringList{lumidesk::kSetBudgetContextText});
    }
    EXPECT_EQ(opened_.paths.size(), 1);
}

// Every user file of the context is listed once: one not assigned yet, one assigned to a name
// that is no user (shown as stored), one whose user's name two users share apart from letter
// case (the first user's folder). The lock-out toggle reaches all of them.
TEST_F(StatusGrid, EveryUserFileIsListedOnceWithItsUserAsStored) {
    addBudget(kSales);
    addUser(QStringLiteral("Ann"), QStringLiteral("UserFolderA"));
    addUser(QStringLiteral("ann"), QStringLiteral("UserFolderX"));
    addUserFile({QStringLiteral("a.xlsx"), QStringLiteral("Ann"), kSales, QStringLiteral("B")});
    addUserFile({QStringLiteral("b.xlsx"), QString(), kSales, QStringLiteral("B")});
    addUserFile({QStringLiteral("c.xlsx"), QStringLiteral("Zed Nobody"), kSales, QStringLiteral("B")});
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    EXPECT_EQ(gridColumn(*form, frmDataTable::kUserFilename),
              (QStringList{QStringLiteral("a.xlsx"), QStringLiteral("b.xlsx"), QStringLiteral("c.xlsx")}));
    EXPECT_EQ(gridColumn(*form, frmDataTable::kUsers),
              (QStringList{QStringLiteral("Ann"), QString(), QStringLiteral("Zed Nobody")}));
    EXPECT_EQ(gridColumn(*form, frmDataTable::kFolderName),
              (QStringList{QStringLiteral("UserFolderA"), QString(), QString()}));

    form->dtUFStatus_CellClick(-1, frmDataTable::kLockedOut, 1);
    EXPECT_EQ(lockouts(kSales), (QStringList{"1", "1", "1"}));
    EXPECT_TRUE(ui->asked().empty());
}

// The dates a mail leaves (the due date with its time, as the send-mail window stores it) and
// long names are seen whole in their columns.
TEST_F(StatusGrid, DatesAndNamesAreSeenWhole) {
    addBudget(kSales);
    addUser(QStringLiteral("Alexandra Montgomery-Smith"), QStringLiteral("A"));
    addUserFile({QStringLiteral("Northern Region Operating Costs.xlsx"),
                 QStringLiteral("Alexandra Montgomery-Smith"), kSales, QStringLiteral("A"),
                 QStringLiteral("2031-03-03 09:15:00"), QStringLiteral("2031-03-31 00:00:00")});
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    const platform::ui::DataGrid& grid = *form->dtUFStatus();
    ASSERT_EQ(grid.rowCount(), 1);
    const QFontMetrics metrics = grid.view()->fontMetrics();
    for (int column : {frmDataTable::kUserFilename, frmDataTable::kUsers, frmDataTable::kEmailSent,
                       frmDataTable::kDueDate})
        EXPECT_GT(grid.view()->columnWidth(column), metrics.horizontalAdvance(grid.cellText(0, column)))
            << column;
}

TEST_F(StatusGrid, AnEmptyGridAsksForTheWizard) {
    addBudget(kSales);
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    ASSERT_EQ(form->dtUFStatus()->rowCount(), 0);
    ui->answerMessages({platform::ui::Answer::Ok});
    form->dtUFStatus_CellClick(-1, frmDataTable::kLockedOut, 1);
    EXPECT_EQ(ui->messageTexts(), QStringList{lumidesk::kCompleteWizardText});
}

TEST_F(StatusGrid, UpdateHeadingRunsTheActivityCheckAndReadsTheGridAgain) {
    addSalesBudgets();
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui);
    exec(QStringLiteral("UPDATE UserFileTablesData SET UserFile_Update = 1 WHERE User_Filename = 'a.xlsx'"));
    ui->acceptUnscriptedMessages(); // the activity check's own message
    form->dtUFStatus_CellClick(-1, frmDataTable::kUserFileUpdate, 1);
    EXPECT_EQ(form->dtUFStatus()->cellText(0, frmDataTable::kUserFileUpdate), QStringLiteral("1"));
}

TEST_F(StatusGrid, NetworkContextViewWithoutContextShowsNoOrdinaryBudget) {
    addSalesBudgets();
    core::gOptions->DatabaseMode = QStringLiteral("Network");
    core::gOptions->ViewMode = QStringLiteral("Context");
    testsupport::ScopedScriptedUi ui;
    frmDataTable* form = loadExplorer(ui, QString());
    EXPECT_EQ(form->dtUFStatus()->rowCount(), 0);
    EXPECT_EQ(core::gOptions->BudgetNameContext, QString());

    // The "All" view lists every budget's files.
    delete form;
    core::gOptions->ViewMode = QStringLiteral("All");
    form = loadExplorer(ui, QString());
    EXPECT_EQ(form->dtUFStatus()->rowCount(), 5);
}

} // namespace
