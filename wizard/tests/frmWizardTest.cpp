// The Setup Budget Wizard as a user drives it: its caption and page moves, the new-budget page
// with its refusals, the budget context, Finish and Cancel, the master workbook and worksheet
// grids, and the deletions, on a real master database.
#include "WizardFixture.h"
#include "core/RunGuard.h"
#include "core/StringScrambling.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/EditGrid.h"
#include "support/GridColumns.h"
#include "wizard/WizardServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

using platform::ui::Answer;
using wizard::frmWizard;

class Wizard : public wizardtest::WizardFixture {};

TEST_F(Wizard, CaptionFollowsThePageAndTheContext) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(2);
    EXPECT_EQ(form.EZWiz()->currentPage(), 2);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Setup Budget Wizard - Page 2 of 5 -  [Context: ]"))
        << "page 2 has no title";
    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    form.EZWiz()->setCurrentPage(4);
    EXPECT_EQ(form.windowTitle(),
              QStringLiteral("Setup Budget Wizard - Page 4 of 5 - Create User Files [Context: "
                             "Plan]"));
    EXPECT_TRUE(ui->messageTexts().isEmpty()) << ui->messageTexts().join(QLatin1Char('|')).toStdString();
}

// Next on page 1 skips the new-budget page, Back on page 3 skips it too; Back from page 2 asks.
TEST_F(Wizard, NextAndBackSteerAroundTheNewBudgetPage) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1);
    auto& wiz = *form.EZWiz();
    wiz.next();
    EXPECT_EQ(wiz.currentPage(), 3);
    wiz.next();
    EXPECT_EQ(wiz.currentPage(), 4);
    wiz.back();
    EXPECT_EQ(wiz.currentPage(), 3);
    wiz.back();
    EXPECT_EQ(wiz.currentPage(), 1);

    form.cmdAddBudget_Click();
    EXPECT_EQ(wiz.currentPage(), 2);
    ui->answerMessages({Answer::No});
    wiz.back();
    EXPECT_EQ(wiz.currentPage(), 2) << "No stays on the new-budget page";
    ui->answerMessages({Answer::Yes});
    wiz.back();
    EXPECT_EQ(wiz.currentPage(), 1);
    EXPECT_EQ(
        ui->messageTexts(),
        QStringList(2, QStringLiteral(
                           "Going back here will cancel the new budget creation.  Do you want to go back?")));
}

TEST_F(Wizard, TheNewBudgetPageRefusesWhatCannotBeABudget) {
    execute("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Alpha', 'Ann')");
    const struct {
        const char* name;
        const char* author;
        QString message;
        const char* nameLeft;
    } cases[] = {
        {"", "Ann", QStringLiteral("Enter a valid budget name."), ""},
        {"<Dummy record>", "Ann", QStringLiteral("Enter a valid budget name."), "<Dummy record>"},
        {"Bob's", "Ann", QStringLiteral("The character apostophe cannot be used in the budget name."),
         "Bobs"},
        {"alpha", "Ann", QStringLiteral("This budget name already exists1."), "alpha"},
        {"Beta", "", QStringLiteral("Select a budget Author."), "Beta"},
    };
    for (const auto& c : cases) {
        testsupport::ScopedScriptedUi ui;
        frmWizard& form = open(2);
        form.tbxBudWiz1()->setText(QString::fromUtf8(c.name));
        form.cbxAdminNames()->setCurrentText(QString::fromUtf8(c.author));
        form.EZWiz()->next();
        EXPECT_EQ(ui->messageTexts(), QStringList{c.message}) << c.name;
        EXPECT_EQ(form.EZWiz()->currentPage(), 2) << c.name;
        EXPECT_EQ(form.tbxBudWiz1()->text(), QString::fromUtf8(c.nameLeft)) << c.name;
        EXPECT_EQ(rows("SELECT Budget_Name FROM Budgets WHERE Budget_Name <> '<Dummy record>'"), "Alpha")
            << c.name;
        delete &form;
    }
}

TEST_F(Wizard, LeavingTheNameBoxWarnsOfANameInUse) {
    execute("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Alpha', 'Ann')");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(2);
    form.tbxBudWiz1()->setText(QStringLiteral("ALPHA"));
    form.tbxBudWiz1_LostFocus();
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("This budget name already exists2.")});
    EXPECT_TRUE(form.tbxBudWiz1()->text().isEmpty());
}

// A new budget is stored with its author and the page's answers; Yes makes it the context and
// Next lands on page 3; No keeps the context there was.
TEST_F(Wizard, ANewBudgetIsStoredAndOfferedAsTheContext) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        execute("DELETE FROM Budgets");
        execute("INSERT INTO Budgets (Budget_Name) VALUES ('<Dummy record>')");
        testsupport::ScopedScriptedUi ui;
        frmWizard& form = open(2, QStringLiteral("Earlier"));
        EXPECT_EQ(form.cbxAdminNames()->currentText(), QStringLiteral("Ann"))
            << "the default author preselected";
        form.tbxBudWiz1()->setText(QStringLiteral("Budget 2027"));
        form.chkBudWiz3()->setChecked(true);
        ui->answerMessages({answer});
        form.EZWiz()->next();
        EXPECT_EQ(ui->messageTexts(),
                  QStringList{QStringLiteral("Do you want the new budget name to be the current context?")});
        EXPECT_EQ(form.EZWiz()->currentPage(), 3);
        EXPECT_EQ(
            rows("SELECT Budget_Name || ':' || Admin_Name || ':' || Active || ':' || LumiXL FROM Budgets"),
            "Budget 2027:Ann:1:1")
            << "the placeholder is swept once a real budget exists";
        EXPECT_EQ(core::gOptions->BudgetNameContext,
                  answer == Answer::Yes ? QStringLiteral("Budget 2027") : QStringLiteral("Earlier"));
        EXPECT_EQ(core::gOptions->WizPageRequest, 1);
        delete &form;
    }
}

// A click on a budget's name makes it the context; the placeholder never becomes one.
TEST_F(Wizard, AClickOnABudgetNameMakesItTheContext) {
    execute("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Alpha', 'Ann')");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1);
    const int placeholder = rowOf(*form.dtBudgets(), 0, QStringLiteral("<Dummy record>"));
    ASSERT_GE(placeholder, 0);
    form.dtBudgets_CellClick(placeholder, 0);
    EXPECT_TRUE(core::gOptions->BudgetNameContext.isEmpty());
    form.dtBudgets_CellClick(rowOf(*form.dtBudgets(), 0, QStringLiteral("Alpha")), 0);
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Alpha"));
    EXPECT_TRUE(form.windowTitle().endsWith(QStringLiteral(" [Context: Alpha]")));
}

TEST_F(Wizard, ABudgetKeepsItsAuthor) {
    execute("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Alpha', 'Ann')");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1);
    const int alpha = rowOf(*form.dtBudgets(), 0, QStringLiteral("Alpha"));
    form.dtBudgets()->editCell(alpha, frmWizard::kBudgetAuthor, QString());
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("You must enter a value before leaving this record.")});
    EXPECT_EQ(form.dtBudgets()->cellText(alpha, frmWizard::kBudgetAuthor), QStringLiteral("Ann"));
    form.dtBudgets()->editCell(alpha, frmWizard::kBudgetAuthor, QStringLiteral("Robot"));
    EXPECT_EQ(rows("SELECT Admin_Name FROM Budgets WHERE Budget_Name = 'Alpha'"), "Robot");
    EXPECT_FALSE(form.dtBudgets()->column(0).editable) << "the budget name is the key of its rows";
}

// Pages 3 to 5 show the context budget's rows only, by its exact name.
TEST_F(Wizard, PagesShowTheRowsOfTheContextBudgetOnly) {
    execute(
        "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Budget_Name) VALUES (11, 'A.xlsx', 'Plan'), "
        "(12, 'B.xlsx', 'Plan 2'), (13, 'C.xlsx', 'plan')");
    execute(
        "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID) VALUES "
        "('North', 'A.xlsx', 'Plan', 11), ('South', 'B.xlsx', 'Plan 2', 12), ('East', 'C.xlsx', 'plan', 13)");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(3, QStringLiteral("PLAN"));
    EXPECT_EQ(form.dtMasterFiles()->rowCount(), 2);
    EXPECT_EQ(form.dtWorksheets()->rowCount(), 2);
    EXPECT_EQ(form.cbxWorksheets()->count(), 3) << "All and the two master workbooks";
    form.cbxWorksheets()->setCurrentText(QStringLiteral("C.xlsx"));
    ASSERT_EQ(form.dtWorksheets()->rowCount(), 1);
    EXPECT_EQ(form.dtWorksheets()->cellText(0, 0), QStringLiteral("East"));
    form.cbxWorksheets()->setCurrentText(QStringLiteral("All"));
    EXPECT_EQ(form.dtWorksheets()->rowCount(), 2);
}

// The grids show paths and names whole, as the explorer's do: page 4's UF Path, page 3's Path.
TEST_F(Wizard, TheGridsShowTheirPathsWhole) {
    const QString path = QStringLiteral("/srv/budgets/2025/regional offices/north-west/submissions");
    execute("INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) VALUES (11, "
            "'Regional budget plan.xlsx', ?, 'Plan')",
            {path});
    execute("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, UFNPath) "
            "VALUES ('North', 'Regional budget plan.xlsx', 'Plan', 11, ?)",
            {path + QStringLiteral("/North/North.xlsx")});
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(4, QStringLiteral("Plan"));
    for (platform::ui::EditGrid* grid : {form.dtMasterFiles(), form.dtWorksheets()}) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            EXPECT_TRUE(grid->isColumnHidden(column) || testsupport::columnShownWhole(*grid, column))
                << grid->objectName().toStdString() << " " << grid->column(column).heading.toStdString();
        }
    }
}

// Finish sweeps the placeholders and compacts the local database; Cancel does neither.
TEST_F(Wizard, FinishSweepsAndCompactsCancelLeavesAlone) {
    for (const bool finish : {true, false}) {
        execute("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Alpha', 'Ann')");
        execute("CREATE TABLE Scratch (x BLOB)");
        execute("INSERT INTO Scratch VALUES (zeroblob(2000000))");
        execute("DROP TABLE Scratch");
        testsupport::ScopedScriptedUi ui;
        ui->acceptUnscriptedMessages();
        frmWizard& form = open(1);
        if (finish)
            form.EZWiz()->finish();
        else
            form.EZWiz()->cancel();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(frmWizard::loaded(), nullptr);
        EXPECT_EQ(rows("PRAGMA freelist_count") == "0", finish) << finish;
        EXPECT_EQ(rows("SELECT COUNT(*) FROM Budgets WHERE Budget_Name = '<Dummy record>'"),
                  finish ? "0" : "1")
            << finish;
        EXPECT_EQ(core::gOptions->WizPageRequest, 1);
        execute("DELETE FROM Budgets WHERE Budget_Name = 'Alpha'");
        execute("INSERT INTO Budgets (Budget_Name) VALUES ('<Dummy record>')");
    }
}

// The select-all box is kept between openings.
TEST_F(Wizard, TheSelectAllBoxIsKept) {
    testsupport::ScopedScriptedUi ui;
    frmWizard* form = &open(4);
    form->chkSelectAll()->setChecked(true);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form = &open(4);
    EXPECT_TRUE(form->chkSelectAll()->isChecked());
}

// On the network database the budgets grid shows the logged-on administrator's grants, and a
// new budget needs that administrator as its author and a grant column to hold the grant.
TEST_F(Wizard, OnTheNetworkANewBudgetCarriesTheAdministratorsGrant) {
    execute("ALTER TABLE Budgets ADD COLUMN Ann TEXT(200)");
    execute("INSERT INTO Budgets (Budget_Name, Admin_Name, Ann) VALUES ('Alpha', 'Ann', 'token-a'), "
            "('Beta', 'Ann', NULL)");
    core::gOptions->DatabaseMode = QStringLiteral("Network");
    core::gOptions->LumiAdminUserName = QStringLiteral("ann");
    core::gOptions->LumiAUID = QStringLiteral("token-new");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1);
    const auto& grid = *form.dtBudgets();
    ASSERT_GT(grid.columnCount(), frmWizard::kPermission);
    EXPECT_EQ(grid.column(frmWizard::kPermission).heading, QStringLiteral("PermissionsGranted: [ann]"));
    EXPECT_EQ(grid.cellText(rowOf(grid, 0, QStringLiteral("Alpha")), frmWizard::kPermission),
              QStringLiteral("Granted"));
    EXPECT_TRUE(grid.cellText(rowOf(grid, 0, QStringLiteral("Beta")), frmWizard::kPermission).isEmpty());
    EXPECT_EQ(rows("SELECT Ann FROM Budgets WHERE Budget_Name = 'Alpha'"), "token-a")
        << "shown, never written";

    form.cmdAddBudget_Click();
    form.tbxBudWiz1()->setText(QStringLiteral("Gamma"));
    form.cbxAdminNames()->setCurrentText(QStringLiteral("Robot"));
    form.EZWiz()->next();
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("The budget Author must be the logged on AdminUser.")});
    form.cbxAdminNames()->setCurrentText(QStringLiteral("Ann"));
    ui->clear();
    ui->answerMessages({platform::ui::Answer::No});
    form.EZWiz()->next();
    EXPECT_EQ(form.EZWiz()->currentPage(), 3);
    EXPECT_EQ(rows("SELECT Ann FROM Budgets WHERE Budget_Name = 'Gamma'"), "token-new");

    // An administrator without a grant column adds nothing, with one message.
    delete &form;
    core::gOptions->LumiAdminUserName = QStringLiteral("Dora");
    ui->clear();
    frmWizard& again = open(2);
    again.tbxBudWiz1()->setText(QStringLiteral("Delta"));
    again.cbxAdminNames()->setCurrentText(QStringLiteral("Dora"));
    again.EZWiz()->next();
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("This budget cannot be added because the logged on AdminUser is not "
                                         "present in the database.")});
    EXPECT_EQ(again.EZWiz()->currentPage(), 2);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Budgets WHERE Budget_Name = 'Delta'"), "0");
}

// File > New Budget while the wizard is open reads its budgets again, the grants shown as
// "Granted" and never as their stored token.
TEST_F(Wizard, ANewBudgetRequestShowsTheGrantsAsGranted) {
    execute("ALTER TABLE Budgets ADD COLUMN Ann TEXT(200)");
    execute("INSERT INTO Budgets (Budget_Name, Admin_Name, Ann) VALUES ('Alpha', 'Ann', 'token-a')");
    core::gOptions->DatabaseMode = QStringLiteral("Network");
    core::gOptions->LumiAdminUserName = QStringLiteral("ann");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1);
    bool newBudgetPage = true;
    EXPECT_EQ(wizard::NewBudgetWizard(newBudgetPage), QStringLiteral("Ann"));
    EXPECT_EQ(frmWizard::loaded(), &form);
    const auto& grid = *form.dtBudgets();
    EXPECT_EQ(grid.cellText(rowOf(grid, 0, QStringLiteral("Alpha")), frmWizard::kPermission),
              QStringLiteral("Granted"));
    EXPECT_TRUE(ui->asked().empty());
}

// A failure while a page is left (shown in the error message) keeps the wizard on that page:
// the new budget's own answers refused, the sweep of the master files or of the worksheets.
TEST_F(Wizard, AFailureOnLeavingAPageKeepsTheWizardThere) {
    const struct {
        int page;
        const char* table;
        const char* trigger;
    } cases[] = {
        {2, "Budgets", "BEFORE UPDATE ON Budgets"},
        {3, "MasterFiles", "BEFORE INSERT ON MasterFiles"},
        {4, "Worksheets", "BEFORE INSERT ON Worksheets"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        // An empty table, whose sweep adds the placeholder row that the trigger refuses.
        if (c.page != 2)
            execute(QStringLiteral("DELETE FROM %1").arg(QLatin1String(c.table)));
        execute(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                    .arg(QLatin1String(c.trigger)));
        testsupport::ScopedScriptedUi ui;
        frmWizard& form = open(c.page, QStringLiteral("Plan"));
        form.tbxBudWiz1()->setText(QStringLiteral("Gamma"));
        ui->answerMessages({Answer::Ok});
        form.EZWiz()->next();
        ASSERT_EQ(ui->messageTexts().size(), 1);
        EXPECT_TRUE(ui->messageTexts().first().contains(QStringLiteral("refused")))
            << ui->messageTexts().first().toStdString();
        EXPECT_EQ(form.EZWiz()->currentPage(), c.page);
        execute("DROP TRIGGER refuse");
        delete &form;
    }
}

// A database that refuses the new row is reported as the failure it is, not as a name in use.
TEST_F(Wizard, ARefusedNewBudgetIsReportedAsAFailure) {
    execute(
        "CREATE TRIGGER refuse BEFORE INSERT ON Budgets BEGIN SELECT RAISE(ABORT, 'no new budgets'); END");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(2);
    form.tbxBudWiz1()->setText(QStringLiteral("Gamma"));
    form.EZWiz()->next();
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().first().contains(QStringLiteral("no new budgets")))
        << ui->messageTexts().first().toStdString();
    EXPECT_EQ(form.EZWiz()->currentPage(), 2);
}

// Finish refuses while a long run is under way: the wizard stays and nothing is compacted.
TEST_F(Wizard, FinishWaitsForARunUnderWay) {
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1);
    {
        const core::RunGuard::Token run;
        form.EZWiz()->finish();
    }
    EXPECT_EQ(ui->messageTexts().size(), 1);
    EXPECT_EQ(frmWizard::loaded(), &form);
}

} // namespace
