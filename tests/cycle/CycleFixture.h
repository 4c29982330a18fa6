// Fixture of the budget-cycle tests: a fresh master database (the workbooks tests' budget
// fixture, budget "Plan" in context), real SMTP and POP3 servers on 127.0.0.1, the scripted
// dialog service, and the steps an administrator and the users take, each through the routines
// the windows call.
#pragma once

#include "core/frmWait.h"
#include "lumidesk/StatusGrid.h"
#include "lumidesk/frmDataTable.h"
#include "mail/CollectMail.h"
#include "mail/MailServices.h"
#include "mail/frmMail.h"
#include "platform/db/SqlText.h"
#include "platform/mail/MimeMessage.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/WizardControl.h"
#include "support/MailServers.h"
#include "support/ScriptedUi.h"
#include "support/WindowScript.h"
#include "wizard/SyncUserFileTable.h"
#include "wizard/frmWizard.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/UpdateRun.h"
#include "workbooks/cUpdate.h"
#include "workbooks/tests/BudgetFixture.h"
#include "workbooks/tests/LibreOfficeSheet.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <functional>
#include <map>

namespace cycletest {

using platform::sheet::OpenOptions;
using platform::sheet::Workbook;

// One user of the cycle: name, address and what they do with each file they get.
struct CycleUser {
    QString name;
    QString address;
};

// What a user types into a returned file: cell and text ("=..." a formula, numbers as numbers).
using Typing = QList<std::pair<QString, QString>>;

class CycleFixture : public workbookstest::BudgetFixture {
protected:
    static inline const QString kBudget = QStringLiteral("Plan");
    static inline const QString kOtherBudget = QStringLiteral("Other");
    static inline const QString kRobotAddress = QStringLiteral("robot@example.org");

    void SetUp() override {
        BudgetFixture::SetUp();
        ui_ = std::make_unique<testsupport::ScopedScriptedUi>();
        masters_ = testsupport::freshDir(QStringLiteral("masters"));
        // The placeholder rows of a fresh database would only be noise in lists.
        for (const char* table : {"Admin", "UsersData", "FolderNames", "Subject", "BodyText"})
            execute(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table));
    }

    void TearDown() override {
        if (mail::frmMail* window = mail::frmMail::loaded()) {
            window->close();
            delete window;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        core::frmWait::unload();
        ui_.reset();
        BudgetFixture::TearDown();
    }

    testsupport::ScriptedUi& ui() { return **ui_; }

    // The SMTP sink and the robot's POP3 mailbox, for the tests that mail.
    void startMailServers() {
        smtp_ = std::make_unique<testsupport::SmtpServer>();
        pop3_ = std::make_unique<testsupport::Pop3Server>();
        ASSERT_TRUE(smtp_->started()) << "the SMTP server did not start";
        ASSERT_TRUE(pop3_->started()) << "the POP3 server did not start";
    }

    // ---- step 1: the configuration ---------------------------------------------------------
    void configure(const QList<CycleUser>& users, const QStringList& folders) {
        execute("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Mail_Server, RecType, \"Default\") "
                "VALUES ('Budget Office', 'office@example.org', ?, 'Author', 1)",
                {smtp_->address()});
        execute("INSERT INTO Admin (Admin_Name, Admin_Email_Address, Pop3_Server, Pop3_Account, RecType, "
                "Default_Robot) VALUES ('Robot', ?, ?, ?, 'Robot', 1)",
                {kRobotAddress, pop3_->address(), testsupport::Pop3Server::kUser});
        for (const QString& folder : folders)
            execute("INSERT INTO FolderNames (Folder_Name) VALUES (?)", {folder});
        for (const CycleUser& user : users)
            execute("INSERT INTO UsersData (Users, Email_Address) VALUES (?, ?)", {user.name, user.address});
        execute("INSERT INTO Subject (Subject) VALUES ('Budget 2025')");
        execute("INSERT INTO BodyText (Body_Text) VALUES ('Please fill in your figures.')");
    }

    // ---- step 2: the budget's masters, their picked sheets, the cut and the assignment ----------
    // A master workbook of tests/fixtures/budget under a name of its own, with its passwords.
    QString addMasterWorkbook(qint64 id, const QString& fixture, const QString& as,
                              const QString& openPassword = {}, const QString& writePassword = {}) {
        const QString path = copyMaster(fixture, masters_, as);
        addMaster(id, as, masters_, kBudget, openPassword, writePassword);
        return path;
    }

    // Plan.xlsx (the LibreOffice-made budget workbook, its sheet Costs protected) and
    // Locked.xlsx (the same encrypted with both passwords): Sales and Rates go to the folder
    // North, Costs and Summary to South; every picked sheet is cut.
    void buildBudget() {
        plan_ = addMasterWorkbook(11, QStringLiteral("Budget.xlsx"), QStringLiteral("Plan.xlsx"));
        locked_ = addMasterWorkbook(12, QStringLiteral("Encrypted.xlsx"), QStringLiteral("Locked.xlsx"),
                                    workbookstest::kOpenPassword, workbookstest::kWritePassword);
        addWorksheet(QStringLiteral("Sales"), 11, QStringLiteral("Plan.xlsx"), kBudget,
                     QStringLiteral("North"));
        addWorksheet(QStringLiteral("Costs"), 11, QStringLiteral("Plan.xlsx"), kBudget,
                     QStringLiteral("South"), workbookstest::kCostsPassword);
        addWorksheet(QStringLiteral("Rates"), 12, QStringLiteral("Locked.xlsx"), kBudget,
                     QStringLiteral("North"));
        addWorksheet(QStringLiteral("Summary"), 12, QStringLiteral("Locked.xlsx"), kBudget,
                     QStringLiteral("South"));
        cut(QStringLiteral("Plan.xlsx"));
        cut(QStringLiteral("Locked.xlsx"));
    }

    // Step 2 as the administrator does it in the Setup Budget Wizard: the new budget "Plan" made
    // the context; Plan.xlsx added (its protected sheet Costs asks for its password); Rates and
    // Summary deleted from it on page 4, since their cut comes from Locked.xlsx; Locked.xlsx
    // added with both passwords (its Sales and Costs refused as names Plan.xlsx has); every
    // sheet picked and filed in its folder; Build All; each user file assigned on page 5.
    void buildBudgetInWizard(const QList<std::pair<QString, QString>>& assignments) {
        using platform::ui::Answer;
        execute("DELETE FROM Budgets WHERE Budget_Name = ?", {kBudget});
        plan_ = copyMaster(QStringLiteral("Budget.xlsx"), masters_, QStringLiteral("Plan.xlsx"));
        locked_ = copyMaster(QStringLiteral("Encrypted.xlsx"), masters_, QStringLiteral("Locked.xlsx"));
        core::gOptions->BudgetNameContext.clear();
        core::gOptions->WizPageRequest = 2;
        auto* form = new wizard::frmWizard;
        form->show();
        form->tbxBudWiz1()->setText(kBudget);
        ui().answerMessages({Answer::Yes});
        form->EZWiz()->next();
        ASSERT_EQ(form->EZWiz()->currentPage(), 3);
        ASSERT_EQ(core::gOptions->BudgetNameContext, kBudget);

        ui().answerTexts({plan_, workbookstest::kCostsPassword});
        ui().answerMessages({Answer::Yes});
        form->cmdAddBF_Click();
        form->EZWiz()->next();
        ASSERT_EQ(form->EZWiz()->currentPage(), 4);
        for (const char* sheet : {"Rates", "Summary"}) {
            form->dtWorksheets()->setCurrentCell(sheetRow(*form, sheet), 0);
            form->cmdDelWS_Click();
        }
        form->EZWiz()->back();
        testsupport::WindowScript script;
        script.then(QStringLiteral("frmEnterWBPwd"), [](QWidget& w) {
            testsupport::type(w, "tbxFOPwd", workbookstest::kOpenPassword);
            testsupport::type(w, "tbxWritePwd", workbookstest::kWritePassword);
            testsupport::click(w, "cmdOK");
        });
        ui().answerTexts({locked_});
        ui().answerMessages({Answer::Yes});
        form->cmdAddBF_Click();
        ASSERT_TRUE(script.done());
        form->EZWiz()->next();
        for (const auto& [sheet, folder] :
             {std::pair{"Sales", "North"}, {"Costs", "South"}, {"Rates", "North"}, {"Summary", "South"}}) {
            const int row = sheetRow(*form, sheet);
            form->dtWorksheets()->editCell(row, wizard::frmWizard::kSheetSelect, 1);
            form->dtWorksheets()->editCell(row, wizard::frmWizard::kSheetFolder, QString::fromLatin1(folder));
        }
        form->chkBuildAllFiles()->setChecked(true);
        form->chkOWAll()->setChecked(true);
        form->cmdBuildFiles_Click();
        form->EZWiz()->next();
        ASSERT_EQ(form->EZWiz()->currentPage(), 5);
        platform::ui::EditGrid& assign = *form->dtUFAssign();
        for (const auto& [file, user] : assignments) {
            int row = -1;
            for (int r = 0; r < assign.rowCount(); ++r)
                row = assign.cellText(r, 0) == file ? r : row;
            ASSERT_GE(row, 0) << file.toStdString();
            assign.editCell(row, 2, user);
        }
        delete form;
    }

    static int sheetRow(wizard::frmWizard& form, const char* sheet) {
        for (int r = 0; r < form.dtWorksheets()->rowCount(); ++r)
            if (form.dtWorksheets()->cellText(r, 0) == QLatin1String(sheet))
                return r;
        ADD_FAILURE() << "no worksheet row " << sheet;
        return -1;
    }

    // Cuts every picked sheet of the master and registers the user files as the wizard does.
    void cut(const QString& master) {
        core::gOptions->BudgetNameContext = kBudget;
        ASSERT_EQ(workbooks::CreateUserFiles(master, true, false, false), workbooks::kCutFinished)
            << ui().messageTexts().join(u'|').toStdString();
        wizard::SyncUserFileTable();
    }

    // ---- two budgets of one user ----------------------------------------------------------------
    // The budgets "Plan" (Plan.xlsx) and "Other" (Other.xlsx: the same workbook, in a folder of
    // its own) both cut their sheet Sales, in a folder North, for the same user. Sets plan_ and
    // other_ to the masters' paths.
    void buildTwoBudgetsForOneUser(const CycleUser& user) {
        for (const auto& [budget, master, id] : {std::tuple{kBudget, QStringLiteral("Plan.xlsx"), 11},
                                                 {kOtherBudget, QStringLiteral("Other.xlsx"), 21}}) {
            const QString folder = masters_ + u'/' + budget;
            (budget == kBudget ? plan_ : other_) = copyMaster(QStringLiteral("Budget.xlsx"), folder, master);
            addMaster(id, master, folder, budget);
            addWorksheet(QStringLiteral("Sales"), id, master, budget, QStringLiteral("North"));
            core::gOptions->BudgetNameContext = budget;
            ASSERT_EQ(workbooks::CreateUserFiles(master, true, false, false), workbooks::kCutFinished)
                << ui().messageTexts().join(u'|').toStdString();
            wizard::SyncUserFileTable();
            execute("UPDATE UserFileTablesData SET Users = ? WHERE Budget_Name = ?", {user.name, budget});
        }
    }

    // The user answers the budget's user file as it was mailed to her: typed into with
    // LibreOffice, which keeps what the file was cut as, and mailed back.
    void answerWithLibreOffice(const CycleUser& user, const QString& budget, const QString& userFile,
                               const Typing& typed) {
        const QString cut =
            scalar("SELECT UFNPath FROM Worksheets WHERE User_Filename = ? AND Budget_Name = ?",
                   {userFile, budget})
                .toString();
        const QString path =
            testsupport::freshDir(QStringLiteral("user-") + user.name + u'-' + budget) + u'/' + userFile;
        ASSERT_TRUE(QFile::copy(cut, path));
        QJsonArray cells;
        for (const auto& [cell, text] : typed)
            cells.append(QJsonArray{1, cell, text});
        sheettest::runPythonFile(testsupport::fixturePath(QStringLiteral("lo_cells.py")),
                                 {QStringLiteral("edit"), path,
                                  QString::fromUtf8(QJsonDocument(cells).toJson(QJsonDocument::Compact))});
        ASSERT_TRUE(pop3_->deliver(
            platform::mail::buildMessage({user.address, kRobotAddress, QStringLiteral("RE: Budget 2025"),
                                          QStringLiteral("Done."), userFile, readAll(path)})
                .value()));
    }

    // ---- step 3: due date and the send-mail window's Send ------------------------------------
    void sendMail(const QDate& due) {
        ASSERT_TRUE(mail::ShowSendMail(nullptr));
        mail::frmMail* window = mail::frmMail::loaded();
        ASSERT_NE(window, nullptr);
        window->panel()->cbxFrom()->setListIndex(0);
        window->panel()->cbxSubject()->setText(QStringLiteral("Budget 2025"));
        window->panel()->cbxBodyText()->setText(QStringLiteral("Please fill in your figures."));
        window->panel()->chkAddDueDate()->setChecked(true);
        window->panel()->setDueDate(due);
        for (int row = 0; row < window->panel()->dtSendMail()->rowCount(); ++row)
            if (window->panel()->dtSendMail()->cellValue(row, mail::SendMailPanel::kMailFile).toInt() == 0)
                window->panel()->dtSendMail()->editCell(row, mail::SendMailPanel::kMailFile, 1);
        testsupport::saveScreenshot(*window, QStringLiteral("cycle-send-mail"));
        window->cmdSendMail()->click();
        window->close();
        delete window;
    }

    // ---- step 4: the users -------------------------------------------------------------------
    // Every mail the SMTP server received, by its attachment's name, with its recipient.
    struct Delivered {
        QString recipient;
        QString subject;
        QByteArray attachment;
    };
    std::map<QString, Delivered> delivered() const {
        std::map<QString, Delivered> out;
        for (const QByteArray& raw : smtp_->messages()) {
            const auto message = platform::mail::parseMessage(raw);
            if (!message || message->attachments.size() != 1)
                continue;
            out[message->attachments.first().name] = {testsupport::SmtpServer::recipientOf(raw),
                                                      message->subject, message->attachments.first().data};
        }
        return out;
    }

    // The user takes the attachment, types into it with openpyxl (nothing typed: saved again
    // unchanged) and mails it back to the robot's mailbox.
    void playUser(const CycleUser& user, const QString& fileName, const QByteArray& attachment,
                  const Typing& typed) {
        const QString path = testsupport::freshDir(QStringLiteral("user-") + user.name) + u'/' + fileName;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(attachment) == attachment.size());
        file.close();
        typeInto(path, typed);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ASSERT_TRUE(pop3_->deliver(
            platform::mail::buildMessage({user.address, kRobotAddress, QStringLiteral("RE: Budget 2025"),
                                          QStringLiteral("Done."), fileName, file.readAll()})
                .value()));
    }

    // The user's typing, saved by openpyxl.
    static void typeInto(const QString& path, const Typing& typed) {
        QJsonArray cells;
        for (const auto& [cell, text] : typed)
            cells.append(QJsonArray{cell, text});
        typeWithOpenpyxl(path, cells);
    }

    // ---- step 5: collection and the update runs ------------------------------------------------
    int collect() {
        QLineEdit password;
        QCheckBox savePassword;
        password.setText(testsupport::Pop3Server::kPassword);
        return mail::GetMailPasswordAndReceive({&password, &savePassword});
    }

    // Runs the update with every review of the wait window answered by Continue, after `review`
    // saw (and may edit) the changes of the file shown; answers what was shown, by file.
    std::map<QString, QStringList> update(const QString& mode, const QString& folder,
                                          std::function<void(const QString&, core::frmWait&)> review = {}) {
        std::map<QString, QStringList> shown;
        QTimer reviewer;
        reviewer.setInterval(0);
        QObject::connect(&reviewer, &QTimer::timeout, [&] {
            core::frmWait* wait = core::frmWait::loaded();
            if (!core::gOptions->Pause || !wait)
                return;
            const QString file = wait->lblFileStatus()->text();
            shown[file] = changesShown(*wait);
            if (review)
                review(file, *wait);
            wait->cmdContinue()->click();
        });
        reviewer.start();
        core::gOptions->BudgetNameContext = kBudget;
        workbooks::UpdateMasterFilesCommand({kBudget, folder, mode});
        return shown;
    }

    // The rows of the wait window's changes grid: cell, master value, kind, user value.
    static QStringList changesShown(const core::frmWait& wait) {
        QStringList rows;
        const auto& grid = *wait.dtChangedData();
        for (int row = 0; row < grid.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < 4; ++column)
                cells << grid.cellText(row, column);
            rows << cells.join(u'|');
        }
        return rows;
    }

    // ---- step 6: readings ------------------------------------------------------------------------
    // A sheet's used block as this program's workbook layer reads its values, one line per row
    // with the cells joined by commas, as LibreOffice's CSV export writes them.
    static QStringList ourSheet(const QString& path, const QString& sheet, const QString& password = {}) {
        std::unique_ptr<Workbook> book = Workbook::open(
            path, password.isEmpty() ? OpenOptions::readOnlyAccess() : OpenOptions::withPassword(password));
        const platform::sheet::Worksheet& ws = book->sheet(sheet);
        const auto block = ws.usedBlock();
        QStringList rows;
        for (int row = block.first.row; row <= block.last.row; ++row) {
            QStringList cells;
            for (int column = block.first.col; column <= block.last.col; ++column)
                cells << ws.value({row, column}).toText();
            rows << cells.join(u',');
        }
        book->close();
        return rows;
    }

    // The Budgets Explorer's status grid with colouring on, as the administrator sees it: per
    // user file the colours of its mailed, updated, locked-out and due-date cells, each as
    // G(reen), R(ed), Y(ellow) or W(hite), e.g. "Sales.xlsx GGRG" when returned and waiting.
    QStringList statusColours(const QString& screenshot = {}) {
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                    QStringLiteral("ColorCells"), QStringLiteral("1"));
        core::gOptions->BudgetNameContext = kBudget;
        auto form = std::make_unique<lumidesk::frmDataTable>();
        const platform::ui::DataGrid& grid = *form->dtUFStatus();
        const auto letter = [](const QColor& colour) {
            return colour == lumidesk::kGreen    ? u'G'
                   : colour == lumidesk::kRed    ? u'R'
                   : colour == lumidesk::kYellow ? u'Y'
                   : colour == lumidesk::kWhite  ? u'W'
                                                 : u'?';
        };
        QStringList shown;
        for (int row = 0; row < grid.rowCount(); ++row) {
            QString colours;
            for (const int column :
                 {lumidesk::frmDataTable::kEmailSent, lumidesk::frmDataTable::kUserFileUpdate,
                  lumidesk::frmDataTable::kLockedOut, lumidesk::frmDataTable::kDueDate})
                colours += letter(grid.cellBackground(row, column));
            shown << grid.cellText(row, lumidesk::frmDataTable::kUserFilename) + u' ' + colours;
        }
        if (!screenshot.isEmpty())
            testsupport::saveScreenshot(*form, screenshot);
        form->close();
        return shown;
    }

    // The user file's update flag, its corrupt mark, and whether the date recorded for it is the
    // file's ("booked": as cut and never returned, or merged) or the file is newer (returned,
    // not merged yet).
    static QString state(const QString& userFile, const QString& budget = kBudget) {
        const QStringList found =
            rows("SELECT u.UserFile_Update, w.Corrupt_Error, w.UF_Modified_Date, w.UFNPath FROM Worksheets w "
                 "JOIN UserFileTablesData u ON u.User_Filename = w.User_Filename AND u.Budget_Name = "
                 "w.Budget_Name WHERE w.User_Filename = ? AND w.Budget_Name = ?",
                 {userFile, budget});
        if (found.size() != 1)
            return QStringLiteral("%1 rows").arg(found.size());
        const QStringList fields = found.first().split(u'|');
        const bool merged =
            platform::db::parseDateTime(fields[2]) == platform::sys::GetFileModifiedText(fields[3]);
        return fields[0] + u'|' + fields[1] + u'|' +
               (merged ? QStringLiteral("booked") : QStringLiteral("newer"));
    }

    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Waits until the clock's second has moved past the last cut, so that a file collected now
    // carries a later date than the one recorded at its cut.
    static void nextSecond() {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        while (QDateTime::currentSecsSinceEpoch() == now)
            QThread::msleep(20);
    }

    std::unique_ptr<testsupport::SmtpServer> smtp_;
    std::unique_ptr<testsupport::Pop3Server> pop3_;
    QString masters_;
    QString plan_;
    QString locked_;
    QString other_;

private:
    std::unique_ptr<testsupport::ScopedScriptedUi> ui_;
};

} // namespace cycletest
