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

size_t PointerMotion::reference_age(uint32_t time) const {
    // Newest first: the first kept report a whole window back is the reference.
    for (size_t age = 0; age < count; ++age) {
        if (elapsed(at_age(age).time, time) >= window_ms) return age;
    }
    return count;
}

void PointerMotion::keep(const Sample& sample) {
    // The newest kept report stands in for the ones after it until it lies a
    // spacing beyond the one before it; every older gap is thus a spacing wide.
    if (count >= 2) {
        const Sample& before_newest = at_age(1);
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
    const size_t age = reference_age(time);
    bool moved = false;
    if (age == count) {
        moved = far_apart(static_cast<int64_t>(x) - reset_x, static_cast<int64_t>(y) - reset_y);
    } else {
        const Sample& from = at_age(age);
        const int64_t span = age > 0 ? elapsed(from.time, at_age(age - 1).time) : 0;
        if (span <= 0 || span > merge_ms) {
            moved = far_apart(static_cast<int64_t>(x) - from.x, static_cast<int64_t>(y) - from.y);
        } else {
            // The pointer went from one kept report to the next in a line, and
            // where it was a window back lies on it; in units of 1/span pixel,
            // so that no fraction is lost.
            const Sample& to = at_age(age - 1);
            const int64_t part = static_cast<int64_t>(elapsed(from.time, time)) - window_ms;
            const int64_t dx = x * span - (from.x * span + (static_cast<int64_t>(to.x) - from.x) * part);
            const int64_t dy = y * span - (from.y * span + (static_cast<int64_t>(to.y) - from.y) * part);
            moved = std::llabs(dx) > still_pixels * span || std::llabs(dy) > still_pixels * span;
        }
    }
    keep({time, x, y});
    return moved;
}
