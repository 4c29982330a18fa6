// The master workbooks' file passwords on a workbook LibreOffice encrypted with a file-open
// and a write password: reading the stored pair, taking it off the file and putting it back,
// the refusals, and the row found by the exact workbook name in the budget context.
#include "workbooks/MasterWorkbookPasswords.h"

#include "core/DialogHandshake.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/frmEnterWBPwd.h"
#include "workbooks/EnterWorkbookPasswords.h"
#include "workbooks/tests/BudgetFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace workbookstest;
using platform::sheet::OpenOptions;
using platform::sheet::SheetError;
using platform::sheet::Workbook;

class MasterWorkbookPasswords : public BudgetFixture {
protected:
    void SetUp() override {
        BudgetFixture::SetUp();
        folder_ = testsupport::freshDir(QStringLiteral("masters"));
        path_ = copyMaster(QStringLiteral("Encrypted.xlsx"), folder_, QStringLiteral("Budget.xlsx"));
        // A workbook whose name contains the other's, in the same budget.
        copyMaster(QStringLiteral("Budget.xlsx"), folder_, QStringLiteral("OldBudget.xlsx"));
        addMaster(11, QStringLiteral("Budget.xlsx"), folder_, QStringLiteral("Plan"), kOpenPassword,
                  kWritePassword);
        addMaster(12, QStringLiteral("OldBudget.xlsx"), folder_, QStringLiteral("Plan"));
    }

    static SheetError::Code openFailure(const QString& path, const OpenOptions& options) {
        try {
            Workbook::open(path, options)->close();
        } catch (const SheetError& error) {
            return error.code();
        }
        return SheetError::Code::NotAvailable; // stands for "opened"
    }
    static qint64 passwordsFlag(qint64 id) {
        return scalar("SELECT MFPwdsSet FROM MasterFiles WHERE ID_MasterFiles = ?", {id}).toLongLong();
    }

    QString folder_;
    QString path_;
};

TEST_F(MasterWorkbookPasswords, ReadsTheStoredPairOfTheExactWorkbook) {
    testsupport::ScopedScriptedUi ui;
    EXPECT_TRUE(workbooks::ReadMasterWorkbookPasswords(QStringLiteral("budget.XLSX")));
    EXPECT_EQ(core::gOptions->FOPwd, kOpenPassword);
    EXPECT_EQ(core::gOptions->WritePwd, kWritePassword);
    EXPECT_TRUE(ui->asked().empty());

    core::gOptions->BudgetNameContext = QStringLiteral("Other");
    EXPECT_FALSE(workbooks::ReadMasterWorkbookPasswords(QStringLiteral("Budget.xlsx")))
        << "another budget's workbook of that name is not found";
    EXPECT_EQ(core::gOptions->FOPwd, kOpenPassword) << "nothing found leaves the options as they were";
}

TEST_F(MasterWorkbookPasswords, ReadRefusesAnOpenPasswordWithoutWritePassword) {
    struct Case {
        const char* open;
        const char* write;
        bool refused;
    };
    for (const Case& c : {Case{"open-only", "", true}, Case{"", "write-only", false}}) {
        execute("UPDATE MasterFiles SET WBOpen_Password = ?, WBWrite_Password = ? WHERE ID_MasterFiles = 11",
                {*c.open ? QVariant(core::EncodeString(QString::fromLatin1(c.open))) : QVariant(),
                 *c.write ? QVariant(core::EncodeString(QString::fromLatin1(c.write))) : QVariant()});
        core::gOptions->FOPwd = QStringLiteral("before");
        core::gOptions->WritePwd = QStringLiteral("before");
        testsupport::ScopedScriptedUi ui;
        EXPECT_FALSE(workbooks::ReadMasterWorkbookPasswords(QStringLiteral("Budget.xlsx")));
        EXPECT_EQ(ui->messageTexts(),
                  c.refused ? QStringList{workbooks::kOpenWithoutWriteText} : QStringList{});
        EXPECT_EQ(core::gOptions->FOPwd, QString::fromLatin1(c.open));
        if (!c.refused) {
            EXPECT_EQ(core::gOptions->WritePwd, QString()) << "a write password alone counts as none";
        }
    }
}

TEST_F(MasterWorkbookPasswords, RemoveThenApplyFollowTheFile) {
    testsupport::ScopedScriptedUi ui;
    ASSERT_TRUE(workbooks::RemoveMasterWorkbookPasswords(QStringLiteral("Budget.xlsx")));
    EXPECT_EQ(passwordsFlag(11), 0);
    {
        std::unique_ptr<Workbook> plain = Workbook::open(path_);
        EXPECT_FALSE(plain->hasPassword());
        EXPECT_FALSE(plain->writeReserved());
        EXPECT_FALSE(plain->readOnly());
        EXPECT_EQ(plain->sheetNames(), (QStringList{QStringLiteral("Sales"), QStringLiteral("Costs"),
                                                    QStringLiteral("Rates"), QStringLiteral("Summary")}));
        plain->close();
    }

    ASSERT_TRUE(workbooks::ApplyMasterWorkbookPasswords(QStringLiteral("Budget.xlsx")));
    EXPECT_EQ(passwordsFlag(11), 1);
    EXPECT_EQ(openFailure(path_, {}), SheetError::Code::PasswordRequired);
    std::unique_ptr<Workbook> opened = Workbook::open(path_, OpenOptions::withPassword(kOpenPassword));
    EXPECT_TRUE(opened->readOnly()) << "without the write password it opens read-only";
    opened->close();
    OpenOptions both = OpenOptions::withPassword(kOpenPassword);
    both.writeResPassword = kWritePassword;
    opened = Workbook::open(path_, both);
    EXPECT_FALSE(opened->readOnly());
    opened->close();

    // Applying again to a file that carries the passwords changes nothing of its readability.
    ASSERT_TRUE(workbooks::ApplyMasterWorkbookPasswords(QStringLiteral("Budget.xlsx")));
    EXPECT_EQ(openFailure(path_, both), SheetError::Code::NotAvailable);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(core::gDB2, nullptr);
}

TEST_F(MasterWorkbookPasswords, WrongStoredPasswordLeavesFileAndFlag) {
    execute("UPDATE MasterFiles SET WBOpen_Password = ? WHERE ID_MasterFiles = 11",
            {core::EncodeString(QStringLiteral("wrong"))});
    const QByteArray before = digest(path_);
    testsupport::ScopedScriptedUi ui;
    EXPECT_FALSE(workbooks::RemoveMasterWorkbookPasswords(QStringLiteral("Budget.xlsx")));
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith(QStringLiteral("Error 1004 has occured. ")))
        << ui->messageTexts().front().toStdString();
    EXPECT_EQ(digest(path_), before);
    EXPECT_EQ(passwordsFlag(11), 1);
}

TEST_F(MasterWorkbookPasswords, ApplyWithoutBothPasswordsClearsTheFlagOnly) {
    const QString old = folder_ + QStringLiteral("/OldBudget.xlsx");
    execute("UPDATE MasterFiles SET MFPwdsSet = 1 WHERE ID_MasterFiles = 12");
    const QByteArray before = digest(old);
    testsupport::ScopedScriptedUi ui;
    EXPECT_FALSE(workbooks::ApplyMasterWorkbookPasswords(QStringLiteral("OldBudget.xlsx")));
    EXPECT_FALSE(workbooks::RemoveMasterWorkbookPasswords(QStringLiteral("OldBudget.xlsx")));
    EXPECT_EQ(passwordsFlag(12), 0);
    EXPECT_EQ(digest(old), before);
    EXPECT_TRUE(ui->asked().empty());
}

TEST(ExcelDisplay, OffAnswersWhetherItSwitchedLinkQuestionsOff) {
    for (const bool asking : {true, false}) {
        platform::sheet::Application app;
        app.setVisible(true);
        app.setAskToUpdateLinks(asking);
        EXPECT_EQ(workbooks::ExcelDisplayOff(app), asking);
        EXPECT_FALSE(app.visible());
        EXPECT_FALSE(app.displayAlerts());
        EXPECT_FALSE(app.screenUpdating());
        EXPECT_FALSE(app.askToUpdateLinks());
        workbooks::ExcelDisplayOn(app, asking);
        EXPECT_TRUE(app.displayAlerts());
        EXPECT_TRUE(app.screenUpdating());
        EXPECT_EQ(app.askToUpdateLinks(), asking) << "restored only when it was on";
        EXPECT_FALSE(app.visible());
    }
}

// The dialog's answers reach the flags that its caller polls; its close box is Cancel.
TEST_F(MasterWorkbookPasswords, DialogAnswersThroughTheOptionsFlags) {
    platform::ui::frmEnterWBPwd& dialog = workbooks::LoadEnterWBPwd();
    dialog.show();
    QTimer::singleShot(0, [&dialog] {
        dialog.tbxFOPwd()->setText(QStringLiteral("typed open"));
        dialog.cmdOK()->click();
    });
    EXPECT_EQ(core::WaitForDialogAnswer(&dialog), core::DialogAnswer::Confirmed);
    EXPECT_EQ(dialog.tbxFOPwd()->text(), QStringLiteral("typed open"));
    EXPECT_FALSE(core::gOptions->SetPwd) << "the wait resets the flag it acted on";

    QTimer::singleShot(0, [&dialog] { dialog.close(); });
    EXPECT_EQ(core::WaitForDialogAnswer(&dialog), core::DialogAnswer::Cancelled);
    EXPECT_EQ(&workbooks::LoadEnterWBPwd(), &dialog) << "one dialog while it is loaded";
    workbooks::UnloadEnterWBPwd();
    EXPECT_TRUE(workbooks::LoadEnterWBPwd().tbxFOPwd()->text().isEmpty()) << "a new load starts empty";
    workbooks::UnloadEnterWBPwd();
}

} // namespace
