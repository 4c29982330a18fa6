// Budget creation for QuickStart, renaming from the explorer tree and the address import, on
// a private copy of the master database.
#include "lumidesk/BudgetRecords.h"

#include "BudgetRowsFixture.h"
#include "core/cOptions.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/ExplorerTree.h"
#include "support/ScriptedUi.h"

#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>

namespace {

using lumidesk::kRecordCancelled;
using lumidesk::kRecordDone;
using lumidesk::kRecordFailed;
using testsupport::ScopedScriptedUi;

const QString kFolder = QStringLiteral("/budgets/2024");
const QString kPlan = QStringLiteral("Plan.xlsx");

class BudgetRecords : public lumidesktest::BudgetRowsFixture {
protected:
    void SetUp() override {
        BudgetRowsFixture::SetUp();
        core::gOptions->DefaultAdmin = QStringLiteral("Dana");
    }

    // Name, Active and author of every budget, sorted as texts.
    QStringList budgets() {
        QStringList result = rows(QStringLiteral("SELECT Budget_Name, Active, Admin_Name FROM Budgets "
                                                 "WHERE Budget_Name <> '<Dummy record>'"));
        result.sort();
        return result;
    }
    QStringList masterFiles() {
        return rows(QStringLiteral("SELECT Master_File, Path, Budget_Name FROM MasterFiles "
                                   "WHERE Master_File <> '<Dummy record>' ORDER BY ID_MasterFiles"));
    }

    // The QuickStart window as the build leaves it: its two boxes, filled.
    std::unique_ptr<QWidget> quickStartWindow(const QString& project, const QString& author) {
        auto window = std::make_unique<QWidget>();
        window->setObjectName(QStringLiteral("frmQSWizard"));
        for (const auto& [name, text] :
             {std::pair{lumidesk::kProjectNameBox, project}, {lumidesk::kAuthorNameBox, author}}) {
            auto* box = new QLineEdit(text, window.get());
            box->setObjectName(name);
        }
        window->show();
        return window;
    }
};

TEST_F(BudgetRecords, CleaningRemovesEveryApostropheAndNothingElse) {
    EXPECT_EQ(lumidesk::CleanBudgetName(QStringLiteral("O'Brien's plan")), QStringLiteral("OBriens plan"));
    EXPECT_EQ(lumidesk::CleanBudgetName(QStringLiteral("''")), QString());
    EXPECT_EQ(lumidesk::CleanBudgetName(QStringLiteral(" Q1 \"draft\" ")), QStringLiteral(" Q1 \"draft\" "));
}

TEST_F(BudgetRecords, DialogModeCreatesTheCleanedBudgetWithItsWorkbookAndMakesItTheContext) {
    core::gOptions->QuickStartMode = lumidesk::kInteractiveMode;
    ScopedScriptedUi ui;
    ui->answerTexts({QStringLiteral("O'Brien's plan")});

    EXPECT_EQ(lumidesk::CreateBudgetRecord(kPlan, kFolder), kRecordDone);

    ASSERT_EQ(ui->asked().size(), 1u);
    EXPECT_EQ(ui->asked()[0].kind, QStringLiteral("input"));
    EXPECT_EQ(ui->asked()[0].text, QStringLiteral("Enter the budget name."));
    EXPECT_EQ(ui->asked()[0].title, QStringLiteral("Lumivane"));
    EXPECT_EQ(budgets(), QStringList{QStringLiteral("OBriens plan|1|Dana")});
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM Budgets WHERE Budget_Name = 'OBriens plan' "
                                  "AND Budget_Date IS NOT NULL")),
              QStringList{QStringLiteral("1")});
    EXPECT_EQ(masterFiles(), QStringList{QStringLiteral("Plan.xlsx|/budgets/2024|OBriens plan")});
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("OBriens plan"));
    EXPECT_EQ(setting("Runtime", "BudgetNameContext"), QString()) << "no setting is written here";
}

// A name is asked for again only while a budget of that very name exists (in any case);
// names that merely contain the answer do not count.
TEST_F(BudgetRecords, DialogModeAsksAgainOnlyForAnExistingName) {
    struct Case {
        QStringList existing;
        QStringList answers;
        QString created;
    };
    const QList<Case> cases = {
        {{QStringLiteral("Sales")},
         {QStringLiteral("sales"), QStringLiteral("SALES"), QStringLiteral("Sales 2004")},
         QStringLiteral("Sales 2004")},
        {{QStringLiteral("Sales 2003")}, {QStringLiteral("Sales")}, QStringLiteral("Sales")},
        {{QStringLiteral("Sales 2003"), QStringLiteral("Sales 2004")},
         {QStringLiteral("Sales")},
         QStringLiteral("Sales")},
        {{QStringLiteral("OBriens plan")},
         {QStringLiteral("O'Briens plan"), QStringLiteral("Q1")},
         QStringLiteral("Q1")},
        {{},
         {QStringLiteral("'''"), QStringLiteral("<Dummy record>"), QStringLiteral("Q2")},
         QStringLiteral("Q2")},
        {{QStringLiteral("Übersicht")},
         {QStringLiteral("ÜBERSICHT"), QStringLiteral("Übersicht 2")},
         QStringLiteral("Übersicht 2")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answers.join(QStringLiteral(" / ")).toStdString());
        exec(QStringLiteral("DELETE FROM Budgets WHERE Budget_Name <> '<Dummy record>'"));
        exec(QStringLiteral("DELETE FROM MasterFiles WHERE Master_File <> '<Dummy record>'"));
        for (const QString& name : c.existing)
            addBudget(name, QStringLiteral("Ann"));
        core::gOptions->QuickStartMode = lumidesk::kInteractiveMode;
        ScopedScriptedUi ui;
        for (const QString& answer : c.answers)
            ui->answerTexts({answer});

        EXPECT_EQ(lumidesk::CreateBudgetRecord(kPlan, kFolder), kRecordDone);

        EXPECT_EQ(ui->asked().size(), size_t(c.answers.size()));
        QStringList expected;
        for (const QString& name : c.existing)
            expected << name + QStringLiteral("|1|Ann");
        expected << c.created + QStringLiteral("|1|Dana");
        expected.sort();
        EXPECT_EQ(budgets(), expected);
        EXPECT_EQ(masterFiles(), QStringList{QStringLiteral("Plan.xlsx|/budgets/2024|") + c.created});
        EXPECT_EQ(core::gOptions->BudgetNameContext, c.created);
    }
}

TEST_F(BudgetRecords, DialogCancelledOrAnsweredEmptyWritesNothing) {
    for (const std::optional<QString>& answer :
         {std::optional<QString>(), std::optional<QString>(QString())}) {
        core::gOptions->QuickStartMode = lumidesk::kInteractiveMode;
        core::gOptions->BudgetNameContext = QStringLiteral("Before");
        ScopedScriptedUi ui;
        ui->answerTexts({answer});
        EXPECT_EQ(lumidesk::CreateBudgetRecord(kPlan, kFolder), kRecordCancelled);
        EXPECT_EQ(ui->asked().size(), 1u);
        EXPECT_TRUE(budgets().isEmpty());
        EXPECT_TRUE(masterFiles().isEmpty());
        EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Before"));
    }
}

// The QuickStart window's boxes drive the build: an existing budget of that exact name takes
// the author and the workbook, under its stored name; any other name becomes a new budget,
// taken as typed, apostrophes and all. No other budget is touched.
TEST_F(BudgetRecords, QuickStartModeUsesTheWindowsBoxes) {
    struct Case {
        QString project;
        QString author;
        QStringList budgetsAfter;
        QString workbookBudget;
    };
    const QList<Case> cases = {
        {QStringLiteral("sales"),
         QStringLiteral("Bob"),
         {QStringLiteral("Sales 2003|1|Ann"), QStringLiteral("Sales|1|Bob")},
         QStringLiteral("Sales")},
        {QStringLiteral("Sales 200"),
         QStringLiteral("Bob"),
         {QStringLiteral("Sales 200|1|Bob"), QStringLiteral("Sales 2003|1|Ann"),
          QStringLiteral("Sales|1|Ann")},
         QStringLiteral("Sales 200")},
        {QStringLiteral("O'Brien's plan"),
         QStringLiteral("Bob"),
         {QStringLiteral("O'Brien's plan|1|Bob"), QStringLiteral("Sales 2003|1|Ann"),
          QStringLiteral("Sales|1|Ann")},
         QStringLiteral("O'Brien's plan")},
        {QStringLiteral("Sales"),
         QString(),
         {QStringLiteral("Sales 2003|1|Ann"), QStringLiteral("Sales|1|Ann")},
         QStringLiteral("Sales")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.project.toStdString());
        exec(QStringLiteral("DELETE FROM Budgets WHERE Budget_Name <> '<Dummy record>'"));
        exec(QStringLiteral("DELETE FROM MasterFiles WHERE Master_File <> '<Dummy record>'"));
        addBudget(QStringLiteral("Sales"), QStringLiteral("Ann"));
        addBudget(QStringLiteral("Sales 2003"), QStringLiteral("Ann"));
        core::gOptions->QuickStartMode = QStringLiteral("Automatic");
        const auto window = quickStartWindow(c.project, c.author);
        ScopedScriptedUi ui;

        EXPECT_EQ(lumidesk::CreateBudgetRecord(kPlan, kFolder), kRecordDone);

        EXPECT_TRUE(ui->asked().empty());
        QStringList expected = c.budgetsAfter;
        expected.sort();
        EXPECT_EQ(budgets(), expected);
        EXPECT_EQ(masterFiles(), QStringList{QStringLiteral("Plan.xlsx|/budgets/2024|") + c.workbookBudget});
        EXPECT_EQ(core::gOptions->BudgetNameContext, c.workbookBudget);
    }
}

TEST_F(BudgetRecords, QuickStartWithoutAProjectNameAddsNoWorkbook) {
    addBudget(QStringLiteral("Sales"), QStringLiteral("Ann"));
    core::gOptions->QuickStartMode = QStringLiteral("Automatic");
    for (const bool windowLoaded : {true, false}) {
        const auto window = windowLoaded ? quickStartWindow(QString(), QStringLiteral("Bob")) : nullptr;
        ScopedScriptedUi ui;
        EXPECT_EQ(lumidesk::CreateBudgetRecord(kPlan, kFolder), kRecordCancelled);
        EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("Enter the budget name.")});
        EXPECT_EQ(budgets(), QStringList{QStringLiteral("Sales|1|Ann")});
        EXPECT_TRUE(masterFiles().isEmpty());
    }
}

TEST_F(BudgetRecords, AWorkbookRowThatCannotBeStoredTakesTheNewBudgetBackWithIt) {
    core::gOptions->QuickStartMode = lumidesk::kInteractiveMode;
    ScopedScriptedUi ui;
    ui->answerTexts({QStringLiteral("Q1")});
    const QString tooLong = QString(101, QLatin1Char('w')) + QStringLiteral(".xlsx");

    EXPECT_EQ(lumidesk::CreateBudgetRecord(tooLong, kFolder), kRecordFailed);

    const QStringList messages = ui->messageTexts();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Error "))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral(" has occured. ")));
    EXPECT_TRUE(budgets().isEmpty());
    EXPECT_TRUE(masterFiles().isEmpty());
    EXPECT_EQ(core::gOptions->BudgetNameContext, QString());
}

// --- renaming

class BudgetRename : public BudgetRecords {
protected:
    void SetUp() override {
        BudgetRecords::SetUp();
        for (const QString& budget : {QStringLiteral("Q1"), QStringLiteral("Q1 2")}) {
            addBudget(budget, QStringLiteral("Ann"));
            exec(
                QStringLiteral(
                    "INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('Plan.xlsx', '/b', ?)"),
                {budget});
            exec(QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name) "
                                "VALUES ('North', 'Plan.xlsx', ?)"),
                 {budget});
            exec(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name) "
                                "VALUES ('North.xlsx', 'Plan.xlsx', ?)"),
                 {budget});
            exec(QStringLiteral("INSERT INTO Errors (UF_name, Budget_Name) VALUES ('North.xlsx', ?)"),
                 {budget});
        }
        core::gOptions->BudgetNameContext = QStringLiteral("Q1");
        core::gOptions->WriteValues();
    }

    static QStringList everywhere(const QString& first, const QString& second) {
        QStringList names{first, second};
        names.sort();
        const QString joined = names.join(QStringLiteral(", "));
        return {QStringLiteral("Budgets: ") + joined, QStringLiteral("MasterFiles: ") + joined,
                QStringLiteral("Worksheets: ") + joined, QStringLiteral("UserFileTablesData: ") + joined,
                QStringLiteral("Errors: ") + joined};
    }
};

TEST_F(BudgetRename, TheNewNameReachesEveryTableAndTheContext) {
    for (const QString& newName : {QStringLiteral("O'Brien's Q1"), QStringLiteral("q1")}) {
        SCOPED_TRACE(newName.toStdString());
        const QString oldName = core::gOptions->BudgetNameContext;
        ScopedScriptedUi ui;
        EXPECT_EQ(lumidesk::RenameBudgetFromExplorer(oldName, newName), kRecordDone);
        EXPECT_TRUE(ui->asked().empty());
        EXPECT_EQ(budgetNamesEverywhere(), everywhere(newName, QStringLiteral("Q1 2")));
        EXPECT_EQ(core::gOptions->BudgetNameContext, newName);
        EXPECT_EQ(setting("Runtime", "BudgetNameContext"), newName);
    }
}

TEST_F(BudgetRename, AnotherContextStaysAsItIs) {
    core::gOptions->BudgetNameContext = QStringLiteral("Q1 2");
    ScopedScriptedUi ui;
    EXPECT_EQ(lumidesk::RenameBudgetFromExplorer(QStringLiteral("Q1"), QStringLiteral("Q3")), kRecordDone);
    EXPECT_EQ(budgetNamesEverywhere(), everywhere(QStringLiteral("Q3"), QStringLiteral("Q1 2")));
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Q1 2"));
}

TEST_F(BudgetRename, RefusalsChangeNothing) {
    struct Case {
        QString oldName;
        QString newName;
        QStringList messages;
    };
    const QList<Case> cases = {
        {QStringLiteral("Q1"),
         QStringLiteral("q1 2"),
         {QStringLiteral("There is already a budget named q1 2.")}},
        {QStringLiteral("Q1"),
         QStringLiteral("<Dummy record>"),
         {QStringLiteral("There is already a budget named <Dummy record>.")}},
        {QStringLiteral("Q1"), QString(), {QStringLiteral("A budget name cannot be empty.")}},
        {QStringLiteral("Q9"), QStringLiteral("Q10"), {}},
        {QStringLiteral("q1"), QStringLiteral("Q10"), {}},
        {QStringLiteral("<Dummy record>"), QStringLiteral("Q10"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.oldName + QStringLiteral(" -> ") + c.newName).toStdString());
        ScopedScriptedUi ui;
        EXPECT_EQ(lumidesk::RenameBudgetFromExplorer(c.oldName, c.newName), kRecordCancelled);
        EXPECT_EQ(ui->messageTexts(), c.messages);
        EXPECT_EQ(budgetNamesEverywhere(), everywhere(QStringLiteral("Q1"), QStringLiteral("Q1 2")));
        EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Q1"));
    }
}

// A failure on the way (a name too long for the columns, a table that refuses the change)
// leaves every table, the context and its setting as they were.
TEST_F(BudgetRename, AFailedRenameLeavesEverythingAsItWas) {
    exec(QStringLiteral(
        "CREATE TRIGGER refuse_errors BEFORE UPDATE ON Errors "
        "WHEN NEW.Budget_Name = 'Blocked' BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
    for (const QString& newName : {QString(101, QLatin1Char('n')), QStringLiteral("Blocked")}) {
        SCOPED_TRACE(newName.toStdString());
        ScopedScriptedUi ui;
        EXPECT_EQ(lumidesk::RenameBudgetFromExplorer(QStringLiteral("Q1"), newName), kRecordFailed);
        const QStringList messages = ui->messageTexts();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Error "))) << messages[0].toStdString();
        EXPECT_EQ(budgetNamesEverywhere(), everywhere(QStringLiteral("Q1"), QStringLiteral("Q1 2")));
        EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Q1"));
        EXPECT_EQ(setting("Runtime", "BudgetNameContext"), QStringLiteral("Q1"));
    }
}

TEST_F(BudgetRename, OnlyBudgetNodesOfStoredBudgetsMayBeEdited) {
    platform::ui::ExplorerTree tree;
    const int q1 = tree.addNode(QStringLiteral("Q1"));
    const int workbook = tree.addNode(QStringLiteral("Plan.xlsx"), q1);
    const int sheet = tree.addNode(QStringLiteral("North"), workbook);
    const int other = tree.addNode(QStringLiteral("q1 2"));
    const int gone = tree.addNode(QStringLiteral("Q"));
    const int home = tree.addNode(QStringLiteral("HOME"));
    const int placeholder = tree.addNode(QStringLiteral("<Dummy record>"));
    ScopedScriptedUi ui;
    EXPECT_TRUE(lumidesk::BudgetExists(tree, q1));
    EXPECT_TRUE(lumidesk::BudgetExists(tree, other));
    for (const int node : {workbook, sheet, gone, home, placeholder, -1, 99})
        EXPECT_FALSE(lumidesk::BudgetExists(tree, node)) << node;
    EXPECT_TRUE(ui->asked().empty());
}

// --- address import

class AddressImport : public BudgetRecords {
protected:
    // The address window with its target grid holding the rows given.
    std::unique_ptr<QWidget> addressWindow(const QList<QStringList>& gridRows) {
        auto window = std::make_unique<QWidget>();
        window->setObjectName(QStringLiteral("frmAddAddress"));
        auto* grid = new platform::ui::DataGrid(window.get());
        grid->setObjectName(lumidesk::kAddressGrid);
        platform::ui::DataGridColumn name;
        name.heading = QStringLiteral("User Name");
        platform::ui::DataGridColumn address;
        address.heading = QStringLiteral("Email Address");
        grid->setColumns({name, address});
        for (const QStringList& row : gridRows)
            grid->appendRow({row[0], row[1]});
        window->show();
        return window;
    }
    QStringList users() {
        return rows(QStringLiteral("SELECT Users, Email_Address FROM UsersData ORDER BY rowid"));
    }
};

// Names are compared without regard to case, as the users grid compares them: "ann" is Ann, and
// "o'neil" the O'Neil added a row before.
TEST_F(AddressImport, NewNamesAreAddedAndKnownUsersKeepTheirAddress) {
    exec(QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES ('Ann', 'ann@old.example')"));
    const auto window = addressWindow({{QStringLiteral("ann"), QStringLiteral("ann@new.example")},
                                       {QStringLiteral("Ann"), QStringLiteral("ann@new.example")},
                                       {QStringLiteral("O'Neil"), QStringLiteral("oneil@example.com")},
                                       {QString(), QStringLiteral("nobody@example.com")},
                                       {QStringLiteral("o'neil"), QStringLiteral("second@example.com")}});
    ScopedScriptedUi ui;
    lumidesk::AddAddressesToUsersData();
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(users(),
              (QStringList{QStringLiteral("<Dummy record>|<null>"), QStringLiteral("Ann|ann@old.example"),
                           QStringLiteral("O'Neil|oneil@example.com")}));
}

// An address that would put a line of its own on the wire is left out and named; the others go in.
TEST_F(AddressImport, AddressesWithLineBreaksOrAngleBracketsAreLeftOutAndNamed) {
    exec(QStringLiteral("DELETE FROM UsersData"));
    const auto window = addressWindow(
        {{QStringLiteral("Eve"), QStringLiteral("ann@example.org>\r\nRCPT TO:<leak@evil.example")},
         {QStringLiteral("Mal"), QStringLiteral("Mal <mal@example.org>")},
         {QStringLiteral("Bob"), QStringLiteral("bob@example.org")}});
    ScopedScriptedUi ui;
    lumidesk::AddAddressesToUsersData();
    EXPECT_EQ(users(), QStringList{QStringLiteral("Bob|bob@example.org")});
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_EQ(ui->messageTexts()[0],
              QStringLiteral(
                  "These e-mail addresses were left out.  An e-mail address can't hold line breaks, other "
                  "control characters or angle brackets:\nann@example.org>\\r\\nRCPT "
                  "TO:<leak@evil.example\nMal <mal@example.org>"));
}

TEST_F(AddressImport, AnEmptyTableTakesEveryRow) {
    exec(QStringLiteral("DELETE FROM UsersData"));
    const auto window = addressWindow(
        {{QStringLiteral("Ann"), QStringLiteral("ann@example.com")}, {QStringLiteral("Bob"), QString()}});
    lumidesk::AddAddressesToUsersData();
    EXPECT_EQ(users(), (QStringList{QStringLiteral("Ann|ann@example.com"), QStringLiteral("Bob|")}));
}

TEST_F(AddressImport, ARowThatCannotBeStoredLeavesTheTableAsItWas) {
    const auto window = addressWindow({{QStringLiteral("Ann"), QStringLiteral("ann@example.com")},
                                       {QStringLiteral("Bob"), QString(256, QLatin1Char('b'))}});
    ScopedScriptedUi ui;
    lumidesk::AddAddressesToUsersData();
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts()[0].startsWith(QStringLiteral("Error ")));
    EXPECT_EQ(users(), QStringList{QStringLiteral("<Dummy record>|<null>")});
}

TEST_F(AddressImport, NothingHappensWithoutTheAddressWindow) {
    ScopedScriptedUi ui;
    lumidesk::AddAddressesToUsersData();
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(users(), QStringList{QStringLiteral("<Dummy record>|<null>")});
}

} // namespace
