// What a frame of each effect costs on a window of the real display, set beside
// a loop that makes only the GDI calls of the same pieces; and a saver window
// running a light or heavy lines configuration, whose processor time and wake-up
// latency scripts/bench.sh measures from outside.
//
//   effects_bench                         prints the throughput table for this display
//   effects_bench --saver light|heavy     runs a saver window until input wakes it and
//                                         prints its frames per second (in the separate
//                                         mode, the slowest monitor's)
//   effects_bench --saver bare            the same loop with frames that draw nothing
//   effects_bench --saver light|heavy|bare --display-off
//                                         the window is told at once that the display is off
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "app/application.h"
#include "gfx/draw_context.h"
#include "gfx/screen.h"
#include "monitors/separate_pictures.h"
#include "saver/lines_math.h"
#include "saver/lines_saver.h"
#include "saver/palette.h"
#include "saver/rolling_circles_saver.h"
#include "savewin/saver_window.h"
#include "support/display_notice.h"

#include "bench_shapes.h"

namespace {

enum class Effect { lines, circles };

const char* name_of(Effect effect) { return effect == Effect::lines ? "lines" : "circles"; }

// A visible popup over the whole screen.
class BenchWindow {
public:
    BenchWindow()
        : hwnd(CreateWindowExA(0, "STATIC", "Quorix bench", WS_POPUP | WS_VISIBLE, 0, 0, Screen.width,
                               Screen.height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {
        pump();
    }
    ~BenchWindow() {
        if (hwnd) DestroyWindow(hwnd);
    }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    // Handles whatever is queued (the first paint, focus changes).
    void pump() const {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    // The saver window's test, on this window.
    bool no_msg() const {
        MSG message;
        return !PeekMessageA(&message, hwnd, 0, 0, PM_NOREMOVE);
    }

    HWND hwnd;
};

struct PixelPiece {
    int32_t xa, ya, xb, yb;
};

struct Figures {
    double body_fps;
    double effect_us;
    double raw_us;
};

// Frames a saver window drew, and when the first and the last began.
struct FrameCount {
    int64_t frames = 0;
    double first = 0;
    double last = 0;
};

class CountedLines : public LinesSaver {
public:
    CountedLines(EffectHost& host, FrameCount& count, const Stopwatch& watch, bool draw)
        : LinesSaver(&host), count(count), watch(watch), draw(draw) {}
    void frame() override {
        count.last = watch.seconds();
        if (count.frames++ == 0) count.first = count.last;
        if (draw) LinesSaver::frame();
    }

private:
    FrameCount& count;
    const Stopwatch& watch;
    bool draw;
};

template <class Lines, class... Arguments>
std::unique_ptr<LinesSaver> make_shaped(const Shape& shape, Arguments&... arguments) {
    prepare_effect();
    std::unique_ptr<LinesSaver> saver = std::make_unique<Lines>(arguments...);
    shape_saver(*saver, shape);
    return saver;
}

std::unique_ptr<LinesSaver> make_saver(Effect effect, const Shape& shape) {
    if (effect == Effect::lines) return make_shaped<LinesSaver>(shape);
    return make_shaped<RollingCirclesSaver>(shape);
}

// The pixels of every piece of the lines in the trail, cut as draw_segment cuts
// them (mirroring left out: it moves pieces, not their number or length).
std::vector<PixelPiece> pieces_of_trail(const LinesSaver& saver) {
    std::vector<PixelPiece> pieces;
    for (int32_t line = 0; line < trail; ++line) {
        for (int32_t i = 0; i < saver.n; ++i) {
            const float theta = static_cast<float>(i * 2 * lines_pi / saver.n);
            float x1 = history[0][line], y1 = history[1][line], x2 = history[2][line], y2 = history[3][line];
            turn(x1, y1, std::sin(theta), std::cos(theta));
            turn(x2, y2, std::sin(theta), std::cos(theta));
            for (int32_t a = 0; a < saver.m1; ++a) {
                for (int32_t b = 0; b < saver.m2; ++b) {
                    pieces.push_back(PixelPiece{
                        std::min(to_pixel(to_tile(x1, a, saver.m1), saver.half_width), Screen.width - 1),
                        std::min(to_pixel(to_tile(y1, b, saver.m2), saver.half_height), Screen.height - 1),
                        std::min(to_pixel(to_tile(x2, a, saver.m1), saver.half_width), Screen.width),
                        std::min(to_pixel(to_tile(y2, b, saver.m2), saver.half_height), Screen.height)});
                }
            }
        }
    }
    return pieces;
}

// Only the GDI calls the effect makes for each piece.
double raw_piece_us(const std::vector<PixelPiece>& pieces, HDC hdc, COLORREF colour) {
    const Stopwatch watch;
    int64_t drawn = 0;
    while (watch.seconds() < measure_seconds) {
        for (const PixelPiece& piece : pieces) {
            const HPEN pen = CreatePen(PS_SOLID, 1, colour);
            const HGDIOBJ previous = SelectObject(hdc, pen);
            MoveToEx(hdc, piece.xa, piece.ya, nullptr);
            LineTo(hdc, piece.xb, piece.yb);
            SelectObject(hdc, previous);
            DeleteObject(pen);
        }
        drawn += static_cast<int64_t>(pieces.size());
    }
    return watch.seconds() * 1e6 / static_cast<double>(drawn);
}

Figures measure(Effect effect, const Shape& shape, const BenchWindow&, WindowContext& context) {
    std::unique_ptr<LinesSaver> saver = make_saver(effect, shape);
    saver->dc = &context;
    context.use_palette(*Screen.palette);
    for (int32_t i = 0; i < trail; ++i) saver->frame();   // the trail is full from here on

    const int64_t pieces_per_frame = 2LL * shape.copies * shape.across * shape.down;
    const Stopwatch watch;
    int64_t frames = 0;
    while (watch.seconds() < measure_seconds) {
        saver->frame();
        ++frames;
    }
    const double body_seconds = watch.seconds();

    Figures figures{};
    figures.body_fps = static_cast<double>(frames) / body_seconds;
    figures.effect_us = body_seconds * 1e6 / static_cast<double>(frames * pieces_per_frame);
    figures.raw_us = raw_piece_us(pieces_of_trail(*saver), context.hdc, Screen.palette->colour(saver->colour_index));
    saver->dc = nullptr;
    return figures;
}

int throughput() {
    saver_count = 2;
    Screen.palette = std::make_unique<Palette>();
    const BenchWindow window;
    WindowContext context(window.hwnd);
    DWORD_PTR process_mask = 0, system_mask = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask);
    std::printf("display %dx%d, %d bits per pixel, palette of %d, animating %d, palette device %d, "
                "cpu mask 0x%lx\n",
                Screen.width, Screen.height, Screen.palette->bits_per_pixel, Screen.palette->size,
                Screen.palette->animating, Screen.palette->palette_device, static_cast<unsigned long>(process_mask));
    std::printf("%-8s %-28s %10s %10s %10s %7s\n", "effect", "configuration", "frames/s", "us/piece", "raw us",
                "ratio");
    for (Effect effect : {Effect::lines, Effect::circles}) {
        for (const Shape* shape : {&light_shape, &heavy_shape}) {
            const Figures figures = measure(effect, *shape, window, context);
            std::printf("%-8s %-28s %10.1f %10.2f %10.2f %7.2f\n", name_of(effect), shape->name, figures.body_fps,
                        figures.effect_us, figures.raw_us, figures.effect_us / figures.raw_us);
            std::fflush(stdout);
        }
    }
    return 0;
}

enum class Wait { blocking, display_off };

double frames_per_second(const FrameCount& count) {
    const double seconds = count.last - count.first;
    return seconds > 0 ? static_cast<double>(count.frames - 1) / seconds : 0.0;
}

// A saver run like "/s", whose first effect is replaced by the given lines; at
// its end, the frames per second between its first and its last frame. In the
// separate mode every other monitor's first effect is replaced too, and the
// figure is the slowest monitor's.
int saver_run(const Shape& shape, Wait wait, bool draw) {
    app.instance = GetModuleHandleA(nullptr);
    app.command_line = "/s";
    std::unique_ptr<SaverWindow> window(new SaverWindow);
    FrameCount count;
    const Stopwatch watch;
    EffectHost& host = window->runner;
    window->runner.run_effect(make_shaped<CountedLines>(shape, host, count, watch, draw));
    std::vector<FrameCount> others;
    if (SeparatePictures* pictures = window->monitors.separate_pictures()) {
        others.resize(pictures->count());
        for (size_t i = 0; i < pictures->count(); ++i) {
            MonitorPicture& picture = (*pictures)[i];
            auto lines = std::make_unique<CountedLines>(picture.runner, others[i], watch, draw);
            shape_saver(*lines, shape);
            picture.runner.run_effect(std::move(lines));
        }
    }
    if (wait == Wait::display_off) tell_display(window->hwnd, display_off);
    app.run_saver(std::move(window));
    double slowest = frames_per_second(count);
    for (const FrameCount& other : others) slowest = std::min(slowest, frames_per_second(other));
    std::printf("frames %lld seconds %.3f frames/s %.1f", static_cast<long long>(count.frames),
                count.last - count.first, slowest);
    if (!others.empty()) std::printf(" (primary %.1f, %zu other monitors)", frames_per_second(count), others.size());
    std::printf("\n");
    return static_cast<int>(app.exit_code);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], "--saver") == 0) {
        const char* option = argc > 3 ? argv[3] : "";
        Wait wait = Wait::blocking;
        if (std::strcmp(option, "--display-off") == 0) wait = Wait::display_off;
        const bool bare = std::strcmp(argv[2], "bare") == 0;
        return saver_run(std::strcmp(argv[2], "heavy") == 0 ? heavy_shape : light_shape, wait, !bare);
    }
    return throughput();
}
