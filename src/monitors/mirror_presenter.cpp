#include "monitors/mirror_presenter.h"

#include "gfx/dib_surface.h"
#include "gfx/screen.h"
#include "monitors/monitor_covers.h"
#include "monitors/monitor_layout_math.h"
#include "saver/palette.h"

MirrorPresenter::MirrorPresenter(const MonitorCovers& mirrors, HWND saver, const ScreenRecord& screen)
    : mirrors(mirrors), saver(saver), screen(screen) {}

MirrorPresenter::~MirrorPresenter() = default;

// On a palette display the mirror realises the saver's palette and copies the
// window's pixels as they are, so they keep their system palette indexes and
// move with every palette animation, as the primary's do.
void MirrorPresenter::present(CyclingPicture* picture) {
    if (mirrors.count() > 0) {
        const Palette* palette = screen.palette.get();
        const bool indexed = !picture && palette && palette->palette_device && palette->handle();
        HDC window_dc = picture ? nullptr : GetDC(saver);
        if (picture) GdiFlush();
        if (picture || (window_dc && (indexed || capture(window_dc, screen.width, screen.height)))) {
            scaled.resize(mirrors.count());
            for (size_t i = 0; i < mirrors.count(); ++i) {
                if (indexed)
                    stretch_on(mirrors.window_list()[i], mirrors.window_rects()[i], window_dc);
                else
                    scale_on(i, mirrors.window_list()[i], mirrors.window_rects()[i], picture);
            }
        }
        if (window_dc) ReleaseDC(saver, window_dc);
    }
    ++presentations;
}

void MirrorPresenter::stretch_on(HWND window, const CoverRect& monitor, HDC source) const {
    const CoverRect fit = fitted_rect(screen.width, screen.height, monitor);
    if (empty(fit)) return;
    HDC target = GetDC(window);
    if (!target) return;
    HPALETTE previous = SelectPalette(target, screen.palette->handle(), TRUE);
    RealizePalette(target);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, fit.left - monitor.left, fit.top - monitor.top, fit.right - fit.left,
               fit.bottom - fit.top, source, 0, 0, screen.width, screen.height, SRCCOPY);
    SelectPalette(target, previous, TRUE);
    ReleaseDC(window, target);
}

bool MirrorPresenter::capture(HDC source, int32_t width, int32_t height) {
    if (!copy || copy->width != width || copy->height != height) copy = std::make_unique<DibSurface>(width, height);
    if (!copy->valid()) return false;
    BitBlt(copy->hdc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    return true;
}

void MirrorPresenter::scale_on(size_t mirror, HWND window, const CoverRect& monitor, CyclingPicture* picture) {
    const int32_t source_width = picture ? picture->width : screen.width;
    const int32_t source_height = picture ? picture->height : screen.height;
    const CoverRect fit = fitted_rect(source_width, source_height, monitor);
    if (empty(fit)) return;
    const int32_t width = fit.right - fit.left;
    const int32_t height = fit.bottom - fit.top;
    std::unique_ptr<DibSurface>& target = scaled[mirror];
    if (!target || target->width != width || target->height != height)
        target = std::make_unique<DibSurface>(width, height);
    if (!target->valid()) return;
    const std::vector<int32_t> columns = nearest_indexes(source_width, width);
    const std::vector<int32_t> rows = nearest_indexes(source_height, height);
    if (picture)
        scale_slots(*target, columns, rows, *picture);
    else
        scale_copy(*target, columns, rows);
    HDC screen_dc = GetDC(window);
    if (!screen_dc) return;
    BitBlt(screen_dc, fit.left - monitor.left, fit.top - monitor.top, width, height, target->hdc, 0, 0, SRCCOPY);
    ReleaseDC(window, screen_dc);
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
                                  const std::vector<int32_t>& rows, CyclingPicture& picture) {
    uint32_t words[CyclingPicture::table_size];
    const auto& table = picture.colours();
    for (size_t i = 0; i < table.size(); ++i)
        words[i] = static_cast<uint32_t>(table[i].rgbBlue) | static_cast<uint32_t>(table[i].rgbGreen) << 8 |
                   static_cast<uint32_t>(table[i].rgbRed) << 16;
    for (int32_t y = 0; y < target.height; ++y) {
        const uint8_t* from = picture.slots_row(rows[static_cast<size_t>(y)]);
        uint32_t* to = target.row(y);
        if (!from) continue;
        for (int32_t x = 0; x < target.width; ++x) to[x] = words[from[columns[static_cast<size_t>(x)]]];
    }
}
