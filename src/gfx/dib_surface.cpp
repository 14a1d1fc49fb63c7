#include "gfx/dib_surface.h"

#include <algorithm>

DibSurface::DibSurface(int32_t width, int32_t height)
    : width(std::max(width, 1)), height(std::max(height, 1)), hdc(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = this->width;
    info.bmiHeader.biHeight = -this->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* storage = nullptr;
    if (hdc) bitmap = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &storage, nullptr, 0);
    if (!bitmap) return;
    bits = static_cast<uint32_t*>(storage);
    previous_bitmap = SelectObject(hdc, bitmap);
}

DibSurface::~DibSurface() {
    if (bitmap) {
        SelectObject(hdc, previous_bitmap);
        DeleteObject(bitmap);
    }
    if (hdc) DeleteDC(hdc);
}
