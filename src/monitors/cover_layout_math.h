#pragma once
#include <cstdint>
#include <vector>

// Where the covers of the other monitors go, free of Win32 so it also runs natively.

// A rectangle in virtual-screen coordinates; right and bottom are exclusive.
struct CoverRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline bool operator==(const CoverRect& a, const CoverRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// No pixel inside: no width or no height.
inline bool empty(const CoverRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// The parts of the monitors that the saver window leaves uncovered, each monitor
// minus the saver's rectangle in at most four bands (above, below, left, right),
// and minus the monitors before it where they overlap, so that every pixel of a
// monitor lies under exactly one of the saver window and the covers.
// The primary monitor lies inside the saver window, so it yields nothing, and
// neither does a one-monitor desktop; empty monitors are skipped.
std::vector<CoverRect> cover_layout(const std::vector<CoverRect>& monitors, const CoverRect& saver);
