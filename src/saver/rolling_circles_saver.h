#pragma once
#include <cstdint>
#include "lib/array.h"
#include "saver/circles_math.h"
#include "saver/lines_saver.h"

// The path of a pen on the last of a chain of circles, each rolling inside the one
// before. Two pens on the chain, half a random angle apart, are joined by a line
// every frame (or one pen and the centre); drawing, colours, tiles and the trail
// are the lines effect's.
class RollingCirclesSaver : public LinesSaver {
public:
    explicit RollingCirclesSaver(EffectHost* host = nullptr);

    int32_t type() const override { return 2; }
    void print(std::ostream& out) const override;
    void frame() override;
    // Where pen 0 or pen 1 is at the current base angle.
    PenPoint pen(int32_t which) const;

    Array<float> radii;
    Array<float> phases;
    float beta = 0;
    float total = 0;
    uint8_t centre_spoke = 0;
};
