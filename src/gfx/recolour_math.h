#pragma once
#include <array>
#include <cstdint>
#include <vector>

// Where an 8-bit picture shown through a colour table must be shown again,
// free of Win32 so it also runs natively.
//
// A palette step changes the colour of every pixel of a cycling slot, but the
// figures are thin lines on a black ground that never cycles, and a frame
// changes few pixels even where the area it spans is large. Showing, band by
// band of rows, only the columns that hold changed pixels costs a fraction of
// showing the whole picture: converting slots to colours streams through
// memory, so a band's whole span costs less than finding its pixels one by one
// in a copy would.

// A rectangle of pixels, right and bottom excluded.
struct PixelArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    // The smallest area holding both.
    PixelArea joined(const PixelArea& other) const;
    // The part inside both.
    PixelArea within(const PixelArea& other) const;
};

// The picture's slots, a byte a pixel, rows `stride` bytes apart.
struct SlotRows {
    const uint8_t* bits = nullptr;
    int32_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Which table slots show another colour than when the window last showed them.
using RecolouredSlots = std::array<bool, 256>;

// Finds the pixels the window shows wrongly: those whose slot is not the one
// in `shown` (the slot each pixel had when last shown, its rows laid out as the
// picture's), and those of a recoloured slot. Slots can only have changed
// inside `drawn`: unless a slot was recoloured, nothing outside it is read.
// Takes the new slots into `shown`, and returns, for each band of `band_rows`
// rows from the top that holds any such pixel, the smallest area holding the
// band's ones, bands in order.
std::vector<PixelArea> changed_bands(const SlotRows& picture, uint8_t* shown, const RecolouredSlots& recoloured,
                                     PixelArea drawn, int32_t band_rows);
