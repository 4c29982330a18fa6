// The progress bar over QProgressBar.
#include "platform/ui/ProgressBar.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace platform::ui {

namespace {

qint64 steadyMs() {
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
}

} // namespace

ProgressBar::ProgressBar(QWidget* parent)
    : QWidget(parent)
    , bar_(new QProgressBar(this))
    , clock_(steadyMs) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    shown_ = {bar_->maximum(), bar_->value(), bar_->isTextVisible()};
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

void ProgressBar::setClock(Clock clock) {
    clock_ = std::move(clock);
    everPainted_ = false;
}

bool ProgressBar::paintDue() const {
    return !everPainted_ || clock_() - lastPaint_ >= kPaintIntervalMs;
}

void ProgressBar::applyState() {
    const bool empty = !display_ || max_ <= min_;
    const Shown wanted{empty ? 1 : max_ - min_, empty ? 0 : std::clamp(value_, min_, max_) - min_, !empty};
    if (wanted == shown_)
        return; // nothing to paint
    // QProgressBar paints itself at once on some of these changes: held back here, so that the
    // bar gets one paint at most per interval. Updates enabled again ask for an ordinary paint,
    // which shows the latest state when window events next go through.
    bar_->setUpdatesEnabled(false);
    bar_->setRange(0, wanted.maximum);
    bar_->setValue(wanted.value);
    bar_->setTextVisible(wanted.text);
    bar_->setUpdatesEnabled(true);
    shown_ = wanted;
    if (!bar_->isVisible() || !paintDue())
        return;
    bar_->repaint();
    lastPaint_ = clock_();
    everPainted_ = true;
}

} // namespace platform::ui
