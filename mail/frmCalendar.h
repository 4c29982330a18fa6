// The due-date calendar ("Set Due Date"), opened modeless from the send-mail window's due-date
// box. OK takes the picked date to the user files (SetDueDateForAll) of the window that opened
// it; Cancel and the close box change nothing.
#pragma once

#include <QPointer>
#include <QWidget>

class QCalendarWidget;
class QPushButton;

namespace mail {

class SendMailPanel;

class frmCalendar : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmCalendar");

    // Shows the calendar for that window (bringing an open one forward).
    static frmCalendar* show(SendMailPanel* window);

    QCalendarWidget* CorvCalendar1() const { return calendar_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    void cmdOK_Click();
    void cmdCancel_Click();

private:
    explicit frmCalendar(SendMailPanel* window);

    QPointer<SendMailPanel> window_;
    QCalendarWidget* calendar_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

} // namespace mail
