#pragma once
#include <cstdint>
#include <ctime>

#include <windows.h>

// The rest of a frame period, spent asleep: the thread blocks until the clock
// reaches the tick that ends the period or a message arrives, so a light effect
// keeps its pace without keeping a core busy. The last tick is slept away with
// a short sleep where the system keeps short sleeps short, else in whole
// milliseconds and a spin. Holds a fine system timer resolution while it lives.
class FrameWait {
public:
    FrameWait();
    ~FrameWait();
    FrameWait(const FrameWait&) = delete;
    FrameWait& operator=(const FrameWait&) = delete;

    // Returns once |clock() - start| >= period, or when a message arrives for the
    // thread after the caller last looked at its queue.
    void until(std::clock_t start, int32_t period, HWND window);

    // The old busy wait, kept for the benchmark to compare against.
    bool spin = false;

private:
    void spin_until(std::clock_t start, int32_t period, HWND window) const;
    // Counter time at which the clock shows the given tick, as last measured.
    int64_t tick_time(std::clock_t tick) const;
    // Spins until the clock moves on and notes when it did.
    void calibrate();
    void note_edge();
    // Sleeps without looking at messages, and notes how late it came back.
    void short_sleep(int64_t microseconds);
    int64_t now() const;

    using DelayFunction = LONG(WINAPI*)(BOOLEAN alertable, LARGE_INTEGER* interval);
    DelayFunction delay = nullptr;
    bool fine_sleeps = false;
    // Per mille of the last few short sleeps that came back late; a busy machine
    // delays some, a coarse system timer all of them.
    int32_t late_short_sleeps = -1;   // negative: none yet

    bool fine_resolution = false;
    int64_t frequency = 0;
    // When the clock last moved on, and to which tick.
    int64_t edge_time = 0;
    std::clock_t edge_tick = 0;
    int32_t waits_since_edge = -1;   // negative: never calibrated
};
