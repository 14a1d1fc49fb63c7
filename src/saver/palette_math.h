#pragma once
#include <cstdint>
#include <vector>

#include "saver/random.h"

// The arithmetic of the palette's colour ramps, free of Win32 so that it can be
// checked natively. Every draw happens in a fixed order: the same generator
// state gives the same palette.

struct RampColour {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    bool operator==(const RampColour& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const RampColour& other) const { return !(*this == other); }
};

// Per-channel skew counts for draw(256, k): -2, -1 or 1.
struct ChannelSkews {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
};

// One ramp: entries first .. first + length - 1 run from start to end.
struct Ramp {
    int32_t first = 0;
    int32_t length = 0;
    RampColour start;
    RampColour end;
};

struct RampSet {
    std::vector<RampColour> colours;   // one per palette entry
    std::vector<Ramp> ramps;
    RampColour final_colour;           // where the last ramp ends
    bool continuous = false;           // each ramp starts where the previous ended
    int32_t min_length = 0;
    int32_t max_length = 0;
};

// Three skews, red first: truncate(u * 4) - 2, with 0 turned into 1.
ChannelSkews draw_skews(RandomGenerator& rand);

// A random colour with the given skews, channels drawn red, green, blue.
RampColour draw_colour(RandomGenerator& rand, const ChannelSkews& skews);

// Fills `size` entries with colour ramps drawn from `rand` (the palette's private
// generator). A palette device rarely gets continuous ramps; true colour half of
// the time. A size below 1 gives no entries and draws nothing.
RampSet build_ramps(RandomGenerator& rand, int32_t size, bool palette_device,
                    const ChannelSkews& skews);
