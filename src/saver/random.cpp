#include "saver/random.h"

#include <ctime>

namespace {

constexpr int32_t modulus = 1000000000;
constexpr int32_t seed_constant = 161803398;
constexpr int32_t table_length = 55;
constexpr int32_t fill_stride = 21;
constexpr int32_t warm_up_passes = 4;
constexpr int32_t warm_up_offset = 30;
constexpr int32_t first_inextp = 31;

// Seconds since 1970, wrapped into 32 bits as a 32-bit time would be.
int32_t calendar_seconds() {
    return static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr)));
}

}  // namespace

RandomGenerator::RandomGenerator() : RandomGenerator(calendar_seconds()) {}

RandomGenerator::RandomGenerator(int32_t seed) : table(table_length + 1) { reseed(seed); }

void RandomGenerator::reseed(int32_t seed) {
    last_seed = seed;
    // |INT32_MIN| needs 64 bits; the remainder equals what wrapping 32-bit
    // arithmetic gives, so every seed keeps its two's-complement sequence.
    const int64_t magnitude = seed < 0 ? -static_cast<int64_t>(seed) : seed;
    int32_t mj = static_cast<int32_t>((seed_constant - magnitude) % modulus);
    if (mj < 0) mj += modulus;
    table[table_length] = mj;
    int32_t mk = 1;
    for (int32_t i = 1; i < table_length; ++i) {
        const int32_t ii = (fill_stride * i) % table_length;
        table[ii] = mk;
        mk = mj - mk;
        if (mk < 0) mk += modulus;
        mj = table[ii];
    }
    for (int32_t pass = 1; pass <= warm_up_passes; ++pass) {
        for (int32_t i = 1; i <= table_length; ++i) {
            table[i] -= table[1 + (i + warm_up_offset) % table_length];
            if (table[i] < 0) table[i] += modulus;
        }
    }
    inext = 0;
    inextp = first_inextp;
}

int32_t RandomGenerator::next() {
    if (++inext == table_length + 1) inext = 1;
    if (++inextp == table_length + 1) inextp = 1;
    int32_t value = table[inext] - table[inextp];
    if (value < 0) value += modulus;
    table[inext] = value;
    return value;
}

int32_t RandomGenerator::draw(int32_t n, int32_t k) {
    if (n < 1) n = 1;
    // Unsigned, so that k = INT32_MIN has a magnitude too.
    uint32_t steps = k < 0 ? 0u - static_cast<uint32_t>(k) : static_cast<uint32_t>(k);
    int32_t c = n - 1;
    if (steps > 0) {
        c = static_cast<int32_t>(fraction() * n);
        --steps;
    }
    for (; steps > 0; --steps) c = static_cast<int32_t>(fraction() * (c + 1));
    return k >= 0 ? c : n - 1 - c;
}

void RandomGenerator::print(std::ostream& out) const { out << "seed " << last_seed; }
