// The pointer's reports at any times (wrapping, repeating, out of order) and
// places. The answer does not change when the whole run is moved on the
// screen, mirrored, turned a quarter or moved in time across the clock's wrap;
// a pointer that stays within a box of still_pixels never wakes, and one that
// goes more than that beyond every place it has been always does. A steady
// drift, however its reports come, wakes by its speed alone.
#include <algorithm>
#include <cmath>
#include <vector>

#include "fuzz_input.h"
#include "savewin/pointer_motion_math.h"

namespace {

struct Report {
    uint32_t time;
    int32_t x, y;
};

int64_t clamp32(int64_t value) { return std::clamp<int64_t>(value, INT32_MIN, INT32_MAX); }

// From the reset point, reported at gaps of up to a window and rounded to
// whole pixels (a pixel off at most): up to 180 pixels a second it never
// wakes; from 210 on, every report a window after the start wakes.
void check_drift(FuzzInput& in) {
    const int32_t vx = static_cast<int8_t>(in.byte()) * 2, vy = static_cast<int8_t>(in.byte()) * 2;
    const int32_t speed = std::max(std::abs(vx), std::abs(vy));
    const uint32_t start = in.number<uint32_t>();
    PointerMotion motion;
    motion.reset(0, 0);
    FUZZ_CHECK(!motion.moved_far(start, 0, 0));
    for (uint32_t since = 0, i = 0; i < 160; ++i) {
        since += in.byte() % (PointerMotion::window_ms + 1);
        const int32_t x = static_cast<int32_t>(std::lround(vx * (since / 1000.0)));
        const int32_t y = static_cast<int32_t>(std::lround(vy * (since / 1000.0)));
        const bool far = motion.moved_far(start + since, x, y);
        if (speed <= 180) FUZZ_CHECK(!far);
        if (speed >= 210 && since >= PointerMotion::window_ms) FUZZ_CHECK(far);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    check_drift(in);
    // Steps of a few milliseconds (back as well) and pixels; now and then a
    // long gap, or a jump that may reach the ends of 32 bits.
    const int32_t x0 = in.number<int32_t>() >> 2, y0 = in.number<int32_t>() >> 2;
    std::vector<Report> reports;
    uint32_t time = in.number<uint32_t>();
    int64_t x = x0, y = y0;
    while (!in.done() && reports.size() < 400) {
        const uint8_t kind = in.byte();
        time += kind % 8 == 0 ? in.number<uint16_t>() : static_cast<uint32_t>(static_cast<int8_t>(in.byte()) / 16);
        const int64_t scale = kind % 8 == 1 ? 1000 : kind % 8 == 2 ? 1 << 24 : 1;
        x = clamp32(x + static_cast<int8_t>(in.byte()) * scale);
        y = clamp32(y + static_cast<int8_t>(in.byte()) * scale);
        reports.push_back({time, static_cast<int32_t>(x), static_cast<int32_t>(y)});
    }

    // The same run moved, mirrored, turned or moved in time, while its
    // points stay where all of those fit in 32 bits.
    const int32_t dx = static_cast<int8_t>(in.byte()) * 1000, dy = static_cast<int8_t>(in.byte());
    const uint32_t dt = in.number<uint32_t>();
    PointerMotion plain, moved, mirrored, turned, later;
    plain.reset(x0, y0);
    moved.reset(x0 + dx, y0 + dy);
    mirrored.reset(-x0, y0);
    turned.reset(y0, x0);
    later.reset(x0, y0);
    bool alike = true;
    int64_t low_x = x0, high_x = x0, low_y = y0, high_y = y0;
    for (const Report& r : reports) {
        const bool far = plain.moved_far(r.time, r.x, r.y);
        // More than the pixels allowed beyond everywhere it has been.
        if (r.x > high_x + PointerMotion::still_pixels || r.x < low_x - PointerMotion::still_pixels ||
            r.y > high_y + PointerMotion::still_pixels || r.y < low_y - PointerMotion::still_pixels)
            FUZZ_CHECK(far);
        low_x = std::min<int64_t>(low_x, r.x), high_x = std::max<int64_t>(high_x, r.x);
        low_y = std::min<int64_t>(low_y, r.y), high_y = std::max<int64_t>(high_y, r.y);
        if (high_x - low_x <= PointerMotion::still_pixels && high_y - low_y <= PointerMotion::still_pixels)
            FUZZ_CHECK(!far);
        alike = alike && std::max(std::abs(int64_t{r.x}), std::abs(int64_t{r.y})) < (1 << 29);
        if (!alike) continue;
        FUZZ_CHECK(later.moved_far(r.time + dt, r.x, r.y) == far);
        FUZZ_CHECK(turned.moved_far(r.time, r.y, r.x) == far);
        FUZZ_CHECK(mirrored.moved_far(r.time, -r.x, r.y) == far);
        FUZZ_CHECK(moved.moved_far(r.time, r.x + dx, r.y + dy) == far);
    }
    return 0;
}
