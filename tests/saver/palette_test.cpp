#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "app/application.h"
#include "gfx/color.h"
#include "saver/palette.h"
#include "support/screen_scope.h"

namespace {

std::vector<PALETTEENTRY> entries_of(const Palette& palette) {
    std::vector<PALETTEENTRY> entries;
    for (int32_t i = 0; i < palette.size; ++i) entries.push_back(palette.entry(i));
    return entries;
}

bool same(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue && a.peFlags == b.peFlags;
}

bool same(const std::vector<PALETTEENTRY>& a, const std::vector<PALETTEENTRY>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i])) return false;
    return true;
}

// What the GDI palette object holds, to show that animate() pushed the entries.
std::vector<PALETTEENTRY> handle_entries(const Palette& palette) {
    std::vector<PALETTEENTRY> entries(static_cast<size_t>(palette.size));
    GetPaletteEntries(palette.handle(), 0, static_cast<UINT>(palette.size), entries.data());
    return entries;
}

// How many raw values app.rand gave since it was seeded with `seed`.
int count_draws_since(int32_t seed) {
    RandomGenerator reference(seed);
    const int32_t following = app.rand.next();
    for (int used = 0; used < 100000; ++used)
        if (reference.next() == following) return used;
    return -1;
}

bool is_palette_screen() {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits <= 8;
}

}  // namespace

TEST(Palette, FollowsTheRealDisplay) {
    ScreenScope scope;
    const Palette& palette = scope.palette();
    EXPECT_TRUE(palette.animating);
    EXPECT_NE(nullptr, palette.handle());
    if (is_palette_screen()) {
        EXPECT_EQ(20, palette.reserved);
        EXPECT_EQ(236, palette.size);
        EXPECT_TRUE(palette.palette_device);
        EXPECT_FALSE(true_color);
    } else {
        EXPECT_EQ(256, palette.size);
        EXPECT_FALSE(palette.palette_device);
        EXPECT_TRUE(true_color);
    }
    EXPECT_EQ(Color::kind_index + 0u, palette.colour(0));
    EXPECT_GT(palette.ramp_count, 0);
}

TEST(Palette, SwitchPTurnsAnimationOffOnAPaletteDisplay) {
    CommandLineScope command_line("/s -p");
    app.rand.reseed(31);
    ScreenScope scope(palette_display_caps());
    const Palette& palette = scope.palette();
    EXPECT_FALSE(palette.animating);
    EXPECT_FALSE(palette.palette_device);
    EXPECT_EQ(256, palette.size);
    EXPECT_EQ(nullptr, palette.handle());
    EXPECT_EQ(0, palette.ramp_count);
    const PALETTEENTRY& entry = palette.entry(10);
    EXPECT_EQ(static_cast<uint32_t>(RGB(entry.peRed, entry.peGreen, entry.peBlue)), palette.colour(10));
    // The animation test's draw, three skews and the choice of system colours.
    const int draws = count_draws_since(31);
    EXPECT_TRUE(draws == 5 || draws == 5 + 252) << draws;
}

TEST(Palette, SwitchPTurnsAnimationOffOnTheRealPaletteDisplay) {
    if (!is_palette_screen()) GTEST_SKIP() << "needs the 8-bit display";
    CommandLineScope command_line("-p");
    ScreenScope scope;
    EXPECT_FALSE(scope.palette().animating);
    EXPECT_EQ(256, scope.palette().size);
}

TEST(Palette, CyclingTakesATrueColourDisplayForThePaletteDisplay) {
    const auto same_caps = [](const DisplayCaps& a, const DisplayCaps& b) {
        return a.raster_caps == b.raster_caps && a.size_palette == b.size_palette &&
               a.num_reserved == b.num_reserved && a.bits_per_pixel == b.bits_per_pixel;
    };
    {
        CommandLineScope command_line("/s");
        EXPECT_TRUE(same_caps(palette_display_caps(), DisplayCaps::for_cycling(true_colour_caps(), true)));
        EXPECT_TRUE(same_caps(true_colour_caps(), DisplayCaps::for_cycling(true_colour_caps(), false)));
        EXPECT_TRUE(same_caps(sixteen_colour_caps(), DisplayCaps::for_cycling(sixteen_colour_caps(), true)));
        const DisplayCaps eight_bit = DisplayCaps::for_cycling(palette_display_caps(), true);
        EXPECT_TRUE(same_caps(palette_display_caps(), eight_bit));

        app.rand.reseed(77);
        ScreenScope scope(DisplayCaps::for_cycling(true_colour_caps(), true));
        const Palette& palette = scope.palette();
        EXPECT_EQ(236, palette.size);
        EXPECT_EQ(8, palette.bits_per_pixel);
        EXPECT_TRUE(palette.animating);
        EXPECT_TRUE(palette.palette_device);
        EXPECT_FALSE(true_color);
        EXPECT_EQ(Color::kind_index + 5u, palette.colour(5));
    }
    CommandLineScope command_line("/s -p");
    EXPECT_TRUE(same_caps(true_colour_caps(), DisplayCaps::for_cycling(true_colour_caps(), true)));
}

TEST(Palette, SixteenColourDisplayUsesExplicitColoursAndNeverAnimates) {
    app.rand.reseed(2024);
    ScreenScope scope(sixteen_colour_caps());
    Palette& palette = scope.palette();
    EXPECT_EQ(16, palette.size);
    EXPECT_FALSE(palette.animating);
    EXPECT_FALSE(true_color);
    EXPECT_EQ(nullptr, palette.handle());
    // No animation test was drawn: only the skews and the system-colour choice.
    const int draws = count_draws_since(2024);
    EXPECT_TRUE(draws == 4 || draws == 4 + 12) << draws;

    const std::vector<PALETTEENTRY> before = entries_of(palette);
    palette.rotate(1, 0, 15);
    palette.animate();
    EXPECT_TRUE(same(before, entries_of(palette)));
    for (int32_t i = 0; i < 16; ++i) EXPECT_EQ(0u, palette.colour(i) >> 24);
}

TEST(Palette, SystemColoursFallBackToFixedGreysSometimes) {
    ScreenScope scope(sixteen_colour_caps());
    bool fixed_seen = false;
    for (int32_t seed = 0; seed < 40 && !fixed_seen; ++seed) {
        app.rand.reseed(seed);
        scope.palette().build();
        const PALETTEENTRY& white = scope.palette().entry(1);
        const PALETTEENTRY& grey = scope.palette().entry(2);
        fixed_seen = white.peRed == 255 && white.peFlags == PC_RESERVED && grey.peRed == 128 &&
                     scope.palette().entry(3).peBlue == 192;
    }
    EXPECT_TRUE(fixed_seen);
    EXPECT_EQ(0, scope.palette().ramp_count);
}

TEST(Palette, ColourIndexesWrapIntoThePalette) {
    for (const DisplayCaps& caps : {palette_display_caps(), true_colour_caps(), sixteen_colour_caps()}) {
        ScreenScope scope(caps);
        const Palette& palette = scope.palette();
        const int32_t n = palette.size;
        EXPECT_EQ(palette.colour(n - 1), palette.colour(-1));
        EXPECT_EQ(palette.colour(0), palette.colour(n));
        EXPECT_EQ(palette.colour(3), palette.colour(3 - 5 * n));
        const int32_t low = INT_MIN % n + n;
        EXPECT_EQ(palette.colour(low % n), palette.colour(INT_MIN));
        EXPECT_EQ(palette.colour(INT_MAX % n), palette.colour(INT_MAX));
        if (palette.animating) {
            EXPECT_LT(palette.colour(INT_MIN) & 0xFFFF, static_cast<uint32_t>(n));
            EXPECT_EQ(Color::kind_index + static_cast<uint32_t>(n - 1), palette.colour(-1));
        }
    }
}

TEST(Palette, BuiltEntriesAreReservedForAnimation) {
    ScreenScope scope(palette_display_caps());
    const Palette& palette = scope.palette();
    EXPECT_EQ(236, palette.size);
    EXPECT_TRUE(palette.animating);
    EXPECT_TRUE(palette.palette_device);
    for (int32_t i = 0; i < palette.size; ++i) ASSERT_EQ(PC_RESERVED, palette.entry(i).peFlags) << i;
    for (int32_t skew : {palette.skew_red, palette.skew_green, palette.skew_blue})
        EXPECT_TRUE(skew == -2 || skew == -1 || skew == 1);
}

TEST(Palette, RotateMovesOneRangeOnePlaceAndAnimates) {
    ScreenScope scope(true_colour_caps());
    Palette& palette = scope.palette();
    std::vector<PALETTEENTRY> expected = entries_of(palette);

    palette.rotate(1, 2, 5);   // entry i-1 takes entry i; the old first goes last
    std::rotate(expected.begin() + 2, expected.begin() + 3, expected.begin() + 6);
    EXPECT_TRUE(same(expected, entries_of(palette)));
    EXPECT_TRUE(same(expected, handle_entries(palette)));

    palette.rotate(2, 2, 5);   // the other way: the old last goes first
    palette.rotate(0, 2, 5);
    std::rotate(expected.begin() + 2, expected.begin() + 5, expected.begin() + 6);
    std::rotate(expected.begin() + 2, expected.begin() + 5, expected.begin() + 6);
    EXPECT_TRUE(same(expected, entries_of(palette)));

    palette.rotate(1, 7, 7);
    EXPECT_TRUE(same(expected, entries_of(palette)));
}

TEST(Palette, AnimatePushesRebuiltEntriesToTheHandle) {
    ScreenScope scope(true_colour_caps());
    Palette& palette = scope.palette();
    const std::vector<PALETTEENTRY> first = entries_of(palette);
    palette.build();
    ASSERT_FALSE(same(first, entries_of(palette)));
    EXPECT_TRUE(same(first, handle_entries(palette)));   // build alone shows nothing
    palette.animate();
    EXPECT_TRUE(same(entries_of(palette), handle_entries(palette)));
}

TEST(Palette, RotateClampsRangesOutsideThePalette) {
    ScreenScope scope(true_colour_caps());
    Palette& palette = scope.palette();
    std::vector<PALETTEENTRY> expected = entries_of(palette);
    palette.rotate(1, -10, 1000);   // the whole palette
    std::rotate(expected.begin(), expected.begin() + 1, expected.end());
    EXPECT_TRUE(same(expected, entries_of(palette)));
    palette.rotate(1, 9, 3);        // empty range: nothing moves
    palette.rotate(2, INT_MIN, INT_MIN);
    EXPECT_TRUE(same(expected, entries_of(palette)));
}

TEST(Palette, OddDriverCountsStillGiveAUsablePalette) {
    struct Case {
        int32_t num_colors;
        int32_t reserved;
        int32_t bits;
        int32_t raster;
        int32_t expected_size;
    };
    const Case cases[] = {
        {2, 0, 32, 0, 2},                 // true colour reporting two colours
        {3, 0, 24, 0, 3},
        {-1, 254, 8, RC_PALETTE, 2},      // almost everything reserved
        {-1, 300, 8, RC_PALETTE, 1},      // more reserved than entries
        {-1, -5, 8, RC_PALETTE, 256},     // a negative count reserves nothing
        {1000, 0, 16, 0, 256},            // more colours than a palette holds
    };
    for (const Case& c : cases) {
        DisplayCaps caps;
        caps.raster_caps = c.raster;
        caps.size_palette = c.raster ? 256 : 0;
        caps.num_colors = c.num_colors;
        caps.num_reserved = c.reserved;
        caps.bits_per_pixel = c.bits;
        ScreenScope scope(caps);
        Palette& palette = scope.palette();
        SCOPED_TRACE(testing::Message() << "colours " << c.num_colors << " reserved " << c.reserved);
        EXPECT_EQ(c.expected_size, palette.size);
        EXPECT_TRUE(palette.animating);
        for (int32_t seed = 0; seed < 20; ++seed) {
            app.rand.reseed(seed);
            palette.build();
            palette.animate();
            palette.rotate(1, 0, palette.size - 1);
            EXPECT_LT(palette.colour(seed - 10) & 0xFFFF, static_cast<uint32_t>(palette.size));
        }
    }
}
