// The progress bar's paints during a run that sets it at every step without letting window
// events through: at most one paint per interval on the bar's clock (a clock the test moves),
// none for a step that changes nothing, and the last step's value painted once events go through.
#include "platform/ui/ProgressBar.h"

#include <QEvent>
#include <QProgressBar>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

using platform::ui::ProgressBar;

// The values a widget showed each time it was painted.
class PaintLog : public QObject {
public:
    explicit PaintLog(QProgressBar* bar)
        : bar_(bar) {
        bar->installEventFilter(this);
    }
    QList<int> values;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            values << bar_->value();
        return false;
    }

private:
    QProgressBar* bar_;
};

TEST(ProgressBar, ARunsStepsArePaintedAtMostOncePerIntervalAndTheLastOneAlways) {
    struct Case {
        const char* name;
        qint64 stepMs;    // how far the clock moves between two steps
        bool sameValue;   // every step sets the value the first one set
        int paintedSteps; // paints while the 100 steps run
    };
    const Case cases[] = {
        {"clock standing still", 0, false, 1},
        {"a step every 10 ms", 10, false, 25},
        {"a step every 40 ms", ProgressBar::kPaintIntervalMs, false, 100},
        {"a step every 100 ms", 100, false, 100},
        {"the same value again and again", 100, true, 1},
    };
    constexpr int kSteps = 100;
    for (const Case& c : cases) {
        QWidget window;
        auto* bar = new ProgressBar(&window);
        (new QVBoxLayout(&window))->addWidget(bar);
        window.resize(400, 60);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << c.name;
        qint64 now = 1000;
        bar->setClock([&now] { return now; });
        bar->setMax(kSteps);
        QCoreApplication::processEvents();
        auto* inner = bar->findChild<QProgressBar*>();
        ASSERT_NE(inner, nullptr);
        PaintLog log(inner);

        for (int step = 1; step <= kSteps; ++step) {
            bar->setMax(kSteps);
            bar->setValue(c.sameValue ? 1 : step);
            now += c.stepMs;
        }
        EXPECT_EQ(log.values.size(), c.paintedSteps) << c.name;
        EXPECT_EQ(inner->value(), c.sameValue ? 1 : kSteps) << c.name << ": the bar holds the last step";

        QCoreApplication::processEvents();
        ASSERT_FALSE(log.values.isEmpty()) << c.name;
        EXPECT_EQ(log.values.last(), c.sameValue ? 1 : kSteps) << c.name << ": the last step is painted";
    }
}

} // namespace
