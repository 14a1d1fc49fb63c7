#include <gtest/gtest.h>

#include <string>

#include "savewin/monitor_layout_math.h"

namespace {

TEST(MonitorMode, OnlyExactLowerCaseWordsChooseSpanOrMirror) {
    EXPECT_EQ(MonitorMode::span, monitor_mode_from("span"));
    EXPECT_EQ(MonitorMode::mirror, monitor_mode_from("mirror"));
    for (const char* primary : {"primary", "", "Span", "SPAN", "span ", " span", "Mirror", "mirrors",
                                "spanmirror", "1", "yes"}) {
        EXPECT_EQ(MonitorMode::primary, monitor_mode_from(primary)) << '"' << primary << '"';
    }
    EXPECT_EQ(MonitorMode::primary, monitor_mode_from(std::string("span\0x", 6)));
}

TEST(MonitorMode, EachModeReadsBackFromTheTextWrittenForIt) {
    for (MonitorMode mode : {MonitorMode::primary, MonitorMode::span, MonitorMode::mirror}) {
        EXPECT_EQ(mode, monitor_mode_from(monitor_mode_text(mode)));
    }
    EXPECT_STREQ("primary", monitor_mode_text(MonitorMode::primary));
}

}  // namespace
