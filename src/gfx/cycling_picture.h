#pragma once
#include <windows.h>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "gfx/draw_context.h"

class Palette;

// An off-screen 8-bit picture as large as the screen whose colour table is the
// palette, shown on a window: effects draw colour indexes into it, and changing
// the table moves the colours, as on an 8-bit palette display. The table keeps
// the 20 reserved system colours at its ends (black at 0, white at 255) and the
// palette's entries between them.
class CyclingPicture : public DrawContext {
public:
    static constexpr int32_t table_size = 256;
    static constexpr int32_t low_reserved = 10;
    static constexpr int32_t palette_room = table_size - 2 * low_reserved;
    // At most about 60 presentations a second, and further apart when one
    // costs more than a sixteenth of that, so showing never dominates drawing;
    // but never fewer than 20 a second, whatever a busy machine measures.
    static constexpr int64_t present_interval_us = 16667;
    static constexpr int64_t longest_interval_us = 50000;
    static constexpr int64_t present_cost_share = 16;
    // Microseconds on a steady clock; tests pass their own.
    using Clock = std::function<int64_t()>;
    // The performance counter in microseconds, the clock used when none is given.
    static int64_t steady_now();
    // How long a paced presentation waits after the last one, given what one costs.
    static int64_t paced_interval(int64_t present_cost);

    CyclingPicture(const Palette& palette, HWND window, int32_t width, int32_t height, Clock clock = {});
    ~CyclingPicture() override;

    // Palette indexes keep their own table slot, even where another entry has
    // the same colour; any other colour takes the nearest slot, reserved first.
    uint32_t device_colour(const Color& colour) override;
    // Shows what changed, paced.
    void frame_done() override;
    // Shows what changed at once.
    void slice_done() override;
    // The window lost what it showed: the next presentation is whole.
    void uncovered();
    // Copies the whole picture, with the current colours, onto a context.
    void draw_on(HDC target);
    // The colour table with the current colours, for reading the picture's slots.
    const std::array<RGBQUAD, table_size>& colours();
    // Row y of the picture's slots, for reading after GdiFlush; null without a
    // picture or outside it.
    const uint8_t* slots_row(int32_t y) const;

    // The table slot a pixel holds; -1 outside the picture.
    int32_t index_at(int32_t x, int32_t y) const;
    // A slot's colour as matching sees it now.
    RGBQUAD table_entry(int32_t index);

    const int32_t width;
    const int32_t height;
    // Presentations so far, whole or partial.
    int32_t presentations = 0;

private:
    bool pending() const;
    void present();
    // Takes the palette's colours when they changed; true when they did.
    bool sync_table();
    // Gives the DIB the current table when it has an older one.
    void recolour();
    int32_t nearest_slot(uint32_t word);

    const Palette& palette;
    HWND window;
    Clock clock;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous_bitmap = nullptr;
    uint8_t* bits = nullptr;
    int32_t stride = 0;
    std::array<RGBQUAD, table_size> table{};
    uint32_t table_changes = 0;   // the palette's count the table was taken at
    uint32_t dib_changes = 0;     // the one the DIB's own table has
    uint32_t shown_changes = 0;   // and the one the window last showed
    bool drawn = false;
    bool whole_due = true;
    int64_t last_present = 0;
    int64_t present_cost = 0;   // how long presentations take, smoothed
    // The last colour matched, which effects often ask for again.
    uint32_t matched_word = 0;
    int32_t matched_slot = -1;
};

// Makes the screen's palette for the display, with true colour cycling as the
// option says, and returns the picture the effects draw into when cycling
// applies to this display and window; otherwise null, and they draw on the window.
std::unique_ptr<CyclingPicture> make_screen_palette(HWND window, bool cycling);
