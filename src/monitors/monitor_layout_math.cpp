#include "monitors/monitor_layout_math.h"

#include <algorithm>

MonitorMode monitor_mode_from(const std::string& text) {
    if (text == "span") return MonitorMode::span;
    if (text == "mirror") return MonitorMode::mirror;
    if (text == "separate") return MonitorMode::separate;
    return MonitorMode::primary;
}

const char* monitor_mode_text(MonitorMode mode) {
    switch (mode) {
    case MonitorMode::span:
        return "span";
    case MonitorMode::mirror:
        return "mirror";
    case MonitorMode::separate:
        return "separate";
    case MonitorMode::primary:
        break;
    }
    return "primary";
}

namespace {

int64_t extent(int32_t low, int32_t high) { return static_cast<int64_t>(high) - low; }

bool holds(const CoverRect& outer, const CoverRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

}  // namespace

CoverRect virtual_screen(const std::vector<CoverRect>& monitors) {
    CoverRect bounds{0, 0, 0, 0};
    bool first = true;
    for (const CoverRect& m : monitors) {
        if (empty(m)) continue;
        if (first) {
            bounds = m;
            first = false;
            continue;
        }
        bounds.left = std::min(bounds.left, m.left);
        bounds.top = std::min(bounds.top, m.top);
        bounds.right = std::max(bounds.right, m.right);
        bounds.bottom = std::max(bounds.bottom, m.bottom);
    }
    return bounds;
}

// Products of two sizes need 64 bits: 2^31 by 2^31 does not fit in 32.
CoverRect fitted_rect(int32_t picture_width, int32_t picture_height, const CoverRect& monitor) {
    const CoverRect none{monitor.left, monitor.top, monitor.left, monitor.top};
    const int64_t mw = extent(monitor.left, monitor.right);
    const int64_t mh = extent(monitor.top, monitor.bottom);
    if (picture_width <= 0 || picture_height <= 0 || mw <= 0 || mh <= 0) return none;
    int64_t w = mw;
    int64_t h = mh;
    // Whichever side limits: compare the aspect ratios by cross products.
    if (mw * picture_height > mh * picture_width) {
        w = std::max<int64_t>(1, mh * picture_width / picture_height);
    } else {
        h = std::max<int64_t>(1, mw * picture_height / picture_width);
    }
    const int64_t left = monitor.left + (mw - w) / 2;
    const int64_t top = monitor.top + (mh - h) / 2;
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + w),
            static_cast<int32_t>(top + h)};
}

std::vector<CoverRect> mirror_layout(const std::vector<CoverRect>& monitors, const CoverRect& saver) {
    std::vector<CoverRect> mirrors;
    for (auto m = monitors.begin(); m != monitors.end(); ++m) {
        // A clone of a monitor already mirrored would only show the same picture twice over.
        if (!empty(*m) && !holds(saver, *m) && std::find(monitors.begin(), m, *m) == m) mirrors.push_back(*m);
    }
    return mirrors;
}

std::vector<int32_t> nearest_indexes(int32_t source, int32_t target) {
    std::vector<int32_t> indexes;
    if (source <= 0 || target <= 0) return indexes;
    indexes.reserve(static_cast<size_t>(target));
    for (int64_t i = 0; i < target; ++i)
        indexes.push_back(static_cast<int32_t>((2 * i + 1) * source / (2 * static_cast<int64_t>(target))));
    return indexes;
}

bool on_monitor_edge(const std::vector<CoverRect>& monitors, int32_t x, int32_t y) {
    for (const CoverRect& m : monitors) {
        if (x < m.left || y < m.top || x >= m.right || y >= m.bottom) continue;
        if (x == m.left || y == m.top || x == m.right - 1 || y == m.bottom - 1) return true;
        return false;
    }
    return true;
}
