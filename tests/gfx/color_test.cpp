#include <gtest/gtest.h>

#include <sstream>

#include "gfx/color.h"
#include "support/screen_scope.h"

namespace {

std::string text_of(const Color& colour) {
    std::ostringstream out;
    out << colour;
    return out.str();
}

std::string entry_text(const PALETTEENTRY& entry) {
    std::ostringstream out;
    out << "rgb(" << int(entry.peRed) << ", " << int(entry.peGreen) << ", " << int(entry.peBlue) << ")";
    return out.str();
}

}  // namespace

TEST(Color, PrintsExplicitColoursFromTheirOwnBytes) {
    ScreenScope scope(true_colour_caps());
    EXPECT_EQ("rgb(255, 128, 0)", text_of(Color(0x000080FF)));
    // The palette-relative flag does not change the channels.
    EXPECT_EQ("rgb(1, 2, 3)", text_of(Color(0x02030201)));
    EXPECT_EQ("rgb(0, 0, 0)", text_of(Color(0)));
}

TEST(Color, PaletteIndexColoursPrintTheEntryNotTheIndex) {
    ScreenScope scope(true_colour_caps());
    Palette& palette = scope.palette();
    for (int32_t index : {0, 5, 200, 255}) {
        const Color colour(palette.colour(index));
        EXPECT_EQ(entry_text(palette.entry(index)), text_of(colour)) << index;
        EXPECT_EQ(palette.entry(index).peRed, colour.red());
        EXPECT_EQ(palette.entry(index).peGreen, colour.green());
        EXPECT_EQ(palette.entry(index).peBlue, colour.blue());
    }
    // Only the low byte of the index counts.
    EXPECT_EQ(entry_text(palette.entry(7)), text_of(Color(0x01000307)));
}

TEST(Color, PaletteIndexBeyondASmallPaletteStaysInside) {
    DisplayCaps caps = palette_display_caps();
    ScreenScope scope(caps);
    ASSERT_EQ(236, scope.palette().size);
    // Index 250 is past the last of 236 entries: it wraps like colour() does.
    EXPECT_EQ(entry_text(scope.palette().entry(14)), text_of(Color(Color::kind_index + 250)));
}

TEST(Color, PaletteIndexWithoutPaletteReadsBlack) {
    ScreenScope scope(true_colour_caps());
    std::unique_ptr<Palette> held = std::move(Screen.palette);
    EXPECT_EQ("rgb(0, 0, 0)", text_of(Color(Color::kind_index + 3)));
    Screen.palette = std::move(held);
}

TEST(Color, BuiltColoursArePaletteRelativeUnlessTrueColour) {
    ScreenScope scope(true_colour_caps());
    true_color = true;
    EXPECT_EQ(0u, Color::black().value);
    EXPECT_EQ(0x00FFFFFFu, Color::white().value);
    EXPECT_EQ(0x00030201u, Color::rgb(1, 2, 3).value);
    true_color = false;
    EXPECT_EQ(0x02000000u, Color::black().value);
    EXPECT_EQ(0x02FFFFFFu, Color::white().value);
    // Channels are bytes: anything above 255 keeps its low byte only.
    EXPECT_EQ(0x02030201u, Color::rgb(0x101, 0x202, 0x303).value);
}
