// The program-wide busy pointer. Busy sections nest: each one switches the hourglass on
// when it starts and off when it ends, and the hourglass stays up until the outermost
// section has ended. An unbalanced extra "off" does no harm: the count never goes below
// zero. The pointer numbers are the ones the program's code passes (0 the default pointer,
// 11 the hourglass); any other number shows that pointer at once without touching the
// count.
#pragma once

namespace platform::ui {

class BusyPointer {
public:
    static constexpr int kDefault = 0;
    static constexpr int kHourglass = 11;

    // kHourglass enters a busy section, kDefault leaves one; other values are shown as
    // they are.
    static void set(int pointer);

    // How many busy sections are open now.
    static int depth();

    // The pointer number on screen now.
    static int pointer();

    // Keeps a busy section open for its lifetime.
    class Guard {
    public:
        Guard() { set(kHourglass); }
        ~Guard() { set(kDefault); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
    };

private:
    static void show(int pointer);
};

} // namespace platform::ui
