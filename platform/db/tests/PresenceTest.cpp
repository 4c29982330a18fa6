// The presence check on real files: holds of one process and of other processes (the second
// program, DbPeer), own use refused while another hold exists and granted once it
// has gone, also when the other program was killed, and the presence file's permissions.
#include "platform/db/Presence.h"

#include "platform/db/DbError.h"
#include "platform/db/tests/DbFixture.h"
#include "platform/db/tests/DbPeer.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using platform::db::DbError;
using platform::db::PresenceHold;

namespace {

QString newDatabase() {
    const QString path =
        testsupport::freshDir(QStringLiteral("presence")) + QStringLiteral("/lumimaster.mdb");
    dbtest::makeDatabase(path, {}, dbtest::kBudgetsScript);
    return path;
}

qint32 takeError(const QString& path, int waitMs) {
    try {
        PresenceHold::take(path, waitMs);
    } catch (const DbError& error) {
        return error.number();
    }
    return 0;
}

TEST(Presence, OwnUseOnlyWhileNoOtherHoldOfThisProcess) {
    const QString db = newDatabase();
    EXPECT_FALSE(PresenceHold::isHeld(db));
    auto first = PresenceHold::take(db);
    auto second = PresenceHold::take(db);
    EXPECT_TRUE(PresenceHold::isHeld(db));

    EXPECT_FALSE(first->takeForOwnUse()) << "the second hold is another program to the first";
    EXPECT_FALSE(first->isOwnUse());
    second.reset();
    ASSERT_TRUE(first->takeForOwnUse());
    EXPECT_TRUE(first->isOwnUse());

    // While the file is had alone, a new hold waits and is then refused; shared again, it is let in.
    EXPECT_EQ(takeError(db, 200), DbError::kFileInUse);
    first->share();
    EXPECT_EQ(takeError(db, 0), 0);
    first.reset();
    EXPECT_FALSE(PresenceHold::isHeld(db));
}

TEST(Presence, AnotherProcessKeepsOwnUseOutUntilItLetsGo) {
    const QString db = newDatabase();
    auto own = PresenceHold::take(db);
    dbtest::DbPeer other;
    ASSERT_EQ(other.ask({QStringLiteral("hold"), db}), QStringLiteral("ok"));

    EXPECT_FALSE(own->takeForOwnUse());
    ASSERT_EQ(other.ask({QStringLiteral("release")}), QStringLiteral("ok"));
    EXPECT_TRUE(own->takeForOwnUse());

    EXPECT_TRUE(other.ask({QStringLiteral("hold"), db}).startsWith(QStringLiteral("error %1").arg(DbError::kFileInUse)))
        << "a program arriving while the file is had alone is refused";
}

TEST(Presence, AKilledProgramLeavesNoPresenceBehind) {
    const QString db = newDatabase();
    dbtest::DbPeer other;
    ASSERT_EQ(other.ask({QStringLiteral("hold"), db}), QStringLiteral("ok"));
    EXPECT_TRUE(PresenceHold::isHeld(db));
    other.kill();
    EXPECT_FALSE(PresenceHold::isHeld(db));
    EXPECT_TRUE(PresenceHold::take(db)->takeForOwnUse());
}

TEST(Presence, ThePresenceFileHasTheDatabasesPermissions) {
    const QString db = newDatabase();
    ASSERT_EQ(::chmod(QFile::encodeName(db).constData(), 0660), 0);
    const mode_t previous = ::umask(077);
    auto hold = PresenceHold::take(db);
    ::umask(previous);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(PresenceHold::presencePath(db)).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0660u) << "every administrator who may open the database may hold it";
}

} // namespace
