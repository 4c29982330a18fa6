// The print window (grids printed to a PDF file, read back with pdftotext) and Edit > Find
// (the first row whose first cell matches, in the active window's grid).
#include "BudgetRowsFixture.h"
#include "core/cOptions.h"
#include "lumidesk/FindInGrid.h"
#include "lumidesk/PrintSelectedTable.h"
#include "lumidesk/frmDataTable.h"
#include "lumidesk/frmFind.h"
#include "lumidesk/frmPrint.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/LoadedWindows.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>

namespace {

using platform::ui::DataGrid;
using platform::ui::DataGridColumn;
using testsupport::ScopedScriptedUi;

QString pdfText(const QString& path) {
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return QStringLiteral("pdftotext failed: ") + QString::fromUtf8(run.readAllStandardError());
    return QString::fromUtf8(run.readAllStandardOutput());
}

void deliverDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

DataGridColumn textColumn(const QString& heading, bool hidden = false) {
    DataGridColumn column;
    column.heading = heading;
    column.hidden = hidden;
    return column;
}

// A loaded data window of the given form name holding one grid of that name, with the rows
// given (each row's first cell first), and a second grid that is not searchable.
// The print may unload the window, so it is held by a guarded pointer.
struct FakeDataWindow {
    QPointer<QWidget> window;
    DataGrid* grid = nullptr;
    DataGrid* other = nullptr;

    FakeDataWindow(const QString& form, const QString& gridName, const QList<QStringList>& rows) {
        window = new QWidget;
        window->setObjectName(form);
        grid = new DataGrid(window);
        grid->setObjectName(gridName);
        grid->setColumns({textColumn(QStringLiteral("Worksheet")), textColumn(QStringLiteral("Folder Names")),
                          textColumn(QStringLiteral("UFNPath"), true)});
        for (const QStringList& row : rows)
            grid->appendRow({row.value(0), row.value(1), row.value(2)});
        other = new DataGrid(window);
        other->setObjectName(QStringLiteral("dtMasterFiles"));
        other->setColumns({textColumn(QStringLiteral("Master File"))});
        other->appendRow({QStringLiteral("North")});
        window->show();
    }
    ~FakeDataWindow() { delete window.data(); }
    FakeDataWindow(const FakeDataWindow&) = delete;
    FakeDataWindow& operator=(const FakeDataWindow&) = delete;
};

class PrintWindow : public lumidesktest::BudgetRowsFixture {
protected:
    void TearDown() override {
        while (QWidget* window = platform::ui::LoadedWindows::find(QStringLiteral("frmPrint")))
            delete window;
        while (QWidget* window = platform::ui::LoadedWindows::find(QStringLiteral("frmErrorsTable")))
            delete window;
        BudgetRowsFixture::TearDown();
    }

    static void choose(lumidesk::frmPrint& window, const QString& document) {
        window.cbxPrintList()->setText(document);
        ASSERT_EQ(window.chosenDocument(), document);
    }

    QString pdfPath(const QString& name) {
        return testsupport::freshDir(QStringLiteral("pdf")) + QLatin1Char('/') + name;
    }
};

TEST_F(PrintWindow, TheListOffersThePrintTableWithNothingChosen) {
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Print Selection"));
    EXPECT_EQ(window->chkSkipHidden()->text(), QStringLiteral("Skip hidden columns"));
    EXPECT_EQ(window->chkFitonpage()->text(), QStringLiteral("Fit on one page"));
    EXPECT_EQ(window->cmdPrintCont()->text(), QStringLiteral("Continue"));
    EXPECT_EQ(window->cmdCancel()->text(), QStringLiteral("Cancel"));
    platform::ui::ComboList* list = window->cbxPrintList();
    QStringList entries;
    for (int i = 0; i < list->entryCount(); ++i)
        entries << list->subItem(i, 0) + QStringLiteral(" / ") + list->subItem(i, 1);
    EXPECT_EQ(entries,
              (QStringList{QStringLiteral("FolderNames table / Lumivane - Folder Names"),
                           QStringLiteral("Errors table / Lumivane - Processing Errors"),
                           QStringLiteral("Master files table / Lumivane - Master Workbooks"),
                           QStringLiteral("User file assign table / Lumivane - User File Assignments"),
                           QStringLiteral("Users status table / Lumivane - User File Status"),
                           QStringLiteral("UsersData table / Lumivane - Users"),
                           QStringLiteral("Worksheets table / Lumivane - Worksheets")}));
    EXPECT_EQ(list->text(), QString());
    EXPECT_EQ(lumidesk::frmPrint::instance(), window) << "one instance";
}

TEST_F(PrintWindow, ContinueWithNothingChosenAsksForAChoiceAndStays) {
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    ScopedScriptedUi ui;
    window->cmdPrintCont()->click();
    ASSERT_EQ(ui->asked().size(), 1u);
    EXPECT_EQ(ui->asked()[0].text, QStringLiteral("Please select a table to print."));
    EXPECT_EQ(ui->asked()[0].title, QStringLiteral("Lumivane"));
    deliverDeferredDeletes();
    EXPECT_EQ(lumidesk::frmPrint::loaded(), window);
}

// A grid of a loaded window prints with the page title of its Print row; hidden columns are
// left out unless "Skip hidden columns" is cleared. The window is unloaded afterwards.
TEST_F(PrintWindow, HiddenColumnsAreLeftOutOfThePdfUnlessAsked) {
    for (const bool skip : {true, false}) {
        SCOPED_TRACE(skip);
        auto wizard = std::make_unique<FakeDataWindow>(
            QStringLiteral("frmWizard"), QStringLiteral("dtWorksheets"),
            QList<QStringList>{
                {QStringLiteral("North"), QStringLiteral("Sales"), QStringLiteral("/secret/North.xlsx")},
                {QStringLiteral("South"), QStringLiteral("Ops"), QStringLiteral("/secret/South.xlsx")}});
        lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
        choose(*window, QStringLiteral("Worksheets table"));
        window->chkSkipHidden()->setChecked(skip);
        const QString path = pdfPath(QStringLiteral("worksheets.pdf"));
        ScopedScriptedUi ui;
        ui->acceptUnscriptedMessages(); // the Budgets Explorer shown again may have its own
        ui->answerTexts({path});

        window->cmdPrintCont()->click();

        ASSERT_FALSE(ui->asked().empty());
        EXPECT_EQ(ui->asked()[0].kind, QStringLiteral("saveFile"));
        EXPECT_EQ(ui->asked()[0].filter, QStringLiteral("PDF files (*.pdf)"));
        EXPECT_TRUE(ui->asked()[0].initialPath.endsWith(QStringLiteral("/Worksheets table.pdf")));
        const QString text = pdfText(path);
        EXPECT_TRUE(text.contains(QStringLiteral("Lumivane - Worksheets"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Folder Names")));
        EXPECT_TRUE(text.contains(QStringLiteral("South")));
        EXPECT_EQ(text.contains(QStringLiteral("/secret/North.xlsx")), !skip) << text.toStdString();
        EXPECT_EQ(text.contains(QStringLiteral("UFNPath")), !skip);
        EXPECT_TRUE(wizard->window.isNull()) << "the wizard is unloaded after printing";
        deliverDeferredDeletes();
        EXPECT_EQ(lumidesk::frmPrint::loaded(), nullptr) << "the print window unloads after printing";
    }
}

TEST_F(PrintWindow, TheErrorsBrowserIsLoadedForThePrintAndUnloadedAfter) {
    exec(QStringLiteral("INSERT INTO Errors (Error_Date, UF_name, Budget_Name, File_Missing) "
                        "VALUES ('2024-03-01 10:00:00', 'Missing North.xlsx', 'Q1', 1)"));
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    choose(*window, QStringLiteral("Errors table"));
    const QString path = pdfPath(QStringLiteral("errors"));
    ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    ui->answerTexts({path});

    window->cmdPrintCont()->click();

    const QString text = pdfText(path + QStringLiteral(".pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Lumivane - Processing Errors"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Missing North.xlsx")));
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmErrorsTable")));
}

TEST_F(PrintWindow, TheConfigurationWindowIsLoadedForThePrintOfItsGridAndUnloadedAfter) {
    exec(QStringLiteral(
        "INSERT INTO UsersData (Users, Email_Address) VALUES ('Carla Jones', 'carla@example.org')"));
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    choose(*window, QStringLiteral("UsersData table"));
    const QString path = pdfPath(QStringLiteral("users"));
    ScopedScriptedUi ui;
    ui->answerTexts({path});

    window->cmdPrintCont()->click();

    const QString text = pdfText(path + QStringLiteral(".pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Lumivane - Users"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("carla@example.org")));
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmConfigure")));
    EXPECT_EQ(ui->messageTexts(), QStringList{});
}

TEST_F(PrintWindow, TheWizardIsLoadedForThePrintOfItsGridsAndUnloadedAfter) {
    exec(QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name) "
                        "VALUES ('Northern Region', 'Plan.xlsx', 'Q1')"));
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    choose(*window, QStringLiteral("Worksheets table"));
    const QString path = pdfPath(QStringLiteral("worksheets"));
    ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    ui->answerTexts({path});

    window->cmdPrintCont()->click();

    const QString text = pdfText(path + QStringLiteral(".pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Northern Region"))) << text.toStdString();
    deliverDeferredDeletes();
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmWizard")));
}

TEST_F(PrintWindow, CancellingTheSaveDialogPrintsNothingAndKeepsTheWindows) {
    auto wizard =
        std::make_unique<FakeDataWindow>(QStringLiteral("frmWizard"), QStringLiteral("dtWorksheets"),
                                         QList<QStringList>{{QStringLiteral("North")}});
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    choose(*window, QStringLiteral("Worksheets table"));
    ScopedScriptedUi ui;
    ui->answerTexts({std::nullopt});
    window->cmdPrintCont()->click();
    deliverDeferredDeletes();
    EXPECT_EQ(lumidesk::frmPrint::loaded(), window);
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded(QStringLiteral("frmWizard")));
}

TEST_F(PrintWindow, AFileThatCannotBeWrittenIsReported) {
    auto wizard =
        std::make_unique<FakeDataWindow>(QStringLiteral("frmWizard"), QStringLiteral("dtWorksheets"),
                                         QList<QStringList>{{QStringLiteral("North")}});
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    choose(*window, QStringLiteral("Worksheets table"));
    const QString path =
        testsupport::freshDir(QStringLiteral("pdf")) + QStringLiteral("/no such folder/w.pdf");
    ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    ui->answerTexts({path});
    window->cmdPrintCont()->click();
    const QStringList messages = ui->messageTexts();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.first(),
              QStringLiteral("The table could not be printed to ") + path + QStringLiteral("."));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(wizard->window.isNull()) << "the wizard is unloaded all the same";
}

// The Budgets Explorer's status grid: the explorer is closed before the print and shown again
// after it; its hidden columns (the row's key, master workbook and folder) stay off the page.
TEST_F(PrintWindow, TheStatusGridPrintsWithTheExplorerShownAgain) {
    addBudget(QStringLiteral("Q1"));
    exec(QStringLiteral(
        "INSERT INTO UsersData (Users, Email_Address, Folder_Name) VALUES ('Ann', 'a@x', 'Sales')"));
    exec(
        QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Master_File, "
                       "Budget_Name, Folder_Name) VALUES ('North.xlsx', 'Ann', 1, 'HiddenMaster.xlsx', 'Q1', "
                       "'HiddenFolder')"));
    core::gOptions->DatabaseMode = QStringLiteral("Local");
    core::gOptions->BudgetNameContext = QStringLiteral("Q1");
    ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages(); // what the explorer's load has to say
    QPointer<lumidesk::frmDataTable> before = lumidesk::frmDataTable::Display();
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    choose(*window, QStringLiteral("Users status table"));
    const QString path = pdfPath(QStringLiteral("status.pdf"));
    ui->answerTexts({path});

    window->cmdPrintCont()->click();

    const QString text = pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Lumivane - User File Status"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("North.xlsx"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("HiddenMaster.xlsx"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("HiddenFolder"))) << text.toStdString();
    EXPECT_TRUE(before.isNull()) << "the explorer was closed before the print";
    lumidesk::frmDataTable* after = lumidesk::frmDataTable::loaded();
    ASSERT_NE(after, nullptr) << "the explorer is shown again";
    EXPECT_TRUE(after->isVisible());
    delete after;
}

TEST_F(PrintWindow, CancelUnloadsTheWindow) {
    lumidesk::frmPrint* window = lumidesk::frmPrint::instance();
    window->cmdCancel()->click();
    deliverDeferredDeletes();
    EXPECT_EQ(lumidesk::frmPrint::loaded(), nullptr);
}

// --- find

class FindWindow : public lumidesktest::BudgetRowsFixture {
protected:
    void SetUp() override {
        BudgetRowsFixture::SetUp();
        data_ = std::make_unique<FakeDataWindow>(
            QStringLiteral("frmWizard"), QStringLiteral("dtWorksheets"),
            QList<QStringList>{{QStringLiteral("North"), QStringLiteral("Sales")},
                               {QStringLiteral("SALES"), QStringLiteral("x")},
                               {QStringLiteral("Sales"), QStringLiteral("first")},
                               {QStringLiteral("Sales"), QStringLiteral("second")},
                               {QStringLiteral("Sales*2%_"), QStringLiteral("y")},
                               {QStringLiteral("Sales 2004"), QStringLiteral("z")}});
        core::gOptions->ActiveForm = data_->window;
        focus(data_->grid);
    }
    void TearDown() override {
        while (QWidget* window = platform::ui::LoadedWindows::find(QStringLiteral("frmFind")))
            delete window;
        data_.reset();
        BudgetRowsFixture::TearDown();
    }
    // The data window's focus, as its active control, without needing an active window.
    static void focus(DataGrid* grid) { grid->view()->setFocus(Qt::OtherFocusReason); }
    static void focus(QWidget* control) { control->setFocus(Qt::OtherFocusReason); }

    // Typing into the find box (a text that differs from a kept entry only in case stays as typed).
    static void type(lumidesk::frmFind& window, const QString& text) {
        QLineEdit* edit = window.cbxFind()->lineEdit();
        edit->selectAll();
        edit->insert(text);
    }

    std::unique_ptr<FakeDataWindow> data_;
};

TEST_F(FindWindow, OpensWithWholeFieldChosenFindNextOffAndReplacingSwitchedOff) {
    lumidesk::frmFind* window = lumidesk::frmFind::instance();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Find and Replace"));
    QStringList choices;
    for (int i = 0; i < window->cbxMatch()->entryCount(); ++i)
        choices << window->cbxMatch()->entry(i);
    EXPECT_EQ(choices, (QStringList{QStringLiteral("Any Part of Field"), QStringLiteral("Whole Field"),
                                    QStringLiteral("Start of Field")}));
    EXPECT_EQ(window->cbxMatch()->text(), QStringLiteral("Whole Field"));
    EXPECT_FALSE(window->SSTab1()->isTabEnabled(1));
    EXPECT_FALSE(window->cmdFindNext()->isEnabled());
    type(*window, QStringLiteral("S"));
    EXPECT_TRUE(window->cmdFindNext()->isEnabled());
    type(*window, QString());
    EXPECT_TRUE(window->cmdFindNext()->isEnabled()) << "clearing the text does not switch it off again";
}

// Whole Field compares the whole first cell with case; the other choices look for a part,
// still with case, and take the text literally.
TEST_F(FindWindow, FindNextSelectsTheFirstMatchingRow) {
    struct Case {
        QString text;
        QString match;
        int row;
    };
    const QList<Case> cases = {
        {QStringLiteral("Sales"), lumidesk::kMatchWholeField, 2},
        {QStringLiteral("sales"), lumidesk::kMatchWholeField, -1},
        {QStringLiteral("first"), lumidesk::kMatchWholeField, -1},
        {QStringLiteral("Sale"), lumidesk::kMatchWholeField, -1},
        {QStringLiteral("ale"), lumidesk::kMatchAnyPart, 2},
        {QStringLiteral("LES"), lumidesk::kMatchAnyPart, 1},
        {QStringLiteral("*2%_"), lumidesk::kMatchAnyPart, 4},
        {QStringLiteral("S%"), lumidesk::kMatchAnyPart, -1},
        {QStringLiteral("Sales "), lumidesk::kMatchStart, 5},
        {QStringLiteral("orth"), lumidesk::kMatchStart, -1},
    };
    lumidesk::frmFind* window = lumidesk::frmFind::instance();
    for (const Case& c : cases) {
        SCOPED_TRACE((c.text + QStringLiteral(" / ") + c.match).toStdString());
        data_->grid->clearSelection();
        window->cbxMatch()->setText(c.match);
        type(*window, c.text);
        ScopedScriptedUi ui;
        for (int click = 0; click < 2; ++click) {
            window->cmdFindNext()->click();
            EXPECT_EQ(data_->grid->selectedRows(), c.row < 0 ? QList<int>{} : QList<int>{c.row});
        }
        EXPECT_TRUE(ui->asked().empty());
        EXPECT_EQ(lumidesk::FindInGrid(c.text, QString(), c.match), c.row);
    }
    QStringList kept;
    for (int i = 0; i < window->cbxFind()->entryCount(); ++i)
        kept << window->cbxFind()->entry(i);
    EXPECT_EQ(kept.size(), 2 * cases.size()) << "every search is kept in the list";
    EXPECT_EQ(kept.first(), QStringLiteral("Sales"));
}

TEST_F(FindWindow, OnlyTheThreeNamedGridsAreSearched) {
    lumidesk::frmFind* window = lumidesk::frmFind::instance();
    type(*window, QStringLiteral("North"));

    focus(data_->other);
    window->cmdFindNext()->click();
    EXPECT_TRUE(data_->other->selectedRows().isEmpty());
    EXPECT_TRUE(data_->grid->selectedRows().isEmpty());

    auto box = new QLineEdit(data_->window);
    focus(box);
    window->cmdFindNext()->click();
    EXPECT_TRUE(data_->grid->selectedRows().isEmpty());

    for (const QString& name : lumidesk::kSearchableGrids) {
        data_->grid->setObjectName(name);
        data_->grid->clearSelection();
        focus(data_->grid);
        window->cmdFindNext()->click();
        EXPECT_EQ(data_->grid->selectedRows(), QList<int>{0}) << name.toStdString();
    }
    core::gOptions->ActiveForm = nullptr;
    data_->grid->clearSelection();
    window->cmdFindNext()->click();
    EXPECT_TRUE(data_->grid->selectedRows().isEmpty());
}

TEST_F(FindWindow, FindsInTheExplorersStatusGrid) {
    addBudget(QStringLiteral("Q1"));
    exec(QStringLiteral("INSERT INTO UsersData (Users, Folder_Name) VALUES ('Ann', 'Sales')"));
    for (const char* file : {"North.xlsx", "South.xlsx", "north.xlsx"})
        exec(QStringLiteral(
                 "INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Budget_Name) "
                 "VALUES (?, 'Ann', 1, 'Q1')"),
             {QString::fromLatin1(file)});
    core::gOptions->DatabaseMode = QStringLiteral("Local");
    core::gOptions->BudgetNameContext = QStringLiteral("Q1");
    ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    lumidesk::frmDataTable* explorer = lumidesk::frmDataTable::Display();
    core::gOptions->ActiveForm = explorer;
    platform::ui::DataGrid* grid = explorer->dtUFStatus();
    focus(grid);
    QStringList shown;
    for (int row = 0; row < grid->rowCount(); ++row)
        shown << grid->cellText(row, 0);
    const int expected = static_cast<int>(shown.indexOf(QStringLiteral("South.xlsx")));
    ASSERT_GE(expected, 0) << shown.join(QLatin1Char(',')).toStdString();
    grid->clearSelection();

    lumidesk::frmFind* window = lumidesk::frmFind::instance();
    type(*window, QStringLiteral("South.xlsx"));
    window->cmdFindNext()->click();
    EXPECT_EQ(grid->selectedRows(), QList<int>{expected});
    delete explorer;
}

TEST_F(FindWindow, CancelUnloadsTheWindow) {
    lumidesk::frmFind* window = lumidesk::frmFind::instance();
    window->cmdCancel()->click();
    deliverDeferredDeletes();
    EXPECT_EQ(lumidesk::frmFind::loaded(), nullptr);
}

} // namespace
