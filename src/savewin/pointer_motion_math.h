#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// Whether the pointer moved far, free of Win32 so it also runs natively.
//
// A mouse reporting a thousand times a second moves a pixel or two per report,
// so a rule between two reports would never see a jump; one reporting a
// hundred times a second moves ten times as far. The pointer is compared with
// where it was a fixed time earlier instead: the newest report at or before
// that time, or the reference of the last reset while there is none. Between
// that report and the next one, when they are at most merge_ms apart, the
// pointer is taken to have moved in a line: a queue that is read late keeps
// only the last of the moves it held (under Wine a busy frame merged 103 ms of
// a slow walk into one 14-pixel report), so a short gap between reports does
// not mean the pointer stood still. A longer gap is the pointer at rest.
class PointerMotion {
public:
    // How far back a report is compared with, and the pixels it may move on
    // either axis within that time without counting as a move.
    static constexpr int32_t window_ms = 100;
    static constexpr int32_t still_pixels = 19;
    static constexpr int32_t merge_ms = 250;
    // Reports that come faster than this replace the newest kept one, so the
    // ring always reaches (capacity - 2) * spacing back, beyond the window, and
    // the reference found is less than one spacing older than the newest
    // report at or before the window's start.
    static constexpr int32_t spacing_ms = 2;
    static constexpr size_t capacity = 64;

    // Forgets every report; until one lies a window back, moves are measured
    // from this point.
    void reset(int32_t x, int32_t y);
    // Takes a report (message time in milliseconds, which may wrap, and the
    // point) and tells whether it lies more than still_pixels on either axis
    // from the point a window earlier.
    bool moved_far(uint32_t time, int32_t x, int32_t y);

    bool started() const { return was_reset; }

private:
    struct Sample {
        uint32_t time;
        int32_t x;
        int32_t y;
    };
    // How many kept reports are newer than the reference for a report at this
    // time; count when none lies a window back.
    size_t reference_age(uint32_t time) const;
    const Sample& at_age(size_t age) const { return ring[(newest + capacity - age) % capacity]; }
    void keep(const Sample& sample);

    std::array<Sample, capacity> ring{};
    size_t newest = 0;   // index of the newest kept report
    size_t count = 0;
    int32_t reset_x = 0;
    int32_t reset_y = 0;
    bool was_reset = false;
};
