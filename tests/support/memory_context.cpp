#include "support/memory_context.h"

namespace {

COLORREF from_dib(uint32_t value) {
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

uint32_t to_dib(COLORREF colour) {
    return static_cast<uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

}  // namespace

MemoryContext::MemoryContext(int32_t width, int32_t height)
    : DrawContext(CreateCompatibleDC(nullptr)), width(width), height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* storage = nullptr;
    bitmap = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &storage, nullptr, 0);
    bits = static_cast<uint32_t*>(storage);
    previous_bitmap = SelectObject(hdc, bitmap);
    clear();
}

MemoryContext::~MemoryContext() {
    restore_font();
    restore_pen();
    restore_brush();
    SelectObject(hdc, previous_bitmap);
    DeleteObject(bitmap);
}

COLORREF MemoryContext::pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height || !bits) return 0xFFFFFFFF;
    GdiFlush();
    return from_dib(bits[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]);
}

int32_t MemoryContext::lit_pixels() const {
    GdiFlush();
    int32_t lit = 0;
    for (size_t i = 0; bits && i < static_cast<size_t>(width) * static_cast<size_t>(height); ++i)
        if (bits[i] & 0x00FFFFFF) ++lit;
    return lit;
}

void MemoryContext::clear(COLORREF colour) {
    GdiFlush();
    for (size_t i = 0; bits && i < static_cast<size_t>(width) * static_cast<size_t>(height); ++i)
        bits[i] = to_dib(colour);
}
