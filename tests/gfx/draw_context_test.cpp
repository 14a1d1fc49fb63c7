#include <gtest/gtest.h>

#include "framework/window.h"
#include "gfx/pen_brush.h"
#include "support/memory_context.h"
#include "support/screen_scope.h"

namespace {

HGDIOBJ current_pen(const DrawContext& context) { return GetCurrentObject(context.hdc, OBJ_PEN); }

// A plain top-level window with its own procedure, for BeginPaint and EndPaint.
class PlainWindow : public Window {
public:
    PlainWindow() {
        hwnd = CreateWindowExA(0, "STATIC", "paint", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    ~PlainWindow() override {
        if (hwnd) DestroyWindow(hwnd);
    }
};

}  // namespace

TEST(DrawContext, SelectingTwiceRestoresTheOriginalAndDeletesNothing) {
    MemoryContext context(8, 8);
    const HGDIOBJ original = current_pen(context);
    Pen a(Color(0x000000FF));
    Pen b(Color(0x0000FF00));
    context.select_pen(a.handle);
    EXPECT_EQ(a.handle, current_pen(context));
    context.select_pen(b.handle);
    EXPECT_EQ(b.handle, current_pen(context));
    context.restore_pen();
    EXPECT_EQ(original, current_pen(context));
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(a.handle));
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(b.handle));
    // A second restore finds the slot empty.
    context.restore_pen();
    EXPECT_EQ(original, current_pen(context));
}

TEST(DrawContext, FillScreenCoversTheScreenRectangleOnly) {
    ScreenScope scope(true_colour_caps(), 64, 48);
    MemoryContext context(70, 52);
    Brush white(Color(RGB(255, 255, 255)));
    context.fill_screen(white);
    EXPECT_EQ(RGB(255, 255, 255), context.pixel(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), context.pixel(63, 47));
    EXPECT_EQ(RGB(0, 0, 0), context.pixel(64, 47));
    EXPECT_EQ(RGB(0, 0, 0), context.pixel(63, 48));
    EXPECT_EQ(64 * 48, context.lit_pixels());
}

TEST(DrawContext, ScreenRectangleStaysNonEmptyOnADegenerateSize) {
    ScreenScope scope(true_colour_caps(), 640, 480);
    RECT rect = Screen.rect();
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(640, rect.right);
    EXPECT_EQ(480, rect.bottom);
    Screen.width = 0;
    Screen.height = -5;
    rect = Screen.rect();
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(-5, rect.top);
    EXPECT_EQ(1, rect.right);
    EXPECT_EQ(1, rect.bottom);
}

TEST(DrawContext, UsePaletteSelectsOnlyAnAnimatingPalette) {
    MemoryContext context(4, 4);
    const HGDIOBJ default_palette = GetCurrentObject(context.hdc, OBJ_PAL);
    {
        ScreenScope scope(sixteen_colour_caps());
        context.use_palette(scope.palette());
        EXPECT_EQ(default_palette, GetCurrentObject(context.hdc, OBJ_PAL));
    }
    {
        ScreenScope scope(true_colour_caps());
        context.use_palette(scope.palette());
        EXPECT_EQ(scope.palette().handle(), GetCurrentObject(context.hdc, OBJ_PAL));
        // A palette-index colour now names our entry.
        const PALETTEENTRY& entry = scope.palette().entry(9);
        SetPixel(context.hdc, 1, 1, scope.palette().colour(9));
        EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), context.pixel(1, 1));
        SelectPalette(context.hdc, static_cast<HPALETTE>(default_palette), FALSE);
    }
}

TEST(DrawContext, ContextWithoutDeviceIgnoresEverything) {
    DrawContext context;
    Pen pen(Color(0));
    Brush brush(Color(0));
    context.select_pen(pen.handle);
    context.restore_pen();
    context.fill_screen(brush);
    context.restore_brush();
    context.restore_font();
    EXPECT_EQ(nullptr, context.hdc);
}

TEST(PaintContext, EndsThePaintAndLeavesItsPenSelectedBack) {
    PlainWindow window;
    ASSERT_NE(nullptr, window.hwnd);
    InvalidateRect(window.hwnd, nullptr, FALSE);
    Pen pen(Color(0x00FF00FF));
    HDC hdc = nullptr;
    {
        PaintContext context(window);
        hdc = context.hdc;
        ASSERT_NE(nullptr, hdc);
        EXPECT_EQ(&window, context.window);
        context.select_pen(pen.handle);
        EXPECT_EQ(pen.handle, GetCurrentObject(hdc, OBJ_PEN));
    }
    // EndPaint ran: nothing is left to paint, and the pen survived.
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(window.hwnd, &update, FALSE));
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(pen.handle));
}

TEST(PaintContext, FailedBeginPaintGivesAContextThatDrawsNothing) {
    Window nothing;   // never created: no window handle
    Pen pen(Color(0));
    PaintContext context(nothing);
    EXPECT_EQ(nullptr, context.hdc);
    context.select_pen(pen.handle);
    context.restore_pen();
}
