#include "gfx/draw_context.h"

#include "framework/window.h"
#include "gfx/color.h"
#include "gfx/pen_brush.h"
#include "gfx/screen.h"
#include "saver/palette.h"

DrawContext::~DrawContext() {
    if (hdc) DeleteDC(hdc);
}

WindowContext::WindowContext(HWND window) : DrawContext(GetDC(window)), window(window) {}

WindowContext::~WindowContext() {
    restore_font();
    restore_pen();
    restore_brush();
    if (hdc) ReleaseDC(window, hdc);
    hdc = nullptr;
}

uint32_t DrawContext::device_colour(const Color& colour) { return colour.value; }

void DrawContext::use_palette(const Palette& palette) {
    if (!hdc || !palette.animating || !palette.handle()) return;
    UnrealizeObject(palette.handle());
    SelectPalette(hdc, palette.handle(), FALSE);
    RealizePalette(hdc);
}

void DrawContext::fill_screen(const Brush& brush) { fill_rect(Screen.rect(), brush); }

void DrawContext::fill_rect(const RECT& rect, const Brush& brush) {
    if (hdc) FillRect(hdc, &rect, brush.handle);
}

// Restoring first keeps the slot on the pen that was there before any of ours.
void DrawContext::select_pen(HPEN pen) {
    restore_pen();
    if (hdc) saved_pen = SelectObject(hdc, pen);
}

void DrawContext::restore_pen() {
    if (!saved_pen) return;
    SelectObject(hdc, saved_pen);
    saved_pen = nullptr;
}

void DrawContext::restore_brush() {
    if (!saved_brush) return;
    SelectObject(hdc, saved_brush);
    saved_brush = nullptr;
}

// The font in place was created by us, so it goes once it is deselected.
void DrawContext::restore_font() {
    if (!saved_font) return;
    DeleteObject(SelectObject(hdc, saved_font));
    saved_font = nullptr;
}

PaintContext::PaintContext(Window& window) : paint_record{}, window(&window) {
    hdc = BeginPaint(window.hwnd, &paint_record);
}

// BeginPaint hands back its own context: EndPaint releases it, never DeleteDC.
// When BeginPaint failed there is nothing to end.
PaintContext::~PaintContext() {
    restore_font();
    restore_pen();
    restore_brush();
    if (hdc) EndPaint(window->hwnd, &paint_record);
    hdc = nullptr;
    window = nullptr;
}
