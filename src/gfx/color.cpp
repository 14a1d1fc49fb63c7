#include "gfx/color.h"

#include "gfx/screen.h"
#include "saver/palette.h"

bool true_color = false;

namespace {

constexpr uint32_t kind_of(uint32_t value) { return value >> 24; }

// A palette-index colour names an entry; its channels live in the palette.
// Without a palette there is nothing to read, so such a colour reads as black.
uint32_t channel(uint32_t value, int shift, BYTE PALETTEENTRY::*field) {
    if (kind_of(value) == kind_of(Color::kind_index)) {
        if (!Screen.palette) return 0;
        return Screen.palette->entry(static_cast<int32_t>(value & 0xFF)).*field;
    }
    return (value >> shift) & 0xFF;
}

}  // namespace

Color Color::rgb(uint32_t red, uint32_t green, uint32_t blue) {
    const uint32_t word = (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
    return Color(true_color ? word : word | kind_relative);
}

uint32_t Color::red() const { return channel(value, 0, &PALETTEENTRY::peRed); }
uint32_t Color::green() const { return channel(value, 8, &PALETTEENTRY::peGreen); }
uint32_t Color::blue() const { return channel(value, 16, &PALETTEENTRY::peBlue); }

void Color::print(std::ostream& out) const {
    out << "rgb(" << red() << ", " << green() << ", " << blue() << ")";
}
