// Lets window events through while the program waits: the timed pause of the long runs
// and the short poll with which a run asks whether the user pressed Cancel. Both measure
// time on a monotonic clock, so a wait that spans midnight or a clock change still ends
// after the time asked for, and both sleep in the event loop between events instead of
// spinning.
#pragma once

#include <functional>

namespace platform::ui {

class EventPump {
public:
    // Lets pending window events through until the given number of seconds has passed.
    // Zero or a negative value lets the pending events through once and returns.
    static void pause(double seconds);

    // Lets window events through for up to the given number of seconds and returns true
    // as soon as `requested` answers true (it is asked after each batch of events), false
    // when the time ran out without it. Asked at least once.
    static bool pollFor(const std::function<bool()>& requested, double seconds);

    // Lets the events that are pending now through, without waiting.
    static void processPending();

private:
    // Waits in the event loop for at most `milliseconds`, handling events as they come.
    static void waitForEvents(long long milliseconds);
};

} // namespace platform::ui
