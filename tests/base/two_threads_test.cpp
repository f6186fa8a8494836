// The two-thread split: every index once, the halves where the caller expects them.
#include "base/two_threads.h"

#include <gtest/gtest.h>

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
