#include <gtest/gtest.h>

#include <windows.h>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include "app/application.h"
#include "gfx/cycling_picture.h"
#include "saver/saver.h"
#include "savewin/counted_lines.h"
#include "savewin/display_notice.h"
#include "savewin/mirror_presenter.h"
#include "savewin/saver_window.h"
#include "savewin/settings.h"
#include "savewin/settings_backup.h"
#include "trace/temp_folder.h"

namespace {

// Every presentation the window's run makes: the cycling picture's and the mirrors'.
int32_t presentations(const SaverWindow& window) {
    int32_t count = 0;
    if (window.runner.picture) count += window.runner.picture->presentations;
    if (window.mirror_presenter()) count += window.mirror_presenter()->presentations;
    return count;
}

struct Configuration {
    const char* name;
    const char* true_colour_cycling;
    const char* monitors;
};

// The saver window built in this process, shown, with its effect replaced by
// counted lines.
class DisplayStateTest : public ::testing::TestWithParam<Configuration> {
protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        tracing = false;
        developer_mode = false;
        GetCursorPos(&initial_cursor);
    }
    void TearDown() override {
        ender.reset();
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
        window->current_saver = std::make_unique<CountedLines>(frames);
        ShowWindow(window->hwnd, SW_SHOWNA);
        ender = std::make_unique<SliceEnder>(window->hwnd);
        return *window;
    }
    bool drawing_goes_on(DWORD milliseconds) {
        const int64_t before = frames;
        return pump_until(milliseconds, [this, before] { return frames > before; });
    }

    SettingsBackup backup;
    TempFolder temp;
    std::unique_ptr<SaverWindow> window;
    std::unique_ptr<SliceEnder> ender;
    int64_t frames = 0;
};

// Off: not a frame, not a presentation, and no paint asked for; on again: the
// same effect draws again at once.
TEST_P(DisplayStateTest, NothingIsDrawnOrShownWhileTheDisplayIsOff) {
    SaverWindow& saver = open(GetParam());
    EXPECT_EQ(std::string(GetParam().true_colour_cycling) == "yes", saver.runner.picture != nullptr);
    EXPECT_EQ(std::string(GetParam().monitors) == "mirror", saver.mirror_presenter() != nullptr);
    ASSERT_TRUE(drawing_goes_on(2000)) << "the effect never drew";
    // A second and a half left: two seconds asleep would end the effect if
    // they counted toward its length.
    saver.current_saver->start_time = static_cast<int32_t>(std::clock()) - (Saver::lifetime_ticks - 1500);
    pump_for(200);

    EXPECT_EQ(TRUE, tell_display(saver.hwnd, display_off));
    EXPECT_TRUE(saver.runner.display_off());
    pump_for(50);   // the slice that was running when the notice came ends
    const int64_t frames_off = frames;
    const int32_t shown_off = presentations(saver);
    const Saver* effect = saver.current_saver.get();
    pump_for(2000);
    EXPECT_EQ(frames_off, frames);
    EXPECT_EQ(shown_off, presentations(saver));
    const auto* lines = dynamic_cast<const LinesSaver*>(saver.current_saver.get());
    ASSERT_TRUE(lines);
    EXPECT_FALSE(lines->frame_wait.holds_fine_resolution()) << "the system timer is kept fine for no frame";
    EXPECT_FALSE(GetUpdateRect(saver.hwnd, nullptr, FALSE)) << "a paint is still asked for";
    EXPECT_TRUE(IsWindow(saver.hwnd));

    tell_display(saver.hwnd, display_on);
    EXPECT_FALSE(saver.runner.display_off());
    EXPECT_TRUE(drawing_goes_on(100));
    EXPECT_EQ(effect, saver.current_saver.get());
    EXPECT_TRUE(lines->frame_wait.holds_fine_resolution());
    // Two seconds asleep did not bring the effect closer to its end.
    EXPECT_EQ(0, saver.current_saver->done);
}

INSTANTIATE_TEST_SUITE_P(Runs, DisplayStateTest,
                         ::testing::Values(Configuration{"Window", "no", "primary"},
                                           Configuration{"TrueColourCycling", "yes", "primary"},
                                           Configuration{"Mirror", "no", "mirror"},
                                           Configuration{"MirrorCycling", "yes", "mirror"}),
                         [](const ::testing::TestParamInfo<Configuration>& info) { return info.param.name; });

class DisplayStateWindowTest : public DisplayStateTest {};

TEST_F(DisplayStateWindowTest, DimmedCountsAsOnAndTheOlderNoticeWorksToo) {
    SaverWindow& saver = open(Configuration{"", "no", "primary"});
    tell_display(saver.hwnd, display_dimmed);
    EXPECT_FALSE(saver.runner.display_off());
    EXPECT_TRUE(drawing_goes_on(2000));

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
    tell_display(saver.hwnd, display_off);
    pump_for(100);
    const HWND handle = saver.hwnd;
    ender.reset();
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
