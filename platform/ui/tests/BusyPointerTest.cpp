// The counted busy pointer: nested sections keep the hourglass until the outermost ends.
#include "platform/ui/BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

using platform::ui::BusyPointer;

namespace {

Qt::CursorShape shownShape() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

bool overridden() {
    return QGuiApplication::overrideCursor() != nullptr;
}

} // namespace

TEST(BusyPointer, NestedSectionsKeepTheHourglassUntilTheOutermostEnds) {
    struct Step {
        int pointer;
        int depth;
        bool busy;
    };
    // Starts from rest: an extra "off" at zero stays at zero.
    const Step steps[] = {{0, 0, false}, {11, 1, true}, {11, 2, true},
                          {0, 1, true},  {0, 0, false}, {0, 0, false}};
    for (const Step& step : steps) {
        BusyPointer::set(step.pointer);
        EXPECT_EQ(BusyPointer::depth(), step.depth) << "after " << step.pointer;
        EXPECT_EQ(overridden(), step.busy) << "after " << step.pointer;
        if (step.busy) {
            EXPECT_EQ(shownShape(), Qt::WaitCursor);
        }
    }
}

TEST(BusyPointer, OtherPointersAreShownWithoutTouchingTheCount) {
    BusyPointer::set(2); // cross
    EXPECT_EQ(BusyPointer::depth(), 0);
    EXPECT_EQ(shownShape(), Qt::CrossCursor);
    BusyPointer::set(BusyPointer::kHourglass);
    EXPECT_EQ(shownShape(), Qt::WaitCursor);
    BusyPointer::set(BusyPointer::kDefault);
    EXPECT_FALSE(overridden()); // no override left behind on the application's stack
    EXPECT_EQ(BusyPointer::pointer(), BusyPointer::kDefault);
}

TEST(BusyPointer, GuardsNestAndUnwind) {
    {
        BusyPointer::Guard outer;
        {
            BusyPointer::Guard inner;
            EXPECT_EQ(BusyPointer::depth(), 2);
        }
        EXPECT_EQ(shownShape(), Qt::WaitCursor);
    }
    EXPECT_EQ(BusyPointer::depth(), 0);
    EXPECT_FALSE(overridden());
}
