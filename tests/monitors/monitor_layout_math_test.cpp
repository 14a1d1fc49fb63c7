#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "monitors/monitor_layout_math.h"

namespace {

TEST(MonitorMode, OnlyExactLowerCaseWordsChooseSpanOrMirror) {
    EXPECT_EQ(MonitorMode::span, monitor_mode_from("span"));
    EXPECT_EQ(MonitorMode::mirror, monitor_mode_from("mirror"));
    EXPECT_EQ(MonitorMode::separate, monitor_mode_from("separate"));
    for (const char* primary : {"primary", "", "Span", "SPAN", "span ", " span", "Mirror", "mirrors",
                                "spanmirror", "1", "yes", "Separate", "separate ", "separated"}) {
        EXPECT_EQ(MonitorMode::primary, monitor_mode_from(primary)) << '"' << primary << '"';
    }
    EXPECT_EQ(MonitorMode::primary, monitor_mode_from(std::string("span\0x", 6)));
}

TEST(MonitorMode, EachModeReadsBackFromTheTextWrittenForIt) {
    for (MonitorMode mode : {MonitorMode::primary, MonitorMode::span, MonitorMode::mirror, MonitorMode::separate}) {
        EXPECT_EQ(mode, monitor_mode_from(monitor_mode_text(mode)));
    }
    EXPECT_STREQ("primary", monitor_mode_text(MonitorMode::primary));
}

}  // namespace

namespace {

using Rects = std::vector<CoverRect>;

void expect_rect(const CoverRect& expected, const CoverRect& actual) {
    EXPECT_TRUE(expected == actual) << actual.left << ' ' << actual.top << ' ' << actual.right << ' '
                                    << actual.bottom;
}

TEST(VirtualScreen, HoldsEveryMonitorWhereverTheyLie) {
    // The test desktop: 800x600 primary, 640x480 right of it.
    expect_rect({0, 0, 1440, 600}, virtual_screen({{0, 0, 800, 600}, {800, 0, 1440, 480}}));
    // Left of and above the primary: negative coordinates.
    expect_rect({-1280, -200, 800, 824}, virtual_screen({{0, 0, 800, 600}, {-1280, -200, 0, 824}}));
    // Three monitors, one of them portrait, with a gap between two.
    expect_rect({-1080, -300, 3000, 1620},
                virtual_screen({{0, 0, 1920, 1080}, {-1080, -300, 0, 1620}, {2000, 100, 3000, 868}}));
    expect_rect({0, 0, 800, 600}, virtual_screen({{0, 0, 800, 600}}));
}

TEST(VirtualScreen, SkipsEmptyMonitorsAndIsEmptyWithoutAny) {
    expect_rect({0, 0, 800, 600}, virtual_screen({{5000, 5000, 5000, 6000}, {0, 0, 800, 600}, {-9, -9, -10, 0}}));
    expect_rect({0, 0, 0, 0}, virtual_screen({}));
    expect_rect({0, 0, 0, 0}, virtual_screen({{10, 10, 10, 10}}));
}

TEST(VirtualScreen, ReachesTheEndsOfTheRangeWithoutOverflow) {
    const int32_t low = std::numeric_limits<int32_t>::min();
    const int32_t high = std::numeric_limits<int32_t>::max();
    expect_rect({low, low, high, high}, virtual_screen({{low, low, 0, 0}, {0, 0, high, high}}));
}

TEST(FittedRect, KeepsTheAspectAndCentres) {
    // 800x600 onto 640x480: the same aspect fills the monitor.
    expect_rect({800, 0, 1440, 480}, fitted_rect(800, 600, {800, 0, 1440, 480}));
    // Wider monitor: full height, bars left and right.
    expect_rect({240, 0, 1680, 1080}, fitted_rect(800, 600, {0, 0, 1920, 1080}));
    // Portrait monitor: full width, bars above and below.
    expect_rect({-1080, 855, 0, 1665}, fitted_rect(800, 600, {-1080, 600, 0, 1920}));
    // A monitor larger than the picture scales it up.
    expect_rect({0, 0, 1600, 1200}, fitted_rect(800, 600, {0, 0, 1600, 1200}));
    // Smaller than the picture, odd leftover split with the extra pixel after.
    expect_rect({10, 21, 110, 96}, fitted_rect(800, 600, {10, 20, 110, 97}));
}

TEST(FittedRect, EmptyPictureOrMonitorGivesNothingToDraw) {
    expect_rect({5, 7, 5, 7}, fitted_rect(0, 600, {5, 7, 100, 100}));
    expect_rect({5, 7, 5, 7}, fitted_rect(800, -1, {5, 7, 100, 100}));
    expect_rect({5, 7, 5, 7}, fitted_rect(800, 600, {5, 7, 5, 100}));
    expect_rect({5, 7, 5, 7}, fitted_rect(800, 600, {5, 7, 4, 6}));
}

TEST(FittedRect, ExtremeSizesStayInsideTheMonitor) {
    const int32_t low = std::numeric_limits<int32_t>::min();
    const int32_t high = std::numeric_limits<int32_t>::max();
    // A one-pixel line of a picture still shows one pixel, centred.
    expect_rect({0, 49, 100, 50}, fitted_rect(high, 1, {0, 0, 100, 100}));
    expect_rect({49, 0, 50, 100}, fitted_rect(1, high, {0, 0, 100, 100}));
    // The widest monitor with the tallest picture: products far beyond 32 bits.
    const CoverRect huge{low, low, high, high};
    const CoverRect fit = fitted_rect(high, high, huge);
    expect_rect(huge, fit);
    const CoverRect tall = fitted_rect(1, high, huge);
    EXPECT_EQ(low, tall.top);
    EXPECT_EQ(high, tall.bottom);
    EXPECT_GE(tall.left, low);
    EXPECT_LT(tall.left, tall.right);
    EXPECT_LE(tall.right, high);
    EXPECT_EQ(2, tall.right - tall.left);  // (2^32 - 1) / (2^31 - 1), truncated
}

TEST(MirrorLayout, EveryMonitorOutsideTheSaverWindowGetsAMirror) {
    const CoverRect saver{0, 0, 801, 601};
    const Rects monitors{{0, 0, 800, 600}, {800, 0, 1440, 480}, {-1080, -300, 0, 1620}};
    const Rects mirrors = mirror_layout(monitors, saver);
    ASSERT_EQ(2u, mirrors.size());
    expect_rect(monitors[1], mirrors[0]);
    expect_rect(monitors[2], mirrors[1]);
    // One monitor, a copy of the primary, or an empty monitor: no mirror.
    EXPECT_TRUE(mirror_layout({{0, 0, 800, 600}}, saver).empty());
    EXPECT_TRUE(mirror_layout({{0, 0, 800, 600}, {0, 0, 800, 600}, {900, 0, 900, 10}}, saver).empty());
    // A monitor only partly under the saver window is mirrored whole.
    expect_rect({400, 300, 1200, 900}, mirror_layout({{400, 300, 1200, 900}}, saver).at(0));
    // A clone of a mirrored monitor shows that mirror.
    const Rects clones = mirror_layout({monitors[0], monitors[1], monitors[1], monitors[2]}, saver);
    ASSERT_EQ(2u, clones.size());
    expect_rect(monitors[2], clones[1]);
}

}  // namespace

namespace {

TEST(NearestIndexes, SampleEachTargetPixelsCentreInOrder) {
    const std::vector<int32_t> down = nearest_indexes(800, 640);
    ASSERT_EQ(640u, down.size());
    EXPECT_EQ(0, down.front());
    EXPECT_EQ(799, down.back());
    for (size_t i = 1; i < down.size(); ++i) {
        EXPECT_GT(down[i], down[i - 1]);
        EXPECT_LE(down[i] - down[i - 1], 2) << "a fifth of the columns is left out, never two in a row";
    }
    EXPECT_EQ((std::vector<int32_t>{0, 0, 1, 1, 2, 2}), nearest_indexes(3, 6));
    EXPECT_EQ((std::vector<int32_t>{0, 1, 2}), nearest_indexes(3, 3));
    EXPECT_EQ((std::vector<int32_t>{2}), nearest_indexes(5, 1));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 0}), nearest_indexes(1, 3));
}

TEST(NearestIndexes, EmptyForEmptyRowsAndInRangeForHugeOnes) {
    EXPECT_TRUE(nearest_indexes(0, 10).empty());
    EXPECT_TRUE(nearest_indexes(10, 0).empty());
    EXPECT_TRUE(nearest_indexes(-5, 10).empty());
    const int32_t high = std::numeric_limits<int32_t>::max();
    const std::vector<int32_t> huge = nearest_indexes(high, 4);
    ASSERT_EQ(4u, huge.size());
    EXPECT_EQ(high / 8, huge[0]);
    EXPECT_LT(huge[3], high);
    EXPECT_GT(huge[3], huge[2]);
}

// Where X leaves a pointer it moved off a monitor that went or shrank: on the
// outermost row or column of a remaining one (800x600 with 640x480 right of it).
TEST(MonitorEdge, TheOutermostRowsAndColumnsAndNoMonitorCount) {
    const std::vector<CoverRect> monitors{{0, 0, 800, 600}, {800, 0, 1440, 480}};
    EXPECT_TRUE(on_monitor_edge(monitors, 799, 300));    // the second monitor went
    EXPECT_TRUE(on_monitor_edge(monitors, 800, 479));    // the primary shrank under it
    EXPECT_TRUE(on_monitor_edge(monitors, 0, 300));
    EXPECT_TRUE(on_monitor_edge(monitors, 400, 0));
    EXPECT_TRUE(on_monitor_edge(monitors, 400, 599));
    EXPECT_TRUE(on_monitor_edge(monitors, 1439, 100));
    EXPECT_TRUE(on_monitor_edge(monitors, 1000, 550));   // below the second monitor: none
    EXPECT_TRUE(on_monitor_edge({}, 10, 10));
    EXPECT_FALSE(on_monitor_edge(monitors, 400, 300));
    EXPECT_FALSE(on_monitor_edge(monitors, 798, 300));
    EXPECT_FALSE(on_monitor_edge(monitors, 1000, 478));
    EXPECT_FALSE(on_monitor_edge(monitors, 1, 1));
}

}  // namespace
