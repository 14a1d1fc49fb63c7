#include "runner/frame_schedule_math.h"

#include <algorithm>

namespace {

constexpr int32_t slowest_refresh_hz = 24;
constexpr int32_t fastest_refresh_hz = 500;

}  // namespace

FrameSchedule::FrameSchedule(int32_t refresh_hz) : refresh(refresh_period_us(refresh_hz)) {}

int64_t FrameSchedule::refresh_period_us(int32_t refresh_hz) {
    if (refresh_hz < slowest_refresh_hz || refresh_hz > fastest_refresh_hz) refresh_hz = default_refresh_hz;
    return 1000000 / refresh_hz;
}

void FrameSchedule::slice_begins(int64_t now) {
    if (started && (now - last_active > catch_up_us || now < last_active)) started = false;
    if (!woken_once || now - last_wake > catch_up_us || now < last_wake) {
        woken_once = true;
        last_wake = now;
    }
    look_pending = true;
}

bool FrameSchedule::frame_due(int64_t now, int32_t period_ms) {
    // A clock that went back would leave the next frame as far ahead.
    if (!started || now < last_active) {
        started = true;
        due = now;
    }
    if (now < due) return false;
    // Frames behind by more than the catch-up stay that far behind: the
    // missed ones beyond it are not drawn.
    if (now - due > catch_up_us) due = now - catch_up_us;
    due += int64_t{std::max(period_ms, 0)} * 1000;
    last_active = now;
    return true;
}

bool FrameSchedule::look_due(int64_t now) const {
    return look_pending || now - last_look >= look_interval_us || now < last_look;
}

void FrameSchedule::looked(int64_t now) {
    look_pending = false;
    last_look = now;
}

int64_t FrameSchedule::wake_time(int64_t now) const {
    const int64_t next_refresh = woken_once && now >= last_wake ? last_wake + refresh : now + refresh;
    return std::max({due, next_refresh, now});
}

void FrameSchedule::woke(int64_t now, bool by_message) {
    if (now < last_active) started = false;
    woken_once = true;
    last_wake = now;
    last_active = now;
    look_pending = by_message;
    if (!by_message) last_look = now;
}

int64_t FrameSchedule::show_interval() const {
    return std::min(show_cost * show_cost_share, longest_show_interval_us);
}

bool FrameSchedule::show_due(int64_t now, bool before_sleep) const {
    if (!shown_once || now < last_show) return true;
    const int64_t since = now - last_show;
    if (before_sleep) return since >= show_interval();
    return now - last_wake >= refresh && since >= std::max(refresh, show_interval());
}

void FrameSchedule::shown(int64_t start, int64_t end) {
    shown_once = true;
    last_show = end;
    show_cost = (show_cost + std::max<int64_t>(end - start, 0)) / 2;
}

int64_t FrameSchedule::next_tick(int64_t first, int64_t period, int64_t now) {
    if (period <= 0 || now < first) return first;
    return first + ((now - first) / period + 1) * period;
}

bool FrameSchedule::tick_serves(int64_t tick, int64_t wake, int64_t period) {
    const int64_t apart = tick > wake ? tick - wake : wake - tick;
    return apart <= period / 2;
}

int32_t FrameSchedule::tick_period_ms(int64_t refresh_us) {
    return static_cast<int32_t>(std::max<int64_t>((refresh_us + 500) / 1000, 1));
}
