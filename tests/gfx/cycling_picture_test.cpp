#include <gtest/gtest.h>

#include <memory>

#include "gfx/cycling_picture.h"
#include "gfx/pen_brush.h"
#include "saver/effect_frames.h"
#include "saver/rolling_circles_saver.h"
#include "support/memory_context.h"
#include "support/screen_scope.h"

namespace {

constexpr int32_t width = 64;
constexpr int32_t height = 48;

COLORREF slot_colour(CyclingPicture& picture, int32_t slot) {
    const RGBQUAD entry = picture.table_entry(slot);
    return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}

int32_t squared_distance(COLORREF a, COLORREF b) {
    const int32_t dr = GetRValue(a) - GetRValue(b);
    const int32_t dg = GetGValue(a) - GetGValue(b);
    const int32_t db = GetBValue(a) - GetBValue(b);
    return dr * dr + dg * dg + db * db;
}

Color index_colour(int32_t index) { return Color(Screen.palette->colour(index)); }

// Rebuilds the palette until two entries share a colour, as ramps often make them.
bool find_repeated_colour(int32_t& first, int32_t& second) {
    for (int32_t seed = 1; seed < 200; ++seed) {
        start_run(seed);
        for (int32_t i = 0; i < Screen.palette->size; ++i)
            for (int32_t j = i + 1; j < Screen.palette->size; ++j)
                if (entry_colour(i) == entry_colour(j)) {
                    first = i;
                    second = j;
                    return true;
                }
    }
    return false;
}

class CyclingPictureTest : public ::testing::Test {
protected:
    ScreenScope scope{palette_display_caps(), width, height};
    CyclingPicture picture{scope.palette(), nullptr, width, height};
};

}  // namespace

TEST_F(CyclingPictureTest, PaletteIndexesKeepTheirSlotAndShowTheirEntryAfterAnyRotation) {
    int32_t first = 0, second = 0;
    ASSERT_TRUE(find_repeated_colour(first, second));
    ASSERT_EQ(236, scope.palette().size);
    EXPECT_EQ(0, picture.index_at(3, 3)) << "the untouched picture is reserved black";

    SetPixel(picture.hdc, 1, 1, picture.device_colour(index_colour(second)));
    const Pen pen(Color(picture.device_colour(index_colour(first))));
    picture.select_pen(pen.handle);
    MoveToEx(picture.hdc, 0, 5, nullptr);
    LineTo(picture.hdc, 20, 5);
    picture.restore_pen();
    const Brush brush(Color(picture.device_colour(index_colour(235))));
    const RECT fill{30, 30, 40, 40};
    picture.fill_rect(fill, brush);

    EXPECT_EQ(CyclingPicture::low_reserved + second, picture.index_at(1, 1));
    EXPECT_EQ(CyclingPicture::low_reserved + first, picture.index_at(10, 5));
    EXPECT_EQ(CyclingPicture::low_reserved + 235, picture.index_at(35, 35));

    MemoryContext shown(width, height);
    for (int32_t steps : {0, 1, 6, 229, 236}) {
        for (int32_t k = 0; k < steps; ++k) scope.palette().rotate(k % 3 == 0 ? 2 : 1, 0, 235);
        picture.draw_on(shown.hdc);
        EXPECT_EQ(entry_colour(second), shown.pixel(1, 1)) << steps;
        EXPECT_EQ(entry_colour(first), shown.pixel(10, 5)) << steps;
        EXPECT_EQ(entry_colour(235), shown.pixel(35, 35)) << steps;
        EXPECT_EQ(RGB(0, 0, 0), shown.pixel(3, 3)) << steps;
    }
}

TEST_F(CyclingPictureTest, ExplicitColoursTakeTheNearestSlotAndBlackAndWhiteTheReservedOnes) {
    start_run(77);
    EXPECT_EQ(0x10FF0000u, picture.device_colour(Color::black()));
    EXPECT_EQ(0x10FF00FFu, picture.device_colour(Color::white()));
    EXPECT_EQ(RGB(255, 255, 255), slot_colour(picture, 255));

    const Rgb a{entry_colour(3) & 0xFF, (entry_colour(3) >> 8) & 0xFF, (entry_colour(3) >> 16) & 0xFF};
    const Rgb b{entry_colour(140) & 0xFF, (entry_colour(140) >> 8) & 0xFF, (entry_colour(140) >> 16) & 0xFF};
    for (double v : {0.0, 0.3, 0.77}) {
        const Rgb mixed = blend(a, b, v);
        const COLORREF wanted = RGB(mixed.red, mixed.green, mixed.blue);
        const uint32_t word = picture.device_colour(Color::rgb(mixed.red, mixed.green, mixed.blue));
        ASSERT_EQ(0x10FF0000u, word & 0xFFFFFF00u);
        const int32_t slot = static_cast<int32_t>(word & 0xFF);
        for (int32_t other = 0; other < CyclingPicture::table_size; ++other)
            EXPECT_LE(squared_distance(slot_colour(picture, slot), wanted),
                      squared_distance(slot_colour(picture, other), wanted))
                << "blend " << v << ": slot " << other << " is nearer than " << slot;
        SetPixel(picture.hdc, 2, 2, word);
        EXPECT_EQ(slot, picture.index_at(2, 2));
    }
    // After the palette moves, the same colour is matched against the new entries.
    const COLORREF target = entry_colour(50);
    scope.palette().rotate(1, 0, 235);
    const uint32_t moved = picture.device_colour(Color::rgb(GetRValue(target), GetGValue(target), GetBValue(target)));
    EXPECT_EQ(0, squared_distance(slot_colour(picture, static_cast<int32_t>(moved & 0xFF)), target));
}

// When it is shown is the runner's business; what it shows is the picture's.
TEST_F(CyclingPictureTest, ShowsOnlyWhatChanged) {
    EXPECT_TRUE(picture.pending()) << "a new picture is shown once";
    picture.show();
    EXPECT_EQ(1, picture.presentations);
    EXPECT_FALSE(picture.pending());
    picture.show();
    EXPECT_EQ(1, picture.presentations) << "nothing changed";

    SetPixel(picture.hdc, 4, 4, picture.device_colour(index_colour(4)));
    EXPECT_TRUE(picture.pending());
    picture.show();
    EXPECT_EQ(2, picture.presentations);

    // A palette step alone is a change too, and so is a window that was covered.
    scope.palette().rotate(1, 0, 235);
    EXPECT_TRUE(picture.pending());
    picture.show();
    EXPECT_EQ(3, picture.presentations);
    picture.uncovered();
    EXPECT_TRUE(picture.pending());
    picture.show();
    EXPECT_EQ(4, picture.presentations);
    EXPECT_FALSE(picture.pending());
}

// What a window shows against what the picture holds, pixel by pixel: the
// number of pixels whose colour is not their slot's colour now.
int32_t wrongly_shown(CyclingPicture& picture, HWND window) {
    MemoryContext shown(picture.width, picture.height);
    const HDC screen = GetDC(window);
    BitBlt(shown.hdc, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
    GdiFlush();
    int32_t wrong = 0;
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x)
            wrong += shown.pixel(x, y) != slot_colour(picture, picture.index_at(x, y));
    return wrong;
}

// Only the bands of rows where slots or colours changed are shown again, so
// every showing is checked against the whole picture.
TEST(CyclingPicture, TheWindowShowsEveryPixelInItsCurrentColourAfterEachShowing) {
    HDC screen = GetDC(nullptr);
    const int32_t depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (depth < 24) GTEST_SKIP() << "colours are read back exactly only at depth 24";
    ScreenScope scope(palette_display_caps(), 100, 70);
    const HWND window = CreateWindowExA(0, "STATIC", "cycling", WS_POPUP | WS_VISIBLE, 0, 0, 100, 70, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    {
        CyclingPicture picture(scope.palette(), window, 100, 70);
        picture.show();
        EXPECT_EQ(0, wrongly_shown(picture, window)) << "the new picture, black";

        auto dot = [&](int32_t x, int32_t y, int32_t index) {
            SetPixel(picture.hdc, x, y, picture.device_colour(index_colour(index)));
        };
        dot(1, 1, 3);
        dot(97, 66, 200);
        const Pen pen(Color(picture.device_colour(index_colour(40))));
        picture.select_pen(pen.handle);
        MoveToEx(picture.hdc, 5, 60, nullptr);
        LineTo(picture.hdc, 90, 17);
        picture.restore_pen();
        picture.show();
        EXPECT_EQ(0, wrongly_shown(picture, window)) << "drawn";

        for (int32_t steps : {1, 5, 100}) {
            for (int32_t k = 0; k < steps; ++k) scope.palette().rotate(1, 0, 235);
            picture.show();
            EXPECT_EQ(0, wrongly_shown(picture, window)) << steps << " palette steps";
        }

        // Erased to the ground, and drawn elsewhere with no colour change.
        SetPixel(picture.hdc, 1, 1, picture.device_colour(Color::black()));
        dot(50, 30, 7);
        picture.show();
        EXPECT_EQ(0, wrongly_shown(picture, window)) << "erased and drawn";

        // The window lost what it showed.
        const HDC target = GetDC(window);
        const RECT all{0, 0, 100, 70};
        FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(window, target);
        picture.uncovered();
        picture.show();
        EXPECT_EQ(0, wrongly_shown(picture, window)) << "uncovered";
    }
    DestroyWindow(window);
}

TEST(CyclingPicture, HundredEffectsLeaveNoPenOrBrushAndThePictureFreesItsObjects) {
    ScreenScope scope(palette_display_caps(), frame_width, frame_height);
    SaverCountScope count(2);
    EraseColourScope erase(Color::black());
    HGDIOBJ bitmap = nullptr;
    HDC dc = nullptr;
    const GdiCounts before = gdi_counts;
    {
        CyclingPicture picture(scope.palette(), nullptr, frame_width, frame_height);
        bitmap = GetCurrentObject(picture.hdc, OBJ_BITMAP);
        dc = picture.hdc;
        ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
        for (int32_t effect = 0; effect < 100; ++effect) {
            start_run(5000 + effect);
            std::unique_ptr<LinesSaver> saver;
            if (effect % 4 == 3)
                saver = std::make_unique<RollingCirclesSaver>();
            else
                saver = std::make_unique<LinesSaver>();
            saver->dc = &picture;
            saver->clear_screen();
            for (int32_t frame = 0; frame < 10; ++frame) saver->frame();
            picture.show();
            saver->dc = nullptr;
        }
        EXPECT_GT(picture.presentations, 0);
    }
    EXPECT_GT(gdi_counts.created, before.created);
    EXPECT_EQ(gdi_counts.created - before.created, gdi_counts.deleted - before.deleted);
    EXPECT_EQ(0u, GetObjectType(bitmap));
    EXPECT_EQ(0u, GetObjectType(dc));
}
