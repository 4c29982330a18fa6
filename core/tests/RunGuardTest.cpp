// The guard that refuses commands while a run is under way, in this program or in another one
// on the same master database.
#include "core/RunGuard.h"

#include "MasterDbFixture.h"
#include "core/cConnection.h"
#include "platform/db/Presence.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>
#include <optional>

using core::RunGuard;

TEST(RunGuard, RefusesOnlyWhileATokenIsHeld) {
    testsupport::ScopedScriptedUi ui;
    EXPECT_FALSE(RunGuard::refuseDuringRun());
    EXPECT_TRUE(ui->asked().empty());
    {
        RunGuard::Token outer;
        std::optional<RunGuard::Token> inner;
        inner.emplace();
        inner.reset();
        EXPECT_TRUE(RunGuard::isRunning()) << "the outer run still holds its token";
        EXPECT_TRUE(RunGuard::refuseDuringRun());
        ASSERT_EQ(ui->messageTexts(), QStringList{RunGuard::kRefusedText});
        EXPECT_EQ(ui->asked().front().title, "Lumivane");
    }
    EXPECT_FALSE(RunGuard::isRunning());
    EXPECT_FALSE(RunGuard::refuseDuringRun());
}

// Two programs on one master database: each holds its presence on the file. A run of either
// refuses the guarded commands of the other for as long as it lasts, and of the first token
// alone, nested ones aside; a program that ends (its hold let go) leaves no run behind.
class RunGuardAcrossPrograms : public coretest::MasterDbFixture {};

TEST_F(RunGuardAcrossPrograms, ARunOfEitherProgramRefusesTheOther) {
    testsupport::ScopedScriptedUi ui;
    ASSERT_TRUE(core::gCnn->presence()) << "the program holds its presence on the master database";
    auto other = platform::db::PresenceHold::take(core::gCnn->LumiCnnPath());

    other->markRun(true);
    EXPECT_TRUE(RunGuard::isRunning());
    EXPECT_TRUE(RunGuard::refuseDuringRun());
    EXPECT_EQ(ui->messageTexts(), QStringList{RunGuard::kRefusedText});
    other->markRun(false);
    EXPECT_FALSE(RunGuard::refuseDuringRun());

    {
        RunGuard::Token outer;
        { RunGuard::Token inner; }
        EXPECT_TRUE(other->otherProgramRuns()) << "the outer token still marks the run";
        EXPECT_FALSE(core::gCnn->presence()->otherProgramRuns()) << "its own mark is no other's run";
    }
    EXPECT_FALSE(other->otherProgramRuns());

    other->markRun(true);
    other.reset(); // the other program ends
    EXPECT_FALSE(RunGuard::isRunning());
}
