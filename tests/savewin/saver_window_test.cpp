#include <gtest/gtest.h>

#include <windows.h>
#include <climits>
#include <memory>
#include "app/application.h"
#include "res/resource.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "saver/saver.h"
#include "savewin/saver_window.h"
#include "savewin/settings.h"
#include "savewin/dialog_driver.h"
#include "savewin/saver_window_fixture.h"

namespace {

// The window covers the primary screen and one pixel more to the right and below.
void expect_over_the_primary(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) + 1, rect.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) + 1, rect.bottom);
}

TEST_F(SaverWindowTest, CoversTheScreenPlusOnePixelWithABlackPopupOfItsClass) {
    SaverWindow& saver = open();
    EXPECT_EQ(&saver, swin);
    char name[64] = {};
    GetClassNameA(saver.hwnd, name, sizeof name);
    EXPECT_STREQ("WindowsScreenSaverClass", name);
    GetWindowTextA(saver.hwnd, name, sizeof name);
    EXPECT_STREQ("Quorix ScreenSaver", name);
    EXPECT_EQ(static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_SAVEBITS),
              GetClassLongPtrA(saver.hwnd, GCL_STYLE));
    EXPECT_EQ(0u, GetClassLongPtrA(saver.hwnd, GCLP_HCURSOR));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH)),
              GetClassLongPtrA(saver.hwnd, GCLP_HBRBACKGROUND));
    const LONG_PTR style = GetWindowLongPtrA(saver.hwnd, GWL_STYLE);
    EXPECT_EQ(static_cast<LONG_PTR>(WS_POPUP | 0x8), style & (WS_POPUP | WS_CAPTION | 0x8));
    expect_over_the_primary(saver.hwnd);
    ASSERT_TRUE(Screen.palette);
    EXPECT_TRUE(saver.current_saver);
    window.reset();
    EXPECT_EQ(nullptr, swin);
}

TEST_F(SaverWindowTest, OptionsFollowTheExactYesRule) {
    settings::write(settings::hide_mouse, "YES");
    settings::write(settings::ignore_mouse, "yes");
    settings::write(settings::stay_on_top, "Yes");
    SaverWindow& saver = open();
    EXPECT_FALSE(cursor_hidden);
    EXPECT_EQ(1, saver.ignore_mouse);
    EXPECT_EQ(0, saver.stay_on_top);
    EXPECT_TRUE(saver.password.empty());

    settings::write(settings::hide_mouse, "yes");
    open();
    EXPECT_TRUE(cursor_hidden);
    window.reset();
    EXPECT_FALSE(cursor_hidden);
}

TEST_F(SaverWindowTest, PauseKeysDriveTheStateMachine) {
    SaverWindow& saver = open();
    type('p');
    EXPECT_EQ(1, saver.state);
    EXPECT_EQ(0, saver.current_saver->done);
    type('P');
    EXPECT_EQ(0, saver.state);
    type('p');
    type('p');   // twice in a row: resume at once with a new effect
    EXPECT_EQ(0, saver.state);
    EXPECT_EQ(1, saver.current_saver->done);

    saver.current_saver->done = 0;
    saver.state = 2;
    send(WM_KEYDOWN, VK_F5);
    EXPECT_EQ(0, saver.state);
    EXPECT_EQ(1, saver.current_saver->done);
    type('f');
    EXPECT_TRUE(alive());
}

TEST_F(SaverWindowTest, WhenThePausedEffectEndsTheNextOneWaits) {
    GetCursorPos(&initial_cursor);
    SaverWindow& saver = open();
    const uint32_t started = saver_count;
    saver.state = 1;
    saver.current_saver->done = 1;
    ShowWindow(saver.hwnd, SW_SHOWNA);
    MSG message;
    for (DWORD start = GetTickCount(); saver.state != 2 && GetTickCount() - start < 5000;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    ASSERT_TRUE(alive());
    EXPECT_EQ(2, saver.state);
    EXPECT_EQ(started + 1, saver_count);
    EXPECT_EQ(0, saver.current_saver->done);
    // Paused: the handler asks for no further paint.
    EXPECT_FALSE(GetUpdateRect(saver.hwnd, nullptr, FALSE));
}

TEST_F(SaverWindowTest, PlusAndMinusChangeRotationOnlyOnAPaletteDevice) {
    SaverWindow& saver = open();
    Saver& effect = *saver.current_saver;
    effect.rotation_mode = 0;
    effect.rotation_period = 3;
    Screen.palette->palette_device = 0;
    type('+');
    EXPECT_EQ(0, effect.rotation_mode);
    EXPECT_EQ(3, effect.rotation_period);

    Screen.palette->palette_device = 1;
    Screen.palette->animating = 1;
    type('-');   // no rotation to slow down
    EXPECT_EQ(0, effect.rotation_mode);
    type('+');
    EXPECT_EQ(1, effect.rotation_mode);
    EXPECT_EQ(10, effect.rotation_period);
    type('+');
    EXPECT_EQ(5, effect.rotation_period);
    EXPECT_EQ(5, effect.rotation_countdown);
    type('-');
    EXPECT_EQ(10, effect.rotation_period);
    effect.rotation_period = INT_MAX / 2 + 1;
    type('-');
    EXPECT_EQ(INT_MAX, effect.rotation_period);

    const uint8_t cycling = saver.palette_cycling;
    type('n');
    EXPECT_EQ(0, effect.rotation_mode);
    EXPECT_NE(cycling, saver.palette_cycling);
    EXPECT_TRUE(alive());
}

TEST_F(SaverWindowTest, PlusStillTracesOnADisplayWithoutPaletteRotation) {
    SaverWindow& saver = open("/s -l");
    Screen.palette->palette_device = 0;
    const int32_t period = saver.current_saver->rotation_period;
    type('+');
    type('-');
    EXPECT_EQ(period, saver.current_saver->rotation_period);
    const std::string trace = temp.read("trace.txt");
    EXPECT_NE(std::string::npos, trace.find("savewin line 553 : *current_saver = "));
    EXPECT_NE(std::string::npos, trace.find("savewin line 575 : *current_saver = "));
}

TEST_F(SaverWindowTest, DeveloperModeReplacesTheOldTraceAndKeepsTheNewOne) {
    _putenv("PO=1");
    temp.write("trace.txt", "earlier\r\n");
    open("/s -l");
    EXPECT_TRUE(developer_mode);
    EXPECT_FALSE(temp.has("tr0.txt"));
    EXPECT_EQ(std::string::npos, temp.read("trace.txt").find("earlier"));
    window.reset();
    EXPECT_TRUE(temp.has("trace.txt"));
    open("/s -x");
    EXPECT_FALSE(developer_mode);
    _putenv("PO=");
}

// The options dialog over the running saver: drawing stops while it is open, and
// Save applies the options and starts a new effect.
TEST_F(SaverWindowTest, OptionsKeyOpensTheDialogOverThePausedSaver) {
    SaverWindow& saver = open();
    auto resources = std::make_unique<SaverResources>();
    ASSERT_TRUE(resources->loaded()) << "quorix.scr must be built beside the test";

    DialogDriver driver;
    driver.on(versioned_title, [&saver](HWND dialog) {
        EXPECT_EQ(0, saver.drawing);
        EXPECT_TRUE(dialog_open);
        click(dialog, IDC_HIDE_MOUSE);
        click(dialog, IDOK);
    }, IDC_HIDE_MOUSE);
    type('s');
    resources.reset();

    EXPECT_TRUE(driver.finished());
    EXPECT_TRUE(alive());
    EXPECT_EQ(1, saver.drawing);
    EXPECT_FALSE(dialog_open);
    EXPECT_TRUE(cursor_hidden);
    EXPECT_EQ(1, saver.current_saver->done);
}

// Wheels and side buttons are buttons: each wakes the saver, a release too, as
// the left button's does, and "ignore mouse" holds every one of them back.
TEST_F(SaverWindowTest, WheelsAndSideButtonsWakeUnlessTheMouseIsIgnored) {
    const UINT buttons[] = {WM_LBUTTONUP, WM_MOUSEWHEEL, WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK,
                            WM_MOUSEHWHEEL};
    for (UINT message : buttons) {
        open();
        const WPARAM wparam = message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL
                                  ? MAKEWPARAM(0, WHEEL_DELTA)
                                  : MAKEWPARAM(0, XBUTTON1);
        SendMessageA(window->hwnd, message, wparam, MAKELPARAM(10, 10));
        EXPECT_FALSE(alive()) << "message 0x" << std::hex << message;
    }
    settings::write(settings::ignore_mouse, "yes");
    for (UINT message : buttons) {
        open();
        SendMessageA(window->hwnd, message, 0, MAKELPARAM(10, 10));
        EXPECT_TRUE(alive()) << "message 0x" << std::hex << message;
    }
}

// The first move after the start is measured from where the pointer was then.
TEST_F(SaverWindowTest, AMoveWakesWhenFarFromWhereThePointerStarted) {
    initial_cursor = POINT{200, 200};
    open();
    SendMessageA(window->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(219, 181));
    EXPECT_TRUE(alive());
    EXPECT_EQ(219, initial_cursor.x);
    initial_cursor = POINT{200, 200};
    open();
    SendMessageA(window->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(200, 220));
    EXPECT_FALSE(alive());
    initial_cursor = POINT{200, 200};
    settings::write(settings::ignore_mouse, "yes");
    open();
    SendMessageA(window->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(260, 200));
    EXPECT_TRUE(alive());
}

// After a display change the window covers the primary again, one pixel
// wider and higher, and the running effect ends so that the next one takes
// the screen's size; the password stays.
TEST_F(SaverWindowTest, ADisplayChangeLaysTheWindowOutAgainAndTheNextEffectTakesTheSize) {
    const int32_t width = Screen.width;
    const int32_t height = Screen.height;
    SaverWindow& saver = open();
    saver.password = String("abc");
    SetWindowPos(saver.hwnd, nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    // The effects still have the size from before the change.
    Screen.width = 640;
    Screen.height = 480;
    saver.current_saver->done = 0;
    SendMessageA(saver.hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    expect_over_the_primary(saver.hwnd);
    EXPECT_EQ(1, saver.current_saver->done);
    saver.next_saver();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Screen.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), Screen.height);
    EXPECT_STREQ("abc", saver.password.text());
    EXPECT_TRUE(alive());
    // At the size already, the effect goes on.
    saver.current_saver->done = 0;
    SendMessageA(saver.hwnd, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_EQ(0, saver.current_saver->done);
    Screen.width = width;
    Screen.height = height;
}

}  // namespace
