#include "runner/pacing_timer.h"

#include <algorithm>

#include "runner/frame_schedule_math.h"

namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10 1803 on); older headers lack it.
constexpr DWORD high_resolution_timer = 0x00000002;

// Without the timer: a timeout in whole milliseconds; false when it ran out.
bool wait_for_message(int64_t microseconds) {
    return MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::max<int64_t>(microseconds / 1000, 1)),
                                       QS_ALLINPUT, 0) != WAIT_TIMEOUT;
}

}  // namespace

PacingTimer::PacingTimer(int64_t (*clock)())
    : clock(clock), handle(CreateWaitableTimerExW(nullptr, nullptr, high_resolution_timer, TIMER_ALL_ACCESS)) {}

PacingTimer::~PacingTimer() {
    if (handle) {
        CancelWaitableTimer(handle);
        CloseHandle(handle);
    }
}

void PacingTimer::set_refresh(int64_t refresh_us) {
    const int64_t period = int64_t{FrameSchedule::tick_period_ms(refresh_us)} * 1000;
    if (period == period_us) return;
    period_us = period;
    stop();
}

void PacingTimer::stop() {
    if (ticking && handle) CancelWaitableTimer(handle);
    ticking = false;
}

// Only messages that came since the last look at the queue end the sleep; one
// left there for another window would otherwise end every sleep at once.
// Whatever else ends the wait (a message, a failure) counts as a message, so
// that a look follows. Where the system has no such timer, the sleep is a
// timeout in whole milliseconds.
bool PacingTimer::sleep_until(int64_t wake, int64_t now) {
    if (wake <= now) return true;
    if (!handle) return wait_for_message(wake - now);
    if (!ticking || !FrameSchedule::tick_serves(FrameSchedule::next_tick(first_tick, period_us, now), wake, period_us)) {
        LARGE_INTEGER due;
        due.QuadPart = -(wake - now) * 10;   // relative, in 100 ns units
        ++settings_made;
        ticking = SetWaitableTimer(handle, &due, static_cast<LONG>(period_us / 1000), nullptr, nullptr, FALSE) != 0;
        if (!ticking) return wait_for_message(wake - now);
        first_tick = wake;
    }
    // A tick that came while nothing slept was still waiting, and ends the
    // wait at once, well before the wake: the tick wanted is yet to come.
    for (;;) {
        if (MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, 0) != WAIT_OBJECT_0) return true;
        if (clock() + period_us / 2 >= wake) return false;
    }
}
