// Event pumping over Qt's event loop with a monotonic clock.
#include "platform/ui/EventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace platform::ui {

namespace {

// The longest stretch spent in one nested loop, so that a loop ended early (the
// application quitting) is noticed and the deadline is checked again soon.
constexpr long long kSliceMs = 50;

long long toMilliseconds(double seconds) {
    if (!(seconds > 0)) // also catches NaN
        return 0;
    return static_cast<long long>(std::ceil(seconds * 1000.0));
}

} // namespace

void EventPump::processPending() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void EventPump::waitForEvents(long long milliseconds) {
    if (milliseconds <= 0)
        return;
    const long long slice = std::min(milliseconds, kSliceMs);
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(slice));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(slice), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::AllEvents);
}

void EventPump::pause(double seconds) {
    const long long total = toMilliseconds(seconds);
    QElapsedTimer clock;
    clock.start();
    processPending();
    for (long long left = total - clock.elapsed(); left > 0; left = total - clock.elapsed())
        waitForEvents(left);
}

bool EventPump::pollFor(const std::function<bool()>& requested, double seconds) {
    const long long total = toMilliseconds(seconds);
    QElapsedTimer clock;
    clock.start();
    processPending();
    if (requested())
        return true;
    for (long long left = total - clock.elapsed(); left > 0; left = total - clock.elapsed()) {
        waitForEvents(std::min<long long>(left, 1));
        if (requested())
            return true;
    }
    return false;
}

} // namespace platform::ui
