#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>

class Palette;

// The screen's size and the one palette. The palette is created by the saver
// window and lives until the program ends.
struct ScreenRecord {
    std::unique_ptr<Palette> palette;
    int32_t width = 0;
    int32_t height = 0;
    ~ScreenRecord();
    // Left and top at most 0, right and bottom at least 1, even on a degenerate size.
    RECT rect() const;
};

extern ScreenRecord Screen;
