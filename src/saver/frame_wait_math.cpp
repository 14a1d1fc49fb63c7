#include "saver/frame_wait_math.h"

#include <algorithm>

int32_t frame_sleep_ms(int64_t left_us, int64_t guard_us) {
    guard_us = std::clamp<int64_t>(guard_us, 0, 999);
    if (left_us <= guard_us) return 0;
    // The latest whole-millisecond wake that leaves the guard before the next tick.
    const int64_t whole = (std::min<int64_t>(left_us, INT32_MAX) + 1000 - guard_us) / 1000;
    return static_cast<int32_t>(std::min<int64_t>(whole, INT32_MAX));
}
