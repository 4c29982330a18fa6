// One instance per settings file: the first claim listens, a later one with the same key is
// refused and its request to come forward reaches the first; another key is independent; a
// socket left behind by a crashed instance is taken over.
#include "platform/sys/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QUuid>
#include <gtest/gtest.h>

namespace {

using platform::sys::SingleInstance;

QString uniqueKey() {
    return QUuid::createUuid().toString();
}

// Lets the events through until the condition holds (a hang guard, not a speed goal).
bool processEventsUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(SingleInstance, ALaterStartIsRefusedAndAsksTheFirstToComeForward) {
    const QString key = uniqueKey();
    SingleInstance first(key);
    ASSERT_TRUE(first.claim());
    int requests = 0;
    first.onActivationRequested([&requests] { ++requests; });

    SingleInstance second(key);
    EXPECT_FALSE(second.claim());
    EXPECT_EQ(requests, 0) << "the check alone asks nothing";
    EXPECT_TRUE(second.activateRunning());
    EXPECT_TRUE(processEventsUntil([&requests] { return requests == 1; }));

    SingleInstance other(uniqueKey());
    EXPECT_TRUE(other.claim()) << "another user's settings make another program";
}

TEST(SingleInstance, ASocketLeftByACrashedInstanceIsTakenOver) {
    const QString key = uniqueKey();
    // A file in the socket's place with nobody listening: what a crash leaves behind.
    QFile stale(QDir(QDir::tempPath()).filePath(SingleInstance::serverName(key)));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance fresh(key);
    EXPECT_TRUE(fresh.claim());
    SingleInstance later(key);
    EXPECT_FALSE(later.claim());
}

TEST(SingleInstance, NothingRunningMeansNothingToActivate) {
    SingleInstance lonely(uniqueKey());
    EXPECT_FALSE(lonely.activateRunning());
}

} // namespace
