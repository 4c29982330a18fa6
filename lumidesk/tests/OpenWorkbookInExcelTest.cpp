// Opening a workbook for the user: the name looked up within the budget context in
// MasterFiles, then in Worksheets, and opened in the spreadsheet program the project ships
// (here its starts are recorded); when that program cannot be started the user is told.
#include "wizard/OpenWorkbookInExcel.h"

#include "BudgetRowsFixture.h"
#include "core/OpenWorkbookInExcel.h"
#include "core/cOptions.h"
#include "core/frmErrorsTable.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"
#include "support/WorkbookStarts.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using testsupport::ScopedScriptedUi;

class OpenWorkbook : public lumidesktest::BudgetRowsFixture {
protected:
    void SetUp() override {
        BudgetRowsFixture::SetUp();
        folder_ = testsupport::freshDir(QStringLiteral("books"));
        for (const char* sub : {"plan", "plan2", "users"})
            QDir(folder_).mkpath(QString::fromLatin1(sub));
        // Plan holds Budget.xlsx and NewBudget.xlsx; "Plan 2" (whose name contains "Plan")
        // has a Budget.xlsx of its own; Gone.xlsx is registered but not on disk.
        addMaster(QStringLiteral("Budget.xlsx"), QStringLiteral("plan"), QStringLiteral("Plan"));
        addMaster(QStringLiteral("NewBudget.xlsx"), QStringLiteral("plan"), QStringLiteral("Plan"));
        addMaster(QStringLiteral("Gone.xlsx"), QStringLiteral("plan"), QStringLiteral("Plan"), false);
        addMaster(QStringLiteral("Budget.xlsx"), QStringLiteral("plan2"), QStringLiteral("Plan 2"));
        addUserFile(QStringLiteral("North.xlsx"), QStringLiteral("Plan"), true);
        addUserFile(QStringLiteral("Draft.xlsx"), QStringLiteral("Plan"), false);
        addUserFile(QStringLiteral("South.xlsx"), QStringLiteral("Plan 2"), true);
    }
    void TearDown() override {
        core::setWorkbookOpener({});
        BudgetRowsFixture::TearDown();
    }

    QString file(const QString& sub, const QString& name) const {
        return folder_ + QLatin1Char('/') + sub + QLatin1Char('/') + name;
    }

    void addMaster(const QString& name, const QString& sub, const QString& budget, bool onDisk = true) {
        exec(QStringLiteral("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES (?, ?, ?)"),
             {name, folder_ + QLatin1Char('/') + sub, budget});
        if (onDisk)
            touch(file(sub, name));
    }
    // A user file; one not built yet has no path.
    void addUserFile(const QString& name, const QString& budget, bool built) {
        const QString path = file(QStringLiteral("users"), name);
        exec(QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, User_Filename, UFNPath, Budget_Name) "
                            "VALUES ('Sheet', ?, ?, ?)"),
             {name, built ? QVariant(path) : QVariant(), budget});
        if (built)
            touch(path);
    }
    static void touch(const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    testsupport::WorkbookStarts opened_;
    QString folder_;
};

TEST_F(OpenWorkbook, NamesAreLookedUpInTheContextByExactName) {
    struct Case {
        QString context;
        QString name;
        QString opened;  // "" = nothing opened
        QString message; // start of the message shown, "" = none
    };
    const QList<Case> cases = {
        {QStringLiteral("Plan"),
         QStringLiteral("Budget.xlsx"),
         file(QStringLiteral("plan"), QStringLiteral("Budget.xlsx")),
         {}},
        {QStringLiteral("plan"),
         QStringLiteral("BUDGET.xlsx"),
         file(QStringLiteral("plan"), QStringLiteral("Budget.xlsx")),
         {}},
        {QStringLiteral("Plan 2"),
         QStringLiteral("Budget.xlsx"),
         file(QStringLiteral("plan2"), QStringLiteral("Budget.xlsx")),
         {}},
        {QStringLiteral("Plan"),
         QStringLiteral("NewBudget.xlsx"),
         file(QStringLiteral("plan"), QStringLiteral("NewBudget.xlsx")),
         {}},
        {QStringLiteral("Plan"),
         QStringLiteral("North.xlsx"),
         file(QStringLiteral("users"), QStringLiteral("North.xlsx")),
         {}},
        {QStringLiteral("Plan"), QStringLiteral("Draft.xlsx"), {}, {}},
        {QStringLiteral("Plan"), QStringLiteral("Budget"), {}, QStringLiteral("Error 3021 has occured. ")},
        {QStringLiteral("Plan"),
         QStringLiteral("South.xlsx"),
         {},
         QStringLiteral("Error 3021 has occured. ")},
        {QStringLiteral("Pla"),
         QStringLiteral("Budget.xlsx"),
         {},
         QStringLiteral("Error 3021 has occured. ")},
        {QString(), QStringLiteral("North.xlsx"), {}, QStringLiteral("Error 3021 has occured. ")},
        {QStringLiteral("Plan"),
         QStringLiteral("Gone.xlsx"),
         {},
         QStringLiteral("Error 53 has occured. The workbook ") +
             file(QStringLiteral("plan"), QStringLiteral("Gone.xlsx")) +
             QStringLiteral(" could not be found.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.context + QStringLiteral(" / ") + c.name).toStdString());
        core::gOptions->BudgetNameContext = c.context;
        opened_.paths.clear();
        ScopedScriptedUi ui;
        wizard::OpenWorkbookInExcel(c.name);
        EXPECT_EQ(opened_.paths, c.opened.isEmpty() ? QStringList{} : QStringList{c.opened});
        const QStringList messages = ui->messageTexts();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
        } else {
            ASSERT_EQ(messages.size(), 1);
            EXPECT_TRUE(messages[0].startsWith(c.message)) << messages[0].toStdString();
            EXPECT_EQ(ui->asked()[0].title, QStringLiteral("Lumivane"));
        }
    }
}

TEST_F(OpenWorkbook, TwoMasterWorkbooksOfTheNameFallBackToTheUserFile) {
    addMaster(QStringLiteral("North.xlsx"), QStringLiteral("plan"), QStringLiteral("Plan"));
    addMaster(QStringLiteral("North.xlsx"), QStringLiteral("plan2"), QStringLiteral("Plan"));
    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    ScopedScriptedUi ui;
    wizard::OpenWorkbookInExcel(QStringLiteral("North.xlsx"));
    EXPECT_EQ(opened_.paths, QStringList{file(QStringLiteral("users"), QStringLiteral("North.xlsx"))});
    EXPECT_TRUE(ui->asked().empty());
}

// Without the spreadsheet program (not installed, or not startable) the user is told, and the
// message names the workbook.
TEST_F(OpenWorkbook, AMissingSpreadsheetProgramIsTold) {
    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    setenv("LUMIVANE_SPREADSHEET_PROGRAM", qPrintable(folder_ + QStringLiteral("/no-such-program")), 1);
    ScopedScriptedUi ui;
    wizard::OpenWorkbookInExcel(QStringLiteral("Budget.xlsx"));
    EXPECT_TRUE(opened_.paths.isEmpty());
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Error 1004 has occured. ") +
                                              wizard::kSpreadsheetProgramMissingText.arg(file(
                                                  QStringLiteral("plan"), QStringLiteral("Budget.xlsx")))});
}

// The errors browser reaches the routine through core's opener once the program installs it;
// before that the click is a fault of the program's wiring, reported as an error.
TEST_F(OpenWorkbook, TheErrorsBrowserOpensThroughTheInstalledOpener) {
    exec(QStringLiteral("INSERT INTO Errors (Error_Date, UF_name, Budget_Name, File_Missing) "
                        "VALUES ('2024-03-01 10:00:00', 'North.xlsx', 'Plan', 1)"));
    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    auto* browser = new core::frmErrorsTable;
    {
        core::setWorkbookOpener({});
        ScopedScriptedUi ui;
        browser->dtErrors_Click(0, core::frmErrorsTable::kUFName);
        ASSERT_EQ(ui->messageTexts().size(), 1);
        EXPECT_TRUE(
            ui->messageTexts().front().contains(QStringLiteral("did not install its workbook opener")))
            << ui->messageTexts().front().toStdString();
        EXPECT_TRUE(opened_.paths.isEmpty());
    }
    core::setWorkbookOpener(wizard::OpenWorkbookInExcel);
    {
        ScopedScriptedUi ui;
        browser->dtErrors_Click(0, core::frmErrorsTable::kUFName);
        EXPECT_TRUE(ui->asked().empty());
        EXPECT_EQ(opened_.paths, QStringList{file(QStringLiteral("users"), QStringLiteral("North.xlsx"))});
    }
    delete browser;
}

} // namespace
