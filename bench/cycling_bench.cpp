// What true colour cycling costs: the lines effect drawing into the off-screen
// cycling picture (shown on a window once per 60 Hz refresh) set beside
// the same effect drawing straight on the window with today's palette; and what
// one presentation costs, whole (new colours) and partial (a few new lines).
//
//   cycling_bench        prints the table for this display (meant for depth 24)
#include <windows.h>

#include <cstdio>
#include <memory>

#include "app/application.h"
#include "gfx/cycling_picture.h"
#include "gfx/draw_context.h"
#include "gfx/screen.h"
#include "saver/lines_saver.h"
#include "saver/palette.h"

#include "bench_shapes.h"

namespace {

constexpr Shape shapes[] = {light_shape, heavy_shape};

struct Rates {
    double fps;
    double us_per_piece;
    double presentations_per_second;
};

// Unpaced frames for a second, with the palette rotating as the "+" key starts it
// where the display can cycle.
Rates draw_for_a_second(const Shape& shape, DrawContext& context, CyclingPicture* picture) {
    prepare_effect();
    LinesSaver saver;
    shape_saver(saver, shape);
    saver.dc = &context;
    context.use_palette(*Screen.palette);
    for (int32_t i = 0; i < trail; ++i) saver.frame();
    const int32_t shown_before = picture ? picture->presentations : 0;
    const Stopwatch watch;
    int64_t frames = 0;
    double next_show = 0;
    while (watch.seconds() < measure_seconds) {
        saver.frame();
        ++frames;
        if (picture && watch.seconds() >= next_show) {
            picture->show();
            next_show = watch.seconds() + 1.0 / 60;
        }
    }
    if (picture) picture->show();
    const double seconds = watch.seconds();
    saver.dc = nullptr;
    context.restore_pen();
    const double pieces = static_cast<double>(frames) * 2 * shape.copies * shape.across * shape.down;
    const int32_t shown = picture ? picture->presentations - shown_before : 0;
    return Rates{static_cast<double>(frames) / seconds, seconds * 1e6 / pieces, shown / seconds};
}

// Microseconds per presentation: whole after each palette step, or partial after
// a short line.
double presentation_us(CyclingPicture& picture, bool whole) {
    const int32_t before = picture.presentations;
    const Stopwatch watch;
    int32_t step = 0;
    while (watch.seconds() < measure_seconds) {
        if (whole) {
            Screen.palette->rotate(1, 0, Screen.palette->size - 1);
        } else {
            const int32_t x = 10 + step++ % 200;
            SetPixel(picture.hdc, x, 10, picture.device_colour(Color(Screen.palette->colour(step))));
            SetPixel(picture.hdc, x, 40, picture.device_colour(Color(Screen.palette->colour(step))));
        }
        picture.show();
    }
    return watch.seconds() * 1e6 / (picture.presentations - before);
}

}  // namespace

int main() {
    saver_count = 2;
    const DisplayCaps real = DisplayCaps::of_screen();
    std::unique_ptr<Palette> direct_palette = std::make_unique<Palette>(real);
    std::unique_ptr<Palette> cycling_palette = std::make_unique<Palette>(DisplayCaps::for_cycling(real, true));
    const HWND window = CreateWindowExA(0, "STATIC", "Quorix bench", WS_POPUP | WS_VISIBLE, 0, 0, Screen.width,
                                        Screen.height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);

    std::printf("display %dx%d, %d bits per pixel; cycling palette of %d (%d bits), direct palette of %d\n",
                Screen.width, Screen.height, real.bits_per_pixel, cycling_palette->size,
                cycling_palette->bits_per_pixel, direct_palette->size);
    std::printf("%-28s %12s %12s %10s %10s %8s %12s\n", "configuration", "direct f/s", "cycling f/s", "direct us",
                "cycling us", "f/s %", "shown/s");
    for (const Shape& shape : shapes) {
        Screen.palette = std::move(direct_palette);
        // The window's own DC: released, never deleted, so the context lets go of it first.
        DrawContext direct(GetDC(window));
        const Rates plain = draw_for_a_second(shape, direct, nullptr);
        ReleaseDC(window, direct.hdc);
        direct.hdc = nullptr;
        direct_palette = std::move(Screen.palette);

        Screen.palette = std::move(cycling_palette);
        CyclingPicture picture(*Screen.palette, window, Screen.width, Screen.height);
        const Rates cycled = draw_for_a_second(shape, picture, &picture);
        cycling_palette = std::move(Screen.palette);
        std::printf("%-28s %12.1f %12.1f %10.2f %10.2f %8.1f %12.1f\n", shape.name, plain.fps, cycled.fps,
                    plain.us_per_piece, cycled.us_per_piece, 100.0 * cycled.fps / plain.fps,
                    cycled.presentations_per_second);
        std::fflush(stdout);
    }

    Screen.palette = std::move(cycling_palette);
    {
        CyclingPicture picture(*Screen.palette, window, Screen.width, Screen.height);
        const double whole = presentation_us(picture, true);
        const double partial = presentation_us(picture, false);
        std::printf("presentation: whole (new colours) %.0f us, partial (two pixels) %.0f us\n", whole, partial);
    }
    Screen.palette.reset();
    DestroyWindow(window);
    return 0;
}
