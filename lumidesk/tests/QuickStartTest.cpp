// The QuickStart window and its run, with the program's own budget record and address import
// installed as the wizard's hooks, on a private master database and master workbooks saved by
// LibreOffice.
#include "wizard/QuickStart.h"

#include "BudgetRowsFixture.h"
#include "core/RunGuard.h"
#include "core/cOptions.h"
#include "lumidesk/BudgetRecords.h"
#include "mail/ContactsFolder.h"
#include "platform/sys/FileFacts.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/WizardControl.h"
#include "support/ChildProcess.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"
#include "wizard/BudgetPages.h"
#include "wizard/BuildAllUserFiles.h"
#include "wizard/MasterFileIntake.h"
#include "wizard/WizardHooks.h"
#include "wizard/WizardServices.h"
#include "wizard/frmQSWizard.h"
#include "wizard/frmWizard.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using platform::ui::Answer;
using testsupport::ScopedScriptedUi;
using wizard::frmQSWizard;

const QString kPlaceholder = QStringLiteral("<Dummy record>");

// Two master workbooks as a spreadsheet program saves them: openpyxl writes the sheets with
// their formulas, LibreOffice saves them again (shared strings, computed results).
QString makeLibreOfficeWorkbooks() {
    const QString folder = testsupport::freshDir(QStringLiteral("lo-books"));
    const QString script = QStringLiteral(R"py(
import os, sys, tempfile
import openpyxl
sys.path.insert(0, sys.argv[1])
import office
out = sys.argv[2]
src = tempfile.mkdtemp(prefix="qs-src-")
books = {"a.xlsx": ["Sales", "Costs"], "b.xlsx": ["Staff", "Travel"]}
for name, sheets in books.items():
    wb = openpyxl.Workbook()
    wb.remove(wb.active)
    for title in sheets:
        ws = wb.create_sheet(title)
        ws.append(["Item", "Q1", "Q2", "Total"])
        ws.append(["Rent", 100, 120, "=B2+C2"])
        ws.append(["Power", 40, 45, "=B3+C3"])
        ws.append(["Total", "=SUM(B2:B3)", "=SUM(C2:C3)", "=SUM(D2:D3)"])
    wb.save(os.path.join(src, name))
    office.convert(os.path.join(src, name), out, "xlsx:Calc MS Excel 2007 XML")
)py");
    const testsupport::ProgramResult run =
        testsupport::runPython({QStringLiteral("-c"), script, testsupport::fixturePath(QString()), folder});
    EXPECT_TRUE(run.finished && run.exitCode == 0) << qPrintable(run.err);
    for (const char* name : {"a.xlsx", "b.xlsx"})
        EXPECT_TRUE(QFile::exists(folder + u'/' + QLatin1String(name))) << "LibreOffice saved no " << name;
    return folder;
}

class QuickStart : public lumidesktest::BudgetRowsFixture {
protected:
    static void SetUpTestSuite() { made_ = new QString(makeLibreOfficeWorkbooks()); }
    static void TearDownTestSuite() {
        delete made_;
        made_ = nullptr;
    }

    void SetUp() override {
        BudgetRowsFixture::SetUp();
        folder_ = testsupport::freshDir(QStringLiteral("masters"));
        for (const char* name : {"a.xlsx", "b.xlsx"}) {
            const QString target = folder_ + u'/' + QLatin1String(name);
            ASSERT_TRUE(QFile::copy(*made_ + u'/' + QLatin1String(name), target));
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        }
        wizard::setWizardHooks({{}, {}, lumidesk::CreateBudgetRecord, lumidesk::ImportContactAddresses});
    }

    void TearDown() override {
        delete frmQSWizard::loaded();
        delete wizard::frmWizard::loaded();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        wizard::setWizardHooks({});
        BudgetRowsFixture::TearDown();
    }

    QString path(const char* name) const { return folder_ + u'/' + QLatin1String(name); }

    // The window as the main window opens it for dropped workbooks, filled in by the user.
    frmQSWizard& open(const QStringList& names, const QString& author = QStringLiteral("Nora"),
                      const QString& address = QStringLiteral("nora@example.org"),
                      const QString& project = QStringLiteral("Plan 2026")) {
        QList<wizard::QSWorkbookRow> rows;
        for (const QString& name : names)
            rows.append({name, folder_ + u'/' + name});
        EXPECT_TRUE(wizard::ShowQSWizard(nullptr, frmQSWizard::kCaption, rows));
        frmQSWizard* form = frmQSWizard::loaded();
        form->tbxAuthorName()->setText(author);
        form->tbxEmailAddress()->setText(address);
        form->tbxProjectName()->setText(project);
        return *form;
    }

    // Per row of the list: its text, and "+Done" when it shows "Done" on green.
    static QStringList listState(const platform::ui::ListBox& list) {
        QStringList state;
        for (int i = 0; i < list.listCount(); ++i)
            state << list.subItem(i) +
                         (frmQSWizard::isDoneRow(list, i) ? QStringLiteral("+Done") : QString());
        return state;
    }

    QStringList admins() {
        return rows(QStringLiteral("SELECT Admin_Name, Admin_Email_Address, \"Default\", RecType FROM Admin "
                                   "WHERE Admin_Name <> ? ORDER BY Admin_Name"),
                    {kPlaceholder});
    }
    QStringList realRows(const QString& sql) { return rows(sql, {kPlaceholder}); }

    static inline QString* made_ = nullptr;
    QString folder_;
};

// Two workbooks and a new author: one budget with two master workbooks, every worksheet picked
// under LumiWizardFiles and cut, the user files registered, the rows "Done" on green. Started
// again on the same workbooks, the run refuses the first, which a budget now tracks.
TEST_F(QuickStart, TwoWorkbooksBecomeOneBudgetAndAreNotTakenTwice) {
    frmQSWizard& form = open({QStringLiteral("a.xlsx"), QStringLiteral("b.xlsx")});
    ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    form.cmdStart()->click();

    EXPECT_EQ(ui->messageTexts(), QStringList{wizard::kAddressImportQuestion});
    EXPECT_EQ(admins(), QStringList{"Nora|nora@example.org|1|Author"}) << "the first author is the default";
    EXPECT_EQ(realRows("SELECT Budget_Name, Active, Admin_Name FROM Budgets WHERE Budget_Name <> ?"),
              QStringList{"Plan 2026|1|Nora"});
    EXPECT_EQ(realRows("SELECT Master_File, Path, Budget_Name FROM MasterFiles WHERE Master_File <> ? "
                       "ORDER BY ID_MasterFiles"),
              (QStringList{"a.xlsx|" + folder_ + "|Plan 2026", "b.xlsx|" + folder_ + "|Plan 2026"}));
    EXPECT_EQ(
        realRows("SELECT Worksheet_Name, Master_File, Select_By_User, Folder_Name, User_Filename "
                 "FROM Worksheets WHERE Worksheet_Name <> ? ORDER BY ID_Worksheets"),
        (QStringList{"Sales|a.xlsx|1|LumiWizardFiles|Sales.xlsx", "Costs|a.xlsx|1|LumiWizardFiles|Costs.xlsx",
                     "Staff|b.xlsx|1|LumiWizardFiles|Staff.xlsx",
                     "Travel|b.xlsx|1|LumiWizardFiles|Travel.xlsx"}));
    EXPECT_EQ(realRows("SELECT Folder_Name FROM FolderNames WHERE Folder_Name <> ?"),
              QStringList{"LumiWizardFiles"});
    QStringList registered = realRows("SELECT User_Filename, Master_File, Budget_Name, Folder_Name "
                                      "FROM UserFileTablesData WHERE User_Filename <> ?");
    registered.sort();
    EXPECT_EQ(registered, (QStringList{"Costs.xlsx|a.xlsx|Plan 2026|LumiWizardFiles",
                                       "Sales.xlsx|a.xlsx|Plan 2026|LumiWizardFiles",
                                       "Staff.xlsx|b.xlsx|Plan 2026|LumiWizardFiles",
                                       "Travel.xlsx|b.xlsx|Plan 2026|LumiWizardFiles"}));
    for (const char* sheet : {"Sales", "Costs", "Staff", "Travel"})
        EXPECT_TRUE(QFile::exists(folder_ + "/LumiWizardFiles/" + sheet + ".xlsx")) << sheet;
    EXPECT_EQ(listState(*form.lbxWorkbooks()), (QStringList{"a.xlsx+Done", "b.xlsx+Done"}));
    EXPECT_EQ(listState(*form.lbxOptions()),
              (QStringList{"Name the budget+Done", "Build all worksheets as templates+Done",
                           "Name the template folders+Done", "Create the user file templates+Done",
                           "Select the user group email list"}));
    EXPECT_EQ(form.lbxWorkbooks()->subItem(1, frmQSWizard::kWorkbookPath), path("b.xlsx"));
    EXPECT_EQ(core::gOptions->QuickStartMode, QStringLiteral("Auto"));
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Plan 2026"));

    ui->clear();
    form.cmdStart()->click();
    EXPECT_EQ(ui->messageTexts(), QStringList{wizard::kTrackedWorkbookText});
    EXPECT_EQ(realRows("SELECT Master_File FROM MasterFiles WHERE Master_File <> ?").size(), 2);
    EXPECT_EQ(admins().size(), 1) << "a known author gets no second row";
}

// A workbook whose name a master workbook of the project's budget already has, from another
// folder, is refused as the wizard's Add refuses it: no second master row, nothing marked done,
// and the budget's Build All still builds every user file.
TEST_F(QuickStart, AWorkbookOfANameTheProjectHoldsIsRefused) {
    frmQSWizard& form = open({QStringLiteral("a.xlsx")});
    ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    form.cmdStart()->click();
    delete &form;

    const QString other = testsupport::freshDir(QStringLiteral("other-masters"));
    ASSERT_TRUE(QFile::copy(path("a.xlsx"), other + QStringLiteral("/a.xlsx")));
    QList<wizard::QSWorkbookRow> rows{{QStringLiteral("a.xlsx"), other + QStringLiteral("/a.xlsx")}};
    ASSERT_TRUE(wizard::ShowQSWizard(nullptr, frmQSWizard::kCaption, rows));
    frmQSWizard& again = *frmQSWizard::loaded();
    again.tbxProjectName()->setText(QStringLiteral("PLAN 2026"));
    ui->clear();
    again.cmdStart()->click();
    EXPECT_EQ(ui->messageTexts(), QStringList{wizard::kDuplicateMasterText});
    EXPECT_EQ(realRows("SELECT Master_File || '|' || Path FROM MasterFiles WHERE Master_File <> ?"),
              QStringList{"a.xlsx|" + folder_});
    EXPECT_EQ(listState(*again.lbxWorkbooks()), QStringList{"a.xlsx"});
    EXPECT_FALSE(QDir(other + "/LumiWizardFiles").exists());

    ui->clear();
    QFile::remove(folder_ + "/LumiWizardFiles/Sales.xlsx");
    wizard::BuildAllUserFiles(true, false);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_TRUE(QFile::exists(folder_ + "/LumiWizardFiles/Sales.xlsx"));
}

// A master workbook open elsewhere ends the run at that workbook: its sheets are listed but not
// cut, the workbooks after it are not taken, nothing is marked done and nothing more is asked.
TEST_F(QuickStart, AWorkbookInUseEndsTheRun) {
    QFile lock(platform::sys::WorkbookLockFilePath(path("a.xlsx")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    frmQSWizard& form = open({QStringLiteral("a.xlsx"), QStringLiteral("b.xlsx")});
    ScopedScriptedUi ui;
    form.cmdStart()->click();
    lock.remove();

    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("The workbook [a.xlsx] is in use.  Close the file to continue.")});
    EXPECT_EQ(realRows("SELECT Master_File FROM MasterFiles WHERE Master_File <> ?"), QStringList{"a.xlsx"});
    EXPECT_TRUE(realRows("SELECT User_Filename FROM UserFileTablesData WHERE User_Filename <> ?").isEmpty());
    EXPECT_FALSE(QDir(folder_ + "/LumiWizardFiles").exists());
    EXPECT_EQ(listState(*form.lbxWorkbooks()), (QStringList{"a.xlsx", "b.xlsx"}));
}

// A cut that fails part way (a folder where the second user file is to go): the user file cut
// before the failure is registered, so it can be assigned and merged.
TEST_F(QuickStart, TheUserFilesCutBeforeAFailedCutAreRegistered) {
    ASSERT_TRUE(QDir().mkpath(folder_ + "/LumiWizardFiles/Costs.xlsx"));
    frmQSWizard& form = open({QStringLiteral("a.xlsx")});
    ScopedScriptedUi ui;
    ui->answerMessages({Answer::Ok, Answer::No});
    form.cmdStart()->click();

    ASSERT_FALSE(ui->messageTexts().isEmpty());
    EXPECT_TRUE(ui->messageTexts().front().startsWith(QStringLiteral("Error ")))
        << ui->messageTexts().front().toStdString();
    EXPECT_TRUE(QFile::exists(folder_ + "/LumiWizardFiles/Sales.xlsx"));
    EXPECT_EQ(realRows("SELECT User_Filename, Folder_Name FROM UserFileTablesData WHERE User_Filename <> ?"),
              QStringList{"Sales.xlsx|LumiWizardFiles"});
}

// Nothing is written for an empty author or address, nor for a project name that the wizard's
// new-budget page refuses (empty, the placeholder's, one with an apostrophe, which the box then
// holds without): each is told. The interactive mode is only announced.
TEST_F(QuickStart, RefusalsBeforeTheBuild) {
    const struct {
        const char* what;
        QString author, address, project;
        bool automatic;
        QStringList messages;
        QStringList admins;
        QString projectLeft;
    } cases[] = {
        {"no author", "", "nora@example.org", "Plan", true, {wizard::kEnterAuthorText}, {}, "Plan"},
        {"no address", "Nora", "", "Plan", true, {wizard::kEnterAddressText}, {}, "Plan"},
        {"no project", "Nora", "nora@example.org", "  ", true, {wizard::kEnterValidNameText}, {}, "  "},
        {"the placeholder",
         "Nora",
         "nora@example.org",
         "<dummy RECORD>",
         true,
         {wizard::kEnterValidNameText},
         {},
         "<dummy RECORD>"},
        {"an apostrophe",
         "Nora",
         "nora@example.org",
         "Bob's plan",
         true,
         {wizard::kApostropheText},
         {},
         "Bobs plan"},
        {"interactive",
         "Nora",
         "nora@example.org",
         "Plan",
         false,
         {wizard::kInteractiveModeText},
         {"Nora|nora@example.org|1|Author"},
         "Plan"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Admin WHERE Admin_Name <> ?"), {kPlaceholder});
        frmQSWizard& form = open({QStringLiteral("a.xlsx")}, c.author, c.address, c.project);
        if (!c.automatic)
            form.chkWizDecide()->click();
        ScopedScriptedUi ui;
        form.cmdStart()->click();
        EXPECT_EQ(ui->messageTexts(), c.messages);
        EXPECT_EQ(form.tbxProjectName()->text(), c.projectLeft);
        EXPECT_EQ(admins(), c.admins);
        EXPECT_TRUE(realRows("SELECT Budget_Name FROM Budgets WHERE Budget_Name <> ?").isEmpty());
        EXPECT_TRUE(realRows("SELECT Master_File FROM MasterFiles WHERE Master_File <> ?").isEmpty());
        delete &form;
    }
    EXPECT_EQ(core::gOptions->QuickStartMode, QStringLiteral("Interactive"));
}

// The author's row: none for a name any Admin row has (letter case aside, mail accounts too);
// a new author becomes the default only when no author is the default yet.
TEST_F(QuickStart, TheAuthorBecomesTheDefaultOnlyWhenThereIsNone) {
    const struct {
        const char* what;
        const char* before; // rows: name, default, record type
        QStringList after;
    } cases[] = {
        {"no author yet", "", {"Nora|nora@example.org|1|Author"}},
        {"another default author",
         "('Ann', 1, 'Author')",
         {"Ann|<null>|1|Author", "Nora|nora@example.org|0|Author"}},
        {"the placeholder only counts for nothing",
         "('<Dummy record>', 1, NULL)",
         {"Nora|nora@example.org|1|Author"}},
        {"a mail account of that name", "('nora', 0, 'Robot')", {"nora|<null>|0|Robot"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Admin"));
        if (*c.before)
            exec(QStringLiteral("INSERT INTO Admin (Admin_Name, \"Default\", RecType) VALUES ") +
                 QLatin1String(c.before));
        // The interactive mode stops right after the author's row.
        frmQSWizard& form = open({QStringLiteral("a.xlsx")});
        form.chkWizDecide()->click();
        ScopedScriptedUi ui;
        form.cmdStart()->click();
        EXPECT_EQ(admins(), c.after);
        delete &form;
    }
}

// Start while a run is under way (here: clicked again from inside the first run) is refused
// with the guard's message; the first run goes on to its end.
TEST_F(QuickStart, ASecondStartInsideTheRunIsRefused) {
    frmQSWizard& form = open({QStringLiteral("a.xlsx")});
    int inner = 0;
    wizard::WizardHooks hooks;
    hooks.createBudgetRecord = [&form, &inner](const QString& file, const QString& folder) {
        ++inner;
        form.cmdStart()->click();
        return lumidesk::CreateBudgetRecord(file, folder);
    };
    wizard::setWizardHooks(hooks);
    ScopedScriptedUi ui;
    ui->answerMessages({Answer::Ok, Answer::No});
    form.cmdStart()->click();
    EXPECT_EQ(inner, 1) << "the second Start did not reach the budget record";
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{core::RunGuard::kRefusedText, wizard::kAddressImportQuestion}));
    EXPECT_EQ(listState(*form.lbxWorkbooks()), QStringList{"a.xlsx+Done"});
    EXPECT_FALSE(core::RunGuard::isRunning());
}

// Yes to the address question reads the contacts' "Contacts" book into the users (new names
// only) and marks step 5; Yes to the assignment question closes the window and opens the Setup
// Budget Wizard on its assignment page for the new budget, loaded afresh when it was open on
// another budget.
TEST_F(QuickStart, AddressImportAndTheAssignmentPage) {
    const QString contacts = testsupport::freshDir(QStringLiteral("contacts"));
    platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                mail::kContactsFolderKey, contacts);
    QFile book(contacts + QStringLiteral("/Contacts.vcf"));
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
    book.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoe\r\nEMAIL:zoe@example.org\r\nEND:VCARD\r\n"
               "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Max\r\nEMAIL:max@example.org\r\nEND:VCARD\r\n");
    book.close();
    exec(QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES ('zoe', 'old@example.org')"));

    frmQSWizard& form = open({QStringLiteral("a.xlsx")});
    ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes, Answer::No});
    form.cmdStart()->click();
    // The question names the contacts folder the import reads.
    EXPECT_EQ(ui->messageTexts(),
              (QStringList{QStringLiteral("If you keep your addresses in the contacts folder, the Wizard can "
                                          "continue. Emails will NOT be sent!"),
                           wizard::kAssignmentQuestion}));
    EXPECT_EQ(realRows("SELECT Users, Email_Address FROM UsersData WHERE Users <> ? ORDER BY Users"),
              (QStringList{"max|max@example.org", "zoe|old@example.org"}));
    EXPECT_TRUE(frmQSWizard::isDoneRow(*form.lbxOptions(), 4)) << "step 5 done";
    EXPECT_EQ(frmQSWizard::loaded(), &form) << "the window stays after No";
    EXPECT_EQ(wizard::frmWizard::loaded(), nullptr);
    delete &form;

    exec(QStringLiteral("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Earlier', 'Nora')"));
    exec(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Budget_Name, Select_By_User) "
                        "VALUES ('Old.xlsx', 'Earlier', 1)"));
    core::gOptions->BudgetNameContext = QStringLiteral("Earlier");
    core::gOptions->WizPageRequest = 3;
    auto* earlier = new wizard::frmWizard;
    earlier->show();
    frmQSWizard& second = open({QStringLiteral("b.xlsx")});
    ui->answerMessages({Answer::Yes, Answer::Yes});
    second.cmdStart()->click();
    EXPECT_EQ(frmQSWizard::loaded(), nullptr);
    wizard::frmWizard* setup = wizard::frmWizard::loaded();
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->EZWiz()->currentPage(), 5);
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("Plan 2026"));
    EXPECT_TRUE(setup->windowTitle().endsWith(QStringLiteral("[Context: Plan 2026]")))
        << setup->windowTitle().toStdString();
    QStringList assigned;
    for (int row = 0; row < setup->dtUFAssign()->rowCount(); ++row)
        assigned << setup->dtUFAssign()->cellText(row, 0);
    EXPECT_EQ(assigned, (QStringList{"Costs.xlsx", "Sales.xlsx", "Staff.xlsx", "Travel.xlsx"}))
        << "the new budget's user files, not the earlier budget's";
    platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                 mail::kContactsFolderKey);
}

// The window as it loads: the default author and address, the proposed project, seven steps
// unselected. The mode box switches between seven unselected steps and unselected workbooks and
// five selected steps with every workbook selected; steps 6 and 7 never show. A second opener
// adds its workbooks after the listed ones and sets the caption.
TEST_F(QuickStart, TheWindowAndItsModeBox) {
    exec(QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, \"Default\", RecType) "
                        "VALUES ('Ann', 'ann@example.org', 1, 'Author')"));
    ScopedScriptedUi ui;
    ASSERT_TRUE(wizard::ShowQSWizard(nullptr, frmQSWizard::kCaption, {{"a.xlsx", path("a.xlsx")}}));
    frmQSWizard* form = frmQSWizard::loaded();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->tbxAuthorName()->text(), QStringLiteral("Ann"));
    EXPECT_EQ(form->tbxEmailAddress()->text(), QStringLiteral("ann@example.org"));
    EXPECT_EQ(form->tbxProjectName()->text(), QStringLiteral("WizardProject"));
    EXPECT_TRUE(form->chkWizDecide()->isChecked());
    EXPECT_EQ(listState(*form->lbxOptions()), frmQSWizard::stepCaptions());
    EXPECT_TRUE(form->lbxOptions()->selectedItems().isEmpty());

    const QString menuCaption = QStringLiteral("QuickStart Wizard [") + path("b.xlsx") + u']';
    ASSERT_TRUE(wizard::ShowQSWizard(nullptr, menuCaption, {{"b.xlsx", path("b.xlsx")}}));
    EXPECT_EQ(frmQSWizard::loaded(), form) << "one window";
    EXPECT_EQ(form->windowTitle(), menuCaption);
    EXPECT_EQ(listState(*form->lbxWorkbooks()), (QStringList{"a.xlsx", "b.xlsx"}));

    form->chkWizDecide()->click();
    EXPECT_EQ(form->lbxOptions()->listCount(), 7);
    EXPECT_TRUE(form->lbxOptions()->selectedItems().isEmpty());
    EXPECT_TRUE(form->lbxWorkbooks()->selectedItems().isEmpty());
    form->chkWizDecide()->click();
    EXPECT_EQ(listState(*form->lbxOptions()), frmQSWizard::stepCaptions().mid(0, 5));
    EXPECT_EQ(form->lbxOptions()->selectedItems().size(), 5);
    EXPECT_EQ(form->lbxWorkbooks()->selectedItems().size(), 2);
    EXPECT_EQ(form->lbxWorkbooks()->subItem(1, frmQSWizard::kWorkbookPath), path("b.xlsx"));

    form->cmdOK()->click();
    EXPECT_EQ(frmQSWizard::loaded(), nullptr) << "OK unloads the window";
    EXPECT_TRUE(ui->asked().empty());
}

// After a run of two workbooks, as the user sees it: every named control inside the window and
// none on top of another. With LUMIDESK_SCREENSHOT_DIR set, its picture is saved there as
// quickstart.png.
TEST_F(QuickStart, TheWindowAfterARun) {
    frmQSWizard& form = open({QStringLiteral("a.xlsx"), QStringLiteral("b.xlsx")});
    ScopedScriptedUi ui;
    ui->answerMessages({Answer::No});
    form.cmdStart()->click();
    form.show();
    QCoreApplication::processEvents();

    QList<QWidget*> controls;
    for (QWidget* child : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && !child->objectName().isEmpty() && !child->objectName().startsWith(u"qt_"))
            controls << child;
    EXPECT_EQ(controls.size(), 14);
    for (int i = 0; i < controls.size(); ++i) {
        EXPECT_TRUE(form.rect().contains(controls[i]->geometry())) << controls[i]->objectName().toStdString();
        for (int j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << controls[i]->objectName().toStdString() << " and "
                << controls[j]->objectName().toStdString();
        }
    }
    const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(form.grab().save(folder + QStringLiteral("/quickstart.png")));
    }
}

} // namespace
