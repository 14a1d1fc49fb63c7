#include <gtest/gtest.h>

#include <windows.h>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include "app/application.h"
#include "gfx/cycling_picture.h"
#include "monitors/mirror_presenter.h"
#include "saver/saver.h"
#include "savewin/counted_lines.h"
#include "savewin/saver_window.h"
#include "savewin/settings.h"
#include "savewin/settings_backup.h"
#include "support/display_notice.h"
#include "trace/temp_folder.h"

namespace {

// Counts the frames it draws while its runner takes the display for off: a
// frame after the notice is one too many, however quickly it follows.
class WatchedLines : public CountedLines {
public:
    WatchedLines(std::atomic<int64_t>& frames, EffectRunner& runner)
        : CountedLines(frames, runner), runner(runner) {}
    void frame() override {
        if (runner.display_off()) ++frames_while_off;
        CountedLines::frame();
    }
    EffectRunner& runner;
    int64_t frames_while_off = 0;
};

struct Configuration {
    const char* name;
    const char* true_colour_cycling;
    const char* monitors;
};

// The saver window built in this process, shown, with its effect replaced by
// counted lines that have most of their minute left. Nothing is posted to it:
// a slice ends only on a message, as in a dark room with no input.
class DisplayStateTest : public ::testing::TestWithParam<Configuration> {
protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        tracing = false;
        developer_mode = false;
        GetCursorPos(&initial_cursor);
    }
    void TearDown() override {
        if (window && IsWindow(window->hwnd)) DestroyWindow(window->hwnd);
        window.reset();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        tracing = false;
        app.command_line = "";
    }
    SaverWindow& open(const Configuration& configuration, const char* command_line = "/s") {
        settings::write(settings::true_colour_cycling, configuration.true_colour_cycling);
        settings::write(settings::monitors, configuration.monitors);
        app.command_line = command_line;
        window = std::make_unique<SaverWindow>();
        auto lines = std::make_unique<WatchedLines>(frames, window->runner);
        watched = lines.get();
        window->runner.run_effect(std::move(lines));
        ShowWindow(window->hwnd, SW_SHOWNA);
        return *window;
    }
    // Lets the saver draw until another thread sees the frames go past the
    // count; that thread then ends the slice, as input would, and goes on
    // posting until this thread has come out of it: a slice that began after
    // the first message was handled would otherwise run the effect's minute.
    bool draws_past(int64_t count) {
        const HWND handle = window->hwnd;
        std::atomic<bool> reached{false};
        std::atomic<bool> out{false};
        {
            Bystander other([this, handle, count, &reached, &out] {
                reached = wait_until(3000, [this, count] { return frames.load() > count; });
                do {
                    PostMessageA(handle, WM_NULL, 0, 0);
                } while (!wait_until(20, [&out] { return out.load(); }));
            });
            pump_until(5000, [&reached] { return reached.load(); });
            out = true;
        }
        return reached;
    }
    // From another thread while the saver draws, with nothing posted: the
    // notice that the display went off; then what followed it for 150 ms.
    struct AfterNotice {
        bool drew_before = false;
        int64_t frames_at = 0;
        int64_t frames_later = 0;
        int32_t shown_at = 0;
        int32_t shown_later = 0;
    };
    AfterNotice display_goes_off_while_drawing() {
        AfterNotice seen;
        const HWND handle = window->hwnd;
        EffectRunner& runner = window->runner;
        const int64_t before = frames.load();
        {
            Bystander other([&] {
                seen.drew_before = wait_until(3000, [&] { return frames.load() > before + 100; });
                tell_display(handle, display_off);
                seen.frames_at = frames.load();
                seen.shown_at = runner.showings.load();
                Sleep(150);
                seen.frames_later = frames.load();
                seen.shown_later = runner.showings.load();
                // A runner that drew on would never end its slice: end it, so
                // that the test fails rather than hangs.
                PostMessageA(handle, WM_NULL, 0, 0);
            });
            pump_until(5000, [&other] { return other.finished(); });
        }
        return seen;
    }

    SettingsBackup backup;
    TempFolder temp;
    std::unique_ptr<SaverWindow> window;
    std::atomic<int64_t> frames{0};
    WatchedLines* watched = nullptr;
};

// Off in the middle of a slice: not a frame, not a showing, no paint asked for
// and no fine timer; on again: the same effect draws again at once.
TEST_P(DisplayStateTest, NothingIsDrawnOrShownOnceTheDisplayGoesOff) {
    SaverWindow& saver = open(GetParam());
    EXPECT_EQ(std::string(GetParam().true_colour_cycling) == "yes", saver.runner.picture != nullptr);
    EXPECT_EQ(std::string(GetParam().monitors) == "mirror", saver.monitors.mirror_presenter() != nullptr);
    const Saver* effect = saver.current_saver.get();
    const int32_t started = effect->start_time;

    const AfterNotice seen = display_goes_off_while_drawing();
    ASSERT_TRUE(seen.drew_before) << "the effect never drew";
    EXPECT_TRUE(saver.runner.display_off());
    EXPECT_EQ(0, watched->frames_while_off) << "a frame was drawn after the notice";
    EXPECT_EQ(seen.frames_at, seen.frames_later) << "frames went on after the notice";
    EXPECT_EQ(seen.shown_at, seen.shown_later) << "the picture was shown after the notice";
    EXPECT_FALSE(GetUpdateRect(saver.hwnd, nullptr, FALSE)) << "a paint is still asked for";
    // The multimedia timer's library is never loaded: nothing can hold the
    // system timer's fine resolution.
    EXPECT_EQ(nullptr, GetModuleHandleA("winmm.dll"));

    const int64_t frames_off = frames.load();
    const int32_t shown_off = saver.runner.showings.load();
    pump_for(3000);
    EXPECT_EQ(frames_off, frames.load());
    EXPECT_EQ(shown_off, saver.runner.showings.load());
    EXPECT_TRUE(IsWindow(saver.hwnd));

    tell_display(saver.hwnd, display_on);
    EXPECT_FALSE(saver.runner.display_off());
    EXPECT_TRUE(draws_past(frames_off + 50));
    EXPECT_EQ(effect, saver.current_saver.get());
    // Three seconds asleep do not count toward the effect's length: its start
    // moved on by them.
    EXPECT_GE(saver.current_saver->start_time - started, 2900);
}

INSTANTIATE_TEST_SUITE_P(Runs, DisplayStateTest,
                         ::testing::Values(Configuration{"Window", "no", "primary"},
                                           Configuration{"TrueColourCycling", "yes", "primary"},
                                           Configuration{"Mirror", "no", "mirror"},
                                           Configuration{"MirrorCycling", "yes", "mirror"}),
                         [](const ::testing::TestParamInfo<Configuration>& info) { return info.param.name; });

class DisplayStateWindowTest : public DisplayStateTest {};

// Windows sends the current state right after the registration: a run that
// starts with the display off draws nothing until it comes on.
TEST_F(DisplayStateWindowTest, ARunThatStartsWithTheDisplayOffDrawsNothingUntilItComesOn) {
    SaverWindow& saver = open(Configuration{"", "no", "primary"});
    const HWND handle = saver.hwnd;
    // The notice comes before the first paint, as it does right after the
    // window registers for it.
    ValidateRect(handle, nullptr);
    {
        Bystander system([handle] { tell_display(handle, display_off); });
        pump_until(2000, [&system] { return system.finished(); });
    }
    InvalidateRect(handle, nullptr, TRUE);
    UpdateWindow(handle);
    pump_for(500);
    EXPECT_EQ(0, frames.load());
    EXPECT_EQ(0, saver.runner.showings.load());
    tell_display(handle, display_on);
    EXPECT_TRUE(draws_past(50));
}

TEST_F(DisplayStateWindowTest, DimmedCountsAsOnAndTheOlderNoticeWorksToo) {
    SaverWindow& saver = open(Configuration{"", "no", "primary"});
    tell_display(saver.hwnd, display_dimmed);
    EXPECT_FALSE(saver.runner.display_off());
    EXPECT_TRUE(draws_past(50));

    tell_display(saver.hwnd, display_off, monitor_power_setting);
    EXPECT_TRUE(saver.runner.display_off());
    tell_display(saver.hwnd, display_on, monitor_power_setting);
    EXPECT_FALSE(saver.runner.display_off());

    // A notice of another setting, or one too short to hold a state, changes nothing.
    tell_display(saver.hwnd, display_off, GUID{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}});
    EXPECT_FALSE(saver.runner.display_off());
    POWERBROADCAST_SETTING short_notice{display_state_setting, 0, {0}};
    SendMessageA(saver.hwnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&short_notice));
    EXPECT_FALSE(saver.runner.display_off());
}

TEST_F(DisplayStateWindowTest, AKeyWhileTheDisplayIsOffWakesTheSaver) {
    SaverWindow& saver = open(Configuration{"", "no", "primary"});
    display_goes_off_while_drawing();
    ASSERT_TRUE(saver.runner.display_off());
    const HWND handle = saver.hwnd;
    SendMessageA(handle, WM_KEYDOWN, VK_CONTROL, 0);
    EXPECT_FALSE(IsWindow(handle));
    // The run's exit code is that of the quit message the closed window posts.
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, quit.wParam);
}

// The trace shows the display going off and on, in the form of every entry.
TEST_F(DisplayStateWindowTest, TheTraceRecordsTheDisplayGoingOffAndOn) {
    SaverWindow& saver = open(Configuration{"", "no", "primary"}, "/s -l");
    tell_display(saver.hwnd, display_off);
    tell_display(saver.hwnd, display_off);   // no change, no entry
    tell_display(saver.hwnd, display_dimmed);
    tell_display(saver.hwnd, display_on);    // still on
    const std::string trace = temp.read("trace.txt");
    const std::string off = "savewin line 612 : display = 0\r\n";
    const std::string dimmed = "savewin line 612 : display = 2\r\n";
    ASSERT_NE(std::string::npos, trace.find(off)) << trace;
    EXPECT_EQ(trace.find(off), trace.rfind(off));
    EXPECT_NE(std::string::npos, trace.find(dimmed, trace.find(off)));
    EXPECT_EQ(std::string::npos, trace.find("savewin line 612 : display = 1"));
}

}  // namespace
