#pragma once
#include <windows.h>
#include <cstdint>
#include "gfx/color.h"

// Counts of GDI objects made and deleted by Pen and Brush, so tests can show
// that every one is freed.
struct GdiCounts {
    uint64_t created = 0;
    uint64_t deleted = 0;
};
extern GdiCounts gdi_counts;

// A solid brush, deleted with its owner. Never selected into a context.
class Brush {
public:
    explicit Brush(const Color& colour);
    ~Brush();
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;

    HBRUSH handle;
    int32_t owned;
};

// A pen for one drawing step; its owner deletes it after it is deselected.
class Pen {
public:
    Pen(const Color& colour, int32_t width = 1, int32_t style = PS_SOLID);
    ~Pen();
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

    HPEN handle;
    int32_t width;
    int32_t style;
};
