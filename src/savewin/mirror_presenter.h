#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/cycling_picture.h"
#include "savewin/cover_layout_math.h"

class DibSurface;
class MonitorCovers;

// Shows the saver's picture on the mirror windows, each scaled to fit its
// monitor with the aspect kept and centred on black. The effect runner shows
// it right after the saver window's own picture, so all monitors show the same.
class MirrorPresenter {
public:
    // The picture is read from the saver window, or from the cycling picture
    // when there is one.
    MirrorPresenter(const MonitorCovers& mirrors, HWND saver, CyclingPicture* picture);
    ~MirrorPresenter();
    MirrorPresenter(const MirrorPresenter&) = delete;
    MirrorPresenter& operator=(const MirrorPresenter&) = delete;

    // Shows the picture on every mirror now.
    void present();

    // Presentations so far.
    int32_t presentations = 0;

private:
    // Keeps palette indexes: for a palette display.
    void stretch_on(HWND window, const CoverRect& monitor, HDC source);
    // Scales the picture in the program, which costs a fraction of what the
    // system's stretching costs on a true-colour display: from a copy of the
    // window, or straight from the cycling picture's slots through its colours.
    void scale_on(size_t mirror, HWND window, const CoverRect& monitor);
    bool capture(HDC source);
    void scale_copy(DibSurface& target, const std::vector<int32_t>& columns, const std::vector<int32_t>& rows) const;
    void scale_slots(DibSurface& target, const std::vector<int32_t>& columns, const std::vector<int32_t>& rows) const;
    int32_t picture_width() const;
    int32_t picture_height() const;

    const MonitorCovers& mirrors;
    HWND saver;
    CyclingPicture* picture;
    // The picture as last copied, and each mirror's scaled copy.
    std::unique_ptr<DibSurface> copy;
    std::vector<std::unique_ptr<DibSurface>> scaled;
};
