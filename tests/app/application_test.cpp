#include <gtest/gtest.h>

#include <windows.h>
#include <climits>
#include "app/application.h"
#include "framework/window.h"
#include "savewin/saver_window.h"

namespace {

void drain_queue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// Sets the command line for one test and puts the old one back.
class CommandLine {
public:
    explicit CommandLine(const char* text) : saved(app.command_line) { app.command_line = text; }
    ~CommandLine() { app.command_line = saved; }
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

private:
    const char* saved;
};

TEST(Switches, AreCaseSensitiveSubstringsAnywhere) {
    CommandLine line("quorix.scr -lx /Sz");
    EXPECT_TRUE(app.has_switch("-l"));
    EXPECT_FALSE(app.has_switch("-x"));   // no parsing: "-lx" holds "-l" only
    EXPECT_FALSE(app.has_switch("-L"));
    EXPECT_TRUE(app.saver_requested());
    {
        CommandLine word("run--silently");
        EXPECT_TRUE(app.saver_requested());
    }
    for (const char* other : {"", "/c:1234", "/a", "-p /x"}) {
        CommandLine none(other);
        EXPECT_FALSE(app.saver_requested()) << other;
    }
}

TEST(Switches, NumbersAreReadRightAfterTheSwitchAndSaturate) {
    CommandLine line("-r123 -b -45 -tx -d99999999999999");
    EXPECT_EQ(123, app.switch_number("-r"));
    EXPECT_EQ(-45, app.switch_number("-b"));
    EXPECT_EQ(0, app.switch_number("-t"));
    EXPECT_EQ(LONG_MAX, app.switch_number("-d"));
    EXPECT_EQ(0, app.switch_number("-q"));
}

// Counts idle calls and ends the loop from a timer after a few ticks.
class LoopWindow : public FrameWindow {
public:
    LoopWindow(int polling_idles, WPARAM quit_code)
        : FrameWindow("QuorixLoopTest"), polling_idles(polling_idles), quit_code(quit_code) {
        creation_parameters.window_class.lpszMenuName = nullptr;
        creation_parameters.style = WS_POPUP;
        creation_parameters.left = creation_parameters.top = 0;
        creation_parameters.right = creation_parameters.bottom = 9;
    }
    int idle() override { return ++idle_calls <= polling_idles; }
    int on_timer(WPARAM) override {
        if (++ticks == 3) PostQuitMessage(static_cast<int>(quit_code));
        return 1;
    }
    int idle_calls = 0;
    int ticks = 0;

private:
    int polling_idles;
    WPARAM quit_code;
};

uint32_t run_loop(LoopWindow* window) {
    app.instance = GetModuleHandleA(nullptr);
    app.show_command = SW_SHOWNOACTIVATE;
    app.main_window.reset(window);
    EXPECT_TRUE(window->create("Loop test"));
    SetTimer(window->hwnd, 1, 10, nullptr);
    app.message_loop();
    DestroyWindow(window->hwnd);
    app.main_window.reset();
    drain_queue();
    return app.exit_code;
}

TEST(MessageLoop, BlocksFromTheFirstEmptyQueueWhenIdleSaysSo) {
    auto* window = new LoopWindow(0, 0);
    run_loop(window);
    // The timer ticks came through GetMessageA without another idle call.
    EXPECT_EQ(3, window->ticks);
    EXPECT_EQ(1, window->idle_calls);
}

TEST(MessageLoop, PollsWhileIdleAsksAndEndsWithTheQuitCode) {
    auto* window = new LoopWindow(5, 7);
    EXPECT_EQ(7u, run_loop(window));
    EXPECT_EQ(6, window->idle_calls);
}

TEST(Execute, ASecondStartWhileASaverWindowExistsEndsAtOnce) {
    WNDCLASSA saver_class{};
    saver_class.lpfnWndProc = DefWindowProcA;
    saver_class.hInstance = GetModuleHandleA(nullptr);
    saver_class.lpszClassName = SaverWindow::class_name;
    RegisterClassA(&saver_class);
    HWND other = CreateWindowExA(0, SaverWindow::class_name, "other saver", WS_POPUP, 0, 0, 5, 5,
                                 nullptr, nullptr, saver_class.hInstance, nullptr);
    ASSERT_NE(nullptr, other);
    app.exit_code = 0;
    for (const char* line : {"/s", "/a", ""}) {
        CommandLine command(line);
        app.execute();   // neither a saver window nor a modal dialog may start
        EXPECT_EQ(nullptr, swin) << line;
        EXPECT_FALSE(app.main_window) << line;
    }
    EXPECT_EQ(0u, app.exit_code);
    DestroyWindow(other);
    UnregisterClassA(SaverWindow::class_name, saver_class.hInstance);
}

TEST(Execute, APreviewRequestEndsAtOnceEvenWithTheRunSwitch) {
    CommandLine command("/s /p 1234");
    app.exit_code = 0;
    app.execute();
    EXPECT_EQ(nullptr, swin);
    EXPECT_EQ(nullptr, FindWindowA(SaverWindow::class_name, nullptr));
    EXPECT_EQ(0u, app.exit_code);
}

TEST(Execute, AMissingSaverWindowEndsWithAFailureCodeAndNothingToldToWindows) {
    app.exit_code = 0;
    app.run_saver(nullptr);
    EXPECT_EQ(Application::failure_exit_code, app.exit_code);
    EXPECT_FALSE(app.saver_running_told);
    EXPECT_FALSE(app.main_window);
}

TEST(Execute, TheEndOfASaverRunIsToldOnlyWhenItsStartWas) {
    app.set_saver_running(false);
    EXPECT_FALSE(app.saver_running_told);
    app.set_saver_running(true);
    EXPECT_TRUE(app.saver_running_told);
    app.set_saver_running(false);
    EXPECT_FALSE(app.saver_running_told);
}

}  // namespace
