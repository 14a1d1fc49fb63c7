#pragma once
#include <cstdint>
#include "lib/array.h"

class RandomGenerator;

// Arithmetic of the rolling circles effect, free of Win32 so it also runs natively.

// Growth of the base angle per frame (pi / 200).
constexpr float rolling_step = 0.015707964f;

struct PenPoint {
    float x;
    float y;
};

// Radii 1..count-1, each u * 2 - 1 from the generator, a drawn 0 drawn again so
// no later angle ratio divides by zero. Radius 0 is left as it is.
void draw_inner_radii(RandomGenerator& rand, Array<float>& radii);
// Sum of the arms the pen position uses: |r(i-1) - r(i)| for i = 1..k-2, then |r(k-1)|.
float radii_total(const Array<float>& radii);
// The pen on the last circle of the chain at base angle beta, with phase added to
// every angle, divided by total. Without radii, or with a total of 0, the pen
// stays at the centre; a radius of 0 inside the chain stops the turning after it.
PenPoint pen_position(const Array<float>& radii, float beta, float phase, float total);
