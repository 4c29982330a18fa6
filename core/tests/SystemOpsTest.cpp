// The counted hourglass, the pause that lets window events through, and the loaded-window test.
#include "core/SystemOps.h"

#include "platform/ui/BusyPointer.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

Qt::CursorShape shownPointer() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

TEST(SystemOps, NestedBusySectionsKeepTheHourglassUntilTheOutermostEnds) {
    core::SetBusyPointer(0); // an unbalanced leave does no harm
    EXPECT_EQ(platform::ui::BusyPointer::depth(), 0);
    core::SetBusyPointer(11);
    core::SetBusyPointer(11);
    core::SetBusyPointer(0);
    EXPECT_EQ(shownPointer(), Qt::WaitCursor);
    core::SetBusyPointer(0);
    EXPECT_EQ(shownPointer(), Qt::ArrowCursor);
    EXPECT_EQ(platform::ui::BusyPointer::depth(), 0);
}

TEST(SystemOps, PauseLetsWindowEventsThrough) {
    bool fired = false;
    QTimer::singleShot(10, [&] { fired = true; });
    core::Pause(0.2f);
    EXPECT_TRUE(fired);
}

TEST(SystemOps, IsFormLoadedIgnoresCaseAndNeverLoads) {
    EXPECT_FALSE(core::IsFormLoaded(QStringLiteral("frmSample")));
    {
        QWidget window;
        window.setObjectName(QStringLiteral("frmSample"));
        window.show();
        EXPECT_TRUE(core::IsFormLoaded(QStringLiteral("FRMSAMPLE")));
    }
    EXPECT_FALSE(core::IsFormLoaded(QStringLiteral("frmSample")));
}

} // namespace
