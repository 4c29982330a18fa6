// See WizardControl.h.
#include "platform/ui/WizardControl.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace platform::ui {

WizardControl::WizardControl(QWidget* parent)
    : QWidget(parent)
    , pages_(new QStackedWidget(this))
    , back_(new QPushButton(tr("< &Back"), this))
    , next_(new QPushButton(tr("&Next >"), this))
    , finish_(new QPushButton(tr("&Finish"), this))
    , cancel_(new QPushButton(tr("Cancel"), this)) {
    setObjectName(QStringLiteral("EZWiz"));
    back_->setObjectName(QStringLiteral("cmdBack"));
    next_->setObjectName(QStringLiteral("cmdNext"));
    finish_->setObjectName(QStringLiteral("cmdFinish"));
    cancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {back_, next_, finish_, cancel_})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);

    connect(back_, &QPushButton::clicked, this, &WizardControl::back);
    connect(next_, &QPushButton::clicked, this, &WizardControl::next);
    connect(finish_, &QPushButton::clicked, this, &WizardControl::finish);
    connect(cancel_, &QPushButton::clicked, this, &WizardControl::cancel);
    updateButtons();
}

int WizardControl::addPage(QWidget* page) {
    pages_->addWidget(page);
    updateButtons();
    return pages_->count();
}

QWidget* WizardControl::page(int number) const {
    return pages_->widget(number - 1);
}

int WizardControl::pageCount() const {
    return pages_->count();
}

int WizardControl::currentPage() const {
    return pages_->currentIndex() + 1;
}

void WizardControl::setCurrentPage(int number) {
    if (number < 1 || number > pageCount())
        return;
    pages_->setCurrentIndex(number - 1);
    updateButtons();
    emit pageChanged();
}

void WizardControl::setPageRequest(int number) {
    pageRequest_ = number;
    setCurrentPage(number);
}

void WizardControl::next() {
    move(beforeNext_, 1);
}

void WizardControl::back() {
    move(beforeBack_, -1);
}

// The move starts from the page current after the handler, which may have steered it.
void WizardControl::move(const BeforeMove& handler, int step) {
    bool cancelled = false;
    if (handler)
        handler(cancelled);
    if (cancelled)
        return;
    const int target = currentPage() + step;
    if (target < 1 || target > pageCount())
        return;
    setCurrentPage(target);
    if (step > 0)
        emit afterNext();
    else
        emit afterBack();
}

void WizardControl::updateButtons() {
    back_->setEnabled(currentPage() > 1);
    next_->setEnabled(currentPage() < pageCount());
}

void WizardControl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (requestRaised_)
        return;
    requestRaised_ = true;
    emit goToRequestedPage();
}

} // namespace platform::ui
