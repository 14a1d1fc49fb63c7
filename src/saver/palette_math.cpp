#include "saver/palette_math.h"

#include <algorithm>

namespace {

int32_t truncated(double value) { return static_cast<int32_t>(value); }

int32_t skew_of(RandomGenerator& rand) {
    const int32_t skew = truncated(rand.fraction() * 4) - 2;
    return skew == 0 ? 1 : skew;
}

int32_t blend(int32_t j, int32_t from, int32_t to, int32_t divisor) {
    return j * (to - from) / divisor + from;
}

// Ramp lengths are drawn from a quarter of the palette. A palette of fewer than
// four entries would ask draw() for a value below 0; a bound of 1 yields the same
// value (0) with the same number of draws, and every length stays at least 2.
void draw_length_bounds(RandomGenerator& rand, int32_t size, RampSet& set) {
    const int32_t quarter = std::max(size / 4, 1);
    do {
        set.min_length = rand.draw(quarter, 4) + 2;
        set.max_length = rand.draw(quarter, 2) + 2;
    } while (set.max_length < set.min_length);
}

int32_t ramp_length(RandomGenerator& rand, int32_t size, int32_t first, int32_t ramps_made,
                    const RampSet& set) {
    int32_t length = truncated(rand.fraction() * set.max_length) + 1;
    length = std::max(length, set.min_length);
    length = std::min(length, size - first);
    if (first + length > size - set.min_length && ramps_made > 2) length = size - first;
    return length;
}

// Magenta-ish entries are mostly pulled toward the green channel.
RampColour tempered(RandomGenerator& rand, RampColour colour) {
    if (colour.red > 128 && colour.blue > 128 && rand.fraction() < 0.9)
        colour.blue = std::min(colour.blue, 2 * colour.green);
    return colour;
}

void fill_ramp(RandomGenerator& rand, const Ramp& ramp, std::vector<RampColour>& colours) {
    const int32_t divisor = std::max(ramp.length - 1, 1);
    for (int32_t j = 0; j < ramp.length; ++j) {
        const RampColour colour{blend(j, ramp.start.red, ramp.end.red, divisor),
                                blend(j, ramp.start.green, ramp.end.green, divisor),
                                blend(j, ramp.start.blue, ramp.end.blue, divisor)};
        colours[static_cast<size_t>(ramp.first + j)] = tempered(rand, colour);
    }
}

}  // namespace

ChannelSkews draw_skews(RandomGenerator& rand) {
    ChannelSkews skews;
    skews.red = skew_of(rand);
    skews.green = skew_of(rand);
    skews.blue = skew_of(rand);
    return skews;
}

RampColour draw_colour(RandomGenerator& rand, const ChannelSkews& skews) {
    RampColour colour;
    colour.red = rand.draw(256, skews.red);
    colour.green = rand.draw(256, skews.green);
    colour.blue = rand.draw(256, skews.blue);
    return colour;
}

RampSet build_ramps(RandomGenerator& rand, int32_t size, bool palette_device,
                    const ChannelSkews& skews) {
    RampSet set;
    if (size < 1) return set;
    set.colours.resize(static_cast<size_t>(size));
    set.continuous = rand.fraction() < (palette_device ? 0.05 : 0.5);
    rand.next();   // drawn in every build, used by none
    draw_length_bounds(rand, size, set);
    if (rand.fraction() >= 0.75) set.final_colour = draw_colour(rand, skews);

    const RampColour black;
    const RampColour white{255, 255, 255};
    RampColour end = set.final_colour;
    int32_t i = 0;
    while (i < size) {
        if (i > 0) --i;   // each ramp after the first begins on the previous one's last entry
        Ramp ramp;
        ramp.first = i;
        ramp.length = ramp_length(rand, size, i, static_cast<int32_t>(set.ramps.size()), set);
        ramp.start = end;
        if (i + ramp.length == size) {
            end = set.final_colour;
        } else if (i == 0 && ramp.start == black && truncated(rand.fraction() * 2) != 0) {
            end = white;
        } else {
            end = draw_colour(rand, skews);
            if (!set.continuous) ramp.start = draw_colour(rand, skews);
        }
        ramp.end = end;
        fill_ramp(rand, ramp, set.colours);
        set.ramps.push_back(ramp);
        i += ramp.length;
    }
    return set;
}
