#include <gtest/gtest.h>

#include "gfx/color.h"
#include "savewin/mirror_presenter.h"
#include "savewin/monitor_covers.h"
#include "support/screen_scope.h"

namespace {

// Without a saver window there are no mirror windows: only the pacing counts.
class MirrorPresenterTest : public ::testing::Test {
protected:
    MonitorCovers mirrors{nullptr, MonitorCovers::Kind::mirrors};
    int64_t now = 0;
    MirrorPresenter presenter{mirrors, nullptr, nullptr, [this] { return now; }};
};

TEST_F(MirrorPresenterTest, ShowsAtMostSixtyTimesASecondAndAfterEverySlice) {
    ASSERT_EQ(0u, mirrors.count());
    presenter.slice_done();
    EXPECT_EQ(0, presenter.presentations) << "no frame, nothing to show";
    // A frame every millisecond for 100 ms: shown at 1, 18, 35, 52, 69 and 86.
    for (now = 1000; now <= 100000; now += 1000) presenter.frame_done();
    EXPECT_EQ(6, presenter.presentations);
    presenter.slice_done();
    EXPECT_EQ(7, presenter.presentations) << "the end of a slice shows the last frames";
    presenter.slice_done();
    EXPECT_EQ(7, presenter.presentations);
    presenter.present();
    EXPECT_EQ(8, presenter.presentations) << "new mirror windows are shown at once";
}

TEST(MirrorPresenter, CostlyPresentationsComeFurtherApart) {
    MonitorCovers mirrors(nullptr, MonitorCovers::Kind::mirrors);
    // Every reading is 2 ms later: a presentation costs 2 ms, and so does a frame.
    int64_t now = 0;
    MirrorPresenter presenter(mirrors, nullptr, nullptr, [&now] { return now += 2000; });
    for (int32_t frame = 0; frame < 1000; ++frame) presenter.frame_done();
    // 16 times the cost apart: one in 16 frames, where 60 a second would be one in 9.
    EXPECT_GE(presenter.presentations, 1000 / 18);
    EXPECT_LE(presenter.presentations, 1000 / 16 + 3);
}

TEST(MirrorPresenter, WithACyclingPictureShowsRightAfterTheWindowDoes) {
    ScreenScope scope(true_colour_caps(), 32, 24);
    MonitorCovers mirrors(nullptr, MonitorCovers::Kind::mirrors);
    int64_t now = 0;
    CyclingPicture picture(scope.palette(), nullptr, 32, 24, [&now] { return now; });
    MirrorPresenter presenter(mirrors, nullptr, &picture, [&now] { return now; });
    picture.frame_done();
    presenter.frame_done();
    EXPECT_EQ(1, presenter.presentations) << "the picture's first showing";
    // Frames that the window does not show yet are not shown on the mirrors either.
    for (now = 1000; now < 16000; now += 1000) {
        SetPixel(picture.hdc, 1, 1, picture.device_colour(Color::rgb(255, 255, 255)));
        picture.frame_done();
        presenter.frame_done();
    }
    EXPECT_EQ(1, picture.presentations);
    EXPECT_EQ(1, presenter.presentations);
    now = 20000;
    picture.frame_done();
    presenter.frame_done();
    EXPECT_EQ(2, picture.presentations);
    EXPECT_EQ(2, presenter.presentations);
    picture.slice_done();
    presenter.slice_done();
    EXPECT_EQ(2, presenter.presentations) << "nothing drawn since";
}

}  // namespace
