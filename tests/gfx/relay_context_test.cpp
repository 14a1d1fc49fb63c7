#include <gtest/gtest.h>

#include <string>

#include "gfx/color.h"
#include "gfx/cycling_picture.h"
#include "gfx/pen_brush.h"
#include "gfx/relay_context.h"
#include "support/screen_scope.h"

namespace {

struct Recorder : FrameListener {
    std::string calls;
    const CyclingPicture* picture = nullptr;
    void frame_done() override { calls += "f" + std::to_string(picture->presentations); }
    void slice_done() override { calls += "s" + std::to_string(picture->presentations); }
};

TEST(RelayContext, DrawsWithTheTargetsDeviceAndColoursAndTellsTheTargetFirst) {
    ScreenScope scope(palette_display_caps(), 32, 24);
    int64_t now = 0;
    CyclingPicture picture(scope.palette(), nullptr, 32, 24, [&now] { return now; });
    Recorder recorder;
    recorder.picture = &picture;
    {
        RelayContext relay(picture, recorder);
        EXPECT_EQ(picture.hdc, relay.hdc);
        const Color colour(scope.palette().colour(7));
        EXPECT_EQ(picture.device_colour(colour), relay.device_colour(colour));
        SetPixel(relay.hdc, 3, 2, relay.device_colour(colour));
        EXPECT_EQ(CyclingPicture::low_reserved + 7, picture.index_at(3, 2));
        // The picture shows before the listener hears of it, so a mirror
        // copies what the window shows.
        relay.frame_done();
        SetPixel(relay.hdc, 4, 2, relay.device_colour(colour));
        relay.slice_done();
    }
    EXPECT_EQ("f1s2", recorder.calls);
}

TEST(RelayContext, GivesTheDeviceBackUndeletedWithItsOwnPenSelected) {
    ScreenScope scope(true_colour_caps(), 32, 24);
    CyclingPicture picture(scope.palette(), nullptr, 32, 24);
    Recorder recorder;
    recorder.picture = &picture;
    const HGDIOBJ before = GetCurrentObject(picture.hdc, OBJ_PEN);
    Pen pen(Color::rgb(255, 0, 0));
    {
        RelayContext relay(picture, recorder);
        relay.select_pen(pen.handle);
        EXPECT_EQ(pen.handle, GetCurrentObject(picture.hdc, OBJ_PEN));
    }
    EXPECT_EQ(before, GetCurrentObject(picture.hdc, OBJ_PEN));
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(picture.hdc));
}

}  // namespace
