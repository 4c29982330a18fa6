// The send-mail window over the master database: which user files it lists, what its edits
// and heading clicks store, and what it keeps between openings.
#include "MailFixture.h"
#include "mail/MailContext.h"
#include "mail/MailServices.h"
#include "mail/SendMailPanel.h"
#include "mail/frmCalendar.h"
#include "mail/frmMail.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/EditGrid.h"
#include "support/GridColumns.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace mailtest {
namespace {

using mail::frmMail;

class SendMailWindow : public MailFixture {
protected:
    void TearDown() override {
        closeWindow();
        MailFixture::TearDown();
    }

    frmMail& openWindow() {
        mail::ShowSendMail(nullptr);
        return *frmMail::loaded();
    }

    static void closeWindow() {
        if (frmMail* window = frmMail::loaded()) {
            window->close();
            delete window;
        }
    }

    static QStringList column(const frmMail& window, int col) {
        QStringList texts;
        for (int row = 0; row < window.panel()->dtSendMail()->rowCount(); ++row)
            texts << window.panel()->dtSendMail()->cellText(row, col);
        return texts;
    }
};

// "Sales" and "Sales2025" both hold Summary.xlsx; each budget sees only its own.
TEST_F(SendMailWindow, ListsTheBuiltUserFilesOfTheContextBudgetOnly) {
    const qint64 mine = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                    QStringLiteral("Summary.xlsx"), QStringLiteral("Ann"), false);
    addUserFile(QStringLiteral("Sales2025"), QStringLiteral("Plan.xlsx"), QStringLiteral("Summary.xlsx"),
                QStringLiteral("Bob"), true);
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("Unbuilt.xlsx"),
                QStringLiteral("Ann"));
    execute(
        QStringLiteral("UPDATE Worksheets SET UF_Create_Date = NULL WHERE User_Filename = 'Unbuilt.xlsx'"));
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("Unpicked.xlsx"),
                QStringLiteral("Ann"));
    execute(QStringLiteral("UPDATE Worksheets SET Select_By_User = 0 WHERE User_Filename = 'Unpicked.xlsx'"));
    execute(QStringLiteral("UPDATE UserFileTablesData SET Due_Date = ? WHERE ID_UFTD = ?"),
            {QDate(2030, 6, 1), mine});
    addAuthor(QStringLiteral("Admin"), QStringLiteral("admin@example.org"),
              QStringLiteral("smtp.example.org:2525"));

    frmMail& window = openWindow();
    ASSERT_EQ(1, window.panel()->dtSendMail()->rowCount());
    EXPECT_EQ(QStringList{QStringLiteral("Ann")}, column(window, mail::SendMailPanel::kUser));
    EXPECT_EQ(QStringLiteral("0"), window.panel()->dtSendMail()->cellText(0, mail::SendMailPanel::kMailFile));
    EXPECT_EQ(mail::dueDateText(QDate(2030, 6, 1)),
              window.panel()->dtSendMail()->cellText(0, mail::SendMailPanel::kDueDate));
    EXPECT_EQ(userFilePath(QStringLiteral("Sales"), QStringLiteral("Summary.xlsx")),
              window.panel()->dtSendMail()->cellText(0, mail::SendMailPanel::kUserFilePath));
    EXPECT_EQ(QStringLiteral("smtp.example.org:2525"),
              window.panel()->cbxFrom()->subItem(0, mail::SendMailPanel::kFromServer));
    EXPECT_EQ(0, window.panel()->cbxFrom()->listIndex()) << "the default author is the sender";
    EXPECT_EQ(QStringLiteral("SendMail Configuration"), window.windowTitle());
    for (const int shownWhole : {mail::SendMailPanel::kDueDate, mail::SendMailPanel::kUserFilePath,
                                 mail::SendMailPanel::kMasterFile})
        EXPECT_TRUE(testsupport::columnShownWhole(*window.panel()->dtSendMail(), shownWhole)) << shownWhole;

    core::gOptions->BudgetNameContext = QStringLiteral("Sales2025");
    mail::FillSendMailGrid();
    EXPECT_EQ(QStringList{QStringLiteral("Bob")}, column(window, mail::SendMailPanel::kUser));
    core::gOptions->BudgetNameContext = QString();
    mail::FillSendMailGrid();
    EXPECT_EQ(0, window.panel()->dtSendMail()->rowCount());
}

TEST_F(SendMailWindow, MailFileEditsAreStoredForTheirRowAndAFailedOneIsTakenBack) {
    const qint64 mine = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                    QStringLiteral("Summary.xlsx"), QStringLiteral("Ann"), false);
    const qint64 other = addUserFile(QStringLiteral("Sales2025"), QStringLiteral("Plan.xlsx"),
                                     QStringLiteral("Summary.xlsx"), QStringLiteral("Ann"), false);
    frmMail& window = openWindow();
    window.panel()->dtSendMail()->editCell(0, mail::SendMailPanel::kMailFile, 1);
    EXPECT_EQ(1, userFileValue(mine, QStringLiteral("Attachment")).toInt());
    EXPECT_EQ(0, userFileValue(other, QStringLiteral("Attachment")).toInt());
    // A "Send" tick is the grid's alone.
    window.panel()->dtSendMail()->editCell(0, mail::SendMailPanel::kSend, 0);
    EXPECT_EQ(1, userFileValue(mine, QStringLiteral("Select_By_User")).toInt());

    // The row went away meanwhile: the message says so and the cell shows what is stored.
    execute(QStringLiteral("DELETE FROM UserFileTablesData WHERE ID_UFTD = ?"), {mine});
    ui().acceptUnscriptedMessages();
    window.panel()->dtSendMail()->editCell(0, mail::SendMailPanel::kMailFile, 0);
    EXPECT_EQ(
        QStringList{QStringLiteral(
            "The user file Summary.xlsx is no longer in the budget; its Mail File setting was not saved.")},
        ui().messageTexts());
    EXPECT_EQ(1, window.panel()->dtSendMail()->cellValue(0, mail::SendMailPanel::kMailFile).toInt());
}

TEST_F(SendMailWindow, HeadingsToggleTheRowsAndTheBudgetsAttachFlags) {
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("A.xlsx"),
                QStringLiteral("Ann"));
    addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("B.xlsx"),
                QStringLiteral("Ann"));
    const qint64 other = addUserFile(QStringLiteral("Sales2025"), QStringLiteral("Plan.xlsx"),
                                     QStringLiteral("A.xlsx"), QStringLiteral("Ann"));
    frmMail& window = openWindow();
    window.panel()->dtSendMail_HeadingClick(mail::SendMailPanel::kSend);
    EXPECT_EQ((QStringList{QStringLiteral("0"), QStringLiteral("0")}),
              column(window, mail::SendMailPanel::kSend));
    window.panel()->dtSendMail_HeadingClick(mail::SendMailPanel::kSend);
    EXPECT_EQ((QStringList{QStringLiteral("1"), QStringLiteral("1")}),
              column(window, mail::SendMailPanel::kSend));

    window.panel()->dtSendMail_HeadingClick(mail::SendMailPanel::kMailFile); // first click clears
    EXPECT_EQ((QStringList{QStringLiteral("0"), QStringLiteral("0")}),
              column(window, mail::SendMailPanel::kMailFile));
    EXPECT_EQ(0, scalar(QStringLiteral(
                            "SELECT sum(Attachment) FROM UserFileTablesData WHERE Budget_Name = 'Sales'"))
                     .toInt());
    EXPECT_EQ(1, userFileValue(other, QStringLiteral("Attachment")).toInt());
    window.panel()->dtSendMail_HeadingClick(mail::SendMailPanel::kMailFile);
    EXPECT_EQ((QStringList{QStringLiteral("1"), QStringLiteral("1")}),
              column(window, mail::SendMailPanel::kMailFile));
}

// "Mail All Files" sets or clears Mail File on every row the panel lists, in both editions (the
// add-in's lists the user files of its master workbook only), and shows whether every listed
// row goes with its file; the heading's double click sets the whole budget's when it is clear
// and clears them when it is ticked.
TEST_F(SendMailWindow, MailAllFilesSetsOrClearsEveryListedRow) {
    const qint64 plainA = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                      QStringLiteral("A.xlsx"), QStringLiteral("Ann"), false);
    const qint64 plainB = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"),
                                      QStringLiteral("B.xlsx"), QStringLiteral("Bob"), false);
    const qint64 costs = addUserFile(QStringLiteral("Sales"), QStringLiteral("Costs.xlsx"),
                                     QStringLiteral("C.xlsx"), QStringLiteral("Cy"), false);
    const auto attached = [this](qint64 id) {
        return userFileValue(id, QStringLiteral("Attachment")).toInt();
    };
    using Edition = mail::SendMailPanel::Edition;
    for (const Edition edition : {Edition::Desktop, Edition::AddIn}) {
        SCOPED_TRACE(edition == Edition::AddIn ? "add-in" : "desktop");
        execute(QStringLiteral("UPDATE UserFileTablesData SET Attachment = 0"));
        mail::SendMailPanel panel(edition);
        panel.setMasterFile(edition == Edition::AddIn ? QStringLiteral("Plan.xlsx") : QString());
        panel.FillSendMailGrid();
        const QList<qint64> listed =
            edition == Edition::AddIn ? QList<qint64>{plainA, plainB} : QList<qint64>{plainA, plainB, costs};
        ASSERT_EQ(listed.size(), panel.dtSendMail()->rowCount());
        EXPECT_FALSE(panel.chkMailAll()->isChecked());

        for (const int tick : {1, 0}) {
            panel.chkMailAll()->click();
            EXPECT_EQ(tick == 1, panel.chkMailAll()->isChecked());
            for (int row = 0; row < listed.size(); ++row) {
                EXPECT_EQ(tick, panel.dtSendMail()->cellValue(row, mail::SendMailPanel::kMailFile).toInt());
                EXPECT_EQ(tick, attached(listed[row]));
            }
            if (edition == Edition::AddIn) {
                EXPECT_EQ(0, attached(costs)) << "another master workbook's user file is not listed";
            }
        }

        panel.dtSendMail_HeadingClick(mail::SendMailPanel::kMailFile);
        EXPECT_TRUE(panel.chkMailAll()->isChecked());
        for (const qint64 id : {plainA, plainB, costs})
            EXPECT_EQ(1, attached(id));
        panel.dtSendMail_HeadingClick(mail::SendMailPanel::kMailFile);
        EXPECT_FALSE(panel.chkMailAll()->isChecked());
        for (const qint64 id : {plainA, plainB, costs})
            EXPECT_EQ(0, attached(id));
    }
}

// The sender is the default author when there is exactly one; a placeholder row is listed as
// the table holds it but never chosen, nor is a subject or a body text.
TEST_F(SendMailWindow, TheDefaultAuthorIsTheSenderAndNoPlaceholderIsChosen) {
    const auto admin = [this](const char* name, int isDefault, const char* kind) {
        execute(QStringLiteral("INSERT INTO Admin (Admin_Name, RecType, \"Default\") VALUES (?, ?, ?)"),
                {QString::fromLatin1(name), QString::fromLatin1(kind), isDefault});
    };
    admin("<Dummy record>", 1, "Author");
    execute(QStringLiteral("INSERT INTO Subject (Subject) VALUES ('<Dummy record>')"));
    execute(QStringLiteral("INSERT INTO BodyText (Body_Text) VALUES ('<Dummy record>')"));
    frmMail& window = openWindow();
    for (const platform::ui::ComboList* list :
         {window.panel()->cbxFrom(), window.panel()->cbxSubject(), window.panel()->cbxBodyText()}) {
        EXPECT_EQ(1, list->entryCount()) << list->objectName().toStdString();
        EXPECT_EQ(-1, list->listIndex()) << list->objectName().toStdString();
        EXPECT_EQ(QString(), list->text()) << list->objectName().toStdString();
    }

    admin("Robot", 1, "Robot");
    admin("Ann", 0, "Author");
    admin("Velk", 1, "Author");
    mail::FillMailLists();
    EXPECT_EQ(QStringLiteral("Velk"), window.panel()->cbxFrom()->text());
    admin("Vera", 1, "Author"); // two defaults: neither is taken for the one
    mail::FillMailLists();
    EXPECT_EQ(-1, window.panel()->cbxFrom()->listIndex());
}

// The window opens at the top-left corner of its owner's client area (the main window's), not
// at the screen's corner where a window manager's title bar would be above the screen, moved in
// as far as needed to stay inside the screen's available area wherever the owner stands.
TEST_F(SendMailWindow, OpensOnItsOwnerAndStaysInsideTheScreen) {
    QWidget owner;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint at : {screen.topLeft() + QPoint(30, 90), screen.bottomRight() - QPoint(60, 40)}) {
        owner.setGeometry(QRect(at, QSize(400, 300)));
        mail::ShowSendMail(&owner);
        frmMail* window = frmMail::loaded();
        ASSERT_NE(nullptr, window);
        QCoreApplication::processEvents();
        const QRect frame = window->frameGeometry();
        EXPECT_EQ(QPoint(std::min(at.x(), screen.x() + screen.width() - frame.width()),
                         std::min(at.y(), screen.y() + screen.height() - frame.height())),
                  frame.topLeft());
        EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y();
        closeWindow();
    }
}

TEST_F(SendMailWindow, OptionsAreKeptBetweenOpeningsAndComposeFollowsItsSetting) {
    frmMail& first = openWindow();
    EXPECT_TRUE(first.panel()->chkAddDueDate()->isChecked() && first.panel()->chkAddFN()->isChecked() &&
                first.panel()->chkDueDateAll()->isChecked());
    EXPECT_FALSE(first.panel()->cmdCompose()->isHidden());
    first.panel()->chkAddFN()->setChecked(false);
    first.panel()->chkDueDateAll()->setChecked(false);
    closeWindow();
    EXPECT_EQ(nullptr, frmMail::loaded());
    EXPECT_EQ(QStringLiteral("0"), setting("Runtime", "AddFN"));

    mail::writeRuntimeSetting(QStringLiteral("EmailCompose"), QStringLiteral("0"));
    frmMail& second = openWindow();
    EXPECT_TRUE(second.panel()->chkAddDueDate()->isChecked());
    EXPECT_FALSE(second.panel()->chkAddFN()->isChecked());
    EXPECT_FALSE(second.panel()->chkDueDateAll()->isChecked());
    EXPECT_TRUE(second.panel()->cmdCompose()->isHidden());
    EXPECT_FALSE(second.panel()->chkAllSendWS()->isChecked());
}

} // namespace
} // namespace mailtest
