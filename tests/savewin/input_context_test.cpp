#include <gtest/gtest.h>

#include <windows.h>
#include <imm.h>
#include "monitors/monitor_covers.h"
#include "monitors/monitors.h"
#include "savewin/saver_window_fixture.h"

namespace {

// Whether keys typed into the window would go through an input method's
// composition: the window has an input context.
bool has_input_context(HWND window) {
    HIMC context = ImmGetContext(window);
    if (!context) return false;
    ImmReleaseContext(window, context);
    return true;
}

HWND plain_window(int width, int height) {
    return CreateWindowExA(WS_EX_NOACTIVATE, "STATIC", "plain", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

using InputContextTest = SaverWindowTest;

// A window of the thread has the thread's default context, so the checks
// below could fail.
TEST_F(InputContextTest, APlainWindowHasOne) {
    HWND window = plain_window(50, 50);
    ASSERT_TRUE(window);
    EXPECT_TRUE(has_input_context(window));
    DestroyWindow(window);
}

TEST_F(InputContextTest, TheSaverWindowHasNone) {
    SaverWindow& saver = open();
    ASSERT_TRUE(saver.hwnd);
    EXPECT_FALSE(has_input_context(saver.hwnd));
}

// One monitor here: a small window in its corner stands in for the saver
// window, so the covers (bands beside and below it) and a mirror (the monitor
// it does not hold whole) are made.
TEST_F(InputContextTest, CoversAndMirrorsHaveNone) {
    HWND owner = plain_window(100, 80);
    ASSERT_TRUE(owner);
    {
        MonitorCovers covers(owner, MonitorCovers::Kind::covers, current_monitors());
        ASSERT_GT(covers.count(), 0u);
        for (HWND cover : covers.window_list()) EXPECT_FALSE(has_input_context(cover));
        MonitorCovers mirrors(owner, MonitorCovers::Kind::mirrors, current_monitors());
        ASSERT_GT(mirrors.count(), 0u);
        for (HWND mirror : mirrors.window_list()) EXPECT_FALSE(has_input_context(mirror));
    }
    DestroyWindow(owner);
}

}  // namespace
