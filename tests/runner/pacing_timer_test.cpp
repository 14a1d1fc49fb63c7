#include <gtest/gtest.h>

#include "runner/effect_runner.h"
#include "runner/frame_schedule_math.h"
#include "runner/pacing_timer.h"

namespace {

constexpr int64_t refresh = 16667;
constexpr int64_t period = 17000;   // the timer's whole milliseconds

int64_t now() { return EffectRunner::now_us(); }

// Takes what the queue holds, so that a sleep waits for what comes after.
void empty_queue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace

// A run of sleeps a refresh apart waits for the ticks of one setting of the
// timer: none of them makes a call to set it again. The wakes keep to their
// schedule. A loaded machine may let a sleep end past the next wake, which is
// then skipped, and the wake after it may be far enough from the next tick to
// set the timer once more: only such a late sleep may.
TEST(PacingTimer, SleepsARefreshApartWaitForTheTicksOfOneSetting) {
    PacingTimer timer(&now);
    timer.set_refresh(refresh);
    empty_queue();
    const int64_t start = now();
    int64_t wake = start + refresh;
    int32_t late = 0;
    for (int32_t sleep = 0; sleep < 20; ++sleep) {
        EXPECT_FALSE(timer.sleep_until(wake, now())) << "the time ended sleep " << sleep;
        wake += refresh;
        if (wake <= now()) ++late;
        while (wake <= now()) wake += refresh;
    }
    EXPECT_LE(timer.settings_made, 1 + late) << late << " sleeps ended late";
    // Each sleep lasted about a tick: none ended early.
    EXPECT_GE(now() - start, 20 * period - period / 2);

    // A wake far from the next tick sets the timer afresh.
    const int32_t before = timer.settings_made;
    EXPECT_FALSE(timer.sleep_until(now() + 40000, now()));
    EXPECT_EQ(before + 1, timer.settings_made);
    // And so does the first sleep after it was stopped.
    timer.stop();
    EXPECT_FALSE(timer.sleep_until(now() + refresh, now()));
    EXPECT_EQ(before + 2, timer.settings_made);
}

// Between two runs of frames the timer ticks on; the tick that came while
// nothing slept does not end the next sleep before its time.
TEST(PacingTimer, ATickThatCameWhileNothingSleptDoesNotEndTheNextSleepEarly) {
    PacingTimer timer(&now);
    timer.set_refresh(refresh);
    empty_queue();
    EXPECT_FALSE(timer.sleep_until(now() + refresh, now()));
    const int64_t tick = now();   // the timer ticks every period from here
    Sleep(60);                    // ticks come and one waits
    // Just after a tick, with the next one most of a period away.
    int64_t from = now();
    while ((from - tick) % period < 1000 || (from - tick) % period > period / 4) from = now();
    const int64_t wake = FrameSchedule::next_tick(tick, period, from);
    EXPECT_FALSE(timer.sleep_until(wake, from));
    EXPECT_GE(now(), wake - period / 2) << "the tick that waited ended the sleep";
    EXPECT_EQ(1, timer.settings_made);
}

TEST(PacingTimer, AMessageEndsTheSleepAtOnce) {
    PacingTimer timer(&now);
    timer.set_refresh(refresh);
    empty_queue();
    PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
    const int64_t before = now();
    EXPECT_TRUE(timer.sleep_until(before + 5000000, before));
    EXPECT_LT(now() - before, 2000000) << "the message, not the time, ended it";
    empty_queue();
}
