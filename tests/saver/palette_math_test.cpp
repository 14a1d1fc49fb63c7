#include <gtest/gtest.h>

#include <algorithm>

#include "saver/palette_math.h"

namespace {

constexpr int32_t sizes[] = {1, 2, 3, 4, 5, 16, 236, 256};

// Red and green are exact; blue may have been pulled down to twice the green.
void expect_colour_near(const RampColour& expected, const RampColour& actual, const char* what) {
    EXPECT_EQ(expected.red, actual.red) << what;
    EXPECT_EQ(expected.green, actual.green) << what;
    const int32_t tempered = std::min(expected.blue, 2 * expected.green);
    EXPECT_TRUE(actual.blue == expected.blue || actual.blue == tempered) << what;
}

bool in_byte(const RampColour& c) {
    return c.red >= 0 && c.red < 256 && c.green >= 0 && c.green < 256 && c.blue >= 0 && c.blue < 256;
}

void check_ramp_set(const RampSet& set, int32_t size) {
    ASSERT_EQ(static_cast<size_t>(size), set.colours.size());
    ASSERT_FALSE(set.ramps.empty());
    EXPECT_GE(set.min_length, 2);
    EXPECT_GE(set.max_length, set.min_length);
    // The ramps tile the palette, each beginning on the previous one's last entry.
    EXPECT_EQ(0, set.ramps.front().first);
    for (size_t r = 1; r < set.ramps.size(); ++r) {
        const Ramp& previous = set.ramps[r - 1];
        EXPECT_EQ(previous.first + previous.length - 1, set.ramps[r].first);
        EXPECT_GE(previous.length, 2) << "a ramp that is not the last advances";
        if (set.continuous) {
            EXPECT_EQ(previous.end, set.ramps[r].start);
        }
    }
    const Ramp& last = set.ramps.back();
    EXPECT_EQ(size, last.first + last.length);
    EXPECT_EQ(set.final_colour, last.end);
    expect_colour_near(set.final_colour, set.colours.back(), "the last entry is the final colour");
    if (set.continuous) {
        EXPECT_EQ(set.final_colour, set.ramps.front().start);
    }

    for (const Ramp& ramp : set.ramps) {
        const int32_t divisor = std::max(ramp.length - 1, 1);
        for (int32_t j = 0; j < ramp.length; ++j) {
            const RampColour& actual = set.colours[static_cast<size_t>(ramp.first + j)];
            ASSERT_TRUE(in_byte(actual));
            // Where two ramps meet, the later one wrote the shared entry.
            if (j == ramp.length - 1 && &ramp != &set.ramps.back()) continue;
            const RampColour expected{j * (ramp.end.red - ramp.start.red) / divisor + ramp.start.red,
                                      j * (ramp.end.green - ramp.start.green) / divisor + ramp.start.green,
                                      j * (ramp.end.blue - ramp.start.blue) / divisor + ramp.start.blue};
            expect_colour_near(expected, actual, "ramp entries interpolate start to end");
        }
    }
}

}  // namespace

TEST(PaletteMath, SkewsAreNeverZeroAndTakeEveryAllowedValue) {
    RandomGenerator rand(17);
    bool seen[4] = {};
    for (int i = 0; i < 300; ++i) {
        const ChannelSkews skews = draw_skews(rand);
        for (int32_t skew : {skews.red, skews.green, skews.blue}) {
            ASSERT_TRUE(skew == -2 || skew == -1 || skew == 1) << skew;
            seen[skew + 2] = true;
        }
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[3]);
}

TEST(PaletteMath, RampsTileThePaletteAndEndAtTheFinalColour) {
    for (int32_t size : sizes) {
        for (bool palette_device : {false, true}) {
            for (int32_t seed = 1; seed <= 60; ++seed) {
                RandomGenerator rand(seed * 7919);
                const RampSet set = build_ramps(rand, size, palette_device, ChannelSkews{1, -1, -2});
                SCOPED_TRACE(testing::Message() << "size " << size << " seed " << seed);
                check_ramp_set(set, size);
                if (HasFatalFailure()) return;
            }
        }
    }
}

TEST(PaletteMath, SameGeneratorStateGivesTheSamePalette) {
    RandomGenerator first(424242);
    RandomGenerator second(424242);
    const RampSet a = build_ramps(first, 236, true, ChannelSkews{1, 1, 1});
    const RampSet b = build_ramps(second, 236, true, ChannelSkews{1, 1, 1});
    EXPECT_TRUE(a.colours == b.colours);
    EXPECT_EQ(a.ramps.size(), b.ramps.size());
    EXPECT_EQ(first.next(), second.next());
}

TEST(PaletteMath, ContinuityIsRareOnAPaletteDeviceAndEvenOtherwise) {
    int device = 0, other = 0;
    const int runs = 2000;
    for (int32_t seed = 0; seed < runs; ++seed) {
        RandomGenerator a(seed * 31 + 1);
        RandomGenerator b(seed * 31 + 1);
        device += build_ramps(a, 16, true, ChannelSkews{1, 1, 1}).continuous;
        other += build_ramps(b, 16, false, ChannelSkews{1, 1, 1}).continuous;
    }
    EXPECT_NEAR(0.05, double(device) / runs, 0.02);
    EXPECT_NEAR(0.5, double(other) / runs, 0.05);
}

TEST(PaletteMath, FinalColourIsBlackThreeTimesInFour) {
    int black = 0;
    const int runs = 2000;
    for (int32_t seed = 0; seed < runs; ++seed) {
        RandomGenerator rand(seed * 13 + 3);
        black += build_ramps(rand, 64, false, ChannelSkews{1, 1, 1}).final_colour == RampColour{};
    }
    EXPECT_NEAR(0.75, double(black) / runs, 0.04);
}

TEST(PaletteMath, TinyPalettesStayInsideAndEmptyOnesDrawNothing) {
    for (int32_t size : {1, 2, 3}) {
        RandomGenerator rand(99);
        const RampSet set = build_ramps(rand, size, false, ChannelSkews{1, 1, 1});
        EXPECT_EQ(2, set.min_length);
        EXPECT_EQ(2, set.max_length);
    }
    // A one-entry palette is one ramp of length 1: only its start, the final colour.
    RandomGenerator one(7);
    const RampSet single = build_ramps(one, 1, true, ChannelSkews{1, 1, 1});
    ASSERT_EQ(1u, single.ramps.size());
    EXPECT_EQ(1, single.ramps[0].length);
    expect_colour_near(single.final_colour, single.colours[0], "single entry");

    for (int32_t size : {0, -5}) {
        RandomGenerator rand(11);
        RandomGenerator untouched(11);
        const RampSet set = build_ramps(rand, size, false, ChannelSkews{1, 1, 1});
        EXPECT_TRUE(set.colours.empty());
        EXPECT_EQ(untouched.next(), rand.next());
    }
}
