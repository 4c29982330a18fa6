// The Budgets Explorer's status grid while mail goes out and comes back, with the program's own
// hooks installed and real SMTP and POP3 servers on 127.0.0.1: the grid shows the sent stamps
// as soon as Send Mail ends and the returned file's flag as soon as Get Mail ends, without
// Check User Activity or an update run. With LUMIDESK_SCREENSHOT_DIR set, the explorer is saved
// there after each of them.
#include "ExplorerDbFixture.h"
#include "lumidesk/ProgramHooks.h"
#include "lumidesk/StatusGrid.h"
#include "lumidesk/frmDataTable.h"
#include "mail/MailHooks.h"
#include "mail/MailServices.h"
#include "mail/frmMail.h"
#include "platform/mail/MimeMessage.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EditGrid.h"
#include "support/MailServers.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"
#include "wizard/WizardHooks.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

using lumidesk::frmDataTable;
using platform::ui::Answer;

const QString kBudget = QStringLiteral("Plan");
const QDateTime kCutTime(QDate(2024, 1, 15), QTime(9, 30));

class ExplorerMail : public lumidesktest::ExplorerDbFixture {
protected:
    void SetUp() override {
        ExplorerDbFixture::SetUp();
        smtp_ = std::make_unique<testsupport::SmtpServer>();
        pop3_ = std::make_unique<testsupport::Pop3Server>();
        ASSERT_TRUE(smtp_->started()) << "the SMTP server did not start";
        ASSERT_TRUE(pop3_->started()) << "the POP3 server did not start";
        lumidesk::InstallProgramHooks();
        for (const char* table : {"Admin", "UsersData", "Subject", "BodyText", "UserFileTablesData"})
            exec(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table));
        exec(QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, RecType, "
                            "\"Default\") VALUES ('Office', 'robot@example.org', ?, 'Author', 1)"),
             {smtp_->address()});
        exec(
            QStringLiteral("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Pop3_Server, Pop3_Account, "
                           "RecType, Default_Robot) VALUES ('Robot', 'robot@example.org', ?, ?, 'Robot', 1)"),
            {pop3_->address(), testsupport::Pop3Server::kUser});
        exec(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('Budget 2025')"));
        exec(QStringLiteral("INSERT INTO BodyText (Body_Text) VALUES ('Please fill in your figures.')"));
        addBudget(kBudget);
        addUser(QStringLiteral("Ann"), QStringLiteral("North"));
        for (const char* file : {"Sales.xlsx", "Costs.xlsx"})
            addCutUserFile(QString::fromLatin1(file));
    }

    void TearDown() override {
        if (mail::frmMail* window = mail::frmMail::loaded())
            delete window;
        // The hooks that other tests of this program set up their own way.
        mail::setMailHooks({});
        wizard::setWizardHooks({});
        ExplorerDbFixture::TearDown();
    }

    // A user file of the budget in the folder North as the cut left it, assigned to Ann.
    void addCutUserFile(const QString& file) {
        QDir().mkpath(bookFolder() + QStringLiteral("/North"));
        const QString path = bookFolder() + QStringLiteral("/North/") + file;
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("as cut");
        out.flush(); // written before its time is set, so closing it changes the time no more
        out.setFileTime(kCutTime, QFileDevice::FileModificationTime);
        out.close();
        exec(QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, UF_Create_Date, "
                            "UF_Modified_Date, User_Filename, UFNPath, Master_File, Budget_Name, "
                            "Folder_Name) VALUES (?, 1, ?, ?, ?, ?, 'Plan.xlsx', ?, 'North')"),
             {file, kCutTime, kCutTime, file, path, kBudget});
        addUserFile({file, QStringLiteral("Ann"), kBudget, QStringLiteral("North")});
    }

    // The grid's cells of a column, as text.
    static QStringList cells(const frmDataTable& form, int column) {
        QStringList shown;
        for (int row = 0; row < form.dtUFStatus()->rowCount(); ++row)
            shown << form.dtUFStatus()->cellText(row, column);
        return shown;
    }

    std::unique_ptr<testsupport::SmtpServer> smtp_;
    std::unique_ptr<testsupport::Pop3Server> pop3_;
};

TEST_F(ExplorerMail, TheStatusGridFollowsSendMailAndGetMail) {
    writeSetting("Options", "ColorCells", QStringLiteral("1"));
    core::gOptions->Resize = false;
    core::gOptions->ScrollBars = true;
    core::gOptions->BudgetNameContext = kBudget;
    testsupport::ScopedScriptedUi ui;
    auto* explorer = new frmDataTable;
    explorer->resize(1024, 768);
    ASSERT_EQ(cells(*explorer, frmDataTable::kUserFilename),
              (QStringList{QStringLiteral("Costs.xlsx"), QStringLiteral("Sales.xlsx")}));
    ASSERT_EQ(cells(*explorer, frmDataTable::kEmailSent), (QStringList{QString(), QString()}));

    // Send Mail: both files ticked for sending with their file attached.
    ASSERT_TRUE(mail::ShowSendMail(nullptr));
    mail::frmMail* window = mail::frmMail::loaded();
    ASSERT_NE(window, nullptr);
    window->panel()->cbxFrom()->setListIndex(0);
    window->panel()->cbxSubject()->setText(QStringLiteral("Budget 2025"));
    window->panel()->cbxBodyText()->setText(QStringLiteral("Please fill in your figures."));
    window->panel()->setDueDate(QDate(2031, 3, 31));
    for (int row = 0; row < window->panel()->dtSendMail()->rowCount(); ++row)
        window->panel()->dtSendMail()->editCell(row, mail::SendMailPanel::kMailFile, 1);
    window->cmdSendMail()->click();
    EXPECT_TRUE(ui->messageTexts().isEmpty()) << ui->messageTexts().join(u'|').toStdString();
    ASSERT_EQ(smtp_->messages().size(), 2);
    for (const QString& sent : cells(*explorer, frmDataTable::kEmailSent))
        EXPECT_FALSE(sent.isEmpty()) << "the explorer shows the sent stamps at once";
    for (const QString& due : cells(*explorer, frmDataTable::kDueDate))
        EXPECT_TRUE(due.startsWith(QStringLiteral("2031-03-31"))) << due.toStdString();
    EXPECT_EQ(explorer->dtUFStatus()->cellBackground(0, frmDataTable::kEmailSent), lumidesk::kGreen);
    testsupport::saveScreenshot(*explorer, QStringLiteral("explorer-after-send-mail"));
    delete window;

    // Ann sends Sales.xlsx back; the explorer's Get Mail collects it.
    // (Only a workbook that opens replaces a user file.)
    const QByteArray returned = platform::sheet::Workbook::create(QStringLiteral("Sales.xlsx"))->toBytes();
    const std::optional<QByteArray> reply = platform::mail::buildMessage(
        {QStringLiteral("ann@example.org"), QStringLiteral("robot@example.org"),
         QStringLiteral("RE: Budget 2025"), QStringLiteral("Done."), QStringLiteral("Sales.xlsx"), returned});
    ASSERT_TRUE(reply);
    ASSERT_TRUE(pop3_->deliver(*reply));
    ASSERT_EQ(cells(*explorer, frmDataTable::kUserFileUpdate), (QStringList{"0", "0"}));
    explorer->tbxPassword()->setText(testsupport::Pop3Server::kPassword);
    ui->clear();
    ui->answerMessages({Answer::Yes});
    explorer->cmdGetMail()->click();
    EXPECT_EQ(ui->messageTexts().value(0),
              QStringLiteral("You have 1 messages in your Inbox.  Download now?"));
    EXPECT_TRUE(pop3_->mailbox().isEmpty()) << "the returned file was taken";
    EXPECT_EQ(cells(*explorer, frmDataTable::kUserFileUpdate), (QStringList{"0", "1"}))
        << "the explorer shows the returned file waiting at once";
    EXPECT_EQ(explorer->dtUFStatus()->cellBackground(1, frmDataTable::kUserFileUpdate), lumidesk::kGreen);
    testsupport::saveScreenshot(*explorer, QStringLiteral("explorer-after-get-mail"));
}

} // namespace
