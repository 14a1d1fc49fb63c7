#include <gtest/gtest.h>

#include "app/preview_handle_math.h"

TEST(PreviewHandle, ReadsTheNumberAfterTheSwitch) {
    EXPECT_EQ(1234u, preview_handle("/p 1234"));
    EXPECT_EQ(1234u, preview_handle("/p1234"));
    EXPECT_EQ(1234u, preview_handle("/p \t 1234 -r 7"));
    EXPECT_EQ(1234u, preview_handle("/p:1234"));
    EXPECT_EQ(1234u, preview_handle("/p: 1234"));
    EXPECT_EQ(1234u, preview_handle("-r 5 /p 1234"));
    EXPECT_EQ(4294967295u, preview_handle("/p 4294967295"));
}

TEST(PreviewHandle, GivesNoHandleForAnythingButAPlainNumber) {
    EXPECT_EQ(0u, preview_handle(nullptr));
    EXPECT_EQ(0u, preview_handle(""));
    EXPECT_EQ(0u, preview_handle("/s 1234"));
    EXPECT_EQ(0u, preview_handle("/p"));
    EXPECT_EQ(0u, preview_handle("/p   "));
    EXPECT_EQ(0u, preview_handle("/p abc"));
    EXPECT_EQ(0u, preview_handle("/p 12ab"));
    EXPECT_EQ(0u, preview_handle("/p -1234"));
    EXPECT_EQ(0u, preview_handle("/p +1234"));
    EXPECT_EQ(0u, preview_handle("/p ::1234"));
    EXPECT_EQ(0u, preview_handle("/p 0"));
    // Too large for a window handle, however many digits.
    EXPECT_EQ(0u, preview_handle("/p 4294967296"));
    EXPECT_EQ(0u, preview_handle("/p 99999999999999999999999999"));
}

// Only the first "/p" counts, as for every other switch.
TEST(PreviewHandle, ReadsAfterTheFirstSwitchOnly) {
    EXPECT_EQ(0u, preview_handle("/p x /p 1234"));
    EXPECT_EQ(12u, preview_handle("/p 12 /p 34"));
}

TEST(ConfigureHandle, ReadsThePlainNumberAfterTheFirstSlashCColon) {
    EXPECT_EQ(1234u, configure_handle("/c:1234"));
    EXPECT_EQ(1234u, configure_handle("/c: \t1234 -r 7"));
    EXPECT_EQ(4294967295u, configure_handle("/c:4294967295"));
    EXPECT_EQ(56u, configure_handle("/c:56 /c:78"));
}

// Each of these shows the settings dialog as without a handle.
TEST(ConfigureHandle, GivesNoHandleWithoutTheColonOrAPlainNumber) {
    EXPECT_EQ(0u, configure_handle(nullptr));
    EXPECT_EQ(0u, configure_handle(""));
    EXPECT_EQ(0u, configure_handle("/c"));
    EXPECT_EQ(0u, configure_handle("/c 1234"));
    EXPECT_EQ(0u, configure_handle("/C:1234"));
    EXPECT_EQ(0u, configure_handle("/c:"));
    EXPECT_EQ(0u, configure_handle("/c:0"));
    EXPECT_EQ(0u, configure_handle("/c:abc"));
    EXPECT_EQ(0u, configure_handle("/c:12ab"));
    EXPECT_EQ(0u, configure_handle("/c:-1234"));
    EXPECT_EQ(0u, configure_handle("/c::1234"));
    EXPECT_EQ(0u, configure_handle("/c:4294967296"));
    EXPECT_EQ(0u, configure_handle("/p 1234"));
}
