#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "monitors/cover_layout_math.h"

// What a saver run shows on a desktop of several monitors, free of Win32 so it
// also runs natively.

// primary: the effect on the primary monitor, black covers on the others.
// span: one picture over the whole virtual screen.
// mirror: the primary's picture, scaled, on every other monitor.
// separate: a picture of its own on every other monitor.
enum class MonitorMode { primary, span, mirror, separate };

// The stored text of the "monitors" setting: exactly "span", "mirror" or
// "separate" chooses that mode, as only an exact "yes" turns a flag on;
// anything else is primary.
MonitorMode monitor_mode_from(const std::string& text);
// The text the options dialog writes for a mode.
const char* monitor_mode_text(MonitorMode mode);

// The smallest rectangle holding every monitor, empty ones skipped; all zero
// when none is left. Its width and height may need 64 bits.
CoverRect virtual_screen(const std::vector<CoverRect>& monitors);

// Where a picture of the given size goes on a monitor: as large as fits with
// its aspect ratio kept, centred. Empty (all at the monitor's top left) when
// the picture or the monitor is empty.
CoverRect fitted_rect(int32_t picture_width, int32_t picture_height, const CoverRect& monitor);

// The monitors that show a mirror of the saver's picture: every non-empty one
// that the saver window does not already hold whole, once. A monitor only partly
// under the saver window (outputs placed over each other) is mirrored whole, as
// a mirror shows the whole picture: there alone it lies over the saver window.
std::vector<CoverRect> mirror_layout(const std::vector<CoverRect>& monitors, const CoverRect& saver);

// True when the point lies on the outermost row or column of a monitor, or on
// no monitor at all: where the system puts a pointer it moves off a monitor
// that went or shrank.
bool on_monitor_edge(const std::vector<CoverRect>& monitors, int32_t x, int32_t y);

// For each of `target` pixels of a row scaled from `source` pixels, the source
// pixel nearest its centre; empty when either is not positive.
std::vector<int32_t> nearest_indexes(int32_t source, int32_t target);
