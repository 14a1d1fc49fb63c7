#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "gfx/cycling_picture.h"
#include "runner/effect_runner.h"
#include "saver/lines_saver.h"
#include "saver/saver.h"
#include "saver/stage.h"
#include "support/memory_context.h"
#include "support/screen_scope.h"

namespace {

// A window with never a message waiting.
class QuietWindow : public RunnerWindow {
public:
    bool no_msg() const override { return true; }
};

std::string text_of(const Saver& saver) {
    std::ostringstream text;
    text << saver;
    return text.str();
}

// The primary's trail as bits: slots never written may hold anything, NaN too.
std::vector<uint32_t> trail_copy() {
    std::vector<uint32_t> bits;
    for (const Array<float>& coordinate : history) {
        for (int32_t i = 0; i < trail_capacity; ++i) {
            uint32_t word = 0;
            std::memcpy(&word, &coordinate[i], sizeof word);
            bits.push_back(word);
        }
    }
    return bits;
}

// A runner of its own beside the primary's, as for a second monitor, at the
// place given in the list of other monitors.
struct OtherRunner {
    OtherRunner(RunnerWindow& window, int32_t run_seed, int32_t place)
        : own(stage_seed(run_seed, place)), runner(window, own.stage(), 0, false) {
        own.screen.width = 120;
        own.screen.height = 90;
        runner.attach(nullptr, false);
        runner.start_next();
    }
    OwnStage own;
    EffectRunner runner;
};

// Records the picture each showing hands over, and its size then.
class RecordingCompanions : public Companions {
public:
    void follow_showing(CyclingPicture* picture) override {
        handed.push_back(picture);
        sizes.push_back(picture ? std::to_string(picture->width) + "x" + std::to_string(picture->height) : "none");
    }
    std::vector<CyclingPicture*> handed;
    std::vector<std::string> sizes;
};

// A plain popup for a runner to show its picture on; true colour cycling
// makes a picture only for a window.
struct PlainWindow {
    PlainWindow()
        : handle(CreateWindowExA(WS_EX_NOACTIVATE, "STATIC", "runner", WS_POPUP, 0, 0, 200, 150, nullptr, nullptr,
                                 nullptr, nullptr)) {}
    ~PlainWindow() { DestroyWindow(handle); }
    const HWND handle;
};

// What a runner on the program's stage starts, in two effects, and what the
// program's generator gives next.
struct PrimaryRun {
    std::string first;
    std::string second;
    uint32_t count = 0;
    int32_t next_value = 0;
};

class EffectRunnersTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_count = saver_count;
        saved_waited = start_value_waited;
        start_value_waited = true;   // no "-t" search
        saver_count = 0;
        app.rand.reseed(99);
    }
    void TearDown() override {
        saver_count = saved_count;
        start_value_waited = saved_waited;
    }

    ScreenScope screen{true_colour_caps(), 200, 150};
    CommandLineScope command{"/s"};
    QuietWindow quiet;
    uint32_t saved_count = 0;
    bool saved_waited = false;
};

// A runner of its own beside the primary's, as for a second monitor: the
// primary's effects, count, trail, screen and generator stay what they are
// with the primary's runner alone.
TEST_F(EffectRunnersTest, TwoRunnersSideBySideLeaveEachOthersEffectsAlone) {
    PrimaryRun alone;
    {
        EffectRunner lead(quiet);
        lead.attach(nullptr, false);
        lead.start_next();
        alone.first = text_of(*lead.current_saver);
        lead.current_saver->done = 1;
        lead.start_next();
        alone.second = text_of(*lead.current_saver);
        alone.count = saver_count;
        alone.next_value = app.rand.next();
    }

    saver_count = 0;
    app.rand.reseed(99);
    EffectRunner lead(quiet);
    lead.attach(nullptr, false);
    OtherRunner other_picture(quiet, 99, 0);
    EffectRunner& follower = other_picture.runner;
    lead.start_next();
    EXPECT_EQ(alone.first, text_of(*lead.current_saver));

    // The other picture's frames write its own trail, not the primary's.
    const std::vector<uint32_t> trail_before = trail_copy();
    auto* other = dynamic_cast<LinesSaver*>(follower.current_saver.get());
    ASSERT_TRUE(other);
    MemoryContext context(120, 90);
    other->dc = &context;
    for (int32_t i = 0; i < 50; ++i) other->frame();
    other->dc = nullptr;
    EXPECT_EQ(trail_before, trail_copy());
    EXPECT_GT(context.lit_pixels(), 0);

    follower.current_saver->done = 1;
    follower.start_next();
    lead.current_saver->done = 1;
    lead.start_next();
    EXPECT_EQ(alone.second, text_of(*lead.current_saver));
    EXPECT_EQ(alone.count, saver_count);
    EXPECT_EQ(2u, other_picture.own.count);
    EXPECT_EQ(alone.next_value, app.rand.next()) << "the other runner drew from the program's generator";
    EXPECT_EQ(200, Screen.width);
    EXPECT_EQ(150, Screen.height);
    EXPECT_NE(Screen.palette.get(), other_picture.own.screen.palette.get());
}

// The same seed and place give the other picture the same effects.
TEST_F(EffectRunnersTest, TheRunsSeedReproducesTheOtherPicture) {
    std::string first;
    for (int32_t round = 0; round < 2; ++round) {
        OtherRunner other(quiet, 4242, 0);
        if (round == 0)
            first = text_of(*other.runner.current_saver);
        else
            EXPECT_EQ(first, text_of(*other.runner.current_saver));
    }
    OtherRunner elsewhere(quiet, 4242, 1);
    EXPECT_NE(first, text_of(*elsewhere.runner.current_saver)) << "another monitor's place gives another picture";
}

// The runner replaces its picture when an effect starts at a new size; its
// companions must show the one it holds at each showing, never an older one.
TEST_F(EffectRunnersTest, CompanionsAreHandedThePictureOfEachShowing) {
    PlainWindow window;
    EffectRunner lead(quiet);
    lead.attach(window.handle, true);
    if (!lead.picture) GTEST_SKIP() << "true colour cycling needs a display of more than 8 bits";
    RecordingCompanions companions;
    lead.set_companions(&companions);
    lead.start_next();
    lead.show_pending();
    lead.resize_for_next(120, 90);
    lead.current_saver->done = 1;
    lead.start_next();
    lead.show_pending();
    lead.show_companions_again();
    const std::vector<std::string> expected{"200x150", "120x90", "120x90"};
    EXPECT_EQ(expected, companions.sizes);
    ASSERT_EQ(3u, companions.handed.size());
    EXPECT_EQ(lead.picture.get(), companions.handed[1]);
    EXPECT_EQ(lead.picture.get(), companions.handed[2]);
    lead.set_companions(nullptr);
}

// A follower's lead shows only its own picture: the follower shows its own
// at its turn, long before its effect ends.
TEST_F(EffectRunnersTest, AFollowerShowsItsCyclingPictureAtItsTurn) {
    PlainWindow window;
    OwnStage own(stage_seed(99, 0));
    own.screen.width = 120;
    own.screen.height = 90;
    EffectRunner follower(quiet, own.stage(), 0, false);
    follower.attach(window.handle, true);
    if (!follower.picture) GTEST_SKIP() << "true colour cycling needs a display of more than 8 bits";
    follower.start_next();
    follower.run_batch(*follower.picture);
    EXPECT_FALSE(follower.current_saver->done);
    EXPECT_EQ(1, follower.showings.load());
    EXPECT_EQ(1, follower.picture->presentations);
}

}  // namespace
