#include "saver/frame_wait_math.h"

#include <algorithm>
#include <utility>

int32_t frame_sleep_ms(int64_t left_us, int64_t guard_us) {
    guard_us = std::clamp<int64_t>(guard_us, 0, 999);
    if (left_us <= guard_us) return 0;
    // The latest whole-millisecond wake that leaves the guard before the next tick.
    const int64_t whole = (std::min<int64_t>(left_us, INT32_MAX) + 1000 - guard_us) / 1000;
    return static_cast<int32_t>(std::min<int64_t>(whole, INT32_MAX));
}

FramePacer::FramePacer(Clock clock, Sleep sleep) : clock(std::move(clock)), sleep(std::move(sleep)) {}

void FramePacer::until(int64_t start, int32_t period_ms) {
    const int64_t period_us = int64_t{std::max(period_ms, 0)} * 1000;
    // Late by more than a catch-up, or early by more than a period (a message
    // ended the last wait, or the clock went back): the schedule starts here.
    if (!scheduled || start > due + catch_up_us || start < due - period_us) due = start;
    scheduled = true;
    due += period_us;
    for (;;) {
        const int32_t sleep_ms = frame_sleep_ms(due - clock(), wake_guard_us);
        if (sleep_ms <= 0 || !sleep(sleep_ms)) return;
    }
}
