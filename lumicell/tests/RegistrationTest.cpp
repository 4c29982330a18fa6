// Registering the active workbook with a budget from inside the spreadsheet program: the offer
// and its questions, the budget typed whole, in part or with an apostrophe, tracking a workbook
// of the same name from another folder, the refusals, and the listing of its sheets with the
// duplicate message, on workbooks made by LibreOffice and openpyxl.
#include "BuildBudgetFixture.h"
#include "corvakit/CorvHotLink.h"
#include "lumicell/buildbudget/AddWorkbookToBudget.h"
#include "lumicell/buildbudget/CreateUserFilesGrid.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "platform/sheet/tests/SheetTestSupport.h"
#include "platform/ui/EditGrid.h"

#include <QFileInfo>

namespace {

using lumicelltest::BuildBudgetFixture;
using platform::ui::Answer;
using platform::ui::Buttons;

class RegistrationTest : public BuildBudgetFixture {
protected:
    void SetUp() override {
        BuildBudgetFixture::SetUp();
        path_ = copyMaster(QStringLiteral("Budget.xlsx"));
        openInHost(path_);
    }
    bool add() { return lumicell::AddWorkbookToBudget(QStringLiteral("Budget.xlsx"), workFolder_); }
    QStringList masterRows() const {
        return rows(
            "SELECT Master_File, Path, Budget_Name FROM MasterFiles WHERE Master_File <> '<Dummy record>' "
            "ORDER BY rowid");
    }
    QStringList budgets() const {
        return rows(
            "SELECT Budget_Name, Active, Admin_Name FROM Budgets WHERE Budget_Name <> '<Dummy record>' "
            "ORDER BY rowid");
    }

    QString path_;
};

TEST_F(RegistrationTest, ANewWorkbookIsOfferedAndRegisteredUnderTheTypedBudgetWithoutApostrophes) {
    ui_->answerMessages({Answer::Yes});
    ui_->answerTexts({QStringLiteral("O'Neil")});
    ASSERT_TRUE(add());
    ASSERT_EQ(ui_->asked().size(), 2u);
    const auto& offer = ui_->asked()[0];
    EXPECT_EQ(offer.text,
              u"This Excel file is new to Lumivane.  Add it to a budget?\nThis will not write data to the "
              u"workbook.");
    EXPECT_EQ(offer.title, u"LumivaneXL");
    EXPECT_EQ(offer.buttons, Buttons::YesNo);
    const auto& prompt = ui_->asked()[1];
    EXPECT_EQ(prompt.kind, u"input");
    EXPECT_EQ(prompt.text, u"Enter the budget name.");
    EXPECT_EQ(prompt.title, u"LumivaneXL");
    EXPECT_EQ(prompt.defaultText, u"DefaultProject");
    EXPECT_EQ(budgets(), QStringList{"ONeil|1|LumiXL"});
    EXPECT_EQ(masterRows(), QStringList{"Budget.xlsx|" + workFolder_ + "|ONeil"});
    EXPECT_EQ(options().BudgetNameContext, u"ONeil");
    EXPECT_TRUE(options().NewBudgetFile);
}

// A typed part of a budget's name registers the workbook under that budget's own name; a name
// that several budgets hold registers it under the one that bears it exactly.
TEST_F(RegistrationTest, ATypedPartOfABudgetsNameRegistersUnderThatBudgetsOwnName) {
    struct Case {
        const char* typed;
        const char* budget;
    };
    for (const Case& c : {Case{"Sal", "Sales"}, Case{"sales", "Sales"}, Case{"Plan", "Plan"}}) {
        SCOPED_TRACE(c.typed);
        execute("DELETE FROM MasterFiles");
        execute("DELETE FROM Budgets");
        execute("INSERT INTO Budgets (Budget_Name, Active) VALUES ('Sales', 1), ('Plan', 1), ('Plan B', 1)");
        ui_->clear();
        ui_->answerMessages({Answer::Yes});
        ui_->answerTexts({QString::fromLatin1(c.typed)});
        // An empty MasterFiles table is no table of master files at all: nothing is asked then.
        execute(
            "INSERT INTO MasterFiles (Master_File, Budget_Name) VALUES ('<Dummy record>', '<Dummy record>')");
        ASSERT_TRUE(add());
        EXPECT_EQ(masterRows(), QStringList{"Budget.xlsx|" + workFolder_ + "|" + c.budget});
        EXPECT_EQ(rows("SELECT COUNT(*) FROM Budgets"), QStringList{"3"}) << "no budget was added";
        EXPECT_EQ(options().BudgetNameContext, QString::fromLatin1(c.budget));
    }
}

TEST_F(RegistrationTest, ARegisteredWorkbookIsFoundByNameAndFolderWithoutAQuestion) {
    execute("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('Budget.xlsx', '/elsewhere', "
            "'Old'), "
            "('Budget.xlsx', ?, 'Plan')",
            {workFolder_});
    EXPECT_TRUE(add());
    EXPECT_TRUE(ui_->asked().empty());
    EXPECT_EQ(options().BudgetNameContext, u"Plan");
    ui_->answerMessages({Answer::No});
    EXPECT_FALSE(lumicell::AddWorkbookToBudget(QStringLiteral("budget.xlsx"), workFolder_))
        << "a file name is compared exactly: another name is a new workbook (and the offer declined)";
    EXPECT_EQ(ui_->messageTexts(), QStringList{lumicell::kNewWorkbookQuestion});
}

TEST_F(RegistrationTest, AWorkbookOfTheBudgetInAnotherFolderCanBeTrackedFromThisOne) {
    execute("INSERT INTO Budgets (Budget_Name, Active) VALUES ('Sales', 1)");
    execute(
        "INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('Budget.xlsx', '/old', 'Sales'), "
        "('OldBudget.xlsx', '/old', 'Sales')");
    // No asks for the budget again; Yes re-points the row.
    ui_->answerMessages({Answer::Yes, Answer::No, Answer::Yes});
    ui_->answerTexts({QStringLiteral("Sales"), QStringLiteral("Sales")});
    ASSERT_TRUE(add());
    QStringList texts;
    for (const auto& asked : ui_->asked())
        texts << asked.text;
    EXPECT_EQ(texts,
              (QStringList{lumicell::kNewWorkbookQuestion, "Enter the budget name.",
                           "A file with this name already exists in this budget.\nTrack this one instead?",
                           "Enter the budget name.",
                           "A file with this name already exists in this budget.\nTrack this one instead?"}));
    EXPECT_EQ(masterRows(),
              (QStringList{"Budget.xlsx|" + workFolder_ + "|Sales", "OldBudget.xlsx|/old|Sales"}))
        << "only the workbook of that very name is re-pointed";
    EXPECT_FALSE(rows("SELECT Process_Date FROM MasterFiles WHERE Master_File = 'Budget.xlsx'")
                     .value(0)
                     .contains("<null>"));
    EXPECT_EQ(options().BudgetNameContext, u"Sales");
}

TEST_F(RegistrationTest, DecliningCancellingAndAReadOnlyWorkbookWriteNothing) {
    execute("INSERT INTO MasterFiles (Master_File, Budget_Name) VALUES ('<Dummy record>', '<Dummy record>')");
    const QStringList before = budgets() + masterRows();
    ui_->answerMessages({Answer::No});
    EXPECT_FALSE(add());
    ui_->answerMessages({Answer::Yes});
    ui_->answerTexts({std::nullopt});
    EXPECT_FALSE(add());
    EXPECT_EQ(budgets() + masterRows(), before);

    // The same workbook, open read-only.
    app_.closeAll();
    app_.open(path_, platform::sheet::OpenOptions::readOnlyAccess());
    ui_->clear();
    ui_->answerMessages({Answer::Ok});
    EXPECT_FALSE(add());
    EXPECT_EQ(ui_->messageTexts(),
              QStringList{lumicell::kReadOnlyRegistrationText.arg(
                  "Budget.xlsx", "it was opened for reading only: open it again for writing")});
    EXPECT_EQ(budgets() + masterRows(), before);
}

TEST_F(RegistrationTest, ACorruptRowOfTheSameNameIsDeletedAndEndsWithoutAContext) {
    execute("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('Budget.xlsx', '/old', NULL)");
    ui_->answerMessages({Answer::Ok});
    EXPECT_FALSE(add());
    EXPECT_EQ(ui_->messageTexts(), QStringList{"This record is corrupt. Repeat the operation."});
    EXPECT_EQ(masterRows(), QStringList{});
    EXPECT_EQ(options().BudgetNameContext, u"Nothing");
}

// The sheets of a workbook openpyxl made, listed in a budget where A.xlsx has the sheet Data.
TEST_F(RegistrationTest, ListingTheSheetsEntersNewNamesAndRefusesAnotherWorkbooksSheet) {
    const QString made = workFolder_ + QStringLiteral("/Other.xlsx");
    sheettest::runPython(
        QStringLiteral("import sys, openpyxl\nwb = openpyxl.Workbook()\nwb.active.title = 'Sheet1'\n"
                       "wb.create_sheet('Data')\nwb.save(sys.argv[1])\n"),
        {made});
    app_.open(made);
    execute("INSERT INTO Budgets (Budget_Name, Active) VALUES ('B', 1), ('C', 1)");
    execute("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('Other.xlsx', ?, 'B')",
            {workFolder_});
    execute(
        "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name) VALUES ('Data', 'A.xlsx', 'B'), "
        "('Sheet1', 'A.xlsx', 'C')");
    options().GetMFInfo(&app_);
    options().BudgetNameContext = QStringLiteral("B");
    ui_->answerMessages({Answer::Ok});
    lumicell::frmBuild dialog;
    lumicell::RegisterWorkbookSheets(dialog);
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_EQ(
        ui_->asked()[0].text,
        u"Worksheet 'Data' from 'Other.xlsx' duplicates a worksheet name from 'A.xlsx' and can't be entered");
    EXPECT_EQ(ui_->asked()[0].title, u"Lumivane");
    EXPECT_EQ(rows("SELECT Worksheet_Name, Master_File, Budget_Name FROM Worksheets WHERE Budget_Name = 'B' "
                   "ORDER BY "
                   "rowid"),
              (QStringList{"Data|A.xlsx|B", "Sheet1|Other.xlsx|B"}))
        << "the same name in another budget is no duplicate";
    EXPECT_EQ(dialog.dtCUF()->rowCount(), 2);
    EXPECT_EQ(dialog.dtCUF()->cellText(1, lumicell::frmBuild::kCufSheet), u"Data");
    EXPECT_EQ(dialog.AgHyperTxt2()->text(), workFolder_);

    ui_->clear();
    lumicell::RegisterWorkbookSheets(dialog);
    EXPECT_EQ(ui_->asked().size(), 1u) << "listed again: only the duplicate is told again";
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Worksheets WHERE Budget_Name = 'B'"), QStringList{"2"});
}

TEST_F(RegistrationTest, WithoutFolderNamesTheLoadersSaySoUnderTheirOwnTitle) {
    execute("DELETE FROM FolderNames WHERE Folder_Name <> '<Dummy record>'");
    ui_->answerMessages({Answer::Ok});
    EXPECT_EQ(lumicell::FolderNamesList(), QString());
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_EQ(ui_->asked()[0].text, u"There aren't any Folder_Name records.  Add some!");
    EXPECT_EQ(ui_->asked()[0].title, u"Lumi");
    execute("INSERT INTO FolderNames (Folder_Name) VALUES ('North'), ('South')");
    EXPECT_EQ(lumicell::FolderNamesList(), u"North\tSouth");
}

} // namespace
