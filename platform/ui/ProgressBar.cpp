// The progress bar over QProgressBar.
#include "platform/ui/ProgressBar.h"

#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace platform::ui {

ProgressBar::ProgressBar(QWidget* parent)
    : QWidget(parent)
    , bar_(new QProgressBar(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    applyState();
}

void ProgressBar::setMin(int min) {
    min_ = min;
    applyState();
}

void ProgressBar::setMax(int max) {
    max_ = max;
    applyState();
}

void ProgressBar::setValue(int value) {
    value_ = value;
    applyState();
}

void ProgressBar::setDisplay(bool on) {
    display_ = on;
    applyState();
}

void ProgressBar::applyState() {
    const bool empty = !display_ || max_ <= min_;
    bar_->setRange(0, empty ? 1 : max_ - min_);
    bar_->setValue(empty ? 0 : std::clamp(value_, min_, max_) - min_);
    bar_->setTextVisible(!empty);
}

} // namespace platform::ui
