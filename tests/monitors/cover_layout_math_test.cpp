#include <gtest/gtest.h>

#include <vector>

#include "monitors/cover_layout_math.h"

namespace {

using Rects = std::vector<CoverRect>;

// The saver window over an 800x600 primary: one pixel wider and higher.
constexpr CoverRect saver_800{0, 0, 801, 601};
constexpr CoverRect primary_800{0, 0, 800, 600};

TEST(CoverLayout, OneMonitorGetsNoCover) {
    EXPECT_TRUE(cover_layout({primary_800}, saver_800).empty());
    EXPECT_TRUE(cover_layout({}, saver_800).empty());
}

TEST(CoverLayout, MonitorRightOfThePrimaryLosesTheSaversExtraColumn) {
    const Rects covers = cover_layout({primary_800, {800, 0, 1440, 480}}, saver_800);
    EXPECT_EQ(covers, (Rects{{801, 0, 1440, 480}}));
}

TEST(CoverLayout, MonitorsLeftOfAndAboveThePrimaryHaveNegativeCoordinates) {
    EXPECT_EQ(cover_layout({primary_800, {-640, 0, 0, 480}}, saver_800), (Rects{{-640, 0, 0, 480}}));
    EXPECT_EQ(cover_layout({{0, -768, 1024, 0}, primary_800}, saver_800), (Rects{{0, -768, 1024, 0}}));
}

TEST(CoverLayout, ThreeMonitorsOfDifferentSizesEachGetTheirUncoveredPart) {
    // Left, primary, and a taller one below-right that starts inside the extra row.
    const Rects monitors{{-1280, -200, 0, 824}, primary_800, {400, 600, 1680, 1650}};
    const Rects covers = cover_layout(monitors, saver_800);
    EXPECT_EQ(covers, (Rects{{-1280, -200, 0, 824}, {400, 601, 1680, 1650}, {801, 600, 1680, 601}}));
}

TEST(CoverLayout, MonitorOverlappingTheExtraPixelOnTwoSidesIsCutInBands) {
    // Starts at (800,300): the saver window's extra column covers x = 800 for
    // rows 300..600, and the extra row nothing of it (it ends at x = 801).
    const Rects covers = cover_layout({primary_800, {800, 300, 1200, 900}}, saver_800);
    EXPECT_EQ(covers, (Rects{{800, 601, 1200, 900}, {801, 300, 1200, 601}}));
    // A monitor holding the whole saver window keeps a frame around it.
    const Rects frame = cover_layout({{-10, -10, 900, 700}}, saver_800);
    EXPECT_EQ(frame, (Rects{{-10, -10, 900, 0}, {-10, 601, 900, 700}, {-10, 0, 0, 601}, {801, 0, 900, 601}}));
}

TEST(CoverLayout, EmptyMonitorsAreSkippedAndAnEmptySaverCoversNothing) {
    EXPECT_TRUE(cover_layout({{900, 0, 900, 480}, {900, 480, 1000, 100}}, saver_800).empty());
    EXPECT_EQ(cover_layout({primary_800}, CoverRect{0, 0, 0, 0}), (Rects{primary_800}));
}

TEST(CoverLayout, WhereMonitorsOverlapTheEarlierOnesCoversServe) {
    // A clone of the second monitor, and a third placed half over it.
    const CoverRect second{800, 0, 1440, 480};
    EXPECT_EQ(cover_layout({primary_800, second, second}, saver_800), (Rects{{801, 0, 1440, 480}}));
    EXPECT_EQ(cover_layout({primary_800, second, {1120, 240, 1760, 720}}, saver_800),
              (Rects{{801, 0, 1440, 480}, {1120, 480, 1760, 720}, {1440, 240, 1760, 480}}));
    // A clone of the primary lies under the saver window like the primary.
    EXPECT_TRUE(cover_layout({primary_800, primary_800}, saver_800).empty());
}

TEST(CoverLayout, ExtremeCoordinatesDoNotOverflow) {
    const CoverRect whole{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    const Rects covers = cover_layout({whole}, saver_800);
    ASSERT_EQ(covers.size(), 4u);
    EXPECT_EQ(covers[0], (CoverRect{INT32_MIN, INT32_MIN, INT32_MAX, 0}));
    EXPECT_EQ(covers[3], (CoverRect{801, 0, INT32_MAX, 601}));
}

}  // namespace
