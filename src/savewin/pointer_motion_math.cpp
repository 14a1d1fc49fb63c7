#include "savewin/pointer_motion_math.h"

#include <cstdlib>

namespace {

// Milliseconds from `from` to `to`, through a wrap of the message clock; negative
// when `to` comes first.
int32_t elapsed(uint32_t from, uint32_t to) {
    return static_cast<int32_t>(to - from);
}

bool far_apart(int64_t dx, int64_t dy) {
    return std::llabs(dx) > PointerMotion::still_pixels || std::llabs(dy) > PointerMotion::still_pixels;
}

}  // namespace

void PointerMotion::reset(int32_t x, int32_t y) {
    count = 0;
    newest = 0;
    reset_x = x;
    reset_y = y;
    was_reset = true;
}

const PointerMotion::Sample* PointerMotion::reference_for(uint32_t time) const {
    // Newest first: the first kept report a whole window back is the reference.
    for (size_t i = 0; i < count; ++i) {
        const Sample& sample = ring[(newest + capacity - i) % capacity];
        if (elapsed(sample.time, time) >= window_ms) return &sample;
    }
    return nullptr;
}

void PointerMotion::keep(const Sample& sample) {
    // The newest kept report stands in for the ones after it until it lies a
    // spacing beyond the one before it; every older gap is thus a spacing wide.
    if (count >= 2) {
        const Sample& before_newest = ring[(newest + capacity - 1) % capacity];
        if (elapsed(before_newest.time, ring[newest].time) < spacing_ms) {
            ring[newest] = sample;
            return;
        }
    }
    if (count > 0) newest = (newest + 1) % capacity;
    ring[newest] = sample;
    if (count < capacity) ++count;
}

bool PointerMotion::moved_far(uint32_t time, int32_t x, int32_t y) {
    const Sample* reference = reference_for(time);
    const int64_t from_x = reference ? reference->x : reset_x;
    const int64_t from_y = reference ? reference->y : reset_y;
    keep({time, x, y});
    return far_apart(x - from_x, y - from_y);
}
