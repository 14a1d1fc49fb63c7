#pragma once
#include <windows.h>
#include <cstdint>

// The sleeps of an effect runner between batches of frames: a high-resolution
// waitable timer that ticks once per refresh while frames are paced, so that a
// sleep only waits (setting a timer is a trip to the server under Wine, one in
// three of a light run's calls), and that raises no system timer resolution.
// A sleep that wants another time than the next tick sets the timer afresh. It
// is stopped whenever nothing is paced, so that no tick comes while asleep.
class PacingTimer {
public:
    // The clock: the performance counter in microseconds.
    explicit PacingTimer(int64_t (*clock)());
    ~PacingTimer();
    PacingTimer(const PacingTimer&) = delete;
    PacingTimer& operator=(const PacingTimer&) = delete;

    // The display's refresh period, whose nearest whole milliseconds it ticks by.
    void set_refresh(int64_t refresh_us);
    // Until about `wake` (both on the clock) or until a message arrives that
    // came since the last look at the queue; false when the time ended it.
    bool sleep_until(int64_t wake, int64_t now);
    void stop();

    // Times the timer was set; tests read it.
    int32_t settings_made = 0;

private:
    int64_t (*const clock)();
    HANDLE handle = nullptr;
    int64_t period_us = 17000;
    bool ticking = false;
    int64_t first_tick = 0;
};
