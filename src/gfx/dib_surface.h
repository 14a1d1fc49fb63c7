#pragma once
#include <windows.h>
#include <cstdint>

// A 32-bit top-down picture in memory with a device context of its own, whose
// pixels the program can read and write directly (after GdiFlush).
class DibSurface {
public:
    DibSurface(int32_t width, int32_t height);
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    // False when the picture could not be made; it then draws nothing.
    bool valid() const { return bits != nullptr; }
    uint32_t* row(int32_t y) const { return bits + static_cast<size_t>(y) * static_cast<size_t>(width); }

    const int32_t width;
    const int32_t height;
    HDC hdc = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous_bitmap = nullptr;
    uint32_t* bits = nullptr;
};
