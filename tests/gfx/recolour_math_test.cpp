#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <vector>

#include "gfx/recolour_math.h"

bool operator==(const PixelArea& a, const PixelArea& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& out, const PixelArea& a) {
    return out << "[" << a.left << "," << a.top << " - " << a.right << "," << a.bottom << ")";
}

namespace {

// A picture with rows wider than it, and the slots shown: as a new picture
// starts, all of slot 0.
struct Picture {
    Picture(int32_t width, int32_t height, int32_t stride)
        : width(width), height(height), stride(stride), slots(static_cast<size_t>(stride * height)), shown(slots.size()) {}

    uint8_t& slot(int32_t x, int32_t y) { return slots[static_cast<size_t>(y * stride + x)]; }
    uint8_t& shown_slot(int32_t x, int32_t y) { return shown[static_cast<size_t>(y * stride + x)]; }
    std::vector<PixelArea> changed(const RecolouredSlots& recoloured, PixelArea drawn, int32_t band_rows = 4) {
        return changed_bands(SlotRows{slots.data(), stride, width, height}, shown.data(), recoloured, drawn,
                             band_rows);
    }

    int32_t width, height, stride;
    std::vector<uint8_t> slots;
    std::vector<uint8_t> shown;
};

// The palette cycling's step: every slot but the reserved ones at both ends.
RecolouredSlots cycling_step() {
    RecolouredSlots recoloured{};
    for (size_t slot = 10; slot < 246; ++slot) recoloured[slot] = true;
    return recoloured;
}

const RecolouredSlots none{};

}  // namespace

TEST(RecolourMath, APaletteStepShowsTheCyclingPixelsBandByBand) {
    Picture p(40, 30, 40);
    p.slot(13, 3) = 20;
    p.slot(26, 1) = 245;
    p.slot(5, 17) = 100;
    p.slot(20, 25) = 255;   // white, reserved: its colour stays
    p.shown = p.slots;      // all of it shown before the step

    const std::vector<PixelArea> bands = p.changed(cycling_step(), PixelArea{});
    ASSERT_EQ(2u, bands.size());
    EXPECT_EQ((PixelArea{13, 1, 27, 4}), bands[0]);
    EXPECT_EQ((PixelArea{5, 17, 6, 18}), bands[1]);

    // No step and nothing drawn: nothing to show.
    EXPECT_TRUE(p.changed(none, PixelArea{}).empty());
    EXPECT_TRUE(p.changed(none, PixelArea{0, 0, 40, 30}).empty());
}

TEST(RecolourMath, WhereSomethingWasDrawnOnlyThePixelsOfAnotherSlotAreShown) {
    Picture p(30, 9, 32);
    p.slot(9, 2) = 100;
    p.slot(4, 5) = 0;   // drawn over with the slot it had: nothing to show
    p.slot(20, 7) = 3;
    const std::vector<PixelArea> bands = p.changed(none, PixelArea{2, 1, 28, 8});
    ASSERT_EQ(2u, bands.size());
    EXPECT_EQ((PixelArea{9, 2, 10, 3}), bands[0]);
    EXPECT_EQ((PixelArea{20, 7, 21, 8}), bands[1]);
    EXPECT_EQ(100, p.shown_slot(9, 2));
    EXPECT_EQ(3, p.shown_slot(20, 7));
    EXPECT_TRUE(p.changed(none, PixelArea{2, 1, 28, 8}).empty()) << "shown once";

    // Unless a colour changed, nothing outside the drawn area is looked at.
    p.slot(0, 0) = 50;
    EXPECT_TRUE(p.changed(none, PixelArea{2, 1, 28, 8}).empty());
    EXPECT_EQ(0, p.shown_slot(0, 0));
    // An area reaching beyond the picture is cut to it.
    ASSERT_EQ(1u, p.changed(none, PixelArea{-5, -5, 1, 1}).size());
    EXPECT_EQ(50, p.shown_slot(0, 0));
    p.slot(29, 8) = 60;
    EXPECT_TRUE(p.changed(none, PixelArea{30, 0, 40, 9}).empty());
    const std::vector<PixelArea> corner = p.changed(none, PixelArea{10, 5, 40, 40});
    ASSERT_EQ(1u, corner.size());
    EXPECT_EQ((PixelArea{29, 8, 30, 9}), corner[0]);
}

TEST(RecolourMath, WhenEverySlotChangesEveryPixelIsShown) {
    Picture p(13, 5, 16);
    RecolouredSlots all{};
    all.fill(true);
    const std::vector<PixelArea> bands = p.changed(all, PixelArea{}, 3);
    ASSERT_EQ(2u, bands.size());
    EXPECT_EQ((PixelArea{0, 0, 13, 3}), bands[0]);
    EXPECT_EQ((PixelArea{0, 3, 13, 5}), bands[1]);
}

// Against the rule written out pixel by pixel, over several showings of one
// picture: odd widths, padded rows, grounds of another slot, steps that change
// some colours and not others, drawing inside and outside the area given.
TEST(RecolourMath, AgreesWithThePixelByPixelRuleOnRandomPictures) {
    std::mt19937 random(12345);
    for (int32_t round = 0; round < 100; ++round) {
        const int32_t width = 1 + static_cast<int32_t>(random() % 70);
        const int32_t height = 1 + static_cast<int32_t>(random() % 20);
        const int32_t band_rows = 1 + static_cast<int32_t>(random() % 6);
        Picture p(width, height, width + static_cast<int32_t>(random() % 5));
        const uint8_t ground = round % 3 == 0 ? static_cast<uint8_t>(random() % 256) : 0;
        for (int32_t step = 0; step < 6; ++step) {
            const uint32_t lit_in = 2 + random() % 30;
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < width; ++x)
                    if (step == 0 || random() % 4 == 0)
                        p.slot(x, y) = random() % lit_in == 0 ? static_cast<uint8_t>(random() % 256) : ground;
            RecolouredSlots recoloured{};
            const uint32_t change_in = 1 + random() % 6;
            if (random() % 3)
                for (bool& slot : recoloured) slot = random() % change_in == 0;
            const int32_t left = static_cast<int32_t>(random() % (width + 4)) - 2;
            const int32_t top = static_cast<int32_t>(random() % (height + 4)) - 2;
            const PixelArea drawn{left, top, left + static_cast<int32_t>(random() % 80),
                                  top + static_cast<int32_t>(random() % 25)};
            bool any_recoloured = false;
            for (bool slot : recoloured) any_recoloured = any_recoloured || slot;

            Picture expected = p;
            std::vector<PixelArea> wanted(static_cast<size_t>((height + band_rows - 1) / band_rows));
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < width; ++x) {
                    const uint8_t slot = p.slot(x, y);
                    const bool inside = x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom;
                    if ((any_recoloured || inside) && (slot != p.shown_slot(x, y) || recoloured[slot])) {
                        expected.shown_slot(x, y) = slot;
                        PixelArea& band = wanted[static_cast<size_t>(y / band_rows)];
                        band = band.joined(PixelArea{x, y, x + 1, y + 1});
                    }
                }
            std::vector<PixelArea> wanted_bands;
            for (const PixelArea& band : wanted)
                if (!band.empty()) wanted_bands.push_back(band);

            const std::vector<PixelArea> bands = p.changed(recoloured, drawn, band_rows);
            ASSERT_EQ(expected.shown, p.shown) << "round " << round << ", step " << step;
            ASSERT_EQ(wanted_bands.size(), bands.size()) << "round " << round << ", step " << step;
            for (size_t i = 0; i < bands.size(); ++i)
                ASSERT_EQ(wanted_bands[i], bands[i]) << "round " << round << ", step " << step << ", band " << i;
        }
    }
}
