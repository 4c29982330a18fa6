// See frmCalendar.h.
#include "mail/frmCalendar.h"

#include "core/cOptions.h"
#include "mail/DueDates.h"
#include "mail/MailContext.h"
#include "mail/SendMailPanel.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace mail {

frmCalendar::frmCalendar(SendMailPanel* window)
    : QWidget(window, Qt::Dialog)
    , window_(window)
    , calendar_(new QCalendarWidget(this))
    , cmdOK_(new QPushButton(QStringLiteral("OK"), this))
    , cmdCancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Set Due Date"));
    calendar_->setObjectName(QStringLiteral("CorvCalendar1"));
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    calendar_->setGridVisible(true);
    if (window && window->dueDate().isValid())
        calendar_->setSelectedDate(window->dueDate());
    connect(cmdOK_, &QPushButton::clicked, this, &frmCalendar::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmCalendar::cmdCancel_Click);
    connect(calendar_, &QCalendarWidget::activated, this, &frmCalendar::cmdOK_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendar_);
    layout->addLayout(buttons);
}

frmCalendar* frmCalendar::show(SendMailPanel* window) {
    for (frmCalendar* open : window->findChildren<frmCalendar*>()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* calendar = new frmCalendar(window);
    calendar->QWidget::show();
    return calendar;
}

void frmCalendar::cmdOK_Click() {
    const QDate picked = calendar_->selectedDate();
    if (core::gOptions)
        core::gOptions->DueDate = picked.isValid() ? picked.toString(Qt::ISODate) : QString();
    const QPointer<SendMailPanel> window = window_;
    close();
    writeRuntimeSetting(QStringLiteral("RefreshDataTable"), QStringLiteral("1"));
    if (!picked.isValid()) {
        tell(QStringLiteral("You must enter a Due Date."));
        return;
    }
    if (window)
        SetDueDateForAll(*window);
}

void frmCalendar::cmdCancel_Click() {
    close();
}

} // namespace mail
