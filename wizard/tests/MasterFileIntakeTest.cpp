// Registering master workbooks and listing their sheets, on real database files and on
// workbooks made by openpyxl and LibreOffice: the file dialog and its question, the refusals
// (duplicate, tracked elsewhere), the new row found by its key, chart sheets left out,
// protected sheets and workbooks with their passwords stored scrambled, and the paths that
// delete the new row again (password dialog cancelled, workbook unreadable).
#include "wizard/MasterFileIntake.h"

#include "core/RunGuard.h"
#include "core/frmWait.h"
#include "platform/ui/LoadedWindows.h"
#include "support/WindowScript.h"
#include "wizard/MasterSheetListing.h"
#include "wizard/tests/MasterIntakeFixture.h"

#include <gtest/gtest.h>

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;
using testsupport::ScopedScriptedUi;
using testsupport::WindowScript;
using wizardtest::kCostsPassword;
using wizardtest::kOpenPassword;
using wizardtest::kWritePassword;

class MasterFileIntake : public wizardtest::MasterIntakeFixture {
protected:
    void TearDown() override {
        EXPECT_EQ(platform::ui::LoadedWindows::find(QStringLiteral("frmEnterWBPwd")), nullptr)
            << "the password dialog is unloaded";
        EXPECT_EQ(core::frmWait::loaded(), nullptr) << "the wait window is unloaded";
        EXPECT_FALSE(core::RunGuard::isRunning());
        MasterIntakeFixture::TearDown();
    }

    static QString listed(const QString& sheet, qint64 id, const QString& master = "Budget.xlsx",
                          const QString& picked = "0", const QString& folder = "-") {
        return QStringList{sheet, master, "Plan", QString::number(id), picked, folder}.join(u'|');
    }
    static qint64 idOf(const QString& file) {
        return scalar("SELECT ID_MasterFiles FROM MasterFiles WHERE Master_File = ?", {file}).toLongLong();
    }
    static QString sheetPassword(const QString& sheet) {
        return core::DecodeString(
            scalar("SELECT WS_Password FROM Worksheets WHERE Worksheet_Name = ?", {sheet}).toString());
    }
};

TEST_F(MasterFileIntake, AddRegistersTheChosenWorkbookAndListsItsSheets) {
    const QString path = copyBudgetFixture("Budget.xlsx", folder_, "Budget.xlsx");
    ScopedScriptedUi ui;
    ui->answerTexts({path, QStringLiteral("wrong"), kCostsPassword});
    ui->answerMessages({Answer::Yes});
    wizard::AddMasterBudgetFiles();

    ASSERT_EQ(ui->asked().size(), 4u);
    EXPECT_EQ(ui->asked()[0].kind, "openFile");
    EXPECT_EQ(ui->asked()[0].title, "Find Master Budget Files");
    EXPECT_EQ(ui->asked()[0].filter, "Excel Files (*.xlsx *.xlsm);;All Files (*)");
    EXPECT_EQ(ui->asked()[1].text, "Add - " + path + " to list?");
    EXPECT_EQ(ui->asked()[1].title, "Add Master Budget Files to List");
    EXPECT_EQ(ui->asked()[1].buttons, Buttons::YesNo);
    for (int i : {2, 3}) {
        EXPECT_EQ(ui->asked()[i].kind, "input") << "a wrong sheet password asks again";
        EXPECT_EQ(ui->asked()[i].text, "Costs is protected.  To add it to Lumivane, enter the Password or "
                                       "unprotect it.");
        EXPECT_EQ(ui->asked()[i].title, "Provide worksheet password");
    }

    EXPECT_EQ(rows("SELECT Master_File, Templates, Folder_Name, Drive, Path, Budget_Name, MFPwdsSet, "
                   "Process_Date IS NOT NULL FROM MasterFiles WHERE Master_File <> '<Dummy record>'"),
              QStringList{"Budget.xlsx|0|Master|/|" + folder_ + "|Plan|0|1"});
    const qint64 id = idOf("Budget.xlsx");
    EXPECT_EQ(sheetRows(), (QStringList{listed("Sales", id), listed("Costs", id), listed("Rates", id),
                                        listed("Summary", id)}));
    EXPECT_EQ(sheetPassword("Costs"), kCostsPassword);
    EXPECT_NE(scalar("SELECT WS_Password FROM Worksheets WHERE Worksheet_Name = 'Costs'").toString(),
              kCostsPassword)
        << "stored scrambled";
    EXPECT_TRUE(scalar("SELECT WS_Password FROM Worksheets WHERE Worksheet_Name = 'Sales'").isNull());
}

TEST_F(MasterFileIntake, NoAsksAgainAndCancelOrAMissingFileEndsWithoutAWord) {
    const QString path = makeWorkbook(folder_ + "/Budget.xlsx", plainSheets({"Sales"}));
    struct Case {
        const char* name;
        std::optional<QString> secondChoice;
    };
    for (const Case& c : {Case{"cancelled", std::nullopt}, Case{"no such file", folder_ + "/Typed.xlsx"}}) {
        SCOPED_TRACE(c.name);
        ScopedScriptedUi ui;
        ui->answerTexts({path, c.secondChoice});
        ui->answerMessages({Answer::No});
        wizard::AddMasterBudgetFiles();
        ASSERT_EQ(ui->asked().size(), 3u);
        EXPECT_EQ(ui->asked()[2].kind, "openFile") << "No opens the dialog again";
        EXPECT_TRUE(masterRows().isEmpty());
        EXPECT_TRUE(sheetRows().isEmpty());
    }
}

TEST_F(MasterFileIntake, RefusesADuplicateNameAndAFileTrackedByAnotherBudget) {
    const QString path = makeWorkbook(folder_ + "/Budget.xlsx", plainSheets({"Sales"}));
    const QString elsewhere = testsupport::freshDir("elsewhere");
    struct Case {
        const char* name;
        QString file, folder, budget;
        QString message; // "" = accepted
    };
    const Case cases[] = {
        {"same name from another folder", "BUDGET.XLSX", elsewhere, "plan",
         "This is a duplicate master file."},
        {"tracked by another budget", "Budget.xlsx", folder_ + "/", "Other",
         "This workbook is being tracked in the budget named Other.  You cannot add it here."},
        {"same name in another budget and folder", "Budget.xlsx", elsewhere, "Other", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute("DELETE FROM MasterFiles");
        execute("DELETE FROM Worksheets");
        addMasterRow(c.file, c.folder, c.budget);
        ScopedScriptedUi ui;
        ui->answerTexts({path});
        ui->answerMessages({Answer::Yes});
        wizard::AddMasterBudgetFiles();
        if (c.message.isEmpty()) {
            EXPECT_EQ(ui->messageTexts(), QStringList{"Add - " + path + " to list?"});
            EXPECT_EQ(masterRows(), (QStringList{"Budget.xlsx|" + c.budget, "Budget.xlsx|Plan"}));
            const qint64 id =
                scalar("SELECT ID_MasterFiles FROM MasterFiles WHERE Budget_Name = 'Plan'").toLongLong();
            EXPECT_EQ(sheetRows(), QStringList{listed("Sales", id)});
        } else {
            EXPECT_EQ(ui->messageTexts(), (QStringList{"Add - " + path + " to list?", c.message}));
            EXPECT_EQ(ui->asked().back().title, "Lumivane");
            EXPECT_EQ(masterRows(), QStringList{c.file + u'|' + c.budget}) << "nothing added";
            EXPECT_TRUE(sheetRows().isEmpty());
        }
    }
}

// A workbook whose name another master workbook of the budget contains is a workbook of its own.
TEST_F(MasterFileIntake, BudgetBesideNewBudgetEachListsItsOwnSheets) {
    const QString newBudget = makeWorkbook(folder_ + "/NewBudget.xlsx", plainSheets({"North", "South"}));
    const QString budget = makeWorkbook(folder_ + "/Budget.xlsx", plainSheets({"East", "West"}));
    for (const QString& path : {newBudget, budget}) {
        ScopedScriptedUi ui;
        ui->answerTexts({path});
        ui->answerMessages({Answer::Yes});
        wizard::AddMasterBudgetFiles();
        EXPECT_EQ(ui->messageTexts().size(), 1) << "only the question";
    }
    const qint64 newId = idOf("NewBudget.xlsx");
    const qint64 id = idOf("Budget.xlsx");
    EXPECT_EQ(sheetRows(),
              (QStringList{listed("North", newId, "NewBudget.xlsx"), listed("South", newId, "NewBudget.xlsx"),
                           listed("East", id), listed("West", id)}));

    // Listing by name again finds its one row and adds nothing new.
    ScopedScriptedUi ui;
    wizard::LoadMasterWorkbookSheets(QStringLiteral("budget.xlsx"), false);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(sheetRows().size(), 4);
}

TEST_F(MasterFileIntake, ChartSheetsAreNotListedAndSheetsProtectedWithoutPasswordNeedNone) {
    const QString path =
        makeWorkbook(folder_ + "/Budget.xlsx", QJsonArray{QJsonObject{{"name", "Input"}},
                                                          QJsonObject{{"name", "Locked"}, {"protect", ""}},
                                                          QJsonObject{{"name", "Chart"}, {"chart", true}},
                                                          QJsonObject{{"name", "Hidden"}, {"hidden", true}}});
    const qint64 id = addMasterRow("Budget.xlsx", folder_);
    addMasterRow("Budget.xlsx", folder_, "Other"); // the same workbook in another budget stays unlisted
    ScopedScriptedUi ui;
    wizard::LoadMasterWorkbookSheets(QStringLiteral("Budget.xlsx"), false);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(sheetRows(), (QStringList{listed("Input", id), listed("Locked", id), listed("Hidden", id)}));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Worksheets WHERE WS_Password IS NOT NULL").toInt(), 0);
    EXPECT_EQ(
        scalar("SELECT Process_Date IS NOT NULL FROM MasterFiles WHERE ID_MasterFiles = ?", {id}).toInt(), 1);
}

TEST_F(MasterFileIntake, ProtectedSheetTakesItsPasswordOrIsSkipped) {
    makeWorkbook(folder_ + "/Budget.xlsx", QJsonArray{QJsonObject{{"name", "Open"}},
                                                      QJsonObject{{"name", "Costs"}, {"protect", "costs"}}});
    struct Case {
        const char* name;
        bool automatic;
        std::optional<QString> answer;
        QStringList rows; // with the key in place of %1
    };
    const Case cases[] = {
        {"cancelled", false, std::nullopt, {"Open|Budget.xlsx|Plan|%1|0|-"}},
        {"empty answer", false, QString(), {"Open|Budget.xlsx|Plan|%1|0|-"}},
        {"automatic with the password",
         true,
         kCostsPassword,
         {"Open|Budget.xlsx|Plan|%1|1|LumiWizardFiles", "Costs|Budget.xlsx|Plan|%1|1|-"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute("DELETE FROM MasterFiles");
        execute("DELETE FROM Worksheets");
        const qint64 id = addMasterRow("Budget.xlsx", folder_);
        ScopedScriptedUi ui;
        ui->answerTexts({c.answer});
        wizard::LoadMasterWorkbookSheets(QStringLiteral("Budget.xlsx"), c.automatic);
        EXPECT_EQ(ui->asked().size(), 1u);
        QStringList expected;
        for (const QString& row : c.rows)
            expected << row.arg(id);
        EXPECT_EQ(sheetRows(), expected);
        if (c.answer && !c.answer->isEmpty()) {
            EXPECT_EQ(sheetPassword("Costs"), kCostsPassword);
        }
    }
}

// The LibreOffice-made workbook with a file-open and a write password: OK with one box empty
// keeps the dialog, a wrong password of either kind is told and asked again, the right ones are
// stored scrambled. An answer left over from an earlier dialog does not answer this one.
TEST_F(MasterFileIntake, EncryptedWorkbookStoresBothPasswordsScrambled) {
    copyBudgetFixture("Encrypted.xlsx", folder_, "Budget.xlsx");
    const qint64 id = addMasterRow("Budget.xlsx", folder_);
    core::gOptions->CancelPwd = true;
    WindowScript script;
    const QString dialog = QStringLiteral("frmEnterWBPwd");
    // Each step: the file-open and write boxes as typed before OK.
    const std::pair<QString, QString> steps[] = {{kOpenPassword, QString()},
                                                 {QStringLiteral("not it"), kWritePassword},
                                                 {kOpenPassword, QStringLiteral("not it")},
                                                 {kOpenPassword, kWritePassword}};
    for (const auto& [open, write] : steps) {
        script.then(dialog, [open, write](QWidget& w) {
            testsupport::type(w, "tbxFOPwd", open);
            testsupport::type(w, "tbxWritePwd", write);
            testsupport::click(w, "cmdOK");
        });
    }
    ScopedScriptedUi ui;
    ui->answerTexts({kCostsPassword});
    wizard::LoadMasterWorkbookSheets(QStringLiteral("Budget.xlsx"), false);

    EXPECT_TRUE(script.done());
    EXPECT_EQ(ui->messageTexts(),
              QStringList(2, "The passwords do not open the workbook 'Budget.xlsx'. Enter them again."))
        << "a wrong file-open password and a wrong write password are each told";
    const auto stored = [id](const char* column) {
        return scalar(QStringLiteral("SELECT %1 FROM MasterFiles WHERE ID_MasterFiles = ?").arg(column), {id})
            .toString();
    };
    EXPECT_NE(stored("WBOpen_Password"), kOpenPassword);
    EXPECT_EQ(core::DecodeString(stored("WBOpen_Password")), kOpenPassword);
    EXPECT_EQ(core::DecodeString(stored("WBWrite_Password")), kWritePassword);
    EXPECT_EQ(stored("MFPwdsSet"), "1");
    EXPECT_EQ(sheetRows(), (QStringList{listed("Sales", id), listed("Costs", id), listed("Rates", id),
                                        listed("Summary", id)}));
    EXPECT_FALSE(core::gOptions->SetPwd);
    EXPECT_FALSE(core::gOptions->CancelPwd);
}

// Cancel and the close box of the password dialog both take the workbook back out.
TEST_F(MasterFileIntake, CancelledPasswordDialogLeavesNoRows) {
    copyBudgetFixture("Encrypted.xlsx", folder_, "Budget.xlsx");
    for (const char* how : {"cmdCancel", "close box"}) {
        SCOPED_TRACE(how);
        const qint64 id = addMasterRow("Budget.xlsx", folder_);
        core::gOptions->SetPwd = true; // left over: must not count as OK
        WindowScript script;
        script.then(QStringLiteral("frmEnterWBPwd"), [how](QWidget& w) {
            if (QLatin1String(how) == QLatin1String("cmdCancel"))
                testsupport::click(w, "cmdCancel");
            else
                w.close();
        });
        ScopedScriptedUi ui;
        wizard::LoadMasterWorkbookSheetsOfRow(id, false);
        EXPECT_TRUE(script.done());
        EXPECT_TRUE(ui->asked().empty());
        EXPECT_TRUE(masterRows().isEmpty());
        EXPECT_TRUE(sheetRows().isEmpty());
    }
}

TEST_F(MasterFileIntake, UnreadableWorkbookIsTakenOutAndToldWhy) {
    struct Case {
        const char* fixture;
        QString as;
        QString reason;
    };
    const Case cases[] = {
        {"damaged-zip.xlsx", "Budget.xlsx", "damaged"},
        {"not-a-workbook.xlsx", "Budget.xlsx", "is not a workbook"},
        {"legacy.xls", "Budget.xls", "save it as .xlsx first"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const QString path = sheettest::copyOfFixture(QString::fromLatin1(c.fixture), c.as);
        ScopedScriptedUi ui;
        ui->answerTexts({path});
        ui->answerMessages({Answer::Yes});
        wizard::AddMasterBudgetFiles();
        const QStringList told = ui->messageTexts();
        ASSERT_EQ(told.size(), 2);
        EXPECT_TRUE(told[1].startsWith("The workbook '" + c.as +
                                       "' cannot be opened and was not added to the "
                                       "budget. "))
            << told[1].toStdString();
        EXPECT_TRUE(told[1].contains(c.reason)) << told[1].toStdString();
        EXPECT_TRUE(masterRows().isEmpty());
        EXPECT_TRUE(sheetRows().isEmpty());
    }
}

TEST_F(MasterFileIntake, SheetNameOfAnotherMasterOfTheBudgetIsRefused) {
    makeWorkbook(folder_ + "/First.xlsx", plainSheets({"Sales", "Costs"}));
    makeWorkbook(folder_ + "/Second.xlsx", plainSheets({"SALES", "Rates"}));
    execute("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name) VALUES ('Rates', 'X.xlsx', "
            "'Other')");
    const qint64 first = addMasterRow("First.xlsx", folder_);
    const qint64 second = addMasterRow("Second.xlsx", folder_);
    ScopedScriptedUi ui;
    wizard::LoadMasterWorkbookSheets(QStringLiteral("First.xlsx"), false);
    wizard::LoadMasterWorkbookSheets(QStringLiteral("Second.xlsx"), false);
    EXPECT_EQ(ui->messageTexts(), QStringList{"Worksheet 'SALES' from 'Second.xlsx' duplicates a worksheet "
                                              "name from 'First.xlsx' and can't be entered"});
    EXPECT_EQ(ui->asked().front().title, "Lumivane");
    EXPECT_EQ(sheetRows(),
              (QStringList{"Rates|X.xlsx|Other|-|0|-", listed("Sales", first, "First.xlsx"),
                           listed("Costs", first, "First.xlsx"), listed("Rates", second, "Second.xlsx")}));
}

// A Worksheets table without even its placeholder row takes the new rows; a second listing adds
// only what is new.
TEST_F(MasterFileIntake, EmptyTableTakesTheRowsAndListingAgainAddsOnlyNewSheets) {
    execute("DELETE FROM Worksheets");
    const QString path = makeWorkbook(folder_ + "/Budget.xlsx", plainSheets({"Sales", "Costs"}));
    const qint64 id = addMasterRow("Budget.xlsx", folder_);
    ScopedScriptedUi ui;
    wizard::LoadMasterWorkbookSheets(QStringLiteral("Budget.xlsx"), false);
    EXPECT_EQ(sheetRows(), (QStringList{listed("Sales", id), listed("Costs", id)}));

    execute("UPDATE Worksheets SET Select_By_User = 1 WHERE Worksheet_Name = 'Sales'");
    makeWorkbook(path, plainSheets({"Sales", "Costs", "Rates"}));
    wizard::LoadMasterWorkbookSheets(QStringLiteral("Budget.xlsx"), true);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(sheetRows(), (QStringList{listed("Sales", id, "Budget.xlsx", "1"), listed("Costs", id),
                                        listed("Rates", id, "Budget.xlsx", "1", "LumiWizardFiles")}));
}

TEST_F(MasterFileIntake, ListingByNameNeedsExactlyOneRowOfTheContext) {
    makeWorkbook(folder_ + "/Budget.xlsx", plainSheets({"Sales"}));
    addMasterRow("NewBudget.xlsx", folder_);
    addMasterRow("Budget.xlsx", folder_, "Plan 2");
    ScopedScriptedUi ui;
    wizard::LoadMasterWorkbookSheets(QStringLiteral("<dummy RECORD>"), false);
    EXPECT_TRUE(ui->asked().empty());
    wizard::LoadMasterWorkbookSheets(QStringLiteral("Budget.xlsx"), false);
    EXPECT_EQ(ui->messageTexts(), QStringList{"The query didn't find the master file."});
    EXPECT_TRUE(sheetRows().isEmpty());
}

TEST_F(MasterFileIntake, StampSetsTheDateOfTheContextsRowOfThatNameOnly) {
    const qint64 mine = addMasterRow("Budget.xlsx", folder_);
    addMasterRow("NewBudget.xlsx", folder_);
    addMasterRow("Budget.xlsx", folder_, "Plan 2");
    ScopedScriptedUi ui;
    wizard::StampMasterFileProcessDate(QStringLiteral("BUDGET.xlsx"));
    EXPECT_EQ(rows("SELECT ID_MasterFiles FROM MasterFiles WHERE Process_Date IS NOT NULL"),
              QStringList{QString::number(mine)});
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(MasterFileIntake, AddIsRefusedWhileARunIsUnderWay) {
    ScopedScriptedUi ui;
    {
        const core::RunGuard::Token run;
        wizard::AddMasterBudgetFiles();
    }
    EXPECT_EQ(ui->messageTexts(), QStringList{core::RunGuard::kRefusedText});
    EXPECT_TRUE(masterRows().isEmpty());
}

} // namespace
