// The Build Budget dialog over a workbook open in the spreadsheet program: its load for a new,
// a registered and a template workbook, its titles, the views of the user-file grid, its tabs,
// the re-sync question when it closes; the user-file builder's refusals and questions; the
// assignment grid; on LibreOffice's Budget.xlsx and on the add-in's templates.
#include "BuildBudgetFixture.h"
#include "corvakit/CorvHotLink.h"
#include "lumicell/BuildTabPage.h"
#include "lumicell/SampleTemplates.h"
#include "lumicell/buildbudget/AddWorkbookToBudget.h"
#include "lumicell/buildbudget/CreateUserFilesGrid.h"
#include "lumicell/buildbudget/CreateUserFilesXL.h"
#include "lumicell/buildbudget/UserFileAssignment.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "lumicell/buildbudget/frmSync.h"
#include "platform/sheet/CellRange.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/EditGrid.h"
#include "workbooks/CheckUserFilesExist.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

using lumicell::frmBuild;
using lumicelltest::BuildBudgetFixture;
using lumicelltest::readSetting;
using platform::ui::Answer;

class BuildDialogTest : public BuildBudgetFixture {
protected:
    // The dialog as the add-in's Build Budget command opens it.
    frmBuild* open() {
        lumicell::BuildBudget();
        return frmBuild::loaded();
    }
    static QStringList gridColumn(const platform::ui::DataGrid& grid, int column) {
        QStringList texts;
        for (int row = 0; row < grid.rowCount(); ++row)
            texts << grid.cellText(row, column);
        return texts;
    }
    void closeDialog(frmBuild* dialog) {
        dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(BuildDialogTest, AWorkbookJustAddedToABudgetOpensOnCreateUserFilesInTheWorkbookView) {
    openInHost(copyMaster("Budget.xlsx"));
    ui_->answerMessages({Answer::Yes});
    ui_->answerTexts({QStringLiteral("Sales")});
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->SSTab1()->currentIndex(), frmBuild::kCreateUserFiles);
    EXPECT_EQ(readSetting("Runtime", "DataRadioBtn"), u"0");
    EXPECT_TRUE(dialog->optExcel()->isChecked());
    EXPECT_EQ(gridColumn(*dialog->dtCUF(), frmBuild::kCufSheet),
              (QStringList{"Sales", "Costs", "Rates", "Summary"}));
    EXPECT_EQ(dialog->dtCUF()->columnList(frmBuild::kCufFolder), u"North\tSouth\tWest");
    EXPECT_EQ(rows("SELECT Worksheet_Name, Master_File, Budget_Name FROM Worksheets WHERE Budget_Name = "
                   "'Sales' ORDER "
                   "BY rowid"),
              (QStringList{"Sales|Budget.xlsx|Sales", "Costs|Budget.xlsx|Sales", "Rates|Budget.xlsx|Sales",
                           "Summary|Budget.xlsx|Sales"}));
    EXPECT_EQ(
        rows("SELECT COUNT(*) FROM Worksheets w JOIN MasterFiles m ON w.MasterFiles_ID = m.ID_MasterFiles "
             "WHERE w.Budget_Name = 'Sales'"),
        QStringList{"4"})
        << "the rows refer to the master file's row";
    // The load switches the Range tab off; its page switches it on again for a workbook saved in a
    // file, which Get Data can read.
    EXPECT_TRUE(dialog->SSTab1()->isTabEnabled(frmBuild::kRange));
    EXPECT_TRUE(options().CUFIsRunning);
    EXPECT_FALSE(options().NewBudgetFile);

    // Shown, the dialog bears the title of the tab it shows, with the context; so after a tab
    // switch, and after a resize (which is undone).
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), u"Build Budget - Create User Files [Context: Sales]");
    dialog->SSTab1()->setCurrentIndex(frmBuild::kAssignUserFiles);
    EXPECT_EQ(dialog->windowTitle(), u"Build Budget - Assign User Files [Context: Sales]");
    EXPECT_EQ(dialog->cmdOK()->text(), u"OK");
    dialog->SSTab1()->setCurrentIndex(frmBuild::kCreateUserFiles);
    EXPECT_EQ(dialog->windowTitle(), u"Build Budget - Create User Files [Context: Sales]");
    EXPECT_EQ(dialog->cmdOK()->text(), u"Make");
    dialog->resize(dialog->width() + 120, dialog->height() + 40);
    EXPECT_EQ(dialog->windowTitle(), u"Build Budget - Create User Files [Context: Sales]");
    EXPECT_EQ(dialog->size(), QSize(583, 423)) << "a resize is undone";
    EXPECT_EQ(readSetting("Runtime", "SetBuildTab"), u"2");
}

TEST_F(BuildDialogTest, DecliningTheRegistrationLeavesTheListsEmpty) {
    openInHost(copyMaster("Budget.xlsx"));
    ui_->answerMessages({Answer::No});
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ui_->messageTexts(), QStringList{lumicell::kNewWorkbookQuestion});
    EXPECT_TRUE(options().UnloadForm);
    EXPECT_EQ(dialog->dtCUF()->rowCount(), 0);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Budgets"), QStringList{"0"}) << "the placeholder budget is gone";
}

TEST_F(BuildDialogTest, ASampleTemplateInCapitalsOpensInTemplateModeAndTouchesNoRow) {
    const QString copy = workFolder_ + QStringLiteral("/HRTEMP.xlsx");
    ASSERT_TRUE(QFile::copy(lumicell::SampleTemplatesFolder() + QStringLiteral("/hrtemp.xlsx"), copy))
        << "the add-in's Templates folder holds the sample templates";
    openInHost(copy);
    options().BudgetNameContext = QStringLiteral("Earlier");
    const QStringList before = rows("SELECT * FROM Budgets") + rows("SELECT * FROM MasterFiles");
    frmBuild dialog; // loaded, not shown yet: the title of the load
    dialog.Form_Load();
    EXPECT_TRUE(ui_->asked().empty());
    EXPECT_EQ(options().BudgetNameContext, QString());
    EXPECT_EQ(dialog.windowTitle(), u"Build Budget - Make Worksheets [Context: ]");
    EXPECT_EQ(dialog.dtCUF()->rowCount(), 0);
    EXPECT_EQ(rows("SELECT * FROM Budgets") + rows("SELECT * FROM MasterFiles"), before);
    for (const QString& name : lumicell::kSampleTemplates)
        EXPECT_TRUE(QFile::exists(lumicell::SampleTemplatesFolder() + u'/' + name)) << name.toStdString();
}

TEST_F(BuildDialogTest, TheDatabaseViewListsTheRecordsAndChecksTheUserFilesOnDisk) {
    registerBudgetWorkbook("Sales");
    // Sales' user file was cut once and is gone from disk since.
    const QString gone = workFolder_ + QStringLiteral("/North/Sales.xlsx");
    execute("UPDATE Worksheets SET UF_Create_Date = '2026-01-02 10:00:00', UF_Modified_Date = '2026-01-02 "
            "10:00:00', "
            "User_Filename = 'Sales.xlsx', UFNPath = ? WHERE Worksheet_Name = 'Sales'",
            {gone});
    execute("INSERT INTO UserFileTablesData (User_Filename, Folder_Name, Budget_Name, Master_File) VALUES "
            "('Sales.xlsx', 'North', 'Sales', 'Budget.xlsx')");
    openInHost(copyMaster("Budget.xlsx"));
    lumicelltest::writeSetting(platform::sys::kAddInApplication, "Runtime", "DataRadioBtn",
                               QStringLiteral("1"));
    lumicelltest::writeSetting(platform::sys::kAddInApplication, "Runtime", "SetBuildTab",
                               QStringLiteral("1"));
    ui_->answerMessages({Answer::Yes});
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ui_->messageTexts(), QStringList{workbooks::kMissingUserFileText.arg("Sales.xlsx")})
        << "the budget's user files are tested on disk first";
    EXPECT_TRUE(dialog->optData()->isChecked());
    EXPECT_EQ(gridColumn(*dialog->dtCUF(), frmBuild::kCufSheet),
              (QStringList{"Costs", "Rates", "Sales", "Summary"}));
    EXPECT_EQ(gridColumn(*dialog->dtCUF(), frmBuild::kCufSelect), (QStringList{"1", "0", "1", "0"}));
    EXPECT_EQ(gridColumn(*dialog->dtCUF(), frmBuild::kCufMissing), (QStringList{"0", "0", "1", "0"}));
    EXPECT_EQ(dialog->SSTab1()->currentIndex(), frmBuild::kRunMacros);
    EXPECT_EQ(dialog->cmdOK()->text(), u"Run");

    // All Worksheets in the database view picks every record of the master file.
    dialog->chkAllCUF()->setChecked(true);
    dialog->chkAllCUF_Click();
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Worksheets WHERE Select_By_User = 1 AND Budget_Name = 'Sales'"),
              QStringList{"4"});
}

TEST_F(BuildDialogTest, ClosingWithRecordsOutOfStepAsksToReSync) {
    const qint64 key = registerBudgetWorkbook("Sales");
    // A record of a sheet the workbook no longer has.
    execute("INSERT INTO Worksheets (Worksheet_Name, MasterFiles_ID, Master_File, Budget_Name) VALUES "
            "('Forecast', ?, "
            "'Budget.xlsx', 'Sales')",
            {key});
    openInHost(copyMaster("Budget.xlsx"));
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->optExcel()->isChecked());
    ui_->answerMessages({Answer::No});
    closeDialog(dialog);
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_EQ(ui_->asked()[0].text,
              u"The database is out of sync with the workbook.\nDo you want to re-sync the data?");
    EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
    EXPECT_EQ(ui_->asked()[0].buttons, platform::ui::Buttons::YesNo);
    EXPECT_TRUE(options().NeedReSync);
    EXPECT_FALSE(options().CUFIsRunning);
    EXPECT_EQ(readSetting("Runtime", "DataRadioBtn"), u"1") << "closing stores the database view";
    EXPECT_EQ(frmBuild::loaded(), nullptr);
    EXPECT_EQ(lumicell::frmSync::loaded(), nullptr) << "No opens no sync window";
}

// The builder called with overwrite-without-asking False (the dialog itself passes True).
TEST_F(BuildDialogTest, TheBuilderAsksBeforeItOverwritesAndRefusesAnotherWorkbook) {
    registerBudgetWorkbook("Sales");
    openInHost(copyMaster("Budget.xlsx"));
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    QDir().mkpath(workFolder_ + "/North");
    QFile existing(workFolder_ + "/North/Sales.xlsx");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    ui_->answerMessages({Answer::Cancel});
    EXPECT_EQ(lumicell::CreateUserFilesXL(*dialog, "Budget.xlsx", false, false, false),
              lumicell::kBuildCancelled);
    EXPECT_EQ(ui_->messageTexts(),
              QStringList{"The template (file) 'Sales.xlsx' already exists. Do you want to overwrite it?"});
    EXPECT_EQ(ui_->asked()[0].buttons, platform::ui::Buttons::YesNoCancel);
    EXPECT_FALSE(options().OKCUFClicked);

    ui_->clear();
    options().AWBSet = QStringLiteral("Book1.xlsx");
    ui_->answerMessages({Answer::Ok});
    EXPECT_EQ(lumicell::CreateUserFilesXL(*dialog, "Budget.xlsx", true, false, false),
              lumicell::kBuildRefused);
    EXPECT_EQ(ui_->messageTexts(),
              QStringList{"This is a new workbook. Close and re-open to add to a budget."});
    EXPECT_TRUE(options().UnloadForm);
}

TEST_F(BuildDialogTest, ASheetListDifferentFromTheWorkbookOffersAReSyncThatOpensTheSyncWindow) {
    registerBudgetWorkbook("Sales");
    openInHost(copyMaster("Budget.xlsx"));
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    dialog->dtCUF()->removeRow(3);
    dialog->SSTab1()->setCurrentIndex(frmBuild::kCreateUserFiles);
    ui_->answerMessages({Answer::Yes});
    dialog->cmdOK_Click();
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_EQ(ui_->asked()[0].text,
              u"The Workbook worksheets list is different than the database.  Do you want to re-sync?");
    EXPECT_TRUE(options().RequestedByCUF);
    EXPECT_TRUE(options().NeedReSync);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmBuild::loaded(), nullptr) << "the builder closed the dialog without its own question";
    lumicell::frmSync* sync = lumicell::frmSync::loaded();
    ASSERT_NE(sync, nullptr) << "the re-sync asked for opens the sync window";
    EXPECT_FALSE(QFile::exists(workFolder_ + "/North/Sales.xlsx")) << "nothing was cut";

    // Its OK shows the Build Budget dialog again.
    sync->cmdOK_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_NE(frmBuild::loaded(), nullptr);
    EXPECT_FALSE(options().RequestedByCUF);
}

TEST_F(BuildDialogTest, AMasterFileMissingOnDiskIsTold) {
    registerBudgetWorkbook("Sales");
    const QString path = copyMaster("Budget.xlsx");
    openInHost(path);
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QFile::rename(path, path + ".moved"));
    dialog->SSTab1()->setCurrentIndex(frmBuild::kCreateUserFiles);
    ui_->answerMessages({Answer::Ok});
    dialog->cmdOK_Click();
    EXPECT_EQ(ui_->messageTexts(), QStringList{"The master workbook file is missing."});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Worksheets WHERE UF_Create_Date IS NOT NULL"), QStringList{"0"});
}

// Typing part of a user's name assigns the first user whose name holds it; an unknown name is
// taken back.
TEST_F(BuildDialogTest, TheAssignmentGridCompletesATypedUserName) {
    registerBudgetWorkbook("Sales");
    execute("UPDATE Worksheets SET UF_Create_Date = '2026-01-02 10:00:00', User_Filename = Worksheet_Name || "
            "'.xlsx' "
            "WHERE Select_By_User = 1");
    execute(
        "INSERT INTO UserFileTablesData (User_Filename, Folder_Name, Budget_Name, Master_File) VALUES "
        "('Sales.xlsx', 'North', 'Sales', 'Budget.xlsx'), ('OldSales.xlsx', 'North', 'Sales', 'Old.xlsx'), "
        "('Costs.xlsx', 'South', 'Sales', 'Budget.xlsx')");
    openInHost(copyMaster("Budget.xlsx"));
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    platform::ui::EditGrid& grid = *dialog->dtUFAssign();
    ASSERT_EQ(gridColumn(grid, frmBuild::kAssignFile), (QStringList{"Sales.xlsx", "Costs.xlsx"}));
    const int sales = 0;
    grid.editCell(sales, frmBuild::kAssignUsers, QStringLiteral("Jo"));
    EXPECT_EQ(grid.cellText(sales, frmBuild::kAssignUsers), u"Jones");
    grid.editCell(sales, frmBuild::kAssignUsers, QStringLiteral("Nobody"));
    EXPECT_EQ(grid.cellText(sales, frmBuild::kAssignUsers), u"Jones") << "an unknown name is taken back";
    EXPECT_EQ(
        rows(
            "SELECT User_Filename, Users FROM UserFileTablesData WHERE Budget_Name = 'Sales' ORDER BY rowid"),
        (QStringList{"Sales.xlsx|Jones", "OldSales.xlsx|<null>", "Costs.xlsx|<null>"}))
        << "the row of the grid row's own user file";
}

TEST_F(BuildDialogTest, TheAssignmentGridListsARealRowAloneButNeverThePlaceholder) {
    registerBudgetWorkbook("Sales");
    execute("UPDATE Worksheets SET UF_Create_Date = '2026-01-02 10:00:00', User_Filename = Worksheet_Name || "
            "'.xlsx' "
            "WHERE Worksheet_Name = 'Sales'");
    openInHost(copyMaster("Budget.xlsx"));
    options().GetMFInfo(&app_);
    options().BudgetNameContext = QStringLiteral("Sales");
    frmBuild dialog;
    execute("DELETE FROM UserFileTablesData");
    execute("INSERT INTO UserFileTablesData (User_Filename) VALUES ('<Dummy record>')");
    lumicell::LoadUserFileAssignGrid(*dialog.dtUFAssign());
    EXPECT_EQ(dialog.dtUFAssign()->rowCount(), 0) << "the placeholder alone lists nothing";
    execute("DELETE FROM UserFileTablesData");
    execute("INSERT INTO UserFileTablesData (User_Filename, Folder_Name, Budget_Name) VALUES ('Sales.xlsx', "
            "'North', "
            "'Sales')");
    lumicell::LoadUserFileAssignGrid(*dialog.dtUFAssign());
    EXPECT_EQ(gridColumn(*dialog.dtUFAssign(), frmBuild::kAssignFile), QStringList{"Sales.xlsx"})
        << "one real row is listed";
}

// A folder typed in part is completed; clearing a row's name removes that row, not the last.
TEST_F(BuildDialogTest, TheUserFileGridCompletesFoldersAndDropsTheRowWhoseNameWasCleared) {
    registerBudgetWorkbook("Sales");
    execute("INSERT INTO FolderNames (Folder_Name) VALUES ('Northeast')");
    openInHost(copyMaster("Budget.xlsx"));
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    platform::ui::EditGrid& grid = *dialog->dtCUF();
    ASSERT_EQ(gridColumn(grid, frmBuild::kCufSheet), (QStringList{"Sales", "Costs", "Rates", "Summary"}));
    grid.editCell(2, frmBuild::kCufFolder, QStringLiteral("ort"));
    EXPECT_EQ(grid.cellText(2, frmBuild::kCufFolder), u"North") << "the first folder holding the text";
    grid.editCell(2, frmBuild::kCufFolder, QStringLiteral("east"));
    EXPECT_EQ(grid.cellText(2, frmBuild::kCufFolder), u"Northeast");
    grid.editCell(2, frmBuild::kCufFolder, QStringLiteral("nowhere"));
    EXPECT_EQ(grid.cellText(2, frmBuild::kCufFolder), u"Northeast") << "the edit is taken back";
    EXPECT_EQ(rows("SELECT Folder_Name FROM Worksheets WHERE Worksheet_Name = 'Rates'"),
              QStringList{"Northeast"});

    grid.editCell(1, frmBuild::kCufSheet, QString());
    EXPECT_EQ(gridColumn(grid, frmBuild::kCufSheet), (QStringList{"Sales", "Rates", "Summary"}));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Worksheets WHERE Budget_Name = 'Sales'"), QStringList{"4"});
}

TEST_F(BuildDialogTest, OkOnAssignUserFilesOnlyClosesAndTheShutDownClosesTheDialog) {
    registerBudgetWorkbook("Sales");
    openInHost(copyMaster("Budget.xlsx"));
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    const QStringList before = rows("SELECT * FROM Worksheets") + rows("SELECT * FROM UserFileTablesData");
    dialog->SSTab1()->setCurrentIndex(frmBuild::kAssignUserFiles);
    dialog->cmdOK_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmBuild::loaded(), nullptr);
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    EXPECT_EQ(rows("SELECT * FROM Worksheets") + rows("SELECT * FROM UserFileTablesData"), before);

    frmBuild* again = open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->SSTab1()->currentIndex(), frmBuild::kAssignUserFiles) << "the tab shown last";
    lumicell::AppShutdown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmBuild::loaded(), nullptr);
}

TEST_F(BuildDialogTest, WithNoWorkbookActiveTheDialogShowsItsVersionAndEmptyLists) {
    options().AWBSet = QStringLiteral("None");
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ui_->asked().empty());
    EXPECT_TRUE(dialog->lblTitle()->text().startsWith(u"LumivaneXL Ver "));
    EXPECT_EQ(dialog->agtxtHelp()->toolTip(), u"Web HELP for Build Worksheets");
    EXPECT_EQ(dialog->dtCUF()->rowCount(), 0);
    EXPECT_EQ(dialog->windowTitle(), u"Build Worksheets - Make Worksheets");
    EXPECT_FALSE(options().CUFIsRunning) << "the load stops before the dialog counts as open";
}

// The worksheet pages inside the real dialog: Make Summary WS puts the dialog in summary mode
// under that mode's caption, and whole columns and rows selected on a sheet reach the page's
// lists through the event sink, ticked; other selections add nothing.
TEST_F(BuildDialogTest, SummaryPicksOnASheetReachTheMakeWorksheetsPage) {
    registerBudgetWorkbook("Sales");
    platform::sheet::Worksheet& sheet = *openInHost(copyMaster("Budget.xlsx")).worksheets().front();
    frmBuild* dialog = open();
    ASSERT_NE(dialog, nullptr);
    dialog->SSTab1()->setCurrentIndex(frmBuild::kMakeWorksheets);
    dialog->show();
    dialog->findChild<QPushButton*>(QStringLiteral("cmdSummary"))->click();
    EXPECT_TRUE(options().FormBldWSBig);
    EXPECT_EQ(dialog->windowTitle(), u"Build Worksheets - Make Summary Worksheet");

    for (const char* address : {"C:C", "12:12", "B2"})
        sheet.select(*platform::sheet::CellRange::parse(QString::fromLatin1(address)));
    const struct {
        const char* list;
        const char* entry;
    } picks[] = {{"lbxCols", "C"}, {"lbxRows", "12"}};
    for (const auto& pick : picks) {
        const auto* list = dialog->findChild<platform::ui::CheckListBox*>(QString::fromLatin1(pick.list));
        ASSERT_NE(list, nullptr) << pick.list;
        ASSERT_EQ(list->listCount(), 1) << pick.list;
        EXPECT_EQ(list->subItem(0), QString::fromLatin1(pick.entry));
        EXPECT_TRUE(list->isItemChecked(0)) << pick.list;
    }
    closeDialog(dialog);
}

} // namespace
