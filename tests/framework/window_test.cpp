#include <gtest/gtest.h>

#include <windows.h>
#include <vector>
#include "app/application.h"
#include "framework/window.h"

namespace {

// Messages that reached the class procedure, i.e. went on past the object.
std::vector<UINT> passed_on;

LRESULT CALLBACK recording_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    passed_on.push_back(message);
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

bool was_passed_on(UINT message) {
    for (UINT m : passed_on)
        if (m == message) return true;
    return false;
}

// A frame that records which handler each message reached.
class RecordingWindow : public FrameWindow {
public:
    RecordingWindow() : FrameWindow("QuorixFrameworkTest") {
        creation_parameters.window_class.lpfnWndProc = recording_procedure;
        creation_parameters.window_class.lpszMenuName = nullptr;
        creation_parameters.style = WS_POPUP;
        creation_parameters.left = 10;
        creation_parameters.top = 20;
        creation_parameters.right = 109;
        creation_parameters.bottom = 69;
    }
    int on_key(MessageRecord& record) override { keys.push_back(record.message); return 1; }
    int on_message(MessageRecord& record) override { others.push_back(record.message); return 0; }
    int on_command(int id, int code) override {
        commands.push_back(id);
        codes.push_back(code);
        return FrameWindow::on_command(id, code);
    }
    int on_mouse(UINT message, LPARAM, WPARAM) override { mouse.push_back(message); return 1; }
    int on_size(RECT* client, WPARAM) override { size = *client; return 1; }
    int on_set_focus(Window* previous) override { focus_from = previous; return 1; }

    std::vector<UINT> keys, others, mouse;
    std::vector<int> commands, codes;
    RECT size{};
    Window* focus_from = reinterpret_cast<Window*>(1);
};

void drain_queue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        passed_on.clear();
        ASSERT_TRUE(window.create("Framework test"));
        passed_on.clear();
    }
    void TearDown() override {
        if (IsWindow(window.hwnd)) DestroyWindow(window.hwnd);
        drain_queue();
    }
    LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
        return SendMessageA(window.hwnd, message, wparam, lparam);
    }
    RecordingWindow window;
};

TEST_F(FrameworkTest, CreateSpansTheInclusiveRectangleAndKeepsAPointerSizedExtraWord) {
    RECT frame{};
    GetWindowRect(window.hwnd, &frame);
    EXPECT_EQ(10, frame.left);
    EXPECT_EQ(20, frame.top);
    EXPECT_EQ(100, frame.right - frame.left);
    EXPECT_EQ(50, frame.bottom - frame.top);
    EXPECT_EQ(static_cast<ULONG_PTR>(sizeof(void*)), GetClassLongPtrA(window.hwnd, GCL_CBWNDEXTRA));
    EXPECT_EQ(&window, Window::from_handle(window.hwnd));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(recording_procedure), window.previous_procedure);
}

TEST_F(FrameworkTest, SystemCommandsThatWouldEndOrStartASaverAreSwallowed) {
    EXPECT_EQ(0, send(WM_SYSCOMMAND, SC_SCREENSAVE));
    EXPECT_EQ(0, send(WM_SYSCOMMAND, SC_CLOSE));
    EXPECT_TRUE(IsWindow(window.hwnd));
    EXPECT_FALSE(was_passed_on(WM_SYSCOMMAND));
    EXPECT_TRUE(window.commands.empty());

    send(WM_SYSCOMMAND, SC_RESTORE);
    ASSERT_EQ(1u, window.commands.size());
    EXPECT_EQ(static_cast<int>(SC_RESTORE & 0xFFFF), window.commands[0]);
    EXPECT_EQ(0, window.codes[0]);
    EXPECT_TRUE(was_passed_on(WM_SYSCOMMAND));
}

TEST_F(FrameworkTest, KeyRangeGoesToOnKeyAndSystemKeyUpToOnMessage) {
    for (UINT message : {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_DEADCHAR, WM_SYSKEYDOWN}) send(message, 'A');
    send(WM_SYSKEYUP, VK_MENU);
    EXPECT_EQ((std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_DEADCHAR, WM_SYSKEYDOWN}), window.keys);
    EXPECT_EQ(std::vector<UINT>{WM_SYSKEYUP}, window.others);
    // on_message said "not handled", so the key went on to the previous procedure.
    EXPECT_TRUE(was_passed_on(WM_SYSKEYUP));
    EXPECT_FALSE(was_passed_on(WM_KEYDOWN));
}

TEST_F(FrameworkTest, MouseRangeTakesTheWheelsAndSideButtons) {
    const std::vector<UINT> mouse{WM_MOUSEMOVE, WM_MBUTTONDBLCLK, WM_MOUSEWHEEL, WM_XBUTTONDOWN,
                                  WM_XBUTTONUP, WM_XBUTTONDBLCLK, WM_MOUSEHWHEEL};
    for (UINT message : mouse) send(message);
    send(WM_PARENTNOTIFY);
    EXPECT_EQ(mouse, window.mouse);
    EXPECT_EQ(std::vector<UINT>{WM_PARENTNOTIFY}, window.others);
}

TEST_F(FrameworkTest, SizeAndFocusReachTheirHandlersWithDecodedArguments) {
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(123, 45));
    EXPECT_EQ(123, window.size.right - window.size.left);
    EXPECT_EQ(45, window.size.bottom - window.size.top);

    // A window that is not a framework window yields no object.
    HWND foreign = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                   app.instance, nullptr);
    send(WM_SETFOCUS, reinterpret_cast<WPARAM>(foreign));
    EXPECT_EQ(nullptr, window.focus_from);
    send(WM_SETFOCUS, reinterpret_cast<WPARAM>(window.hwnd));
    EXPECT_EQ(&window, window.focus_from);
    DestroyWindow(foreign);
}

TEST_F(FrameworkTest, DestroyPostsQuitAndStillPassesTheMessageOn) {
    DestroyWindow(window.hwnd);
    EXPECT_TRUE(was_passed_on(WM_DESTROY));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, message.wParam);
}

TEST_F(FrameworkTest, CloseCommandClosesTheFrameAndOtherCommandsDoNot) {
    send(WM_COMMAND, FrameWindow::close_command + 1);
    EXPECT_TRUE(IsWindow(window.hwnd));
    send(WM_COMMAND, FrameWindow::close_command);
    EXPECT_FALSE(IsWindow(window.hwnd));
}

TEST_F(FrameworkTest, ADeletedObjectNoLongerReceivesMessages) {
    HWND orphan = nullptr;
    {
        RecordingWindow doomed;
        ASSERT_TRUE(doomed.create("Doomed"));
        orphan = doomed.hwnd;
    }
    ASSERT_TRUE(IsWindow(orphan));
    EXPECT_EQ(nullptr, Window::from_handle(orphan));
    // Without an object the message gets neither a handler nor default processing.
    EXPECT_EQ(0, SendMessageA(orphan, WM_GETTEXTLENGTH, 0, 0));
    DestroyWindow(orphan);
}

TEST(DefaultRectangle, ADefaultPositionCreatesAWindowOfDefaultSize) {
    app.instance = GetModuleHandleA(nullptr);
    FrameWindow frame("QuorixDefaultFrame");
    creation_parameters.window_class.lpszMenuName = nullptr;
    ASSERT_TRUE(frame.create("Default frame"));
    RECT rect{};
    GetWindowRect(frame.hwnd, &rect);
    EXPECT_GT(rect.right - rect.left, 0);
    EXPECT_GT(rect.bottom - rect.top, 0);
    DestroyWindow(frame.hwnd);
    drain_queue();
}

TEST(MovedFar, NineteenPixelsIsNearAndTwentyOnEitherAxisIsFar) {
    EXPECT_FALSE(points_far_apart(POINT{100, 100}, POINT{119, 81}));
    EXPECT_TRUE(points_far_apart(POINT{100, 100}, POINT{120, 100}));
    EXPECT_TRUE(points_far_apart(POINT{100, 100}, POINT{100, 80}));
    EXPECT_TRUE(points_far_apart(POINT{LONG_MIN, 0}, POINT{LONG_MAX, 0}));

    ASSERT_TRUE(SetCursorPos(200, 200));
    EXPECT_FALSE(Window::moved_far(POINT{181, 219}));
    EXPECT_TRUE(Window::moved_far(POINT{200, 180}));
    EXPECT_TRUE(Window::moved_far(POINT{220, 200}));
}

}  // namespace
