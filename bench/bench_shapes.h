#pragma once
// What the benchmarks share so that their figures compare: the seed, the trail,
// the light and heavy shapes, how long each figure is measured, and how a lines
// effect is given a shape.
#include <windows.h>

#include <cstdint>

#include "app/application.h"
#include "gfx/screen.h"
#include "saver/lines_saver.h"
#include "saver/palette.h"

constexpr int32_t bench_seed = 4242;
// Long enough that the measured frames erase as well as draw, as a running saver does.
constexpr int32_t trail = 64;
constexpr double measure_seconds = 1.0;

struct Shape {
    const char* name;
    int32_t copies;
    int32_t across;
    int32_t down;
};

constexpr Shape light_shape{"light: 1 copy, 1x1 tile", 1, 1, 1};
constexpr Shape heavy_shape{"heavy: 64 copies, 4x4 tiles", 64, 4, 4};

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
    }
    double seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
};

// The generator and the palette as every measured effect finds them before it is made.
inline void prepare_effect() {
    app.rand.reseed(bench_seed);
    Screen.palette->build();
    Screen.palette->animate();
}

// Gives a new effect the shape and a full trail, with no clearing.
inline void shape_saver(LinesSaver& saver, const Shape& shape) {
    saver.n = shape.copies;
    saver.m1 = shape.across;
    saver.m2 = shape.down;
    saver.history_length = trail;
    saver.clear_at_start = 0;
    // Where the display can cycle, cycle as the "+" key would start it.
    if (Screen.palette->palette_device) {
        saver.rotation_mode = 1;
        saver.rotation_period = saver.rotation_countdown = 10;
    }
}
