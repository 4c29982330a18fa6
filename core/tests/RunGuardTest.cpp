// The guard that refuses commands while a run is under way.
#include "core/RunGuard.h"

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
