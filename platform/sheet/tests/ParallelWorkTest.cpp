// The shared pool of worker threads: every piece of a call runs once, whoever calls -- the
// main thread, a piece of another call, several threads at once -- and a piece's failure
// reaches the caller once the call's other pieces have ended.
#include "platform/sheet/model/Parallel.h"

#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

using platform::sheet::runParallel;

namespace {

// How often each piece of a call of `count` pieces ran.
std::vector<int> runCounts(std::size_t count) {
    std::vector<std::atomic<int>> runs(count);
    runParallel(count, [&](std::size_t i) { ++runs[i]; });
    std::vector<int> out;
    for (const auto& r : runs)
        out.push_back(r.load());
    return out;
}

} // namespace

TEST(ParallelWork, EveryPieceRunsOnceWhoeverCalls) {
    for (std::size_t count : {0, 1, 2, 7, 1000}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(runCounts(count), std::vector<int>(count, 1));
    }

    // A piece that calls in turn (a sheet read that packs its parts side by side): every inner
    // piece runs, though every pool thread may be busy with the outer call.
    std::vector<std::atomic<int>> inner(16 * 16);
    runParallel(16,
                [&](std::size_t outer) { runParallel(16, [&](std::size_t i) { ++inner[outer * 16 + i]; }); });
    for (const auto& r : inner)
        EXPECT_EQ(r.load(), 1);

    // Several threads that call at once (workbooks opened side by side) each get all theirs.
    std::vector<std::vector<int>> seen(6);
    std::vector<std::thread> callers;
    for (std::size_t t = 0; t < seen.size(); ++t)
        callers.emplace_back([&seen, t] {
            for (int round = 0; round < 50 && !::testing::Test::HasFailure(); ++round)
                seen[t] = runCounts(100 + t);
        });
    for (auto& caller : callers)
        caller.join();
    for (std::size_t t = 0; t < seen.size(); ++t)
        EXPECT_EQ(seen[t], std::vector<int>(100 + t, 1)) << "caller " << t;
}

TEST(ParallelWork, AFailingPieceReachesTheCallerAfterTheOthersEnded) {
    for (std::size_t failing : {0, 5, 63}) {
        SCOPED_TRACE(failing);
        std::vector<std::atomic<int>> runs(64);
        try {
            runParallel(64, [&](std::size_t i) {
                if (i == failing)
                    throw std::runtime_error("piece " + std::to_string(i));
                std::this_thread::yield();
                ++runs[i];
            });
            ADD_FAILURE() << "no failure came back";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "piece " + std::to_string(failing));
        }
        // Every other piece ran to its end before the failure came back.
        for (std::size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i].load(), i == failing ? 0 : 1) << i;
    }
    // The pool goes on serving after a failure.
    EXPECT_EQ(runCounts(9), std::vector<int>(9, 1));
}
