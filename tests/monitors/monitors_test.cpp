#include <gtest/gtest.h>

#include <windows.h>
#include <mutex>
#include <vector>

#include "app/application.h"
#include "framework/window.h"
#include "monitors/monitor_covers.h"
#include "monitors/monitors.h"
#include "runner/effect_runner.h"
#include "support/display_notice.h"

namespace {

class QuietWindow : public RunnerWindow {
public:
    bool no_msg() const override { return true; }
};

// The monitors a test makes up: the real primary and, beside it, a second one
// that comes and goes. Read by the watcher's thread too.
class MadeUpMonitors {
public:
    MadeUpMonitors() : primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)} { set(2); }
    void set(int count) {
        std::lock_guard<std::mutex> hold(lock);
        list.assign(1, primary);
        if (count == 2) list.push_back({primary.right, 0, primary.right + 640, 480});
    }
    std::vector<CoverRect> now() {
        std::lock_guard<std::mutex> hold(lock);
        return list;
    }
    const CoverRect primary;

private:
    std::mutex lock;
    std::vector<CoverRect> list;
};

// The window procedure of the stand-in saver window hands its monitors the
// messages the saver window hands them, and records what they judged.
Monitors* served = nullptr;
int display_changes = 0;
int judged_users = 0;

LRESULT CALLBACK stand_in_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (served && message == WM_TIMER) {
        if (served->settled_as_users(wparam)) ++judged_users;
        return 0;
    }
    MessageRecord record{message, wparam, lparam, 0};
    if (served && served->take_message(record)) ++display_changes;
    return DefWindowProcA(window, message, wparam, lparam);
}

struct PlatformCase {
    const char* name;
    Platform platform;
};

class MonitorsTest : public ::testing::TestWithParam<PlatformCase> {
protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = stand_in_procedure;
        window_class.hInstance = app.instance;
        window_class.lpszClassName = "QuorixMonitorsStandIn";
        RegisterClassA(&window_class);
        // As the saver window lies: over the primary, one pixel wider and higher.
        saver = CreateWindowExA(WS_EX_NOACTIVATE, "QuorixMonitorsStandIn", "saver", WS_POPUP, 0, 0,
                                made_up.primary.right + 1, made_up.primary.bottom + 1, nullptr, nullptr,
                                app.instance, nullptr);
        monitors = std::make_unique<Monitors>(GetParam().platform, "primary", runner, quiet,
                                              [this] { return made_up.now(); });
        served = monitors.get();
        display_changes = 0;
        judged_users = 0;
        monitors->attach(saver, false);
    }
    void TearDown() override {
        served = nullptr;
        monitors.reset();
        DestroyWindow(saver);
    }
    size_t covers() const {
        size_t count = 0;
        for (HWND cover = nullptr; (cover = FindWindowExA(nullptr, cover, MonitorCovers::class_name, nullptr));)
            ++count;
        return count;
    }
    // What Windows does when the monitors change: it sends the notice to every
    // top-level window, from the thread that changed them.
    void tell_display_changed() {
        const HWND window = saver;
        Bystander system([window] { SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600)); });
        pump_until(2000, [&system] { return system.finished(); });
    }

    QuietWindow quiet;
    EffectRunner runner{quiet};
    MadeUpMonitors made_up;
    HWND saver = nullptr;
    std::unique_ptr<Monitors> monitors;
};

// Windows tells every top-level window of a change, and nothing polls; Wine 8
// tells nothing when a monitor goes, and a watcher finds the change.
TEST_P(MonitorsTest, TheWindowsFollowTheMonitorsAsThePlatformTellsOfAChange) {
    ASSERT_EQ(1u, covers()) << "a cover over the second monitor";
    made_up.set(1);
    pump_for(3 * Monitors::watch_period_ms);
    if (GetParam().platform == Platform::windows) {
        EXPECT_EQ(1u, covers()) << "the monitors were polled";
        EXPECT_EQ(0, display_changes);
        tell_display_changed();
    }
    EXPECT_EQ(0u, covers());
    EXPECT_EQ(1, display_changes);
}

struct MoveCase {
    const char* name;
    POINT from;
    POINT to;
    PointerMove judged;
};

// The second monitor lies right of the primary (see MadeUpMonitors).
TEST_P(MonitorsTest, AFarMoveIsJudgedAtOnceUnlessItEndsOnAMonitorsEdge) {
    const LONG right = made_up.primary.right;
    const MoveCase cases[] = {
        {"within the primary", {100, 100}, {300, 200}, PointerMove::users},
        {"onto the second monitor", {100, 100}, {right + 300, 200}, PointerMove::users},
        {"from no monitor, where one went", {right + 300, 550}, {100, 100}, PointerMove::systems},
        {"onto the primary's last column", {100, 100}, {right - 1, 200}, PointerMove::undecided},
        {"onto the second monitor's first column", {100, 100}, {right, 200}, PointerMove::undecided},
    };
    for (const MoveCase& move : cases) {
        SCOPED_TRACE(move.name);
        EXPECT_EQ(move.judged, monitors->judge_far_move(move.from, move.to));
    }
}

// A jump to an edge that the monitors do not follow was the user's; one they
// follow, before the timer or after it, was the system's. No handler waits.
TEST_P(MonitorsTest, AJumpToAnEdgeIsTheUsersOnlyWhenTheMonitorsStayAsTheyWere) {
    const POINT edge{made_up.primary.right, 200};
    ASSERT_EQ(PointerMove::undecided, monitors->judge_far_move({100, 100}, edge));
    EXPECT_TRUE(pump_until(3 * Monitors::settle_ms, [] { return judged_users > 0; }));

    ASSERT_EQ(PointerMove::undecided, monitors->judge_far_move({100, 100}, edge));
    made_up.set(1);
    if (GetParam().platform == Platform::windows) tell_display_changed();
    ASSERT_TRUE(pump_until(3 * Monitors::watch_period_ms, [] { return display_changes > 0; }));
    EXPECT_EQ(PointerMove::systems, monitors->judge_far_move({100, 100}, {made_up.primary.right - 1, 200}))
        << "a jump to an edge right after a change was the change's";
    EXPECT_EQ(PointerMove::users, monitors->judge_far_move({100, 100}, {300, 200}))
        << "a hand that moves right after a change wakes at once";
    pump_for(2 * Monitors::settle_ms);
    EXPECT_EQ(1, judged_users);
}

INSTANTIATE_TEST_SUITE_P(Platforms, MonitorsTest,
                         ::testing::Values(PlatformCase{"windows", Platform::windows},
                                           PlatformCase{"wine", Platform::wine}),
                         [](const ::testing::TestParamInfo<PlatformCase>& info) { return info.param.name; });

}  // namespace
