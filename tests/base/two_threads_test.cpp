// The two-thread split: every index once, the halves where the caller expects them; work run
// alongside the caller's: on the helper, at the same time, finished before the call returns.
#include "base/two_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(TwoThreads, EveryIndexIsVisitedOnceInTwoHalves)
{
    for (int count : {0, 1, 2, 7, 1000}) {
        std::vector<int> visits(static_cast<size_t>(count), 0);
        std::vector<std::thread::id> by(static_cast<size_t>(count));
        SplitOverTwoThreads(count, [&](int begin, int end) {
            for (int i = begin; i < end; ++i) {
                ++visits[static_cast<size_t>(i)];
                by[static_cast<size_t>(i)] = std::this_thread::get_id();
            }
        });
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(visits[static_cast<size_t>(i)], 1) << "index " << i << " of " << count;
            // The first half on the calling thread, the second elsewhere.
            EXPECT_EQ(by[static_cast<size_t>(i)] == std::this_thread::get_id(), i < count / 2)
                << "index " << i << " of " << count;
        }
    }
}

TEST(TwoThreads, WorkAlongsideRunsOnTheHelperAtTheSameTimeAndIsDoneOnReturn)
{
    // The caller waits (boundedly) for a flag the background sets: only work that runs at the
    // same time can see it. The background then writes late; the return must come after that.
    std::atomic<bool> started{false};
    int written = 0;
    std::thread::id backgroundThread;
    bool sawBackground = false;
    RunAlongside(
        [&] {
            backgroundThread = std::this_thread::get_id();
            started = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            written = 42;
        },
        [&] {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!started && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
            sawBackground = started;
        });
    EXPECT_TRUE(sawBackground);
    EXPECT_NE(backgroundThread, std::this_thread::get_id());
    EXPECT_EQ(written, 42);

    // When the caller's work throws, the background's is still over before the error leaves.
    written = 0;
    EXPECT_THROW(RunAlongside(
                     [&] {
                         std::this_thread::sleep_for(std::chrono::milliseconds(20));
                         written = 7;
                     },
                     [] { throw std::runtime_error("frame failed"); }),
                 std::runtime_error);
    EXPECT_EQ(written, 7);

    // The helper is free again for the split.
    std::atomic<int> visited{0};
    SplitOverTwoThreads(10, [&](int begin, int end) { visited += end - begin; });
    EXPECT_EQ(visited, 10);
}
