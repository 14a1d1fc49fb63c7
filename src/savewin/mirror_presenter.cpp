#include "savewin/mirror_presenter.h"

#include "gfx/dib_surface.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "savewin/monitor_covers.h"
#include "savewin/monitor_layout_math.h"

MirrorPresenter::MirrorPresenter(const MonitorCovers& mirrors, HWND saver, CyclingPicture* picture)
    : mirrors(mirrors), saver(saver), picture(picture) {}

MirrorPresenter::~MirrorPresenter() = default;

// On a palette display the mirror realises the saver's palette and copies the
// window's pixels as they are, so they keep their system palette indexes and
// move with every palette animation, as the primary's do.
void MirrorPresenter::present() {
    if (mirrors.count() > 0) {
        const Palette* palette = Screen.palette.get();
        const bool indexed = !picture && palette && palette->palette_device && palette->handle();
        HDC window_dc = picture ? nullptr : GetDC(saver);
        if (picture) GdiFlush();
        if (picture || (window_dc && (indexed || capture(window_dc)))) {
            scaled.resize(mirrors.count());
            for (size_t i = 0; i < mirrors.count(); ++i) {
                if (indexed)
                    stretch_on(mirrors.window_list()[i], mirrors.window_rects()[i], window_dc);
                else
                    scale_on(i, mirrors.window_list()[i], mirrors.window_rects()[i]);
            }
        }
        if (window_dc) ReleaseDC(saver, window_dc);
    }
    ++presentations;
}

void MirrorPresenter::stretch_on(HWND window, const CoverRect& monitor, HDC source) {
    const Palette* palette = Screen.palette.get();
    const CoverRect fit = fitted_rect(Screen.width, Screen.height, monitor);
    if (empty(fit)) return;
    HDC target = GetDC(window);
    if (!target) return;
    HPALETTE previous = SelectPalette(target, palette->handle(), TRUE);
    RealizePalette(target);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, fit.left - monitor.left, fit.top - monitor.top, fit.right - fit.left,
               fit.bottom - fit.top, source, 0, 0, Screen.width, Screen.height, SRCCOPY);
    SelectPalette(target, previous, TRUE);
    ReleaseDC(window, target);
}

int32_t MirrorPresenter::picture_width() const { return picture ? picture->width : Screen.width; }

int32_t MirrorPresenter::picture_height() const { return picture ? picture->height : Screen.height; }

bool MirrorPresenter::capture(HDC source) {
    const int32_t width = picture_width();
    const int32_t height = picture_height();
    if (!copy || copy->width != width || copy->height != height) copy = std::make_unique<DibSurface>(width, height);
    if (!copy->valid()) return false;
    BitBlt(copy->hdc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    return true;
}

void MirrorPresenter::scale_on(size_t mirror, HWND window, const CoverRect& monitor) {
    const CoverRect fit = fitted_rect(picture_width(), picture_height(), monitor);
    if (empty(fit)) return;
    const int32_t width = fit.right - fit.left;
    const int32_t height = fit.bottom - fit.top;
    std::unique_ptr<DibSurface>& target = scaled[mirror];
    if (!target || target->width != width || target->height != height)
        target = std::make_unique<DibSurface>(width, height);
    if (!target->valid()) return;
    const std::vector<int32_t> columns = nearest_indexes(picture_width(), width);
    const std::vector<int32_t> rows = nearest_indexes(picture_height(), height);
    if (picture)
        scale_slots(*target, columns, rows);
    else
        scale_copy(*target, columns, rows);
    HDC screen = GetDC(window);
    if (!screen) return;
    BitBlt(screen, fit.left - monitor.left, fit.top - monitor.top, width, height, target->hdc, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
}

void MirrorPresenter::scale_copy(DibSurface& target, const std::vector<int32_t>& columns,
                                 const std::vector<int32_t>& rows) const {
    for (int32_t y = 0; y < target.height; ++y) {
        const uint32_t* from = copy->row(rows[static_cast<size_t>(y)]);
        uint32_t* to = target.row(y);
        for (int32_t x = 0; x < target.width; ++x) to[x] = from[columns[static_cast<size_t>(x)]];
    }
}

void MirrorPresenter::scale_slots(DibSurface& target, const std::vector<int32_t>& columns,
                                  const std::vector<int32_t>& rows) const {
    uint32_t words[CyclingPicture::table_size];
    const auto& table = picture->colours();
    for (size_t i = 0; i < table.size(); ++i)
        words[i] = static_cast<uint32_t>(table[i].rgbBlue) | static_cast<uint32_t>(table[i].rgbGreen) << 8 |
                   static_cast<uint32_t>(table[i].rgbRed) << 16;
    for (int32_t y = 0; y < target.height; ++y) {
        const uint8_t* from = picture->slots_row(rows[static_cast<size_t>(y)]);
        uint32_t* to = target.row(y);
        if (!from) continue;
        for (int32_t x = 0; x < target.width; ++x) to[x] = words[from[columns[static_cast<size_t>(x)]]];
    }
}
