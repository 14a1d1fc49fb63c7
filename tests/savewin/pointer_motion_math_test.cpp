#include <gtest/gtest.h>

#include <cstdint>

#include "savewin/pointer_motion_math.h"

namespace {

// A pointer moving along x at `speed` pixels a second, reported `rate` times a
// second for `seconds`, from (100, 300) at message time `start`. Returns the
// message time of the first report that counted as a move, or -1.
int64_t first_far_move(PointerMotion& motion, int rate, double speed, double seconds, uint32_t start = 5000) {
    motion.reset(100, 300);
    const int reports = static_cast<int>(rate * seconds);
    for (int i = 1; i <= reports; ++i) {
        const double ms = 1000.0 * i / rate;
        const auto x = static_cast<int32_t>(100 + speed * ms / 1000.0);
        const uint32_t time = start + static_cast<uint32_t>(ms);
        if (motion.moved_far(time, x, 300)) return static_cast<int64_t>(ms);
    }
    return -1;
}

TEST(PointerMotion, SteadyMovesWakeWhateverTheReportRate) {
    PointerMotion motion;
    // 600 pixels a second reported 100 times a second is a 6-pixel step a report.
    EXPECT_GE(first_far_move(motion, 100, 600, 2), 0);
    EXPECT_GE(first_far_move(motion, 250, 300, 2), 0);
    EXPECT_GE(first_far_move(motion, 125, 300, 2), 0);
    // A pixel or less a report: a rule between reports would never wake.
    EXPECT_GE(first_far_move(motion, 1000, 300, 2), 0);
    EXPECT_GE(first_far_move(motion, 1000, 220, 2), 0);
    // Within about the window's time from the start of the move, not later.
    const int64_t at = first_far_move(motion, 1000, 600, 2);
    EXPECT_GE(at, 30);
    EXPECT_LE(at, 40);
}

TEST(PointerMotion, DriftSlowerThanTheThresholdNeverWakes) {
    PointerMotion motion;
    for (int rate : {1000, 500, 250, 125, 100}) {
        EXPECT_EQ(-1, first_far_move(motion, rate, 180, 5)) << rate << " reports a second";
        EXPECT_EQ(-1, first_far_move(motion, rate, 40, 5)) << rate << " reports a second";
    }
}

TEST(PointerMotion, ReportsInTheSameMillisecondKeepTheWindow) {
    // Eight reports a millisecond overrun the ring many times over.
    PointerMotion motion;
    motion.reset(0, 0);
    bool moved = false;
    for (int i = 1; i <= 8 * 3000 && !moved; ++i) {
        const uint32_t time = 1000 + static_cast<uint32_t>(i / 8);
        moved = motion.moved_far(time, i / 64, 0);   // 125 pixels a second
    }
    EXPECT_FALSE(moved);
    for (int i = 1; i <= 8 * 200 && !moved; ++i) {
        const uint32_t time = 4000 + static_cast<uint32_t>(i / 8);
        moved = motion.moved_far(time, 375 + i / 32, 0);   // 250 pixels a second
    }
    EXPECT_TRUE(moved);
}

TEST(PointerMotion, AJumpOfTwentyWakesAndNineteenDoesNotOnEitherAxis) {
    PointerMotion motion;
    motion.reset(100, 100);
    EXPECT_FALSE(motion.moved_far(1000, 119, 81));
    motion.reset(100, 100);
    EXPECT_TRUE(motion.moved_far(1000, 120, 100));
    motion.reset(100, 100);
    EXPECT_TRUE(motion.moved_far(1000, 100, 80));
    motion.reset(100, 100);
    EXPECT_TRUE(motion.moved_far(1000, 80, 100));

    // From a resting pointer, long after the last report.
    motion.reset(100, 100);
    EXPECT_FALSE(motion.moved_far(1000, 100, 100));
    EXPECT_FALSE(motion.moved_far(1500, 81, 119));
    EXPECT_TRUE(motion.moved_far(2000, 81, 139));
}

TEST(PointerMotion, SmallMovesWithinTheWindowAddUp) {
    PointerMotion motion;
    motion.reset(100, 100);
    EXPECT_FALSE(motion.moved_far(1000, 100, 100));
    EXPECT_FALSE(motion.moved_far(1200, 110, 100));
    EXPECT_FALSE(motion.moved_far(1240, 118, 100));
    // 1200 is the newest report a window back: 130 - 110 = 20.
    EXPECT_TRUE(motion.moved_far(1300, 130, 100));
}

// A queue read late holds one move for many: the report after the gap lies
// where the pointer went meanwhile, not where it jumped.
TEST(PointerMotion, MovesMergedWhileTheQueueWaitedAreNoJump) {
    PointerMotion motion;
    motion.reset(400, 300);
    bool moved = false;
    // 2 pixels every 16 ms (125 a second); 48 to 142 ms of reports merged into one.
    uint32_t time = 1000;
    int32_t x = 400;
    for (int i = 0; i < 40 && !moved; ++i) {
        time += 16;
        x += 2;
        moved = motion.moved_far(time, x, 300);
    }
    time += 103;
    x += 14;
    moved = moved || motion.moved_far(time, x, 300);
    for (int i = 0; i < 20 && !moved; ++i) {
        time += 16;
        x += 2;
        moved = motion.moved_far(time, x, 300);
    }
    EXPECT_FALSE(moved);
    // The report after a gap is measured whole: a jump there wakes.
    time += 100;
    EXPECT_TRUE(motion.moved_far(time, x + 20, 300));
}

TEST(PointerMotion, AfterAStallASmallMoveDoesNotWake) {
    PointerMotion motion;
    EXPECT_EQ(-1, first_far_move(motion, 250, 100, 1));
    // The last report was at (200, 300); nothing for three seconds.
    EXPECT_FALSE(motion.moved_far(9000, 210, 305));
    EXPECT_FALSE(motion.moved_far(9004, 212, 305));
    EXPECT_TRUE(motion.moved_far(9008, 221, 305));
}

TEST(PointerMotion, TheMessageClockMayWrap) {
    PointerMotion motion;
    EXPECT_EQ(-1, first_far_move(motion, 1000, 180, 2, UINT32_MAX - 700));
    EXPECT_GE(first_far_move(motion, 1000, 300, 2, UINT32_MAX - 700), 0);
}

TEST(PointerMotion, AResetForgetsTheReports) {
    PointerMotion motion;
    EXPECT_FALSE(motion.started());
    EXPECT_EQ(-1, first_far_move(motion, 250, 150, 1));
    EXPECT_TRUE(motion.started());
    // The pointer was moved elsewhere while the reports went unseen.
    motion.reset(700, 500);
    EXPECT_FALSE(motion.moved_far(6004, 705, 500));
    EXPECT_FALSE(motion.moved_far(6050, 715, 490));
    EXPECT_TRUE(motion.moved_far(6060, 721, 500));
    // The history starts over from the reset point, not from the old reports.
    motion.reset(700, 500);
    EXPECT_FALSE(motion.moved_far(6200, 700, 500));
    EXPECT_FALSE(motion.moved_far(6350, 712, 500));
}

}  // namespace
