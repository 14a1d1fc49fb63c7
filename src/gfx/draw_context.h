#pragma once
#include <windows.h>
#include <cstdint>

class Brush;
class Color;
class Palette;
class Window;

// Owns a device context, with one saved-object slot each for pen, brush and a
// created font, so every selection made through it is undone exactly once.
class DrawContext {
public:
    explicit DrawContext(HDC hdc = nullptr) : hdc(hdc) {}
    virtual ~DrawContext();
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    void use_palette(const Palette& palette);
    // The colour word GDI gets for an effect's colour. The display takes the
    // effects' words as they are; an off-screen picture may translate them.
    virtual uint32_t device_colour(const Color& colour);
    void fill_screen(const Brush& brush);
    void fill_rect(const RECT& rect, const Brush& brush);

    void select_pen(HPEN pen);
    void restore_pen();
    void restore_brush();
    void restore_font();

    HDC hdc;

protected:
    HGDIOBJ saved_font = nullptr;
    HGDIOBJ saved_pen = nullptr;
    HGDIOBJ saved_brush = nullptr;
};

// A window's own context, outside a paint: released, never deleted.
class WindowContext : public DrawContext {
public:
    explicit WindowContext(HWND window);
    ~WindowContext() override;

private:
    HWND window;
};

// The context of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class PaintContext : public DrawContext {
public:
    explicit PaintContext(Window& window);
    ~PaintContext() override;

    PAINTSTRUCT paint_record;
    Window* window;
};
