// The pause and the cancel poll let window events through while they wait.
#include "platform/ui/EventPump.h"

#include <QTimer>
#include <gtest/gtest.h>

using platform::ui::EventPump;

TEST(EventPump, PauseLetsATimerFireWhileItWaits) {
    bool fired = false;
    QTimer::singleShot(50, [&] { fired = true; });
    EventPump::pause(0.3);
    EXPECT_TRUE(fired);
}

TEST(EventPump, PauseOfZeroOrLessStillLetsPendingEventsThroughOnce) {
    for (double seconds : {0.0, -2.0}) {
        bool fired = false;
        QTimer::singleShot(0, [&] { fired = true; });
        EventPump::pause(seconds);
        EXPECT_TRUE(fired) << seconds;
    }
}

TEST(EventPump, PollSeesARequestMadeByAnEventDuringThePoll) {
    bool cancel = false;
    QTimer::singleShot(20, [&] { cancel = true; });
    EXPECT_TRUE(EventPump::pollFor([&] { return cancel; }, 5.0));
}

TEST(EventPump, PollWithoutARequestAnswersFalseAfterItsTime) {
    int asked = 0;
    EXPECT_FALSE(EventPump::pollFor([&] { return ++asked, false; }, 0.01));
    EXPECT_GE(asked, 1);
}
