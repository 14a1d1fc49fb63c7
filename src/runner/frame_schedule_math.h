#pragma once
#include <cstdint>

// When the effect runner draws, shows the picture and sleeps; free of Win32 so
// that it also runs natively. Times are microseconds on a steady clock.
//
// Frames are due one period after another, as the effects have always paced
// them. The thread wakes once per refresh of the display and draws, back to
// back, every frame that has come due since; then it shows the picture once and
// sleeps until the next refresh. So a light effect keeps its thousand frames a
// second while the thread wakes sixty times, and no fine system timer is needed.
// A stall is made up, up to `catch_up_us` behind; frames longer than their
// period run back to back and never sleep, and the picture is then shown once
// per refresh. Frames that take no time look at the queue about once a
// millisecond, which keeps waking input prompt without a look per frame. A
// sleep that a message ended is followed by a look at once; one that its time
// ended saw nothing arrive, and counts as a look.
class FrameSchedule {
public:
    static constexpr int64_t catch_up_us = 100000;
    static constexpr int64_t look_interval_us = 1000;
    static constexpr int32_t default_refresh_hz = 60;
    // Showing may take at most a sixteenth of the time, but the picture is
    // shown at least twenty times a second.
    static constexpr int64_t show_cost_share = 16;
    static constexpr int64_t longest_show_interval_us = 50000;

    // The display's refresh rate in Hz; 0 or 1 (the system does not know) and
    // rates beyond reason count as 60.
    explicit FrameSchedule(int32_t refresh_hz = default_refresh_hz);
    static int64_t refresh_period_us(int32_t refresh_hz);
    int64_t refresh_us() const { return refresh; }

    // A slice of drawing begins. After a break longer than the catch-up (a
    // dialog, the display off, a pause) the schedule starts afresh rather than
    // drawing the missed frames in a burst.
    void slice_begins(int64_t now);
    // Before each frame: true when one is due now; it is then counted as drawn.
    bool frame_due(int64_t now, int32_t period_ms);
    // The queue wants a look: first in a slice and after each sleep, then about
    // once a millisecond.
    bool look_due(int64_t now) const;
    void looked(int64_t now);
    // With nothing due: when to wake, at the next refresh or the next frame,
    // whichever is later.
    int64_t wake_time(int64_t now) const;
    // The sleep ended: by a message, or quietly at its time.
    void woke(int64_t now, bool by_message = true);
    // Whether a picture that waits to be shown is shown now: before a sleep
    // once its cost allows it; within a batch that has lasted a refresh, once
    // a refresh has passed since the last showing.
    bool show_due(int64_t now, bool before_sleep) const;
    void shown(int64_t start, int64_t end);
    // How long a showing waits after the last one, given what one costs.
    int64_t show_interval() const;

    // A timer that ticks every `period` from `first` wakes the sleeps, so that
    // a sleep needs no call to set it. The first tick after `now`.
    static int64_t next_tick(int64_t first, int64_t period, int64_t now);
    // Whether waiting for that tick serves a sleep until `wake`: a tick more
    // than half a period away from it would wake too early or too late (frames
    // farther apart than the period, a timer that ran on while nothing slept),
    // and the timer is then set afresh to tick from the wake.
    static bool tick_serves(int64_t tick, int64_t wake, int64_t period);
    // A timer's period in whole milliseconds, as near the refresh as they come.
    static int32_t tick_period_ms(int64_t refresh_us);

private:
    int64_t refresh;
    bool started = false;
    int64_t due = 0;            // when the next frame is due
    int64_t last_active = 0;    // the last frame or wake
    bool look_pending = true;
    int64_t last_look = 0;
    bool woken_once = false;
    int64_t last_wake = 0;
    bool shown_once = false;
    int64_t last_show = 0;
    int64_t show_cost = 0;      // smoothed
};
