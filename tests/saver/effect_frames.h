#pragma once
// Drawing exact numbers of frames of an effect onto a memory context, shared by
// the lines and rolling circles tests.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "app/application.h"
#include "gfx/screen.h"
#include "saver/lines_saver.h"
#include "saver/palette.h"
#include "support/memory_context.h"

constexpr int32_t frame_width = 200;
constexpr int32_t frame_height = 150;

// Sets saver_count for one test; 2 and above unlock the linked motion, windows,
// coloured fills and centre spokes.
class SaverCountScope {
public:
    explicit SaverCountScope(uint32_t count) : saved(saver_count) { saver_count = count; }
    ~SaverCountScope() { saver_count = saved; }
    SaverCountScope(const SaverCountScope&) = delete;
    SaverCountScope& operator=(const SaverCountScope&) = delete;

private:
    uint32_t saved;
};

// Every lines saver shares the erase colour; a test that changes it puts it back.
class EraseColourScope {
public:
    explicit EraseColourScope(Color colour) : saved(erase_colour) { erase_colour = colour; }
    ~EraseColourScope() { erase_colour = saved; }
    EraseColourScope(const EraseColourScope&) = delete;
    EraseColourScope& operator=(const EraseColourScope&) = delete;

private:
    Color saved;
};

// As a run started with "-r seed" would begin: the program's generator re-seeded
// and the palette rebuilt from it, so the saver built next is the same each time.
inline void start_run(int32_t seed) {
    app.rand.reseed(seed);
    Screen.palette->build();
    Screen.palette->animate();
}

// Draws frames as run does, without its clock and its message test.
inline void draw_frames(LinesSaver& saver, MemoryContext& context, int32_t frames) {
    saver.dc = &context;
    context.use_palette(*Screen.palette);
    saver.clear_screen();
    for (int32_t i = 0; i < frames; ++i) saver.frame();
    saver.dc = nullptr;
}

inline std::vector<COLORREF> picture(const MemoryContext& context) {
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<size_t>(context.width) * static_cast<size_t>(context.height));
    for (int32_t y = 0; y < context.height; ++y)
        for (int32_t x = 0; x < context.width; ++x) pixels.push_back(context.pixel(x, y));
    return pixels;
}

inline COLORREF entry_colour(int32_t index) {
    const PALETTEENTRY& entry = Screen.palette->entry(index);
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

// The palette entry that stands out most against black.
inline int32_t brightest_entry() {
    int32_t best = 0;
    int32_t best_sum = -1;
    for (int32_t i = 0; i < Screen.palette->size; ++i) {
        const PALETTEENTRY& entry = Screen.palette->entry(i);
        const int32_t sum = entry.peRed + entry.peGreen + entry.peBlue;
        if (sum > best_sum) best = i, best_sum = sum;
    }
    return best;
}

// The normalised coordinate whose pixel is the given one, at the pixel's middle
// so that rounding on the way cannot move it.
inline float centre_of(int32_t pixel, int32_t size) {
    return static_cast<float>((pixel + 0.5) / (size * 0.5) - 1.0);
}

// One copy, one tile, the whole window, no polar turns, no palette rotation, no
// clearing, the colour of the brightest entry and a trail of the given length.
inline void make_plain(LinesSaver& saver, int32_t trail) {
    saver.n = 1;
    saver.m1 = saver.m2 = 1;
    saver.xmin = saver.ymin = -1;
    saver.xmax = saver.ymax = 1;
    saver.polar1 = saver.polar2 = 0;
    saver.colour_source = source_line;
    saver.colour_index = brightest_entry();
    saver.rotation_mode = 0;
    saver.clear_at_start = 0;
    saver.history_length = trail;
    saver.history_index = 0;
    saver.history_full = 0;
    saver.lag = 0;
}

// Pins the line's ends: with frequency 0 each coordinate is sin(phase) at any time.
inline void aim(LinesSaver& saver, float x1, float y1, float x2, float y2) {
    saver.f1 = saver.f2 = saver.f3 = saver.f4 = 0;
    saver.p1 = static_cast<float>(std::asin(x1));
    saver.p2 = static_cast<float>(std::asin(y1));
    saver.p3 = static_cast<float>(std::asin(x2));
    saver.p4 = static_cast<float>(std::asin(y2));
}
