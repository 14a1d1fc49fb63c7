#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "saver/circles_math.h"
#include "saver/random.h"

namespace {

void fill(Array<float>& radii, std::initializer_list<float> values) {
    int32_t i = 0;
    for (float value : values) radii[i++] = value;
}

TEST(CirclesMathTotal, SumsTheArmsThePenUsesAndTheLastRadius) {
    Array<float> three(3);
    fill(three, {1.0f, 0.5f, -0.25f});
    EXPECT_FLOAT_EQ(radii_total(three), 0.5f + 0.25f);

    Array<float> five(5);
    fill(five, {0.9f, -0.3f, 0.6f, 0.1f, -0.7f});
    // |0.9 + 0.3| + |-0.3 - 0.6| + |0.6 - 0.1|, then |-0.7|; the arm 0.1 + 0.7 is not used.
    EXPECT_NEAR(radii_total(five), 1.2 + 0.9 + 0.5 + 0.7, 1e-6);
}

TEST(CirclesMathPen, ThreeCirclesFollowTheRollingFormula) {
    Array<float> radii(3);
    fill(radii, {1.0f, 0.5f, 0.25f});
    const float total = radii_total(radii);

    const PenPoint start = pen_position(radii, 0.0f, 0.0f, total);
    EXPECT_NEAR(start.x, 1.0, 1e-6);
    EXPECT_NEAR(start.y, 0.0, 1e-6);

    // beta = pi/2: the arm points up; the inner wheel turns back by twice that.
    const float quarter = static_cast<float>(std::acos(-1.0) / 2);
    const PenPoint turned = pen_position(radii, quarter, 0.0f, total);
    EXPECT_NEAR(turned.x, -0.25 / 0.75, 1e-6);
    EXPECT_NEAR(turned.y, 0.5 / 0.75, 1e-6);

    // The phase is added to every angle, so at beta 0 it turns the whole pen.
    const PenPoint phased = pen_position(radii, 0.0f, quarter, total);
    EXPECT_NEAR(phased.x, 0.0, 1e-6);
    EXPECT_NEAR(phased.y, (0.5 - 0.25) / 0.75, 1e-6);
}

TEST(CirclesMathPen, DrawnChainsKeepThePenInsideTheSquare) {
    for (int32_t seed : {1, 42, 777, -9000, 123456789}) {
        RandomGenerator rand(seed);
        for (int32_t count = 3; count <= 20; ++count) {
            Array<float> radii(static_cast<uint32_t>(count));
            radii[0] = static_cast<float>(1 - rand.fraction());
            draw_inner_radii(rand, radii);
            const float total = radii_total(radii);
            for (int32_t frame = 0; frame < 4000; frame += 7) {
                const PenPoint pen = pen_position(radii, frame * rolling_step, 0.3f, total);
                ASSERT_LE(std::fabs(pen.x), 1.0f + 1e-5f) << "seed " << seed << " circles " << count;
                ASSERT_LE(std::fabs(pen.y), 1.0f + 1e-5f) << "seed " << seed << " circles " << count;
            }
        }
    }
}

TEST(CirclesMathPen, DegenerateChainsStayFinite) {
    Array<float> radii(3);
    fill(radii, {1.0f, 0.5f, 0.25f});
    const PenPoint no_total = pen_position(radii, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(no_total.x, 0.0f);
    EXPECT_EQ(no_total.y, 0.0f);

    Array<float> none(0);
    const PenPoint empty = pen_position(none, 1.0f, 0.0f, 1.0f);
    EXPECT_EQ(empty.x, 0.0f);
    EXPECT_EQ(empty.y, 0.0f);

    // A zero radius set from outside must not divide by zero: the wheels after it stop.
    Array<float> zero_inside(4);
    fill(zero_inside, {1.0f, 0.0f, 0.5f, 0.25f});
    const PenPoint stopped = pen_position(zero_inside, 2.0f, 0.0f, radii_total(zero_inside));
    EXPECT_TRUE(std::isfinite(stopped.x));
    EXPECT_TRUE(std::isfinite(stopped.y));
    const double total = 1.0 + 0.5 + 0.25;
    EXPECT_NEAR(stopped.x, (1.0 * std::cos(2.0) - 0.5 + 0.25) / total, 1e-5);
    EXPECT_NEAR(stopped.y, std::sin(2.0) / total, 1e-5);
}

TEST(CirclesMathRadii, ExactZerosAreDrawnAgainAndRadiusZeroIsKept) {
    RandomGenerator rand(5);
    // Make the next two raw values 500000000 (radius exactly 0) and 750000000.
    rand.inext = 0;
    rand.inextp = 31;
    rand.table[1] = 500000000;
    rand.table[32] = 0;
    rand.table[2] = 750000000;
    rand.table[33] = 0;
    Array<float> radii(2);
    radii[0] = 0.8f;
    draw_inner_radii(rand, radii);
    EXPECT_EQ(radii[0], 0.8f);
    EXPECT_NE(radii[1], 0.0f);
    // With SSE arithmetic 500000000 * 1e-9 is exactly 0.5, so the radius is 0 and
    // is drawn again; x87 keeps 0.5 + 3e-17 and the tiny radius stands.
    if (rand.inext == 2) {
        EXPECT_FLOAT_EQ(radii[1], 0.5f);
    } else {
        EXPECT_EQ(rand.inext, 1);
        EXPECT_LT(std::fabs(radii[1]), 1e-15f);
    }

    RandomGenerator plain(99);
    Array<float> many(20);
    many[0] = 1.0f;
    draw_inner_radii(plain, many);
    EXPECT_EQ(plain.inext, 19);
    for (int32_t i = 1; i < 20; ++i) {
        EXPECT_NE(many[i], 0.0f);
        EXPECT_GE(many[i], -1.0f);
        EXPECT_LT(many[i], 1.0f);
    }
}

}  // namespace
