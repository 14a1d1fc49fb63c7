#pragma once
#include <windows.h>
#include <cstdint>

#include "gfx/draw_context.h"

// A DrawContext over a memory device holding a 32-bit top-down DIB section, so
// tests draw with the real GDI calls and read the pixels back.
class MemoryContext : public DrawContext {
public:
    MemoryContext(int32_t width, int32_t height);
    ~MemoryContext() override;

    // The pixel as a COLORREF (red in the low byte); 0xFFFFFFFF outside.
    COLORREF pixel(int32_t x, int32_t y) const;
    // Number of pixels that are not black.
    int32_t lit_pixels() const;
    // Sets every pixel to the given COLORREF.
    void clear(COLORREF colour = 0);

    const int32_t width;
    const int32_t height;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous_bitmap = nullptr;
    uint32_t* bits = nullptr;
};
