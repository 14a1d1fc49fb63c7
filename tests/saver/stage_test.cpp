#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "saver/effect_frames.h"
#include "saver/effect_host.h"
#include "saver/stage.h"
#include "support/screen_scope.h"

namespace {

// A host on a given stage that draws nothing by itself: the test draws the frames.
class StageHost : public EffectHost {
public:
    explicit StageHost(Stage stage) : on(stage) {}
    bool next_frame(int32_t) override { return false; }
    bool no_msg() const override { return true; }
    bool palette_cycling_on() const override { return true; }
    Stage stage() const override { return on; }
    Stage on;
};

// A picture of its own beside the primary's, as on a second monitor.
class OtherPicture {
public:
    explicit OtherPicture(int32_t run_seed) : own(stage_seed(run_seed, 0)), host(own.stage()) {
        own.screen.width = width;
        own.screen.height = height;
        own.screen.palette = std::make_unique<Palette>(DisplayCaps::of_screen(), &own.rand);
        own.count = 3;
    }
    static constexpr int32_t width = 160;
    static constexpr int32_t height = 120;
    OwnStage own;
    StageHost host;
    MemoryContext context{width, height};
};

void begin(LinesSaver& saver, MemoryContext& context) {
    saver.dc = &context;
    context.use_palette(*saver.stage.screen->palette);
    saver.clear_screen();
}

class StageTest : public ::testing::Test {
protected:
    ScreenScope screen{frame_width, frame_height};
    SaverCountScope count{3};
    EraseColourScope erase{Color::black()};
    StageHost primary{Stage::program()};
    MemoryContext context{frame_width, frame_height};
};

// Two pictures drawn frame about frame: each draws exactly what it draws alone,
// and the other takes nothing from the program's generator, so the primary's
// run stays the run it is on one monitor.
TEST_F(StageTest, TwoPicturesSideBySideDrawWhatEachDrawsAlone) {
    constexpr int32_t frames = 120;
    start_run(77);
    std::vector<COLORREF> primary_alone;
    int32_t next_value = 0;
    {
        LinesSaver saver(&primary);
        draw_frames(saver, context, frames);
        primary_alone = picture(context);
        next_value = app.rand.next();
    }
    std::vector<COLORREF> other_alone;
    {
        OtherPicture other(77);
        LinesSaver saver(&other.host);
        begin(saver, other.context);
        for (int32_t i = 0; i < frames; ++i) saver.frame();
        other_alone = picture(other.context);
    }

    context.clear();
    erase_colour = Color::black();
    start_run(77);
    OtherPicture other(77);
    LinesSaver first(&primary);
    LinesSaver second(&other.host);
    begin(first, context);
    begin(second, other.context);
    for (int32_t i = 0; i < frames; ++i) {
        first.frame();
        second.frame();
    }
    EXPECT_EQ(primary_alone, picture(context));
    EXPECT_EQ(other_alone, picture(other.context));
    EXPECT_EQ(next_value, app.rand.next()) << "the other picture drew from the program's generator";
    EXPECT_GT(context.lit_pixels(), 0);
    EXPECT_GT(other.context.lit_pixels(), 0);
    first.dc = nullptr;
    second.dc = nullptr;
}

// Each stage keeps its own count of effects, its own trail and erase colour.
TEST_F(StageTest, AStageOfItsOwnSharesNothingWithTheProgramsOwn) {
    OtherPicture other(5);
    const Stage program = Stage::program();
    const Stage own = other.own.stage();
    EXPECT_EQ(&Screen, program.screen);
    EXPECT_EQ(&app.rand, program.rand);
    EXPECT_EQ(&saver_count, program.count);
    EXPECT_EQ(history, program.history);
    EXPECT_EQ(&erase_colour, program.erase_colour);
    EXPECT_TRUE(program.primary);
    EXPECT_NE(program.screen, own.screen);
    EXPECT_NE(program.rand, own.rand);
    EXPECT_NE(program.count, own.count);
    EXPECT_NE(program.history, own.history);
    EXPECT_NE(program.erase_colour, own.erase_colour);
    EXPECT_FALSE(own.primary);
    EXPECT_EQ(erase_colour_unset, OwnStage(1).erase_colour.value) << "black is chosen by the first effect";
    // Seeds differ by place and follow the run's seed.
    EXPECT_NE(stage_seed(5, 0), stage_seed(5, 1));
    EXPECT_NE(stage_seed(5, 0), stage_seed(6, 0));
    EXPECT_EQ(stage_seed(5, 1), stage_seed(5, 1));
    EXPECT_GE(stage_seed(-999999999, 3), -999999999);
}

}  // namespace
