#include "gfx/recolour_math.h"

#include <algorithm>
#include <cstring>

// SSE2 where the target has it (every x86_64); the 32-bit build, made for any
// i686, reads eight slots at a time in plain words instead.
#if defined(__SSE2__) && !defined(QUORIX_NO_SSE2)
#define QUORIX_RECOLOUR_SSE2 1
#include <emmintrin.h>
#endif

PixelArea PixelArea::joined(const PixelArea& other) const {
    if (empty()) return other;
    if (other.empty()) return *this;
    return PixelArea{std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                     std::max(bottom, other.bottom)};
}

PixelArea PixelArea::within(const PixelArea& other) const {
    const PixelArea inside{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                           std::min(bottom, other.bottom)};
    return inside.empty() ? PixelArea{} : inside;
}

namespace {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "slots are read several at a time as little-endian words"
#endif

// Sixteen pixels are looked at together.
constexpr int32_t block = 16;

#ifndef QUORIX_RECOLOUR_SSE2
// Bit i set for each byte i of v that is not zero.
uint32_t nonzero_byte_bits(uint64_t v) {
    constexpr uint64_t low_bits = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t tops = (((v & low_bits) + low_bits) | v) & ~low_bits;
    return static_cast<uint32_t>(((tops >> 7) * 0x0102040810204080ull) >> 56);
}
#endif

// One row's part [from, to), sixteen pixels at a time. Only the row's first
// and last changed pixels matter, so it is searched from both ends; a block
// holds nothing to look for when the slots shown are the slots and, should
// colours have changed, all are the ground (black, mostly). A figure of thin
// lines has a pixel or two in the block where a line crosses: looking at those
// one by one in every block would cost more than the whole search.
class RowPass {
public:
    RowPass(const RecolouredSlots& recoloured, int32_t kept_slot, bool any_recoloured)
        : recoloured(recoloured), any_recoloured(any_recoloured), ground_kept(kept_slot >= 0) {
#ifdef QUORIX_RECOLOUR_SSE2
        ground = _mm_set1_epi8(static_cast<char>(kept_slot < 0 ? 0 : kept_slot));
#else
        ground = 0x0101010101010101ull * static_cast<uint64_t>(kept_slot < 0 ? 0 : kept_slot);
#endif
    }

    // The first and last column changed, or first > last when none was; the
    // slots between are taken as shown.
    void operator()(const uint8_t* slots, uint8_t* shown, int32_t from, int32_t to, int32_t& first,
                    int32_t& last) const {
        first = first_changed(slots, shown, from, to);
        if (first >= to) return;
        last = last_changed(slots, shown, first, to);
        std::memcpy(shown + first, slots + first, static_cast<size_t>(last + 1 - first));
    }

private:
    // Bit i set when pixel x + i may have changed.
    uint32_t suspects(const uint8_t* slots, const uint8_t* shown, int32_t x) const {
#ifdef QUORIX_RECOLOUR_SSE2
        const __m128i now = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slots + x));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shown + x));
        uint32_t look = ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(now, before)));
        if (any_recoloured)
            look |= ground_kept ? ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(now, ground))) : ~0u;
        return look & 0xFFFF;
#else
        uint32_t look = 0;
        for (int32_t half = 0; half < 2; ++half) {
            uint64_t now, before;
            std::memcpy(&now, slots + x + 8 * half, sizeof now);
            std::memcpy(&before, shown + x + 8 * half, sizeof before);
            uint32_t bits = nonzero_byte_bits(now ^ before);
            if (any_recoloured) bits |= ground_kept ? nonzero_byte_bits(now ^ ground) : 0xFF;
            look |= bits << (8 * half);
        }
        return look;
#endif
    }

    bool changed(const uint8_t* slots, const uint8_t* shown, int32_t x) const {
        return slots[x] != shown[x] || recoloured[slots[x]];
    }

    int32_t first_changed(const uint8_t* slots, const uint8_t* shown, int32_t from, int32_t to) const {
        int32_t x = from;
        for (; x + block <= to; x += block)
            for (uint32_t look = suspects(slots, shown, x); look; look &= look - 1) {
                const int32_t at = x + __builtin_ctz(look);
                if (changed(slots, shown, at)) return at;
            }
        for (; x < to; ++x)
            if (changed(slots, shown, x)) return x;
        return to;
    }

    int32_t last_changed(const uint8_t* slots, const uint8_t* shown, int32_t from, int32_t to) const {
        const int32_t tail = from + (to - from) / block * block;
        for (int32_t x = to - 1; x >= tail; --x)
            if (changed(slots, shown, x)) return x;
        for (int32_t x = tail - block; x >= from; x -= block)
            for (uint32_t look = suspects(slots, shown, x); look;) {
                const int32_t at = 31 - __builtin_clz(look);
                if (changed(slots, shown, x + at)) return x + at;
                look &= ~(1u << at);
            }
        return from - 1;
    }

    const RecolouredSlots& recoloured;
    bool any_recoloured;
    bool ground_kept;   // some slot kept its colour: blocks of it all need nothing
#ifdef QUORIX_RECOLOUR_SSE2
    __m128i ground;
#else
    uint64_t ground;
#endif
};

}  // namespace

std::vector<PixelArea> changed_bands(const SlotRows& picture, uint8_t* shown, const RecolouredSlots& recoloured,
                                     PixelArea drawn, int32_t band_rows) {
    std::vector<PixelArea> bands;
    if (!picture.bits || !shown || picture.width <= 0 || picture.height <= 0) return bands;
    band_rows = std::max(band_rows, 1);

    bool any_recoloured = false;
    int32_t kept_slot = -1;
    for (size_t slot = 0; slot < recoloured.size(); ++slot) {
        any_recoloured = any_recoloured || recoloured[slot];
        if (!recoloured[slot] && kept_slot < 0) kept_slot = static_cast<int32_t>(slot);
    }
    const RowPass pass(recoloured, kept_slot, any_recoloured);

    const PixelArea whole{0, 0, picture.width, picture.height};
    const PixelArea looked = any_recoloured ? whole : drawn.within(whole);
    if (looked.empty()) return bands;
    for (int32_t band_top = looked.top / band_rows * band_rows; band_top < looked.bottom; band_top += band_rows) {
        PixelArea band;
        const int32_t band_end = std::min(band_top + band_rows, looked.bottom);
        for (int32_t y = std::max(band_top, looked.top); y < band_end; ++y) {
            const size_t row = static_cast<size_t>(y) * static_cast<size_t>(picture.stride);
            int32_t first = 0, last = -1;
            pass(picture.bits + row, shown + row, looked.left, looked.right, first, last);
            if (first <= last) band = band.joined(PixelArea{first, y, last + 1, y + 1});
        }
        if (!band.empty()) bands.push_back(band);
    }
    return bands;
}
