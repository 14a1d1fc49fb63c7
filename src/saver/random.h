#pragma once
#include <cstdint>
#include "lib/array.h"
#include "lib/printable.h"

// Knuth's subtractive generator (ran3 form: modulus 1e9, lags 55 and 24),
// returning raw integers. One seed reproduces a whole run.
class RandomGenerator : public Printable {
public:
    RandomGenerator();                  // seeded with the calendar time in seconds
    explicit RandomGenerator(int32_t seed);

    void reseed(int32_t seed);
    int32_t seed() const { return last_seed; }
    int32_t next();                     // raw value in [0, 999999999]
    // One next() times 1e-9, in [0, 1).
    double fraction() { return next() * 1e-9; }
    // Skewed integer in [0, n-1]; consumes |k| raw values. An n below 1 counts as
    // 1 (the result is 0), still consuming |k| values.
    int32_t draw(int32_t n, int32_t k);
    void print(std::ostream& out) const override;   // "seed <last seed>"

    int32_t inext = 0;
    int32_t inextp = 31;
    Array<int32_t> table;
    int32_t last_seed = 0;
};
