#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "gfx/pen_brush.h"
#include "saver/effect_frames.h"
#include "saver/rolling_circles_saver.h"
#include "support/screen_scope.h"

namespace {

class RollingCirclesTest : public ::testing::Test {
protected:
    std::vector<COLORREF> picture_of_seed(int32_t seed, int32_t frames) {
        context.clear();
        erase_colour = Color::black();
        start_run(seed);
        RollingCirclesSaver saver;
        draw_frames(saver, context, frames);
        return picture(context);
    }

    ScreenScope screen{frame_width, frame_height};
    MemoryContext context{frame_width, frame_height};
    SaverCountScope count{3};
    EraseColourScope erase{Color::black()};
};

TEST_F(RollingCirclesTest, TheSameSeedDrawsTheSamePictureAndAnotherSeedAnother) {
    const std::vector<COLORREF> first = picture_of_seed(31, 60);
    EXPECT_GT(context.lit_pixels(), 0);
    const std::vector<COLORREF> again = picture_of_seed(31, 60);
    const std::vector<COLORREF> other = picture_of_seed(23, 60);
    EXPECT_GT(context.lit_pixels(), 0);
    EXPECT_TRUE(first == again);
    EXPECT_FALSE(first == other);
}

TEST_F(RollingCirclesTest, TheCircleCountComesFromTheProgramsGeneratorAfterTheLinesPart) {
    for (int32_t seed : {3, 4, 5, 6}) {
        RandomGenerator probe(seed);
        const int32_t saver_seed = probe.next();
        const int32_t circles = probe.draw(18, 4) + 3;
        const int32_t after = probe.next();

        app.rand.reseed(seed);
        LinesSaver lines;
        app.rand.reseed(seed);
        RollingCirclesSaver saver;
        EXPECT_EQ(saver_seed, saver.rand.seed());
        EXPECT_EQ(static_cast<uint32_t>(circles), saver.radii.count());
        EXPECT_EQ(after, app.rand.next());
        EXPECT_EQ(2u, saver.phases.count());

        // Everything the lines part drew is the lines saver's, but one copy only.
        EXPECT_EQ(lines.f1, saver.f1);
        EXPECT_EQ(lines.history_length, saver.history_length);
        EXPECT_EQ(lines.colour_b.value, saver.colour_b.value);
        EXPECT_EQ(lines.polar2, saver.polar2);
        EXPECT_EQ(1, saver.n);
    }
}

TEST_F(RollingCirclesTest, TheFirstEffectHasNoCentreSpokeAndLaterOnesSometimes) {
    int32_t spokes = 0;
    for (uint32_t started : {1u, 2u}) {
        SaverCountScope scope(started);
        for (int32_t seed = 1; seed <= 40; ++seed) {
            app.rand.reseed(seed);
            RollingCirclesSaver saver;
            if (started == 1) {
                EXPECT_EQ(0, saver.centre_spoke) << "seed " << seed;
            }
            spokes += saver.centre_spoke;
        }
    }
    EXPECT_GT(spokes, 0);
}

TEST_F(RollingCirclesTest, WithTheCentreSpokeEveryLineStartsAtTheCentre) {
    start_run(23);
    RollingCirclesSaver saver;
    make_plain(saver, 1000);
    saver.centre_spoke = 1;
    for (int32_t frame = 0; frame < 30; ++frame) {
        context.clear();
        saver.colour_index = brightest_entry();
        const PenPoint tip = saver.pen(0);
        draw_frames(saver, context, 1);
        EXPECT_NE(0u, context.pixel(frame_width / 2, frame_height / 2)) << "frame " << frame;
        EXPECT_EQ(0.0f, history[0][frame]);
        EXPECT_EQ(0.0f, history[1][frame]);
        EXPECT_EQ(tip.x, history[2][frame]);
        EXPECT_EQ(tip.y, history[3][frame]);
    }
}

TEST_F(RollingCirclesTest, EachFrameJoinsTheTwoPensAndTheBaseAngleRolls) {
    start_run(24);
    RollingCirclesSaver saver;
    make_plain(saver, 1000);
    saver.centre_spoke = 0;
    PenPoint previous = saver.pen(0);
    for (int32_t frame = 0; frame < 20; ++frame) {
        context.clear();
        saver.colour_index = brightest_entry();
        const PenPoint tail = saver.pen(1);
        const int32_t x = to_pixel(tail.x, frame_width * 0.5f);
        const int32_t y = to_pixel(tail.y, frame_height * 0.5f);
        draw_frames(saver, context, 1);
        EXPECT_GT(context.lit_pixels(), 0);
        EXPECT_NE(0u, context.pixel(x, y)) << "frame " << frame;
        EXPECT_NEAR((frame + 1) * 0.015707964, saver.beta, 1e-5);
        const PenPoint tip = saver.pen(0);
        EXPECT_FALSE(tip.x == previous.x && tip.y == previous.y) << "frame " << frame;
        previous = tip;
    }
}

TEST_F(RollingCirclesTest, FramesDrawNoCoinEvenWhileErasing) {
    start_run(25);
    RollingCirclesSaver saver;
    make_plain(saver, 2);
    saver.m1 = 2;
    const int32_t before = saver.rand.inext;
    const GdiCounts pens = gdi_counts;
    draw_frames(saver, context, 5);
    EXPECT_EQ(before, saver.rand.inext);
    // One line of two tiles per frame, and from the third frame one erased too.
    EXPECT_LE(gdi_counts.created - pens.created, 2u * 5 + 2u * 3);
    EXPECT_EQ(gdi_counts.created - pens.created, gdi_counts.deleted - pens.deleted);
}

TEST_F(RollingCirclesTest, PrintGivesTheRadiiAndTotalBeforeTheLinesPart) {
    start_run(26);
    RollingCirclesSaver saver;
    std::string radii = "[";
    for (uint32_t i = 0; i < saver.radii.count(); ++i) {
        saver.radii[static_cast<int32_t>(i)] = 0.5f;
        radii += i == 0 ? "0.5" : ", 0.5";
    }
    saver.total = 2.5f;
    saver.lag = 0;
    saver.xmin = saver.ymin = -1;
    saver.xmax = saver.ymax = 1;
    std::ostringstream text;
    text << saver;
    // The lines part follows the total without a space of its own.
    EXPECT_EQ(radii + "] 2.51 0 -1 -1 1 1 s 2 gdi 0 mem 0  seed " + std::to_string(saver.rand.seed()) + " " +
                  std::to_string(saver.rotation_period),
              text.str());
}

TEST_F(RollingCirclesTest, ManyFramesOfManySeedsLeaveNoPenBehind) {
    const GdiCounts before = gdi_counts;
    for (int32_t seed = 200; seed < 220; ++seed) {
        start_run(seed);
        RollingCirclesSaver saver;
        draw_frames(saver, context, 40);
    }
    EXPECT_GT(gdi_counts.created, before.created);
    EXPECT_EQ(gdi_counts.created - before.created, gdi_counts.deleted - before.deleted);
}

}  // namespace
