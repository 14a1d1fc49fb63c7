#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <windows.h>
#include <psapi.h>

#include "app/application.h"
#include "effect_frames.h"
#include "gfx/color.h"
#include "gfx/pen_brush.h"
#include "saver/lines_saver.h"
#include "saver/palette.h"
#include "saver/saver.h"
#include "savewin/saver_window.h"
#include "support/memory_context.h"
#include "support/screen_scope.h"
#include "trace/report.h"

namespace {

// A saver window built with a command line, as a "/s" run builds it, and
// everything it changes put back afterwards.
class SaverRun {
public:
    explicit SaverRun(const char* command_line)
        : command(command_line),
          saved_tracing(tracing),
          saved_developer_mode(developer_mode),
          saved_count(saver_count),
          saved_waited(start_value_waited) {
        tracing = false;
        saver_count = 0;
        start_value_waited = false;
        window = std::make_unique<SaverWindow>();
    }
    ~SaverRun() {
        if (window->hwnd) DestroyWindow(window->hwnd);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        window.reset();
        tracing = saved_tracing;
        developer_mode = saved_developer_mode;
        saver_count = saved_count;
        start_value_waited = saved_waited;
    }
    SaverRun(const SaverRun&) = delete;
    SaverRun& operator=(const SaverRun&) = delete;

    Saver& saver() { return *window->current_saver; }

    ScreenScope screen;
    CommandLineScope command;
    std::unique_ptr<SaverWindow> window;

private:
    bool saved_tracing;
    bool saved_developer_mode;
    uint32_t saved_count;
    bool saved_waited;
};

// Draws of the palette's construction: the animation test on a palette display,
// three skews and the private generator's seed.
int palette_construction_draws() { return true_color ? 4 : 5; }

void skip(RandomGenerator& rand, int count) {
    for (int i = 0; i < count; ++i) rand.next();
}

std::vector<std::string> trace_lines() {
    std::ifstream file(trace_file_path(), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

size_t private_bytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

// One effect change as the window makes it, then some frames of the new effect.
void change_and_draw(SaverWindow& window, MemoryContext& context, int32_t frames) {
    window.next_saver();
    LinesSaver* lines = dynamic_cast<LinesSaver*>(window.current_saver.get());
    ASSERT_NE(nullptr, lines);
    draw_frames(*lines, context, frames);
}

void expect_palette_shown(const Palette& palette) {
    std::vector<PALETTEENTRY> shown(static_cast<size_t>(palette.size));
    GetPaletteEntries(palette.handle(), 0, static_cast<UINT>(palette.size), shown.data());
    for (int32_t i = 0; i < palette.size; ++i) {
        ASSERT_EQ(palette.entry(i).peRed, shown[static_cast<size_t>(i)].peRed) << i;
        ASSERT_EQ(palette.entry(i).peBlue, shown[static_cast<size_t>(i)].peBlue) << i;
    }
}

}  // namespace

TEST(Scheduler, FirstEffectFollowsTheDrawOrder) {
    bool type_seen[3] = {};
    for (int32_t seed : {4242, 1, 99, 123456, 7, 31337, 2, 808}) {
        const std::string command = "/s -r" + std::to_string(seed);
        SaverRun run(command.c_str());
        RandomGenerator reference(seed);
        skip(reference, palette_construction_draws());
        reference.next();   // the prior value
        const int32_t choice = reference.draw(2, 2);
        EXPECT_EQ(1u, saver_count);
        ASSERT_NE(nullptr, run.window->current_saver);
        EXPECT_EQ(choice + 1, run.saver().type()) << seed;
        EXPECT_EQ(reference.next(), run.saver().rand.seed()) << seed;
        type_seen[run.saver().type()] = true;
    }
    EXPECT_TRUE(type_seen[1] && type_seen[2]);
}

TEST(Scheduler, LaterEffectsRebuildAndShowThePaletteFirst) {
    SaverRun run("/s -r5");
    Palette& palette = *Screen.palette;
    const int32_t first_build = palette.build_seed;
    app.rand.reseed(2718);
    run.window->next_saver();

    RandomGenerator reference(2718);
    skip(reference, 3);   // the skews
    EXPECT_EQ(reference.next(), palette.build_seed);
    EXPECT_NE(first_build, palette.build_seed);
    reference.next();
    const int32_t choice = reference.draw(2, 2);
    EXPECT_EQ(2u, saver_count);
    EXPECT_EQ(choice + 1, run.saver().type());
    EXPECT_EQ(reference.next(), run.saver().rand.seed());
    expect_palette_shown(palette);
}

TEST(Scheduler, TracingChangesNoDraw) {
    SaverRun run("/s -r11");
    int32_t seeds[2];
    int32_t following[2];
    for (int traced = 0; traced < 2; ++traced) {
        tracing = traced != 0;
        app.rand.reseed(-424242);
        run.window->next_saver();
        seeds[traced] = run.saver().rand.seed();
        following[traced] = app.rand.next();
    }
    tracing = false;
    EXPECT_EQ(seeds[0], seeds[1]);
    EXPECT_EQ(following[0], following[1]);
}

TEST(Scheduler, SummaryLineStartsAFreshTraceFile) {
    SaverRun run("/s -r3");
    tracing = true;
    report("trace", "%s", "left from the previous effect");
    const uint32_t saved_start = app.start_ticks;
    app.start_ticks = static_cast<uint32_t>(std::clock()) - 150000;   // two and a half minutes ago
    app.rand.reseed(-5);
    run.window->next_saver();
    app.start_ticks = saved_start;
    const std::vector<std::string> lines = trace_lines();
    ASSERT_GE(lines.size(), 8u);

    // A negative seed prints as the unsigned long it is passed as.
    const std::string expected_tail = ", " + std::string(run.window->version.text()) +
                                      ", 32b, 4294967291, 640 x 480, " + std::to_string(Screen.palette->size) +
                                      ", " + std::to_string(Screen.palette->bits_per_pixel) + ", 2";
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\d\d-[A-Z][a-z]{2}-\d{4}( \d\d:\d\d:\d\d)?, .*)")))
        << lines[0];
    EXPECT_EQ(expected_tail, lines[0].substr(lines[0].size() - std::min(lines[0].size(), expected_tail.size())));
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(savewin2 line 155 : prior_rand = \d+)"))) << lines[1];
    EXPECT_EQ("savewin2 line 162 : dur = 2", lines[2]);
    EXPECT_EQ("savewin2 line 167 : svr = " + std::to_string(run.saver().type()), lines[3]);
    EXPECT_EQ("saver2 line 49 : rand.seed() = " + std::to_string(run.saver().rand.seed()), lines[4]);
    EXPECT_EQ("saver2 line 85 : swin->no_msg() = 1", lines[5]);
    std::ostringstream printed;
    printed << run.saver();
    EXPECT_EQ("savewin2 line 183 : swin->no_msg() << \"\\r\\n\" << *current_saver = 1", lines[lines.size() - 2]);
    EXPECT_EQ(printed.str(), lines.back());
    tracing = false;
}

TEST(Scheduler, DeveloperModeAddsTheSkews) {
    SaverRun run("/s -r3");
    tracing = true;
    developer_mode = true;
    const Palette& palette = *Screen.palette;
    // The skews of the palette the finished effect used, before the rebuild.
    const std::string skews = "rgb " + std::to_string(palette.skew_red) + " " +
                              std::to_string(palette.skew_green) + " " + std::to_string(palette.skew_blue);
    run.window->next_saver();
    const std::vector<std::string> lines = trace_lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(skews, lines[1]);
    developer_mode = false;
    tracing = false;
    std::remove(trace_file_path().c_str());
}

TEST(Scheduler, KeptTraceFilesGrowInsteadOfStartingAfresh) {
    const char* commands[] = {"/s -r3", "/s -r3 -d", "/s -r3"};
    for (int variant = 0; variant < 3; ++variant) {
        SaverRun run(commands[variant]);
        if (variant == 0) run.window->keep_trace = 1;
        if (variant == 2) run.window->state = 1;
        tracing = true;
        std::remove(trace_file_path().c_str());
        report("trace", "%s", "earlier effect");
        run.window->next_saver();
        const std::vector<std::string> lines = trace_lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ("earlier effect", lines[0]) << variant;
        tracing = false;
        std::remove(trace_file_path().c_str());
    }
}

TEST(Scheduler, StartValueSearchRunsOnceBeforeTheFirstChoice) {
    RandomGenerator reference(77);
    skip(reference, palette_construction_draws() + 5);
    const int32_t wanted = reference.next();
    const std::string command = "/s -r77 -t" + std::to_string(wanted);
    SaverRun run(command.c_str());
    // The search waits for the first paint, when input can reach the window.
    EXPECT_EQ(nullptr, run.window->current_saver);
    EXPECT_EQ(0u, saver_count);
    run.window->start_first_effect();
    const int32_t choice = reference.draw(2, 2);
    EXPECT_TRUE(start_value_waited);
    EXPECT_EQ(choice + 1, run.saver().type());
    EXPECT_EQ(reference.next(), run.saver().rand.seed());

    // The next effect draws its prior value again.
    app.rand.reseed(9);
    run.window->next_saver();
    RandomGenerator later(9);
    skip(later, 3);
    later.next();   // the palette's seed
    later.next();   // the prior value
    later.draw(2, 2);
    EXPECT_EQ(later.next(), run.saver().rand.seed());
}

TEST(Scheduler, StartValueSearchEndsOnAWaitingMessage) {
    SaverRun run("/s -r1");
    app.command_line = "/s -t5";   // put back by the run
    start_value_waited = false;
    PostMessageA(run.window->hwnd, WM_USER, 0, 0);
    run.window->next_saver();
    EXPECT_TRUE(start_value_waited);
    EXPECT_NE(nullptr, run.window->current_saver);
    EXPECT_EQ(2u, saver_count);
}

// Before the window shows no input can end the search, so a value outside the
// generator's range would search forever: it is skipped without a draw.
TEST(Scheduler, StartValueOutsideTheGeneratorsRangeIsNotSearched) {
    for (const char* command : {"/s -t-1", "/s -t1000000000"}) {
        SaverRun run("/s -r1");
        app.command_line = command;
        start_value_waited = false;
        app.rand.reseed(31);
        run.window->runner.run_effect(nullptr);
        run.window->next_saver();
        RandomGenerator reference(31);
        reference.draw(2, 2);
        EXPECT_TRUE(start_value_waited) << command;
        EXPECT_EQ(reference.next(), run.saver().rand.seed()) << command;
    }
}

TEST(Scheduler, ManyEffectChangesLeaveNoGdiObjectOrMemoryBehind) {
    SaverRun run("/s -r2026");
    MemoryContext context(Screen.width, Screen.height);
    for (int i = 0; i < 20; ++i) change_and_draw(*run.window, context, 10);
    const GdiCounts before = gdi_counts;
    const size_t memory_before = private_bytes();

    for (int i = 0; i < 150; ++i) change_and_draw(*run.window, context, 10);
    run.window->runner.run_effect(nullptr);

    const uint64_t created = gdi_counts.created - before.created;
    EXPECT_GT(created, 1000u);
    EXPECT_EQ(created, gdi_counts.deleted - before.deleted);
    const double growth = (static_cast<double>(private_bytes()) - static_cast<double>(memory_before)) / 1024;
    std::printf("effect changes: %llu pens and brushes made and deleted, memory %+.0f KiB\n",
                static_cast<unsigned long long>(created), growth);
    EXPECT_LT(growth, 512.0);
}

TEST(Scheduler, SaversHonourThePaletteCyclingSwitch) {
    SaverRun run("/s -r8");
    if (!Screen.palette->palette_device) GTEST_SKIP() << "cycling needs the palette display";
    int cycling[2] = {};
    for (uint8_t on : {0, 1}) {
        run.window->palette_cycling = on;
        for (int i = 0; i < 40; ++i) {
            run.window->next_saver();
            cycling[on] += run.saver().rotation_mode != 0;
        }
    }
    EXPECT_EQ(0, cycling[0]);
    EXPECT_GT(cycling[1], 5);
}
