#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <sstream>
#include <vector>

#include "saver/random.h"

namespace {

std::vector<int32_t> first_values(RandomGenerator& generator, int count) {
    std::vector<int32_t> values;
    for (int i = 0; i < count; ++i) values.push_back(generator.next());
    return values;
}

std::vector<int32_t> first_values(int32_t seed, int count = 5) {
    RandomGenerator generator(seed);
    return first_values(generator, count);
}

// Expected values come from a separate model written once in Python from the
// published ran3 routine (Numerical Recipes, 2nd edition, 7.1): unbounded integers,
// mj = (161803398 - |seed|) with a truncating remainder (math.fmod) and 1e9 added
// when negative, then the stride-21 fill, four warm-up passes and the lagged
// subtraction. For draw it compared trunc(Fraction(raw, 10**9) * n) with the
// floating-point raw * 1e-9 * n and kept only cases where the two agree.
TEST(RandomGenerator, FirstValuesForFixedSeeds) {
    EXPECT_EQ((std::vector<int32_t>{533923850, 323008803, 401103978, 459259507, 390269598}),
              first_values(0));
    EXPECT_EQ((std::vector<int32_t>{298227348, 715119168, 33021107, 874393600, 534194424}),
              first_values(1));
    EXPECT_EQ((std::vector<int32_t>{634670766, 791644133, 941623396, 894891413, 435112290}),
              first_values(42));
    // mj = 0 here; the stride rule still fills the table.
    EXPECT_EQ((std::vector<int32_t>{613610054, 771029073, 127708320, 332307521, 293628346}),
              first_values(161803398));
    // |seed| above the constant: mj = -38196602 + 1e9 = 961803398.
    EXPECT_EQ((std::vector<int32_t>{133923850, 323008803, 201103978, 59259507, 590269598}),
              first_values(200000000));
    EXPECT_EQ((std::vector<int32_t>{833821056, 979709958, 187793441, 488936678, 622590020}),
              first_values(INT_MAX));
    EXPECT_EQ((std::vector<int32_t>{598124554, 371820323, 819710570, 904070771, 766514846}),
              first_values(INT_MIN));
}

TEST(RandomGenerator, SeedsThatShareTheirStartingValue) {
    // n and -n start alike, and seed() keeps the sign.
    for (int32_t n : {1, 42, 161803398, 200000000, INT_MAX}) {
        RandomGenerator negative(-n);
        EXPECT_EQ(first_values(n, 60), first_values(negative, 60)) << n;
        EXPECT_EQ(-n, negative.seed());
    }
    // mj depends on |n| modulo 1e9 only: |INT_MIN| = 2147483648 behaves as
    // 1147483648, the value 32-bit wrapping arithmetic would also give.
    EXPECT_EQ(first_values(1147483648, 60), first_values(INT_MIN, 60));
    EXPECT_EQ(first_values(1161803398, 60), first_values(161803398, 60));
    EXPECT_EQ(first_values(1200000000, 60), first_values(200000000, 60));
    EXPECT_NE(first_values(2, 60), first_values(1, 60));
}

TEST(RandomGenerator, ReseedRestartsTheSequence) {
    RandomGenerator generator(7);
    const std::vector<int32_t> start = first_values(generator, 100);
    generator.reseed(42);
    EXPECT_EQ(42, generator.seed());
    EXPECT_EQ(0, generator.inext);
    EXPECT_EQ(31, generator.inextp);
    EXPECT_EQ(first_values(42), first_values(generator, 5));
    generator.reseed(7);
    EXPECT_EQ(start, first_values(generator, 100));
}

TEST(RandomGenerator, IndicesWrapFrom55To1) {
    RandomGenerator generator(42);
    EXPECT_EQ(56u, generator.table.count());
    EXPECT_EQ(0, generator.table.lower_bound());
    // The first step subtracts entry 32 from entry 1.
    int32_t expected = generator.table[1] - generator.table[32];
    if (expected < 0) expected += 1000000000;
    EXPECT_EQ(expected, generator.next());
    EXPECT_EQ(1, generator.inext);
    EXPECT_EQ(32, generator.inextp);
    for (int i = 2; i <= 24; ++i) generator.next();
    EXPECT_EQ(55, generator.inextp);
    generator.next();
    EXPECT_EQ(1, generator.inextp);
    for (int i = 26; i <= 55; ++i) generator.next();
    EXPECT_EQ(55, generator.inext);
    generator.next();
    EXPECT_EQ(1, generator.inext);
    EXPECT_EQ(32, generator.inextp);

    // Past the wrap, the values still match the model.
    RandomGenerator fresh(42);
    const std::vector<int32_t> values = first_values(fresh, 60);
    EXPECT_EQ((std::vector<int32_t>{173021394, 788052596, 98577826, 638661273, 285201352,
                                    260508969}),
              std::vector<int32_t>(values.begin() + 54, values.end()));
}

TEST(RandomGenerator, ValuesAndFractionsStayInRange) {
    for (int32_t seed : {0, -1, 161803398, INT_MIN}) {
        RandomGenerator generator(seed);
        for (int i = 0; i < 20000; ++i) {
            const double f = generator.fraction();
            ASSERT_GE(f, 0.0);
            ASSERT_LT(f, 1.0);
            const int32_t raw = generator.next();
            ASSERT_GE(raw, 0);
            ASSERT_LE(raw, 999999999);
            ASSERT_GE(generator.inext, 1);
            ASSERT_LE(generator.inext, 55);
            ASSERT_GE(generator.inextp, 1);
            ASSERT_LE(generator.inextp, 55);
        }
    }
}

// How many raw values a draw takes: the value that follows it in one generator
// is found at that offset in a twin with the same seed.
int consumed_by(int32_t n, int32_t k) {
    RandomGenerator drawn(99), twin(99);
    drawn.draw(n, k);
    const int32_t following = drawn.next();
    for (int used = 0; used < 20; ++used)
        if (twin.next() == following) return used;
    return -1;
}

TEST(RandomGeneratorDraw, ConsumesOneValuePerStep) {
    EXPECT_EQ(0, consumed_by(10, 0));
    EXPECT_EQ(1, consumed_by(10, 1));
    EXPECT_EQ(1, consumed_by(10, -1));
    EXPECT_EQ(2, consumed_by(10, 2));
    EXPECT_EQ(3, consumed_by(256, -3));
    EXPECT_EQ(5, consumed_by(1000, 5));
    EXPECT_EQ(4, consumed_by(1, 4));
    EXPECT_EQ(3, consumed_by(0, 3));
    EXPECT_EQ(2, consumed_by(-7, -2));
}

TEST(RandomGeneratorDraw, ResultsForAFixedSeed) {
    RandomGenerator generator(20240607);
    EXPECT_EQ(2, generator.draw(10, 1));
    EXPECT_EQ(0, generator.draw(10, 3));
    EXPECT_EQ(210, generator.draw(256, -2));
    EXPECT_EQ(6, generator.draw(7, 0));
    EXPECT_EQ(7, generator.draw(100, 5));
    EXPECT_EQ(158, generator.draw(1000, -1));
    EXPECT_EQ(217386039, generator.next());
}

TEST(RandomGeneratorDraw, RangeMirrorAndSkew) {
    RandomGenerator generator(5);
    for (int32_t k : {-5, -2, -1, 0, 1, 2, 3, 4, 5}) {
        for (int i = 0; i < 2000; ++i) {
            const int32_t c = generator.draw(17, k);
            ASSERT_GE(c, 0);
            ASSERT_LE(c, 16);
        }
    }
    EXPECT_EQ(INT_MAX - 1, generator.draw(INT_MAX, 0));
    EXPECT_EQ(0, generator.draw(0, 0));
    EXPECT_EQ(0, generator.draw(INT_MIN, -3));

    // A negative k mirrors the same steps.
    RandomGenerator up(11), down(11);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(40 - up.draw(41, 1), down.draw(41, -1));
        ASSERT_EQ(40 - up.draw(41, 3), down.draw(41, -3));
    }

    // draw(2, 2) is 0 three times in four.
    RandomGenerator coin(3);
    int zeros = 0;
    const int trials = 40000;
    for (int i = 0; i < trials; ++i) zeros += coin.draw(2, 2) == 0;
    EXPECT_NEAR(0.75, static_cast<double>(zeros) / trials, 0.01);
}

TEST(RandomGenerator, SeedFromTheClockAndTextForm) {
    const int32_t before = static_cast<int32_t>(std::time(nullptr));
    RandomGenerator clock_seeded;
    const int32_t after = static_cast<int32_t>(std::time(nullptr));
    EXPECT_GE(clock_seeded.seed(), before);
    EXPECT_LE(clock_seeded.seed(), after);

    std::ostringstream out;
    const Printable& seeded = RandomGenerator(-5);
    out << seeded << '|' << RandomGenerator(INT_MIN);
    EXPECT_EQ("seed -5|seed -2147483648", out.str());
}

}  // namespace
