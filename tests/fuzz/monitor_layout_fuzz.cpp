// The covers and mirrors of the monitors around the saver window, on desktops
// of up to six monitors that may overlap, repeat or be empty, with coordinates
// up to the ends of 32 bits; and the placing and sampling of mirrored pictures.
//
// Covers: every pixel of a monitor lies under exactly one of the saver window
// and the covers, and no cover reaches past the monitors. Mirrors: one per
// monitor that the saver window does not hold whole, none for a monitor that
// repeats an earlier one; where the monitors do not overlap and the saver
// window is one of them, every pixel of a monitor is again under exactly one
// window.
#include <algorithm>
#include <vector>

#include "fuzz_input.h"
#include "monitors/monitor_layout_math.h"

namespace {

using Rects = std::vector<CoverRect>;

bool contains(const CoverRect& r, int64_t x, int64_t y) {
    return !empty(r) && x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool holds(const CoverRect& outer, const CoverRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

bool overlap(const CoverRect& a, const CoverRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// Coordinates on a coarse grid, so that monitors meet and overlap often; the
// scale reaches beyond 32 bits, which clamps to its ends.
int32_t coordinate(FuzzInput& in, int64_t scale) {
    const int64_t c = (static_cast<int64_t>(in.byte()) - 128) * scale;
    return static_cast<int32_t>(std::clamp<int64_t>(c, INT32_MIN, INT32_MAX));
}

CoverRect rect(FuzzInput& in, int64_t scale) {
    const int32_t left = coordinate(in, scale), top = coordinate(in, scale);
    return {left, top, coordinate(in, scale), coordinate(in, scale)};
}

// Every cell of the grid that the rectangles' edges make: how many of
// `windows` lie over it, with the saver window, on each monitor (`exact`) or
// off every monitor (none).
void check_cells(const Rects& monitors, const CoverRect& saver, const Rects& windows) {
    std::vector<int64_t> xs, ys;
    for (const Rects* list : {&monitors, &windows}) {
        for (const CoverRect& r : *list) {
            xs.insert(xs.end(), {r.left, r.right});
            ys.insert(ys.end(), {r.top, r.bottom});
        }
    }
    xs.insert(xs.end(), {saver.left, saver.right});
    ys.insert(ys.end(), {saver.top, saver.bottom});
    for (std::vector<int64_t>* edges : {&xs, &ys}) {
        std::sort(edges->begin(), edges->end());
        edges->erase(std::unique(edges->begin(), edges->end()), edges->end());
    }
    for (const int64_t x : xs) {
        for (const int64_t y : ys) {
            int over = contains(saver, x, y) ? 1 : 0;
            for (const CoverRect& w : windows) over += contains(w, x, y);
            bool on_monitor = false;
            for (const CoverRect& m : monitors) on_monitor = on_monitor || contains(m, x, y);
            FUZZ_CHECK(on_monitor ? over == 1 : over == contains(saver, x, y));
        }
    }
}

void check_covers(const Rects& monitors, const CoverRect& saver) {
    const Rects covers = cover_layout(monitors, saver);
    for (const CoverRect& c : covers) FUZZ_CHECK(!empty(c));
    check_cells(monitors, saver, covers);
}

void check_mirrors(const Rects& monitors, const CoverRect& saver) {
    const Rects mirrors = mirror_layout(monitors, saver);
    size_t next = 0;   // mirrors come in the monitors' order
    for (size_t i = 0; i < monitors.size(); ++i) {
        const CoverRect& m = monitors[i];
        const bool repeats = std::find(monitors.begin(), monitors.begin() + i, m) != monitors.begin() + i;
        const bool mirrored = !empty(m) && !holds(saver, m) && !repeats;
        FUZZ_CHECK(!mirrored || (next < mirrors.size() && mirrors[next++] == m));
    }
    FUZZ_CHECK(next == mirrors.size());
    bool apart = std::find(monitors.begin(), monitors.end(), saver) != monitors.end();
    for (size_t i = 0; i < monitors.size(); ++i)
        for (size_t j = 0; j < i; ++j) apart = apart && !overlap(monitors[i], monitors[j]);
    if (apart) check_cells(monitors, saver, mirrors);
}

void check_virtual_screen(const Rects& monitors) {
    const CoverRect screen = virtual_screen(monitors);
    bool any = false;
    bool left = false, top = false, right = false, bottom = false;
    for (const CoverRect& m : monitors) {
        if (empty(m)) continue;
        any = true;
        FUZZ_CHECK(holds(screen, m));
        left = left || m.left == screen.left;
        top = top || m.top == screen.top;
        right = right || m.right == screen.right;
        bottom = bottom || m.bottom == screen.bottom;
    }
    FUZZ_CHECK(any ? left && top && right && bottom : screen == (CoverRect{0, 0, 0, 0}));
}

// As large as fits, one side filling the monitor, the aspect kept to a pixel
// (unless a side had to be one pixel), centred to a pixel.
void check_fitted(int32_t width, int32_t height, const CoverRect& monitor) {
    const CoverRect fit = fitted_rect(width, height, monitor);
    if (width <= 0 || height <= 0 || empty(monitor)) {
        FUZZ_CHECK(fit == (CoverRect{monitor.left, monitor.top, monitor.left, monitor.top}));
        return;
    }
    FUZZ_CHECK(!empty(fit) && holds(monitor, fit));
    const __int128 w = int64_t{fit.right} - fit.left, h = int64_t{fit.bottom} - fit.top;
    const int64_t mw = int64_t{monitor.right} - monitor.left, mh = int64_t{monitor.bottom} - monitor.top;
    FUZZ_CHECK(w == mw || h == mh);
    const __int128 skew = w * height - h * width;
    FUZZ_CHECK(w == 1 || h == 1 || (skew < std::max(width, height) && -skew < std::max(width, height)));
    const int64_t side_gap = (int64_t{fit.left} - monitor.left) - (int64_t{monitor.right} - fit.right);
    const int64_t top_gap = (int64_t{fit.top} - monitor.top) - (int64_t{monitor.bottom} - fit.bottom);
    FUZZ_CHECK(side_gap >= -1 && side_gap <= 0 && top_gap >= -1 && top_gap <= 0);
}

// Every index names a source pixel, in order; none is skipped when
// enlarging, none repeated when shrinking.
void check_indexes(int32_t source, int32_t target) {
    const std::vector<int32_t> indexes = nearest_indexes(source, target);
    FUZZ_CHECK(indexes.size() == static_cast<size_t>(source > 0 && target > 0 ? target : 0));
    for (size_t i = 0; i < indexes.size(); ++i) {
        FUZZ_CHECK(indexes[i] >= 0 && indexes[i] < source);
        if (i == 0) continue;
        const int32_t step = indexes[i] - indexes[i - 1];
        FUZZ_CHECK(target <= source ? step >= 1 : step == 0 || step == 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int64_t scales[] = {1, 3, 160, 1 << 20, int64_t{1} << 25};
    const int64_t scale = scales[in.byte() % 5];
    Rects monitors(1 + in.byte() % 6);
    for (CoverRect& m : monitors) m = rect(in, scale);
    // The saver window is over the primary, as it always is, or anywhere.
    const uint8_t where = in.byte();
    const CoverRect saver = where % 4 ? monitors[where % monitors.size()] : rect(in, scale);

    check_covers(monitors, saver);
    check_mirrors(monitors, saver);
    check_virtual_screen(monitors);
    const int32_t width = in.number<int32_t>() >> (in.byte() % 32);
    const int32_t height = in.number<int32_t>() >> (in.byte() % 32);
    check_fitted(width, height, monitors[0]);
    check_indexes(in.number<int32_t>() >> (in.byte() % 32), static_cast<int32_t>(in.in_range(-2, 3000)));
    return 0;
}
