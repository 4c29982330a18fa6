// The main window's commands on a master database of the test's own: the System Clean
// commands with their questions answered through the Ui double, the QuickStart file
// question, the commands that reach subsystems not built yet, and the errors browser.
#include "MainWindowFixture.h"
#include "core/RunGuard.h"
#include "core/cConnection.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/frmDataTable.h"
#include "lumidesk/frmMain.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/WizardControl.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"
#include "wizard/SampleBudget.h"
#include "wizard/frmQSWizard.h"
#include "wizard/frmWizard.h"

#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

using lumideskTest::MainWindowFixture;
using platform::ui::Answer;

const QString kPlaceholder = QStringLiteral("<Dummy record>");
const QStringList kClearQuestions = {QStringLiteral("Do you want to clear the Budget tables?"),
                                     QStringLiteral("Do you want to clear the FolderNames table?"),
                                     QStringLiteral("Do you want to clear the Users table?"),
                                     QStringLiteral("Do you want to clear the SendMail tables?"),
                                     QStringLiteral("Would you like to compact the database?")};

class MainCommands : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // One real row in each table the clean-up commands empty.
        execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES ('Plan')"));
        execute(QStringLiteral(
            "INSERT INTO MasterFiles (Master_File, Budget_Name) VALUES ('Plan.xlsx', 'Plan')"));
        execute(
            QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Budget_Name) VALUES ('North', 'Plan')"));
        execute(QStringLiteral(
            "INSERT INTO UserFileTablesData (User_Filename, Budget_Name) VALUES ('North.xlsx', 'Plan')"));
        execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Sales')"));
        execute(QStringLiteral("INSERT INTO UsersData (Users) VALUES ('Ann')"));
        execute(QStringLiteral("INSERT INTO Admin (Admin_Name) VALUES ('Ann')"));
        execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('Due')"));
        execute(QStringLiteral("INSERT INTO BodyText (Body_Text) VALUES ('Please')"));
        main_ = makeMain();
        core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    }

    // The first-column values of a table, in stored order.
    QStringList rows(const char* table) {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset rst = platform::db::Recordset::open(
            cnn, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(table)));
        QStringList values;
        for (; !rst.eof(); rst.moveNext())
            values << rst.value(0).toString();
        return values;
    }

    lumidesk::frmMain* main_ = nullptr;
};

TEST_F(MainCommands, ClearSystemDataAnsweredNoFourTimesStillSweepsAndOffersCompaction) {
    execute(QStringLiteral("DELETE FROM Subject"));
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No, Answer::No, Answer::No, Answer::No, Answer::No});
    main_->mnuDelAllDataTables_Click();
    EXPECT_EQ(ui->messageTexts(), kClearQuestions);
    EXPECT_EQ(rows("Budgets"), QStringList{QStringLiteral("Plan")})
        << "the sweep drops the placeholder beside a real row";
    EXPECT_EQ(rows("Subject"), QStringList{kPlaceholder}) << "an empty table gets its placeholder back";
    EXPECT_EQ(read("Runtime", "ConfiguredData"), QStringLiteral("0"));
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Plan"));
}

TEST_F(MainCommands, ClearSystemDataYesToTheBudgetTablesOnly) {
    auto* explorer = new QWidget;
    explorer->setObjectName(QStringLiteral("frmDataTable"));
    explorer->show();
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes, Answer::No, Answer::No, Answer::No, Answer::No});
    main_->mnuDelAllDataTables_Click();
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")))
        << "the Explorer closes first";
    for (const char* table : {"Budgets", "MasterFiles", "Worksheets", "UserFileTablesData"})
        EXPECT_EQ(rows(table), QStringList{kPlaceholder}) << table;
    EXPECT_EQ(rows("FolderNames"), QStringList{QStringLiteral("Sales")});
    EXPECT_EQ(rows("Admin"), QStringList{QStringLiteral("Ann")});
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Nothing"));
    EXPECT_EQ(read("Runtime", "BudgetNameContext"), QStringLiteral("Nothing"));
}

TEST_F(MainCommands, ClearSystemDataYesToAllThenCompacts) {
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes});
    ui->acceptUnscriptedMessages();
    main_->mnuDelAllDataTables_Click();
    EXPECT_EQ(ui->messageTexts().mid(0, 5), kClearQuestions);
    for (const char* table : {"Budgets", "FolderNames", "UsersData", "Admin", "BodyText", "Subject"})
        EXPECT_EQ(rows(table), QStringList{kPlaceholder}) << table;
}

// A table that refuses to be emptied after others were: nothing is emptied, the failure is
// shown, and the context stays.
TEST_F(MainCommands, ClearSystemDataThatFailsPartWayEmptiesNothing) {
    execute(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON Subject BEGIN SELECT RAISE(ABORT, "
                           "'refused'); END"));
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes});
    ui->acceptUnscriptedMessages();
    main_->mnuDelAllDataTables_Click();
    EXPECT_EQ(ui->messageTexts().mid(0, 4), kClearQuestions.mid(0, 4));
    ASSERT_EQ(ui->messageTexts().size(), 5) << ui->messageTexts().join(u'\n').toStdString();
    EXPECT_TRUE(ui->messageTexts().last().contains(QStringLiteral("refused")))
        << ui->messageTexts().last().toStdString();
    // Each table still holds its real row (the shipped placeholder rows were not swept either).
    const std::pair<const char*, const char*> kept[] = {{"Budgets", "Plan"},
                                                        {"UserFileTablesData", "North.xlsx"},
                                                        {"FolderNames", "Sales"},
                                                        {"Admin", "Ann"},
                                                        {"Subject", "Due"}};
    for (const auto& [table, value] : kept)
        EXPECT_TRUE(rows(table).contains(QString::fromLatin1(value))) << table;
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Plan"));
}

// A database failure under Check User Activity is shown and ends the command, not the program.
TEST_F(MainCommands, CheckUserActivityShowsADatabaseFailureAndGoesOn) {
    for (const char* table : {"Worksheets", "UserFileTablesData"}) {
        execute(QStringLiteral("ALTER TABLE %1 RENAME TO Gone%1").arg(QLatin1String(table)));
        testsupport::ScopedScriptedUi ui;
        ui->acceptUnscriptedMessages();
        EXPECT_NO_THROW(main_->mnuCheckUserActivity_Click()) << table;
        ASSERT_FALSE(ui->messageTexts().isEmpty()) << table;
        EXPECT_TRUE(ui->messageTexts().first().startsWith(QStringLiteral("Error ")))
            << ui->messageTexts().first().toStdString();
        execute(QStringLiteral("ALTER TABLE Gone%1 RENAME TO %1").arg(QLatin1String(table)));
    }
}

TEST_F(MainCommands, ClearFolderNamesLeavesItsPlaceholderRow) {
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    main_->mnuFolderNames_Click();
    EXPECT_EQ(rows("FolderNames"), (QStringList{kPlaceholder, QStringLiteral("Sales")}))
        << "No changes nothing";
    ui->answerMessages({Answer::Yes});
    main_->mnuFolderNames_Click();
    EXPECT_EQ(ui->messageTexts(),
              QStringList(2, QStringLiteral("do you want to clear the FolderNames table?")));
    EXPECT_EQ(rows("FolderNames"), QStringList{kPlaceholder});
}

TEST_F(MainCommands, ClearUsersAsksNothing) {
    testsupport::ScopedScriptedUi ui;
    main_->mnuClrUsersData_Click();
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(rows("UsersData"), QStringList{kPlaceholder});
    EXPECT_EQ(rows("FolderNames"), QStringList{QStringLiteral("Sales")})
        << "the sweep removed the other placeholders";
}

TEST_F(MainCommands, ClearSendMailAnsweredNoStillSweeps) {
    execute(QStringLiteral("DELETE FROM BodyText"));
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    main_->mnuClearSendMail_Click();
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("do you want to clear the SendMail tables?")});
    EXPECT_EQ(rows("Admin"), QStringList{QStringLiteral("Ann")});
    EXPECT_EQ(rows("BodyText"), QStringList{kPlaceholder});
    ui->answerMessages({Answer::Yes});
    main_->mnuClearSendMail_Click();
    for (const char* table : {"Admin", "BodyText", "Subject"})
        EXPECT_EQ(rows(table), QStringList{kPlaceholder}) << table;
}

TEST_F(MainCommands, TheCleanCommandsAreRefusedDuringARun) {
    core::RunGuard::Token run;
    testsupport::ScopedScriptedUi ui;
    main_->mnuClrUsersData_Click();
    main_->mnuDelAllDataTables_Click();
    EXPECT_EQ(ui->messageTexts(), QStringList(2, core::RunGuard::kRefusedText));
    EXPECT_EQ(rows("UsersData"), (QStringList{kPlaceholder, QStringLiteral("Ann")})) << "nothing was touched";
}

TEST_F(MainCommands, ClearErrorsTableClosesTheBrowserAndEmptiesTheTable) {
    execute(QStringLiteral("INSERT INTO Errors (Budget_Name) VALUES ('Plan')"));
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    main_->mnuErrorsTable_Click();
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmErrorsTable")));
    main_->mnuClearErrorsTable_Click();
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmErrorsTable")));
    EXPECT_TRUE(rows("Errors").isEmpty());
}

// Help > Install Sample Budget and the sample picture install the sample from the program's
// samples folder and make it the context; the picture then shows the Budgets Explorer.
TEST_F(MainCommands, TheSampleBudgetCommandsInstallTheSample) {
    const QString samples =
        testsupport::freshDir(QStringLiteral("program")) + QStringLiteral("/lumixl/samples");
    QDir().mkpath(samples);
    for (const char* file : {"sampledb.mdb", "Employee.xlsx", "Departme.xlsx"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_SAMPLES_DIR "/") + QLatin1String(file),
                                samples + u'/' + QLatin1String(file)));
    core::gCnn = std::make_unique<core::cConnection>(platform::sys::kDesktopApplication,
                                                     samples + QStringLiteral("/sampledb.mdb"));
    core::gCnn->LocalCnn();
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    main_->mnuSamples_Click();
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("SampleBudget"));
    EXPECT_TRUE(rows("Budgets").contains(QStringLiteral("SampleBudget")));
    EXPECT_TRUE(rows("Budgets").contains(QStringLiteral("Plan"))) << "the user's budget stays";

    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    main_->picLoadSample_Click();
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("SampleBudget"));
    EXPECT_EQ(rows("Budgets").count(QStringLiteral("SampleBudget")), 1);
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")));
    EXPECT_TRUE(QFile::exists(wizard::SamplesFolder() + QStringLiteral("/LumiSupport/Salaries.xlsx")));
    EXPECT_EQ(main_->statusBar()->currentMessage(),
              QStringLiteral("SampleBudget installed: 4 user files cut"));
    // The import asks once about the fixture's author without a record type, and stores the answer.
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Is the Ann record an Author?")});
}

// QuickStart: No asks again, a missing file ends silently, the old format is refused, Yes
// hands the workbook over.
TEST_F(MainCommands, QuickStartAsksForAWorkbookUntilConfirmed) {
    const QString folder = testsupport::freshDir(QStringLiteral("books"));
    for (const char* name : {"Plan.xlsx", "Old.xls"}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString plan = folder + QStringLiteral("/Plan.xlsx");
    testsupport::ScopedScriptedUi ui;
    ui->answerTexts({plan, plan});
    ui->answerMessages({Answer::No, Answer::Yes});
    main_->mnuQSWiz_Click();
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{QStringLiteral("Perform QuickStart on ") + plan + QStringLiteral(" ?"),
                           QStringLiteral("Perform QuickStart on ") + plan + QStringLiteral(" ?")}));
    wizard::frmQSWizard* quickStart = wizard::frmQSWizard::loaded();
    ASSERT_NE(quickStart, nullptr);
    EXPECT_EQ(quickStart->windowTitle(), QStringLiteral("QuickStart Wizard [") + plan + QStringLiteral("]"));
    ASSERT_EQ(quickStart->lbxWorkbooks()->listCount(), 1);
    EXPECT_EQ(quickStart->lbxWorkbooks()->subItem(0, wizard::frmQSWizard::kWorkbookName),
              QStringLiteral("Plan.xlsx"));
    EXPECT_EQ(quickStart->lbxWorkbooks()->subItem(0, wizard::frmQSWizard::kWorkbookPath), plan);
    quickStart->close();
    delete quickStart;
    EXPECT_EQ(ui->asked().front().title, QStringLiteral("QuickStart File Select"));
    EXPECT_EQ(ui->asked().front().filter, QStringLiteral("Excel Files (*.xlsx *.xlsm);;All Files (*)"));

    ui->clear();
    ui->answerTexts({folder + QStringLiteral("/Missing.xlsx")});
    main_->mnuQSWiz_Click();
    ui->answerTexts({std::nullopt});
    main_->mnuQSWiz_Click();
    EXPECT_TRUE(ui->messageTexts().isEmpty()) << "a missing file or a cancelled dialog ends without a word";

    ui->answerTexts({folder + QStringLiteral("/Old.xls")});
    main_->mnuQSWiz_Click();
    EXPECT_EQ(ui->messageTexts(), QStringList{lumidesk::LegacyWorkbookText(QStringLiteral("Old.xls"))});
}

// Update Workbooks runs the update run in the explorer's change mode (loading the explorer);
// the menu resets the wait window's preview flag afterwards, the toolbar does not. Both are
// refused inside a run.
TEST_F(MainCommands, UpdateWorkbooksTakesTheExplorersModeAndIsRefusedInsideARun) {
    execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Active) VALUES ('Plan', 1)"));
    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    {
        core::RunGuard::Token running;
        main_->tbToolBar_ButtonClick(QStringLiteral("UpdateMF"));
        main_->mnuUpdateSystem_Click();
        EXPECT_EQ(ui->messageTexts(), QStringList(2, core::RunGuard::kRefusedText));
        EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")));
    }
    ui->clear();
    main_->tbToolBar_ButtonClick(QStringLiteral("UpdateMF"));
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")));
    lumidesk::frmDataTable::loaded()->cbxChgeDataMode()->setText(QStringLiteral("Preview changes"));
    main_->tbToolBar_ButtonClick(QStringLiteral("UpdateMF"));
    EXPECT_TRUE(core::gOptions->FrmWaitBig) << "set by the run for preview; the toolbar leaves it";
    main_->mnuUpdateSystem_Click();
    EXPECT_FALSE(core::gOptions->FrmWaitBig);
    EXPECT_EQ(main_->statusBar()->currentMessage(), QStringLiteral("no user files merged"))
        << "the run ends with a word in the status bar";
}

// Commands whose work belongs to windows not built yet say so and change nothing.
// Manage Budgets and Assign User Files open the one wizard on their page; Find follows the
// wizard only when Manage Budgets opened it, and goes off when it closes.
TEST_F(MainCommands, WizardCommandsOpenTheWizardOnTheirPage) {
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    main_->mnuManageBudgets_Click();
    auto* wizard = wizard::frmWizard::loaded();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(wizard->parentWidget(), main_);
    EXPECT_EQ(wizard->EZWiz()->currentPage(), 1);
    EXPECT_TRUE(main_->menuItem(QStringLiteral("mnuFind"))->isEnabled());
    wizard->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(main_->menuItem(QStringLiteral("mnuFind"))->isEnabled()) << "off when the wizard closes";

    main_->mnuAssignUF_Click();
    EXPECT_EQ(core::gOptions->WizPageRequest, 5);
    wizard = wizard::frmWizard::loaded();
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(wizard->EZWiz()->currentPage(), 5) << "page 5 is reached through the requested-page event";
    EXPECT_FALSE(main_->menuItem(QStringLiteral("mnuFind"))->isEnabled());
    delete wizard;

    write("Runtime", "RefreshDataTable", QStringLiteral("1"));
    main_->mnuSendMail_Click();
    EXPECT_EQ(read("Runtime", "RefreshDataTable"), QStringLiteral("0"));
}

TEST_F(MainCommands, ThePictureButtonOfQuickStartTellsHowItStarts) {
    testsupport::ScopedScriptedUi ui;
    main_->picQuickStart_Click();
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("Drag and drop Excel budget files to start the BudgetWizard.")});
    EXPECT_TRUE(main_->acceptDrops());
}

} // namespace

namespace {

// Edit > Find follows the Budgets Explorer: on with Explorer View, off when it closes; Show
// Update Controls opens it also when it was closed.
TEST_F(MainCommands, TheExplorerCommandsAndFind) {
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    main_->show();
    main_->mnuExplorerView_Click();
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")));
    EXPECT_TRUE(main_->menuItem(QStringLiteral("mnuFind"))->isEnabled());
    main_->mnuClose_Click();
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")));
    EXPECT_FALSE(main_->menuItem(QStringLiteral("mnuFind"))->isEnabled());

    main_->menuItem(QStringLiteral("mnuShowControls"))->trigger();
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")));
    EXPECT_EQ(read("Runtime", "ShowControls"), QStringLiteral("False"));
}

TEST_F(MainCommands, CheckUserActivityRunsTheCheckAndShowsTheStatusGrid) {
    // A built user file of a budget that is gone from its folder.
    const QString folder = testsupport::freshDir(QStringLiteral("masters"));
    execute(
        QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Budget_Name, "
                       "User_Filename, UFNPath, UF_Create_Date) VALUES ('Sales', 1, 'North', 'Plan', "
                       "'Sales.xlsx', '%1/North/Sales.xlsx', '2024-01-02 03:04:05')")
            .arg(folder));
    execute(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Select_By_User, Budget_Name, "
                           "Folder_Name) VALUES ('Sales.xlsx', 1, 'Plan', 'North')"));
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    main_->show();
    {
        core::RunGuard::Token run;
        main_->mnuCheckUserActivity_Click();
        EXPECT_EQ(ui->messageTexts(), QStringList{core::RunGuard::kRefusedText}) << "no check inside a run";
    }
    ui->clear();
    main_->mnuCheckUserActivity_Click();
    ASSERT_FALSE(ui->messageTexts().isEmpty());
    EXPECT_EQ(ui->messageTexts().front(), QStringLiteral("User file (Sales.xlsx) is missing.  Do you want to "
                                                         "continue checking for other User Files?"));
    platform::db::Connection cnn = openMaster();
    EXPECT_EQ(cnn.scalar(QStringLiteral("SELECT File_Missing FROM Worksheets WHERE Worksheet_Name = 'Sales'"))
                  .toInt(),
              1);
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmDataTable")))
        << "the status grid is shown, loading the Explorer";
}

} // namespace
