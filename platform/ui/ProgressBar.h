// The progress bar of the wait window and other long runs: a minimum, a maximum, a value
// and a display switch. Values outside the range are held at its ends, and a range with
// nothing in it (maximum not above minimum, as at the start of a run) shows an empty bar
// rather than a busy animation. With the display switched off the bar shows nothing.
#pragma once

#include <QWidget>

class QProgressBar;

namespace platform::ui {

class ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);

    void setMin(int min);
    void setMax(int max);
    void setValue(int value);
    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }

    void setDisplay(bool on);
    bool display() const { return display_; }

private:
    void applyState();

    QProgressBar* bar_;

    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool display_ = true;
};

} // namespace platform::ui
