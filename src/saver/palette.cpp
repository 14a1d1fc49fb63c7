#include "saver/palette.h"

#include <algorithm>
#include <cstring>

#include "app/application.h"
#include "gfx/color.h"
#include "saver/palette_math.h"

namespace {

constexpr int32_t max_entries = 256;

// A screen context for reading capabilities and system colours.
class ScreenDC {
public:
    ScreenDC() : hdc(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (hdc) ReleaseDC(nullptr, hdc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC hdc;
};

PALETTEENTRY system_entry(HDC hdc, int32_t index) {
    PALETTEENTRY entry{};
    GetSystemPaletteEntries(hdc, static_cast<UINT>(index), 1, &entry);
    return entry;
}

PALETTEENTRY reserved_entry(BYTE red, BYTE green, BYTE blue) {
    return PALETTEENTRY{red, green, blue, PC_RESERVED};
}

}  // namespace

DisplayCaps DisplayCaps::of_screen() {
    ScreenDC screen;
    DisplayCaps caps;
    caps.raster_caps = GetDeviceCaps(screen.hdc, RASTERCAPS);
    caps.size_palette = GetDeviceCaps(screen.hdc, SIZEPALETTE);
    caps.num_colors = GetDeviceCaps(screen.hdc, NUMCOLORS);
    caps.num_reserved = GetDeviceCaps(screen.hdc, NUMRESERVED);
    caps.bits_per_pixel = GetDeviceCaps(screen.hdc, BITSPIXEL);
    return caps;
}

bool DisplayCaps::cycling_applies(const DisplayCaps& real, bool cycling_on) {
    return cycling_on && real.bits_per_pixel > 8 && !app.has_switch("-p");
}

DisplayCaps DisplayCaps::for_cycling(const DisplayCaps& real, bool cycling_on) {
    if (!cycling_applies(real, cycling_on)) return real;
    DisplayCaps caps;
    caps.raster_caps = RC_PALETTE;
    caps.size_palette = max_entries;
    caps.num_colors = real.num_colors;
    caps.num_reserved = 20;
    caps.bits_per_pixel = 8;
    return caps;
}

Palette::Palette() : Palette(DisplayCaps::of_screen()) {}

Palette::Palette(const DisplayCaps& caps, RandomGenerator* generator, bool sets_true_color)
    : rand(generator ? *generator : app.rand) {
    const bool has_palette = (caps.raster_caps & RC_PALETTE) != 0;
    size = has_palette ? caps.size_palette : caps.num_colors;
    if (size <= 0 || size > max_entries) size = max_entries;
    reserved = caps.num_reserved;
    bits_per_pixel = caps.bits_per_pixel;
    palette_device = has_palette && bits_per_pixel <= 8;
    const bool more_than_8_bits = bits_per_pixel > 8;
    if (sets_true_color) true_color = more_than_8_bits;

    if (more_than_8_bits) {
        animating = 1;
    } else if (size < max_entries) {
        animating = 0;
    } else {
        rand.next();   // the animation test: its probability is 1, but the draw is made
        animating = !app.has_switch("-p");
    }

    if (animating) {
        // The reserved system colours stay untouched; an odd driver's count is
        // kept within the palette so that at least one entry remains.
        if (!more_than_8_bits) size -= std::clamp(reserved, 0, size - 1);
    } else {
        palette_device = 0;
    }
    entries.assign(static_cast<size_t>(size), PALETTEENTRY{});
    build();
    if (animating) handle_ = create_handle();
}

Palette::~Palette() {
    if (handle_) DeleteObject(handle_);
}

HPALETTE Palette::create_handle() const {
    std::vector<BYTE> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(entries.size());
    std::memcpy(logical->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
    return CreatePalette(logical);
}

void Palette::build() {
    const ChannelSkews skews = draw_skews(rand);
    skew_red = skews.red;
    skew_green = skews.green;
    skew_blue = skews.blue;
    ++changes;
    if (animating)
        build_ramps();
    else
        build_from_system();
}

// Without animation the colours come from the system palette: usually in
// order, sometimes a random pick after black, white and two greys.
void Palette::build_from_system() {
    ramp_count = 0;
    ScreenDC screen;
    if (rand.fraction() >= 0.25) {
        for (int32_t i = 0; i < size; ++i) entries[static_cast<size_t>(i)] = system_entry(screen.hdc, i);
        return;
    }
    const PALETTEENTRY fixed[] = {reserved_entry(0, 0, 0), reserved_entry(255, 255, 255),
                                  reserved_entry(128, 128, 128), reserved_entry(192, 192, 192)};
    for (int32_t i = 0; i < size; ++i) {
        if (i < 4)
            entries[static_cast<size_t>(i)] = fixed[i];
        else
            entries[static_cast<size_t>(i)] =
                system_entry(screen.hdc, static_cast<int32_t>(rand.fraction() * size));
    }
}

void Palette::build_ramps() {
    build_seed = rand.next();
    RandomGenerator local(build_seed);
    const RampSet set = ::build_ramps(local, size, palette_device != 0,
                                      ChannelSkews{skew_red, skew_green, skew_blue});
    for (size_t i = 0; i < set.colours.size(); ++i) {
        const RampColour& colour = set.colours[i];
        entries[i] = reserved_entry(static_cast<BYTE>(colour.red), static_cast<BYTE>(colour.green),
                                    static_cast<BYTE>(colour.blue));
    }
    ramp_count = static_cast<int32_t>(set.ramps.size());
}

int32_t Palette::wrapped(int32_t index) const {
    if (size <= 0) return 0;
    const int32_t rest = index % size;
    return rest < 0 ? rest + size : rest;
}

uint32_t Palette::colour(int32_t index) const {
    const int32_t i = wrapped(index);
    if (animating) return Color::kind_index + static_cast<uint32_t>(i);
    const PALETTEENTRY& e = entries[static_cast<size_t>(i)];
    return e.peRed | e.peGreen << 8 | static_cast<uint32_t>(e.peBlue) << 16;
}

void Palette::animate() {
    if (!animating) return;
    ++changes;
    if (handle_)
        AnimatePalette(handle_, 0, static_cast<UINT>(size), entries.data());
}

// Out-of-range bounds are clamped to the palette; an empty range moves nothing.
void Palette::rotate(int32_t direction, int32_t first, int32_t last) {
    if (!animating) return;
    first = std::clamp(first, 0, size - 1);
    last = std::clamp(last, 0, size - 1);
    if (first < last) {
        auto begin = entries.begin() + first;
        auto end = entries.begin() + last + 1;
        if (direction == 1)
            std::rotate(begin, begin + 1, end);
        else
            std::rotate(begin, end - 1, end);
    }
    animate();
}
