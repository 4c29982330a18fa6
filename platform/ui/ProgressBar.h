// The progress bar of the wait window and other long runs: a minimum, a maximum, a value
// and a display switch. Values outside the range are held at its ends, and a range with
// nothing in it (maximum not above minimum, as at the start of a run) shows an empty bar
// rather than a busy animation. With the display switched off the bar shows nothing.
//
// A run sets the bar at every step without letting window events through, so the bar paints
// itself at once when it changes; painting costs more than a short step, so it does so at most
// every kPaintIntervalMs. A change held back is painted as soon as window events go through, and
// the window's own paints always show the bar's latest state.
#pragma once

#include <QWidget>
#include <functional>

class QProgressBar;

namespace platform::ui {

class ProgressBar : public QWidget {
    Q_OBJECT
public:
    static constexpr qint64 kPaintIntervalMs = 40;
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;

    explicit ProgressBar(QWidget* parent = nullptr);

    void setMin(int min);
    void setMax(int max);
    void setValue(int value);
    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }

    void setDisplay(bool on);
    bool display() const { return display_; }

    // The clock the paints are spaced by (tests give their own).
    void setClock(Clock clock);

private:
    struct Shown {
        int maximum = 0;
        int value = 0;
        bool text = false;
        bool operator==(const Shown&) const = default;
    };

    void applyState();
    bool paintDue() const;

    QProgressBar* bar_;
    Clock clock_;
    Shown shown_;
    qint64 lastPaint_ = 0;
    bool everPainted_ = false;

    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool display_ = true;
};

} // namespace platform::ui
