#include <gtest/gtest.h>

#include <windows.h>
#include <memory>
#include "app/application.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "saver/saver_host.h"
#include "savewin/preview_window.h"
#include "savewin/saver_window.h"
#include "savewin/settings.h"
#include "savewin/settings_backup.h"
#include "trace/temp_folder.h"

namespace {

constexpr int client_width = 152;
constexpr int client_height = 112;

RECT client_on_screen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

RECT window_rect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A settings window in this process with a 152 x 112 client area, and the
// preview built in it with the command line given.
class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        tracing = false;
        developer_mode = false;
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE;
        RECT frame{0, 0, client_width, client_height};
        AdjustWindowRect(&frame, style, FALSE);
        parent = CreateWindowExA(0, "STATIC", "settings", style, 40, 40, frame.right - frame.left,
                                 frame.bottom - frame.top, nullptr, nullptr, app.instance, nullptr);
        ASSERT_TRUE(parent);
    }
    void TearDown() override {
        preview.reset();
        if (IsWindow(parent)) DestroyWindow(parent);
        drain();
        tracing = false;
        app.command_line = "";
        Screen.width = GetSystemMetrics(SM_CXSCREEN);
        Screen.height = GetSystemMetrics(SM_CYSCREEN);
    }
    PreviewWindow& open(const char* command_line = "/p 1") {
        app.command_line = command_line;
        preview = std::make_unique<PreviewWindow>(parent);
        return *preview;
    }
    // Handles what waits but paints, which would run the effect; true when
    // WM_QUIT was among it.
    static bool drain() {
        bool quit = false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
               PeekMessageA(&message, nullptr, WM_PAINT + 1, 0xFFFFFFFF, PM_REMOVE)) {
            if (message.message == WM_QUIT) quit = true;
            else DispatchMessageA(&message);
        }
        return quit;
    }

    SettingsBackup backup;
    TempFolder temp;
    HWND parent = nullptr;
    std::unique_ptr<PreviewWindow> preview;
};

TEST_F(PreviewWindowTest, FillsTheClientAreaWithAWindowOfItsOwnClass) {
    PreviewWindow& window = open();
    ASSERT_TRUE(window.hwnd);
    EXPECT_EQ(&window, dynamic_cast<PreviewWindow*>(saver_host));
    EXPECT_EQ(nullptr, swin);
    EXPECT_TRUE(same_rect(client_on_screen(parent), window_rect(window.hwnd)));
    EXPECT_EQ(client_width, Screen.width);
    EXPECT_EQ(client_height, Screen.height);
    EXPECT_TRUE(Screen.palette);
    char name[64] = {};
    GetClassNameA(window.hwnd, name, sizeof name);
    // Not the saver window's class, so "/s" is not taken for a second start.
    EXPECT_STREQ("QuorixPreviewClass", name);
    const LONG_PTR style = GetWindowLongPtrA(window.hwnd, GWL_STYLE);
    if (window.as_child) {
        EXPECT_TRUE(style & WS_CHILD);
        EXPECT_EQ(parent, GetParent(window.hwnd));
    } else {
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_EQ(parent, GetWindow(window.hwnd, GW_OWNER));
    }
    preview.reset();
    EXPECT_EQ(nullptr, saver_host);
    EXPECT_FALSE(Screen.palette);
}

TEST_F(PreviewWindowTest, StaysOverTheClientAreaWhenTheParentMoves) {
    PreviewWindow& window = open();
    SetWindowPos(parent, nullptr, 90, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.watch();
    EXPECT_TRUE(same_rect(client_on_screen(parent), window_rect(window.hwnd)));
}

TEST_F(PreviewWindowTest, InputChangesNothing) {
    PreviewWindow& window = open();
    const HWND handle = window.hwnd;
    SendMessageA(handle, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    SendMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(handle, WM_KEYDOWN, VK_CONTROL, 0);
    SendMessageA(handle, WM_CHAR, 'x', 0);
    SendMessageA(handle, WM_CHAR, 'f', 0);
    SendMessageA(handle, WM_SYSKEYDOWN, VK_MENU, 0);
    EXPECT_FALSE(drain());
    EXPECT_TRUE(IsWindow(handle));
}

TEST_F(PreviewWindowTest, EndsWhenTheParentIsDestroyed) {
    PreviewWindow& window = open();
    const HWND handle = window.hwnd;
    DestroyWindow(parent);
    window.watch();
    EXPECT_TRUE(drain());
    EXPECT_FALSE(IsWindow(handle));
}

TEST_F(PreviewWindowTest, ClosingItsWindowEndsIt) {
    PreviewWindow& window = open();
    SendMessageA(window.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(drain());
    EXPECT_TRUE(IsWindow(parent));
}

// A preview must not replace the trace of a real run.
TEST_F(PreviewWindowTest, TracesOnlyWithItsOwnSwitch) {
    settings::write(settings::trace, "yes");
    temp.write("trace.txt", "a real run\r\n");
    open("/p 1 -r 5");
    EXPECT_FALSE(tracing);
    EXPECT_EQ("a real run\r\n", temp.read("trace.txt"));
    preview.reset();
    open("/p 1 -r 5 -l");
    EXPECT_TRUE(tracing);
    // The earlier trace is moved aside, and the new one starts from the seed.
    EXPECT_EQ("a real run\r\n", temp.read("tr0.txt"));
    EXPECT_EQ(0u, temp.read("trace.txt").find("savewin line 431 : app.rand.seed() = 5\r\n"));
}

}  // namespace
