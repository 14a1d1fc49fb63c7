#pragma once
#include <cstdint>
#include "lib/printable.h"

// True when the display has more than 8 bits per pixel; set by the Palette.
extern bool true_color;

// A COLORREF-layout colour word: bits 0-23 red, green, blue; top byte the kind
// (0 plain RGB, 1 palette index, 2 palette-relative RGB).
class Color : public Printable {
public:
    static constexpr uint32_t kind_index = 0x01000000;
    static constexpr uint32_t kind_relative = 0x02000000;

    explicit Color(uint32_t value = 0) : value(value) {}
    // Black and white and blends as the drawing code builds them: palette-relative
    // unless the display is true colour.
    static Color rgb(uint32_t red, uint32_t green, uint32_t blue);
    static Color black() { return rgb(0, 0, 0); }
    static Color white() { return rgb(255, 255, 255); }

    // Channels; a palette-index colour reads them from the palette entry.
    uint32_t red() const;
    uint32_t green() const;
    uint32_t blue() const;
    void print(std::ostream& out) const override;   // rgb(r, g, b)

    uint32_t value;
};
