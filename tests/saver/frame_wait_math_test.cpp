#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <utility>

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

namespace {

// A simulated machine for the pacer: true time in microseconds, a clock that
// shows it in its own way and sleeps that end as that machine's timer ends them.
// Every reading of the clock costs a microsecond, so a wait that spins moves
// time on and shows up as time spent outside any sleep.
class Machine {
public:
    using Shows = std::function<int64_t(int64_t)>;
    using Wakes = std::function<int64_t(int64_t, int32_t)>;
    Machine(Shows shows, Wakes wakes) : shows(std::move(shows)), wakes(std::move(wakes)) {}

    struct Run {
        int64_t frames = 0;
        int64_t sleeps = 0;
        int64_t longest_spin_us = 0;
    };
    // Frames that each cost `cost_us` and ask for `period_ms`, for ten seconds.
    Run frames(int64_t cost_us, int32_t period_ms) {
        Run run;
        while (now < 10000000) {
            const int64_t start = pacer.now();
            now += cost_us;
            ++run.frames;
            const int64_t before = now;
            slept = 0;
            const int64_t sleeps_before = sleeps;
            pacer.until(start, period_ms);
            run.sleeps += sleeps - sleeps_before;
            run.longest_spin_us = std::max(run.longest_spin_us, now - before - slept);
        }
        return run;
    }

private:
    Shows shows;
    Wakes wakes;
    int64_t now = 0;
    int64_t slept = 0;
    int64_t sleeps = 0;
    FramePacer pacer{[this] { return shows(++now); },
                     [this](int32_t ms) {
                         const int64_t end = std::max(wakes(now, ms), now);
                         slept += end - now;
                         now = end;
                         ++sleeps;
                         return true;
                     }};
};

constexpr int64_t coarse_step_us = 15625;

// The system timer's 15.625 ms steps: the clock shows the last step, and a sleep
// ends on the first step after the time asked for, one in four a step early.
Machine coarse_machine() {
    auto count = std::make_shared<int64_t>(0);
    return Machine([](int64_t t) { return t / coarse_step_us * coarse_step_us; },
                   [count](int64_t t, int32_t ms) {
                       const int64_t end = (t + ms * 1000 + coarse_step_us - 1) / coarse_step_us * coarse_step_us;
                       return ++*count % 4 == 0 ? end - coarse_step_us : end;
                   });
}

// A clock in whole milliseconds and sleeps that end up to 250 us late, as under Wine.
Machine fine_machine() {
    auto count = std::make_shared<int64_t>(0);
    return Machine([](int64_t t) { return t / 1000 * 1000; },
                   [count](int64_t t, int32_t ms) { return t + ms * 1000 + (++*count * 37) % 251; });
}

// The millisecond clock stands still for 100 ms every two seconds, and a sleep
// that would end in such a stall ends with it.
Machine stalling_machine() {
    auto stall_end = [](int64_t t) {
        const int64_t phase = t % 2000000;
        return t >= 2000000 && phase < 100000 ? t - phase + 100000 : t;
    };
    return Machine([](int64_t t) {
                       const int64_t phase = t % 2000000;
                       const int64_t shown = t >= 2000000 && phase < 100000 ? t - phase : t;
                       return shown / 1000 * 1000;
                   },
                   [stall_end](int64_t t, int32_t ms) { return stall_end(t + ms * 1000); });
}

struct Case {
    const char* name;
    Machine (*make)();
};
constexpr Case machines[] = {
    {"15.625 ms clock", coarse_machine}, {"1 ms clock", fine_machine}, {"stalling clock", stalling_machine}};

// Light lines: frames far cheaper than their period keep the pace within 5 %
// over ten seconds, in bursts where sleeps come back late, and no wait spins.
TEST(FramePacer, LightFramesKeepTheirPaceOnEveryClockWithoutSpinning) {
    for (const Case& machine : machines) {
        for (int32_t period : {1, 5, 16, 40}) {
            SCOPED_TRACE(testing::Message() << machine.name << ", period " << period << " ms");
            Machine simulated = machine.make();
            const Machine::Run run = simulated.frames(80, period);
            const double expected = 10000.0 / period;
            EXPECT_NEAR(expected, static_cast<double>(run.frames), expected * 0.05);
            EXPECT_LE(run.longest_spin_us, 1000);
            EXPECT_GT(run.sleeps, 0);
        }
    }
}

// Heavy lines: frames that take longer than their period never wait at all,
// also where they are shorter than a step of the clock.
TEST(FramePacer, FramesLongerThanTheirPeriodNeverWait) {
    struct Heavy {
        int32_t period_ms;
        int64_t cost_us;
    };
    for (const Case& machine : machines) {
        for (const Heavy heavy : {Heavy{1, 3000}, Heavy{1, 20000}, Heavy{5, 6000}, Heavy{5, 15000}, Heavy{16, 40000}}) {
            SCOPED_TRACE(testing::Message() << machine.name << ", period " << heavy.period_ms << " ms, frames of "
                                            << heavy.cost_us << " us");
            Machine simulated = machine.make();
            const Machine::Run run = simulated.frames(heavy.cost_us, heavy.period_ms);
            EXPECT_EQ(0, run.sleeps);
            EXPECT_LE(run.longest_spin_us, 1000);
        }
    }
}

// A wait that a message ends returns at once, and the next frame starts a new
// schedule instead of bursting to make up for the frames the message took.
TEST(FramePacer, AMessageEndsTheWaitAndTheScheduleStartsAgain) {
    int64_t now = 0;
    int32_t calls = 0;
    // A fine clock: each reading a microsecond on.
    FramePacer pacer([&now] { return ++now; },
                     [&now, &calls](int32_t ms) {
                         ++calls;
                         if (calls == 1) return false;   // a message came at once
                         now += ms * 1000;
                         return true;
                     });
    pacer.until(pacer.now(), 10);
    EXPECT_EQ(1, calls);
    EXPECT_LT(now, 10);
    EXPECT_EQ(1, pacer.step());
    // Handling the message took half a second: the next frame waits its full
    // period, no more and no less.
    now = 500000;
    pacer.until(now, 10);
    EXPECT_GE(now, 510000 - FramePacer::wake_guard_us);
    EXPECT_LE(now, 511000);
}

}  // namespace
