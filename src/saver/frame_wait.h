#pragma once
#include <cstdint>

#include <windows.h>

#include "saver/frame_wait_math.h"

// The rest of a frame period, spent asleep: the thread blocks until the frame
// is due or a message arrives, so a light effect keeps its pace without keeping
// a core busy. Frames are paced by the performance counter, whatever the C
// runtime's clock does (on Windows it moves in the system timer's steps, which
// may be 15.6 ms). Holds a fine system timer resolution while it waits for frames.
class FrameWait {
public:
    FrameWait();
    ~FrameWait();
    FrameWait(const FrameWait&) = delete;
    FrameWait& operator=(const FrameWait&) = delete;

    // Microseconds on the counter: when a frame starts.
    int64_t now() { return pacer.now(); }
    // Returns once the frame that started at `start` (from now) has had its
    // period in milliseconds, or when a message arrives for the thread after
    // the caller last looked at its queue.
    void until(int64_t start, int32_t period, HWND window);
    // Gives the fine system timer resolution back until the next wait: held
    // while no frame is drawn, it keeps the whole system waking more often.
    void release();
    bool holds_fine_resolution() const { return fine_resolution; }
    // Another clock and sleep, for the benchmark to pace by.
    void pace_with(FramePacer::Clock clock, FramePacer::Sleep sleep);

    // The counter in microseconds.
    static int64_t counter_us();
    // Sleeps the milliseconds given unless a message arrives; false when one did.
    static bool message_sleep(int32_t milliseconds);

    // The old busy wait, kept for the benchmark to compare against.
    bool spin = false;

private:
    void spin_until(int64_t start, int32_t period, HWND window) const;

    bool fine_resolution = false;
    FramePacer pacer;
};
