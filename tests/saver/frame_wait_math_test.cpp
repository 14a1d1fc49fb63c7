#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "saver/frame_wait_math.h"

namespace {

// Over every distance to the end of the period and several guards: a sleep is
// asked for exactly when there is more than the guard left, and it is the longest
// whole-millisecond sleep whose wake, even a guard late, comes before the next tick.
TEST(FrameSleep, LongestWholeMillisecondSleepThatKeepsTheNextTick) {
    for (int64_t guard : {0, 1, 250, 350, 999}) {
        for (int64_t left = -3000; left <= 5000; ++left) {
            const int64_t sleep_us = int64_t{1000} * frame_sleep_ms(left, guard);
            SCOPED_TRACE(testing::Message() << "left " << left << " guard " << guard);
            ASSERT_EQ(sleep_us == 0, left <= guard);
            if (sleep_us == 0) continue;
            ASSERT_LE(sleep_us + guard, left + 1000);
            ASSERT_GT(sleep_us + 1000 + guard, left + 1000);
        }
    }
}

TEST(FrameSleep, ExtremeInputsStayInRange) {
    constexpr int64_t big = std::numeric_limits<int64_t>::max();
    EXPECT_EQ(frame_sleep_ms(big, 350), std::numeric_limits<int32_t>::max() / 1000 + 1);
    EXPECT_EQ(frame_sleep_ms(std::numeric_limits<int64_t>::min(), 350), 0);
    // A guard out of 0..999 is taken as its nearest limit.
    EXPECT_EQ(frame_sleep_ms(1500, -5), frame_sleep_ms(1500, 0));
    EXPECT_EQ(frame_sleep_ms(1500, 5000), frame_sleep_ms(1500, 999));
}

}  // namespace
