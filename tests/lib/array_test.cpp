#include <gtest/gtest.h>

#include <sstream>

#include "lib/array.h"

namespace {

template <typename T>
std::string text_of(const Array<T>& array) {
    std::ostringstream out;
    out << array;
    return out.str();
}

TEST(Array, LowerBoundShiftsEveryIndex) {
    Array<int32_t> one_based(4, 1);
    EXPECT_EQ(4u, one_based.count());
    EXPECT_EQ(1, one_based.lower_bound());
    for (int32_t i = 1; i <= 4; ++i) one_based[i] = i * 10;
    // Index 1 is the first stored element, 4 the last, with no gaps.
    EXPECT_EQ(&one_based[1] + 3, &one_based[4]);
    EXPECT_EQ("[10, 20, 30, 40]", text_of(one_based));

    Array<int32_t> negative(3, -2);
    negative[-2] = 7;
    negative[-1] = 8;
    negative[0] = 9;
    EXPECT_EQ("[7, 8, 9]", text_of(negative));

    const Array<int32_t>& constant = one_based;
    EXPECT_EQ(30, constant[3]);
}

TEST(Array, GeneratorSizedTableUsesEveryIndex) {
    Array<int32_t> table(56);
    EXPECT_EQ(0, table.lower_bound());
    for (int32_t i = 0; i < 56; ++i) table[i] = 1000 - i;
    EXPECT_EQ(1000, table[0]);
    EXPECT_EQ(945, table[55]);
    EXPECT_EQ(&table[0] + 55, &table[55]);
}

TEST(Array, TextForm) {
    Array<float> empty(0);
    EXPECT_EQ("[]", text_of(empty));

    Array<int32_t> single(1);
    single[0] = -5;
    EXPECT_EQ("[-5]", text_of(single));

    Array<float> values(3);
    values[0] = 1.0f;
    values[1] = 2.5f;
    values[2] = 3.0f;
    EXPECT_EQ("[1, 2.5, 3]", text_of(values));
}

}  // namespace
