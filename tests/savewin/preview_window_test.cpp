#include <gtest/gtest.h>

#include <windows.h>
#include <memory>
#include <string>
#include "app/application.h"
#include "gfx/cycling_picture.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "savewin/counted_lines.h"
#include "savewin/preview_window.h"
#include "savewin/saver_window.h"
#include "savewin/settings.h"
#include "savewin/settings_backup.h"
#include "support/display_notice.h"
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
    // The popup unless asked otherwise: the path the platform takes here.
    PreviewWindow& open(const char* command_line = "/p 1", bool as_child = false) {
        app.command_line = command_line;
        preview = std::make_unique<PreviewWindow>(parent, as_child);
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

namespace {

// Handles the thread's messages, paints among them, until WM_QUIT or the time
// is up; the milliseconds it took, or -1 when no WM_QUIT came.
int32_t ms_until_quit(DWORD limit) {
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < limit) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, 0);
            continue;
        }
        if (message.message == WM_QUIT) return static_cast<int32_t>(GetTickCount() - start);
        DispatchMessageA(&message);
    }
    return -1;
}

// Pixels of the window's client area that are not black, over a rectangle.
int32_t lit_pixels(HWND window, const RECT& area) {
    GdiFlush();
    const HDC dc = GetDC(window);
    int32_t lit = 0;
    for (LONG y = area.top; y < area.bottom; y += 2)
        for (LONG x = area.left; x < area.right; x += 2)
            if ((GetPixel(dc, x, y) & 0xFFFFFF) != 0) ++lit;
    ReleaseDC(window, dc);
    return lit;
}

RECT client_rect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

// The child path: a child of the host that fills its client area, draws there,
// never takes the activation, follows the host's size and ends with it.
TEST_F(PreviewWindowTest, AsAChildFillsTheHostDrawsAndEndsWithIt) {
    PreviewWindow& window = open("/p 1 -r 7", true);
    ASSERT_TRUE(window.hwnd);
    const HWND handle = window.hwnd;
    EXPECT_EQ(parent, GetParent(handle));
    EXPECT_TRUE(GetWindowLongPtrA(handle, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(same_rect(client_on_screen(parent), window_rect(handle)));
    EXPECT_TRUE(same_rect(RECT{0, 0, client_width, client_height}, client_rect(handle)));
    EXPECT_EQ(client_width, Screen.width);
    EXPECT_EQ(client_height, Screen.height);

    SetActiveWindow(parent);
    std::atomic<int64_t> frames{0};
    window.runner.run_effect(std::make_unique<CountedLines>(frames, window.runner));
    pump_until(3000, [&frames] { return frames.load() > 200; });
    EXPECT_GT(lit_pixels(handle, RECT{0, 0, client_width, client_height}), 0) << "nothing drawn";
    EXPECT_NE(handle, GetActiveWindow());
    EXPECT_NE(handle, GetForegroundWindow());
    EXPECT_EQ(MA_NOACTIVATE, SendMessageA(handle, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(parent),
                                          MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)));

    // A larger host: the preview follows at the next look, black where it grew
    // until the next effect lays the picture out at the new size.
    RECT frame = window_rect(parent);
    SetWindowPos(parent, nullptr, 0, 0, frame.right - frame.left + 40, frame.bottom - frame.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.watch();
    EXPECT_TRUE(same_rect(client_on_screen(parent), window_rect(handle)));
    EXPECT_TRUE(same_rect(RECT{0, 0, client_width + 40, client_height + 30}, client_rect(handle)));
    pump_for(300);
    EXPECT_EQ(client_width, Screen.width);
    EXPECT_EQ(0, lit_pixels(handle, RECT{client_width + 2, 0, client_width + 40, client_height + 30}));
    window.runner.end_effect();
    EXPECT_TRUE(pump_until(2000, [] { return Screen.width == client_width + 40; }));
    EXPECT_EQ(client_height + 30, Screen.height);

    DestroyWindow(parent);
    const int32_t ended = ms_until_quit(1000);
    EXPECT_GE(ended, 0) << "the preview did not end within a second of its host";
    EXPECT_FALSE(IsWindow(handle));
}

// While the display is off the preview neither draws nor shows, and looks at
// its parent half as often; it still ends soon after the parent goes.
TEST_F(PreviewWindowTest, DrawsNothingWhileTheDisplayIsOff) {
    for (const char* cycling : {"no", "yes"}) {
        SCOPED_TRACE(cycling);
        settings::write(settings::true_colour_cycling, cycling);
        PreviewWindow& window = open("/p 1 -r 7");
        EXPECT_EQ(std::string(cycling) == "yes", window.runner.picture != nullptr);
        std::atomic<int64_t> frames{0};
        window.runner.run_effect(std::make_unique<CountedLines>(frames, window.runner));
        // A window of the thread that waits for its paint would end every slice.
        UpdateWindow(parent);
        ASSERT_TRUE(pump_until(2000, [&frames] { return frames > 0; }));
        EXPECT_EQ(PreviewWindow::watch_period_ms, window.watch_interval());

        // Sent from another thread while the preview draws, as Windows sends it.
        const HWND handle = window.hwnd;
        const int64_t before = frames.load();
        LRESULT told = 0;
        {
            Bystander system([&] {
                wait_until(2000, [&] { return frames.load() > before + 20; });
                told = tell_display(handle, display_off);
            });
            pump_until(3000, [&system] { return system.finished(); });
        }
        EXPECT_EQ(TRUE, told);
        EXPECT_GE(window.watch_interval(), 500u);
        const int64_t frames_off = frames;
        const int32_t shown_off = window.runner.picture ? window.runner.picture->presentations : 0;
        pump_for(2000);
        EXPECT_EQ(frames_off, frames);
        if (window.runner.picture) {
            EXPECT_EQ(shown_off, window.runner.picture->presentations);
        }
        EXPECT_FALSE(GetUpdateRect(window.hwnd, nullptr, FALSE));

        tell_display(window.hwnd, display_on);
        EXPECT_EQ(PreviewWindow::watch_period_ms, window.watch_interval());
        EXPECT_TRUE(pump_until(100, [&frames, frames_off] { return frames > frames_off; }));
        preview.reset();
        drain();
    }
    PreviewWindow& window = open("/p 1");
    tell_display(window.hwnd, display_off);
    const HWND handle = window.hwnd;
    DestroyWindow(parent);
    EXPECT_GE(ms_until_quit(1000), 0) << "the preview did not end within a second of its parent";
    EXPECT_FALSE(IsWindow(handle));
}

}  // namespace
