#include "gfx/cycling_picture.h"

#include <algorithm>
#include <cstring>

#include "gfx/color.h"
#include "gfx/screen.h"
#include "saver/palette.h"

namespace {

// A colour word that names a slot of the selected DIB's colour table.
constexpr uint32_t dib_index = 0x10FF0000;

// The 20 reserved colours of Wine's 8-bit display, as GetSystemPaletteEntries
// reports them there: slots 0..9 and 246..255.
constexpr RGBQUAD rgb(BYTE red, BYTE green, BYTE blue) { return RGBQUAD{blue, green, red, 0}; }
constexpr RGBQUAD low_colours[CyclingPicture::low_reserved] = {
    rgb(0, 0, 0),       rgb(128, 0, 0),     rgb(0, 128, 0),     rgb(128, 128, 0),   rgb(0, 0, 128),
    rgb(128, 0, 128),   rgb(0, 128, 128),   rgb(192, 192, 192), rgb(192, 220, 192), rgb(166, 202, 240)};
constexpr RGBQUAD high_colours[CyclingPicture::low_reserved] = {
    rgb(255, 251, 240), rgb(160, 160, 164), rgb(128, 128, 128), rgb(255, 0, 0),     rgb(0, 255, 0),
    rgb(255, 255, 0),   rgb(0, 0, 255),     rgb(255, 0, 255),   rgb(0, 255, 255),   rgb(255, 255, 255)};
constexpr int32_t high_first = CyclingPicture::table_size - CyclingPicture::low_reserved;

struct PictureInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[CyclingPicture::table_size];
};

}  // namespace

namespace {

int32_t distance(const RGBQUAD& entry, int32_t red, int32_t green, int32_t blue) {
    const int32_t dr = entry.rgbRed - red;
    const int32_t dg = entry.rgbGreen - green;
    const int32_t db = entry.rgbBlue - blue;
    return dr * dr + dg * dg + db * db;
}

}  // namespace

CyclingPicture::CyclingPicture(const Palette& palette, HWND window, int32_t width, int32_t height)
    : DrawContext(CreateCompatibleDC(nullptr)),
      width(std::max(width, 1)),
      height(std::max(height, 1)),
      palette(palette),
      window(window) {
    std::copy(std::begin(low_colours), std::end(low_colours), table.begin());
    std::copy(std::begin(high_colours), std::end(high_colours), table.begin() + high_first);
    table_changes = palette.changes + 1;
    sync_table();
    shown_table = table;
    shown_changes = dib_changes = palette.changes;

    PictureInfo info{};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = this->width;
    info.header.biHeight = -this->height;   // top-down: row 0 first
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = table_size;
    std::copy(table.begin(), table.end(), info.colours);
    void* storage = nullptr;
    if (hdc)
        bitmap = CreateDIBSection(hdc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &storage, nullptr, 0);
    if (bitmap) {
        bits = static_cast<uint8_t*>(storage);
        stride = (this->width + 3) & ~3;
        previous_bitmap = SelectObject(hdc, bitmap);
        // GDI gathers where the effects drew, so a frame shows only that part.
        SetBoundsRect(hdc, nullptr, DCB_ENABLE | DCB_RESET);
        shown_slots.assign(static_cast<size_t>(stride) * static_cast<size_t>(this->height), 0);
    }
}

CyclingPicture::~CyclingPicture() {
    restore_font();
    restore_pen();
    restore_brush();
    if (window_dc) ReleaseDC(window, window_dc);
    if (bitmap) {
        SelectObject(hdc, previous_bitmap);
        DeleteObject(bitmap);
    }
}

bool CyclingPicture::sync_table() {
    if (table_changes == palette.changes) return false;
    const int32_t count = std::min(palette.size, palette_room);
    for (int32_t i = 0; i < palette_room; ++i) {
        const PALETTEENTRY& entry = palette.entry(i);
        table[static_cast<size_t>(low_reserved + i)] =
            i < count ? rgb(entry.peRed, entry.peGreen, entry.peBlue) : rgb(0, 0, 0);
    }
    table_changes = palette.changes;
    matched_slot = -1;
    return true;
}

// Reserved slots come first so that black and white, which never cycle, win a tie.
int32_t CyclingPicture::nearest_slot(uint32_t word) {
    if (matched_slot >= 0 && matched_word == word) return matched_slot;
    const int32_t red = static_cast<int32_t>(word & 0xFF);
    const int32_t green = static_cast<int32_t>((word >> 8) & 0xFF);
    const int32_t blue = static_cast<int32_t>((word >> 16) & 0xFF);
    int32_t best = 0;
    int32_t best_distance = distance(table[0], red, green, blue);
    auto consider = [&](int32_t first, int32_t last) {
        for (int32_t slot = first; slot < last && best_distance > 0; ++slot) {
            const int32_t d = distance(table[static_cast<size_t>(slot)], red, green, blue);
            if (d < best_distance) best = slot, best_distance = d;
        }
    };
    consider(1, low_reserved);
    consider(high_first, table_size);
    consider(low_reserved, high_first);
    matched_word = word;
    matched_slot = best;
    return best;
}

uint32_t CyclingPicture::device_colour(const Color& colour) {
    drawn = true;
    sync_table();
    if ((colour.value & 0xFF000000) == Color::kind_index) {
        const int32_t entry = std::min(palette.wrapped(static_cast<int32_t>(colour.value & 0xFFFF)), palette_room - 1);
        return dib_index | static_cast<uint32_t>(low_reserved + entry);
    }
    return dib_index | static_cast<uint32_t>(nearest_slot(colour.value & 0x00FFFFFF));
}

bool CyclingPicture::pending() const { return drawn || whole_due || shown_changes != palette.changes; }

void CyclingPicture::show() {
    if (pending()) present();
}

void CyclingPicture::uncovered() { whole_due = true; }

// Rows of this many pixels are shown together: a band's columns from its first
// changed pixel to its last. Narrower bands fit a slanting line more closely,
// but each costs a call.
constexpr int32_t band_rows = 16;

// GDI gathers where the effects drew since the last showing; without that, all
// of the picture counts as drawn.
void CyclingPicture::present() {
    recolour();
    RecolouredSlots recoloured{};
    for (size_t slot = 0; slot < table.size(); ++slot)
        recoloured[slot] = std::memcmp(&table[slot], &shown_table[slot], sizeof(RGBQUAD)) != 0;
    const PixelArea whole{0, 0, width, height};
    RECT bounds{};
    PixelArea drawn_area;
    if (hdc && GetBoundsRect(hdc, &bounds, DCB_RESET) == DCB_SET)
        drawn_area = PixelArea{bounds.left, bounds.top, bounds.right, bounds.bottom};
    else if (drawn)
        drawn_area = whole;
    GdiFlush();
    std::vector<PixelArea> bands;
    if (!bits) {
        bands.push_back(whole);
    } else if (whole_due) {
        std::memcpy(shown_slots.data(), bits, shown_slots.size());
        bands.push_back(whole);
    } else {
        bands = changed_bands(SlotRows{bits, stride, width, height}, shown_slots.data(), recoloured, drawn_area,
                              band_rows);
    }
    if (window && !bands.empty() && !window_dc) window_dc = GetDC(window);
    if (window_dc)
        for (const PixelArea& band : bands)
            BitBlt(window_dc, band.left, band.top, band.right - band.left, band.bottom - band.top, hdc, band.left,
                   band.top, SRCCOPY);
    shown_table = table;
    shown_changes = palette.changes;
    drawn = false;
    whole_due = false;
    ++presentations;
}

void CyclingPicture::recolour() {
    sync_table();
    if (dib_changes == palette.changes || !bitmap) return;
    SetDIBColorTable(hdc, 0, table_size, table.data());
    dib_changes = palette.changes;
}

void CyclingPicture::draw_on(HDC target) {
    recolour();
    if (target && hdc) BitBlt(target, 0, 0, width, height, hdc, 0, 0, SRCCOPY);
}

const std::array<RGBQUAD, CyclingPicture::table_size>& CyclingPicture::colours() {
    sync_table();
    return table;
}

const uint8_t* CyclingPicture::slots_row(int32_t y) const {
    if (!bits || y < 0 || y >= height) return nullptr;
    return bits + static_cast<size_t>(y) * static_cast<size_t>(stride);
}

int32_t CyclingPicture::index_at(int32_t x, int32_t y) const {
    if (!bits || x < 0 || y < 0 || x >= width || y >= height) return -1;
    GdiFlush();
    return bits[static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x)];
}

RGBQUAD CyclingPicture::table_entry(int32_t index) {
    sync_table();
    return table[static_cast<size_t>(std::clamp(index, 0, table_size - 1))];
}

std::unique_ptr<CyclingPicture> make_screen_palette(ScreenRecord& screen, RandomGenerator& rand, HWND window,
                                                    bool cycling, bool program_picture) {
    const DisplayCaps real = DisplayCaps::of_screen();
    screen.palette = std::make_unique<Palette>(DisplayCaps::for_cycling(real, cycling), &rand, program_picture);
    if (!window || !DisplayCaps::cycling_applies(real, cycling)) return nullptr;
    return std::make_unique<CyclingPicture>(*screen.palette, window, screen.width, screen.height);
}
