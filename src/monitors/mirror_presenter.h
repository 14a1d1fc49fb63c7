#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/cycling_picture.h"
#include "monitors/cover_layout_math.h"
#include "runner/effect_runner.h"

class DibSurface;
class MonitorCovers;
struct ScreenRecord;

// Shows the saver's picture on the mirror windows, each scaled to fit its
// monitor with the aspect kept and centred on black. The effect runner shows
// it right after the saver window's own picture, so all monitors show the same.
class MirrorPresenter : public Companions {
public:
    // The picture's size and palette are the screen's that the runner's
    // effects draw on.
    MirrorPresenter(const MonitorCovers& mirrors, HWND saver, const ScreenRecord& screen);
    ~MirrorPresenter() override;
    MirrorPresenter(const MirrorPresenter&) = delete;
    MirrorPresenter& operator=(const MirrorPresenter&) = delete;

    void follow_showing(CyclingPicture* picture) override { present(picture); }
    // Shows the picture on every mirror now: read from the cycling picture
    // when there is one, else from the saver window.
    void present(CyclingPicture* picture);

    // Presentations so far.
    int32_t presentations = 0;

private:
    // Keeps palette indexes: for a palette display.
    void stretch_on(HWND window, const CoverRect& monitor, HDC source) const;
    // Scales the picture in the program, which costs a fraction of what the
    // system's stretching costs on a true-colour display: from a copy of the
    // window, or straight from the cycling picture's slots through its colours.
    void scale_on(size_t mirror, HWND window, const CoverRect& monitor, CyclingPicture* picture);
    bool capture(HDC source, int32_t width, int32_t height);
    void scale_copy(DibSurface& target, const std::vector<int32_t>& columns, const std::vector<int32_t>& rows) const;
    static void scale_slots(DibSurface& target, const std::vector<int32_t>& columns, const std::vector<int32_t>& rows,
                            CyclingPicture& picture);

    const MonitorCovers& mirrors;
    HWND saver;
    const ScreenRecord& screen;
    // The picture as last copied, and each mirror's scaled copy.
    std::unique_ptr<DibSurface> copy;
    std::vector<std::unique_ptr<DibSurface>> scaled;
};
