#include "savewin/mirror_presenter.h"

#include "gfx/screen.h"
#include "saver/palette.h"
#include "savewin/monitor_covers.h"
#include "savewin/monitor_layout_math.h"

MirrorPresenter::MirrorPresenter(const MonitorCovers& mirrors, HWND saver, CyclingPicture* picture,
                                 CyclingPicture::Clock clock)
    : mirrors(mirrors),
      saver(saver),
      picture(picture),
      clock(clock ? std::move(clock) : CyclingPicture::Clock(CyclingPicture::steady_now)) {
    last_present = this->clock() - CyclingPicture::present_interval_us;
}

void MirrorPresenter::frame_done() {
    pending = true;
    if (clock() - last_present >= CyclingPicture::paced_interval(present_cost)) present();
}

void MirrorPresenter::slice_done() {
    if (pending) present();
}

void MirrorPresenter::present() {
    const int64_t start = clock();
    if (mirrors.count() > 0) {
        HDC window_dc = picture ? nullptr : GetDC(saver);
        HDC source = picture ? picture->source() : window_dc;
        if (source) {
            for (size_t i = 0; i < mirrors.count(); ++i)
                show_on(mirrors.window_list()[i], mirrors.window_rects()[i], source);
        }
        if (window_dc) ReleaseDC(saver, window_dc);
    }
    pending = false;
    ++presentations;
    last_present = clock();
    present_cost = (present_cost + last_present - start) / 2;
}

// On a palette display the mirror realises the saver's palette as a background
// palette and copies without blending, so its pixels keep the same system
// palette indexes and move with every palette animation.
void MirrorPresenter::show_on(HWND window, const CoverRect& monitor, HDC source) {
    const Palette* palette = Screen.palette.get();
    const int32_t width = picture ? picture->width : Screen.width;
    const int32_t height = picture ? picture->height : Screen.height;
    const CoverRect fit = fitted_rect(width, height, monitor);
    if (fit.right <= fit.left || fit.bottom <= fit.top) return;
    HDC target = GetDC(window);
    if (!target) return;
    HPALETTE previous = nullptr;
    const bool realise = !picture && palette && palette->palette_device && palette->handle();
    if (realise) {
        previous = SelectPalette(target, palette->handle(), TRUE);
        RealizePalette(target);
    }
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, fit.left - monitor.left, fit.top - monitor.top, fit.right - fit.left,
               fit.bottom - fit.top, source, 0, 0, width, height, SRCCOPY);
    if (realise) SelectPalette(target, previous, TRUE);
    ReleaseDC(window, target);
}
