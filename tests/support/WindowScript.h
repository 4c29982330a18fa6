// Plays the user's part in the modeless windows that the code under test shows and then
// waits for (the logon, password and account windows): the test lists steps, each for a
// window by its form name; a step runs once that window is loaded and shown, one step at a
// time, while the code under test lets window events through.
#pragma once

#include "platform/ui/LoadedWindows.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

class WindowScript : public QObject {
public:
    using Step = std::function<void(QWidget&)>;

    WindowScript() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
        timer_.start();
    }
    void then(const QString& form, Step step) { steps_.push_back({form, std::move(step)}); }
    bool done() const { return steps_.empty(); }
    QStringList shown() const { return shown_; }

private:
    void tick() {
        if (steps_.empty())
            return;
        QWidget* window = platform::ui::LoadedWindows::find(steps_.front().first);
        if (!window || !window->isVisible())
            return;
        if (!shown_.contains(steps_.front().first))
            shown_ << steps_.front().first;
        const Step step = std::move(steps_.front().second);
        steps_.pop_front();
        step(*window);
    }

    QTimer timer_;
    std::deque<std::pair<QString, Step>> steps_;
    QStringList shown_;
};

// A box or button of a window by its name.
template <typename T> T* control(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}
inline void type(QWidget& window, const QString& box, const QString& text) {
    if (auto* edit = control<QLineEdit>(window, box))
        edit->setText(text);
}
inline void click(QWidget& window, const QString& button) {
    if (auto* b = control<QAbstractButton>(window, button))
        b->click();
}

} // namespace testsupport
