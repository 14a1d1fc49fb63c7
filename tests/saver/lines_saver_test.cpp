#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "gfx/pen_brush.h"
#include "saver/effect_frames.h"
#include "saver/effect_host.h"
#include "support/screen_scope.h"

namespace {

int32_t lit_in_row(const MemoryContext& context, int32_t row) {
    int32_t lit = 0;
    for (int32_t x = 0; x < context.width; ++x) lit += context.pixel(x, row) != 0;
    return lit;
}

int32_t lit_in_column(const MemoryContext& context, int32_t column) {
    int32_t lit = 0;
    for (int32_t y = 0; y < context.height; ++y) lit += context.pixel(column, y) != 0;
    return lit;
}

int32_t lit_in(const MemoryContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    int32_t lit = 0;
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) lit += context.pixel(x, y) != 0;
    return lit;
}

// Raw values a generator has given since its index stood at before.
int32_t draws_since(const RandomGenerator& rand, int32_t before) { return (rand.inext - before + 55) % 55; }

class LinesSaverTest : public ::testing::Test {
protected:
    std::vector<COLORREF> picture_of_seed(int32_t seed, int32_t frames) {
        context.clear();
        erase_colour = Color::black();
        start_run(seed);
        LinesSaver saver;
        draw_frames(saver, context, frames);
        return picture(context);
    }

    // A saver with one copy, one tile and a still horizontal line across the
    // given row, from pixel column left up to right.
    void aim_row(LinesSaver& saver, int32_t left, int32_t right, int32_t row) {
        aim(saver, centre_of(left, frame_width), centre_of(row, frame_height), centre_of(right, frame_width),
            centre_of(row, frame_height));
    }

    ScreenScope screen{frame_width, frame_height};
    MemoryContext context{frame_width, frame_height};
    SaverCountScope count{3};
    EraseColourScope erase{Color::black()};
};

TEST_F(LinesSaverTest, TheSameSeedDrawsTheSamePictureAndAnotherSeedAnother) {
    const std::vector<COLORREF> first = picture_of_seed(11, 40);
    EXPECT_GT(context.lit_pixels(), 0);
    const std::vector<COLORREF> again = picture_of_seed(11, 40);
    const std::vector<COLORREF> other = picture_of_seed(12, 40);
    EXPECT_GT(context.lit_pixels(), 0);
    EXPECT_TRUE(first == again);
    EXPECT_FALSE(first == other);
}

TEST_F(LinesSaverTest, OneCopyAndOneTilePutTheEndsOnTheFormulasPixels) {
    start_run(5);
    LinesSaver saver;
    make_plain(saver, 10);
    const COLORREF colour = entry_colour(saver.colour_index);
    ASSERT_NE(colour, 0u);

    aim_row(saver, 40, 150, 70);
    draw_frames(saver, context, 1);
    for (int32_t x = 40; x < 150; ++x) ASSERT_EQ(colour, context.pixel(x, 70)) << "column " << x;
    EXPECT_EQ(0u, context.pixel(39, 70));
    EXPECT_EQ(0u, context.pixel(150, 70));   // LineTo stops short of its end
    EXPECT_EQ(110, context.lit_pixels());

    context.clear();
    saver.colour_index = brightest_entry();
    aim(saver, centre_of(20, frame_width), centre_of(10, frame_height), centre_of(60, frame_width),
        centre_of(50, frame_height));
    draw_frames(saver, context, 1);
    for (int32_t i = 0; i < 40; ++i) ASSERT_EQ(colour, context.pixel(20 + i, 10 + i)) << "step " << i;
    EXPECT_EQ(0u, context.pixel(60, 50));
    EXPECT_EQ(40, context.lit_pixels());
}

TEST_F(LinesSaverTest, AZeroLengthPieceIsOnePixelAndNeedsNoPen) {
    start_run(6);
    LinesSaver saver;
    make_plain(saver, 10);
    const COLORREF colour = entry_colour(saver.colour_index);
    // Different ends, but a fifth of a pixel apart: the same pixel.
    aim(saver, centre_of(33, frame_width), centre_of(44, frame_height), centre_of(33, frame_width) + 0.002f,
        centre_of(44, frame_height));
    const uint64_t pens_before = gdi_counts.created;
    draw_frames(saver, context, 1);
    EXPECT_EQ(pens_before, gdi_counts.created);
    EXPECT_EQ(1, context.lit_pixels());
    EXPECT_EQ(colour, context.pixel(33, 44));
}

TEST_F(LinesSaverTest, TheTrailErasesTheLineDrawnLFramesBefore) {
    start_run(7);
    const Color bright(Screen.palette->colour(brightest_entry()));
    for (int32_t trail : {3, 1}) {
        context.clear();
        LinesSaver saver;
        make_plain(saver, trail);
        // Coloured by length through a blend, but erased with the erase colour.
        saver.colour_source = source_length;
        saver.colour_map = map_blend;
        saver.colour_a = saver.colour_b = bright;
        aim_row(saver, 50, 150, 0);
        saver.f2 = saver.f4 = 1;
        saver.p2 = saver.p4 = 0;
        saver.s2 = saver.s4 = 10;   // the line moves down: y = sin(0.1 * frame)
        int32_t rows[5];
        for (int32_t k = 0; k < 5; ++k) rows[k] = static_cast<int32_t>((1 + std::sin(0.1 * k)) * frame_height / 2);

        draw_frames(saver, context, trail);
        for (int32_t k = 0; k < trail; ++k) EXPECT_EQ(100, lit_in_row(context, rows[k])) << "trail " << trail;
        draw_frames(saver, context, 1);
        EXPECT_EQ(0, lit_in_row(context, rows[0])) << "trail " << trail;
        for (int32_t k = 1; k <= trail; ++k) EXPECT_EQ(100, lit_in_row(context, rows[k])) << "trail " << trail;
        draw_frames(saver, context, 1);
        EXPECT_EQ(0, lit_in_row(context, rows[1])) << "trail " << trail;
        EXPECT_EQ(100, lit_in_row(context, rows[trail + 1])) << "trail " << trail;
        EXPECT_EQ(100 * trail, context.lit_pixels()) << "trail " << trail;
    }
}

TEST_F(LinesSaverTest, CopiesTurnAroundTheCentreAndTilesMirror) {
    start_run(8);
    LinesSaver saver;
    make_plain(saver, 10);
    saver.n = 4;
    aim(saver, 0.0f, 0.0f, 0.5f, 0.0f);
    draw_frames(saver, context, 1);
    EXPECT_GT(lit_in(context, 110, 72, 150, 78), 30);   // right
    EXPECT_GT(lit_in(context, 97, 80, 103, 112), 20);   // down
    EXPECT_GT(lit_in(context, 50, 72, 90, 78), 30);     // left
    EXPECT_GT(lit_in(context, 97, 38, 103, 70), 20);    // up
    EXPECT_EQ(0, lit_in(context, 0, 0, 90, 65));

    // Two copies: the second is the first turned half way round, or, when the
    // frame's coin says so, mirrored first, which brings it back to the same row.
    context.clear();
    saver.n = 2;
    saver.history_length = 1000;   // the line stands still: a full trail would erase it
    const int32_t below = 97, above = 52;   // rows of y = 0.3 and y = -0.3
    aim(saver, 0.2f, centre_of(below, frame_height), 0.6f, centre_of(below, frame_height));
    for (int32_t frame = 0; frame < 20; ++frame) {
        saver.colour_index = brightest_entry();
        draw_frames(saver, context, 1);
    }
    EXPECT_EQ(40, lit_in(context, 120, below, 160, below + 1));
    EXPECT_EQ(0, lit_in(context, 120, above, 160, above + 1));
    EXPECT_GT(lit_in(context, 40, below, 80, below + 1), 30);   // mirrored
    EXPECT_GT(lit_in(context, 40, above, 80, above + 1), 30);   // only turned

    // A point in the top left tile of 2 x 2 appears mirrored in the other three.
    context.clear();
    saver.colour_index = brightest_entry();
    saver.n = 1;
    saver.m1 = saver.m2 = 2;
    const float x = static_cast<float>(30.5 / (frame_width / 4.0) - 1);
    const float y = static_cast<float>(20.5 / (frame_height / 4.0) - 1);
    aim(saver, x, y, x, y);
    draw_frames(saver, context, 1);
    EXPECT_EQ(4, context.lit_pixels());
    EXPECT_NE(0u, context.pixel(30, 20));
    EXPECT_NE(0u, context.pixel(169, 20));
    EXPECT_NE(0u, context.pixel(30, 129));
    EXPECT_NE(0u, context.pixel(169, 129));
}

TEST_F(LinesSaverTest, EachPieceHasItsOwnPenAndEachCopyTicksThePalette) {
    start_run(9);
    LinesSaver saver;
    make_plain(saver, 2);
    saver.n = 5;
    saver.m1 = 2;
    saver.m2 = 4;
    saver.rotation_mode = 1;
    saver.rotation_period = saver.rotation_countdown = 1000;
    aim(saver, -0.6f, -0.3f, 0.7f, 0.4f);

    const GdiCounts before = gdi_counts;
    draw_frames(saver, context, 1);
    EXPECT_EQ(before.created + 40, gdi_counts.created);
    EXPECT_EQ(before.deleted + 40, gdi_counts.deleted);
    EXPECT_EQ(995, saver.rotation_countdown);

    draw_frames(saver, context, 1);   // the trail is full now
    draw_frames(saver, context, 1);   // draws one line and erases another
    EXPECT_EQ(before.created + 160, gdi_counts.created);
    EXPECT_EQ(before.deleted + 160, gdi_counts.deleted);
    EXPECT_EQ(1000 - 5 - 5 - 10, saver.rotation_countdown);
    EXPECT_EQ(static_cast<HGDIOBJ>(GetStockObject(BLACK_PEN)), GetCurrentObject(context.hdc, OBJ_PEN));
}

TEST_F(LinesSaverTest, OnlyAnEvenCopyCountDrawsTheMirroringCoin) {
    start_run(10);
    LinesSaver saver;
    make_plain(saver, 1);
    aim(saver, -0.5f, 0.1f, 0.5f, 0.2f);
    for (int32_t copies : {1, 3, 2, 4}) {
        saver.n = copies;
        saver.history_full = 0;
        int32_t before = saver.rand.inext;
        draw_frames(saver, context, 1);   // draws, and fills the trail of one
        const int32_t expected = copies % 2 == 0 ? 1 : 0;
        EXPECT_EQ(expected, draws_since(saver.rand, before)) << copies << " copies";
        before = saver.rand.inext;
        draw_frames(saver, context, 1);   // draws and erases
        EXPECT_EQ(2 * expected, draws_since(saver.rand, before)) << copies << " copies";
    }
}

TEST_F(LinesSaverTest, ColourMapsUseThePaletteABlendOrTheLinesBrightness) {
    start_run(12);
    LinesSaver saver;
    make_plain(saver, 10);
    const int32_t bright = saver.colour_index;
    const PALETTEENTRY& entry = Screen.palette->entry(bright);
    const int32_t size = Screen.palette->size;
    // A line one unit long: v = 0.70710678.
    aim_row(saver, 50, 150, 70);

    saver.colour_source = source_length;
    saver.colour_map = map_palette;
    draw_frames(saver, context, 1);
    EXPECT_EQ(entry_colour(static_cast<int32_t>(size * 0.70710678)), context.pixel(60, 70));

    saver.colour_map = map_blend;
    saver.colour_a = Color::rgb(0, 0, 0);
    saver.colour_b = Color::rgb(200, 100, 40);
    draw_frames(saver, context, 1);
    // On a palette display an explicit colour becomes the nearest entry.
    if (true_color) {
        EXPECT_EQ(RGB(141, 70, 28), context.pixel(60, 70));
    }
    EXPECT_NE(0u, context.pixel(60, 70));

    // A point about half way out from the centre, at that share of the line colour.
    context.clear();
    saver.colour_index = bright;
    saver.colour_source = source_distance;
    saver.colour_map = map_brightness;
    const double x = centre_of(130, frame_width);
    const double y = centre_of(105, frame_height);
    const double v = std::sqrt(x * x + y * y);
    aim(saver, static_cast<float>(x), static_cast<float>(y), static_cast<float>(x), static_cast<float>(y));
    draw_frames(saver, context, 1);
    EXPECT_EQ(1, context.lit_pixels());
    const COLORREF dimmed = RGB(static_cast<int>(entry.peRed * v), static_cast<int>(entry.peGreen * v),
                                static_cast<int>(entry.peBlue * v));
    if (true_color) {
        EXPECT_EQ(dimmed, context.pixel(130, 105));
    }
}

TEST_F(LinesSaverTest, EndsAtTheRightOrBottomEdgeAreClampedOntoTheScreen) {
    start_run(13);
    LinesSaver saver;
    make_plain(saver, 10);
    aim(saver, 0.0f, -0.5f, 0.0f, 0.5f);
    saver.xmin = saver.xmax = 1;   // x = 1 is pixel 200, one past the last column
    draw_frames(saver, context, 1);
    EXPECT_GT(lit_in_column(context, frame_width - 1), 10);

    context.clear();
    saver.colour_index = brightest_entry();
    saver.xmin = -1;
    saver.ymin = saver.ymax = 1;
    aim(saver, -0.5f, 0.0f, 0.5f, 0.0f);
    draw_frames(saver, context, 1);
    EXPECT_GT(lit_in_row(context, frame_height - 1), 10);
}

TEST_F(LinesSaverTest, NonFiniteEndsDrawNothingAndHugeOnesAreClipped) {
    start_run(14);
    LinesSaver saver;
    make_plain(saver, 10);
    aim_row(saver, 50, 150, 75);
    saver.p1 = std::numeric_limits<float>::quiet_NaN();
    const uint64_t pens_before = gdi_counts.created;
    draw_frames(saver, context, 1);
    EXPECT_EQ(0, context.lit_pixels());
    EXPECT_EQ(pens_before, gdi_counts.created);

    saver.lag = std::numeric_limits<float>::infinity();
    aim_row(saver, 50, 150, 75);
    saver.colour_index = brightest_entry();
    draw_frames(saver, context, 1);
    EXPECT_EQ(0, context.lit_pixels());

    // Ends at -1e30 and 1e30: a line across the whole row.
    saver.lag = 0;
    saver.colour_index = brightest_entry();
    aim(saver, -1.0f, centre_of(75, frame_height), 1.0f, centre_of(75, frame_height));
    saver.xmin = -1e30f;
    saver.xmax = 1e30f;
    draw_frames(saver, context, 1);
    EXPECT_EQ(frame_width, lit_in_row(context, 75));
    EXPECT_EQ(frame_width, context.lit_pixels());
}

TEST_F(LinesSaverTest, ClearingFillsTheScreenOnceAndBecomesTheEraseColour) {
    context.clear(RGB(255, 255, 255));
    {
        SaverCountScope first(1);
        start_run(15);
        LinesSaver saver;
        saver.clear_at_start = 1;
        erase_colour = Color(Screen.palette->colour(3));
        draw_frames(saver, context, 0);
        EXPECT_EQ(Color::black().value, erase_colour.value);
        EXPECT_EQ(0, context.lit_pixels());
        EXPECT_EQ(1, saver.cleared);
        context.clear(RGB(255, 255, 255));
        saver.clear_screen();
        EXPECT_EQ(RGB(255, 255, 255), context.pixel(5, 5));
    }
    int32_t coloured = 0;
    for (int32_t seed = 20; seed < 30; ++seed) {
        start_run(seed);
        LinesSaver saver;
        saver.clear_at_start = 1;
        draw_frames(saver, context, 0);
        const bool black = erase_colour.value == Color::black().value;
        coloured += !black;
        const COLORREF fill = black ? RGB(0, 0, 0) : entry_colour(static_cast<int32_t>(erase_colour.value & 0xFFFF));
        EXPECT_EQ(fill, context.pixel(0, 0)) << "seed " << seed;
        EXPECT_EQ(fill, context.pixel(frame_width - 1, frame_height - 1)) << "seed " << seed;
    }
    EXPECT_GT(coloured, 0);
}

TEST_F(LinesSaverTest, RunWithoutAHostDrawsNothing) {
    start_run(16);
    LinesSaver saver;
    saver.clear_at_start = 0;
    saver.run_on(context);
    EXPECT_EQ(0, context.lit_pixels());
    EXPECT_EQ(nullptr, saver.dc);
}

// A runner that lets a given number of frames through, and notes every question.
class CountingHost : public EffectHost {
public:
    explicit CountingHost(int32_t frames) : frames_left(frames) {}
    bool next_frame(int32_t period_ms) override {
        ++asked;
        last_period = period_ms;
        return frames_left-- > 0;
    }
    bool no_msg() const override { return true; }
    bool palette_cycling_on() const override { return true; }
    Stage stage() const override { return Stage::program(); }
    int32_t frames_left;
    int32_t asked = 0;
    int32_t last_period = -1;
};

// The effect asks its runner before every frame and draws exactly the frames
// it is let through, the same as drawing them one by one.
TEST_F(LinesSaverTest, RunDrawsTheFramesItsHostLetsThroughAndAsksBeforeEach) {
    start_run(16);
    CountingHost host(40);
    LinesSaver ran(&host);
    ran.run_on(context);
    EXPECT_EQ(41, host.asked);
    EXPECT_EQ(1, host.last_period);
    EXPECT_EQ(0, ran.done);
    const std::vector<COLORREF> drawn = picture(context);

    context.clear();
    erase_colour = Color::black();
    start_run(16);
    LinesSaver by_hand;
    draw_frames(by_hand, context, 40);
    EXPECT_EQ(picture(context), drawn);
    EXPECT_GT(context.lit_pixels(), 0);
}

// Once its minute is up the effect draws no further frame, whatever its host says.
TEST_F(LinesSaverTest, RunEndsOnceTheTimeIsUp) {
    start_run(16);
    CountingHost host(1000);
    LinesSaver saver(&host);
    saver.clear_at_start = 0;
    saver.start_time -= Saver::lifetime_ticks + 1;
    saver.run_on(context);
    EXPECT_EQ(1, host.asked);
    EXPECT_EQ(1, saver.done);
    EXPECT_EQ(0, context.lit_pixels());
}

TEST_F(LinesSaverTest, ManyFramesOfManySeedsLeaveNoPenBehind) {
    const GdiCounts before = gdi_counts;
    for (int32_t seed = 100; seed < 120; ++seed) {
        start_run(seed);
        LinesSaver saver;
        draw_frames(saver, context, 25);
    }
    EXPECT_GT(gdi_counts.created, before.created);
    EXPECT_EQ(gdi_counts.created - before.created, gdi_counts.deleted - before.deleted);
}

TEST(LinesSaverConstruction, TheFirstEffectIsPlainAndLaterOnesMayLinkAndNarrow) {
    ScreenScope screen(frame_width, frame_height);
    int32_t linked = 0;
    int32_t narrowed = 0;
    for (uint32_t count : {1u, 3u}) {
        SaverCountScope scope(count);
        for (int32_t seed = 1; seed <= 60; ++seed) {
            app.rand.reseed(seed);
            LinesSaver saver;
            const bool is_linked = saver.lag != 0;
            const bool is_narrow = saver.xmin != -1 || saver.ymin != -1 || saver.xmax != 1 || saver.ymax != 1;
            if (count == 1) {
                EXPECT_FALSE(is_linked) << "seed " << seed;
                EXPECT_FALSE(is_narrow) << "seed " << seed;
            }
            linked += is_linked;
            narrowed += is_narrow;
            if (is_linked) {
                EXPECT_EQ(saver.f1, saver.f3);
                EXPECT_EQ(saver.f2, saver.f4);
                EXPECT_EQ(saver.p1, saver.p3);
                EXPECT_EQ(saver.s2, saver.s4);
                EXPECT_EQ(saver.spare1, saver.spare3);
            }
            if (is_narrow) {
                EXPECT_GE(saver.n, 4) << "seed " << seed;
            }
        }
    }
    EXPECT_GT(linked, 0);
    EXPECT_GT(narrowed, 0);
}

TEST(LinesSaverConstruction, PrintGivesCopiesLagAndWindowBeforeTheBase) {
    ScreenScope screen(frame_width, frame_height);
    app.rand.reseed(17);
    LinesSaver saver;
    saver.n = 3;
    saver.lag = 0.1f;
    saver.xmin = -1;
    saver.ymin = -0.5f;
    saver.xmax = 1;
    saver.ymax = 0.25f;
    std::ostringstream text;
    text << saver;
    EXPECT_EQ("3 0.1 -1 -0.5 1 0.25 s 1 gdi 0 mem 0  seed " + std::to_string(saver.rand.seed()) + " " +
                  std::to_string(saver.rotation_period),
              text.str());
}

}  // namespace
