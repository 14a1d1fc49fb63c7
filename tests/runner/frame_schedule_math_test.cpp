#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "runner/frame_schedule_math.h"

namespace {

constexpr int64_t second = 1000000;

// What a simulated run of the runner's loop did.
struct Counts {
    int64_t frames = 0;
    int64_t wakes = 0;
    int64_t looks = 0;
    int64_t shows = 0;
    int64_t longest_between_looks = 0;   // awake, between looks or waits
    int64_t first_batch_after_break = 0;
};

// How a sleep until `wake` that starts at `now` ends: when it comes back.
using SleepModel = std::function<int64_t(int64_t now, int64_t wake)>;

int64_t exact_sleep(int64_t, int64_t wake) { return wake; }

// The system timer of a Windows without a fine resolution: a sleep ends on
// the first 15.625 ms tick at or after the time asked for.
int64_t coarse_sleep(int64_t now, int64_t wake) {
    constexpr int64_t tick = 15625;
    const int64_t end = (std::max(wake, now + 1) + tick - 1) / tick * tick;
    return end;
}

// The runner's loop on a simulated clock: before each frame a look when due,
// then the frame or else a showing and a sleep. `frame_cost` gives each
// frame's time by its number.
class Simulation {
public:
    explicit Simulation(int32_t refresh_hz = 60) : schedule(refresh_hz) {}

    Counts run(int64_t duration, const std::function<int64_t(int64_t)>& frame_cost, int64_t show_cost,
               const SleepModel& sleep = exact_sleep, int32_t period_ms = 1) {
        Counts counts;
        const int64_t end = now + duration;
        schedule.slice_begins(now);
        int64_t last_look = now;
        bool unshown = false;
        while (now < end) {
            if (schedule.look_due(now)) {
                counts.longest_between_looks = std::max(counts.longest_between_looks, now - last_look);
                ++counts.looks;
                schedule.looked(now);
                last_look = now;
            }
            if (schedule.frame_due(now, period_ms)) {
                if (unshown && schedule.show_due(now, false)) show(counts, show_cost, unshown);
                now += frame_cost(counts.frames++);
                unshown = true;
                continue;
            }
            if (unshown && schedule.show_due(now, true)) show(counts, show_cost, unshown);
            // The wait watches the queue: input that came while awake ends it at once.
            counts.longest_between_looks = std::max(counts.longest_between_looks, now - last_look);
            now = sleep(now, schedule.wake_time(now));
            // Every sleep ends at its time here: it saw no message arrive.
            schedule.woke(now, false);
            last_look = now;
            ++counts.wakes;
        }
        return counts;
    }

    FrameSchedule schedule;
    int64_t now = 5 * second;

private:
    void show(Counts& counts, int64_t cost, bool& unshown) {
        const int64_t start = now;
        now += cost;
        schedule.shown(start, now);
        ++counts.shows;
        unshown = false;
    }
};

std::function<int64_t(int64_t)> every_frame(int64_t cost) {
    return [cost](int64_t) { return cost; };
}

TEST(FrameSchedule, LightFramesKeepTheirPaceWhileTheThreadWakesOncePerRefresh) {
    for (int32_t hz : {60, 144}) {
        SCOPED_TRACE(hz);
        Simulation simulation(hz);
        const Counts counts = simulation.run(10 * second, every_frame(20), 300);
        EXPECT_NEAR(10000, counts.frames, 100);
        EXPECT_NEAR(10 * hz, counts.wakes, hz / 4 + 2);
        EXPECT_NEAR(10 * hz, counts.shows, hz / 4 + 2);
        // A look a batch, not a look a frame.
        EXPECT_LE(counts.looks, 3 * counts.wakes);
        EXPECT_LE(counts.longest_between_looks, FrameSchedule::look_interval_us + 20);
    }
}

TEST(FrameSchedule, FramesLongerThanTheirPeriodNeverSleepAndAreShownOncePerRefresh) {
    Simulation simulation;
    const Counts counts = simulation.run(10 * second, every_frame(3000), 200);
    EXPECT_NEAR(3300, counts.frames, 40);   // the showings take their share too
    EXPECT_EQ(0, counts.wakes);
    // At the first frame's end after each refresh period.
    EXPECT_LE(counts.shows, 10 * second / 16666 + 1);
    EXPECT_GE(counts.shows, 10 * second / (16666 + 3000 + 200));
    EXPECT_EQ(counts.frames, counts.looks);
}

TEST(FrameSchedule, ACostlyShowingComesLessOftenAndTheFramesKeepTheirPace) {
    Simulation simulation;
    const Counts counts = simulation.run(10 * second, every_frame(20), 6000);
    EXPECT_NEAR(10000, counts.frames, 100);
    // Every 50 ms at the most, as 16 showings of 6 ms would take longer.
    EXPECT_LE(counts.shows, 10 * second / FrameSchedule::longest_show_interval_us + 5);
    EXPECT_GE(counts.shows, 10 * second / (2 * FrameSchedule::longest_show_interval_us));
}

TEST(FrameSchedule, SleepsOnACoarseTimerKeepThePaceWithoutSpinning) {
    Simulation simulation;
    const Counts counts = simulation.run(10 * second, every_frame(20), 300, coarse_sleep);
    EXPECT_NEAR(10000, counts.frames, 100);
    // No sleep comes back before a tick: at most one wake a tick.
    EXPECT_LE(counts.wakes, 10 * second / 15625 + 2);
    EXPECT_GE(counts.wakes, 10 * second / (2 * 15625));
}

TEST(FrameSchedule, AStallIsMadeUpOnlyUpToTheCatchUp) {
    {
        Simulation simulation;
        const auto stall = [](int64_t frame) { return frame == 3000 ? 50000 : 20; };
        EXPECT_NEAR(10000, simulation.run(10 * second, stall, 300).frames, 100);
    }
    {
        Simulation simulation;
        const auto stall = [](int64_t frame) { return frame == 3000 ? second : 20; };
        const int64_t expected = 10000 - 1000 + FrameSchedule::catch_up_us / 1000;
        EXPECT_NEAR(expected, simulation.run(10 * second, stall, 300).frames, 100);
    }
}

TEST(FrameSchedule, AfterABreakBetweenSlicesTheScheduleStartsAfresh) {
    Simulation simulation;
    simulation.run(second, every_frame(20), 300);
    simulation.now += 500000;   // a dialog, or the display off
    // The first batch of the next slice is one frame, then the refresh's worth.
    FrameSchedule& schedule = simulation.schedule;
    schedule.slice_begins(simulation.now);
    int64_t burst = 0;
    while (schedule.frame_due(simulation.now, 1)) {
        ++burst;
        simulation.now += 20;
    }
    EXPECT_EQ(1, burst);
    // A short gap, as input between two slices makes, keeps the schedule.
    simulation.now += 3000;
    schedule.slice_begins(simulation.now);
    burst = 0;
    while (schedule.frame_due(simulation.now, 1)) {
        ++burst;
        simulation.now += 20;
    }
    EXPECT_NEAR(3, burst, 1);
}

TEST(FrameSchedule, ALongerFramePeriodWakesAtTheRefreshWithItsFramesDue) {
    Simulation simulation;
    const Counts counts = simulation.run(10 * second, every_frame(20), 300, exact_sleep, 5);
    EXPECT_NEAR(2000, counts.frames, 20);
    EXPECT_NEAR(600, counts.wakes, 20);
}

TEST(FrameSchedule, TheRefreshPeriodComesFromTheRateWithSixtyForAnUnknownOne) {
    EXPECT_EQ(16666, FrameSchedule::refresh_period_us(0));
    EXPECT_EQ(16666, FrameSchedule::refresh_period_us(1));
    EXPECT_EQ(16666, FrameSchedule::refresh_period_us(60));
    EXPECT_EQ(6944, FrameSchedule::refresh_period_us(144));
    EXPECT_EQ(16666, FrameSchedule::refresh_period_us(100000));
    EXPECT_EQ(16666, FrameSchedule::refresh_period_us(-5));
    EXPECT_EQ(6944, FrameSchedule(144).refresh_us());
}

// A sleep that a message ended is looked at once; a quiet one saw nothing
// arrive, so the next look is a millisecond on, within the batch it wakes to.
TEST(FrameSchedule, OnlyASleepThatAMessageEndedIsFollowedByALookAtOnce) {
    FrameSchedule schedule;
    int64_t now = 10 * second;
    schedule.slice_begins(now);
    ASSERT_TRUE(schedule.look_due(now));
    schedule.looked(now);
    now = schedule.wake_time(now);
    schedule.woke(now, true);
    EXPECT_TRUE(schedule.look_due(now));
    schedule.looked(now);

    now = schedule.wake_time(now);
    schedule.woke(now, false);
    EXPECT_FALSE(schedule.look_due(now));
    EXPECT_FALSE(schedule.look_due(now + FrameSchedule::look_interval_us - 1));
    EXPECT_TRUE(schedule.look_due(now + FrameSchedule::look_interval_us));
}

// A clock that goes back (a counter reset) neither hangs nor bursts.
TEST(FrameSchedule, AClockThatGoesBackStartsAfresh) {
    FrameSchedule schedule;
    int64_t now = 10 * second;
    schedule.slice_begins(now);
    for (int i = 0; i < 100; ++i, now += 1000) ASSERT_TRUE(schedule.frame_due(now, 1));
    now = 1000;
    schedule.slice_begins(now);
    EXPECT_TRUE(schedule.look_due(now));
    EXPECT_TRUE(schedule.frame_due(now, 1));
    EXPECT_FALSE(schedule.frame_due(now, 1));
    EXPECT_LE(schedule.wake_time(now) - now, schedule.refresh_us());
}

// Within a slice too: after a frame, and across a sleep that a message ended.
// The next frame is due at once and no sleep lasts longer than a refresh.
TEST(FrameSchedule, AClockThatGoesBackWithinASliceNeitherHangsNorBursts) {
    for (const bool across_a_sleep : {false, true}) {
        SCOPED_TRACE(across_a_sleep);
        FrameSchedule schedule;
        int64_t now = 10 * second;
        schedule.slice_begins(now);
        for (int i = 0; i < 100; ++i, now += 1000) ASSERT_TRUE(schedule.frame_due(now, 1));
        if (across_a_sleep) {
            const int64_t wake = schedule.wake_time(now);
            schedule.woke(wake - 3 * second, true);
            now = wake - 3 * second;
        } else {
            now -= 3 * second;
        }
        EXPECT_TRUE(schedule.frame_due(now, 1));
        EXPECT_FALSE(schedule.frame_due(now, 1));
        EXPECT_LE(schedule.wake_time(now) - now, schedule.refresh_us());
    }
}

}  // namespace

// The timer that wakes the sleeps ticks on by itself; a sleep waits for its
// next tick when that is near the wake it wants, and sets it afresh otherwise.
TEST(FrameSchedule, ASleepWaitsForTheTimersNextTickOnlyWhenItIsNearTheWake) {
    EXPECT_EQ(17, FrameSchedule::tick_period_ms(FrameSchedule::refresh_period_us(60)));
    EXPECT_EQ(7, FrameSchedule::tick_period_ms(FrameSchedule::refresh_period_us(144)));
    EXPECT_EQ(1, FrameSchedule::tick_period_ms(100));

    const int64_t first = 1000000, period = 17000;
    EXPECT_EQ(first, FrameSchedule::next_tick(first, period, first - 5));
    EXPECT_EQ(first + period, FrameSchedule::next_tick(first, period, first));
    EXPECT_EQ(first + 3 * period, FrameSchedule::next_tick(first, period, first + 2 * period + 1));
    EXPECT_EQ(first, FrameSchedule::next_tick(first, 0, first + 40));

    // A refresh of 16667 us against ticks of 17000: each wake is a third of a
    // millisecond from the next tick, which serves it, sleep after sleep.
    FrameSchedule schedule(60);
    int64_t now = first;
    schedule.slice_begins(now);
    for (int32_t sleep = 0; sleep < 1000; ++sleep) {
        while (schedule.frame_due(now, 1)) now += 10;
        const int64_t wake = schedule.wake_time(now);
        const int64_t tick = FrameSchedule::next_tick(first, period, now);
        ASSERT_TRUE(FrameSchedule::tick_serves(tick, wake, period)) << sleep;
        now = tick;
        schedule.woke(now, false);
    }
    // Frames 40 ms apart, or a timer that ticked on while nothing slept: set afresh.
    EXPECT_FALSE(FrameSchedule::tick_serves(first + period, first + 40000, period));
    EXPECT_FALSE(FrameSchedule::tick_serves(first + 30000, first + 16667, period));
    EXPECT_TRUE(FrameSchedule::tick_serves(first + 20000, first + 16667, period));
}
