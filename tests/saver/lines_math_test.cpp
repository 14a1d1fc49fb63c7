#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "saver/lines_math.h"

namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr int32_t int_min = std::numeric_limits<int32_t>::min();
constexpr int32_t int_max = std::numeric_limits<int32_t>::max();

TEST(LinesMathConversions, TruncationTowardZeroNeverLeavesTheIntRange) {
    EXPECT_EQ(truncate_saturated(2.9), 2);
    EXPECT_EQ(truncate_saturated(-2.9), -2);
    EXPECT_EQ(truncate_saturated(nan_value), 0);
    EXPECT_EQ(truncate_saturated(infinity), int_max);
    EXPECT_EQ(truncate_saturated(-infinity), int_min);
    EXPECT_EQ(truncate_saturated(1e30), int_max);
    EXPECT_EQ(truncate_saturated(-1e30), int_min);
    EXPECT_EQ(truncate_saturated(2147483646.5), 2147483646);
}

TEST(LinesMathConversions, WrapIndexGivesASlotForEveryIndexAndNoneWithoutEntries) {
    EXPECT_EQ(wrap_index(5, 236), 5);
    EXPECT_EQ(wrap_index(236, 236), 0);
    EXPECT_EQ(wrap_index(-1, 236), 235);
    EXPECT_EQ(wrap_index(-473, 236), 235);
    EXPECT_EQ(wrap_index(int64_t{int_max} + 1, 256), 0);
    EXPECT_EQ(wrap_index(7, 1), 0);
    EXPECT_EQ(wrap_index(7, 0), 0);
    EXPECT_EQ(wrap_index(-7, -3), 0);
}

TEST(LinesMathConversions, PixelsTruncateTowardZeroAndStayInTheSixteenBitRange) {
    EXPECT_EQ(to_pixel(0.0f, 320.0f), 320);
    EXPECT_EQ(to_pixel(-1.0f, 320.0f), 0);
    EXPECT_EQ(to_pixel(1.0f, 320.0f), 640);
    EXPECT_EQ(to_pixel(0.2515625f, 320.0f), 400);
    // Just left of the screen truncates to 0, further left goes negative.
    EXPECT_EQ(to_pixel(-1.001f, 320.0f), 0);
    EXPECT_EQ(to_pixel(-1.01f, 320.0f), -3);
    EXPECT_EQ(to_pixel(1e20f, 320.0f), pixel_max);
    EXPECT_EQ(to_pixel(-1e20f, 320.0f), pixel_min);
    EXPECT_EQ(to_pixel(std::numeric_limits<float>::infinity(), 320.0f), pixel_max);
}

TEST(LinesMathMotion, ClocksRestartOnlyOncePastTheLimit) {
    float time = 10.0f;
    advance_clock(time, 0.5f);
    EXPECT_FLOAT_EQ(time, 10.5f);
    time = 999999.5f;
    advance_clock(time, 0.5f);
    EXPECT_FLOAT_EQ(time, 1000000.0f);
    advance_clock(time, 0.5f);
    EXPECT_FLOAT_EQ(time, 0.0f);
}

TEST(LinesMathGeometry, PolarTurnReadsRadiusAndHalfTurnsAndAddsFortyFiveDegrees) {
    float x = 1.0f, y = 0.0f;
    polar_turn(x, y);
    EXPECT_NEAR(x, 0.70710678, 1e-6);
    EXPECT_NEAR(y, 0.70710678, 1e-6);

    x = 1.0f, y = 0.5f;   // straight up, then turned on to 135 degrees
    polar_turn(x, y);
    EXPECT_NEAR(x, -0.70710678, 1e-6);
    EXPECT_NEAR(y, 0.70710678, 1e-6);

    x = -0.5f, y = 0.25f;   // a negative radius points the other way
    polar_turn(x, y);
    EXPECT_NEAR(x, 0.0, 1e-6);
    EXPECT_NEAR(y, -0.5 * std::sqrt(2.0) * 0.70710678, 1e-6);

    x = 0.0f, y = 0.8f;
    polar_turn(x, y);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
}

TEST(LinesMathGeometry, TilesShareTheSquareAndOddTilesMirror) {
    EXPECT_FLOAT_EQ(to_tile(0.3f, 0, 1), 0.3f);
    EXPECT_FLOAT_EQ(to_tile(-1.0f, 0, 2), -1.0f);
    EXPECT_FLOAT_EQ(to_tile(1.0f, 0, 2), 0.0f);
    EXPECT_FLOAT_EQ(to_tile(-1.0f, 1, 2), 1.0f);
    EXPECT_FLOAT_EQ(to_tile(1.0f, 1, 2), 0.0f);
    EXPECT_FLOAT_EQ(to_tile(0.0f, 2, 4), 0.25f);
    EXPECT_FLOAT_EQ(to_tile(1.0f, 1, 4), -0.5f);
    EXPECT_FLOAT_EQ(to_tile(1.0f, 3, 4), 0.5f);
}

TEST(LinesMathColours, SourceValuesMeasureLengthDirectionAndDistance) {
    EXPECT_TRUE(source_uses_piece(source_length));
    EXPECT_TRUE(source_uses_piece(source_direction));
    EXPECT_TRUE(source_uses_piece(source_distance));
    EXPECT_FALSE(source_uses_piece(source_line));
    EXPECT_FALSE(source_uses_piece(4));
    EXPECT_FALSE(source_uses_piece(-1));

    EXPECT_NEAR(colour_value(source_length, Piece{-1, -1, 1, 1}, false, false), 2.0, 1e-6);
    EXPECT_NEAR(colour_value(source_length, Piece{0.5f, 0.5f, 0.5f, 0.5f}, false, false), 0.0, 1e-12);
    EXPECT_NEAR(colour_value(source_distance, Piece{0.6f, 0.8f, -1, -1}, false, false), 1.0, 1e-6);
    EXPECT_DOUBLE_EQ(colour_value(source_line, Piece{0, 0, 1, 1}, false, false), 0.0);
}

TEST(LinesMathColours, DirectionTurnsOnceAroundAndFoldsWithTheAbsoluteFlags) {
    const Piece up{0, 0.5f, 0, -0.5f};     // screen y grows downward
    const Piece right{-0.5f, 0, 0.5f, 0};
    const Piece left{0.5f, 0, -0.5f, 0};
    const Piece down{0, -0.5f, 0, 0.5f};
    EXPECT_DOUBLE_EQ(colour_value(source_direction, up, false, false), 0.5);
    EXPECT_DOUBLE_EQ(colour_value(source_direction, right, false, false), 0.75);
    EXPECT_DOUBLE_EQ(colour_value(source_direction, left, false, false), 0.25);
    EXPECT_DOUBLE_EQ(colour_value(source_direction, down, false, false), 1.0);
    EXPECT_DOUBLE_EQ(colour_value(source_direction, left, true, false), 0.75);
    EXPECT_DOUBLE_EQ(colour_value(source_direction, down, false, true), 0.5);
    // A point has no direction: 0, not the 0.5 that atan2(0, 0) would give.
    EXPECT_DOUBLE_EQ(colour_value(source_direction, Piece{0.2f, 0.2f, 0.2f, 0.2f}, false, false), 0.0);
}

TEST(LinesMathColours, PaletteSlotWrapsValuesAboveOneAndSurvivesBadInput) {
    EXPECT_EQ(palette_slot(0.0, 236), 0);
    EXPECT_EQ(palette_slot(0.5, 236), 118);
    EXPECT_EQ(palette_slot(0.999, 256), 255);
    EXPECT_EQ(palette_slot(1.5, 236), 118);
    EXPECT_EQ(palette_slot(nan_value, 236), 0);
    EXPECT_EQ(palette_slot(1e300, 236), wrap_index(int_max, 236));
    EXPECT_EQ(palette_slot(0.5, 0), 0);
}

TEST(LinesMathColours, BlendAndBrightnessKeepChannelsModulo256) {
    const Rgb a{200, 0, 10};
    const Rgb b{0, 255, 30};
    const Rgb at_a = blend(a, b, 0.0);
    EXPECT_EQ(at_a.red, 200u);
    EXPECT_EQ(at_a.green, 0u);
    EXPECT_EQ(at_a.blue, 10u);
    const Rgb half = blend(a, b, 0.5);
    EXPECT_EQ(half.red, 100u);
    EXPECT_EQ(half.green, 127u);
    EXPECT_EQ(half.blue, 20u);
    const Rgb beyond = blend(a, b, 2.0);   // lengths reach up to 2
    EXPECT_EQ(beyond.red, static_cast<uint32_t>(-200) & 0xFF);
    EXPECT_EQ(beyond.green, 510u & 0xFF);
    EXPECT_EQ(beyond.blue, 50u);

    const Rgb dim = scale(Rgb{255, 128, 3}, 0.5);
    EXPECT_EQ(dim.red, 127u);
    EXPECT_EQ(dim.green, 64u);
    EXPECT_EQ(dim.blue, 1u);
    const Rgb over = scale(Rgb{200, 100, 0}, 1.5);
    EXPECT_EQ(over.red, 300u & 0xFF);
    EXPECT_EQ(over.green, 150u);
    EXPECT_EQ(over.blue, 0u);
    const Rgb broken = scale(Rgb{200, 100, 0}, nan_value);
    EXPECT_EQ(broken.red, 0u);
}

}  // namespace
