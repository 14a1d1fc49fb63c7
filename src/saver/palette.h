#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

class RandomGenerator;

// What the palette needs to know about the display (GetDeviceCaps values).
struct DisplayCaps {
    int32_t raster_caps = 0;
    int32_t size_palette = 0;
    int32_t num_colors = 0;
    int32_t num_reserved = 0;
    int32_t bits_per_pixel = 0;
    static DisplayCaps of_screen();
    // With true colour cycling on, a display of more than 8 bits without "-p"
    // is taken for the 8-bit palette display; any other display stays as it is.
    static DisplayCaps for_cycling(const DisplayCaps& real, bool cycling_on);
    // True when for_cycling takes the display for another one.
    static bool cycling_applies(const DisplayCaps& real, bool cycling_on);
};

// The one logical palette. Effects draw with indexes 0..size-1 and the picture
// moves by changing the entries instead of the pixels.
class Palette {
public:
    Palette();                                  // from the screen's capabilities
    // Every draw of the palette comes from the generator given, or from the
    // program's generator when none is. Only the program's own palette tells
    // true_color what the display is; another monitor's picture leaves it.
    explicit Palette(const DisplayCaps& caps, RandomGenerator* generator = nullptr, bool sets_true_color = true);
    ~Palette();
    Palette(const Palette&) = delete;
    Palette& operator=(const Palette&) = delete;

    // New random ramps (or system colours when not animating); not yet shown.
    void build();
    // Colour reference for an index, wrapped into 0..size-1.
    uint32_t colour(int32_t index) const;
    void animate();
    // Direction 1 moves entries one place down (first goes to last); any other, up.
    void rotate(int32_t direction, int32_t first, int32_t last);

    // Entry of an index, wrapped into 0..size-1 as colour() wraps it.
    const PALETTEENTRY& entry(int32_t index) const {
        return entries[static_cast<size_t>(wrapped(index))];
    }
    HPALETTE handle() const { return handle_; }
    // Any index into 0..size-1: negative ones count from the end.
    int32_t wrapped(int32_t index) const;

    int32_t size = 0;
    int32_t reserved = 0;
    int32_t bits_per_pixel = 0;
    int32_t animating = 0;
    int32_t palette_device = 0;
    int32_t ramp_count = 0;
    int32_t skew_red = 0;
    int32_t skew_green = 0;
    int32_t skew_blue = 0;
    int32_t build_seed = 0;
    // Moves on with every build, animate and rotate, so a picture drawn with
    // the palette's colours knows when to take them again.
    uint32_t changes = 0;

private:
    void build_from_system();
    void build_ramps();
    HPALETTE create_handle() const;

    RandomGenerator& rand;
    std::vector<PALETTEENTRY> entries;
    HPALETTE handle_ = nullptr;
};
