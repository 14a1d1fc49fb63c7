#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <vector>

#include "app/application.h"
#include "gfx/pen_brush.h"
#include "saver/palette.h"
#include "saver/saver.h"
#include "support/memory_context.h"
#include "support/screen_scope.h"

namespace {

// A saver whose frame draws one line and notes what it saw.
class ProbeSaver : public Saver {
public:
    void run() override {
        ++runs;
        context_seen = dc;
        palette_seen = GetCurrentObject(dc->hdc, OBJ_PAL);
        Pen pen(Color(0x00FFFFFF));
        dc->select_pen(pen.handle);
        MoveToEx(dc->hdc, 0, 0, nullptr);
        LineTo(dc->hdc, 4, 0);
        // Left selected on purpose: run_on puts the previous pen back.
        kept_pen = std::make_unique<Pen>(Color(0x000000FF));
        dc->select_pen(kept_pen->handle);
    }
    int runs = 0;
    DrawContext* context_seen = nullptr;
    HGDIOBJ palette_seen = nullptr;
    std::unique_ptr<Pen> kept_pen;
};

std::vector<PALETTEENTRY> entries_of(const Palette& palette) {
    std::vector<PALETTEENTRY> entries;
    for (int32_t i = 0; i < palette.size; ++i) entries.push_back(palette.entry(i));
    return entries;
}

bool same(const std::vector<PALETTEENTRY>& a, const std::vector<PALETTEENTRY>& b) {
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].peRed != b[i].peRed || a[i].peGreen != b[i].peGreen || a[i].peBlue != b[i].peBlue)
            return false;
    return a.size() == b.size();
}

// A cycler with fixed periods, as the window's keys can set them.
void set_cycler(Saver& saver, int32_t mode, int32_t period, int32_t reversal) {
    saver.rotation_mode = mode;
    saver.rotation_period = saver.rotation_countdown = period;
    saver.reversal_period = saver.reversal_countdown = reversal;
}

// The palette after one step in the given direction over the whole range.
std::vector<PALETTEENTRY> stepped(std::vector<PALETTEENTRY> entries, int32_t mode) {
    if (mode == 1)
        std::rotate(entries.begin(), entries.begin() + 1, entries.end());
    else
        std::rotate(entries.begin(), entries.end() - 1, entries.end());
    return entries;
}

}  // namespace

TEST(SaverBase, TakesOneSeedFromTheProgramGeneratorAndFiftyValues) {
    ScreenScope scope(true_colour_caps());
    app.rand.reseed(777);
    RandomGenerator program(777);
    ProbeSaver saver;
    const int32_t seed = program.next();
    EXPECT_EQ(seed, saver.rand.seed());
    EXPECT_EQ(program.next(), app.rand.next());   // nothing else came from app.rand

    RandomGenerator own(seed);
    ASSERT_EQ(50u, saver.values.count());
    for (int32_t i = 0; i < 50; ++i) EXPECT_FLOAT_EQ(static_cast<float>(own.fraction()), saver.values[i]);
    EXPECT_EQ(0, saver.done);
    EXPECT_EQ(0, saver.type());
}

TEST(SaverBase, WithoutAPaletteDeviceOneFractionDecidesNoRotation) {
    for (const DisplayCaps& caps : {true_colour_caps(), sixteen_colour_caps()}) {
        ScreenScope scope(caps);
        const Palette& palette = scope.palette();
        for (int32_t s = 1; s <= 30; ++s) {
            app.rand.reseed(s);
            ProbeSaver saver;
            EXPECT_EQ(0, saver.rotation_mode);
            // 50 values, the rotation fraction, the period, the spread and the reversal.
            RandomGenerator own(saver.rand.seed());
            for (int i = 0; i < 54; ++i) own.next();
            EXPECT_EQ(own.next(), saver.rand.next());
            EXPECT_EQ(0, saver.rotation_range.first);
            EXPECT_EQ(palette.size - 1, saver.rotation_range.last);
            EXPECT_GE(saver.rotation_period, palette.ramp_count);
            EXPECT_LE(saver.rotation_period, palette.ramp_count + 9);
            EXPECT_EQ(saver.rotation_period, saver.rotation_countdown);
            EXPECT_GE(saver.reversal_period, 0);
            EXPECT_LT(saver.reversal_period, palette.size * 10);
            EXPECT_EQ(saver.reversal_period, saver.reversal_countdown);
        }
    }
}

TEST(SaverBase, OnAPaletteDeviceHalfTheSaversCycle) {
    ScreenScope scope(palette_display_caps());
    int cycling = 0;
    bool seen[3] = {};
    for (int32_t s = 1; s <= 200; ++s) {
        app.rand.reseed(s);
        ProbeSaver saver;
        ASSERT_TRUE(saver.rotation_mode >= 0 && saver.rotation_mode <= 2);
        seen[saver.rotation_mode] = true;
        RandomGenerator own(saver.rand.seed());
        for (int i = 0; i < 50; ++i) own.next();
        const bool asked = own.fraction() >= 0.5;
        cycling += asked;
        // A mode was drawn exactly when the first fraction asked for one.
        for (int i = 0; i < (asked ? 4 : 3); ++i) own.next();
        EXPECT_EQ(own.next(), saver.rand.next()) << s;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
    EXPECT_NEAR(100, cycling, 25);
}

TEST(SaverBase, PrintShowsTypeSeedAndPeriod) {
    ScreenScope scope(true_colour_caps());
    app.rand.reseed(5);
    ProbeSaver saver;
    std::ostringstream expected;
    expected << " s 0 gdi 0 mem 0  seed " << saver.rand.seed() << " " << saver.rotation_period;
    std::ostringstream out;
    out << saver;
    EXPECT_EQ(expected.str(), out.str());
    std::ostringstream range;
    range << saver.rotation_range;
    EXPECT_EQ("[0..255]", range.str());
}

TEST(SaverBase, TimeIsUpOnlyAfterMoreThanAMinute) {
    ScreenScope scope(true_colour_caps());
    ProbeSaver saver;
    saver.start_time = 1000;
    EXPECT_FALSE(saver.time_up_at(1000));
    EXPECT_FALSE(saver.time_up_at(61000));
    EXPECT_EQ(0, saver.done);
    EXPECT_TRUE(saver.time_up_at(61001));
    EXPECT_EQ(1, saver.done);

    ProbeSaver fresh;
    EXPECT_FALSE(fresh.time_up());
    fresh.start_time = static_cast<int32_t>(std::clock()) - 120000;
    EXPECT_TRUE(fresh.time_up());
    EXPECT_EQ(1, fresh.done);
}

TEST(SaverBase, RunOnWithoutADeviceDoesNotRun) {
    ScreenScope scope(true_colour_caps());
    ProbeSaver saver;
    DrawContext closed;
    saver.run_on(closed);
    EXPECT_EQ(0, saver.runs);
    EXPECT_EQ(nullptr, saver.dc);
}

TEST(SaverBase, RunOnSelectsThePaletteAndPutsThePenBack) {
    ScreenScope scope(true_colour_caps());
    ProbeSaver saver;
    MemoryContext context(8, 8);
    const HGDIOBJ original_pen = GetCurrentObject(context.hdc, OBJ_PEN);
    const GdiCounts before = gdi_counts;
    saver.run_on(context);
    EXPECT_EQ(1, saver.runs);
    EXPECT_EQ(&context, saver.context_seen);
    EXPECT_EQ(scope.palette().handle(), saver.palette_seen);
    EXPECT_EQ(nullptr, saver.dc);
    EXPECT_EQ(original_pen, GetCurrentObject(context.hdc, OBJ_PEN));
    EXPECT_EQ(RGB(255, 255, 255), context.pixel(2, 0));
    saver.kept_pen.reset();
    EXPECT_EQ(gdi_counts.created - before.created, gdi_counts.deleted - before.deleted);
    SelectPalette(context.hdc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
}

TEST(SaverBase, PaletteTickStepsEveryPeriodPlusOneTicks) {
    ScreenScope scope(palette_display_caps());
    ProbeSaver saver;
    set_cycler(saver, 1, 2, 100);
    std::vector<PALETTEENTRY> expected = entries_of(scope.palette());
    for (int step = 0; step < 4; ++step) {
        saver.palette_tick();
        saver.palette_tick();
        EXPECT_TRUE(same(expected, entries_of(scope.palette()))) << step;
        saver.palette_tick();
        expected = stepped(expected, 1);
        EXPECT_TRUE(same(expected, entries_of(scope.palette()))) << step;
        EXPECT_EQ(2, saver.rotation_countdown);
    }
}

TEST(SaverBase, DirectionReversesAfterEveryReversalPeriodPlusOneSteps) {
    ScreenScope scope(palette_display_caps());
    ProbeSaver saver;
    set_cycler(saver, 1, 0, 2);   // a step on every tick
    std::vector<PALETTEENTRY> expected = entries_of(scope.palette());
    const int32_t modes[] = {1, 1, 2, 2, 2, 1, 1, 1, 2};
    for (int32_t mode : modes) {
        saver.palette_tick();
        expected = stepped(expected, mode);
        EXPECT_EQ(mode, saver.rotation_mode);
        EXPECT_TRUE(same(expected, entries_of(scope.palette())));
    }

    set_cycler(saver, 2, 0, 0);   // reverses on every step
    for (int32_t mode : {1, 2, 1, 2}) {
        saver.palette_tick();
        EXPECT_EQ(mode, saver.rotation_mode);
    }
}

TEST(SaverBase, NoReversalOnceTheTimeIsUp) {
    ScreenScope scope(palette_display_caps());
    ProbeSaver saver;
    set_cycler(saver, 1, 0, 0);
    saver.start_time = static_cast<int32_t>(std::clock()) - 70000;
    std::vector<PALETTEENTRY> expected = entries_of(scope.palette());
    for (int i = 0; i < 3; ++i) {
        saver.palette_tick();
        expected = stepped(expected, 1);
    }
    EXPECT_EQ(1, saver.rotation_mode);
    EXPECT_EQ(1, saver.done);
    EXPECT_EQ(-3, saver.reversal_countdown);
    EXPECT_TRUE(same(expected, entries_of(scope.palette())));
}

TEST(SaverBase, NoRotationModeLeavesThePaletteAlone) {
    ScreenScope scope(palette_display_caps());
    ProbeSaver saver;
    set_cycler(saver, 0, 0, 0);
    const std::vector<PALETTEENTRY> before = entries_of(scope.palette());
    for (int i = 0; i < 50; ++i) saver.palette_tick();
    EXPECT_TRUE(same(before, entries_of(scope.palette())));
    EXPECT_EQ(0, saver.rotation_countdown);
}

TEST(SaverBase, WorksWithoutAnyPalette) {
    ScreenScope scope(true_colour_caps());
    std::unique_ptr<Palette> held = std::move(Screen.palette);
    {
        ProbeSaver saver;
        EXPECT_EQ(0, saver.rotation_mode);
        EXPECT_EQ(-1, saver.rotation_range.last);
        EXPECT_EQ(0, saver.reversal_period);
        set_cycler(saver, 1, 0, 0);
        saver.palette_tick();
        MemoryContext context(4, 4);
        saver.run_on(context);
        EXPECT_EQ(1, saver.runs);
    }
    Screen.palette = std::move(held);
}
