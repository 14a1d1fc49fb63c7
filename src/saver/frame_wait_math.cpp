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

FramePacer::FramePacer(Clock clock, Sleep sleep, int64_t known_step_us)
    : clock(std::move(clock)), sleep(std::move(sleep)), step_us(std::clamp<int64_t>(known_step_us, 1, coarsest_step_us)) {}

void FramePacer::until(int64_t start, int32_t period_ms) {
    const int64_t period_us = int64_t{std::max(period_ms, 0)} * 1000;
    if (!scheduled || start < due - period_us - step_us) {
        // Early by more than a period and a step (a message ended the last
        // wait, or the clock went back): the schedule starts here.
        due = start;
    } else if (start > due + catch_up_us) {
        // Frames that take longer than their period stay a catch-up behind, so
        // that a clock standing still for a while does not make them wait;
        // after a long break the schedule starts afresh.
        due = start - last_end < catch_up_us ? start - catch_up_us : start;
    }
    scheduled = true;
    due += period_us;
    for (;;) {
        last_end = read();
        const int32_t sleep_ms = frame_sleep_ms(due - last_end - step_us, wake_guard_us);
        if (sleep_ms <= 0 || !sleep(sleep_ms)) return;
    }
}

int64_t FramePacer::read() {
    const int64_t reading = clock();
    if (read_once && reading != last_reading) {
        const int64_t move = reading > last_reading ? reading - last_reading : last_reading - reading;
        if (smallest_move == 0 || move < smallest_move) smallest_move = move;
        // A finer step counts at once; a coarser one (the system timer's
        // resolution went back down) once a whole round of readings shows it.
        step_us = std::min(step_us, smallest_move);
    }
    read_once = true;
    last_reading = reading;
    if (++readings >= readings_per_step) {
        if (smallest_move > 0) step_us = std::min(smallest_move, coarsest_step_us);
        smallest_move = 0;
        readings = 0;
    }
    return reading;
}
