// Due dates picked in the calendar and the mail-status reset: which rows they change (the
// context budget's, never a budget whose name merely contains it), how the date is stored,
// and what they refuse.
#include "mail/DueDates.h"

#include "MailFixture.h"
#include "core/RunGuard.h"
#include "core/frmWait.h"
#include "mail/MailContext.h"
#include "mail/MailServices.h"
#include "mail/frmCalendar.h"
#include "mail/frmMail.h"
#include "platform/ui/EditGrid.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace mailtest {
namespace {

using mail::frmMail;

class DueDates : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        a_ = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("A.xlsx"),
                         QStringLiteral("Ann"));
        b_ = addUserFile(QStringLiteral("Sales"), QStringLiteral("Plan.xlsx"), QStringLiteral("B.xlsx"),
                         QStringLiteral("Ann"));
        other_ = addUserFile(QStringLiteral("Sales2025"), QStringLiteral("Plan.xlsx"),
                             QStringLiteral("A.xlsx"), QStringLiteral("Ann"));
        ui().acceptUnscriptedMessages();
        mail::ShowSendMail(nullptr);
        window_ = frmMail::loaded();
    }

    void TearDown() override {
        if (window_) {
            window_->close();
            delete window_;
        }
        MailFixture::TearDown();
    }

    // Picks the date in the calendar opened from the due-date box and confirms it.
    void pick(const QDate& date) {
        window_->panel()->tbxDueDate_Click();
        auto* calendar = window_->findChild<mail::frmCalendar*>();
        ASSERT_NE(nullptr, calendar);
        calendar->CorvCalendar1()->setSelectedDate(date);
        calendar->cmdOK()->click();
    }

    QString due(qint64 id) { return userFileValue(id, QStringLiteral("Due_Date")).toString(); }

    qint64 a_ = 0, b_ = 0, other_ = 0;
    frmMail* window_ = nullptr;
};

TEST_F(DueDates, AllWritesEveryUserFileOfTheContextBudgetAsADate) {
    window_->panel()->chkDueDateAll()->setChecked(true);
    pick(QDate(2030, 4, 30));
    EXPECT_EQ(QStringLiteral("2030-04-30 00:00:00"), due(a_));
    EXPECT_EQ(QStringLiteral("2030-04-30 00:00:00"), due(b_));
    EXPECT_TRUE(userFileValue(other_, QStringLiteral("Due_Date")).isNull());
    const QString shown = mail::dueDateText(QDate(2030, 4, 30));
    EXPECT_EQ(shown, window_->panel()->dtSendMail()->cellText(0, mail::SendMailPanel::kDueDate));
    EXPECT_EQ(shown, window_->panel()->tbxDueDate()->text());
    EXPECT_TRUE(core::gOptions->DueDate.isEmpty());
    EXPECT_EQ(QStringLiteral("1"), setting("Runtime", "RefreshDataTable"));
}

TEST_F(DueDates, WithoutAllOnlyTheHighlightedRowsChange) {
    window_->panel()->chkDueDateAll()->setChecked(false);
    window_->panel()->dtSendMail()->setRowSelection(platform::ui::RowSelection::MultipleRows);
    window_->panel()->dtSendMail()->selectRange(1, 1, true);
    pick(QDate(2030, 5, 2));
    EXPECT_TRUE(userFileValue(a_, QStringLiteral("Due_Date")).isNull());
    EXPECT_EQ(QStringLiteral("2030-05-02 00:00:00"), due(b_));
    EXPECT_TRUE(window_->panel()->dtSendMail()->cellText(0, mail::SendMailPanel::kDueDate).isEmpty());
}

TEST_F(DueDates, CancelChangesNothing) {
    window_->panel()->tbxDueDate_Click();
    auto* calendar = window_->findChild<mail::frmCalendar*>();
    ASSERT_NE(nullptr, calendar);
    platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Runtime"),
                                 QStringLiteral("RefreshDataTable"));
    calendar->cmdCancel()->click();
    EXPECT_TRUE(userFileValue(a_, QStringLiteral("Due_Date")).isNull());
    EXPECT_TRUE(setting("Runtime", "RefreshDataTable").isEmpty());
}

TEST_F(DueDates, ResetClearsTheContextBudgetsMailStatusOnly) {
    execute(QStringLiteral("UPDATE UserFileTablesData SET Due_Date = ?, Email_Sent = ?, UserFile_Update = 1, "
                           "Lockout_User_Updates = 1"),
            {QDate(2030, 1, 1), QDateTime::currentDateTime()});
    window_->panel()->setDueDate(QDate(2030, 1, 1));
    core::frmWait::unload();
    mail::ResetMailStatus();
    for (qint64 id : {a_, b_}) {
        for (const char* column : {"Due_Date", "Email_Sent"})
            EXPECT_TRUE(userFileValue(id, QString::fromLatin1(column)).isNull()) << column;
        EXPECT_EQ(0, userFileValue(id, QStringLiteral("Lockout_User_Updates")).toInt());
    }
    EXPECT_FALSE(userFileValue(other_, QStringLiteral("Due_Date")).isNull());
    EXPECT_EQ(1, userFileValue(other_, QStringLiteral("Lockout_User_Updates")).toInt());
    EXPECT_TRUE(window_->panel()->tbxDueDate()->text().isEmpty());
}

TEST_F(DueDates, ResetRefusesWithoutContextAndDuringARun) {
    execute(QStringLiteral("UPDATE UserFileTablesData SET Lockout_User_Updates = 1"));
    const struct {
        QString context;
        bool running;
        QString message;
    } cases[] = {
        {QString(), false, QStringLiteral("Set the Budget Context.")},
        {QStringLiteral("NOTHING"), false, QStringLiteral("Set the Budget Context.")},
        {QStringLiteral("Sales"), true, core::RunGuard::kRefusedText},
        {QStringLiteral("Nobody's budget"), false, QStringLiteral("There are no records to process.")},
    };
    for (const auto& c : cases) {
        ui().clear();
        core::gOptions->BudgetNameContext = c.context;
        std::optional<core::RunGuard::Token> run;
        if (c.running)
            run.emplace();
        mail::ResetMailStatus();
        EXPECT_EQ(QStringList{c.message}, ui().messageTexts()) << c.context.toStdString();
    }
    EXPECT_EQ(3, scalar(QStringLiteral("SELECT sum(Lockout_User_Updates) FROM UserFileTablesData")).toInt());
}

} // namespace
} // namespace mailtest
